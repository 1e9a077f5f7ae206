#include <kivctrl/qel_pathname.h>
#include <kivctrl/qel_url.h>

#include "platform/net_url.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>
#include <utility>

namespace {

QelInternetFileScheme scheme_number(std::string_view scheme)
{
    static constexpr std::pair<std::string_view, QelInternetFileScheme> known[] = {
        {"ftp", QEL_SCHEME_FTP},     {"gopher", QEL_SCHEME_GOPHER}, {"http", QEL_SCHEME_HTTP},
        {"https", QEL_SCHEME_HTTPS}, {"file", QEL_SCHEME_FILE},     {"news", QEL_SCHEME_NEWS},
        {"mailto", QEL_SCHEME_MAILTO}, {"socks", QEL_SCHEME_SOCKS},
    };
    for (const auto &[text, number] : known)
        if (scheme == text)
            return number;
    return QEL_SCHEME_UNKNOWN;
}

bool is_drive_path(const std::string &text)
{
    return text.size() >= 2 && text[1] == ':' && std::isalpha(static_cast<unsigned char>(text[0]));
}

bool fits(const std::string &text, int size)
{
    return text.size() < static_cast<std::size_t>(std::max(size, 0));
}

char *copy_out(char *dst, int size, const std::string &text)
{
    if (fits(text, size))
        std::memcpy(dst, text.c_str(), text.size() + 1);
    else if (size > 0)
        dst[0] = '\0';
    return dst;
}

} // namespace

QelUrl::QelUrl(const char *url, int flags)
{
    parse(url ? url : "", flags);
}

QelUrl::QelUrl(const char *base, const char *relative)
{
    std::string combined;
    error_ = kiv::platform::url_resolve(base ? base : "", relative ? relative : "", combined);
    if (error_ == 0)
        parse(combined, QEL_URL_DEFAULT);
}

void QelUrl::parse(const std::string &text, int flags)
{
    if (is_drive_path(text)) {
        scheme_ = QEL_SCHEME_FILE;
        scheme_text_ = "file";
        canonical_ = text;
        path_ = text;
        return;
    }
    kiv::platform::UrlParts parts;
    error_ = kiv::platform::url_parse(text, (flags & QEL_URL_KEEP_DOT_SEGMENTS) != 0, parts);
    if (error_ != 0)
        return;
    canonical_ = std::move(parts.canonical);
    scheme_text_ = std::move(parts.scheme);
    scheme_ = scheme_number(scheme_text_);
    host_ = std::move(parts.host);
    user_ = std::move(parts.user);
    password_ = std::move(parts.password);
    path_ = std::move(parts.path);
    port_ = parts.port;
}

char *QelUrl::getPath(char *dst) const
{
    if (dst)
        std::memcpy(dst, path_.c_str(), path_.size() + 1);
    return dst;
}

char *QelUrl::getAbbreviatedUrl(char *dst, int size) const
{
    if (!dst)
        return dst;
    const std::string scheme = scheme_text_.empty() ? "" : scheme_text_ + ":";
    const std::string host = host_.empty() ? "" : "//" + host_;
    const std::string ellipsis = "/...";
    if (const std::string whole = scheme + host + path_; fits(whole, size))
        return copy_out(dst, size, whole);
    if (const std::string no_host = scheme + ellipsis + path_; fits(no_host, size))
        return copy_out(dst, size, no_host);
    char file[QEL_PATH_MAX];
    pathname_get_file(path_.c_str(), file);
    if (const std::string file_only = scheme + ellipsis + "/" + file; fits(file_only, size))
        return copy_out(dst, size, file_only);
    return copy_out(dst, size, file);
}
