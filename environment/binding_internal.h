// Helpers shared by the files of the scene binding.
#pragma once

#include <optional>
#include <string>
#include <vector>

class _object;
class GSobject;
class _geometry;

namespace kiv::env {

// The graphics object type for o: root 6, group 1, part 0, light by its kind (directed 3,
// point 2, spot 4), viewpoint 5, face 7.
int graphics_type(_object *o);
// A new empty graphics object registered with the universe.
GSobject *new_empty_node();
// o's graphics objects: gsobject, each level's handle and lod_current, each once.
std::vector<GSobject *> geometry_nodes(_object *o);
// Colour, specular, shininess, transparency, emission and (parts) rendering mode into every
// graphics object of a part or face; colour and transparency into a group's own node.
void push_material(_object *o);
// The colour of o shown where it belongs: the background for a root without a colour of its
// own, every part below a group (whose children show theirs again), a part's or face's
// material nodes, a light's light. 105 for an unknown type.
int apply_color(_object *o);
// The object's colour at its level into g (see obj_set_color).
void push_color_to(GSobject *g, _object *o);
// The graphics objects that carry a part's or face's material; none for other types.
std::vector<GSobject *> material_nodes(_object *o);
// The graphics rendering code of a RENDER_MODE: 0, 1, 2 for 1, 2, 3, and 3 for anything else.
unsigned char rendering_code(int mode);
// The note's graphics note on the object's current node, shown while the object is active and
// visible, with the record's offset, foreground and leader.
void refresh_note(_object *o);
// Takes the note off the object's node before that node goes.
void detach_note(_object *o);
// The texture's image and every field into the object's geometry nodes (or the backdrop).
void refresh_texture(_object *o);
// Shows the graphics object of an active, visible part or face, and draws the envelope of an
// active hidden one; hides it otherwise. 102 when an active part has no graphics object.
int refresh_visibility(_object *o);
// Makes g the object's graphics object in place of the current one, keeping the placement
// (and the pivot unless told otherwise), under the assembly's geometry lock. The old one is
// detached, not deleted.
void replace_node(_object *o, GSobject *g, bool keep_pivot);
// The part's (or face's) level that owns graphics object g, or null.
_geometry *level_of(_object *o, GSobject *g);

}  // namespace kiv::env

namespace kiv::env {

// Loads the file of one level of o through the loader registry (both descriptions, then the
// locate procedure), keeping the descriptions in agreement. For a part the result is the new
// graphics object (null on failure); for other types, whose files are assemblies, ok alone
// tells success.
GSobject *load_level_file(_object *o, _geometry *level, bool &ok);
// A decimated copy of the geometry just loaded for level, or null.
GSobject *decimated_copy(_object *o, _geometry *level);

// The file the load of a level tries first, as joined to the assembly's directory, with the
// loader type (empty: by suffix) and parameters its description names.
struct FileRequest {
    std::string file, type;
    std::optional<std::string> params;  // none when the description has none
    const char *params_text() const { return params ? params->c_str() : nullptr; }
};
std::optional<FileRequest> first_file_request(_object *o, _geometry *level);

}  // namespace kiv::env
