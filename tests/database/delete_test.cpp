// Deleting objects, subtrees and assemblies: what goes, what moves, and the messages.
#include "db_fixture.h"

namespace {

const std::set<short> kLifeCodes = {MSG_OBJ_DELETING, MSG_OBJ_FREEING, MSG_OBJ_UNLINKING,
                                    MSG_OBJ_LINKED};

TEST_F(DbTest, DeletingAGroupDeletesItsSubtreeChildrenFirst)
{
    _object *g = make(root, OBJ_GROUP, "g");
    _object *c1 = make(g, OBJ_GROUP, "c1");
    _object *gc = make(c1, OBJ_OBJECT, "gc");
    _object *c2 = make(g, OBJ_OBJECT, "c2");
    _object *c3 = make(g, OBJ_LIGHT, "c3");
    _object *other = make(root, OBJ_OBJECT, "other");

    MessageLog log(kLifeCodes);
    EXPECT_EQ(db_delete_obj(g), 0);
    const std::vector<Msg> expected = {
        {MSG_OBJ_DELETING, gc}, {MSG_OBJ_FREEING, gc}, {MSG_OBJ_DELETING, c1},
        {MSG_OBJ_FREEING, c1},  {MSG_OBJ_DELETING, c2}, {MSG_OBJ_FREEING, c2},
        {MSG_OBJ_DELETING, c3}, {MSG_OBJ_FREEING, c3}, {MSG_OBJ_DELETING, g},
        {MSG_OBJ_FREEING, g}};
    EXPECT_EQ(log.entries(), expected);
    EXPECT_EQ(child_names(root), (std::vector<std::string>{"other"}));
    for (const char *n : {"g", "c1", "gc", "c2", "c3"})
        EXPECT_EQ(name_to_obj(n), nullptr) << n;
    EXPECT_EQ(name_to_obj("other"), other);
}

TEST_F(DbTest, DeletingAPartDeletesItsFacesAndHandsOtherChildrenUp)
{
    _object *g = make(root, OBJ_GROUP, "g");
    _object *p = make(g, OBJ_OBJECT, "p");
    _object *f1 = db_create_face_obj(p);
    _object *kid = make(p, OBJ_OBJECT, "kid");
    _object *f2 = db_create_face_obj(p);
    make(g, OBJ_OBJECT, "sibling");

    MessageLog log(kLifeCodes);
    EXPECT_EQ(db_delete_obj(p), 0);
    const std::vector<Msg> expected = {
        {MSG_OBJ_DELETING, f1},   {MSG_OBJ_FREEING, f1},   {MSG_OBJ_DELETING, f2},
        {MSG_OBJ_FREEING, f2},    {MSG_OBJ_DELETING, p},
        {MSG_OBJ_UNLINKING, kid}, {MSG_OBJ_LINKED, kid},   // first under the root
        {MSG_OBJ_UNLINKING, kid}, {MSG_OBJ_LINKED, kid},   // then under p's parent
        {MSG_OBJ_FREEING, p}};
    EXPECT_EQ(log.entries(), expected);
    EXPECT_EQ(kid->parent, g);
    EXPECT_EQ(child_names(g), (std::vector<std::string>{"sibling", "kid"}));
    EXPECT_EQ(child_names(root), (std::vector<std::string>{"g"}));
}

TEST_F(DbTest, DeletionInvalidatesRadiiAndMarksGroupAncestors)
{
    _object *g1 = make(root, OBJ_GROUP, "g1");
    _object *l = make(g1, OBJ_LIGHT, "l");
    _object *g2 = make(l, OBJ_GROUP, "g2");
    _object *p = make(g2, OBJ_OBJECT, "p");
    for (_object *o : {root, g1, l, g2})
        o->grpradius_valid = 1;
    EXPECT_EQ(db_delete_obj(p), 0);
    for (_object *o : {root, g1, l, g2})
        EXPECT_EQ(o->grpradius_valid, 0) << o->name;
    EXPECT_EQ(g1->unique, 1);
    EXPECT_EQ(g2->unique, 1);
    EXPECT_EQ(root->unique, 0);
}

TEST_F(DbTest, ViewpointDeletionRules)
{
    _object *only = make(root, OBJ_VIEWPOINT, "only");
    EXPECT_EQ(db_delete_obj(only), 1);  // the tree's last viewpoint

    _object *second = make(root, OBJ_VIEWPOINT, "second");
    _object *kid = make(second, OBJ_OBJECT, "kid");
    second->active = 1;
    EXPECT_EQ(db_delete_obj(second), 1);  // the active one
    EXPECT_EQ(name_to_obj("second"), second);

    EXPECT_EQ(db_delete_obj(only), 0);  // inactive, and another remains
    EXPECT_EQ(name_to_obj("only"), nullptr);
    second->active = 0;
    EXPECT_EQ(db_delete_obj(second), 1);  // now the last one again
    EXPECT_EQ(kid->parent, second);
}

TEST_F(DbTest, ActiveViewpointSurvivesItsSubtreeAndMovesUp)
{
    _object *g = make(root, OBJ_GROUP, "g");
    _object *h = make(g, OBJ_GROUP, "h");
    make(h, OBJ_OBJECT, "p");
    _object *cam = make(h, OBJ_VIEWPOINT, "cam");
    _object *cam_child = make(cam, OBJ_OBJECT, "on camera");
    cam->active = 1;

    EXPECT_EQ(db_delete_obj(g), 0);
    EXPECT_EQ(cam->parent, root);
    EXPECT_EQ(cam_child->parent, cam);
    EXPECT_EQ(name_to_obj("p"), nullptr);
    EXPECT_EQ(name_to_obj("h"), nullptr);
    EXPECT_EQ(child_names(root), (std::vector<std::string>{"cam"}));
    cam->active = 0;
}

TEST_F(DbTest, RootsAndNullsAreNotDeletedAsObjects)
{
    EXPECT_EQ(db_delete_obj(root), 1);
    EXPECT_EQ(db_delete_obj(nullptr), 1);
    EXPECT_EQ(db_get_root(), root);
}

TEST_F(DbTest, DeepChainsAreDeletedWithoutRecursion)
{
    _object *top = make(root, OBJ_GROUP, "top");
    _object *o = top;
    // Built as bare records: a graphics node per level would make the chain itself the work.
    for (int i = 0; i < 100000; ++i)
        o = new _object(i % 2 ? OBJ_GROUP : OBJ_LIGHT, o);
    EXPECT_EQ(db_delete_obj(top), 0);
    EXPECT_TRUE(root->children.isempty());
}

TEST(AssemblyDeletion, AnnouncesFirstFreesEverythingAndTheRootLast)
{
    KivAssembly *a = db_new_assembly("a");
    _object *r = a->GetRoot();
    _object *g = db_create_obj(r, OBJ_GROUP);
    _object *p = db_create_obj(g, OBJ_OBJECT);
    _object *cam = db_create_obj(r, OBJ_VIEWPOINT);
    _object *cam2 = db_create_obj(g, OBJ_VIEWPOINT);
    cam->active = cam2->active = 1;
    r->viewpoint = cam;

    MessageLog log({MSG_ASSEMBLY_DELETING, MSG_OBJ_DELETING, MSG_OBJ_FREEING,
                    MSG_OBJ_DEACTIVATED});
    db_delete_assembly(a);
    const std::vector<Msg> expected = {
        {MSG_ASSEMBLY_DELETING, a},
        {MSG_OBJ_DEACTIVATED, cam},  // the current viewpoint is switched off first
        {MSG_OBJ_DELETING, cam},     {MSG_OBJ_FREEING, cam},
        {MSG_OBJ_DELETING, cam2},    {MSG_OBJ_DEACTIVATED, cam2}, {MSG_OBJ_FREEING, cam2},
        {MSG_OBJ_DELETING, p},       {MSG_OBJ_FREEING, p},
        {MSG_OBJ_DELETING, g},       {MSG_OBJ_FREEING, g},
        {MSG_OBJ_DELETING, r},       {MSG_OBJ_FREEING, r}};
    EXPECT_EQ(log.entries(), expected);
    EXPECT_EQ(db_get_root(), nullptr);
    EXPECT_EQ(name_to_obj("a"), nullptr);
}

}  // namespace
