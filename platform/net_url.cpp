#include "platform/net_url.h"

#include <curl/curl.h>

#include <memory>

namespace kiv::platform {

namespace {

struct UrlDeleter {
    void operator()(CURLU *h) const { curl_url_cleanup(h); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

constexpr unsigned int parse_flags = CURLU_NON_SUPPORT_SCHEME | CURLU_URLENCODE;

std::string part(CURLU *h, CURLUPart which)
{
    char *text = nullptr;
    if (curl_url_get(h, which, &text, 0) != CURLUE_OK || !text)
        return {};
    std::string result(text);
    curl_free(text);
    return result;
}

} // namespace

int url_parse(const std::string &text, bool keep_dot_segments, UrlParts &out)
{
    out = UrlParts{};
    UrlHandle h(curl_url());
    if (!h)
        return CURLUE_OUT_OF_MEMORY;
    const unsigned int flags = parse_flags | (keep_dot_segments ? CURLU_PATH_AS_IS : 0);
    if (CURLUcode rc = curl_url_set(h.get(), CURLUPART_URL, text.c_str(), flags); rc != CURLUE_OK)
        return rc;
    out.canonical = part(h.get(), CURLUPART_URL);
    out.scheme = part(h.get(), CURLUPART_SCHEME);
    out.host = part(h.get(), CURLUPART_HOST);
    out.user = part(h.get(), CURLUPART_USER);
    out.password = part(h.get(), CURLUPART_PASSWORD);
    out.path = part(h.get(), CURLUPART_PATH);
    const std::string port = part(h.get(), CURLUPART_PORT);
    out.port = port.empty() ? 0 : std::stoi(port);
    return 0;
}

int url_resolve(const std::string &base, const std::string &reference, std::string &out)
{
    out.clear();
    UrlHandle h(curl_url());
    if (!h)
        return CURLUE_OUT_OF_MEMORY;
    if (CURLUcode rc = curl_url_set(h.get(), CURLUPART_URL, base.c_str(), parse_flags); rc != CURLUE_OK)
        return rc;
    if (CURLUcode rc = curl_url_set(h.get(), CURLUPART_URL, reference.c_str(), parse_flags); rc != CURLUE_OK)
        return rc;
    out = part(h.get(), CURLUPART_URL);
    return 0;
}

} // namespace kiv::platform
