// The active selection list and numbered lists: messages, binding, and deletion.
#include "selection_fixture.h"

#include <functional>

namespace {

class SelectionTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        g = make(root, OBJ_GROUP, "g");
        a = make(g, OBJ_OBJECT, "a");
        b = make(g, OBJ_OBJECT, "b");
        c = make(root, OBJ_OBJECT, "c");
    }
    void TearDown() override
    {
        for (int id : created)
            sel_listdestroy(id);
        DbTest::TearDown();
        EXPECT_EQ(sel_countobj(), 0);
    }
    int new_list()
    {
        created.push_back(sel_listcreate());
        return created.back();
    }
    std::vector<_object *> selected()
    {
        std::vector<_object *> out;
        for (_object *o = sel_firstobj(); o; o = sel_nextobj(o))
            out.push_back(o);
        return out;
    }

    _object *g = nullptr, *a = nullptr, *b = nullptr, *c = nullptr;
    std::vector<int> created;
};

// Selecting x into list 0, with its binding messages.
std::vector<SelMsg> sel(const std::string &x)
{
    return {{MSG_SEL_ADDED, x, 0}, {MSG_SEL_APPLY_DISPLAY, x, 0}, {MSG_SEL_SELECTED, x, 0}};
}
std::vector<SelMsg> desel(const std::string &x)
{
    return {{MSG_SEL_REMOVE_DISPLAY, x, 0}, {MSG_SEL_DESELECTED, x, 0}, {MSG_SEL_REMOVED, x, 0}};
}
SelMsg count(long n)
{
    return {MSG_SEL_CHANGED, "-", n};
}
std::vector<SelMsg> seq(std::initializer_list<std::vector<SelMsg>> parts)
{
    std::vector<SelMsg> out;
    for (const auto &p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

struct MessageCase {
    const char *name;
    std::vector<const char *> before;  // picked first, in order
    std::function<void(_object *)> act;  // given the object named "b"
    std::vector<SelMsg> expected;
    std::vector<std::string> after;  // selected afterwards, in order
};

class SelectionMessages : public SelectionTest,
                          public ::testing::WithParamInterface<MessageCase> {};

TEST_P(SelectionMessages, SendsTheseMessagesInOrder)
{
    const MessageCase &mc = GetParam();
    for (const char *n : mc.before)
        object_picked(name_to_obj(n));
    SelectionLog log;
    mc.act(b);
    EXPECT_EQ(log.entries(), mc.expected);
    std::vector<std::string> names;
    for (_object *o : selected())
        names.emplace_back(o->name);
    EXPECT_EQ(names, mc.after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SelectionMessages,
    ::testing::Values(
        MessageCase{"PickSelects", {}, object_picked, seq({sel("b"), {count(1)}}), {"b"}},
        MessageCase{"PickAgainDeselects", {"b"}, object_picked, seq({desel("b"), {count(0)}}), {}},
        MessageCase{"PickNullOnlyCounts", {"a", "c"}, [](_object *) { object_picked(nullptr); },
                    {count(2)}, {"a", "c"}},
        MessageCase{"DeselectAllFirstToLast", {"c", "a"}, [](_object *) { object_deselectall(); },
                    seq({desel("c"), desel("a"), {count(0)}}), {}},
        MessageCase{"ButOneKeepsTheSelectedOne", {"a", "b", "c"}, object_deselectall_but_one,
                    seq({desel("a"), desel("c"), {count(1)}}), {"b"}},
        MessageCase{"ButOnePicksAnUnselectedOne", {"a"}, object_deselectall_but_one,
                    seq({desel("a"), sel("b"), {count(1)}}), {"b"}},
        MessageCase{"ButOneWithNullDeselectsAll", {"a"},
                    [](_object *) { object_deselectall_but_one(nullptr); },
                    seq({desel("a"), {count(0)}}), {}},
        // Depth first; the viewpoint and its light are skipped, and so is b, already selected;
        // a count follows each object whose children were walked (g, then the root).
        MessageCase{"AllChildrenOfTheRoot", {"b"},
                    [](_object *) { object_selectall_children(db_get_root()); },
                    seq({sel("g"), sel("a"), {count(3)}, sel("c"), {count(4)}}),
                    {"b", "g", "a", "c"}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SelectionTest, BindingFollowsTheActiveListAndTheFirstObject)
{
    RecordingBinding rec;
    object_picked(a);
    object_picked(b);
    object_picked(a);
    object_picked(b);
    const std::vector<std::string> expected = {
        "begins", "bind a",           // nothing but the root was selected before
        "bind b",
        "unbind a", "first b",        // b is now the first selected object
        "unbind b", "ended"};
    EXPECT_EQ(rec.calls, expected);
}

TEST_F(SelectionTest, SelectingTheRootAloneKeepsTheViewpointRuleOpen)
{
    RecordingBinding rec;
    object_picked(root);
    EXPECT_EQ(sel_existsnonroot(), 0);
    EXPECT_EQ(sel_existsobj(), 1);
    object_picked(a);
    EXPECT_EQ(sel_existsnonroot(), 1);
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"begins", "bind assy", "begins", "bind a"}));
}

TEST_F(SelectionTest, QueriesOnTheActiveList)
{
    object_picked(c);
    object_picked(a);
    EXPECT_EQ(sel_countobj(), 2);
    EXPECT_EQ(sel_findobj(a), 2);
    EXPECT_EQ(sel_findobj(b), 0);
    EXPECT_EQ(sel_getobj(1), c);
    EXPECT_EQ(sel_getobj(3), nullptr);
    EXPECT_EQ(sel_nextobj(c), a);
    EXPECT_EQ(sel_nextobj(a), nullptr);
    EXPECT_EQ(sel_nextobj(b), c) << "an unselected object leads to the first";
}

TEST_F(SelectionTest, NumberedListsNeverReuseIdsAndGuardTheirDestruction)
{
    const int first = new_list();
    const int second = new_list();
    EXPECT_GT(first, 0);
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(sel_listdestroy(0), -1);
    EXPECT_EQ(sel_listdestroy(second + 100), -1);
    EXPECT_EQ(sel_listsetactive(first), first);
    EXPECT_EQ(sel_listdestroy(first), -1) << "the active list stays";
    EXPECT_EQ(sel_listsetactive(second + 100), first) << "an unknown id changes nothing";
    EXPECT_EQ(sel_listsetactive(0), 0);
    EXPECT_EQ(sel_listdestroy(second), second);
    EXPECT_EQ(sel_countobj(second), 0);
    EXPECT_GT(new_list(), second);
}

TEST_F(SelectionTest, AddAndRemoveOnNumberedListsOnlyChangeMembership)
{
    const int id = new_list();
    RecordingBinding rec;
    SelectionLog log;
    sel_addobj(0, a);
    sel_addobj(id, a);
    sel_addobj(id, a);
    sel_addobj(id, nullptr);
    sel_addobj(id, b);
    sel_remobj(id, a);
    sel_remobj(id, c);
    const std::vector<SelMsg> expected = {
        {MSG_SEL_ADDED, "a", id}, {MSG_SEL_ADDED, "b", id}, {MSG_SEL_REMOVED, "a", id}};
    EXPECT_EQ(log.entries(), expected);
    EXPECT_TRUE(rec.calls.empty());
    EXPECT_EQ(sel_countobj(0), 0);
    EXPECT_EQ(sel_countobj(id), 1);
    EXPECT_EQ(sel_firstobj(id), b);
}

TEST_F(SelectionTest, ActivatingAListMovesTheBindingToItsObjects)
{
    object_picked(c);
    const int id = new_list();
    sel_addobj(id, a);
    sel_addobj(id, b);
    RecordingBinding rec;
    SelectionLog log;
    EXPECT_EQ(sel_listsetactive(id), id);
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"unbind c", "bind a", "bind b"}));
    const std::vector<SelMsg> expected = {
        {MSG_SEL_REMOVE_DISPLAY, "c", 0}, {MSG_SEL_DESELECTED, "c", 0},
        {MSG_SEL_APPLY_DISPLAY, "a", id}, {MSG_SEL_SELECTED, "a", id},
        {MSG_SEL_APPLY_DISPLAY, "b", id}, {MSG_SEL_SELECTED, "b", id}};
    EXPECT_EQ(log.entries(), expected);
    EXPECT_EQ(selected(), (std::vector<_object *>{a, b}));
    EXPECT_EQ(sel_listsetactive(id), id);
    EXPECT_EQ(rec.calls.size(), 3u) << "activating the active list again changes nothing";
    object_deselectall();
    sel_listsetactive(0);
    EXPECT_EQ(selected(), (std::vector<_object *>{c}));
    object_deselectall();
}

TEST_F(SelectionTest, DeletingSelectedObjectsLeavesNothingBehind)
{
    const int id = new_list();
    object_picked(a);
    object_picked(b);
    object_picked(c);
    sel_addobj(id, b);
    RecordingBinding rec;
    EXPECT_EQ(db_delete_obj(a), 0);
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"unbind a", "first b"}));
    EXPECT_EQ(db_delete_obj(g), 0);  // takes b with it
    EXPECT_EQ(sel_countobj(id), 0);
    EXPECT_EQ(selected(), (std::vector<_object *>{c}));
    EXPECT_EQ(db_delete_obj(c), 0);
    EXPECT_EQ(rec.calls.back(), "ended");
    SelectionLog log;
    object_deselectall();
    EXPECT_EQ(log.entries(), (std::vector<SelMsg>{count(0)}));
}

}  // namespace
