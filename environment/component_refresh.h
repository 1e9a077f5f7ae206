// Refreshing a component group from its file while keeping the objects that survive.
#pragma once

class _object;

namespace kiv::env {

// For a group whose first level's part parameters are exactly "ComponentName=/": reads the
// group's file into a temporary twin, matches the twin's objects to the group's by component
// name, gives the survivors the file's placement, colour and properties, creates the new
// components (geometry-valid 0, so the caller's walk loads them) and deletes the vanished
// ones. Objects that are not groups, and groups whose file cannot be read, are left alone.
void refresh_component(_object *g);

}  // namespace kiv::env
