// URLs through libcurl's URL API: canonical form, components and relative references.
#pragma once

#include <string>

namespace kiv::platform {

struct UrlParts {
    std::string canonical; // the whole URL as a request would use it
    std::string scheme;    // lower case, without the colon
    std::string host;
    std::string user;
    std::string password;
    std::string path;      // escaped, as it appears in `canonical`
    int port = 0;          // 0 when the URL names none
};

// Canonicalises `text` (unsafe characters escaped; "." and ".." segments removed unless
// `keep_dot_segments`) and splits it. Returns 0, or the URL library's error code.
int url_parse(const std::string &text, bool keep_dot_segments, UrlParts &out);

// Resolves `reference` (relative or absolute) against the absolute URL `base`.
// Returns 0 with the canonical result in `out`, or the URL library's error code.
int url_resolve(const std::string &base, const std::string &reference, std::string &out);

} // namespace kiv::platform
