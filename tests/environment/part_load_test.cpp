// Loading part geometry through the loader registry: levels, the instance cache, the locate
// requests for missing files, assembly files of groups, deferred activation.
#include "tests/environment/bind_fixture.h"
#include "tests/environment/locator.h"

#include <kivctrl/loader.h>
#include <kivctrl/placement.h>
#include <kivctrl/qel_locate.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/qel_pathname.h>

#include "graphics/gs_object.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Part files of the form "faces N size S"; counts what it reads.
struct TestPartFactory : LoaderFactoryImp {
    TestPartFactory() : LoaderFactoryImp("tpart") {}
    const char *name() override { return "Test Part"; }
    int priority() override { return 5000; }
    Loader *create() override;
    int reads = 0;
};

struct TestPartLoader : Loader {
    explicit TestPartLoader(TestPartFactory &f) : f(f) {}
    int legal(KivAssembly *, _object *, const char *file, const char *) override
    {
        return pathname_check_ext(file, "tpart") && fs::is_regular_file(file) ? 2 : 0;
    }
    int load(KivAssembly *, _object *, const char *file, const char *, GSobject **g) override
    {
        int faces = 0;
        float size = 0.0f;
        std::FILE *in = std::fopen(file, "r");
        if (!in)
            return 0;
        const int n = std::fscanf(in, "faces %d size %f", &faces, &size);
        std::fclose(in);
        if (n != 2)
            return 0;
        ++f.reads;
        *g = make_mesh(faces, size);
        const float origin[3] = {0, 0, 0};
        GSobject_setpivot(*g, origin, GS_FRAME_LOCAL);
        return 2;
    }
    TestPartFactory &f;
};

Loader *TestPartFactory::create()
{
    return new TestPartLoader(*this);
}

// Assembly files of the form "part NAME FILE": each line adds a part with that file under
// the object being read into.
struct TestAssemblyFactory : LoaderFactoryImp {
    TestAssemblyFactory() : LoaderFactoryImp("tasm") {}
    const char *name() override { return "Test Assembly"; }
    int priority() override { return 5001; }
    Loader *create() override;
};

struct TestAssemblyLoader : Loader {
    int legal(KivAssembly *, _object *, const char *file, const char *) override
    {
        return pathname_check_ext(file, "tasm") && fs::is_regular_file(file) ? 1 : 0;
    }
    int load(KivAssembly *, _object *parent, const char *file, const char *, GSobject **) override
    {
        std::ifstream in(file);
        std::string word, name, part_file;
        while (in >> word >> name >> part_file) {
            _object *p = db_create_obj(parent, OBJ_OBJECT);
            obj_set_name(p, name.c_str());
            obj_set_file(p, part_file.c_str(), 0.0f);
        }
        return 1;
    }
};

Loader *TestAssemblyFactory::create()
{
    return new TestAssemblyLoader;
}

using kivtest::Locator;

class PartLoadTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        loader_register(&parts);
        loader_register(&assemblies);
        dir = fs::temp_directory_path() / ("kiv_bind_" + std::to_string(::getpid()));
        fs::create_directories(dir / "elsewhere");
        set_assy_path(root, dir.c_str());
        msg_locate_set_dir(MSG_LOCATE_PART, nullptr);
        msg_locate_set_dir(MSG_LOCATE_ASSEMBLY, nullptr);
    }
    void TearDown() override
    {
        DbTest::TearDown();
        loader_unregister(&assemblies);
        loader_unregister(&parts);
        fs::remove_all(dir);
    }

    void write(const fs::path &rel, const std::string &text)
    {
        std::ofstream(dir / rel) << text;
    }

    _object *part_with_file(_object *parent, const char *name, const char *file)
    {
        _object *p = make(parent, OBJ_OBJECT, name);
        obj_set_file(p, file, 0.0f);
        return p;
    }

    static GSmesh *mesh_of(GSobject *g) { return static_cast<ADT_Object *>(g)->mesh.get(); }

    TestPartFactory parts;
    TestAssemblyFactory assemblies;
    fs::path dir;
};

TEST_F(PartLoadTest, ActivationLoadsTheLevelsFile)
{
    write("bolt.tpart", "faces 3 size 2");
    _object *bolt = part_with_file(root, "bolt", "bolt.tpart");
    EXPECT_EQ(obj_set_active(bolt, 1), 0);
    EXPECT_EQ(bolt->active, 1);
    EXPECT_EQ(parts.reads, 1);
    _geometry *level = bolt->geolist.get(1);
    ASSERT_NE(level->handle, nullptr);
    EXPECT_EQ(bolt->gsobject, level->handle);
    EXPECT_EQ(bolt->lod_current, level->handle);
    EXPECT_EQ(bolt->lod_index, 1);
    EXPECT_FLOAT_EQ(level->threshold, 8.0f);  // 0 becomes 8 once the file was tried
    EXPECT_STREQ(GSobject_getname(level->handle), "bolt");
    EXPECT_TRUE(GSobject_getvisibility(bolt->gsobject));
    EXPECT_EQ(handle_to_obj(bolt->gsobject, nullptr, false), bolt);
    float r = 0.0f;
    obj_get_radius(bolt, r);
    EXPECT_GT(r, 0.0f);
    EXPECT_FLOAT_EQ(bolt->lod_radius2, r * r);
    EXPECT_STREQ(level->part.name, "bolt.tpart");  // the stored name stays relative

    // The registry's simplified copy becomes a coarser level without a file of its own.
    ASSERT_EQ(bolt->geolist.count(), 2);
    _geometry *coarse = bolt->geolist.get(2);
    EXPECT_FLOAT_EQ(coarse->threshold, 16.0f);
    EXPECT_EQ(coarse->part.name, nullptr);
    ASSERT_NE(coarse->handle, nullptr);
    EXPECT_NE(coarse->handle, level->handle);
    EXPECT_STREQ(GSobject_getname(coarse->handle), "bolt");
    EXPECT_EQ(handle_to_obj(coarse->handle, nullptr, false), bolt);
    EXPECT_EQ(bolt->usage, 1);
}

TEST_F(PartLoadTest, TwoPartsOfOneFileShareOneRead)
{
    write("nut.tpart", "faces 2 size 1");
    _object *a = part_with_file(root, "a", "nut.tpart");
    _object *b = part_with_file(root, "b", "nut.tpart");
    obj_set_active(a, 1);
    obj_set_active(b, 1);
    EXPECT_EQ(parts.reads, 1);
    ASSERT_NE(a->gsobject, b->gsobject);
    EXPECT_EQ(mesh_of(a->gsobject), mesh_of(b->gsobject));
    EXPECT_EQ(handle_to_obj(b->gsobject, nullptr, false), b);

    // Switching a part off and on again reloads it from the cache; the derived coarse level
    // goes with the geometry and comes back with it, once.
    const int levels = a->geolist.count();
    obj_set_active(a, 0);
    EXPECT_EQ(a->geolist.count(), 1);
    EXPECT_EQ(a->geolist.get(1)->handle, nullptr);
    EXPECT_EQ(obj_set_active(a, 1), 0);
    EXPECT_EQ(parts.reads, 1);
    EXPECT_EQ(mesh_of(a->gsobject), mesh_of(b->gsobject));
    EXPECT_EQ(a->geolist.count(), levels);
}

TEST_F(PartLoadTest, InstancesKeepTheirFaceGroupsWhateverHappensToTheFirst)
{
    write("cover.tpart", "faces 3 size 1");
    _object *first = part_with_file(root, "first", "cover.tpart");
    _object *second = part_with_file(root, "second", "cover.tpart");
    obj_set_active(first, 1);
    obj_set_active(second, 1);
    ASSERT_NE(face_group(second->gsobject, 2), nullptr);
    EXPECT_EQ(GSobject_npolys(face_group(second->gsobject, 2)), 1);

    // Picking a face of the second instance makes a face of the second part.
    int created = 0;
    _object *face = handle_to_obj(face_group(second->gsobject, 2), &created, true);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->parent, second);
    EXPECT_EQ(created, 1);

    // The first part's geometry goes; the shared groups stay with the other users.
    obj_set_active(first, 0);
    db_delete_obj(first);
    EXPECT_EQ(GSobject_npolys(face_group(second->gsobject, 2)), 1);
    _object *third = part_with_file(root, "third", "cover.tpart");
    obj_set_active(third, 1);
    EXPECT_EQ(parts.reads, 1);
    ASSERT_NE(face_group(third->gsobject, 2), nullptr);
    EXPECT_EQ(GSobject_npolys(face_group(third->gsobject, 2)), 1);
}

TEST_F(PartLoadTest, AMissingFileIsLocatedAndTheLevelTakesTheFoundPath)
{
    write("elsewhere/washer.tpart", "faces 1 size 1");
    const std::string found = (dir / "elsewhere" / "washer.tpart").string();
    Locator locator(MSG_LOCATE_PART, found);
    _object *w = part_with_file(root, "washer", "lost/washer.tpart");

    EXPECT_EQ(obj_set_active(w, 1), 0);
    EXPECT_EQ(w->active, 1);
    ASSERT_EQ(locator.sought.size(), 1u);
    EXPECT_EQ(locator.sought[0], "lost/washer.tpart");
    EXPECT_EQ(locator.context[0], "washer");
    _geometry *level = w->geolist.get(1);
    EXPECT_EQ(std::string(level->part.name), found);
    EXPECT_STREQ(level->part.type, "Test Part");  // the loader the registry chose
    EXPECT_NE(level->handle, nullptr);
    EXPECT_EQ(parts.reads, 1);

    // The next part of that name is found in the directory the first was found in, and is
    // answered from the instance cache: the loader it names is still the one for the file.
    _object *w2 = part_with_file(root, "washer2", "other/washer.tpart");
    EXPECT_EQ(obj_set_active(w2, 1), 0);
    EXPECT_EQ(locator.sought.size(), 1u);
    EXPECT_EQ(parts.reads, 1);
    EXPECT_EQ(std::string(w2->geolist.get(1)->part.name), found);
    EXPECT_STREQ(w2->geolist.get(1)->part.type, "Test Part");
}

TEST_F(PartLoadTest, AFileNobodyFindsLeavesThePartInactive)
{
    _object *ghost = part_with_file(root, "ghost", "ghost.tpart");
    MessageLog log({MSG_LOCATE_PART, MSG_OBJ_ACTIVATED});
    EXPECT_NE(obj_set_active(ghost, 1), 0);
    EXPECT_EQ(ghost->active, 0);
    EXPECT_EQ(ghost->geolist.get(1)->handle, nullptr);
    EXPECT_FLOAT_EQ(ghost->geolist.get(1)->threshold, 8.0f);
    EXPECT_FALSE(GSobject_getvisibility(ghost->gsobject));
    EXPECT_EQ(log.entries().front().first, MSG_LOCATE_PART);
    // The rest of the assembly is not affected.
    write("real.tpart", "faces 1 size 1");
    EXPECT_EQ(obj_set_active(part_with_file(root, "real", "real.tpart"), 1), 0);
}

TEST_F(PartLoadTest, ANamedLoaderIsAskedFirstAndTheRegistryAfterIt)
{
    write("pin.tpart", "faces 1 size 1");
    _object *good = part_with_file(root, "good", "pin.tpart");
    good->geolist.get(1)->part.set_type("Test Part");
    _object *stale = part_with_file(root, "stale", "pin.tpart");
    stale->geolist.get(1)->part.set_type("No Such Loader");
    EXPECT_EQ(obj_set_active(good, 1), 0);
    EXPECT_EQ(obj_set_active(stale, 1), 0);
    EXPECT_NE(stale->geolist.get(1)->handle, nullptr);
}

TEST_F(PartLoadTest, InvalidGeometryTriesTheSourceFirstAndBothDescriptionsAgreeAfterwards)
{
    write("new.tpart", "faces 1 size 1");
    write("old.tpart", "faces 2 size 1");
    _object *p = part_with_file(root, "p", "old.tpart");
    _geometry *level = p->geolist.get(1);
    level->source.set_name("new.tpart");
    level->source.set_params("fine");
    p->geometryvalid = 0;
    EXPECT_EQ(obj_set_active(p, 1), 0);
    EXPECT_EQ(GSobject_npolys(face_group(p->gsobject, 0)), 1);
    EXPECT_EQ(face_group(p->gsobject, 1), nullptr);  // the one-face file was read
    EXPECT_STREQ(level->part.name, "new.tpart");
    EXPECT_STREQ(level->part.params, "fine");
}

TEST_F(PartLoadTest, GroupsReadTheirAssemblyFilesOnceAndLocateThem)
{
    write("elsewhere/sub.tasm", "part inner nut.tpart\n");
    write("nut.tpart", "faces 1 size 1");
    Locator locator(MSG_LOCATE_ASSEMBLY, (dir / "elsewhere" / "sub.tasm").string());
    _object *g = make(root, OBJ_GROUP, "sub");
    obj_set_file(g, "sub.tasm", 0.0f);
    EXPECT_EQ(obj_set_active(g, 1), 0);
    EXPECT_EQ(locator.sought, (std::vector<std::string>{"sub.tasm"}));
    ASSERT_EQ(g->children.count(), 1);
    _object *inner = g->children.get(1);
    EXPECT_STREQ(inner->name, "inner");
    EXPECT_EQ(inner->active, 1);  // activation reaches what the file added
    EXPECT_EQ(parts.reads, 1);
    obj_set_active(g, 0);
    obj_set_active(g, 1);
    EXPECT_EQ(g->children.count(), 1);
}

TEST_F(PartLoadTest, FacesOfALoadedPartFollowItsLevels)
{
    write("plate.tpart", "faces 4 size 1");
    _object *plate = part_with_file(root, "plate", "plate.tpart");
    _object *face = db_create_face_obj(plate);
    face->face_index = 3;
    obj_set_active(plate, 1);
    EXPECT_EQ(face->active, 1);
    EXPECT_EQ(face->gsobject, face_group(plate->gsobject, 3));
    EXPECT_EQ(handle_to_obj(face->gsobject, nullptr, true), face);
    obj_set_active(plate, 0);
    EXPECT_EQ(face->gsobject, nullptr);
    obj_set_active(plate, 1);
    EXPECT_EQ(face->gsobject, face_group(plate->gsobject, 3));
}

TEST_F(PartLoadTest, DeferredActivationsApplyWhenBackgroundLoadingIsOn)
{
    write("a.tpart", "faces 1 size 1");
    _object *on = part_with_file(root, "on", "a.tpart");
    _object *off = part_with_file(root, "off", "a.tpart");
    on->vars.add("_ACTIVE", reinterpret_cast<void *>(std::intptr_t{1}));
    off->vars.add("_ACTIVE", reinterpret_cast<void *>(std::intptr_t{0}));

    VE_build_tree(root);  // background loading off: the values wait
    EXPECT_EQ(on->active, 0);
    EXPECT_NE(on->vars.find("_ACTIVE"), 0);

    env_set_threading(true);
    VE_build_tree(root);
    env_set_threading(false);
    assy->WaitForGeometryLoad();
    EXPECT_EQ(on->active, 1);
    EXPECT_EQ(off->active, 0);
    EXPECT_EQ(on->vars.find("_ACTIVE"), 0);
    EXPECT_EQ(off->vars.find("_ACTIVE"), 0);
}

}  // namespace
