// Component refresh: the group's file is read into a twin beside it, and the group's
// objects take over the twin's state by component name.
#include "environment/component_refresh.h"

#include <kivctrl/kiv_db.h>
#include <kivctrl/placement.h>
#include <kivctrl/ve_bind.h>

#include "database/subtree_walk.h"
#include "environment/binding_internal.h"
#include "environment/component_name.h"
#include "environment/geometry_guard.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

char mark_value[] = "1";

constexpr int kSettleRounds = 20;
constexpr float kSameSquared = 1e-8f;

struct Placement {
    QEL_VECT3 p;
    QEL_QUAT q;
};

Placement world_of(_object *o)
{
    Placement w;
    obj_get_pos(o, w.p, FRAME_WORLD);
    obj_get_orient(o, w.q, FRAME_WORLD);
    return w;
}

void place(_object *o, const Placement &w)
{
    obj_suspend_constraints(o);
    obj_set_pos(o, w.p, FRAME_WORLD);
    obj_set_orient(o, w.q, FRAME_WORLD);
    obj_resume_constraints(o);
}

// Moves o to w in the world while its children stay where they are; false when o is there
// already.
bool move_keeping_children(_object *o, const Placement &w)
{
    const Placement now = world_of(o);
    QEL_VECT3 d = w.p;
    d -= now.p;
    const float dq = (w.q.x - now.q.x) * (w.q.x - now.q.x) + (w.q.y - now.q.y) * (w.q.y - now.q.y) +
                     (w.q.z - now.q.z) * (w.q.z - now.q.z) + (w.q.w - now.q.w) * (w.q.w - now.q.w);
    if (d.sqrmag() <= kSameSquared && dq <= kSameSquared)
        return false;
    std::vector<std::pair<_object *, Placement>> children;
    OBJLIST_ITER it(o->children);
    while (it.next()) {
        if (it.getdata()->type != OBJ_FACE)
            children.emplace_back(it.getdata(), world_of(it.getdata()));
    }
    place(o, w);
    for (auto &[c, cw] : children)
        place(c, cw);
    return true;
}

// The first level of a twin or a new component: x's part file with x's descriptions.
void copy_first_level(_object *to, _object *from)
{
    const _geometry *src = from->geolist.get(1);
    _geometry *level = nullptr;
    if (obj_set_file(to, src->part.name, level, 0.0f) != 0)
        return;
    level->part.set_name(src->part.name);
    level->part.set_type(src->part.type);
    level->part.set_params(src->part.params);
    level->source.set_name(src->source.name);
    level->source.set_type(src->source.type);
    level->source.set_params(src->source.params);
}

_object *make_like(_object *parent, _object *x)
{
    _object *o = db_create_obj(parent, x->type);
    if (!o)
        return nullptr;
    obj_set_name(o, x->name);
    copy_first_level(o, x);
    return o;
}

void copy_props(_object *to, _object *from)
{
    if (!from->props)
        return;
    if (!to->props)
        to->props = new Props;
    PropsIter it(from->props);
    while (it.next()) {
        Property *p = it.getProperty();
        Property *q = to->props->add(it.getKey(), p->getValue(), p->getLabel());
        if (q)
            q->setState(p->getState());
    }
}

// o takes over what the file now says of its component x; true when o moved.
bool take_over(_object *o, _object *x)
{
    obj_suspend_constraints(o);
    const bool moved = move_keeping_children(o, world_of(x));
    obj_set_color(o, x->color, x->color_level);
    copy_props(o, x);
    obj_resume_constraints(o);
    o->vars.add("NO_PIVOT", mark_value);
    return moved;
}

struct Refresh {
    _object *g;
    _object *twin;
    std::unordered_map<std::string, _object *> table;
    int marked = 0;
    int matched = 0;
    bool moved = false;  // some object moved or was made while matching

    // The group's own components, each under its name; the first of a name is kept.
    void mark()
    {
        db_walk_subtree(g, [this](_object *o) {
            if (o->sourceid != g->sourceid)
                return true;
            std::string n = kiv::env::component_name(o);
            if (n.empty() || !table.emplace(std::move(n), o).second)
                return true;
            o->vars.add("NODEMARK", mark_value);
            ++marked;
            return true;
        });
    }

    void match()
    {
        // Each twin object with the object its parent was matched to (null: none).
        std::vector<std::pair<_object *, _object *>> work{{twin, nullptr}};
        while (!work.empty()) {
            auto [x, parent] = work.back();
            work.pop_back();
            _object *o = nullptr;
            const std::string n =
                x->sourceid == twin->sourceid ? kiv::env::component_name(x) : std::string();
            if (!n.empty()) {
                auto found = table.find(n);
                if (found != table.end()) {
                    o = found->second;
                    if (o->vars.remove("NODEMARK"))
                        ++matched;
                } else if (parent) {
                    o = make_like(parent, x);
                    if (o) {
                        o->geometryvalid = 0;
                        o->sourceid = g->sourceid;
                        table.emplace(n, o);
                        moved = true;
                    }
                } else {
                    // Nowhere to put it: its parent in the file stands for nothing here.
                    continue;
                }
                if (o && take_over(o, x))
                    moved = true;
            }
            OBJLIST_ITER it(x->children);
            std::vector<_object *> kids;
            while (it.next())
                kids.push_back(it.getdata());
            for (auto k = kids.rbegin(); k != kids.rend(); ++k)
                work.emplace_back(*k, o);
        }
    }

    // Parents moved before their children were placed: move again until all rest. When
    // matching moved nothing, every object already rests where the file puts it.
    void settle()
    {
        for (int round = 0; moved && round < kSettleRounds; ++round) {
            moved = false;
            db_walk_subtree(twin, [this](_object *x) {
                const std::string n = kiv::env::component_name(x);
                auto found = n.empty() ? table.end() : table.find(n);
                if (found != table.end() && move_keeping_children(found->second, world_of(x)))
                    moved = true;
                return true;
            });
        }
    }

    void sweep()
    {
        if (matched >= marked)
            return;
        std::vector<_object *> gone;
        for (auto &[n, o] : table) {
            if (o != g && o->vars.find("NODEMARK"))
                gone.push_back(o);
        }
        // Deepest first, so that an object's children have found their place before it goes.
        std::vector<std::pair<int, _object *>> by_depth;
        for (_object *o : gone) {
            int depth = 0;
            for (_object *a = o->parent; a; a = a->parent)
                ++depth;
            by_depth.emplace_back(depth, o);
        }
        std::sort(by_depth.begin(), by_depth.end(),
                  [](const auto &a, const auto &b) { return a.first > b.first; });
        for (auto &[depth, o] : by_depth) {
            o->vars.remove("NODEMARK");
            std::vector<_object *> kids;
            OBJLIST_ITER it(o->children);
            while (it.next()) {
                if (it.getdata()->type != OBJ_FACE)
                    kids.push_back(it.getdata());
            }
            for (_object *c : kids)
                db_link(o->parent, c);
            db_delete_obj(o);
        }
    }
};

// The twin stands where g stands and carries g's colour, so that matching g to it changes
// nothing of g.
_object *make_twin(_object *g)
{
    _object *t = make_like(g->parent, g);
    if (!t)
        return nullptr;
    QEL_VECT3 p;
    QEL_QUAT q;
    obj_get_pos(g, p, FRAME_PARENT);
    obj_get_orient(g, q, FRAME_PARENT);
    obj_set_pos(t, p, FRAME_PARENT);
    obj_set_orient(t, q, FRAME_PARENT);
    t->color = g->color;
    t->color_level = g->color_level;
    return t;
}

}  // namespace

namespace kiv::env {

void refresh_component(_object *g)
{
    if (!g || g->type != OBJ_GROUP || g->geolist.isempty() || !g->parent)
        return;
    // Only a group whose file is a component assembly is refreshed; the twin would take the
    // group's parameters, so any other group is known to be only reloaded before a twin is
    // made. Every object of a component carries parameters of its own, and making and
    // deleting a twin for each of them would cost as much as reading the file again.
    const char *params = g->geolist.get(1)->part.params;
    if (!params || std::strcmp(params, "ComponentName=/") != 0)
        return;
    // The drawing and the loading thread must not meet objects half made or half deleted.
    GeometryGuard lock(obj_get_assembly(g));
    _object *twin = make_twin(g);
    if (!twin)
        return;
    bool ok = false;
    if (!twin->geolist.isempty())
        load_level_file(twin, twin->geolist.get(1), ok);
    if (ok) {
        Refresh r{g, twin, {}, 0, 0};
        r.mark();
        r.match();
        r.settle();
        r.sweep();
    }
    db_delete_obj(twin);
}

}  // namespace kiv::env
