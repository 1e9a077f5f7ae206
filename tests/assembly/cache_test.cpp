// The geometry instance cache: keys, basenames, the simplified copy and its maintenance
// through the message bus.
#include "probe_fixture.h"
#include "support/bus_recorder.h"

#include <filesystem>
#include <set>
#include <vector>

namespace {

int load(const std::string &file, const char *options = nullptr)
{
    return loader_invoke(nullptr, nullptr, file.c_str(), options, nullptr, nullptr);
}

TEST_F(ProbeTest, SameSimpleNameGetsNumberedKeys)
{
    const char *expected[] = {"part",   "part_0", "part_1", "part_2", "part_3",
                              "part_4", "part_5", "part_6", "part_7", "part_8",
                              "part_9", "part_A", "part_B"};
    std::vector<std::string> files;
    for (const char *key : expected) {
        std::filesystem::create_directory(dir.file(key));
        files.push_back(probe(std::string(key) + "/part.prb", "HIGH 0 0 0"));
        ASSERT_EQ(load(files.back()), 2);
        EXPECT_EQ(instance_cache().key(files.back().c_str(), "part"), key);
    }
    EXPECT_EQ(loads("Probe High"), 13);

    // Other options of a file already read share its geometry under its basename.
    EXPECT_EQ(load(files[2], "coarse"), 2);
    EXPECT_EQ(loads("Probe High"), 13);
    char out[8];
    EXPECT_EQ(loader_basename(nullptr, files[2].c_str(), "coarse", sizeof out, out), 5);
    EXPECT_STREQ(out, "part");
}

TEST(InstanceCacheKeys, RunPastTheAlphabet)
{
    // Keys past "_Z" go on counting instead of running into punctuation.
    LoadGSobjectInstanceCache &cache = instance_cache();
    cache.clear();
    GSobject *g = GSobject_begin();
    std::set<std::string> keys;
    for (int i = 0; i < 40; ++i)
        keys.insert(cache.store(("/k/" + std::to_string(i)).c_str(), nullptr, "k", g));
    GSobject_delete(g);
    EXPECT_EQ(keys.size(), 40u);
    EXPECT_TRUE(keys.count("k_Z"));
    EXPECT_TRUE(keys.count("k_10"));
    EXPECT_TRUE(keys.count("k_11"));
    cache.clear();
}

TEST(LoaderBasename, MeasuresAndCopiesOnlyWhatFits)
{
    char out[16] = "junk";
    EXPECT_EQ(loader_basename(nullptr, "/a/b/bolt.kvg", nullptr, 0, nullptr), 5);
    EXPECT_EQ(loader_basename(nullptr, "/a/b/bolt.kvg", nullptr, 4, out), 5);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(loader_basename(nullptr, "C:\\parts\\bolt.kvg", nullptr, 5, out), 5);
    EXPECT_STREQ(out, "bolt");
}

TEST_F(ProbeTest, AssemblyDeletionEmptiesTheCacheUnlessSuspended)
{
    const std::string file = probe("kept.prb", "HIGH 0 0 0");
    kivtest::BusRecorder counter(MSG_DROP_CACHED_LOOKUPS);
    struct Step {
        short message;  // sent before loading again; 0 for none
        int reads;      // total reads of the file afterwards
        int drops;      // total messages 15 afterwards
    } steps[] = {
        {0, 1, 0},
        {MSG_INSTANCE_CACHE_SUSPEND, 1, 0},
        {MSG_ASSEMBLY_DELETING, 1, 0},
        {MSG_INSTANCE_CACHE_RESUME, 1, 0},
        {MSG_ASSEMBLY_DELETING, 2, 1},
        {MSG_ASSEMBLY_DELETING, 3, 2},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.message);
        if (s.message)
            msg_send(s.message, nullptr, 0);
        ASSERT_EQ(load(file), 2);
        EXPECT_EQ(loads("Probe High"), s.reads);
        EXPECT_EQ(counter.count(MSG_DROP_CACHED_LOOKUPS), s.drops);
    }
}

TEST_F(ProbeTest, ReloadedObjectDropsItsPartOnly)
{
    KivAssembly *assy = db_new_assembly("assy");
    ASSERT_NE(assy, nullptr);
    set_assy_path(assy->GetRoot(), dir.path().c_str());
    _object *part = db_create_obj(assy->GetRoot(), OBJ_OBJECT);
    ASSERT_NE(part, nullptr);
    _geometry *level = nullptr;
    ASSERT_EQ(obj_set_file(part, "bolt.prb", level, 0.0f), 0);
    level->part.set_params("fine");

    // Loaded as the binding loads parts: joined to the assembly's directory.
    const std::string bolt = probe("bolt.prb", "HIGH 0 0 0");
    const std::string nut = probe("nut.prb", "HIGH 0 0 0");
    ASSERT_EQ(load(bolt, "fine"), 2);
    ASSERT_EQ(load(bolt, "other"), 2);
    ASSERT_EQ(load(nut, "fine"), 2);
    EXPECT_EQ(loads("Probe High"), 2);

    kivtest::BusRecorder counter(MSG_DROP_CACHED_LOOKUPS);
    msg_send(MSG_OBJ_GEOMETRY_RELOAD, part, 0);
    EXPECT_EQ(counter.count(MSG_DROP_CACHED_LOOKUPS), 1);
    for (const char *options : {"fine", "other"}) {
        void *g = nullptr;
        int index = 0;
        ASSERT_EQ(loader_invoke(nullptr, nullptr, bolt.c_str(), options, &g, &index), 2);
        GSobject_delete(static_cast<GSobject *>(g));
        EXPECT_NE(factory_name(index), loader_get_factory(1)->name());
    }
    EXPECT_EQ(loads("Probe High"), 3);
    EXPECT_EQ(load(nut, "fine"), 2);
    EXPECT_EQ(loads("Probe High"), 3);

    // An object without a named part changes nothing.
    _object *group = db_create_obj(assy->GetRoot(), OBJ_GROUP);
    msg_send(MSG_OBJ_GEOMETRY_RELOAD, group, 0);
    EXPECT_EQ(counter.count(MSG_DROP_CACHED_LOOKUPS), 1);
    db_delete_assembly(assy);
}

TEST_F(ProbeTest, DecimatedCopyIsBuiltOnceAndHandedOutAsInstances)
{
    KivAssembly *assy = db_new_assembly("assy");
    ASSERT_NE(assy, nullptr);
    set_assy_path(assy->GetRoot(), dir.path().c_str());
    const std::string file = probe("coarse.prb", "HIGH 0 0 0");
    EXPECT_EQ(loader_decimated(assy, file.c_str(), nullptr), nullptr);
    ASSERT_EQ(load(file), 2);

    auto *first = static_cast<GSobject *>(loader_decimated(assy, file.c_str(), nullptr));
    // A relative name is found under the assembly's directory.
    auto *second = static_cast<GSobject *>(loader_decimated(assy, "coarse.prb", nullptr));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(GSobject_npolys(first), 1);
    EXPECT_EQ(GSobject_npolys(second), 1);
    EXPECT_EQ(loader_decimated(nullptr, "coarse.prb", nullptr), nullptr);
    GSobject_delete(first);
    GSobject_delete(second);
    db_delete_assembly(assy);
}

} // namespace
