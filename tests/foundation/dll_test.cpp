#include <kivctrl/kivctrl.h>

#include "support/bus_recorder.h"
#include "support/scratch.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string plugin_dir = KIV_TEST_PLUGIN_DIR;
const std::string full = plugin_dir + "/qel_test_full";
const std::string init_only = plugin_dir + "/qel_test_initonly";
const std::string bare = plugin_dir + "/qel_test_bare";

bool loaded(const std::string &name)
{
    void *h = dlopen((name + ".so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (h)
        dlclose(h);
    return h != nullptr;
}

class DynamicLibraries : public ::testing::Test {
protected:
    void SetUp() override { setenv("KIV_TEST_PLUGIN_LOG", log.c_str(), 1); }
    void TearDown() override
    {
        dl_term();
        unsetenv("KIV_TEST_PLUGIN_LOG");
    }
    std::string calls() const { return kivtest::read_file(log); }
    // Each error report as its format and arguments joined by '|'.
    std::vector<std::string> errors() const
    {
        std::vector<std::string> out;
        for (const kivtest::BusMessage &m : reports.messages()) {
            if (m.code != MSG_ERROR)
                continue;
            std::string text = m.format;
            for (const std::string &a : m.args)
                text += "|" + a;
            out.push_back(text);
        }
        return out;
    }

    kivtest::ScratchDir dir{"dll"};
    std::string log = dir.file("calls.log");
    kivtest::BusRecorder reports{std::set<short>{MSG_ERROR, MSG_DEBUG}};
};

} // namespace

TEST_F(DynamicLibraries, SecondOpenCountsUseWithoutSecondInit)
{
    int count = -1;
    void *h = dl_open(full.c_str(), "dll_init", &count);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(dl_open(full.c_str(), "dll_init", &count), h);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(calls(), "init qel_test_full\n");
    EXPECT_TRUE(loaded(full));

    EXPECT_EQ(dl_close(h), 0);
    EXPECT_TRUE(loaded(full));
    EXPECT_EQ(calls(), "init qel_test_full\n");
    EXPECT_EQ(dl_exists(full.c_str(), &count), 1);
    EXPECT_EQ(count, 1);

    EXPECT_EQ(dl_close(h), 0);
    EXPECT_EQ(calls(), "init qel_test_full\nterm qel_test_full\n");
    EXPECT_FALSE(loaded(full));
    EXPECT_TRUE(errors().empty());

    const int debug_before = reports.count(MSG_DEBUG);
    EXPECT_EQ(dl_close(h), -1);
    EXPECT_EQ(dl_close(nullptr), -1);
    EXPECT_EQ(reports.count(MSG_DEBUG), debug_before + 2);
}

TEST_F(DynamicLibraries, ExistsProbesWithoutKeepingTheLibrary)
{
    int count = -1;
    EXPECT_EQ(dl_exists(init_only.c_str(), &count), 1);
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(loaded(init_only));
    EXPECT_EQ(calls(), "");

    EXPECT_EQ(dl_exists((plugin_dir + "/qel_missing").c_str(), &count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(errors().empty());
}

TEST_F(DynamicLibraries, TermClosesEveryLibraryOnce)
{
    void *a = dl_open(full.c_str(), "dll_init", nullptr);
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(dl_open(full.c_str(), "dll_init", nullptr), a);
    ASSERT_NE(dl_open(init_only.c_str(), "dll_init", nullptr), nullptr);

    dl_term();
    EXPECT_EQ(calls(), "init qel_test_full\ninit qel_test_initonly\nterm qel_test_full\n");
    EXPECT_FALSE(loaded(full));
    EXPECT_FALSE(loaded(init_only));
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors()[0], "Unable to load termfunc %1 in %2|dll_term|" + init_only);

    int count = -1;
    EXPECT_EQ(dl_exists(full.c_str(), &count), 1);
    EXPECT_EQ(count, 0) << "the list is empty after dl_term";
    dl_term();
    dl_term(); // the manager is unused now: nothing happens
    EXPECT_EQ(calls(), "init qel_test_full\ninit qel_test_initonly\nterm qel_test_full\n");
}

// The three reports: a library that does not load, one without the initialisation entry
// (kept open) and one without the termination entry (freed all the same).
TEST_F(DynamicLibraries, ReportsMissingLibraryAndEntries)
{
    const std::string missing = plugin_dir + "/qel_missing";
    int count = -1;
    EXPECT_EQ(dl_open(missing.c_str(), "dll_init", &count), nullptr);
    EXPECT_EQ(count, 0);

    void *h = dl_open(bare.c_str(), "dll_init", &count);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(loaded(bare));
    EXPECT_EQ(dl_exists(bare.c_str(), &count), 1);
    EXPECT_EQ(count, 1);

    EXPECT_EQ(dl_close(h), 0);
    EXPECT_FALSE(loaded(bare));

    const std::vector<std::string> expected{
        "Unable to load library %1|" + missing,
        "Unable to load initfunc %1 in %2|dll_init|" + bare,
        "Unable to load termfunc %1 in %2|dll_term|" + bare,
    };
    EXPECT_EQ(errors(), expected);
}

// Records are kept by the name as given: with and without the extension they are two records
// of one file, each initialised and counted on its own.
TEST_F(DynamicLibraries, NameWithAndWithoutExtensionAreTwoRecords)
{
    int plain = -1;
    int with_ext = -1;
    void *a = dl_open(full.c_str(), "dll_init", &plain);
    void *b = dl_open((full + ".so").c_str(), "dll_init", &with_ext);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(b, a);
    EXPECT_EQ(plain, 1);
    EXPECT_EQ(with_ext, 1);
    EXPECT_EQ(calls(), "init qel_test_full\ninit qel_test_full\n");

    EXPECT_EQ(dl_close(a), 0);
    EXPECT_TRUE(loaded(full)) << "the second record still holds the file";
    EXPECT_EQ(dl_close(b), 0);
    EXPECT_FALSE(loaded(full));
    EXPECT_EQ(calls(), "init qel_test_full\ninit qel_test_full\nterm qel_test_full\nterm qel_test_full\n");
}
