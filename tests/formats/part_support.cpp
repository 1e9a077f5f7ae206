#include "formats/part_support.h"

#include "graphics/gs_object.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kivtest {

std::vector<Group> snapshot(GSobject *obj)
{
    auto &o = static_cast<ADT_Object &>(*obj);
    const GSmesh &mesh = *o.mesh;
    std::vector<const GSpolylist *> lists;
    if (!mesh.polys.empty())
        lists.push_back(&mesh);
    lists.insert(lists.end(), mesh.facegroups.begin(), mesh.facegroups.end());
    std::vector<Group> groups;
    for (const GSpolylist *list : lists) {
        Group &g = groups.emplace_back();
        for (const GSpoly &p : list->polys) {
            Record &r = g.emplace_back(Record{p.kind, {p.color[0], p.color[1], p.color[2]}, {}});
            for (const GScorner &c : p.corners) {
                Corner k{};
                std::copy_n(&mesh.vertices.at(3 * size_t(c.vertex)), 3, k.position.begin());
                k.hasnormal = c.normal >= 0;
                if (k.hasnormal)
                    std::copy_n(&mesh.normals.at(3 * size_t(c.normal)), 3, k.normal.begin());
                r.corners.push_back(k);
            }
        }
    }
    return groups;
}

void expect_near(const std::array<float, 3> &a, const std::array<float, 3> &b)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(a[i], b[i], 1e-5f);
}

void expect_same(const std::vector<Group> &a, const std::vector<Group> &b)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t g = 0; g < a.size(); ++g) {
        ASSERT_EQ(a[g].size(), b[g].size()) << "group " << g;
        for (size_t r = 0; r < a[g].size(); ++r) {
            const Record &x = a[g][r], &y = b[g][r];
            EXPECT_EQ(x.kind, y.kind) << "group " << g << " record " << r;
            expect_near(x.color, y.color);
            ASSERT_EQ(x.corners.size(), y.corners.size()) << "group " << g << " record " << r;
            for (size_t c = 0; c < x.corners.size(); ++c) {
                expect_near(x.corners[c].position, y.corners[c].position);
                ASSERT_EQ(x.corners[c].hasnormal, y.corners[c].hasnormal);
                if (x.corners[c].hasnormal)
                    expect_near(x.corners[c].normal, y.corners[c].normal);
            }
        }
    }
}

int face_children(GSobject *obj)
{
    int n = 0;
    for (void *link = GSFirstChild(obj); link; link = GSNextChild(link))
        n += GSobject_kind(GSGetChildObject(link)) == GS_KIND_FACE;
    return n;
}

// A part with every kind of record, colours that merge and colours that do not, corners
// with and without normals, polygons of its own and two face groups.
Object build_part()
{
    Object obj(GSobject_begin());
    const float box[8][3] = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {0, 1, 0}, {0, 0, 3.5f}, {2, 0, 3.5f}, {2, 1, 3.5f}, {0, 1, 3.5f}};
    for (int i = 0; i < 8; ++i) {
        float p[3] = {box[i][0] - 1.25f, box[i][1], box[i][2]};
        GSvertex v = GSvertex_new(p);
        float n[3] = {0.6f, i % 3 == 0 ? 0.8f : -0.8f, 0.0f};
        if (i % 4 != 3)
            GSvertex_setnormal(&v, n);
        GSobject_addvertex(obj.get(), &v);
    }
    auto poly = [](GSobject *on, int kind, std::vector<int> corners, float r, float g, float b) {
        GSpoly *p = GSpoly_begin(on);
        p->kind = kind;
        for (int c : corners)
            GSpoly_addvertex(p, c);
        GSpoly_setcolor(p, r, g, b);
        GSpoly_close(p);
    };
    for (int kind = GS_POINTS; kind <= GS_POLYGON; ++kind)
        poly(obj.get(), kind, {0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3}, 0.1f * kind, 0.5f, 1.0f);
    poly(obj.get(), GS_POLYGON, {4, 5, 6, 7}, 0.25f, 0.5f, 0.75f);  // becomes QUADS
    poly(obj.get(), GS_TRIANGLES, {0, 2, 4}, 0.4f, 0.5f, 1.0f);      // merges with kind 4
    GSobject *face = GSface_begin();
    GSface_attach(obj.get(), face);
    poly(face, GS_TRIANGLE_FAN, {0, 1, 5, 4}, 1, 0, 0);
    poly(face, GS_LINES, {3, 7}, 0, 1, 0);
    GSobject *empty = GSface_begin();
    GSface_attach(obj.get(), empty);
    GSobject_close(obj.get(), 0.0f);
    return obj;
}

} // namespace kivtest
