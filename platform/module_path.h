// The file of a loaded module (the executable or a shared library), named by an address
// inside it.
#pragma once

#include <string>

namespace kiv::platform {

// Absolute file name of the module containing address; the executable's for a null address.
// Empty when it cannot be found.
std::string module_file(const void *address);

// Whether address lies inside this engine's own library.
bool is_engine_module(const void *address);

} // namespace kiv::platform
