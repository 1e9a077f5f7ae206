// Paths: records, names, lookups, association and deletion in every order.
#include "animation/anim_fixture.h"

#include <kivctrl/placement.h>

#include <cstring>
#include <string>

namespace {

TEST_F(AnimTest, StatusMaskAndItsCount)
{
    _path *p = line_path(2);
    EXPECT_EQ(p->get_statusCount(), 0);
    p->set_status(3, 1);
    EXPECT_EQ(p->get_statusCount(), 32);
    p->set_status(40, 1);
    EXPECT_EQ(p->get_statusCount(), 64);
    EXPECT_EQ(p->get_status(40), 1);
    p->set_status(40, 0);
    EXPECT_EQ(p->get_statusCount(), 32);
    p->set_status(64, 1);
    p->set_status(-1, 1);
    EXPECT_EQ(p->get_status(64), 0);
    EXPECT_EQ(p->get_status(-1), 0);
    EXPECT_EQ(p->status[1], 0u);
}

TEST_F(AnimTest, NamesAreCutAndUnnamedPathsGetAFreeNumber)
{
    _path *taken = path_create("path_1", nullptr, nullptr, 0);
    _path *a = path_create(nullptr, nullptr, nullptr, 0);
    _path *b = path_create(nullptr, nullptr, nullptr, 0);
    EXPECT_STRNE(a->name, taken->name);
    EXPECT_STRNE(a->name, b->name);
    EXPECT_EQ(std::strncmp(a->name, "path_", 5), 0);
    EXPECT_NE(a->id, b->id);
    EXPECT_NE(a->guid, nullptr);
    EXPECT_STRNE(a->guid, b->guid);

    MessageLog log({MSG_PATH_RENAMED});
    a->set_name(std::string(300, 'x').c_str());
    EXPECT_EQ(std::strlen(a->name), 255u);
    EXPECT_EQ(log.entries(), std::vector<Msg>{Msg(MSG_PATH_RENAMED, a)});
}

TEST_F(AnimTest, LookupsByNameIdAndText)
{
    _path *zero = path_create("0", nullptr, nullptr, 0);
    _path *twelve = path_create("12", nullptr, nullptr, 0);
    _path *abc = path_create("abc", nullptr, nullptr, 0);
    _path *with_id = path_create("x", nullptr, nullptr, 0);
    with_id->id = 7;
    zero->id = 100;
    twelve->id = 101;
    abc->id = 102;
    struct Case {
        const char *text;
        _path *expected;
    };
    const Case cases[] = {{"0", nullptr},   {"12", twelve}, {"7", with_id},
                          {"abc", abc},     {"x", with_id}, {"nothing", nullptr}};
    for (const Case &c : cases)
        EXPECT_EQ(id_or_name_to_path(c.text), c.expected) << c.text;
    EXPECT_EQ(name_to_path("ABC"), nullptr);  // names compare exactly
    EXPECT_EQ(get_path("abc"), abc);
    EXPECT_EQ(id_to_path(101), twelve);
    EXPECT_EQ(id_or_name_to_path(nullptr), nullptr);
}

TEST_F(AnimTest, GuidLookupSearchesTheSubtreeDepthFirst)
{
    _object *g = make(root, OBJ_GROUP, "g");
    _object *o = make(g, OBJ_OBJECT, "o");
    _path *p = line_path(2);
    path_associate(p, o);
    EXPECT_EQ(find_path_by_guid(p->guid, root), p);
    EXPECT_EQ(find_path_by_guid(p->guid, g), p);
    EXPECT_EQ(find_path_by_guid(p->guid, make(root, OBJ_GROUP, "other")), nullptr);
    EXPECT_EQ(find_path_by_guid(nullptr, root), nullptr);
    EXPECT_EQ(find_path_by_guid(p->guid, nullptr), nullptr);
}

TEST_F(AnimTest, CopiedNodesOwnTheirTextureAndNote)
{
    PathNode a;
    a.texture_record().name = strdup("wood.bmp");
    a.note_record().link = strdup("http://x");
    a.position = {1, 2, 3};
    PathNode b(a);
    ASSERT_NE(b.texture, a.texture);
    ASSERT_NE(b.note, a.note);
    EXPECT_STREQ(b.texture->name, "wood.bmp");
    EXPECT_STREQ(b.note->link, "http://x");
    EXPECT_EQ(b.position.y, 2.0f);
    PathNode c;
    c = b;
    b = PathNode();
    EXPECT_STREQ(c.texture->name, "wood.bmp");
    EXPECT_EQ(b.texture, nullptr);
}

TEST_F(AnimTest, ModifiedComparesEveryNodeWithTheFirst)
{
    _path *p = make_path("p", {{0, 0, 0}, {0, 0, 0}, {1, 0, 0}});
    EXPECT_EQ(p->get_modified(PATH_ATTR_POSITION), 1);
    EXPECT_EQ(p->get_modified(PATH_ATTR_ORIENTATION), 0);
    p->get_node(1)->material.diffuse = {1, 0, 0};
    EXPECT_EQ(p->get_modified(PATH_ATTR_COLOR), 1);
    EXPECT_EQ(make_path("one", {{1, 1, 1}})->get_modified(PATH_ATTR_POSITION), 0);
}

TEST_F(AnimTest, AssociationMakesThePathCurrentAndDissociationPicksTheNext)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *a = line_path(2);
    _path *b = line_path(2);
    MessageLog log({MSG_PATH_ASSOCIATED});
    EXPECT_EQ(path_associate(a, nullptr), 0);
    path_associate(a, o);
    path_associate(b, o);
    path_associate(a, o);  // already listed: only made current
    EXPECT_EQ(o->pathptr, a);
    EXPECT_EQ(o->pathlist.count(), 2);
    EXPECT_EQ(log.entries().size(), 2u);
    path_associate(nullptr, o);
    EXPECT_EQ(o->pathptr, b);
    EXPECT_EQ(o->pathlist.count(), 1);
    EXPECT_EQ(a->associated_object, nullptr);  // a may outlive o
}

TEST_F(AnimTest, APathAttachedElsewhereLeavesItsFormerObject)
{
    _object *a = make(root, OBJ_OBJECT, "a");
    _object *b = make(root, OBJ_OBJECT, "b");
    _path *p = line_path(2);
    _path *q = line_path(2);
    path_associate(q, a);
    path_associate(p, a);
    path_associate(p, b);
    EXPECT_EQ(p->associated_object, b);
    EXPECT_EQ(a->pathlist.count(), 1);
    EXPECT_EQ(a->pathptr, q);
    // Deleting the new owner deletes the path; the former one must not still list it.
    db_delete_obj(b);
    EXPECT_EQ(a->pathlist.count(), 1);
    db_delete_obj(a);
    EXPECT_EQ(root->root_pathlist.count(), 0);
}

TEST_F(AnimTest, CreatingFromAnotherPathCopiesNodesAndSettings)
{
    _path *from = make_path("from", {{1, 0, 0}, {2, 0, 0}}, 4.0);
    from->path_type = 1;
    from->set_status(PATH_ATTR_COLOR, 1);
    _path *copy = path_create("copy", from);
    ASSERT_EQ(copy->get_nodecount(), 2);
    EXPECT_NE(copy->get_node(0), from->get_node(0));
    EXPECT_EQ(copy->get_node(1)->position.x, 2.0f);
    EXPECT_EQ(copy->get_node(1)->owner, copy);
    EXPECT_EQ(copy->steps, 4.0);
    EXPECT_EQ(copy->path_type, 1);
    EXPECT_EQ(copy->get_status(PATH_ATTR_COLOR), 1);
    EXPECT_STRNE(copy->guid, from->guid);
}

TEST_F(AnimTest, NoPathWithoutACurrentRoot)
{
    db_delete_assembly(assy);
    assy = nullptr;
    EXPECT_EQ(path_create("p", nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(name_to_path("p"), nullptr);
}

TEST_F(AnimTest, DeletingAPathTakesItOffItsObjectAndTheTimeLine)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *p = line_path(3);
    _path *keep = line_path(2);
    anim_add_path(o, keep, 30.0, 1);
    anim_add_path(o, p, 0.0, 1);
    anim_add_path(o, p, 40.0, -1);
    p->get_vars().add("_PATH_WIZ", new PathWizInfo);
    p->get_vars().add("_INSTRUCTION", new InstructionInfo);
    MessageLog log({MSG_PATH_DESTROYING, MSG_OBJ_PATHS_CHANGED});
    path_delete(p);
    EXPECT_EQ(log.entries(), (std::vector<Msg>{{MSG_PATH_DESTROYING, p}, {MSG_OBJ_PATHS_CHANGED, o}}));
    EXPECT_EQ(o->pathlist.find(p), 0);
    EXPECT_NE(o->pathptr, p);
    EXPECT_EQ(root->root_pathlist.find(p), 0);
    EXPECT_EQ(starts(o), std::vector<double>{30.0});
    for (int k = 0; k < frames(); ++k)
        for (const _aframe_struct &a : anim()->get_frame(k)->aframes)
            EXPECT_EQ(a.path, keep) << k;
    EXPECT_EQ(frames(), 41);
}

// Paths, objects and the assembly deleted in every order leave nothing dangling (run under
// the address sanitizer to see it).
TEST_F(AnimTest, DeletionInEveryOrderLeavesNothingBehind)
{
    enum Step { DeletePath, DeleteObject, DeleteParent };
    const std::vector<std::vector<Step>> orders = {
        {DeletePath, DeleteObject, DeleteParent}, {DeleteObject, DeleteParent},
        {DeleteParent}, {DeletePath, DeleteParent}};
    for (const auto &order : orders) {
        _object *g = make(root, OBJ_GROUP, "g");
        _object *o = make(g, OBJ_OBJECT, "o");
        _object *other = make(root, OBJ_OBJECT, "other");
        _path *p = line_path(3);
        _path *q = line_path(2);
        _path *kept = line_path(2);
        anim_add_path(o, p, 0.0, 1);
        anim_add_path(o, q, 5.0, -1);
        anim_add_path(other, kept, 0.0, 1);
        path_associate(q, g);  // listed on the group too, which now owns it
        for (Step s : order) {
            if (s == DeletePath)
                path_delete(p);
            else if (s == DeleteObject)
                db_delete_obj(o);
            else
                db_delete_obj(g);
        }
        // o is gone, so only its address can be compared.
        for (const auto &rec : anim()->objects)
            EXPECT_NE(rec->object, o);
        EXPECT_EQ(frames_of(kept), range(0, 10));
        for (int k = 0; k < frames(); ++k)
            EXPECT_EQ(anim()->get_frame(k)->count(), 1) << k;
        EXPECT_EQ(root->root_pathlist.count(), 1);
        EXPECT_EQ(root->root_pathlist.get(1), kept);
        db_delete_obj(other);
        EXPECT_EQ(root->root_pathlist.count(), 0);
        EXPECT_EQ(anim(), nullptr);
    }
}

TEST_F(AnimTest, DeletingTheAssemblyWithPathsAndPlacementsRunsClean)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    anim_add_path(o, line_path(3), 0.0, 1);
    anim_add_path(root, line_path(2), 0.0, 1);
    KivAssembly *second = db_new_assembly("second");
    _object *s = make(second->GetRoot(), OBJ_OBJECT, "s");
    anim_add_path(s, line_path(2), 0.0, 1);
    // The first assembly is no longer current when it goes.
    db_delete_assembly(assy);
    assy = second;
    EXPECT_EQ(frames(), 11);
}

TEST_F(AnimTest, ReparentingReexpressesNodes)
{
    _object *g = make(root, OBJ_GROUP, "g");
    _object *h = make(root, OBJ_GROUP, "h");
    _object *o = make(g, OBJ_OBJECT, "o");
    obj_set_pos(g, {10, 0, 0}, FRAME_PARENT);
    obj_set_pos(h, {0, 5, 0}, FRAME_PARENT);
    _path *p = make_path("p", {{1, 0, 0}});
    path_associate(p, o);
    db_link(h, o);
    const QEL_VECT3 pos = p->get_node(0)->position;
    EXPECT_FLOAT_EQ(pos.x, 11.0f);
    EXPECT_FLOAT_EQ(pos.y, -5.0f);
}

}  // namespace
