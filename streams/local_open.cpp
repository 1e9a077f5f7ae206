#include "streams/local_open.h"

#include "platform/local_path.h"

#include <string>
#include <string_view>

namespace localfile {

std::FILE *open(const char *path, const char *mode)
{
    if (!path || !*path)
        return nullptr;
    std::string name = kiv::platform::resolve_local_path(path);
    std::FILE *file = std::fopen(name.c_str(), mode);
    if (file || mode[0] != 'w')
        return file;
    // A new file: only its directory can be found under another letter case.
    std::size_t slash = name.rfind('/');
    if (slash == std::string::npos)
        return nullptr;
    std::string dir = kiv::platform::resolve_local_path(std::string_view(name).substr(0, slash ? slash : 1));
    return std::fopen((dir + name.substr(slash)).c_str(), mode);
}

} // namespace localfile
