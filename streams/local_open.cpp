#include "streams/local_open.h"

#include <string>

namespace localfile {

std::FILE *open(const char *path, const char *mode)
{
    if (!path || !*path)
        return nullptr;
    std::string name(path);
    for (char &c : name)
        if (c == '\\')
            c = '/';
    return std::fopen(name.c_str(), mode);
}

} // namespace localfile
