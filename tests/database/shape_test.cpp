// Primitive shapes, geometry levels, groups, and names carried onto graphics nodes.
#include "db_fixture.h"

#include <kivctrl/geom_params.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/ve_bind.h>

#include <array>

namespace {

const _geom_params *shape(_object *o)
{
    return static_cast<const _geom_params *>(o->vars.getvalue("_GEOM_PARAMS"));
}

TEST_F(DbTest, PrimitiveShapesFillTheirParameterRecords)
{
    struct Case {
        const char *what;
        int (*make)(_object *);
        int kind, segments, segments2;
        std::array<float, 9> p;
    };
    const Case cases[] = {
        {"box", [](_object *o) { return obj_create_box(o, 2, 3, 4); }, 1, 10, 10,
         {2, 3, 4, 1, 1, 1, 1, 1, 1}},
        {"cone", [](_object *o) { return obj_create_cone(o, 5, 6, 7); }, 2, 7, 10,
         {1, 1, 1, 6, 5, 1, 1, 1, 1}},
        {"cylinder", [](_object *o) { return obj_create_cylinder(o, 5, 6, 7); }, 3, 7, 10,
         {1, 1, 1, 6, 5, 1, 1, 1, 1}},
        {"sphere", [](_object *o) { return obj_create_sphere(o, 9, 12); }, 4, 12, 10,
         {1, 1, 1, 9, 1, 1, 1, 1, 1}},
        {"helix", [](_object *o) { return obj_create_helix(o, 1.5f, 2.5f, 3.5f, 4.5f, 20, 30); },
         5, 20, 30, {1, 1, 1, 1, 3.5f, 1, 1.5f, 2.5f, 4.5f}},
    };
    for (const Case &c : cases) {
        _object *o = make(root, OBJ_OBJECT, c.what);
        ASSERT_EQ(c.make(o), 0) << c.what;
        const _geom_params *g = shape(o);
        ASSERT_NE(g, nullptr) << c.what;
        EXPECT_EQ(g->kind, c.kind) << c.what;
        EXPECT_EQ(g->segments, c.segments) << c.what;
        EXPECT_EQ(g->segments2, c.segments2) << c.what;
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(g->p[i], c.p[i]) << c.what << " p[" << i << "]";
        ASSERT_EQ(o->geolist.count(), 1) << c.what;
        EXPECT_EQ(o->geolist.get(1)->threshold, 0.0f);
        EXPECT_EQ(o->geolist.get(1)->part_name(), nullptr);
    }
    EXPECT_EQ(obj_create_box(nullptr, 1, 1, 1), 101);
}

TEST_F(DbTest, ANewShapeReplacesTheOldOneAndKeepsTheLevels)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    obj_create_box(o, 1, 2, 3);
    obj_create_sphere(o, 4, 8);
    EXPECT_EQ(o->vars.count(), 1);
    EXPECT_EQ(shape(o)->kind, 4);
    EXPECT_EQ(o->geolist.count(), 1);

    _object *filed = make(root, OBJ_OBJECT, "filed");
    obj_set_file(filed, "bolt.kvg", 0.0f);
    obj_create_cylinder(filed, 1, 1, 6);
    ASSERT_EQ(filed->geolist.count(), 1);  // a level exists: none is added
    EXPECT_STREQ(filed->geolist.get(1)->part_name(), "bolt.kvg");
}

TEST_F(DbTest, GeometryLevelThresholdsStayUniqueAndAscending)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    for (float t : {0.0f, 0.0f, 0.0f, 4.0f, 100.0f, 8.0f})
        EXPECT_EQ(obj_set_file(o, "lod", t), 0);
    std::vector<float> thresholds;
    for (int i = 1; i <= o->geolist.count(); ++i)
        thresholds.push_back(o->geolist.get(i)->threshold);
    EXPECT_EQ(thresholds, (std::vector<float>{0, 4, 8, 16, 24, 100}));
    _geometry *g = nullptr;
    EXPECT_EQ(obj_set_file(o, "x", g, 50.0f), 0);
    EXPECT_EQ(o->geolist.find(g), 6);
}

TEST_F(DbTest, CreateGroupTurnsTheObjectIntoAGroup)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    EXPECT_EQ(obj_create_group(o), 0);
    EXPECT_EQ(o->type, OBJ_GROUP);
    EXPECT_EQ(obj_create_group(nullptr), 101);
}

TEST_F(DbTest, RenamingReachesTheGraphicsNodes)
{
    _object *part = make(root, OBJ_OBJECT, "part");
    obj_set_file(part, "a.kvg", 0.0f);
    obj_set_file(part, "b.kvg", 0.0f);
    GSobject *lod1 = GSobject_begin();
    GSobject *lod2 = GSobject_begin();
    part->geolist.get(1)->handle = lod1;
    part->geolist.get(2)->handle = lod2;
    _object *group = make(root, OBJ_GROUP, "group");
    GSobject *node = group->gsobject;  // bound at creation

    MessageLog log({MSG_OBJ_RENAMED});
    EXPECT_EQ(obj_set_name(part, "bolt"), 0);
    EXPECT_EQ(obj_set_name(group, "frame"), 0);
    EXPECT_STREQ(GSobject_getname(lod1), "bolt");
    EXPECT_STREQ(GSobject_getname(lod2), "bolt");
    EXPECT_STREQ(GSobject_getname(node), "frame");
    EXPECT_EQ(log.entries(), (std::vector<Msg>{{MSG_OBJ_RENAMED, part}, {MSG_OBJ_RENAMED, group}}));

    // The levels' graphics objects go with the part.
}

}  // namespace
