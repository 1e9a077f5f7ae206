#include "streams/local_open.h"

#include "platform/local_path.h"

#include <string>

namespace localfile {

std::FILE *open(const char *path, const char *mode)
{
    if (!path || !*path)
        return nullptr;
    return std::fopen(kiv::platform::resolve_local_path(path).c_str(), mode);
}

} // namespace localfile
