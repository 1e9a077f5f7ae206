// Dynamic libraries: load by file name, look up an entry, free.
#pragma once

#include <string>

namespace kiv::platform {

// Loads the library at `file` with every symbol resolved now and kept local to it.
// Null on failure, with the loader's explanation in `why`.
void *dynlib_open(const std::string &file, std::string &why);

// The address of the exported entry `name`, null when the library has none.
void *dynlib_symbol(void *lib, const char *name, std::string &why);

// Releases one reference to the library; false (with `why`) when the loader refused.
bool dynlib_close(void *lib, std::string &why);

} // namespace kiv::platform
