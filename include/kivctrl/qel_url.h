// URLs: canonical form, components, combination with a base and a short display form.
#pragma once

#include <string>

// Scheme numbers of QelUrl::getScheme.
enum QelInternetFileScheme {
    QEL_SCHEME_PARTIAL = -2,
    QEL_SCHEME_UNKNOWN = -1,
    QEL_SCHEME_DEFAULT = 0,
    QEL_SCHEME_FTP = 1,
    QEL_SCHEME_GOPHER = 2,
    QEL_SCHEME_HTTP = 3,
    QEL_SCHEME_HTTPS = 4,
    QEL_SCHEME_FILE = 5,
    QEL_SCHEME_NEWS = 6,
    QEL_SCHEME_MAILTO = 7,
    QEL_SCHEME_SOCKS = 8,
};

// Flags of QelUrl(url, flags).
enum : int {
    QEL_URL_KEEP_DOT_SEGMENTS = 0x08000000, // leave "." and ".." path segments as they are
    QEL_URL_DEFAULT = 0x20000000,
};

class QelUrl {
public:
    // Canonicalises and splits url. Unsafe characters are always escaped, since a request
    // cannot carry them. A name whose second character is ':' (a drive path) is of scheme
    // FILE with the whole text as its path. On failure error() holds the URL library's code
    // and every component is empty.
    explicit QelUrl(const char *url, int flags = QEL_URL_DEFAULT);
    // The URL `relative` refers to when read in the document at `base` (an absolute URL
    // reference is taken as it is).
    QelUrl(const char *base, const char *relative);

    int error() const { return error_; }
    // The canonical text ("" after a parse error).
    const char *getUrl() const { return canonical_.c_str(); }
    QelInternetFileScheme getScheme() const { return scheme_; }
    // Components, owned by the QelUrl and valid until it is destroyed; "" when absent.
    const char *getHostname() const { return host_.c_str(); }
    const char *getUsername() const { return user_.c_str(); }
    const char *getPassword() const { return password_.c_str(); }
    const char *getPath() const { return path_.c_str(); }
    // Copies the path with its terminator into dst, which holds getPathSize() + 1 bytes.
    char *getPath(char *dst) const;
    int getPathSize() const { return static_cast<int>(path_.size()); }
    // The port named in the URL, 0 when none (the scheme's default applies).
    int getPort() const { return port_; }

    // A display form that fits in size bytes with its terminator: "scheme://host/path",
    // else "scheme:/.../path", else "scheme:/.../file", else the file alone, else "".
    char *getAbbreviatedUrl(char *dst, int size) const;

private:
    void parse(const std::string &text, int flags);

    int error_ = 0;
    std::string canonical_;
    std::string scheme_text_;
    QelInternetFileScheme scheme_ = QEL_SCHEME_UNKNOWN;
    std::string host_;
    std::string user_;
    std::string password_;
    std::string path_;
    int port_ = 0;
};
