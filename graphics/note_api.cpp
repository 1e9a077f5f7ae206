// Notes and the note lists of graphics objects; no OpenGL here.
#include "graphics/gs_object.h"
#include "graphics/gs_seams.h"
#include "graphics/note_record.h"

#include <kivctrl/gs_note.h>

#include <algorithm>

GSnote *GSnote_new()
{
    return std::make_unique<GSnote>().release();
}

void GSnote_delete(GSnote *note)
{
    if (!note)
        return;
    if (note->owner)
        GSobject_notedetach(note->owner, note);
    std::unique_ptr<GSnote> owned(note);
}

void GSnote_setbitmap(GSnote *note, const GSbitmap *b)
{
    if (!note)
        return;
    note->bitmap = b ? std::make_unique<GSbitmap>(*b) : nullptr;
    gs_mark_changed();
}

void GSnote_setoffset(GSnote *note, float x, float y)
{
    if (!note)
        return;
    note->offset[0] = x;
    note->offset[1] = y;
    gs_mark_changed();
}

void GSnote_setvisible(GSnote *note, bool on)
{
    if (!note)
        return;
    note->visible = on;
    gs_mark_changed();
}

void GSnote_setforeground(GSnote *note, bool on)
{
    if (!note)
        return;
    note->foreground = on;
    gs_mark_changed();
}

void GSnote_setleader(GSnote *note, bool on)
{
    if (!note)
        return;
    note->leader = on;
    gs_mark_changed();
}

int GSobject_noteattach(GSobject *obj, GSnote *note)
{
    if (!obj || !note)
        return -1;
    if (note->owner == obj)
        return static_cast<int>(std::find(obj->notes.begin(), obj->notes.end(), note) - obj->notes.begin());
    if (note->owner)
        return -1;
    note->owner = obj;
    obj->notes.push_back(note);
    gs_mark_changed();
    return static_cast<int>(obj->notes.size()) - 1;
}

int GSobject_notedetach(GSobject *obj, GSnote *note)
{
    if (!obj || !note)
        return 0;
    auto it = std::find(obj->notes.begin(), obj->notes.end(), note);
    if (it == obj->notes.end())
        return 0;
    obj->notes.erase(it);
    note->owner = nullptr;
    gs_mark_changed();
    return 1;
}

GSnote *GSobject_noteget(GSobject *obj, int i)
{
    if (!obj || i < 0 || i >= static_cast<int>(obj->notes.size()))
        return nullptr;
    return obj->notes[static_cast<size_t>(i)];
}

int GSobject_notecount(GSobject *obj)
{
    return obj ? static_cast<int>(obj->notes.size()) : 0;
}

void GSobject_deletenotes(GSobject *obj)
{
    if (!obj)
        return;
    while (!obj->notes.empty())
        GSnote_delete(obj->notes.back());
}
