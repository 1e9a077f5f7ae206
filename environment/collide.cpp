// Collision tests between scene objects: the sphere walk over an assembly and the exact test
// of two objects through the collision data kept in their graphics objects' geo-data records.
#include <kivctrl/collide.h>

#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/objlist.h>
#include <kivctrl/placement.h>

#include "environment/collide_slot.h"
#include "environment/midpoint_box.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

using kiv::env::CollisionSlot;
using kiv::env::kCollisionSlot;

bool movable(const _object *o)
{
    return o->type >= OBJ_GROUP && o->type <= OBJ_VIEWPOINT;
}

// The graphics object whose polygons stand for o: the level of detail shown.
GSobject *shown(const _object *o)
{
    return o->lod_current ? o->lod_current : o->gsobject;
}

// A level of detail other than the placed graphics object follows its placement.
void follow_placement(_object *o)
{
    if (!movable(o) || !o->lod_current || !o->gsobject || o->lod_current == o->gsobject)
        return;
    float p[3], lp[3], q[4], lq[4];
    GSobject_getposition(o->gsobject, p);
    GSobject_getposition(o->lod_current, lp);
    GSobject_getorientation(o->gsobject, q);
    GSobject_getorientation(o->lod_current, lq);
    if (!std::equal(q, q + 4, lq))
        GSobject_setorientation(o->lod_current, q);
    if (!std::equal(p, p + 3, lp) || !std::equal(q, q + 4, lq))
        GSobject_setposition(o->lod_current, p);
}

// o's collision data, brought up to date; null when o has none.
kiv::env::CollisionShape *collision_data(_object *o)
{
    follow_placement(o);
    GSobject *g = shown(o);
    kiv::env::GeoData *d = g ? kiv::env::geo_data(g) : nullptr;
    if (!d)
        return nullptr;
    auto &slot = d->cache[kCollisionSlot];
    auto *c = dynamic_cast<CollisionSlot *>(slot.get());
    if (!c) {
        slot = std::make_unique<CollisionSlot>();
        c = static_cast<CollisionSlot *>(slot.get());
    }
    const auto stamp = static_cast<uint16_t>(o->pos_changes + o->orient_changes);
    return c->shape.refresh(g, stamp) ? &c->shape : nullptr;
}

bool within(const QEL_VECT3 &a, const QEL_VECT3 &b, float reach)
{
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y, dz = double(a.z) - b.z;
    return dx * dx + dy * dy + dz * dz <= double(reach) * reach;
}

bool is_ancestor(const _object *a, const _object *o)
{
    for (const _object *p = o->parent; p; p = p->parent)
        if (p == a)
            return true;
    return false;
}

// A sphere holding everything in c's subtree (radius 0: unknown). A group radius is measured
// from the first child's centre when the group has no radius of its own, which may lie
// anywhere in the box of the midpoints below it: reaching from the box centre takes that
// box's half diagonal more. An object without a radius of its own measures likewise.
void group_sphere(_object *c, float &r, QEL_VECT3 &centre)
{
    r = obj_get_grpradius(c);
    centre.init();
    if (c->type == OBJ_GROUP) {
        const kiv::env::MidpointBox box = kiv::env::tree_box(c, true);
        if (box.empty()) {
            r = 0.0f;
            return;
        }
        centre = box.centre();
        r += 0.5f * box.size().mag();
    } else {
        VE_get_midpoint(c, centre);
        if (c->radius == 0.0f)
            r = 0.0f;
    }
}

// The mover and the parts it carries along: its descendant parts with active geometry.
std::vector<_object *> moving_pieces(_object *o)
{
    std::vector<_object *> pieces{o};
    std::vector<_object *> work{o};
    while (!work.empty()) {
        _object *x = work.back();
        work.pop_back();
        OBJLIST_ITER it(x->children);
        while (it.next()) {
            _object *c = it.getdata();
            if (c->type == OBJ_OBJECT && c->active)
                pieces.push_back(c);
            work.push_back(c);
        }
    }
    return pieces;
}

struct Walk {
    _object *mover;
    std::vector<_object *> pieces;
    float reach = 0.0f;
    QEL_VECT3 centre{0.0f, 0.0f, 0.0f};
    OBJLIST *hits = nullptr;
    _object *first = nullptr;

    // Tests c, then its subtree; true when the walk is over.
    bool visit(_object *c)
    {
        if (c == mover)
            return false;
        float gr;
        QEL_VECT3 gc;
        group_sphere(c, gr, gc);
        // A group radius of 0 says nothing (nothing shown below); only a real sphere prunes.
        if (gr > 0.0f && !within(gc, centre, gr + reach))
            return false;
        if ((c->type == OBJ_OBJECT || c->type == OBJ_FACE) && c->active && !is_ancestor(c, mover) &&
            hit(c)) {
            if (!first)
                first = c;
            if (!hits)
                return true;
            if (!hits->find(c))
                hits->add(c);
            return false;
        }
        OBJLIST_ITER it(c->children);
        while (it.next())
            if (visit(it.getdata()))
                return true;
        return false;
    }

    bool hit(_object *c)
    {
        GSobject *g = shown(c);
        if (!g)
            return false;
        float p[3];
        GSobject_getposition(g, p);
        if (!within(QEL_VECT3(p), centre, GSobject_getradius(g) + reach))
            return false;
        return std::any_of(pieces.begin(), pieces.end(), [c](_object *p) { return intersect_obj_obj(c, p) != 0; });
    }
};

}  // namespace

int intersect_obj_obj(_object *a, _object *b)
{
    if (!a || !b || a == b)
        return 0;
    kiv::env::CollisionShape *sa = collision_data(a);
    kiv::env::CollisionShape *sb = collision_data(b);
    if (!sa || !sb)
        return 0;
    return shapes_touch(*sa, *sb) ? 1 : 0;
}

_object *intersect_obj_any(_object *o, OBJLIST *hits)
{
    _object *root = o ? DBGetRoot(o) : nullptr;
    if (!root)
        return nullptr;
    Walk walk{o, moving_pieces(o)};
    walk.hits = hits;
    group_sphere(o, walk.reach, walk.centre);
    // The pieces' own geometry may reach further than the group radius says (hidden parts
    // count no radius there).
    for (_object *piece : walk.pieces)
        if (GSobject *g = shown(piece)) {
            float p[3];
            GSobject_getposition(g, p);
            QEL_VECT3 d(p);
            d -= walk.centre;
            walk.reach = std::max(walk.reach, d.mag() + GSobject_getradius(g));
        }
    OBJLIST_ITER it(root->children);
    while (it.next())
        if (walk.visit(it.getdata()))
            break;
    return walk.first;
}
