// Helpers shared by the path files: the editor's process-wide state, attribute comparison and
// the drawing of a path.
#pragma once

#include <kivctrl/path.h>

class GSobject;

namespace kiv::anim {

struct EditorState {
    _object *editing = nullptr;  // the object being edited
    int current = -1;            // current node
    int state = 0;               // display state 0..3
};

EditorState &editor();

// Frees slot and stores a malloc'd copy of s there (null stays null).
void replace_text(char *&slot, const char *s);

// Equal texts, or both null.
bool same_text(const char *a, const char *b);

// True when nodes a and b hold different values of attribute i.
bool attribute_differs(const PathNode &a, const PathNode &b, int i);

// A new graphics object with p's lines for object o, placed at o's parent's world frame when
// that parent is not the root; null when there is nothing to draw.
GSobject *build_path_drawing(_path *p, _object *o);

// The most recently selected object, null when nothing is selected.
_object *last_selected_object();

}  // namespace kiv::anim
