// Reading the part to render through the engine's loader registry.
#pragma once

#include <kivctrl/gsobject.h>

#include <string>

namespace kivrender {

// The part in file as a new graphics object owned by the caller, or null with a one-line
// reason in error: a file that cannot be opened, one no part loader recognises (assemblies
// and plug-in libraries included), or one whose loader fails to read it.
GSobject *load_part(const std::string &file, std::string &error);

} // namespace kivrender
