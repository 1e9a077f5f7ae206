#include "platform/dir_list.h"

#include <dirent.h>
#include <fnmatch.h>

#include <memory>

namespace kiv::platform {

std::vector<std::string> list_directory(const std::string &dir, const std::string &pattern)
{
    std::vector<std::string> names;
    std::unique_ptr<DIR, int (*)(DIR *)> d(::opendir(dir.c_str()), ::closedir);
    if (!d)
        return names;
    const std::string glob = pattern == "*.*" ? "*" : pattern;
    while (const dirent *e = ::readdir(d.get())) {
        if (::fnmatch(glob.c_str(), e->d_name, FNM_CASEFOLD) == 0)
            names.emplace_back(e->d_name);
    }
    return names;
}

} // namespace kiv::platform
