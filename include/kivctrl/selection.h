// Selection lists and layers.
#pragma once

class _object;

// Makes list id the active selection list; returns the active id afterwards.
int sel_listsetactive(int id);
// Deselects every object of the active list and every selected track.
void object_deselectall();
// Takes o out of every selection list, as its deletion requires. Returns how many lists
// held it.
int sel_forget_obj(_object *o);

// Takes the object off its layer; 1 if it was on one.
int layer_remove_from_layer(_object *o);
// Deletes every layer; numbering starts again at 1.
void layer_delete_all();
