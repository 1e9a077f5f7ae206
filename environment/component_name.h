// The name under which a component's assembly file knows an object.
#pragma once

#include <string>

class _object;

namespace kiv::env {

// The value of the first key "ComponentName" (any case) in a list of key=value pairs
// separated by commas, each key and value one token; reading stops at the first delimiter
// out of place. Empty when there is no such key or its value is empty.
std::string component_name_in(const char *text);
// The component name of an object of type 2-5 with a geometry level: read from the first
// level's part parameters, or its source parameters when those are empty.
std::string component_name(_object *o);

}  // namespace kiv::env
