// Writing a file to an FTP server, each write sent at once.
#include <kivctrl/qel_internet.h>

#include "platform/net_transfer.h"

#include <cstring>
#include <string>

namespace {

const char *const agent_name = "Corvane KIV";

} // namespace

QelFtpWriter::QelFtpWriter(const char *url, bool binary) : url_(url)
{
    err_ = url_.error();
    if (err_ != 0)
        return;
    if (url_.getScheme() != QEL_SCHEME_FTP) {
        err_ = QEL_NET_UNSUPPORTED_SCHEME;
        return;
    }
    upload_ = std::make_unique<kiv::platform::NetUpload>(
        url_.getUrl(), kiv::platform::NetOptions{agent_name, !binary});
    err_ = upload_->error();
}

QelFtpWriter::~QelFtpWriter()
{
    close();
}

int QelFtpWriter::send(const char *bytes, unsigned long n)
{
    if (err_ == 0 && !upload_)
        return -1; // closed
    if (err_ == 0 && n > 0)
        err_ = upload_->write(bytes, n);
    return err_;
}

int QelFtpWriter::close()
{
    if (err_ == 0 && upload_)
        err_ = upload_->finish();
    upload_.reset();
    return err_;
}

int QelFtpWriter::write(const unsigned short *s)
{
    if (!s)
        return err_;
    std::string bytes;
    for (; *s; ++s) {
        bytes.push_back(static_cast<char>(*s & 0xff));
        bytes.push_back(static_cast<char>(*s >> 8));
    }
    return send(bytes.data(), bytes.size());
}

int QelFtpWriter::write(const char *s)
{
    return s ? send(s, std::strlen(s)) : err_;
}

int QelFtpWriter::write(unsigned short c)
{
    const char bytes[2] = {static_cast<char>(c & 0xff), static_cast<char>(c >> 8)};
    return send(bytes, 2);
}

int QelFtpWriter::write(char c)
{
    return send(&c, 1);
}

unsigned long QelFtpWriter::writeb(const char *buf, unsigned long n)
{
    if (!buf)
        return 0;
    return send(buf, n) == 0 ? n : 0;
}
