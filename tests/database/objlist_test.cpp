// OBJLIST: typed access and the type-mask filters.
#include "db_fixture.h"

#include <cstring>

namespace {

constexpr int bit(int type) { return 1 << type; }

class ObjListTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        group = make(root, OBJ_GROUP, "g");
        part = make(root, OBJ_OBJECT, "p");
        light = make(root, OBJ_LIGHT, "l");
        face1 = db_create_face_obj(part);
        face2 = db_create_face_obj(part);
        list.append(group);
        list.append(face1);
        list.append(part);
        list.append(light);
        list.append(face2);
    }
    void TearDown() override
    {
        list.clear();
        DbTest::TearDown();
    }

    _object *group = nullptr, *part = nullptr, *light = nullptr;
    _object *face1 = nullptr, *face2 = nullptr;
    OBJLIST list;
};

TEST_F(ObjListTest, MaskCountsAndEmptiness)
{
    EXPECT_EQ(list.count(), 5);
    EXPECT_EQ(list.count(-1), 5);
    EXPECT_EQ(list.count(-65), 3);  // every type but faces
    EXPECT_EQ(list.count(bit(OBJ_FACE)), 2);
    EXPECT_EQ(list.count(bit(OBJ_VIEWPOINT)), 0);
    EXPECT_TRUE(list.isempty(bit(OBJ_VIEWPOINT)));
    EXPECT_FALSE(list.isempty(bit(OBJ_LIGHT)));
    // A part's children that are all faces count as empty once faces are masked out.
    EXPECT_TRUE(part->children.isempty(-65));
    EXPECT_FALSE(part->children.isempty());
    // Only the low five bits of the type pick the mask bit.
    EXPECT_EQ(list.count(bit(OBJ_GROUP)), 1);
}

TEST_F(ObjListTest, IteratorStepsOverUnselectedTypes)
{
    OBJLIST_ITER it(list);
    std::vector<_object *> forward;
    while (it.next(-65))
        forward.push_back(it.getdata());
    EXPECT_EQ(forward, (std::vector<_object *>{group, part, light}));

    std::vector<_object *> backward;
    it.reset();
    while (it.prev(bit(OBJ_FACE)))
        backward.push_back(it.getdata());
    EXPECT_EQ(backward, (std::vector<_object *>{face2, face1}));

    ASSERT_TRUE(it.first(bit(OBJ_OBJECT) | bit(OBJ_LIGHT)));
    EXPECT_EQ(it.getdata(), part);
    ASSERT_TRUE(it.last(-65));
    EXPECT_EQ(it.getdata(), light);
    EXPECT_FALSE(it.first(bit(OBJ_VIEWPOINT)));
    EXPECT_EQ(it.getdata(), nullptr);
}

class NamedFilter : public OBJLIST_FILTER {
public:
    explicit NamedFilter(const char *n) : name_(n) {}
    int test(_object *o) override { return o->name && std::strcmp(o->name, name_) == 0 ? 0 : 1; }

private:
    const char *name_;
};

TEST_F(ObjListTest, FindContentsWithFilterAndComparison)
{
    NamedFilter want_light("l");
    EXPECT_EQ(list.findcontents(&want_light), 4);
    EXPECT_EQ(list.findcontents(static_cast<OBJLIST_FILTER *>(nullptr)), 0);
    NamedFilter want_none("nothing");
    EXPECT_EQ(list.findcontents(&want_none), 0);

    OBJLIST_ITER it(list);
    ASSERT_TRUE(it.findcontents(&want_light));
    EXPECT_EQ(it.getdata(), light);

    auto by_type = [](_object *o, void *key) { return o->type == *static_cast<int *>(key) ? 0 : 1; };
    int wanted = OBJ_OBJECT;
    EXPECT_EQ(list.findcontents(&wanted, by_type), 3);
}

TEST_F(ObjListTest, TypedPositionalAccess)
{
    EXPECT_EQ(list.get(1), group);
    EXPECT_EQ(list.get(6), nullptr);
    EXPECT_EQ(list.find(part), 3);
    EXPECT_EQ(list.remove(part), 1);
    EXPECT_EQ(list.get(3), light);
    EXPECT_EQ(list.insert(part), 1);
    EXPECT_EQ(list.get(1), part);
}

}  // namespace
