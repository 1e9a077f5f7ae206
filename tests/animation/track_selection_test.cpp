// Selected animation tracks: which placement a frame selects, and what takes entries away.
#include <kivctrl/anim.h>
#include <kivctrl/path.h>
#include <kivctrl/track_selection.h>

#include "database/selection_fixture.h"

namespace {

class TrackSelectionTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        part = make(root, OBJ_OBJECT, "part");
        const QEL_VECT3 at[3] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
        path = path_create("p", at, nullptr, 3);
        ASSERT_NE(path, nullptr);
        path_associate(path, part);
        // Three nodes ten frames apart: each placement covers 20 frames.
        ASSERT_EQ(anim_add_path(part, path, 10, 1), 0);
        ASSERT_EQ(anim_add_path(part, path, 40, 1), 0);
    }
    void TearDown() override
    {
        object_deselectall();
        DbTest::TearDown();
    }
    std::vector<double> starts()
    {
        std::vector<double> out;
        for (_aframe_struct *e = sel_firstpath(); e; e = sel_nextpath(e))
            out.push_back(e->start);
        return out;
    }

    _object *part = nullptr;
    _path *path = nullptr;
};

TEST_F(TrackSelectionTest, AFrameSelectsItsPlacementThenTheWholePath)
{
    MessageLog log({MSG_TRACK_SELECTED, MSG_TRACK_DESELECTED});
    sel_addpath(path, 15, 1);
    sel_addpath(path, 15, 1);   // that placement is taken: the whole path instead
    sel_addpath(path, 15, 1);   // and that one too: nothing
    sel_addpath(path, 45, -1);  // no backward placement; the whole path is selected already
    sel_addpath(path, 60, 1);   // the end of the second placement is inside it
    EXPECT_EQ(starts(), (std::vector<double>{10, -1, 40}));
    EXPECT_EQ(sel_getpath(1)->object, part);
    EXPECT_EQ(sel_getpath(1)->segment, -1);
    EXPECT_EQ(log.entries().size(), 3u);

    object_deselectall();
    EXPECT_EQ(sel_countpath(), 0);
    EXPECT_EQ(log.entries().back(), Msg(MSG_TRACK_DESELECTED, path));
    EXPECT_EQ(log.entries().size(), 6u);
}

TEST_F(TrackSelectionTest, NullAndRepeatedEntriesAreIgnored)
{
    sel_addpath(static_cast<_aframe_struct *>(nullptr));
    auto *e = new _aframe_struct;
    e->object = part, e->path = path;
    sel_addpath(e);
    sel_addpath(e);
    EXPECT_EQ(sel_countpath(), 1);
    EXPECT_EQ(sel_findpath(e), 1);
    EXPECT_EQ(sel_nextpath(nullptr), e);
    sel_rempath(e);
    EXPECT_EQ(sel_existspath(), 0);
}

TEST_F(TrackSelectionTest, EntriesGoWithTheirPathOrObject)
{
    sel_addpath(path, 15, 1);
    path_delete(path);
    EXPECT_EQ(sel_countpath(), 0);

    const QEL_VECT3 at[2] = {{0, 0, 0}, {1, 0, 0}};
    _path *other = path_create("q", at, nullptr, 2);
    path_associate(other, part);
    sel_addpath(other, 0, 1);
    ASSERT_EQ(sel_countpath(), 1);
    db_delete_obj(part);
    EXPECT_EQ(sel_countpath(), 0);
}

}  // namespace
