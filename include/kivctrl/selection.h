// Selection lists, layers and the selection filter.
//
// Selection lists are numbered; list 0 exists for the whole process and is active at start.
// The active list is the selection: selecting into it binds the object (see SelectionBinding)
// and sends 401, 410 and 404 (object, list id); deselecting sends 411, 405 and 402. 403
// carries the number of selected objects. The numbered-list forms sel_addobj/sel_remobj only
// change membership. Null objects and objects already present are ignored everywhere.
//
// Layers are numbered from 1 by position; a deleted layer keeps its slot and number. Each
// object is on at most one layer (its `layer` field, 0 for none).
#pragma once

class _object;

// Active list.
// Toggles o in the active list; sends 403 with the new count (also for a null o).
void object_picked(_object *o);
// Deselects every object of the active list, first to last, then every selected track; sends
// 403 with 0.
void object_deselectall();
// Deselects every object but o, and every selected track; then sends 403 with 1 when o was
// selected, picks o when it was not, and deselects everything when o is null.
void object_deselectall_but_one(_object *o);
// Selects, depth first, every descendant of o not yet selected that is neither a light nor a
// viewpoint (o itself is not selected); sends 403 with the count after each object whose
// children were walked.
void object_selectall_children(_object *o);
int sel_findobj(_object *o);         // 1-based position, 0 if absent
int sel_countobj();
int sel_existsobj();
// Nonzero when more than one object is selected, or exactly one that is not a root.
int sel_existsnonroot();
_object *sel_getobj(int i);          // 1-based
_object *sel_firstobj();
_object *sel_nextobj(_object *o);    // the first one when o is not selected

// Numbered lists.
int sel_listcreate();                // the next id (ids are never reused); -1 on failure
// Returns id; -1 for list 0, the active list or an unknown id.
int sel_listdestroy(int id);
// Unbinds the objects of the old active list, then binds those of list id. An unknown id
// changes nothing. Returns the active id afterwards.
int sel_listsetactive(int id);
int sel_listgetactive();
void sel_addobj(int id, _object *o);  // sends 401 (o, id); nothing for list 0
void sel_remobj(int id, _object *o);  // sends 402 (o, id); nothing for list 0
int sel_findobj(int id, _object *o);
int sel_countobj(int id);
int sel_existsobj(int id);
int sel_existsnonroot(int id);
_object *sel_getobj(int id, int i);
_object *sel_firstobj(int id);
_object *sel_nextobj(int id, _object *o);

// Takes o out of every selection list, unbinding it without messages, as its deletion
// requires. Returns how many lists held it.
int sel_forget_obj(_object *o);

// What selecting binds an object to beyond the list (the collision task, the selection
// sensors, the drawing of its path, the highlight) belongs to the layers above the database.
// Each installs one SelectionBinding, called in installation order.
class SelectionBinding {
public:
    virtual ~SelectionBinding() = default;
    // o joined / left the active list (messages follow / have not been sent yet).
    virtual void bind(_object *o) = 0;
    virtual void unbind(_object *o) = 0;
    // o is the first selected object now that the one before it was deselected.
    virtual void first_changed(_object *) {}
    // Nothing but the root was selected and a selection change begins.
    virtual void selection_begins() {}
    // The selection became empty.
    virtual void selection_ended() {}
    // Deselect-all reached the end of the objects: whatever else is selected goes too.
    virtual void deselecting_all() {}
};
void sel_add_binding(SelectionBinding *b);
void sel_remove_binding(SelectionBinding *b);

// Layers; an operation on a missing or deleted layer returns 0 (null for names).
int layer_add(const char *name);      // the new layer's number; an empty name is stored as none
int layer_getnum(const char *name);   // first layer of that name, deleted ones included
int layer_getnum(_object *o);         // o's layer, 0 for null
const char *layer_getname(_object *o);
const char *layer_getname(int layer);
int layer_setname(int layer, const char *name);  // copies; null clears; 1 on success
int layer_count();                    // slots, deleted ones included
// Marks the layer deleted and takes every member off it; 1 on success.
int layer_delete(int layer);
int layer_delete(const char *name);
// Deletes every layer, last to first; numbering starts again at 1.
void layer_delete_all();
// Moves o onto the layer; 1 on success (also when o is already on it).
int layer_add_to_layer(_object *o, int layer);
int layer_add_to_layer(_object *o, const char *name);
// Takes the object off its layer; 1 if it was on one.
int layer_remove_from_layer(_object *o);
// Selects every member not yet selected; returns how many.
int layer_select(int layer);
int layer_select(const char *name);
// Deselects every selected member; returns how many.
int layer_deselect(int layer);
int layer_deselect(const char *name);
// object_picked on every member in order; returns the member count.
int layer_picked(int layer);
int layer_picked(const char *name);

// The selection filter hosts consult (the engine's own picking does not). Bits: 1 parts on no
// layer, 2 faces, 4 parts on a layer, 8 groups, 16 viewpoints, 32 lights; 0 and 63 allow
// everything, roots included. 61 at start.
void env_set_select_filter(int filter);
int env_get_select_filter();
bool env_allow_selection(_object *o);
