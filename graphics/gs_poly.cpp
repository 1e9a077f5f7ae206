// Polygon records and the vertex arrays of a mesh being built.
#include "graphics/gs_object.h"

#include "graphics/gs_primitive.h"
#include "graphics/gs_seams.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

bool mergeable(int kind)
{
    return kind == GS_POINTS || kind == GS_LINES || kind == GS_TRIANGLES || kind == GS_QUADS;
}

constexpr float kEmptyMin = 1.0e38f;

}  // namespace

int GSpoly::primitives()
{
    if (primitivecount == 0) primitivecount = gs_primitive_count(kind, static_cast<int>(corners.size()));
    return primitivecount;
}

GSpoly *GSpolylist::append(int kind, size_t capacity)
{
    GSpoly &p = polys.emplace_back();
    p.self = std::prev(polys.end());
    p.owner = this;
    p.kind = kind;
    p.seq = nextseq_++;
    p.corners.reserve(capacity);
    reindex(&p);
    return &p;
}

void GSpolylist::erase(GSpoly *poly)
{
    unindex(poly);
    polys.erase(poly->self);
}

// Records merge only when their colours are exactly equal, so the key holds the colour
// bits, with -0 folded into +0; a colour with a non-number equals nothing.
std::optional<GSmergekey> GSpolylist::key_of(const GSpoly *poly)
{
    if (!mergeable(poly->kind)) return std::nullopt;
    uint32_t bits[3];
    for (int i = 0; i < 3; ++i) {
        const float c = poly->color[i];
        if (std::isnan(c)) return std::nullopt;
        bits[i] = std::bit_cast<uint32_t>(c == 0.0f ? 0.0f : c);
    }
    return GSmergekey{poly->kind, bits[0], bits[1], bits[2]};
}

GSpoly *GSpolylist::merge_target(const GSpoly *poly) const
{
    const auto key = key_of(poly);
    if (!key) return nullptr;
    const auto it = merge_index_.find(*key);
    if (it == merge_index_.end()) return nullptr;
    for (const auto &[seq, other] : it->second)
        if (other != poly) return other;
    return nullptr;
}

void GSpolylist::reindex(GSpoly *poly)
{
    unindex(poly);
    if (const auto key = key_of(poly)) {
        merge_index_[*key].emplace(poly->seq, poly);
        poly->indexed = true;
        poly->indexkey = *key;
    }
}

void GSpolylist::unindex(GSpoly *poly)
{
    if (!poly->indexed) return;
    const auto it = merge_index_.find(poly->indexkey);
    it->second.erase(poly->seq);
    if (it->second.empty()) merge_index_.erase(it);
    poly->indexed = false;
}

void GSpolylist::clear_bounds()
{
    for (int i = 0; i < 3; ++i) {
        bounds[i] = kEmptyMin;
        bounds[i + 3] = -kEmptyMin;
    }
}

void GSpolylist::recount()
{
    polygoncount = static_cast<int>(polys.size());
    primitivecount = 0;
    for (GSpoly &p : polys) primitivecount += p.primitives();
}

void GSpolylist::set_measures_from_bounds()
{
    if (bounds[0] > bounds[3]) std::fill(bounds, bounds + 6, 0.0f);
    double d2 = 0.0;
    for (int i = 0; i < 3; ++i) {
        midpoint[i] = 0.5f * (bounds[i] + bounds[i + 3]);
        const double e = double(bounds[i + 3]) - bounds[i];
        d2 += e * e;
    }
    radius = static_cast<float>(0.5 * std::sqrt(d2));
    radiussquared = radius * radius;
}

void GSpolylist::measure_corners()
{
    clear_bounds();
    if (GSmesh *m = vertexmesh()) {
        const int nv = static_cast<int>(m->vertexcount());
        for (const GSpoly &p : polys)
            for (const GScorner &c : p.corners) {
                if (c.vertex < 0 || c.vertex >= nv) continue;
                const float *v = &m->vertices[3 * size_t(c.vertex)];
                for (int i = 0; i < 3; ++i) {
                    bounds[i] = std::min(bounds[i], v[i]);
                    bounds[i + 3] = std::max(bounds[i + 3], v[i]);
                }
            }
    }
    set_measures_from_bounds();
}

GSsubmesh::~GSsubmesh() { unlink(); }

void GSsubmesh::unlink()
{
    if (parentmesh) parentmesh->facegroups.remove(this);
    parentmesh = nullptr;
}

GSmesh::~GSmesh()
{
    for (GSsubmesh *sub : facegroups) sub->parentmesh = nullptr;
}

void GSmesh::link(GSsubmesh *sub)
{
    if (sub->parentmesh) return;
    facegroups.push_back(sub);
    sub->parentmesh = this;
}

GSvertex GSvertex_new(float p[3])
{
    GSvertex v{};
    std::copy(p, p + 3, v.position);
    return v;
}

bool GSvertex_setnormal(GSvertex *v, float n[3])
{
    if (!v || !n) return false;
    std::copy(n, n + 3, v->normal);
    v->hasnormal = true;
    return true;
}

bool GSobject_addvertex(GSobject *obj, GSvertex *v)
{
    if (!obj || !v) return false;
    ADT_Object *owner = obj->placed();
    if (!owner) return false;
    GSmesh &m = *owner->mesh;
    m.vertices.insert(m.vertices.end(), v->position, v->position + 3);
    if (v->hasnormal) m.normals.insert(m.normals.end(), v->normal, v->normal + 3);
    else m.normals.insert(m.normals.end(), {GS_NO_NORMAL, GS_NO_NORMAL, GS_NO_NORMAL});
    return true;
}

namespace {

GSpoly *begin_poly(GSobject *obj, int kind, long capacity)
{
    if (!obj) return nullptr;
    return obj->polylist()->append(kind, static_cast<size_t>(std::max(capacity, 0L)));
}

}  // namespace

GSpoly *GSpoly_begin(GSobject *obj) { return begin_poly(obj, GS_POLYGON, 3); }
GSpoly *GSpoly_begintriangles(GSobject *obj, int n) { return begin_poly(obj, GS_TRIANGLES, 3L * n); }
GSpoly *GSpoly_begintristrip(GSobject *obj, int n) { return begin_poly(obj, GS_TRIANGLE_STRIP, n); }
GSpoly *GSpoly_begintrifan(GSobject *obj, int n) { return begin_poly(obj, GS_TRIANGLE_FAN, n); }
GSpoly *GSpoly_beginlinestrip(GSobject *obj, int n) { return begin_poly(obj, GS_LINE_STRIP, n); }

bool GSpoly_addvertex(GSpoly *poly, int index)
{
    if (!poly) return false;
    poly->corners.push_back({index, index});
    poly->primitivecount = 0;
    return true;
}

void GSpoly_setcolor(GSpoly *poly, float r, float g, float b)
{
    if (!poly) return;
    poly->owner->unindex(poly);
    poly->color[0] = r;
    poly->color[1] = g;
    poly->color[2] = b;
    poly->owner->reindex(poly);
    gs_mark_changed();
}

bool GSpoly_close(GSpoly *poly)
{
    if (!poly) return false;
    GSpolylist &list = *poly->owner;
    if (poly->kind == GS_POLYGON && (poly->corners.size() == 3 || poly->corners.size() == 4)) {
        poly->kind = poly->corners.size() == 3 ? GS_TRIANGLES : GS_QUADS;
        poly->primitivecount = 0;
        list.reindex(poly);
    }
    if (GSpoly *target = list.merge_target(poly)) {
        target->corners.insert(target->corners.end(), poly->corners.begin(), poly->corners.end());
        target->primitivecount = 0;
        list.erase(poly);
    } else {
        poly->corners.shrink_to_fit();
    }
    return true;
}
