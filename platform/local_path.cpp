#include "platform/local_path.h"


#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

namespace kiv::platform {
namespace {

bool exists(const std::string &path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

bool same_ignoring_ascii_case(std::string_view a, std::string_view b)
{
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&](char x, char y) { return lower(x) == lower(y); });
}

// The entry of dir whose name equals name ignoring ASCII case; empty when there is none.
std::string find_caseless(const std::string &dir, const std::string &name)
{
    std::unique_ptr<DIR, int (*)(DIR *)> d(::opendir(dir.empty() ? "/" : dir.c_str()), ::closedir);
    std::string best;
    if (!d)
        return best;
    while (const dirent *e = ::readdir(d.get())) {
        if (same_ignoring_ascii_case(e->d_name, name) && (best.empty() || best > e->d_name))
            best = e->d_name;
    }
    return best;
}

} // namespace

std::string resolve_local_path(std::string_view path)
{
    std::string unix_path(path);
    std::replace(unix_path.begin(), unix_path.end(), '\\', '/');
    if (unix_path.empty() || exists(unix_path))
        return unix_path;

    const bool absolute = unix_path.front() == '/';
    std::string resolved = absolute ? "" : "."; // where the lookups happen
    std::string shown;                          // the result
    bool found = true;
    std::size_t pos = absolute ? 1 : 0;
    while (pos <= unix_path.size()) {
        std::size_t next = unix_path.find('/', pos);
        if (next == std::string::npos)
            next = unix_path.size();
        std::string part = unix_path.substr(pos, next - pos);
        pos = next + 1;
        if (part.empty())
            continue;
        if (found && !exists(resolved + "/" + part)) {
            const std::string match = find_caseless(resolved, part);
            found = !match.empty();
            if (found)
                part = match;
        }
        resolved += "/" + part;
        if (absolute || !shown.empty())
            shown += '/';
        shown += part;
    }
    return shown;
}

} // namespace kiv::platform
