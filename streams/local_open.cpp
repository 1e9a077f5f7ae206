#include "streams/local_open.h"

#include "platform/local_path.h"

#include <cctype>
#include <string>
#include <string_view>

namespace localfile {
namespace {

int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

bool starts_nocase(std::string_view s, std::string_view prefix)
{
    if (s.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i])
            return false;
    return true;
}

// A file URL ("file:///dir/a%20b.kvg", "file://localhost/...") names the local path in it.
std::string file_url_path(std::string_view name)
{
    if (!starts_nocase(name, "file://"))
        return std::string(name);
    std::string_view rest = name.substr(7);
    if (starts_nocase(rest, "localhost/"))
        rest.remove_prefix(9);
    std::string path;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        int hi = rest[i] == '%' && i + 2 < rest.size() ? hex_digit(rest[i + 1]) : -1;
        int lo = hi >= 0 ? hex_digit(rest[i + 2]) : -1;
        if (lo >= 0) {
            path += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            path += rest[i];
        }
    }
    return path;
}

} // namespace

std::FILE *open(const char *path, const char *mode)
{
    if (!path || !*path)
        return nullptr;
    return std::fopen(kiv::platform::resolve_local_path(file_url_path(path)).c_str(), mode);
}

} // namespace localfile
