// Layers and the selection filter.
#include "selection_fixture.h"

namespace {

class LayerTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        a = make(root, OBJ_OBJECT, "a");
        b = make(root, OBJ_OBJECT, "b");
        c = make(root, OBJ_OBJECT, "c");
    }
    _object *a = nullptr, *b = nullptr, *c = nullptr;
};

TEST_F(LayerTest, NumbersStayWithDeletedLayersUntilAllAreDeleted)
{
    EXPECT_EQ(layer_add("A"), 1);
    EXPECT_EQ(layer_add("A"), 2);
    EXPECT_EQ(layer_add(""), 3);
    EXPECT_EQ(layer_getname(3), nullptr) << "an empty name is stored as none";
    EXPECT_EQ(layer_getnum("A"), 1);
    EXPECT_EQ(layer_add_to_layer(a, 1), 1);
    EXPECT_EQ(layer_delete(1), 1);
    EXPECT_EQ(layer_getnum(a), 0) << "members leave a deleted layer";
    EXPECT_EQ(layer_getnum("A"), 1) << "deleted layers keep their names for lookups";
    EXPECT_EQ(layer_select(1), 0);
    EXPECT_EQ(layer_delete(1), 0);
    EXPECT_EQ(layer_setname(1, "B"), 0);
    EXPECT_EQ(layer_add_to_layer(a, 1), 0);
    EXPECT_EQ(layer_count(), 3);
    EXPECT_EQ(layer_delete("A"), 0) << "the first layer named A is the deleted one";
    EXPECT_EQ(layer_setname(2, "B"), 1);
    EXPECT_EQ(layer_delete("B"), 1);
    layer_delete_all();
    EXPECT_EQ(layer_count(), 0);
    EXPECT_EQ(layer_add("C"), 1);
    EXPECT_EQ(layer_getname(1), std::string("C"));
    EXPECT_EQ(layer_getname(4), nullptr);
}

TEST_F(LayerTest, AnObjectIsOnOneLayerAtATime)
{
    layer_add("one");
    layer_add("two");
    EXPECT_EQ(layer_add_to_layer(a, "one"), 1);
    EXPECT_EQ(layer_add_to_layer(b, 1), 1);
    EXPECT_EQ(layer_add_to_layer(a, 2), 1);
    EXPECT_EQ(layer_add_to_layer(a, 2), 1);
    EXPECT_EQ(layer_getnum(a), 2);
    EXPECT_EQ(layer_getname(a), std::string("two"));
    EXPECT_EQ(layer_add_to_layer(a, "none"), 0);
    EXPECT_EQ(layer_add_to_layer(nullptr, 1), 0);
    // Members show through selection: layer 1 holds b alone, layer 2 holds a once.
    EXPECT_EQ(layer_select(1), 1);
    EXPECT_EQ(sel_firstobj(), b);
    EXPECT_EQ(layer_picked(2), 1);
    EXPECT_EQ(sel_countobj(), 2);
    EXPECT_EQ(layer_remove_from_layer(a), 1);
    EXPECT_EQ(layer_remove_from_layer(a), 0);
    EXPECT_EQ(layer_deselect(2), 0);
    object_deselectall();
}

TEST_F(LayerTest, SelectDeselectAndPickCountWhatTheyChanged)
{
    layer_add("L");
    for (_object *o : {a, b, c})
        layer_add_to_layer(o, "L");
    object_picked(b);
    SelectionLog log;
    EXPECT_EQ(layer_select("L"), 2);
    EXPECT_EQ(sel_countobj(), 3);
    EXPECT_EQ(layer_deselect("L"), 3);
    object_picked(a);
    EXPECT_EQ(layer_picked("L"), 3);  // a goes, b and c come
    EXPECT_EQ(sel_firstobj(), b);
    EXPECT_EQ(sel_countobj(), 2);
    EXPECT_EQ(layer_picked("missing"), 0);
    object_deselectall();
}

TEST_F(LayerTest, DeletingAnObjectTakesItOffItsLayer)
{
    layer_add("L");
    layer_add_to_layer(a, 1);
    layer_add_to_layer(b, 1);
    db_delete_obj(a);
    EXPECT_EQ(layer_select(1), 1);
    EXPECT_EQ(sel_firstobj(), b);
    object_deselectall();
}

struct FilterCase {
    const char *name;
    int filter;
    // Allowed: part on no layer, part on a layer, face, group, viewpoint, light, root.
    std::vector<bool> allowed;
};

class SelectionFilter : public LayerTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(SelectionFilter, AllowsTheKindsItsBitsName)
{
    const int saved = env_get_select_filter();
    layer_add("L");
    layer_add_to_layer(b, 1);
    _object *face = db_create_face_obj(a);
    _object *group = make(root, OBJ_GROUP, "g");
    _object *vp = make(root, OBJ_VIEWPOINT, "v");
    _object *light = make(root, OBJ_LIGHT, "l");
    env_set_select_filter(GetParam().filter);
    std::vector<bool> allowed;
    for (_object *o : {a, b, face, group, vp, light, root})
        allowed.push_back(env_allow_selection(o));
    EXPECT_EQ(allowed, GetParam().allowed);
    EXPECT_FALSE(env_allow_selection(nullptr));
    env_set_select_filter(saved);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SelectionFilter,
    ::testing::Values(
        FilterCase{"Initial61", 61, {true, true, false, true, true, true, false}},
        FilterCase{"PartsOnly5", 5, {true, true, false, false, false, false, false}},
        FilterCase{"PartsOnNoLayer1", 1, {true, false, false, false, false, false, false}},
        FilterCase{"FacesAndLights34", 34, {false, false, true, false, false, true, false}},
        FilterCase{"Zero", 0, {true, true, true, true, true, true, true}},
        FilterCase{"All63", 63, {true, true, true, true, true, true, true}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SelectionFilterDefault, Is61)
{
    EXPECT_EQ(env_get_select_filter(), 61);
}

}  // namespace
