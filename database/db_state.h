// Process-wide state of the scene database.
#pragma once

class _object;

namespace kiv::db {

// The current root: the root of the assembly created most recently (null when none).
_object *current_root();
void set_current_root(_object *root);
// Counts the assemblies that took their root.
int bump_currency();

}  // namespace kiv::db
