// Iteration over the primitives of an object's polygon records and face groups.
#include "graphics/gs_object.h"

#include "graphics/gs_primitive.h"
#include "graphics/gs_transform.h"

#include <algorithm>

namespace {

// The first record from it on (within its list) that has primitives.
GSpoly *first_nonempty(std::list<GSpoly>::iterator it, std::list<GSpoly>::iterator end)
{
    for (; it != end; ++it)
        if (it->primitives() > 0) return &*it;
    return nullptr;
}

// Continues with the face groups after fg (from the first when fg is null).
bool enter_facegroups(GSpolygon &p, GSsubmesh *fg)
{
    ADT_Object *obj = p.object && p.object->kind() == GS_KIND_OBJECT ? static_cast<ADT_Object *>(p.object) : nullptr;
    if (!obj) return false;
    auto &groups = obj->mesh->facegroups;
    auto it = groups.begin();
    if (fg) {
        it = std::find(groups.begin(), groups.end(), fg);
        if (it != groups.end()) ++it;
    }
    for (; it != groups.end(); ++it)
        if (GSpoly *poly = first_nonempty((*it)->polys.begin(), (*it)->polys.end())) {
            p.facegroup = *it;
            p.poly = poly;
            p.primitive = 0;
            return true;
        }
    return false;
}

bool advance(const GSpolygon &cur, GSpolygon &next, bool local)
{
    if (!cur.poly) return false;
    next = cur;
    if (cur.primitive + 1 < cur.poly->primitives()) {
        ++next.primitive;
        return true;
    }
    if (GSpoly *poly = first_nonempty(std::next(cur.poly->self), cur.poly->owner->polys.end())) {
        next.poly = poly;
        next.primitive = 0;
        return true;
    }
    if (local || cur.object->kind() != GS_KIND_OBJECT) return false;
    return enter_facegroups(next, cur.facegroup);
}

// The corner a vertex record addresses, or null.
const GScorner *corner_of(const GSpoly *poly, int primitive, int corner)
{
    if (!poly) return nullptr;
    const int n = static_cast<int>(poly->corners.size());
    const int i = gs_corner_index(poly->kind, n, primitive, corner);
    return i >= 0 && i < n ? &poly->corners[size_t(i)] : nullptr;
}

const float *normal_of(GSmesh *mesh, const GScorner &c)
{
    if (!mesh || c.normal < 0 || size_t(c.normal) >= mesh->normalcount()) return nullptr;
    const float *n = &mesh->normals[3 * size_t(c.normal)];
    return n[0] < GS_NO_NORMAL ? n : nullptr;
}

}  // namespace

int GSobject_npolys(GSobject *obj)
{
    return obj ? obj->polylist()->primitivecount : 0;
}

bool GSobject_firstpoly(GSobject *obj, GSpolygon &first)
{
    first = GSpolygon{obj, nullptr, nullptr, 0};
    if (!obj) return false;
    GSpolylist *list = obj->polylist();
    if (obj->kind() == GS_KIND_FACE) first.facegroup = static_cast<GSsubmesh *>(list);
    if ((first.poly = first_nonempty(list->polys.begin(), list->polys.end()))) return true;
    return obj->kind() == GS_KIND_OBJECT && enter_facegroups(first, nullptr);
}

bool GSpolygon_initpoly(GSobject *obj, GSpolygon &first) { return GSobject_firstpoly(obj, first); }

bool GSpolygon_nextpoly(const GSpolygon &cur, GSpolygon &next) { return advance(cur, next, false); }

bool GSpolygon_nextlocalpoly(const GSpolygon &cur, GSpolygon &next) { return advance(cur, next, true); }

int GSpolygon_nvertices(const GSpolygon &p)
{
    return p.poly ? gs_corners_per_primitive(p.poly->kind, static_cast<int>(p.poly->corners.size())) : 0;
}

GSvertex GSpolygon_getvertex(const GSpolygon &p, int corner)
{
    GSvertex v{};
    v.polygon = p.poly;
    v.primitive = p.primitive;
    v.corner = corner;
    if (p.object && p.object->kind() == GS_KIND_OBJECT) v.object = p.object;
    const GScorner *c = corner_of(p.poly, p.primitive, corner);
    GSmesh *mesh = p.poly ? p.poly->owner->vertexmesh() : nullptr;
    if (!c || !mesh) return v;
    if (c->vertex >= 0 && size_t(c->vertex) < mesh->vertexcount())
        std::copy_n(&mesh->vertices[3 * size_t(c->vertex)], 3, v.position);
    if (const float *n = normal_of(mesh, *c)) {
        std::copy_n(n, 3, v.normal);
        v.hasnormal = true;
    }
    return v;
}

void GSpolygon_getcolor(const GSpolygon &p, float &r, float &g, float &b)
{
    if (!p.poly) return;
    r = p.poly->color[0];
    g = p.poly->color[1];
    b = p.poly->color[2];
}

bool GSvertex_getposition(GSvertex *v, float out[3], GSframe frame)
{
    if (!v) return false;
    if (frame == GS_FRAME_WORLD && v->object)
        gs_local_to_world(static_cast<ADT_Object *>(v->object)).apply(v->position, out);
    else
        std::copy_n(v->position, 3, out);
    return true;
}

bool GSvertex_getnormal(GSvertex *v, float out[3], GSframe frame)
{
    if (!v) return false;
    if (const GScorner *c = corner_of(v->polygon, v->primitive, v->corner)) {
        const float *n = normal_of(v->polygon->owner->vertexmesh(), *c);
        v->hasnormal = n != nullptr;
        if (n) std::copy_n(n, 3, v->normal);
    }
    if (!v->hasnormal) return false;
    if (frame == GS_FRAME_WORLD && v->object) {
        // Normals go through the inverse transpose of the world map: Wᵀ, not renormalised.
        const ADT_Matrix w = gs_world_orientation(static_cast<ADT_Object *>(v->object));
        for (int i = 0; i < 3; ++i)
            out[i] = w.m[i] * v->normal[0] + w.m[4 + i] * v->normal[1] + w.m[8 + i] * v->normal[2];
    } else {
        std::copy_n(v->normal, 3, out);
    }
    return true;
}

bool GSvertex_getcachedworldposition(GSvertex *v, float out[3])
{
    if (!v || !v->object) return false;
    const GScorner *c = corner_of(v->polygon, v->primitive, v->corner);
    const auto *obj = static_cast<ADT_Object *>(v->object);
    if (!c || c->vertex < 0 || 3 * size_t(c->vertex) + 2 >= obj->cachedworld.size()) return false;
    std::copy_n(&obj->cachedworld[3 * size_t(c->vertex)], 3, out);
    return true;
}
