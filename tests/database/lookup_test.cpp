// Lookups by name, id and guid, and the viewpoint queries.
#include "db_fixture.h"

#include "database/object_index.h"

namespace {

class LookupTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        obj_set_name(root, "top");
        g1 = make(root, OBJ_GROUP, "g1");
        c1 = make(g1, OBJ_OBJECT, "twin");
        c2 = make(g1, OBJ_OBJECT, "c2");
        g2 = make(root, OBJ_GROUP, "twin");
        obj_set_id(g2, 5);
        obj_set_id(c2, 5);
    }
    _object *g1 = nullptr, *c1 = nullptr, *c2 = nullptr, *g2 = nullptr;
};

TEST_F(LookupTest, NameAndIdFindTheFirstMatchInPreOrder)
{
    // Depth first: g1's subtree comes before g2.
    EXPECT_EQ(name_to_obj("twin"), c1);
    EXPECT_EQ(id_to_obj(5), c2);
    EXPECT_EQ(name_to_obj("top"), root);
    obj_set_name(root, "twin");
    EXPECT_EQ(name_to_obj("twin"), root);  // the root itself comes first
    EXPECT_EQ(name_to_obj("TWIN"), nullptr);
    EXPECT_EQ(name_to_obj("absent"), nullptr);
    EXPECT_EQ(name_to_obj(nullptr), nullptr);
    EXPECT_EQ(id_to_obj(0), root);
    EXPECT_EQ(id_to_obj(99), nullptr);
}

TEST_F(LookupTest, GuidSearchStaysInsideItsStart)
{
    EXPECT_EQ(find_obj_by_guid(c2->guid, root), c2);
    EXPECT_EQ(find_obj_by_guid(c2->guid, g1), c2);
    EXPECT_EQ(find_obj_by_guid(c2->guid, g2), nullptr);
    EXPECT_EQ(find_obj_by_guid(g1->guid, g1), g1);
    EXPECT_EQ(find_obj_by_guid(nullptr, root), nullptr);
    EXPECT_EQ(find_obj_by_guid(c2->guid, nullptr), nullptr);
}

TEST_F(LookupTest, IdOrNameReadsALeadingNumberFirst)
{
    _object *zero = make(root, OBJ_OBJECT, "0");
    _object *twelve = make(root, OBJ_OBJECT, "12");
    _object *abc = make(root, OBJ_OBJECT, "abc");
    _object *negative = make(root, OBJ_OBJECT, "-3");
    _object *seven = make(root, OBJ_OBJECT, "7x");
    (void)zero;
    struct Case {
        const char *text;
        _object *expected;
    };
    const Case cases[] = {
        {"0", nullptr},       // 0 never falls back to names
        {"00", nullptr},
        {"12", twelve},       // no id 12: the name
        {"5", c2},            // an id wins
        {"abc", abc},
        {"-3", negative},     // negative numbers are names
        {"7x", seven},        // a number without an object: the whole text as a name
        {"", nullptr},
    };
    // The index built for long lists must find exactly what the tree walk finds.
    const kiv::db::ObjectIndex index(root);
    for (const Case &c : cases) {
        EXPECT_EQ(id_or_name_to_obj(c.text), c.expected) << c.text;
        EXPECT_EQ(index.find(c.text), c.expected) << c.text;
    }
    EXPECT_EQ(index.find("twin"), c1) << "the first in pre-order";

    obj_set_id(abc, 12);
    EXPECT_EQ(id_or_name_to_obj("12"), abc);
    EXPECT_EQ(kiv::db::ObjectIndex(root).find("12"), abc);
    EXPECT_EQ(id_or_name_to_obj(nullptr), nullptr);
    EXPECT_EQ(index.find(nullptr), nullptr);
}

TEST_F(DbTest, ViewpointCountsAndBreadthFirstSearch)
{
    _object *g = make(root, OBJ_GROUP, "g");
    _object *deep = make(g, OBJ_VIEWPOINT, "deep");
    _object *shallow = make(root, OBJ_VIEWPOINT, "shallow");
    _object *deeper = make(make(g, OBJ_GROUP, "h"), OBJ_VIEWPOINT, "deeper");

    EXPECT_EQ(db_number_of_viewpoints_in_tree(root), 3);
    EXPECT_EQ(db_number_of_viewpoints_in_tree(g), 2);
    EXPECT_EQ(db_number_of_viewpoints_in_tree(deep), 1);
    EXPECT_EQ(db_number_of_viewpoints_in_tree(nullptr), -1);
    EXPECT_EQ(db_number_of_active_viewpoints_in_tree(root), 0);
    EXPECT_EQ(db_number_of_active_viewpoints_in_tree(nullptr), -1);

    EXPECT_EQ(db_find_first_inactive_viewpoint_in_tree(root, nullptr), shallow);
    shallow->active = 1;
    EXPECT_EQ(db_number_of_active_viewpoints_in_tree(root), 1);
    EXPECT_EQ(db_find_first_inactive_viewpoint_in_tree(root, nullptr), deep);
    EXPECT_EQ(db_find_first_inactive_viewpoint_in_tree(root, deep), deeper);
    deeper->active = 1;
    EXPECT_EQ(db_find_first_inactive_viewpoint_in_tree(root, deep), nullptr);
    EXPECT_EQ(db_find_first_inactive_viewpoint_in_tree(nullptr, nullptr), nullptr);
    shallow->active = deeper->active = 0;
}

}  // namespace
