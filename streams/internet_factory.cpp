// The Internet streams' place in the stream factories, and the cache name of a URL.
#include <kivctrl/qel_internet.h>

#include "platform/net_transfer.h"
#include "streams/internet_streams.h"

#include <cstring>
#include <memory>

namespace {

namespace net = kiv::platform;
static_assert(QEL_NET_UNSUPPORTED_SCHEME == net::net_unsupported_protocol);
static_assert(QEL_NET_NO_CONNECTION == net::net_cannot_connect);
static_assert(QEL_NET_CUT_SHORT == net::net_partial_file);
static_assert(QEL_NET_ERROR_STATUS == net::net_http_error);
static_assert(QEL_NET_UNTRUSTED_SERVER == net::net_peer_failed_verification);
static_assert(QEL_NET_LOGIN_DENIED == net::net_login_denied);
static_assert(QEL_NET_NO_REMOTE_FILE == net::net_remote_file_not_found);

QelFileReader *make_http_reader(const char *url)
{
    return std::make_unique<QelCachedHttpReader>(url).release();
}

QelFileReader *make_ftp_reader(const char *url, bool binary)
{
    return std::make_unique<QelCachedFtpReader>(url, binary).release();
}

QelFileWriter *make_ftp_writer(const char *url, bool binary)
{
    return std::make_unique<QelFtpWriter>(url, binary).release();
}

// Installed when the module is loaded, before any stream can be asked for.
[[maybe_unused]] const bool installed = [] {
    qel_set_internet_stream_makers({make_http_reader, make_ftp_reader, make_ftp_writer});
    return true;
}();

} // namespace

char *pathname_get_cachename(const char *name, char *out)
{
    if (!out)
        return out;
    out[0] = '\0';
    std::unique_ptr<QelCachedInternetReader> reader;
    switch (pathname_get_type(name)) {
    case FILE_TYPE_HTTP:
        reader = std::make_unique<QelCachedHttpReader>(name);
        break;
    case FILE_TYPE_FTP:
        reader = std::make_unique<QelCachedFtpReader>(name, true);
        break;
    default:
        return out;
    }
    const char *file = reader->getCacheFileName();
    if (reader->error() == 0 && std::strlen(file) < QEL_PATH_MAX)
        std::strcpy(out, file);
    return out;
}
