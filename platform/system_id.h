// Identifiers from the system: the volume serial number and new GUIDs.
#pragma once

#include <string>

namespace kiv::platform {

// The file-system id of the root file system, folded to 32 bits; 0 when unavailable.
unsigned volume_serial();

// A new GUID in registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" with upper-case
// hexadecimal digits.
std::string new_guid();

} // namespace kiv::platform
