// The animation list of an assembly and its playback.
#pragma once

class _object;
struct _anim_struct;

// Removes every placement of the object from its assembly's animation list; returns null.
void *anim_remove_object(_object *o);
// Destroys the current assembly's animation list when it has no frame entries left; 1.
int anim_check_clear();
// Removes every object and destroys the current assembly's animation list; 0.
int anim_clear();
// Asks playback to stop at the next tick.
void traverse_stop();
