// Creating objects and assemblies, the per-assembly state and the field accessors.
#include "db_fixture.h"

#include <kivctrl/placement.h>

#include <cstdlib>
#include <cstring>

namespace {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" with upper-case hexadecimal digits.
bool is_registry_guid(const char *g)
{
    const char pattern[] = "{HHHHHHHH-HHHH-HHHH-HHHH-HHHHHHHHHHHH}";
    if (!g || std::strlen(g) != sizeof pattern - 1)
        return false;
    for (std::size_t i = 0; i < sizeof pattern - 1; ++i) {
        const bool ok = pattern[i] == 'H' ? std::strchr("0123456789ABCDEF", g[i]) != nullptr
                                          : g[i] == pattern[i];
        if (!ok)
            return false;
    }
    return true;
}

TEST_F(DbTest, ViewpointJoinsAtTheFrontOthersAtTheEnd)
{
    make(root, OBJ_GROUP, "a");
    make(root, OBJ_OBJECT, "b");
    make(root, OBJ_VIEWPOINT, "v");
    make(root, OBJ_LIGHT, "c");
    EXPECT_EQ(child_names(root), (std::vector<std::string>{"v", "a", "b", "c"}));
    // A null parent means the current root.
    _object *o = db_create_obj(nullptr, OBJ_GROUP);
    EXPECT_EQ(o->parent, root);
    EXPECT_EQ(root->children.get(root->children.count()), o);
}

TEST_F(DbTest, NewObjectHasItsInitialValuesAndOneCreationMessage)
{
    _object *g = make(root, OBJ_GROUP, "g");
    MessageLog log({MSG_OBJ_CREATED, MSG_OBJ_RENAMED});
    _object *p = db_create_obj(g, OBJ_OBJECT);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(log.entries(), (std::vector<Msg>{{MSG_OBJ_CREATED, p}}));

    EXPECT_EQ(p->type, OBJ_OBJECT);
    EXPECT_EQ(p->parent, g);
    EXPECT_EQ(p->assembly, assy);
    EXPECT_EQ(p->name, nullptr);
    EXPECT_EQ(p->id, 0);
    EXPECT_TRUE(is_registry_guid(p->guid)) << p->guid;
    EXPECT_STRNE(p->guid, g->guid);
    EXPECT_EQ(p->color.r, -1.0f);
    EXPECT_EQ(p->color_level, 100);
    EXPECT_EQ(p->material.level[QEL_MATERIAL::SHININESS], 100);
    EXPECT_EQ(p->material.shininess, 30.0f);
    EXPECT_EQ(p->rendering, RENDER_SMOOTH);
    EXPECT_EQ(p->expand, 1);
    EXPECT_EQ(p->vis, 1);
    EXPECT_EQ(p->active, 0);
    EXPECT_EQ(p->geometryvalid, 1);
    EXPECT_EQ(p->face_index, -1);
    EXPECT_EQ(p->lod_index, 1);
    EXPECT_NE(p->gsobject, nullptr);  // bound to its graphics node at creation
    ASSERT_NE(p->props, nullptr);
    EXPECT_EQ(p->props->count(), 0);
    // The new object is given an empty note name.
    ASSERT_NE(p->note, nullptr);
    EXPECT_STREQ(p->note->name, "");
}

TEST_F(DbTest, FaceObjectsStopAfterTheirAnnouncement)
{
    _object *p = make(root, OBJ_OBJECT, "p");
    MessageLog log({MSG_OBJ_CREATED});
    _object *f = db_create_face_obj(p);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(log.entries(), (std::vector<Msg>{{MSG_OBJ_CREATED, f}}));
    EXPECT_EQ(f->type, OBJ_FACE);
    EXPECT_EQ(f->parent, p);
    EXPECT_EQ(f->color_level, -200);
    EXPECT_EQ(f->material.level[QEL_MATERIAL::TRANSPARENCY], -200);
    EXPECT_EQ(f->note, nullptr);
    EXPECT_EQ(db_create_face_obj(nullptr), nullptr);
}

TEST_F(DbTest, CreationRefusesBadTypesAndParents)
{
    _object *p = make(root, OBJ_OBJECT, "p");
    _object *f = db_create_face_obj(p);
    EXPECT_EQ(db_create_obj(root, static_cast<OBJECT_TYPE>(7)), nullptr);
    EXPECT_EQ(db_create_obj(root, static_cast<OBJECT_TYPE>(0)), nullptr);
    EXPECT_EQ(db_create_obj(f, OBJ_GROUP), nullptr);
    EXPECT_EQ(p->children.count(), 1);
}

TEST(Assembly, CreationMakesTheCurrentRootAndAnnouncesIt)
{
    MessageLog log({MSG_OBJ_CREATED, MSG_ASSEMBLY_CREATED});
    const int before = currency();
    KivAssembly *a = db_new_assembly("first");
    ASSERT_NE(a, nullptr);
    _object *r = a->GetRoot();
    EXPECT_EQ(log.entries(), (std::vector<Msg>{{MSG_OBJ_CREATED, r}, {MSG_ASSEMBLY_CREATED, a}}));
    EXPECT_EQ(currency(), before + 1);
    EXPECT_EQ(db_get_root(), r);
    EXPECT_TRUE(db_root_exists());
    EXPECT_TRUE(db_obj_is_root(r));
    EXPECT_EQ(r->type, OBJ_ROOT);
    EXPECT_EQ(r->parent, nullptr);
    EXPECT_EQ(r->assembly, a);
    EXPECT_STREQ(r->name, "first");
    EXPECT_STREQ(RootGetAssyPath(a), "");
    EXPECT_EQ(r->color.r, -1.0f);
    EXPECT_EQ(r->color_level, 100);

    KivAssembly *b = db_new_assembly("second");
    EXPECT_EQ(db_get_root(), b->GetRoot());
    EXPECT_EQ(currency(), before + 2);
    db_delete_assembly(b);
    EXPECT_EQ(db_get_root(), nullptr);
    EXPECT_FALSE(db_root_exists());
    db_delete_assembly(a);
}

TEST(Assembly, DeletingAnAssemblyThatIsNotCurrentLeavesTheCurrentOneAlone)
{
    KivAssembly *a = db_new_assembly("a");
    db_create_obj(a->GetRoot(), OBJ_OBJECT);
    KivAssembly *b = db_new_assembly("b");
    _object *b_part = db_create_obj(nullptr, OBJ_OBJECT);
    obj_set_name(b_part, "kept");

    MessageLog log({MSG_OBJ_FREEING});
    db_delete_assembly(a);
    EXPECT_EQ(log.entries().size(), 2u);  // a's part, then a's root
    EXPECT_EQ(db_get_root(), b->GetRoot());
    EXPECT_EQ(name_to_obj("kept"), b_part);
    db_delete_assembly(b);
    db_delete_assembly(static_cast<KivAssembly *>(nullptr));
}

TEST(Assembly, SourceIdsCountStartsAndEnds)
{
    KivAssembly bare;
    EXPECT_EQ(bare.GetCurrentSourceID(), -1);
    EXPECT_EQ(bare.StartNewSourceID(), -1);

    KivAssembly *a = db_new_assembly("s");
    _object *r = a->GetRoot();
    const int base = a->GetCurrentSourceID();
    _object *before = db_create_obj(r, OBJ_OBJECT);
    a->StartNewSourceID();
    a->StartNewSourceID();
    _object *in1 = db_create_obj(r, OBJ_GROUP);
    _object *in2 = db_create_obj(in1, OBJ_OBJECT);
    a->EndNewSourceID();
    EXPECT_EQ(a->GetCurrentSourceID(), base + 3);
    EXPECT_EQ(before->sourceid, base);
    EXPECT_EQ(in1->sourceid, base + 2);
    EXPECT_EQ(in2->sourceid, base + 2);
    db_delete_assembly(a);
}

TEST(Assembly, CustomColoursAndDefaultProperties)
{
    KivAssembly *a = db_new_assembly("c");
    EXPECT_EQ(a->GetNumCustomColors(), 16);
    for (int i = 0; i < 16; ++i) {
        const QEL_COLOR c = a->GetCustomColor(i);
        EXPECT_EQ(c.r, 1.0f);
        EXPECT_EQ(c.g, 1.0f);
        EXPECT_EQ(c.b, 1.0f);
    }
    EXPECT_TRUE(a->SetCustomColor(15, {0.1f, 0.2f, 0.3f}));
    EXPECT_EQ(a->GetCustomColor(15).g, 0.2f);
    EXPECT_FALSE(a->SetCustomColor(16, {0.0f, 0.0f, 0.0f}));
    EXPECT_FALSE(a->SetCustomColor(-1, {0.0f, 0.0f, 0.0f}));

    a->GetDefaultProps().add("Material", "steel");
    ASSERT_NE(a->GetDefaultProps().get("material"), nullptr);
    EXPECT_STREQ(a->GetDefaultProps().get("MATERIAL")->getValue(), "steel");
    db_delete_assembly(a);
}

TEST(Assembly, RootOnlyFieldsInBothForms)
{
    DBU units = 7;
    EXPECT_EQ(RootGetUnits(nullptr), 0);
    EXPECT_EQ(RootGetUnits(units, nullptr), 101);
    EXPECT_EQ(units, 7);
    EXPECT_EQ(RootSetUnits(2, nullptr), 101);
    _object *vp = nullptr;
    EXPECT_EQ(RootGetViewPoint(vp, nullptr), 101);
    EXPECT_EQ(RootGetAnimPtr(nullptr), nullptr);

    KivAssembly *a = db_new_assembly("u");
    EXPECT_EQ(RootSetUnits(3, a), 0);
    EXPECT_EQ(RootGetUnits(a), 3);
    root_set_units(4);
    EXPECT_EQ(RootGetUnits(units, a), 0);
    EXPECT_EQ(units, 4);
    EXPECT_EQ(set_assy_path(a->GetRoot(), "/data/robot.kvasf"), 0);
    const char *path = nullptr;
    EXPECT_EQ(RootGetAssyPath(path, a), 0);
    EXPECT_STREQ(path, "/data/robot.kvasf");
    set_assy_path(a->GetRoot(), nullptr);
    EXPECT_EQ(RootGetAssyPath(a), nullptr);
    IList<_path> *paths = nullptr;
    EXPECT_EQ(RootGetPathList(paths, a), 0);
    EXPECT_EQ(paths, &a->GetRoot()->root_pathlist);
    EXPECT_EQ(RootGetViewPoint(a), nullptr);
    EXPECT_EQ(a->GetAnim(), nullptr);
    db_delete_assembly(a);
}

TEST_F(DbTest, PartCountAncestryAndGroupMarks)
{
    _object *g1 = make(root, OBJ_GROUP, "g1");
    _object *g2 = make(g1, OBJ_GROUP, "g2");
    _object *p1 = make(g2, OBJ_OBJECT, "p1");
    make(g2, OBJ_OBJECT, "p2");
    make(root, OBJ_OBJECT, "p3");
    db_create_face_obj(p1);
    make(g1, OBJ_LIGHT, "l");
    EXPECT_EQ(assy->GetObjectCount(root), 3);
    EXPECT_EQ(assy->GetObjectCount(g2), 2);
    EXPECT_EQ(assy->GetObjectCount(p1), 0);

    EXPECT_TRUE(obj_is_ancestor(p1, g1));
    EXPECT_TRUE(obj_is_ancestor(p1, root));
    EXPECT_FALSE(obj_is_ancestor(g1, p1));
    EXPECT_FALSE(obj_is_ancestor(p1, p1));
    EXPECT_FALSE(obj_is_ancestor(nullptr, root));

    db_update_group(p1);
    EXPECT_EQ(g2->unique, 1);
    EXPECT_EQ(g1->unique, 1);
    EXPECT_EQ(root->unique, 0);
}

TEST_F(DbTest, AccessorsReportNullObjectsAndRanges)
{
    _object *p = make(root, OBJ_OBJECT, "p");
    const char *text = "untouched";
    EXPECT_EQ(obj_get_name(nullptr, text), 101);
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(obj_get_name(p, text), 0);
    EXPECT_STREQ(text, "p");
    IList<_preset> *presets = nullptr;
    EXPECT_EQ(obj_get_presetlist(nullptr, presets), 106);
    EXPECT_EQ(obj_set_name(nullptr, "x"), 101);

    EXPECT_EQ(obj_set_guid(p, "{0}"), 0);
    EXPECT_STREQ(obj_get_guid(p), "{0}");
    EXPECT_EQ(obj_set_name(p, nullptr), 0);
    EXPECT_EQ(obj_get_name(p), nullptr);

    MessageLog log({MSG_OBJ_EXPAND});
    EXPECT_EQ(obj_set_expand(p, 0), 0);
    EXPECT_EQ(log.entries(), (std::vector<Msg>{{MSG_OBJ_EXPAND, p}}));
    EXPECT_EQ(obj_get_expand(p), 0);

    obj_suspend_constraints(p);
    obj_suspend_constraints(p);
    obj_resume_constraints(p);
    EXPECT_EQ(p->constraint_suspend, 1);
}

TEST_F(DbTest, ConstraintsStoreOnlyTheLimitsTheirFlagsEnable)
{
    _object *p = make(root, OBJ_OBJECT, "p");
    EXPECT_EQ(obj_set_constrain(p, 6, 3, 1.0f, 2.0f), 104);
    EXPECT_EQ(obj_set_constrain(p, -1, 3, 1.0f, 2.0f), 104);
    EXPECT_EQ(obj_set_constrain(nullptr, 0, 3, 1.0f, 2.0f), 101);

    EXPECT_EQ(obj_set_constrain(p, DOF_Y, 3, -1.0f, 5.0f), 0);
    EXPECT_EQ(obj_set_constrain(p, DOF_Y, 1, -2.0f, 99.0f), 0);  // max stays 5
    unsigned flags = 0;
    float lo = 0.0f, hi = 0.0f;
    EXPECT_EQ(obj_get_constrain(p, DOF_Y, flags, lo, hi), 0);
    EXPECT_EQ(flags, 1u);
    EXPECT_EQ(lo, -2.0f);
    EXPECT_EQ(hi, 0.0f);  // not written: bit 1 is clear
    EXPECT_EQ(p->constraints[DOF_Y].max, 5.0f);

    obj_set_constrain(p, DOF_X, 4, 0.0f, 0.0f);
    EXPECT_EQ(obj_get_constrain(p, DOF_X), 4u);
    EXPECT_EQ(obj_get_constrain(p, 17), 4u);  // out of range reads degree of freedom 0
}

}  // namespace
