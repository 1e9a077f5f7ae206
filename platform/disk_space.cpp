#include "platform/disk_space.h"

#include <sys/statvfs.h>

#include <cstdlib>

namespace kiv::platform {

std::string temp_directory()
{
    const char *env = std::getenv("TMPDIR");
    std::string dir = env && *env ? env : "/tmp";
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir;
}

std::int64_t free_disk_space(const std::string &dir)
{
    struct statvfs info {};
    if (statvfs(dir.c_str(), &info) != 0)
        return -1;
    return static_cast<std::int64_t>(info.f_bavail) * static_cast<std::int64_t>(info.f_frsize);
}

} // namespace kiv::platform
