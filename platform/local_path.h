// Local file names written on Windows ("parts\Bolt.KVG") turned into the real path of an
// existing file on this system.
#pragma once

#include <string>
#include <string_view>

namespace kiv::platform {

// '\' becomes '/'; when that name does not exist, each component is matched in its
// directory, exactly when possible, otherwise ignoring ASCII letter case (the first match
// in byte order when several differ only in case). From the first component that cannot
// be found on, the rest is kept as written: a file about to be created lands in the real
// directory, and an open for reading fails as usual.
std::string resolve_local_path(std::string_view path);

} // namespace kiv::platform
