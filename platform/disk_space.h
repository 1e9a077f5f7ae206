// The user's temporary directory and the free space of a file system.
#pragma once

#include <cstdint>
#include <string>

namespace kiv::platform {

// $TMPDIR when it is set and not empty, else "/tmp"; without a trailing '/'.
std::string temp_directory();

// Bytes an unprivileged user may still write on the file system holding `dir`;
// -1 when that cannot be found out.
std::int64_t free_disk_space(const std::string &dir);

} // namespace kiv::platform
