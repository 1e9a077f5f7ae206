// Reading an assembly to render: through the loader registry, every part loaded before the
// picture is taken, and the views the assembly names.
#pragma once

#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_math.h>

#include <string>
#include <string_view>
#include <vector>

namespace kivrender {

// Whether an assembly loader takes file (a path or an HTTP or FTP URL).
bool is_assembly(const std::string &file);

// Reads the assembly in file as the current one, its parts loaded now; its root, or null
// with a one-line reason in error.
_object *load_assembly(const std::string &file, std::string &error);

// World positions of every polygon corner of the assembly's active parts.
void collect_assembly_corners(_object *root, std::vector<QEL_VECT3> &out);

// The world placement of the viewpoint object or the preset view called name (a viewpoint
// first); false when the assembly names no such view.
bool named_view(_object *root, std::string_view name, QEL_VECT3 &position, QEL_QUAT &orientation);

// The names of the assembly's viewpoints and presets, for messages.
std::string view_names_of(_object *root);

} // namespace kivrender
