// The path editor: every command on one object, in one scripted table, and its edge cases.
#include "animation/anim_fixture.h"
#include "animation/path_internal.h"

#include <kivctrl/placement.h>
#include <kivctrl/ve_env.h>

namespace {

QEL_VECT3 pos_of(_object *o)
{
    QEL_VECT3 p;
    obj_get_pos(o, p, FRAME_PARENT);
    return p;
}

class EditTest : public AnimTest {
protected:
    void TearDown() override
    {
        path_edit(nullptr, nullptr, PATH_DONE);
        path_set_state(0);
        AnimTest::TearDown();
    }
};

TEST_F(EditTest, CommandsInSequence)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    struct Step {
        const char *what;
        float move_x;  // the object is moved here first (NAN: left alone)
        PATH_COMMAND command;
        int result;
        int nodes;
        int current;
        float x_after;  // the object's x afterwards
    };
    const float keep = NAN;
    const Step steps[] = {
        {"first node creates the path", 0, PATH_APPEND_NODE, 1, 1, 0, 0},
        {"append a second", 10, PATH_APPEND_NODE, 0, 2, 1, 10},
        {"append a third", 20, PATH_APPEND_NODE, 0, 3, 2, 20},
        {"first applies node 0", keep, PATH_FIRST, 0, 3, 0, 0},
        {"next", keep, PATH_NEXT, 0, 3, 1, 10},
        {"last", keep, PATH_LAST, 0, 3, 2, 20},
        {"next stays on the last", keep, PATH_NEXT, 0, 3, 2, 20},
        {"prev", keep, PATH_PREV, 0, 3, 1, 10},
        {"record a moved node", 15, PATH_RECORD, 0, 3, 1, 15},
        {"insert before the current", 12, PATH_INSERT_NODE, 0, 4, 1, 12},
        {"insert after the current", 13, PATH_INSERT_AFTER, 0, 5, 2, 13},
        {"delete the current node", keep, PATH_DELETE_NODE, 0, 4, 1, 12},
        {"first again", keep, PATH_FIRST, 0, 4, 0, 0},
        {"delete node 0 stays on 0", keep, PATH_DELETE_NODE, 0, 3, 0, 12},
        {"done", keep, PATH_DONE, 0, 3, 0, 12},
    };
    for (const Step &s : steps) {
        if (!std::isnan(s.move_x))
            obj_set_pos(o, {s.move_x, 0, 0}, FRAME_PARENT);
        EXPECT_EQ(path_edit(o->pathptr, o, s.command), s.result) << s.what;
        ASSERT_NE(o->pathptr, nullptr) << s.what;
        EXPECT_EQ(o->pathptr->get_nodecount(), s.nodes) << s.what;
        EXPECT_EQ(o->pathptr->get_currentnode(), s.current) << s.what;
        EXPECT_FLOAT_EQ(pos_of(o).x, s.x_after) << s.what;
    }
    _path *p = o->pathptr;
    const float xs[] = {12, 15, 20};
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(p->get_node(i)->position.x, xs[i]) << i;
    EXPECT_EQ(path_get_editing_object(), nullptr);
}

TEST_F(EditTest, FirstAppendAnimatesPlacementAndLookExceptOnTheRoot)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    path_edit(nullptr, o, PATH_APPEND_NODE);
    _path *p = o->pathptr;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->status[0], 0x1Eu);  // position, orientation, colour, transparency
    EXPECT_EQ(p->associated_object, o);
    EXPECT_EQ(path_get_editing_object(), o);
    path_edit(nullptr, o, PATH_DONE);

    EXPECT_EQ(path_edit(nullptr, root, PATH_APPEND_NODE), 1);
    ASSERT_NE(root->pathptr, nullptr);
    EXPECT_EQ(root->pathptr->status[0], 0u);
}

TEST_F(EditTest, RecordMarksWhatChanged)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    path_edit(nullptr, o, PATH_APPEND_NODE);
    _path *p = o->pathptr;
    path_edit(p, o, PATH_APPEND_NODE);
    p->status[0] = p->status[1] = 0;  // both nodes hold the same state
    obj_set_pos(o, {3, 0, 0}, FRAME_PARENT);
    path_edit(p, o, PATH_RECORD);
    EXPECT_EQ(p->status[0], 1u << PATH_ATTR_POSITION);
    EXPECT_EQ(p->status[1], 0u);
}

TEST_F(EditTest, ApplyingANodeAnnouncesIt)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *p = make_path("p", {{1, 2, 3}, {4, 5, 6}});
    p->set_status(PATH_ATTR_POSITION, 1);
    path_associate(p, o);
    MessageLog log({MSG_OBJ_PATHNODE_APPLIED});
    path_edit(p, o, PATH_LAST);
    EXPECT_EQ(log.entries(), std::vector<Msg>{Msg(MSG_OBJ_PATHNODE_APPLIED, o)});
    EXPECT_FLOAT_EQ(pos_of(o).z, 6.0f);
}

TEST_F(EditTest, DeletingTheOnlyNodeDeletesThePath)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    path_edit(nullptr, o, PATH_APPEND_NODE);
    _path *p = o->pathptr;
    anim_add_path(o, p, 0.0, 1);
    MessageLog log({MSG_PATH_EDIT_DELETED, MSG_OBJ_PATHS_CHANGED, MSG_PATH_DESTROYING});
    path_edit(p, o, PATH_DELETE_NODE);
    const std::vector<Msg> expected = {
        {MSG_PATH_DESTROYING, p}, {MSG_OBJ_PATHS_CHANGED, o}, {MSG_PATH_EDIT_DELETED, o},
        {MSG_OBJ_PATHS_CHANGED, o}};
    EXPECT_EQ(log.entries(), expected);
    EXPECT_EQ(o->pathptr, nullptr);
    EXPECT_EQ(o->pathlist.count(), 0);
    EXPECT_EQ(anim(), nullptr);
    EXPECT_EQ(path_get_editing_object(), nullptr);
}

TEST_F(EditTest, DeleteCommandRemovesOnlyAPathOfThatObject)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _object *other = make(root, OBJ_OBJECT, "other");
    _path *a = line_path(2);
    _path *b = line_path(2);
    path_associate(a, o);
    path_associate(b, o);
    anim_add_path(o, b, 0.0, 1);
    path_edit(b, other, PATH_DELETE);  // not other's path
    EXPECT_EQ(o->pathlist.count(), 2);
    path_edit(b, o, PATH_DELETE);
    EXPECT_EQ(o->pathlist.count(), 1);
    EXPECT_EQ(o->pathptr, a);
    EXPECT_EQ(anim(), nullptr);
}

TEST_F(EditTest, EditingAnotherObjectStopsTheFirst)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _object *q = make(root, OBJ_OBJECT, "q");
    path_edit(nullptr, o, PATH_APPEND_NODE);
    ASSERT_EQ(path_get_editing_object(), o);
    MessageLog log({MSG_PATH_EDIT_ENDED});
    EXPECT_EQ(path_edit(nullptr, q, PATH_APPEND_NODE), -1);
    EXPECT_EQ(q->pathptr, nullptr);  // the command became "done"
    EXPECT_EQ(path_get_editing_object(), nullptr);
    EXPECT_EQ(log.entries().size(), 1u);
}

TEST_F(EditTest, CommandsWithoutTheirPathObjectOrNodeDoNothing)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *empty = path_create("empty", nullptr, nullptr, 0);
    for (PATH_COMMAND c : {PATH_FIRST, PATH_LAST, PATH_RECORD, PATH_NEXT, PATH_PREV,
                           PATH_DELETE_NODE, PATH_SHOW, PATH_HIDE, PATH_DELETE}) {
        EXPECT_EQ(path_edit(empty, o, c), 0) << c;
        EXPECT_EQ(path_edit(nullptr, o, c), 0) << c;
        EXPECT_EQ(path_edit(empty, nullptr, c), 0) << c;
    }
    EXPECT_EQ(path_edit(nullptr, nullptr, PATH_APPEND_NODE), 0);
    EXPECT_EQ(empty->get_nodecount(), 0);
    EXPECT_EQ(name_to_path("empty"), empty);
}

TEST_F(EditTest, InsertingIntoAnEmptyPathMakesItCurrent)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    _path *p = path_create("p", nullptr, nullptr, 0);
    obj_set_pos(o, {7, 0, 0}, FRAME_PARENT);
    EXPECT_EQ(path_edit(p, o, PATH_INSERT_NODE), 1);
    EXPECT_EQ(o->pathptr, p);
    ASSERT_EQ(p->get_nodecount(), 1);
    EXPECT_FLOAT_EQ(p->get_node(0)->position.x, 7.0f);
}

TEST_F(EditTest, EditingMovesLaterPlacementsOfTheObject)
{
    _object *o = make(root, OBJ_OBJECT, "o");
    path_edit(nullptr, o, PATH_APPEND_NODE);
    _path *p = o->pathptr;
    path_edit(p, o, PATH_APPEND_NODE);  // 0..10
    _path *later = line_path(2);
    anim_add_path(o, p, 0.0, 1);
    anim_add_path(o, later, 10.0, 1);
    path_edit(p, o, PATH_APPEND_NODE);  // 0..20
    EXPECT_EQ(starts(o), (std::vector<double>{0.0, 20.0}));
}

}  // namespace

namespace {

TEST_F(EditTest, RootAttributesReachTheEnvironmentOnlyFromTheRoot)
{
    const float ambient = env_get_ambient();
    const QEL_COLOR text = env_get_textcolor();
    const int clip = env_get_clip(0);
    _path *p = make_path("p", {{0, 0, 0}});
    for (int bit : {PATH_ATTR_ENV_TEXTCOLOR, PATH_ATTR_ENV_AMBIENT, PATH_ATTR_ENV_CLIP})
        p->set_status(bit, 1);
    PathNode n;
    n.env_ambient = 0.5f;
    n.env_textcolor = {1, 0, 0};
    n.env_clip = 5;
    path_apply_state(p, n, make(root, OBJ_OBJECT, "o"));
    EXPECT_EQ(env_get_ambient(), ambient);
    path_apply_state(p, n, root);
    EXPECT_FLOAT_EQ(env_get_ambient(), 0.5f);
    EXPECT_EQ(env_get_textcolor().g, 0.0f);
    EXPECT_EQ(env_get_clip(0), 5);
    PathNode back;
    pathnode_capture_all(back, root);
    EXPECT_FALSE(kiv::anim::attribute_differs(n, back, PATH_ATTR_ENV_AMBIENT));
    EXPECT_FALSE(kiv::anim::attribute_differs(n, back, PATH_ATTR_ENV_TEXTCOLOR));
    EXPECT_FALSE(kiv::anim::attribute_differs(n, back, PATH_ATTR_ENV_CLIP));
    env_set_ambient(ambient);
    env_set_textcolor(text);
    env_set_clip(static_cast<float>(clip) * 0.01f, 0);
}

}  // namespace
