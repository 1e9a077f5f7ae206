// Selected animation tracks: placements of paths on the time line that the user picked. The
// list owns its entries. Selecting sends 408 and deselecting 409, each with the entry's path.
// Deselecting all objects deselects every track too; an entry goes when its object or its path
// is deleted.
#pragma once

class _aframe_struct;
class _path;

// Appends e, which the list then owns; null and an entry already listed are ignored.
void sel_addpath(_aframe_struct *e);
// Selects the last placement of p on its object's time line that covers frame in direction
// and is not selected yet; failing that, p as a whole (start -1) unless already selected so.
void sel_addpath(_path *p, int frame, int direction);
// Removes e when listed, sends 409 and frees it.
void sel_rempath(_aframe_struct *e);
int sel_findpath(_aframe_struct *e);   // 1-based position, 0 if absent
int sel_countpath();
int sel_existspath();
_aframe_struct *sel_getpath(int i);    // 1-based
_aframe_struct *sel_firstpath();
_aframe_struct *sel_nextpath(_aframe_struct *e);  // the first one when e is not listed
