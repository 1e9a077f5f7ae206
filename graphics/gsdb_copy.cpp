// Copying a graphics object's polygons into a GSDB_Geometry: every primitive of three or more
// corners is cut into fan triangles, one run of equal colour per list, one group for the
// object's own polygons and one per face child.
#include "graphics/gsdb_records.h"

#include "graphics/gs_object.h"

#include <algorithm>
#include <cmath>

namespace {

// The unit counter-clockwise normal of a triangle, or false when it has no area.
bool face_normal(const float p0[3], const float p1[3], const float p2[3], float out[3])
{
    const double a[3] = {double(p1[0]) - p0[0], double(p1[1]) - p0[1], double(p1[2]) - p0[2]};
    const double b[3] = {double(p2[0]) - p0[0], double(p2[1]) - p0[1], double(p2[2]) - p0[2]};
    const double n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(len > 0.0) || !std::isfinite(len)) return false;
    for (int k = 0; k < 3; ++k) out[k] = static_cast<float>(n[k] / len);
    return true;
}

void finish_list(GSDB_Group &group, std::unique_ptr<GSDB_PrimitiveList> &list, const float color[3])
{
    std::copy_n(color, 3, list->color);
    list->group = &group;
    gsdb_complete_list(*list);
    group.lists.push_back(std::move(list));
    list = std::make_unique<GSDB_PrimitiveList>();
}

// One group from the primitives that first and its local successors yield (none when empty).
void add_group(GSDB_Geometry &g, const GSpolygon &first, bool empty)
{
    GSDB_Group &group = *gsdb_add_group(g);
    auto list = std::make_unique<GSDB_PrimitiveList>();
    float running[3] = {-1.0f, 1.0f, 1.0f};
    GSpolygon cur = first;
    for (bool more = !empty; more; more = GSpolygon_nextlocalpoly(GSpolygon(cur), cur)) {
        float c[3] = {running[0], running[1], running[2]};
        GSpolygon_getcolor(cur, c[0], c[1], c[2]);
        if (c[0] != running[0] || c[1] != running[1] || c[2] != running[2]) {
            if (running[0] != -1.0f) finish_list(group, list, running);
            std::copy_n(c, 3, running);
        }
        const int n = GSpolygon_nvertices(cur);
        for (int k = 2; k < n; ++k) {
            GSvertex v[3] = {GSpolygon_getvertex(cur, 0), GSpolygon_getvertex(cur, k - 1), GSpolygon_getvertex(cur, k)};
            float p[3][3];
            for (int i = 0; i < 3; ++i) GSvertex_getposition(&v[i], p[i], GS_FRAME_LOCAL);
            float fallback[3];
            const bool hasface = face_normal(p[0], p[1], p[2], fallback);
            for (int i = 0; i < 3; ++i) {
                float normal[3];
                const float *use = nullptr;
                if (GSvertex_getnormal(&v[i], normal, GS_FRAME_LOCAL))
                    use = normal;
                else if (hasface)
                    use = fallback;
                const int index = gsdb_add_vertex(g, p[i], use);
                list->corners.push_back({index, index});
            }
        }
    }
    finish_list(group, list, running);
    gsdb_complete_group(group);
}

}  // namespace

GSDB_Geometry *createGSDB_Geometry(GSobject *obj)
{
    if (!obj) return nullptr;
    auto g = std::make_unique<GSDB_Geometry>();
    const size_t capacity = static_cast<size_t>(std::max(GSobject_npolys(obj), 0));
    g->vertices.reserve(3 * capacity);
    g->normals.reserve(3 * capacity);

    // Own polygons only: on an object the iterator goes on into the face groups, which are
    // copied from the face children below.
    GSpolygon first;
    const bool any = GSpolygon_initpoly(obj, first);
    if (any && (!first.facegroup || obj->kind() == GS_KIND_FACE)) add_group(*g, first, false);
    if (obj->kind() == GS_KIND_OBJECT)
        for (void *link = GSFirstChild(obj); link; link = GSNextChild(link)) {
            GSobject *child = GSGetChildObject(link);
            constexpr int kFaceGroup = 7;  // the type every face reads back as
            if (GSobject_getobjecttype(child) != kFaceGroup) continue;
            const bool some = GSpolygon_initpoly(child, first);
            add_group(*g, first, !some);
        }
    if (g->vertexcount() == 0) {
        const float origin[3] = {0.0f, 0.0f, 0.0f};
        gsdb_add_vertex(*g, origin, nullptr);
    }
    gsdb_finish(*g, 0.0f);
    return g.release();
}
