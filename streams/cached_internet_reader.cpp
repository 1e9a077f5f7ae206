// Downloading a URL into the cache directory and reading the local copy.
#include <kivctrl/qel_internet.h>

#include "platform/disk_space.h"
#include "platform/net_transfer.h"
#include "streams/local_lookup.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <new>
#include <unistd.h>
#include <vector>

namespace {

const char *const agent_name = "Corvane KIV";

// Each URL gets a directory of its own, named from a hash of its canonical text, so that
// two URLs whose paths end in the same file name never share a cache file.
std::string url_directory(const std::string &url)
{
    std::uint64_t h = 14695981039346656037ull; // FNV-1a
    for (unsigned char c : url) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

// The file part of a URL path; a path that ends in '/' names no file.
std::string url_file_name(const std::string &path)
{
    std::string file = path.substr(path.find_last_of('/') + 1);
    return file.empty() || file == "." || file == ".." ? "index" : file;
}

int disk_error(int code)
{
    return code == ENOSPC ? QEL_NET_DISK_FULL : (code ? code : EIO);
}

// Drops the CR of every CR LF pair, also across block boundaries.
class LineEndFilter {
public:
    void apply(std::vector<char> &bytes, std::size_t &n)
    {
        std::vector<char> result;
        result.reserve(n + 1);
        for (std::size_t i = 0; i < n; ++i) {
            const char c = bytes[i];
            if (held_cr_ && c != '\n')
                result.push_back('\r');
            held_cr_ = c == '\r';
            if (!held_cr_)
                result.push_back(c);
        }
        n = result.size();
        bytes.swap(result);
    }
    // A CR at the very end of the data stays.
    bool held_cr() const { return held_cr_; }

private:
    bool held_cr_ = false;
};

} // namespace

QelCachedInternetReader::QelCachedInternetReader(const char *url) : url_(url) {}

QelCachedInternetReader::~QelCachedInternetReader() = default;

void QelCachedInternetReader::download(QelInternetFileScheme expected, bool ascii)
{
    err_ = url_.error();
    if (err_ != 0)
        return;
    const QelInternetFileScheme scheme = url_.getScheme();
    const bool http_like = scheme == QEL_SCHEME_HTTP || scheme == QEL_SCHEME_HTTPS;
    if (expected == QEL_SCHEME_HTTP ? !http_like : scheme != expected) {
        err_ = QEL_NET_UNSUPPORTED_SCHEME;
        return;
    }
    const std::string key = url_.getUrl();
    cache_file_ = kiv::streams::lookup_download(key);
    if (!cache_file_.empty() && !std::filesystem::exists(cache_file_)) {
        // The copy was removed behind our back (a cleaner of the temporary directory).
        kiv::streams::forget_download(key);
        cache_file_.clear();
    }
    if (cache_file_.empty()) {
        err_ = fetch(key, ascii);
        if (err_ != 0) {
            cache_file_.clear();
            return;
        }
    }
    local_ = std::make_unique<LocalFileReader>(cache_file_.c_str(), true);
    err_ = local_->error();
}

int QelCachedInternetReader::fetch(const std::string &key, bool ascii)
{
    kiv::platform::NetDownload response(key, kiv::platform::NetOptions{agent_name, ascii});
    if (int rc = response.error())
        return rc;

    namespace fs = std::filesystem;
    const std::string dir =
        kiv::platform::temp_directory() + "/QELCache/" + url_directory(key);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec)
        return ec.value();
    cache_file_ = dir + "/" + url_file_name(url_.getPath());

    // The copy grows under a temporary name and replaces the cache file only when complete:
    // a failed download leaves neither a partial file nor a damaged earlier copy that another
    // reader may still have open.
    std::string partial = dir + "/.download-XXXXXX";
    const int fd = mkstemp(partial.data());
    if (fd < 0)
        return disk_error(errno);
    std::FILE *out = fdopen(fd, "wb");
    if (!out) {
        const int code = errno;
        ::close(fd);
        fs::remove(partial, ec);
        return disk_error(code);
    }

    int err = 0;
    LineEndFilter line_ends;
    std::vector<char> buffer;
    while (err == 0) {
        std::size_t available = response.available();
        if (available == 0) {
            err = response.error() ? response.error() : QEL_NET_END_OF_DATA;
            break;
        }
        try {
            buffer.resize(available);
        } catch (const std::bad_alloc &) {
            err = QEL_NET_OUT_OF_MEMORY;
            break;
        }
        const std::int64_t free_space = kiv::platform::free_disk_space(dir);
        if (free_space >= 0 && static_cast<std::int64_t>(available) >= free_space) {
            err = QEL_NET_DISK_FULL;
            break;
        }
        std::size_t n = response.read(buffer.data(), available);
        if (ascii)
            line_ends.apply(buffer, n);
        if (std::fwrite(buffer.data(), 1, n, out) != n)
            err = disk_error(errno);
    }
    if (err == QEL_NET_END_OF_DATA && line_ends.held_cr() && std::fputc('\r', out) == EOF)
        err = disk_error(errno);
    if (std::fclose(out) != 0 && err == QEL_NET_END_OF_DATA)
        err = disk_error(errno);
    if (err == QEL_NET_END_OF_DATA) {
        fs::rename(partial, cache_file_, ec);
        err = ec ? disk_error(ec.value()) : 0;
    }
    if (err != 0) {
        fs::remove(partial, ec);
        return err;
    }
    kiv::streams::remember_download(key, cache_file_);
    return 0;
}

int QelCachedInternetReader::sync()
{
    if (local_)
        err_ = local_->error();
    return err_;
}

int QelCachedInternetReader::error()
{
    return sync();
}

int QelCachedInternetReader::readch()
{
    return local_ ? local_->readch() : -1;
}

int QelCachedInternetReader::unreadch(int c)
{
    return local_ ? local_->unreadch(c) : -1;
}

unsigned long QelCachedInternetReader::readb(char *buf, unsigned long n)
{
    return local_ ? local_->readb(buf, n) : 0;
}

bool QelCachedInternetReader::iseof()
{
    return local_ ? local_->iseof() : true;
}

int QelCachedInternetReader::seek(long offset, Origin origin)
{
    return local_ ? local_->seek(offset, origin) : -1;
}

long QelCachedInternetReader::tell()
{
    return local_ ? local_->tell() : -1;
}

unsigned short *QelCachedInternetReader::read(unsigned short *, unsigned long)
{
    return nullptr;
}

char *QelCachedInternetReader::read(char *buf, unsigned long n)
{
    return local_ ? local_->read(buf, n) : nullptr;
}

QelCachedHttpReader::QelCachedHttpReader(const char *url) : QelCachedInternetReader(url)
{
    download(QEL_SCHEME_HTTP, false);
}

QelCachedFtpReader::QelCachedFtpReader(const char *url, bool binary)
    : QelCachedInternetReader(url), binary_(binary)
{
    download(QEL_SCHEME_FTP, !binary_);
}
