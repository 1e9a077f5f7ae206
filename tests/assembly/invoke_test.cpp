// Loading through the registry: routing by suffix, content and priority, failed loads, the
// "Addin" library loader and Internet names.
#include "graphics/gs_object.h"
#include "probe_fixture.h"
#include "support/loopback_servers.h"

#include <filesystem>
#include <memory>

namespace {

struct GSobjectDeleter {
    void operator()(GSobject *g) const { GSobject_delete(g); }
};
using Geometry = std::unique_ptr<GSobject, GSobjectDeleter>;

struct Invoked {
    int result;
    int index;
    Geometry geometry;
};

Invoked invoke(const std::string &file, const char *options = nullptr)
{
    void *g = nullptr;
    int index = -1;
    const int result = loader_invoke(nullptr, nullptr, file.c_str(), options, &g, &index);
    return {result, index, Geometry(static_cast<GSobject *>(g))};
}

TEST_F(ProbeTest, RoutesBySuffixContentAndPriority)
{
    struct Case {
        const char *file;
        const char *content;
        int result;
        const char *taken_by;     // factory whose load succeeded
        const char *legal_by;     // first factory whose legal accepted
        int broken_loads;         // reads "Probe Broken" attempted before giving up
    } cases[] = {
        {"high.prb", "HIGH 0 0 0", 2, "Probe High", "Probe High", 0},
        {"low.prb", "LOW 0 0 0", 2, "Probe Low", "Probe Low", 0},
        {"high.prx", "HIGH 0 0 0", 2, "Probe Other", "Probe Other", 0},
        {"UPPER.PRB", "HIGH 0 0 0", 2, "Probe High", "Probe High", 0},
        // Taken by a loader that fails: the search goes on.
        {"broken.prb", "BROKEN 0 0 0", 2, "Probe Low", "Probe Broken", 1},
        {"empty.prb", "EMPTY 0 0 0", 2, "Probe Low", "Probe Broken", 1},
        {"unknown.prb", "WHAT 0 0 0", 0, "", "", 0},
        {"high.txt", "HIGH 0 0 0", 0, "", "", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const std::string file = probe(c.file, c.content);
        const int before = loads("Probe Broken");
        Invoked out = invoke(file);
        EXPECT_EQ(out.result, c.result);
        EXPECT_EQ(factory_name(out.index), c.taken_by);
        EXPECT_EQ(out.geometry != nullptr, c.result == 2);
        EXPECT_EQ(loads("Probe Broken") - before, c.broken_loads);

        int index = -1;
        EXPECT_EQ(loader_legal(nullptr, nullptr, file.c_str(), nullptr, &index), c.result);
        EXPECT_EQ(factory_name(index), c.legal_by);
    }
}

TEST_F(ProbeTest, ByNameUsesOnlyThatFactory)
{
    const std::string file = probe("named.prb", "HIGH 0 0 0");
    void *g = nullptr;
    EXPECT_EQ(loader_invoke("probe low", nullptr, nullptr, file.c_str(), nullptr, &g), 2);
    Geometry taken(static_cast<GSobject *>(g));
    EXPECT_NE(taken, nullptr);
    EXPECT_EQ(loads("Probe High"), 0);
    EXPECT_EQ(loads("Probe Low"), 1);
    EXPECT_EQ(loader_legal("Probe Broken", nullptr, nullptr, file.c_str(), nullptr), 0);
    EXPECT_EQ(loader_legal("Probe High", nullptr, nullptr, file.c_str(), nullptr), 2);

    const std::string other = probe("other.prb", "LOW 0 0 0");
    EXPECT_EQ(loader_invoke("Probe High", nullptr, nullptr, other.c_str(), nullptr, &g), 0);
    EXPECT_EQ(g, nullptr);
    EXPECT_EQ(loader_invoke("prb", nullptr, nullptr, other.c_str(), nullptr, &g), 0);
    EXPECT_EQ(loader_legal("No Such Loader", nullptr, nullptr, other.c_str(), nullptr), 0);
}

TEST_F(ProbeTest, SecondLoadSharesTheFirstWithoutReading)
{
    const std::string file = probe("shared.prb", "HIGH 1 2 3");
    Invoked first = invoke(file, "opts");
    Invoked second = invoke(file, "OPTS");  // options compare ignoring case
    ASSERT_EQ(first.result, 2);
    ASSERT_EQ(second.result, 2);
    EXPECT_EQ(loads("Probe High"), 1);
    EXPECT_EQ(second.index, 1);  // answered by the cache: no loader was asked
    ASSERT_NE(first.geometry, second.geometry);
    auto *a = static_cast<ADT_Object *>(first.geometry.get());
    auto *b = static_cast<ADT_Object *>(second.geometry.get());
    EXPECT_EQ(a->mesh, b->mesh);
    float pivot[3];
    GSobject_getpivot(second.geometry.get(), pivot, GS_FRAME_LOCAL);
    EXPECT_EQ(pivot[0], 1.0f);
    EXPECT_EQ(pivot[1], 2.0f);
    EXPECT_EQ(pivot[2], 3.0f);

    // The caller owns what it received: deleting it leaves the cached mesh alone.
    first.geometry.reset();
    Invoked third = invoke(file, "opts");
    EXPECT_EQ(GSobject_npolys(third.geometry.get()), 1);

    // Without a place for the geometry the result is still reported and nothing leaks.
    EXPECT_EQ(loader_invoke(nullptr, nullptr, file.c_str(), "opts", nullptr, nullptr), 2);
    const std::string fresh = probe("fresh.prb", "HIGH 0 0 0");
    EXPECT_EQ(loader_invoke(nullptr, nullptr, fresh.c_str(), nullptr, nullptr, nullptr), 2);
    EXPECT_EQ(invoke(fresh).index, 1);
    EXPECT_EQ(loads("Probe High"), 2);
}

TEST(BuiltInLoaders, SecondPartLoadNeverOpensTheFile)
{
    kivtest::ScratchDir dir("loaders-kvg");
    const std::string file = dir.file("triangle.kvg");
    std::filesystem::copy_file(std::string(KIV_SOURCE_DIR) + "/tests/formats/data/kvg/triangle.kvg",
                               file);
    instance_cache().clear();
    Invoked first = invoke(file);
    ASSERT_EQ(first.result, 2);
    EXPECT_EQ(factory_name(first.index), "KIV Part");
    std::filesystem::remove(file);
    Invoked second = invoke(file);
    ASSERT_EQ(second.result, 2);
    EXPECT_EQ(second.index, 1);
    EXPECT_EQ(static_cast<ADT_Object *>(first.geometry.get())->mesh,
              static_cast<ADT_Object *>(second.geometry.get())->mesh);
    instance_cache().clear();
    EXPECT_EQ(invoke(file).result, 0);
}

TEST_F(ProbeTest, NoFileNoLoad)
{
    int index = -1;
    void *g = &index;
    EXPECT_EQ(loader_invoke(nullptr, nullptr, nullptr, nullptr, &g, &index), 0);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(g, nullptr);
    EXPECT_EQ(loader_invoke(nullptr, nullptr, "", nullptr, &g, &index), 0);
    EXPECT_EQ(loader_legal(nullptr, nullptr, nullptr, nullptr, &index), 0);
    EXPECT_EQ(index, 0);
}

TEST_F(ProbeTest, InternetNamesReachLoadersAsTheirDownload)
{
    kivtest::ScratchDir site("loaders-site");
    kivtest::write_file(site.file("web.prb"), "HIGH 0 0 0");
    kivtest::HttpServer server(site.path());
    ASSERT_TRUE(server.running());
    const std::string url = server.url("/web.prb");

    Invoked out = invoke(url);
    ASSERT_EQ(out.result, 2);
    EXPECT_EQ(factory_name(out.index), "Probe High");
    // Negative hints: the name as given; otherwise the local file of the download.
    EXPECT_EQ(last_name("Probe Names"), url);
    const std::string local = last_name("Probe High");
    EXPECT_NE(local, url);
    EXPECT_EQ(kivtest::read_file(local), "HIGH 0 0 0");

    // The cache knows the file by its Internet name.
    EXPECT_EQ(invoke(url).index, 1);
    EXPECT_EQ(loads("Probe High"), 1);
}

TEST_F(ProbeTest, AddinOpensOnlyLibraries)
{
    // A data file that nobody reads must not make the registry run the library beside it.
    std::filesystem::copy_file(plugin(), dir.file("lure.so"));
    const std::string data = probe("lure.dat", "HIGH 0 0 0");
    EXPECT_EQ(invoke(data).result, 0);
    EXPECT_EQ(dlopen(dir.file("lure.so").c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);

    EXPECT_EQ(loader_legal("Addin", nullptr, nullptr, dir.file("lure.so").c_str(), nullptr), 8);
    EXPECT_EQ(loader_legal("Addin", nullptr, nullptr, dir.file("none.so").c_str(), nullptr), 0);
    EXPECT_EQ(loader_invoke("Addin", nullptr, nullptr, dir.file("none.so").c_str(), nullptr,
                            nullptr),
              0);
}

TEST_F(ProbeTest, PluginFactoriesLeaveWithTheirLibrary)
{
    const int count = loader_count();
    EXPECT_NE(loader_get_factory("Probe High"), nullptr);
    dl_term();
    EXPECT_EQ(loader_get_factory("Probe High"), nullptr);
    EXPECT_EQ(loader_count(), count - 5);
    EXPECT_EQ(loader_get_factory(loader_count()), loader_get_factory("Addin"));
}

} // namespace
