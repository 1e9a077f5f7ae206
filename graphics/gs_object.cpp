// Graphics objects: creation, destruction and the parent-child hierarchy.
#include "graphics/gs_object.h"

#include "graphics/gs_seams.h"
#include "graphics/gs_transform.h"
#include "graphics/texture_record.h"

#include <kivctrl/gs_note.h>

#include <algorithm>

GSobject::GSobject() = default;
GSobject::~GSobject() = default;

GSattribute *GSobject::attribute(int kind)
{
    auto it = std::find_if(attributes.begin(), attributes.end(), [kind](const GSattribute &a) { return a.kind == kind; });
    return it == attributes.end() ? nullptr : &*it;
}

const GSattribute *GSobject::attribute(int kind) const
{
    return const_cast<GSobject *>(this)->attribute(kind);
}

GSattribute *GSobject::setattribute(int kind, int priority)
{
    if (priority < 0) {
        std::erase_if(attributes, [kind](const GSattribute &a) { return a.kind == kind; });
        return nullptr;
    }
    GSattribute *a = attribute(kind);
    if (!a) a = &attributes.emplace_back(GSattribute{kind, priority});
    a->priority = priority;
    return a;
}

void GSobject::link_child(GSobject *child)
{
    child->childlink = children.insert(children.end(), child);
    child->setparent(this);
}

void GSobject::unlink_child(GSobject *child)
{
    children.erase(child->childlink);
    child->parent = nullptr;
}

ADT_Object::ADT_Object(std::shared_ptr<GSmesh> m) : mesh(std::move(m))
{
    orientation.Identity();
    inverseorientation.Identity();
    auto set = [this](int kind, float a, float b, float c, float d) {
        GSattribute *n = setattribute(kind, 100);
        n->value[0] = a;
        n->value[1] = b;
        n->value[2] = c;
        n->value[3] = d;
        return n;
    };
    set(GS_ATTR_COLOR, 1, 1, 1, 0);
    set(GS_ATTR_TRANSPARENCY, 1, 0, 0, 0);
    set(GS_ATTR_SPECULAR, 1, 1, 1, 1);
    set(GS_ATTR_SHININESS, 30, 0, 0, 0);
    set(GS_ATTR_EMISSION, 0, 0, 0, 1);
    set(GS_ATTR_HIGHLIGHT, 0, 0, 0, 0);
    set(GS_ATTR_BOTHSIDES, 0, 0, 0, 0);
}

ADT_Object::~ADT_Object() = default;

ADT_Object *ADT_Object::parentobject() const
{
    return parent ? parent->placed() : nullptr;
}

void ADT_Object::setorientationmatrix(const ADT_Matrix &o)
{
    orientation = o;
    inverseorientation.Inverse(o);
}

bool ADT_Object::close(float creaseangle)
{
    if (mesh->primitivecount < 0) mesh->close(creaseangle);
    else mesh->set_measures_from_bounds();
    std::copy(mesh->midpoint, mesh->midpoint + 3, pivot);
    return true;
}

namespace {

std::unique_ptr<ADT_Object> make_object(std::shared_ptr<GSmesh> mesh)
{
    return std::make_unique<ADT_Object>(std::move(mesh));
}

// A parent must be an ADT_Object that is not the child itself nor below it.
bool can_adopt(GSobject *parent, GSobject *child)
{
    if (!parent || !child || parent->kind() != GS_KIND_OBJECT) return false;
    for (GSobject *p = parent; p; p = p->parent)
        if (p == child) return false;
    return true;
}

void destroy(GSobject *obj);

void destroy_object(ADT_Object *obj)
{
    const std::vector<GSobject *> kids(obj->children.begin(), obj->children.end());
    for (GSobject *child : kids) {
        if (!child->data) {
            destroy(child);
        } else if (child->kind() == GS_KIND_OBJECT) {
            GSobject_detach(obj, child);
        } else {
            obj->unlink_child(child);
        }
    }
    GSobject_deletenotes(obj);
    if (obj->registered) GSuniverse_unregister(obj);
    if (obj->parent) obj->parent->unlink_child(obj);
    std::unique_ptr<ADT_Object> owned(obj);
}

void destroy_face(ADT_Face *face)
{
    const std::vector<GSobject *> kids(face->children.begin(), face->children.end());
    for (GSobject *child : kids) face->unlink_child(child);
    GSobject_deletenotes(face);
    if (face->parent) face->parent->unlink_child(face);
    std::unique_ptr<ADT_Face> owned(face);
}

void destroy(GSobject *obj)
{
    if (obj->kind() == GS_KIND_OBJECT) destroy_object(static_cast<ADT_Object *>(obj));
    else destroy_face(static_cast<ADT_Face *>(obj));
}

}  // namespace

GSobject *GSobject_begin() { return GSobject_begin(0); }

GSobject *GSobject_begin(unsigned n)
{
    auto mesh = std::make_shared<GSmesh>();
    mesh->vertices.reserve(3 * size_t(n));
    mesh->normals.reserve(3 * size_t(n));
    return make_object(std::move(mesh)).release();
}

GSobject *GSobject_newinstance(GSobject *source)
{
    if (!source) return nullptr;
    ADT_Object *src = source->placed();
    if (!src) return nullptr;
    auto obj = make_object(src->mesh);
    std::copy(src->pivot, src->pivot + 3, obj->pivot);
    // The face groups are part of the shared mesh: the instance gets faces over the same
    // groups, with their attributes, so that it draws and picks them like its source.
    for (GSobject *child : src->children) {
        if (child->kind() != GS_KIND_FACE) continue;
        auto face = std::make_unique<ADT_Face>();
        face->submesh = static_cast<ADT_Face *>(child)->submesh;
        face->attributes = child->attributes;
        obj->link_child(face.release());
    }
    return obj.release();
}

bool GSobject_close(GSobject *obj, float creaseangle)
{
    return obj && obj->close(creaseangle);
}

bool GSobject_close(GSobject *obj, unsigned char, unsigned char)
{
    return GSface_close(obj);
}

void GSobject_delete(GSobject *obj)
{
    if (!obj) return;
    if (obj->kind() == GS_KIND_FACE) {
        auto *face = static_cast<ADT_Face *>(obj);
        face->attributes.clear();
        face->active = 1;
        face->data = nullptr;
        gs_mark_changed();
        return;
    }
    destroy_object(static_cast<ADT_Object *>(obj));
    gs_mark_changed();
}

int GSobject_kind(GSobject *obj) { return obj ? obj->kind() : 0; }

void GSobject_add(GSobject *obj)
{
    if (!obj || obj->kind() != GS_KIND_OBJECT) return;
    auto *o = static_cast<ADT_Object *>(obj);
    if (o->registered) return;
    o->registered = true;
    if (o->parent) GSuniverse_addnonroot(o);
    else GSuniverse_addroot(o);
}

void GSobject_remove(GSobject *) {}

void GSobject_attach(GSobject *parent, GSobject *child)
{
    if (!can_adopt(parent, child) || child->parent == parent) return;
    if (child->kind() == GS_KIND_FACE) {
        if (gs_threading()) GSface_attach(parent, child);
        return;
    }
    float pos[3], q[4];
    GSobject_getposition(child, pos);
    GSobject_getorientation(child, q);
    if (child->parent) child->parent->unlink_child(child);
    parent->link_child(child);
    GSobject_setorientation(child, q);
    GSobject_setposition(child, pos);
    if (static_cast<ADT_Object *>(child)->registered) GSuniverse_makenonroot(child);
    gs_mark_changed();
}

bool GSobject_detach(GSobject *parent, GSobject *child)
{
    if (!parent || !child || child->kind() == GS_KIND_FACE || child->parent != parent) return false;
    float pos[3], q[4];
    GSobject_getposition(child, pos);
    GSobject_getorientation(child, q);
    parent->unlink_child(child);
    GSobject_setorientation(child, q);
    GSobject_setposition(child, pos);
    if (static_cast<ADT_Object *>(child)->registered) GSuniverse_makeroot(child);
    gs_mark_changed();
    return true;
}

GSobject *GSobject_getparent(GSobject *obj) { return obj ? obj->parent : nullptr; }

// A child link is the address of the child pointer inside its parent's list node.
void *GSFirstChild(GSobject *obj)
{
    return obj && !obj->children.empty() ? &obj->children.front() : nullptr;
}

void *GSNextChild(void *link)
{
    if (!link) return nullptr;
    GSobject *child = *static_cast<GSobject **>(link);
    auto next = std::next(child->childlink);
    return next == child->parent->children.end() ? nullptr : &*next;
}

GSobject *GSGetChildObject(void *link) { return link ? *static_cast<GSobject **>(link) : nullptr; }

void GSobject_setdata(GSobject *obj, void *data)
{
    if (obj) obj->data = data;
}

void *GSobject_getdata(GSobject *obj) { return obj ? obj->data : nullptr; }

void GSobject_setaux(GSobject *obj, void *aux)
{
    if (obj && obj->kind() == GS_KIND_OBJECT) static_cast<ADT_Object *>(obj)->aux = aux;
}

void GSobject_setname(GSobject *obj, const char *name)
{
    if (obj && name) {
        obj->name = name;
        gs_mark_changed();
    }
}

const char *GSobject_getname(GSobject *obj)
{
    return obj && obj->name ? obj->name->c_str() : nullptr;
}
