// Graphics object hierarchy, placement, attributes and registration.
#include <kivctrl/gsobject.h>

#include "graphics/gs_object.h"
#include "graphics/universe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// A closed triangle mesh whose midpoint is (1, 1, 1) and whose corners carry normals.
GSobject *make_part(float size = 2.0f)
{
    GSobject *obj = GSobject_begin();
    const float pts[4][3] = {{0, 0, 0}, {size, 0, 0}, {0, size, 0}, {0, 0, size}};
    const float n[3] = {0, 0, 1};
    for (const auto &p : pts) {
        float q[3] = {p[0], p[1], p[2]}, nn[3] = {n[0], n[1], n[2]};
        GSvertex v = GSvertex_new(q);
        GSvertex_setnormal(&v, nn);
        GSobject_addvertex(obj, &v);
    }
    GSpoly *t = GSpoly_begintriangles(obj, 2);
    for (int i : {0, 1, 2, 0, 2, 3}) GSpoly_addvertex(t, i);
    GSpoly_close(t);
    GSobject_close(obj, 0.0f);
    return obj;
}

QEL_QUAT random_quat(std::mt19937 &gen)
{
    std::normal_distribution<float> d;
    return QEL_QUAT(d(gen), d(gen), d(gen), d(gen)).normalize();
}

void expect_near3(const float *a, const float *b, float tol)
{
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(a[i], b[i], tol) << "component " << i;
}

void expect_same_rotation(const float *a, const float *b, float tol)
{
    const float sign = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3] < 0 ? -1.0f : 1.0f;
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(a[i], sign * b[i], tol);
}

// A chain root -> mid -> leaf with turns, offsets and pivots away from the midpoints.
struct Chain {
    GSobject *root, *mid, *leaf;
    Chain()
    {
        std::mt19937 gen(9);
        root = make_part();
        mid = make_part(1.0f);
        leaf = make_part(3.0f);
        float q[4], p[3];
        for (GSobject *o : {root, mid, leaf}) {
            random_quat(gen).to4(q);
            GSobject_setorientation(o, q);
            const float pivot[3] = {0.3f, -0.2f, 0.7f};
            GSobject_setpivot(o, pivot, GS_FRAME_LOCAL);
            p[0] = float(gen() % 7);
            p[1] = -2.0f;
            p[2] = 0.5f;
            GSobject_setposition(o, p);
        }
        GSobject_attach(root, mid);
        GSobject_attach(mid, leaf);
    }
    ~Chain() { GSobject_delete(root); }
};

TEST(GSobjectPlacement, PositionAndOrientationRoundTripInEveryLevel)
{
    Chain c;
    std::mt19937 gen(4);
    for (GSobject *o : {c.root, c.mid, c.leaf}) {
        for (int n = 0; n < 20; ++n) {
            float q[4], back[4];
            random_quat(gen).to4(q);
            GSobject_setorientation(o, q);
            GSobject_getorientation(o, back);
            expect_same_rotation(back, q, 1e-4f);

            const float p[3] = {float(n), -1.5f, 2.25f};
            float got[3];
            GSobject_setposition(o, p);
            GSobject_getposition(o, got);
            expect_near3(got, p, 1e-4f);
            GSobject_setorgposition(o, p);
            GSobject_getorgposition(o, got);
            expect_near3(got, p, 1e-4f);
        }
    }
}

TEST(GSobjectPlacement, WorldImagesAgreeWithTheWorldOrientation)
{
    Chain c;
    // The world map of the leaf is a rotation by its world orientation plus a translation:
    // differences of world points are local differences turned by R(q).
    float qa[4];
    GSobject_getorientation(c.leaf, qa);
    const QEL_QUAT q(qa);
    GSobject_cachevertexworldpositions(c.leaf);
    GSpolygon pg;
    ASSERT_TRUE(GSobject_firstpoly(c.leaf, pg));
    GSvertex a = GSpolygon_getvertex(pg, 0), b = GSpolygon_getvertex(pg, 1);
    float wa[3], wb[3], ca[3];
    GSvertex_getposition(&a, wa, GS_FRAME_WORLD);
    GSvertex_getposition(&b, wb, GS_FRAME_WORLD);
    ASSERT_TRUE(GSvertex_getcachedworldposition(&a, ca));
    expect_near3(ca, wa, 1e-5f);
    const QEL_VECT3 local(b.position[0] - a.position[0], b.position[1] - a.position[1], b.position[2] - a.position[2]);
    const QEL_VECT3 turned = q.xform(local);
    const float world[3] = {wb[0] - wa[0], wb[1] - wa[1], wb[2] - wa[2]};
    expect_near3(world, &turned.x, 1e-4f);

    // Normals turn the same way.
    float n[3];
    ASSERT_TRUE(GSvertex_getnormal(&a, n, GS_FRAME_WORLD));
    const QEL_VECT3 nz = q.xform(QEL_VECT3(0, 0, 1));
    expect_near3(n, &nz.x, 1e-4f);

    // The pivot in world coordinates is where the world map puts the local pivot.
    float pw[3], pl[3];
    GSobject_getpivot(c.leaf, pw, GS_FRAME_WORLD);
    GSobject_getpivot(c.leaf, pl, GS_FRAME_LOCAL);
    const QEL_VECT3 d = q.xform(QEL_VECT3(pl[0] - a.position[0], pl[1] - a.position[1], pl[2] - a.position[2]));
    const float expect[3] = {wa[0] + d.x, wa[1] + d.y, wa[2] + d.z};
    expect_near3(pw, expect, 1e-4f);
}

TEST(GSobjectPlacement, SettingThePivotKeepsThePosition)
{
    Chain c;
    for (GSframe frame : {GS_FRAME_LOCAL, GS_FRAME_WORLD}) {
        float before[3], after[3], back[3];
        GSobject_getposition(c.leaf, before);
        const float p[3] = {4.0f, -3.0f, 1.0f};
        GSobject_setpivot(c.leaf, p, frame);
        GSobject_getposition(c.leaf, after);
        expect_near3(after, before, 1e-4f);
        GSobject_getpivot(c.leaf, back, frame);
        expect_near3(back, p, 1e-4f);
    }
}

TEST(GSobjectHierarchy, AttachAndDetachKeepWorldPlacement)
{
    std::mt19937 gen(1);
    GSobject *parent = make_part(), *child = make_part(1.0f);
    float q[4];
    random_quat(gen).to4(q);
    GSobject_setorientation(parent, q);
    const float pp[3] = {5, 0, 0};
    GSobject_setposition(parent, pp);
    GSobject_add(parent);
    GSobject_add(child);
    auto listed = [](const std::vector<GSobject *> &l, GSobject *o) { return std::find(l.begin(), l.end(), o) != l.end(); };
    EXPECT_TRUE(listed(GSuniverse_record().roots, child));

    float pos[3], orient[4], pos2[3], orient2[4];
    GSobject_getposition(child, pos);
    GSobject_getorientation(child, orient);
    GSobject_attach(parent, child);
    EXPECT_EQ(GSobject_getparent(child), parent);
    EXPECT_TRUE(listed(GSuniverse_record().nonroots, child));
    EXPECT_FALSE(listed(GSuniverse_record().roots, child));
    GSobject_getposition(child, pos2);
    GSobject_getorientation(child, orient2);
    expect_near3(pos2, pos, 1e-4f);
    expect_same_rotation(orient2, orient, 1e-4f);

    // A parent cannot go below its own child.
    GSobject_attach(child, parent);
    EXPECT_EQ(GSobject_getparent(parent), nullptr);

    EXPECT_TRUE(GSobject_detach(parent, child));
    EXPECT_FALSE(GSobject_detach(parent, child));
    EXPECT_TRUE(listed(GSuniverse_record().roots, child));
    GSobject_getposition(child, pos2);
    expect_near3(pos2, pos, 1e-4f);

    GSobject_delete(child);
    GSobject_delete(parent);
    EXPECT_FALSE(listed(GSuniverse_record().roots, child));
    EXPECT_FALSE(listed(GSuniverse_record().roots, parent));
}

TEST(GSobjectHierarchy, ChildLinksAndDeletion)
{
    GSobject *root = GSobject_begin();
    GSobject *a = GSobject_begin(), *b = GSobject_begin(), *keep = GSobject_begin();
    GSobject *face = GSface_begin();
    int owner = 0;
    GSobject_setdata(keep, &owner);
    for (GSobject *c : {a, b, keep}) GSobject_attach(root, c);
    GSobject_attach(root, face);  // faces attach this way only while loading in the background
    EXPECT_EQ(GSobject_getparent(face), nullptr);
    GSface_attach(root, face);

    std::vector<GSobject *> seen;
    for (void *l = GSFirstChild(root); l; l = GSNextChild(l)) seen.push_back(GSGetChildObject(l));
    EXPECT_EQ(seen, (std::vector<GSobject *>{a, b, keep, face}));
    EXPECT_EQ(GSFirstChild(a), nullptr);
    EXPECT_EQ(GSface_calculate_offset(face), 3);
    EXPECT_FALSE(GSobject_detach(root, face));

    // Deleting a face through GSobject_delete only resets it.
    GSobject_setcolor(face, 1, 0, 0, 5);
    GSface_active(face, 0);
    GSobject_delete(face);
    EXPECT_FALSE(GSobject_colorexists(face));
    EXPECT_EQ(static_cast<ADT_Face *>(face)->active, 1);
    EXPECT_EQ(GSobject_getparent(face), root);

    // Children with data survive their parent.
    GSobject_delete(root);
    EXPECT_EQ(GSobject_getparent(keep), nullptr);
    EXPECT_EQ(GSobject_getdata(keep), &owner);
    GSobject_delete(keep);
}

TEST(GSobjectHierarchy, InstancesShareTheMesh)
{
    GSobject *src = make_part();
    GSobject *inst = GSobject_newinstance(src);
    EXPECT_EQ(static_cast<ADT_Object *>(inst)->mesh, static_cast<ADT_Object *>(src)->mesh);
    EXPECT_EQ(static_cast<ADT_Object *>(src)->mesh.use_count(), 2);
    float a[3], b[3];
    GSobject_getpivot(src, a, GS_FRAME_LOCAL);
    GSobject_getpivot(inst, b, GS_FRAME_LOCAL);
    expect_near3(a, b, 0.0f);
    GSobject_delete(src);
    EXPECT_EQ(GSobject_npolys(inst), 2);
    GSobject_delete(inst);
}

TEST(GSobjectAttributes, ColourLevelsAndDefaults)
{
    GSobject *obj = GSobject_begin();
    GScolorRGB c = GSobject_getcolor(obj);
    EXPECT_EQ(c.r, 1.0f);
    EXPECT_TRUE(GSobject_colorexists(obj));
    GScolorRGB red{1, 0, 0};
    GSobject_setcolor(obj, red, 7);
    EXPECT_EQ(GSobject_getcolor(obj).g, 0.0f);
    EXPECT_EQ(obj->attribute(GS_ATTR_COLOR)->priority, 7);
    GSobject_setcolor(obj, 0, 0, 0, -1);
    EXPECT_EQ(GSobject_getcolor(obj).r, -1.0f);
    EXPECT_FALSE(GSobject_colorexists(obj));
    GSobject_setcolor(obj, 0.5f, 0.5f, 0.5f, 0);
    EXPECT_EQ(GSobject_getcolor(obj).r, 0.5f);
    // Faces start without attributes.
    GSobject *face = GSface_begin();
    EXPECT_FALSE(GSobject_colorexists(face));
    GSface_delete(face);
    GSobject_delete(obj);
}

TEST(GSobjectAttributes, HighlightOnObjectsAndFaces)
{
    GSobject *obj = GSobject_begin(), *face = GSface_begin();
    GSface_attach(obj, face);
    GSobject_highlight(obj, 3);
    GSobject_highlight(obj, 35);  // slot modulo 32
    EXPECT_EQ(obj->attribute(GS_ATTR_HIGHLIGHT)->mask, 0b1000u);
    GSobject_highlight(obj, 1);
    GSobject_dehighlight(obj, 3);
    EXPECT_EQ(obj->attribute(GS_ATTR_HIGHLIGHT)->mask, 0b10u);
    GSobject_dehighlightall(obj);
    ASSERT_NE(obj->attribute(GS_ATTR_HIGHLIGHT), nullptr);  // kept, overriding with 0
    EXPECT_EQ(obj->attribute(GS_ATTR_HIGHLIGHT)->mask, 0u);

    GSobject_highlight(face, 2);
    EXPECT_EQ(face->attribute(GS_ATTR_HIGHLIGHT)->priority, 100);
    GSobject_dehighlight(face, 9);  // any slot removes the face's node
    EXPECT_EQ(face->attribute(GS_ATTR_HIGHLIGHT), nullptr);
    GSobject_delete(obj);
}

TEST(GSobjectAttributes, ObjectTypesAndTheOpacityApplier)
{
    GSobject *obj = GSobject_begin(), *face = GSface_begin();
    const int readback[8] = {0, 1, 2, 3, 4, 5, 6, 0};
    for (int t = 0; t < 8; ++t) {
        GSobject_setobjecttype(obj, t);
        EXPECT_EQ(GSobject_getobjecttype(obj), readback[t]) << t;
        GSobject_setobjecttype(face, t);
        EXPECT_EQ(GSobject_getobjecttype(face), 7);
    }
    GSobject_setobjecttype(obj, 42);
    EXPECT_EQ(GSobject_getobjecttype(obj), 0);

    GSobject_settransparency(obj, 0.4f, 50);
    GSobject_setobjecttype(obj, GS_OBJTYPE_ASSEMBLY);
    const GSattribute *n = obj->attribute(GS_ATTR_TRANSPARENCY);
    EXPECT_EQ(n->applier, GSopacityapplier::assembly);
    EXPECT_EQ(n->value[0], 0.4f);
    EXPECT_EQ(n->priority, 0);
    GSobject_settransparency(obj, 0, -1);
    GSobject_setobjecttype(obj, GS_OBJTYPE_GEOMETRY);
    n = obj->attribute(GS_ATTR_TRANSPARENCY);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->applier, GSopacityapplier::object);
    EXPECT_EQ(n->value[0], 1.0f);
    EXPECT_EQ(n->priority, 100);

    GSobject_settransparency(face, 0.5f, 1);
    EXPECT_EQ(face->attribute(GS_ATTR_TRANSPARENCY)->applier, GSopacityapplier::face);
    GSface_delete(face);
    GSobject_delete(obj);
}

TEST(GSobjectAttributes, SwitchesAndFaceForwarding)
{
    GSobject *obj = make_part(), *face = GSface_begin();
    GSface_attach(obj, face);
    EXPECT_TRUE(GSobject_getvisibility(face));
    GSobject_setvisibility(obj, false);
    EXPECT_FALSE(GSobject_getvisibility(face));  // a face shows with its parent
    GSobject_setvisibility(face, true);         // and cannot be shown alone
    EXPECT_FALSE(GSobject_getvisibility(obj));

    float a[3], b[3];
    GSobject_getposition(obj, a);
    GSobject_getposition(face, b);
    expect_near3(a, b, 0.0f);
    const float elsewhere[3] = {9, 9, 9};
    GSobject_setposition(face, elsewhere);
    GSobject_getposition(obj, b);
    expect_near3(a, b, 0.0f);

    GSobject_setrendering(obj, 0);
    EXPECT_EQ(static_cast<ADT_Object *>(obj)->rendering, 1);
    GSobject_setrendering(obj, 7);
    EXPECT_EQ(static_cast<ADT_Object *>(obj)->rendering, 3);
    GSobject_setuserradius(obj, 2.5f);
    EXPECT_EQ(GSobject_getuserradius(obj), 2.5f);
    EXPECT_EQ(GSobject_getuserradius(face), 0.0f);
    GSobject_setname(obj, "bolt");
    GSobject_setname(obj, nullptr);
    EXPECT_STREQ(GSobject_getname(obj), "bolt");
    GSobject_delete(obj);
}

}  // namespace
