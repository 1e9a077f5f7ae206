// Notes: bitmaps drawn flat on the screen beside an object, with an optional leader line.
//
// A note is placed relative to its object's centre in units of the object's radius (x to the
// right, y up on the screen). A note belongs to at most one object at a time: attaching a note
// that another object holds is refused, and deleting a note detaches it first. Setters never
// touch OpenGL and mark the universe changed.
#pragma once

class GSbitmap;
class GSobject;
struct GSnote;

GSnote *GSnote_new();
// Detaches the note from its object, then frees it and its bitmap.
void GSnote_delete(GSnote *note);
// Replaces the bitmap by a copy of b (depth 1, 8, 16, 24 or 32); null clears it.
void GSnote_setbitmap(GSnote *note, const GSbitmap *b);
void GSnote_setoffset(GSnote *note, float x, float y);
void GSnote_setvisible(GSnote *note, bool on);
void GSnote_setforeground(GSnote *note, bool on);
void GSnote_setleader(GSnote *note, bool on);

// Appends the note and returns its index; -1 when the note belongs to another object (or
// either pointer is null). Attaching a note the object already holds returns its index.
int GSobject_noteattach(GSobject *obj, GSnote *note);
// Removes the note (later ones move down) and returns 1; 0 when obj does not hold it.
// The note is not freed.
int GSobject_notedetach(GSobject *obj, GSnote *note);
// The note at index i, or null outside 0..count-1.
GSnote *GSobject_noteget(GSobject *obj, int i);
int GSobject_notecount(GSobject *obj);
// Removes and frees every note, last first.
void GSobject_deletenotes(GSobject *obj);

// The object owning the nearest note under window position xy (y from the top), within 2
// pixels on each side; null when none. Needs no GL context.
GSobject *GSuniverse_picknote(float xy[2]);
