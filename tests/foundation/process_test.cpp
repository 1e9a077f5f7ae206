#include <kivctrl/kivctrl.h>
#include <kivctrl/qel_process.h>

#include <gtest/gtest.h>

#include <sys/statvfs.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path make_temp_dir(const char *tag)
{
    std::string tmpl = std::string("/tmp/kiv_") + tag + "_XXXXXX";
    EXPECT_NE(::mkdtemp(tmpl.data()), nullptr);
    return tmpl;
}

void write_script(const fs::path &file, const std::string &body)
{
    std::ofstream(file) << "#!/bin/sh\n" << body;
    fs::permissions(file, fs::perms::owner_all);
}

std::string read_file(const fs::path &file)
{
    std::ifstream in(file);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Waits for a process started without waiting to leave its record (bounded, not a timing test).
std::string await_file(const fs::path &file)
{
    for (int i = 0; i < 1000 && !fs::exists(file); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return read_file(file);
}

} // namespace

// A stand-in xdg-open on PATH records its arguments, so no desktop is needed.
class Launch : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = make_temp_dir("launch");
        log = dir / "opened.log";
        // Written to a side file and renamed, so a reader never sees half a record.
        write_script(dir / "xdg-open", "sleep 0.2\nprintf '%s\\n' \"$@\" > \"" + log.string() +
                                           ".part\"\nmv \"" + log.string() + ".part\" \"" +
                                           log.string() + "\"\n");
        const char *path = std::getenv("PATH");
        saved_path = path ? path : "";
        ::setenv("PATH", (dir.string() + ":" + saved_path).c_str(), 1);
    }
    void TearDown() override
    {
        ::setenv("PATH", saved_path.c_str(), 1);
        fs::remove_all(dir);
    }
    fs::path dir, log;
    std::string saved_path;
};

TEST_F(Launch, BrowseAndWaitReturnsAfterTheOpenerEnds)
{
    EXPECT_EQ(qel_browseURL_and_wait("http://127.0.0.1/a b?x=1&y=2"), 1);
    EXPECT_EQ(read_file(log), "http://127.0.0.1/a b?x=1&y=2\n"); // present as soon as it returns
    fs::remove(log);
    const unsigned short wide[] = {'h', 't', 't', 'p', ':', '/', '/', 'h', '/', 0xE9, 0x4E2D, 0};
    EXPECT_EQ(qel_browseURL_and_wait(wide), 1);
    EXPECT_EQ(read_file(log), "http://h/\xc3\xa9\xe4\xb8\xad\n");
}

TEST_F(Launch, BrowseWithoutWaiting)
{
    EXPECT_EQ(qel_browseURL("ftp://127.0.0.1/file.kvg"), 1);
    EXPECT_EQ(await_file(log), "ftp://127.0.0.1/file.kvg\n");
}

TEST_F(Launch, DocumentsAreResolvedAndProgramsGetTheirParameters)
{
    fs::create_directories(dir / "Docs");
    std::ofstream(dir / "Docs" / "Manual.TXT") << "x";
    const std::string windows_name = dir.string() + "\\docs\\manual.txt";
    EXPECT_EQ(qel_launchApp(windows_name.c_str(), nullptr), 1);
    EXPECT_EQ(await_file(log), (dir / "Docs" / "Manual.TXT").string() + "\n");

    const fs::path args = dir / "args.log";
    write_script(dir / "tool.sh", "printf '%s\\n' \"$@\" > \"" + args.string() + ".part\"\nmv \"" +
                                      args.string() + ".part\" \"" + args.string() + "\"\n");
    EXPECT_EQ(qel_launchApp((dir / "tool.sh").c_str(), "one \"two words\"  three"), 1);
    EXPECT_EQ(await_file(args), "one\ntwo words\nthree\n");

    fs::remove(args);
    fs::rename(dir / "tool.sh", dir / "kivtool"); // a program found on PATH by its name
    EXPECT_EQ(qel_launchApp("kivtool", "--flag"), 1);
    EXPECT_EQ(await_file(args), "--flag\n");
}

TEST_F(Launch, NothingStartedWithoutAnOpener)
{
    const fs::path empty = dir / "empty";
    fs::create_directories(empty);
    ::setenv("PATH", empty.c_str(), 1);
    EXPECT_EQ(qel_browseURL_and_wait("http://127.0.0.1/"), 0);
    EXPECT_EQ(qel_launchApp("notes.txt", nullptr), 0);
    EXPECT_EQ(qel_launchApp(static_cast<const char *>(nullptr), nullptr), 0);
    EXPECT_EQ(qel_browseURL(static_cast<const unsigned short *>(nullptr)), 0);
}

TEST(ModuleDirectory, ExecutableAndEngineLibrary)
{
    char out[4096];
    EXPECT_EQ(qel_getlaunchd(out, sizeof out), out);
    EXPECT_EQ(fs::path(out), fs::canonical("/proc/self/exe").parent_path());
    char via_null[4096];
    qel_getlaunchd(nullptr, via_null, sizeof via_null);
    EXPECT_STREQ(via_null, out);

    qel_getlaunchd(reinterpret_cast<void *>(static_cast<int (*)(const char *)>(&qel_strlen)), out,
                   sizeof out);
    EXPECT_TRUE(fs::exists(fs::path(out) / "libkivctrl.so")) << out;

    char small[4] = "xyz";
    qel_getlaunchd(small, sizeof small);
    EXPECT_STREQ(small, ""); // too long for the buffer: empty, never cut
}

TEST(StringResources, TableAndFallback)
{
    void *engine = reinterpret_cast<void *>(static_cast<int (*)(const char *)>(&qel_strlen));
    static int outside_the_engine;
    struct Case {
        void *module;
        unsigned id;
        const char *fallback;
        int size;
        const char *text;
    };
    const Case cases[] = {
        {nullptr, 100, "?", 64, "kivctrl"},
        {nullptr, 40002, "?", 64, "JPEG"},
        {engine, 40006, "?", 64, "Rich Text Format"},
        {engine, 40001, "?", 64, "CompuServe Graphics Interchange Format"},
        {nullptr, 40007, "Fallback", 64, "Fallback"},
        {&outside_the_engine, 40002, "Theirs", 64, "Theirs"},
        {nullptr, 40004, "?", 6, "Truev"},
        {nullptr, 99, nullptr, 64, ""},
        {nullptr, 99, "\xc3\xa9t\xc3\xa9", 5, "\xc3\xa9t"}, // cut before a split character
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id);
        char out[64] = "junk";
        EXPECT_EQ(qel_get_rcstring(c.module, c.id, out, c.fallback, c.size),
                  static_cast<int>(std::strlen(c.text)));
        EXPECT_STREQ(out, c.text);
    }
    EXPECT_EQ(qel_get_rcstring(nullptr, 100, nullptr, "x", 10), 0);
}

class Directory : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = make_temp_dir("dir");
        for (const char *name : {"b.KVG", "A.kvg", "c.txt", "qel_one.so", "QEL_two.SO", "noext"})
            std::ofstream(dir / name) << "x";
        fs::create_directories(dir / "Sub");
        std::ofstream(dir / "Sub" / "Part.kvg") << "x";
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::vector<std::string> list(const std::string &where, const char *pattern)
    {
        std::vector<std::string> names;
        QEL_DIRECTORY *d = pattern ? qel_diropen(where.c_str(), pattern) : qel_diropen(where.c_str());
        if (!d)
            return {"(null)"};
        while (const char *n = qel_dirnext(d))
            names.emplace_back(n);
        EXPECT_EQ(qel_dirnext(d), nullptr);
        qel_dirclose(d);
        return names;
    }
    fs::path dir;
};

TEST_F(Directory, PatternsIgnoreCaseAndNamesSortCaseInsensitively)
{
    using V = std::vector<std::string>;
    const std::string d = dir.string();
    EXPECT_EQ(list(d, "*.kvg"), (V{"A.kvg", "b.KVG"}));
    EXPECT_EQ(list(d, "qel_*.so"), (V{"qel_one.so", "QEL_two.SO"}));
    EXPECT_EQ(list(d, nullptr), (V{".", "..", "A.kvg", "b.KVG", "c.txt", "noext", "qel_one.so", "QEL_two.SO", "Sub"}));
    EXPECT_EQ(list(d, "?.txt"), (V{"c.txt"}));
    EXPECT_EQ(list(d, "sub\\*.KVG"), (V{"Part.kvg"}));      // pattern with its own directory
    EXPECT_EQ(list(d + "\\SUB", "*.kvg"), (V{"Part.kvg"})); // Windows-style directory
    EXPECT_EQ(list(d, "*.bmp"), (V{"(null)"}));
    EXPECT_EQ(list(d + "/missing", "*.*"), (V{"(null)"}));
    EXPECT_EQ(qel_dirnext(nullptr), nullptr);
    qel_dirclose(nullptr);
}

TEST(SystemIds, GuidFormatAndUniqueness)
{
    const std::regex form("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
    std::set<std::string> seen;
    for (int i = 0; i < 100; ++i) {
        char *g = qel_getguid();
        ASSERT_NE(g, nullptr);
        EXPECT_TRUE(std::regex_match(g, form)) << g;
        seen.insert(g);
        std::free(g);
    }
    EXPECT_EQ(seen.size(), 100u);
}

TEST(SystemIds, DiskIdIsTheRootFileSystemId)
{
    struct statvfs st {};
    ASSERT_EQ(::statvfs("/", &st), 0);
    const unsigned long long fsid = st.f_fsid;
    EXPECT_EQ(qel_getdiskid(), static_cast<unsigned>(fsid ^ (fsid >> 32)));
    EXPECT_EQ(qel_msleep(1), 0);
    EXPECT_EQ(qel_sleep(0), 0);
}
