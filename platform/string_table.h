// The engine's compiled-in string resources (the module's string table of the design).
#pragma once

namespace kiv::platform {

// The string with this id, null when the table has none.
const char *string_resource(unsigned id);

} // namespace kiv::platform
