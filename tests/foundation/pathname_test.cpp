#include <kivctrl/kivctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A path buffer with guard bytes after it, to catch writes beyond its 260 bytes.
struct PathBuf {
    char text[QEL_PATH_MAX];
    char guard[16];
    PathBuf()
    {
        std::memset(text, '#', sizeof text);
        std::memset(guard, 'G', sizeof guard);
    }
    bool intact() const { return std::string(guard, sizeof guard) == std::string(16, 'G'); }
};

std::string str(const char *s) { return s ? s : "(null)"; }

} // namespace

TEST(Pathname, Decomposition)
{
    struct Case {
        const char *path;
        const char *dir;
        int has_dir;
        const char *file;
        const char *simple;
        const char *ext;
        int has_ext;
    };
    const Case cases[] = {
        {"bolt.kvg", ".", 0, "bolt.kvg", "bolt", "kvg", 1},
        {"\\bolt.kvg", "", 1, "bolt.kvg", "bolt", "kvg", 1},
        {"C:\\asm\\parts\\Bolt.KVG", "C:\\asm\\parts", 1, "Bolt.KVG", "Bolt", "KVG", 1},
        {"asm/parts\\bolt", "asm/parts", 1, "bolt", "bolt", "", 0},
        {"dir.d/file", "dir.d", 1, "file", "file", "", 0},
        {"a/.hidden", "a", 1, ".hidden", "", "hidden", 1},
        {"a/b.tar.gz", "a", 1, "b.tar.gz", "b.tar", "gz", 1},
        {"a/b/", "a/b", 1, "", "", "", 0},
        {"", ".", 0, "", "", "", 0},
        {nullptr, ".", 0, "", "", "", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(str(c.path));
        char out[QEL_PATH_MAX];
        EXPECT_EQ(pathname_get_dir(c.path, out), c.has_dir);
        EXPECT_STREQ(out, c.dir);
        EXPECT_EQ(pathname_get_file(c.path, out), *c.file ? 1 : 0);
        EXPECT_STREQ(out, c.file);
        EXPECT_EQ(pathname_get_simple(c.path, out), *c.simple ? 1 : 0);
        EXPECT_STREQ(out, c.simple);
        EXPECT_EQ(pathname_get_ext(c.path, out), c.has_ext);
        EXPECT_STREQ(out, c.ext);

        char file[QEL_PATH_MAX], dir[QEL_PATH_MAX], ext[QEL_PATH_MAX];
        int has_dir = -1, has_ext = -1;
        pathname_get(c.path, file, dir, &has_dir, ext, &has_ext);
        EXPECT_STREQ(file, c.simple);
        EXPECT_STREQ(dir, c.dir);
        EXPECT_STREQ(ext, c.ext);
        EXPECT_EQ(has_dir, c.has_dir);
        EXPECT_EQ(has_ext, c.has_ext);
        pathname_get(c.path, file, nullptr, nullptr, nullptr, nullptr);
        EXPECT_STREQ(file, c.file);
    }
}

TEST(Pathname, CheckExt)
{
    EXPECT_EQ(pathname_check_ext("parts\\Bolt.KVG", "kvg"), 1);
    EXPECT_EQ(pathname_check_ext("bolt.kvg", "kvb"), 0);
    EXPECT_EQ(pathname_check_ext("bolt.kvg", "kv"), 0);
    EXPECT_EQ(pathname_check_ext("bolt", nullptr), 1);
    EXPECT_EQ(pathname_check_ext("bolt.kvg", nullptr), 0);
    EXPECT_EQ(pathname_check_ext("dir.d/bolt", nullptr), 1);
    EXPECT_EQ(pathname_check_ext(nullptr, nullptr), 0);
    EXPECT_EQ(pathname_check_ext(nullptr, "kvg"), 0);
}

TEST(Pathname, Set)
{
    struct Case {
        const char *path, *name, *dir, *ext, *expect;
    };
    const Case cases[] = {
        {"C:\\qel\\qel_stl.dll", nullptr, nullptr, "", "C:\\qel\\qel_stl"},
        {"C:\\qel\\qel_stl.dll", nullptr, "/opt/kiv/lib", "so", "/opt/kiv/lib/qel_stl.so"},
        {"parts\\bolt.kvg", "nut", nullptr, nullptr, "parts\\nut.kvg"},
        {"bolt.kvg", nullptr, "", nullptr, "./bolt.kvg"},
        {"bolt.kvg", nullptr, "out/", "kvb", "out/bolt.kvb"},
        {"/bolt.kvg", nullptr, nullptr, "kvb", "/bolt.kvb"}, // the root stays the root
        {nullptr, "x", nullptr, "txt", "x.txt"},
        {nullptr, nullptr, nullptr, nullptr, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(str(c.path));
        char out[QEL_PATH_MAX];
        EXPECT_EQ(pathname_set(out, c.path, c.name, c.dir, c.ext), out);
        EXPECT_STREQ(out, c.expect);
    }
}

TEST(Pathname, Join)
{
    struct Case {
        const char *path, *dir, *ext, *expect;
    };
    const Case cases[] = {
        {"bolt.kvg", "/home/u/asm", nullptr, "/home/u/asm/bolt.kvg"},
        {"parts\\bolt.kvg", "/home/u/asm", nullptr, "/home/u/asm/parts/bolt.kvg"},
        {"parts\\bolt.kvg", "C:\\asm", nullptr, "C:\\asm\\parts\\bolt.kvg"},
        {"C:\\models\\bolt.kvg", "/home/u", nullptr, "C:/models/bolt.kvg"},
        {"C:\\models\\bolt.kvg", nullptr, nullptr, "C:\\models\\bolt.kvg"},
        {"/abs/bolt.kvg", "/home/u", nullptr, "/abs/bolt.kvg"},
        {"/bolt.kvg", "/home/u", nullptr, "/bolt.kvg"},
        {"bolt", "dir", "kvg", "dir/bolt.kvg"},
        {"bolt.kvb", "dir", "kvg", "dir/bolt.kvb"},
        {"qel_*.so", "/usr/lib/kiv/", nullptr, "/usr/lib/kiv/qel_*.so"},
        {"bolt.kvg", nullptr, nullptr, "bolt.kvg"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(str(c.path));
        char out[QEL_PATH_MAX];
        EXPECT_EQ(pathname_join(out, c.path, c.dir, c.ext), out);
        EXPECT_STREQ(out, c.expect);
    }
}

TEST(Pathname, AddExt)
{
    char out[QEL_PATH_MAX];
    EXPECT_STREQ(pathname_add_ext(out, "a/b", "kvg"), "a/b.kvg");
    EXPECT_STREQ(pathname_add_ext(out, "a/b.kvg", "kvb"), "a/b.kvg.kvb");
    EXPECT_STREQ(pathname_add_ext(out, "a/b", nullptr), "a/b");
    EXPECT_STREQ(pathname_add_ext(out, nullptr, "kvg"), "");
}

TEST(Pathname, DiffDir)
{
    struct Case {
        const char *a, *b, *common, *rest_a, *rest_b;
    };
    const Case cases[] = {
        {"C:\\asm\\parts\\a.kvg", "c:\\ASM\\nuts\\b.kvg", "C:\\asm", "parts\\a.kvg", "nuts\\b.kvg"},
        {"/home/u/asm", "/home/u/asm/parts/b.kvg", "/home/u/asm", "", "parts/b.kvg"},
        {"/home/u/asm/x.kvg", "/home/u/asm", "/home/u/asm", "x.kvg", ""},
        {"/home/u/asm", "/home/u/asm", "/home/u/asm", "", ""},
        {"a\\b/c.kvg", "a/b\\d.kvg", "a\\b", "c.kvg", "d.kvg"},
        {"one.kvg", "two.kvg", "", "one.kvg", "two.kvg"},
        {"/x/a", "/y/b", "", "x/a", "y/b"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.a) + " | " + c.b);
        char common[QEL_PATH_MAX];
        const char *ra = nullptr, *rb = nullptr;
        EXPECT_EQ(pathname_diff_dir(c.a, c.b, common, &ra, &rb), static_cast<int>(std::strlen(c.common)));
        EXPECT_STREQ(common, c.common);
        EXPECT_STREQ(ra, c.rest_a);
        EXPECT_STREQ(rb, c.rest_b);
    }
    char common[QEL_PATH_MAX] = "x";
    const char *ra = "?";
    EXPECT_EQ(pathname_diff_dir(nullptr, "a/b", common, &ra, nullptr), 0);
    EXPECT_STREQ(common, "");
    EXPECT_EQ(ra, nullptr);
}

TEST(Pathname, OverlongResultsComeBackEmptyInsideTheBuffer)
{
    const std::string dir(300, 'd');
    const std::string name(300, 'n');
    const std::string path = dir + "/" + name + ".kvg";
    const std::string near = std::string(QEL_PATH_MAX - 5, 'x'); // fits alone, not with more
    PathBuf b;
    EXPECT_EQ(pathname_get_dir(path.c_str(), b.text), 1);
    EXPECT_STREQ(b.text, "");
    EXPECT_EQ(pathname_get_file(path.c_str(), b.text), 1);
    EXPECT_STREQ(b.text, "");
    EXPECT_EQ(pathname_get_simple(path.c_str(), b.text), 1);
    EXPECT_STREQ(b.text, "");
    EXPECT_EQ(pathname_get_ext(path.c_str(), b.text), 1);
    EXPECT_STREQ(b.text, "kvg");
    EXPECT_STREQ(pathname_set(b.text, path.c_str(), nullptr, nullptr, "kvb"), "");
    EXPECT_STREQ(pathname_join(b.text, near.c_str(), "/home", "kvg"), "");
    EXPECT_STREQ(pathname_add_ext(b.text, near.c_str(), "kvgz"), "");
    EXPECT_STREQ(pathname_add_ext(b.text, near.c_str(), "kvg"), (near + ".kvg").c_str()); // 259 bytes fit
    EXPECT_EQ(pathname_diff_dir(path.c_str(), path.c_str(), b.text, nullptr, nullptr), static_cast<int>(path.size()));
    EXPECT_STREQ(b.text, "");
    char file[QEL_PATH_MAX], ext[QEL_PATH_MAX];
    pathname_get(path.c_str(), file, b.text, nullptr, ext, nullptr);
    EXPECT_STREQ(b.text, "");
    EXPECT_TRUE(b.intact());
}
