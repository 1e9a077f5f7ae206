// Face groups: sub-meshes of an ADT_Object with their own polygons and attributes.
#include "graphics/gs_object.h"

#include "graphics/gs_seams.h"

ADT_Face::ADT_Face() : submesh(std::make_shared<GSsubmesh>()) {}

ADT_Object *ADT_Face::placed()
{
    return parent ? parent->placed() : nullptr;
}

void ADT_Face::setparent(GSobject *p)
{
    parent = p;
    ADT_Object *owner = placed();
    if (owner && !submesh->parentmesh) owner->mesh->link(submesh.get());
}

bool ADT_Face::close(float)
{
    if (submesh->primitivecount < 0) {
        submesh->recount();
        submesh->measure_corners();
    }
    return true;
}

namespace {

ADT_Face *as_face(GSobject *obj)
{
    return obj && obj->kind() == GS_KIND_FACE ? static_cast<ADT_Face *>(obj) : nullptr;
}

}  // namespace

GSobject *GSface_begin()
{
    return std::make_unique<ADT_Face>().release();
}

void GSface_attach(GSobject *obj, GSobject *face)
{
    ADT_Face *f = as_face(face);
    if (!f || !obj || obj->kind() != GS_KIND_OBJECT || f->parent == obj) return;
    if (f->parent) f->parent->unlink_child(f);
    obj->link_child(f);
    gs_mark_changed();
}

void GSface_detach(GSobject *obj, GSobject *face)
{
    ADT_Face *f = as_face(face);
    if (!f || !obj || f->parent != obj) return;
    obj->unlink_child(f);
    gs_mark_changed();
}

bool GSface_close(GSobject *face)
{
    return face && face->close(0.0f);
}

void GSface_delete(GSobject *face)
{
    ADT_Face *f = as_face(face);
    if (!f) return;
    if (f->parent) f->parent->unlink_child(f);
    std::unique_ptr<ADT_Face> owned(f);
    gs_mark_changed();
}

void GSface_active(GSobject *face, int active)
{
    if (ADT_Face *f = as_face(face)) {
        f->active = active;
        gs_mark_changed();
    }
}

int GSface_calculate_offset(GSobject *face)
{
    if (!face || !face->parent) return 0;
    int i = 0;
    for (GSobject *c : face->parent->children) {
        if (c == face) return i;
        ++i;
    }
    return 0;
}
