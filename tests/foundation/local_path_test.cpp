#include "platform/local_path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

class LocalPath : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/kiv_localpath_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        root = tmpl;
        fs::create_directories(root / "Parts" / "Sub");
        std::ofstream(root / "Parts" / "Bolt.kvg") << "x";
        std::ofstream(root / "Parts" / "Sub" / "nut.KVB") << "x";
        std::ofstream(root / "exact.kvg") << "x";
    }
    void TearDown() override { fs::remove_all(root); }
    fs::path root;
};

TEST_F(LocalPath, ResolvesBackslashesAndLetterCase)
{
    using kiv::platform::resolve_local_path;
    const std::string r = root.string();
    struct Case {
        std::string in, out;
    };
    const Case cases[] = {
        {r + "\\exact.kvg", r + "/exact.kvg"},
        {r + "/parts\\bolt.KVG", r + "/Parts/Bolt.kvg"},
        {r + "\\PARTS\\sub\\Nut.kvb", r + "/Parts/Sub/nut.KVB"},
        {r + "\\parts\\missing.kvg", r + "/Parts/missing.kvg"}, // a new file in the real directory
        {r + "/PARTS/new/deeper.kvg", r + "/Parts/new/deeper.kvg"}, // kept as written from "new" on
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(resolve_local_path(c.in), c.out) << c.in;

    const fs::path cwd = fs::current_path();
    fs::current_path(root);
    EXPECT_EQ(resolve_local_path("parts\\SUB\\nut.kvb"), "Parts/Sub/nut.KVB");
    EXPECT_EQ(resolve_local_path(".\\Exact.KVG"), "./exact.kvg");
    fs::current_path(cwd);
}
