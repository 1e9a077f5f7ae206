// Image notes of objects: the record's setters and getters, reading the image (asking for it
// when it cannot be found) and keeping the graphics note in step with the object.
#include <kivctrl/obj_attr.h>

#include <kivctrl/gs_bitmap.h>
#include <kivctrl/gs_image.h>
#include <kivctrl/gs_note.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_locate.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/qel_pathname.h>

#include "database/db_string.h"
#include "environment/binding_internal.h"

#include <cstring>
#include <memory>

namespace {

using kiv::db::replace_string;

bool shows_notes(const _object *o)
{
    return o->type == OBJ_GROUP || o->type == OBJ_OBJECT || o->type == OBJ_LIGHT ||
           o->type == OBJ_FACE;
}

std::unique_ptr<GSbitmap> read_image(const char *name)
{
    return std::unique_ptr<GSbitmap>(name && *name ? image_reader_invoke(name) : nullptr);
}

// The image named by the note: as named, then by its file name alone (which the note then
// keeps), then wherever the locate procedure finds it.
std::unique_ptr<GSbitmap> find_image(_obj_note *n, int locate)
{
    if (!n->name || !*n->name)
        return nullptr;
    std::unique_ptr<GSbitmap> image = read_image(n->name);
    if (image)
        return image;
    char file[QEL_PATH_MAX] = "";
    pathname_get_file(n->name, file);
    image = read_image(file);
    if (image || !locate) {
        replace_string(n->name, file);
        return image;
    }
    char path[QEL_PATH_MAX] = "";
    std::strncpy(path, n->name, QEL_PATH_MAX - 1);
    auto readable = [](const char *p) { return read_image(p) != nullptr; };
    if (msg_locate(path, MSG_LOCATE_NOTE, n->name, readable))
        replace_string(n->name, path);
    return read_image(n->name);
}

void apply_image(_object *o, int locate)
{
    _obj_note *n = o->note;
    if (!shows_notes(o) || !o->gsobject)
        return;
    std::unique_ptr<GSbitmap> image = find_image(n, locate);
    if (n->gsnote)
        GSobject_notedetach(o->gsobject, n->gsnote);
    if (!image) {
        GSnote_delete(n->gsnote);
        n->gsnote = nullptr;
        return;
    }
    if (!n->gsnote)
        n->gsnote = GSnote_new();
    GSnote_setbitmap(n->gsnote, image.get());
    GSobject_noteattach(o->gsobject, n->gsnote);
    kiv::env::refresh_note(o);
}

_obj_note *record(_object *o)
{
    return o ? o->note : nullptr;
}

}  // namespace

namespace kiv::env {

void refresh_note(_object *o)
{
    _obj_note *n = o->note;
    if (!n || !n->gsnote || !o->gsobject)
        return;
    // The node may have been replaced since: the note follows it.
    GSobject_noteattach(o->gsobject, n->gsnote);
    GSnote_setvisible(n->gsnote, n->visible == 1 && o->active == 1 && o->vis == 1);
    GSnote_setoffset(n->gsnote, n->offset.x, n->offset.y);
    GSnote_setforeground(n->gsnote, n->foreground != 0);
    GSnote_setleader(n->gsnote, n->leader != 0);
    // Red -1: the object's texts follow the environment's text colour, now and later.
    GSobject_setdrawtextcolor(o->gsobject, -1.0f, -1.0f, -1.0f);
}

void detach_note(_object *o)
{
    if (o->note && o->note->gsnote && o->gsobject)
        GSobject_notedetach(o->gsobject, o->note->gsnote);
}

}  // namespace kiv::env

int obj_set_notename(_object *o, const char *name, int locate)
{
    if (!o)
        return 101;
    if (!name) {
        if (o->note) {
            // Deleting the graphics note detaches it from whichever node holds it.
            if (o->note->gsnote)
                GSnote_delete(o->note->gsnote);
            delete o->note;
            o->note = nullptr;
        }
        return 0;
    }
    if (!o->note)
        o->note = new _obj_note;
    if (o->note->name && std::strcmp(o->note->name, name) == 0)
        return 0;
    if (!replace_string(o->note->name, name))
        return 103;
    apply_image(o, locate);
    return 0;
}

const char *obj_get_notename(_object *o)
{
    return o && o->note ? o->note->name : nullptr;
}

int obj_get_notename(_object *o, const char *&out)
{
    if (!record(o))
        return 101;
    out = o->note->name;
    return 0;
}

int obj_set_notelink(_object *o, const char *link)
{
    if (!record(o))
        return 101;
    if (!replace_string(o->note->link, link && *link ? link : nullptr))
        return 103;
    return 0;
}

int obj_set_notevisible(_object *o, int v)
{
    if (!record(o))
        return 101;
    o->note->visible = v;
    kiv::env::refresh_note(o);
    return 0;
}

int obj_set_noteforeground(_object *o, int f)
{
    if (!record(o))
        return 101;
    o->note->foreground = f;
    kiv::env::refresh_note(o);
    return 0;
}

int obj_set_noteleader(_object *o, int l)
{
    if (!record(o))
        return 101;
    o->note->leader = l;
    kiv::env::refresh_note(o);
    return 0;
}

int obj_set_noteoffset(_object *o, const QEL_VECT2 &offset)
{
    if (!record(o))
        return 101;
    o->note->offset = offset;
    kiv::env::refresh_note(o);
    return 0;
}

#define KIV_NOTE_GET(T, fn, field, absent)                                                     \
    T fn(_object *o) { return record(o) ? o->note->field : absent; }                           \
    int fn(_object *o, T &out)                                                                 \
    {                                                                                          \
        if (!record(o))                                                                        \
            return 101;                                                                        \
        out = o->note->field;                                                                  \
        return 0;                                                                              \
    }

KIV_NOTE_GET(const char *, obj_get_notelink, link, nullptr)
KIV_NOTE_GET(int, obj_get_notevisible, visible, 0)
KIV_NOTE_GET(int, obj_get_noteforeground, foreground, 0)
KIV_NOTE_GET(int, obj_get_noteleader, leader, 0)
KIV_NOTE_GET(QEL_VECT2, obj_get_noteoffset, offset, (QEL_VECT2{0.0f, 0.0f}))

#undef KIV_NOTE_GET
