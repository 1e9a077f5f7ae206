// Re-parenting with db_link.
#include "db_fixture.h"

namespace {

class LinkTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        a = make(root, OBJ_GROUP, "a");
        b = make(a, OBJ_GROUP, "b");
        c = make(b, OBJ_OBJECT, "c");
        face = db_create_face_obj(c);
        other = make(root, OBJ_GROUP, "other");
    }
    _object *a = nullptr, *b = nullptr, *c = nullptr, *face = nullptr, *other = nullptr;
};

TEST_F(LinkTest, RefusalsChangeNothing)
{
    KivAssembly *second = db_new_assembly("second");
    struct Case {
        const char *what;
        _object *newparent;
        _object *child;
    };
    const Case cases[] = {
        {"null parent", nullptr, c},
        {"null child", a, nullptr},
        {"face as parent", face, other},
        {"root as child", other, root},
        {"other root as child", a, second->GetRoot()},
        {"itself", b, b},
        {"under its own descendant", c, a},
        {"under its child", b, a},
    };
    MessageLog log({MSG_OBJ_UNLINKING, MSG_OBJ_LINKED});
    for (const Case &k : cases)
        EXPECT_EQ(db_link(k.newparent, k.child), 1) << k.what;
    EXPECT_TRUE(log.entries().empty());
    EXPECT_EQ(b->parent, a);
    EXPECT_EQ(a->parent, root);
    EXPECT_EQ(child_names(root), (std::vector<std::string>{"a", "other"}));
    EXPECT_EQ(a->unique, 0);
    db_delete_assembly(second);
}

TEST_F(LinkTest, MovesTheSubtreeToTheEndOfTheNewParent)
{
    for (_object *o : {root, a, b, other})
        o->grpradius_valid = 1;
    MessageLog log({MSG_OBJ_UNLINKING, MSG_OBJ_LINKED});
    EXPECT_EQ(db_link(root, c), 0);
    EXPECT_EQ(log.entries(), (std::vector<Msg>{{MSG_OBJ_UNLINKING, c}, {MSG_OBJ_LINKED, c}}));
    EXPECT_EQ(c->parent, root);
    EXPECT_EQ(face->parent, c);
    EXPECT_EQ(child_names(root), (std::vector<std::string>{"a", "other", "c"}));
    EXPECT_TRUE(b->children.isempty());
    // The groups that lost a member are marked changed; the radii around both ends are stale.
    EXPECT_EQ(a->unique, 1);
    EXPECT_EQ(b->unique, 1);
    EXPECT_EQ(b->grpradius_valid, 0);
    EXPECT_EQ(root->grpradius_valid, 0);
    EXPECT_EQ(other->grpradius_valid, 1);

    EXPECT_EQ(db_link(other, b), 0);
    EXPECT_EQ(other->unique, 1);  // the group that gained a member too
    EXPECT_EQ(b->parent, other);
    // Lookups follow the new shape: other's subtree now holds b.
    EXPECT_EQ(find_obj_by_guid(b->guid, other), b);
    EXPECT_EQ(find_obj_by_guid(b->guid, a), nullptr);
}

TEST_F(LinkTest, MovingIntoAnotherAssemblyAdoptsTheSubtree)
{
    KivAssembly *second = db_new_assembly("second");
    _object *r2 = second->GetRoot();
    EXPECT_EQ(db_link(r2, b), 0);
    EXPECT_EQ(b->assembly, second);
    EXPECT_EQ(c->assembly, second);
    EXPECT_EQ(face->assembly, second);
    EXPECT_EQ(DBGetRoot(face), r2);
    EXPECT_EQ(assy->GetObjectCount(root), 0);
    EXPECT_EQ(second->GetObjectCount(r2), 1);
    db_delete_assembly(second);
}

}  // namespace
