// Reading an HTTP(S) response body as it arrives.
#include <kivctrl/qel_internet.h>

#include "platform/net_transfer.h"

#include <algorithm>
#include <cstring>

namespace {

const char *const agent_name = "Corvane KIV";

} // namespace

QelHttpReader::QelHttpReader(const char *url) : url_(url)
{
    err_ = url_.error();
    if (err_ != 0)
        return;
    if (url_.getScheme() != QEL_SCHEME_HTTP && url_.getScheme() != QEL_SCHEME_HTTPS) {
        err_ = QEL_NET_UNSUPPORTED_SCHEME;
        return;
    }
    response_ = std::make_unique<kiv::platform::NetDownload>(
        url_.getUrl(), kiv::platform::NetOptions{agent_name, false});
    err_ = response_->error();
}

QelHttpReader::~QelHttpReader() = default;

bool QelHttpReader::refill()
{
    pos_ = 0;
    valid_ = response_ && err_ == 0 ? response_->read(buffer_, sizeof buffer_) : 0;
    if (valid_ == 0 && err_ == 0)
        err_ = response_->error() ? response_->error() : QEL_NET_END_OF_DATA;
    return valid_ > 0;
}

int QelHttpReader::readch()
{
    if (pos_ == valid_ && !refill())
        return -1;
    return static_cast<unsigned char>(buffer_[pos_++]);
}

int QelHttpReader::unreadch(int c)
{
    if (pos_ == 0)
        return -1;
    buffer_[--pos_] = static_cast<char>(c);
    if (err_ == QEL_NET_END_OF_DATA)
        err_ = 0;
    return c;
}

bool QelHttpReader::iseof()
{
    return pos_ == valid_ && !refill();
}

int QelHttpReader::seek(long, Origin)
{
    return -1;
}

long QelHttpReader::tell()
{
    return -1;
}

char *QelHttpReader::read(char *buf, unsigned long n)
{
    if (!buf)
        return nullptr;
    const unsigned long buffered = std::min(n, valid_ - pos_);
    std::memcpy(buf, buffer_ + pos_, buffered);
    pos_ += buffered;
    unsigned long got = buffered;
    if (got < n) {
        if (n - got >= sizeof buffer_) {
            got += response_ && err_ == 0 ? response_->read(buf + got, n - got) : 0;
        } else if (refill()) {
            const unsigned long more = std::min(n - got, valid_);
            std::memcpy(buf + got, buffer_, more);
            pos_ = more;
            got += more;
        }
    }
    if (got < n) {
        if (err_ == 0 && response_ && response_->error())
            err_ = response_->error();
        if (err_ == 0)
            err_ = QEL_NET_END_OF_DATA;
        return nullptr;
    }
    return buf;
}
