// Which kind of stream a name denotes, from the scheme in front of its first ':'.
#include <kivctrl/qel_stream.h>

#include <cctype>
#include <cstring>
#include <string_view>

namespace {

bool equals_nocase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// A URL scheme: a letter, then letters, digits, '+', '-' or '.'.
bool is_scheme(std::string_view s)
{
    if (s.empty() || !std::isalpha(static_cast<unsigned char>(s[0])))
        return false;
    for (char c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
            return false;
    return true;
}

} // namespace

FILE_TYPE pathname_get_type(const char *name)
{
    if (!name)
        return FILE_TYPE_UNKNOWN;
    std::string_view text(name);
    std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return FILE_TYPE_LOCAL;
    std::string_view scheme = text.substr(0, colon);
    if (is_scheme(scheme)) {
        if (equals_nocase(scheme, "ftp"))
            return FILE_TYPE_FTP;
        // https is read like http: most servers speak nothing else today.
        if (equals_nocase(scheme, "http") || equals_nocase(scheme, "https"))
            return FILE_TYPE_HTTP;
        // A drive letter names a local file, as does a file URL.
        if (equals_nocase(scheme, "file") || scheme.size() == 1)
            return FILE_TYPE_LOCAL;
        if (equals_nocase(scheme, "gopher") ||
            equals_nocase(scheme, "news") || equals_nocase(scheme, "mailto") ||
            equals_nocase(scheme, "socks"))
            return FILE_TYPE_UNKNOWN;
    }
    if (text.size() >= 4 && equals_nocase(text.substr(0, 4), "MEM:"))
        return FILE_TYPE_MEMORY;
    return FILE_TYPE_UNKNOWN;
}
