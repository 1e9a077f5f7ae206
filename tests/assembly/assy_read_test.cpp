// assy_read and assy_insert over the loader registry.
#include <kivctrl/kivctrl.h>

#include "support/bus_recorder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Takes "*.tasy" files: reading one makes a new assembly, inserting one adds a group under
// the parent it is given.
class TestAssemblyLoader final : public Loader {
public:
    int legal(KivAssembly *, _object *, const char *file, const char *) override
    {
        return pathname_check_ext(file, "tasy") ? LOADER_ASSEMBLY : LOADER_NOT_TAKEN;
    }
    int load(KivAssembly *a, _object *parent, const char *file, const char *o,
             GSobject **) override
    {
        if (!legal(a, parent, file, o))
            return LOADER_NOT_TAKEN;
        if (parent)
            return db_create_obj(parent, OBJ_GROUP) ? LOADER_ASSEMBLY : LOADER_NOT_TAKEN;
        return db_new_assembly(file) ? LOADER_ASSEMBLY : LOADER_NOT_TAKEN;
    }
};

class TestAssemblyFactory final : public LoaderFactoryImp {
public:
    TestAssemblyFactory() : LoaderFactoryImp("tasy") { loader_register(this); }
    ~TestAssemblyFactory() override { loader_unregister(this); }
    const char *name() override { return "Test Assembly"; }
    int hints() override { return 241; }
    int priority() override { return 20000; }
    Loader *create() override { return std::make_unique<TestAssemblyLoader>().release(); }
};

TEST(AssyRead, ReadsThroughTheRegistryAndPreparesTheTree)
{
    TestAssemblyFactory factory;
    kivtest::BusRecorder errors(MSG_ERROR);
    ASSERT_EQ(assy_read("/nowhere/demo.tasy"), 0);
    KivAssembly *a = GetAssembly(db_get_root());
    ASSERT_NE(a, nullptr);
    // The tree was prepared: the root got its default viewpoint.
    EXPECT_NE(RootGetViewPoint(a), nullptr);

    _object *root = a->GetRoot();
    const int children = root->children.count();
    EXPECT_EQ(assy_insert("/nowhere/more.tasy", root), 0);
    EXPECT_EQ(root->children.count(), children + 1);
    EXPECT_TRUE(errors.error_formats().empty());

    EXPECT_EQ(assy_read("/nowhere/demo.unknown"), 1);
    EXPECT_EQ(assy_insert("/nowhere/more.unknown", root), 1);
    EXPECT_EQ(assy_read(nullptr), 1);
    EXPECT_EQ(errors.error_formats(), (std::vector<std::string>{"Error from assy_read",
                                                     "Error from assy_insert",
                                                     "Error from assy_read"}));
    db_delete_assembly(a);
}

} // namespace
