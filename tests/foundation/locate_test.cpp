#include <kivctrl/qel_locate.h>
#include <kivctrl/qel_msg.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Request {
    short code;
    std::string sought;
    std::string context;  // "(null)" for a null context
    std::intptr_t answer_size;
    bool answer_empty;
    bool reserved_zero;
};

// Answers locate requests with the next text of a script ("" gives up) and records them.
class Listener : public MsgHandlerImp {
public:
    explicit Listener(std::vector<std::string> answers) : answers_(std::move(answers))
    {
        msg_handler_register(this);
    }
    ~Listener() override { msg_handler_unregister(this); }
    const char *name() override { return "locate listener"; }
    int handle(short code, void *data, std::intptr_t) override
    {
        if (code < MSG_LOCATE_PART || code > MSG_LOCATE_NOTE)
            return 0;
        auto *r = static_cast<QEL_LOCATE_REQUEST *>(data);
        requests.push_back({code, r->sought, r->context ? r->context : "(null)", r->answer_size,
                            r->answer[0] == '\0',
                            r->reserved1 == 0 && r->reserved2 == 0 && r->reserved3 == 0});
        if (fill_to_brim) {
            std::memset(r->answer, 'x', r->answer_size);
            return 0;
        }
        const std::string a = next_ < answers_.size() ? answers_[next_++] : "";
        std::strncpy(r->answer, a.c_str(), r->answer_size - 1);
        return 0;
    }
    std::vector<Request> requests;
    bool fill_to_brim = false;

private:
    std::vector<std::string> answers_;
    std::size_t next_ = 0;
};

class Locate : public testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::path(testing::TempDir()) / ("kiv_locate_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "found");
        fs::create_directories(root_ / "other");
        touch("found/bolt.kvg");
        touch("found/wood.bmp");
        touch("found/stone.bmp");
        for (short code : {MSG_LOCATE_PART, MSG_LOCATE_TEXTURE})
            msg_locate_set_dir(code, "");
    }
    void TearDown() override { fs::remove_all(root_); }

    void touch(const std::string &rel) { std::ofstream(root_ / rel) << "x"; }
    std::string path(const std::string &rel) const { return (root_ / rel).string(); }
    std::string dir_of(short code) const
    {
        char d[260];
        msg_locate_get_dir(code, d);
        return d;
    }

    // The try operation: the path names an existing regular file.
    std::function<bool(const char *)> exists = [this](const char *p) {
        tried.push_back(p);
        std::error_code ec;
        return fs::is_regular_file(p, ec);
    };
    std::vector<std::string> tried;
    fs::path root_;
};

void set_name(char (&buf)[260], const std::string &s)
{
    std::strncpy(buf, s.c_str(), 259);
    buf[259] = '\0';
}

}  // namespace

TEST_F(Locate, ListenerAnswerIsUsedAndItsDirectoryRemembered)
{
    Listener host({path("found/bolt.kvg")});
    char name[260];
    set_name(name, "parts\\bolt.kvg");
    ASSERT_EQ(msg_locate(name, MSG_LOCATE_PART, "Bolt-1", exists), 1);
    EXPECT_EQ(std::string(name), path("found/bolt.kvg"));
    EXPECT_EQ(dir_of(MSG_LOCATE_PART), path("found"));
    EXPECT_EQ(dir_of(MSG_LOCATE_TEXTURE), "");  // the other kind is untouched
    ASSERT_EQ(host.requests.size(), 1u);
    const Request &r = host.requests[0];
    EXPECT_EQ(r.code, 801);
    EXPECT_EQ(r.sought, "parts\\bolt.kvg");
    EXPECT_EQ(r.context, "Bolt-1");
    EXPECT_EQ(r.answer_size, 260);
    EXPECT_TRUE(r.answer_empty);
    EXPECT_TRUE(r.reserved_zero);
    static_assert(sizeof(QEL_LOCATE_REQUEST) == 7 * sizeof(void *));
}

TEST_F(Locate, UnansweredRequestIsSentOnceAndNameStays)
{
    Listener host({});
    char name[260];
    set_name(name, "missing.bmp");
    EXPECT_EQ(msg_locate(name, MSG_LOCATE_BACKDROP, nullptr, exists), 0);
    EXPECT_STREQ(name, "missing.bmp");
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].context, "(null)");
    EXPECT_EQ(dir_of(MSG_LOCATE_BACKDROP), "");
}

TEST_F(Locate, WithoutListenersTheFileIsNotFound)
{
    char name[260];
    set_name(name, "parts/bolt.kvg");
    EXPECT_EQ(msg_locate(name, MSG_LOCATE_PART, "Bolt-1", exists), 0);
    EXPECT_STREQ(name, "parts/bolt.kvg");
    EXPECT_TRUE(tried.empty());
}

TEST_F(Locate, BadAnswerIsFollowedByTheSameQuestion)
{
    Listener host({path("other/wood.bmp"), path("found/wood.bmp")});
    char name[260];
    set_name(name, "tex/wood.bmp");
    ASSERT_EQ(msg_locate(name, MSG_LOCATE_TEXTURE, "Table", exists), 1);
    EXPECT_EQ(std::string(name), path("found/wood.bmp"));
    ASSERT_EQ(host.requests.size(), 2u);
    EXPECT_EQ(host.requests[1].sought, "tex/wood.bmp");
    EXPECT_TRUE(host.requests[1].answer_empty);
    EXPECT_EQ(tried, (std::vector<std::string>{path("other/wood.bmp"), path("found/wood.bmp")}));
}

TEST_F(Locate, ListenerRepeatingABadPathCannotHangTheEngine)
{
    Listener host(std::vector<std::string>(100, path("other/none.bmp")));
    char name[260];
    set_name(name, "none.bmp");
    EXPECT_EQ(msg_locate(name, MSG_LOCATE_NOTE, "note", exists), 0);
    EXPECT_EQ(host.requests.size(), 16u);
    EXPECT_STREQ(name, "none.bmp");
}

TEST_F(Locate, LaterFilesAreFoundInTheRememberedDirectoryWithoutAsking)
{
    msg_locate_set_dir(MSG_LOCATE_NOTE, path("found").c_str());
    Listener host({});
    char name[260];
    // Step 1: a relative name placed under the directory.
    set_name(name, "stone.bmp");
    ASSERT_EQ(msg_locate(name, MSG_LOCATE_TEXTURE, "Wall", exists), 1);
    EXPECT_EQ(std::string(name), path("found/stone.bmp"));
    // Step 2: any name with its directory replaced, here an absolute one elsewhere.
    set_name(name, "/nowhere/at/all/wood.bmp");
    ASSERT_EQ(msg_locate(name, MSG_LOCATE_BACKDROP, nullptr, exists), 1);
    EXPECT_EQ(std::string(name), path("found/wood.bmp"));
    // Windows-style relative name: its directory is replaced too.
    set_name(name, "images\\wood.bmp");
    ASSERT_EQ(msg_locate(name, MSG_LOCATE_NOTE, "n", exists), 1);
    EXPECT_EQ(std::string(name), path("found/wood.bmp"));
    EXPECT_TRUE(host.requests.empty());
    // The part directory is a kind of its own: nothing there, so the listener is asked.
    set_name(name, "stone.bmp");
    EXPECT_EQ(msg_locate(name, MSG_LOCATE_ASSEMBLY, "grp", exists), 0);
    EXPECT_EQ(host.requests.size(), 1u);
}

TEST_F(Locate, OverlongNamesAndAnswersStayInsideTheirBuffers)
{
    Listener host({});
    host.fill_to_brim = true;  // 260 bytes, no terminator
    char name[260];
    set_name(name, std::string(400, 'n'));
    EXPECT_EQ(msg_locate(name, MSG_LOCATE_PART, "p", exists), 0);
    EXPECT_EQ(std::strlen(name), 259u);
    ASSERT_EQ(host.requests.size(), 16u);
    EXPECT_EQ(host.requests[0].sought.size(), 259u);
    EXPECT_EQ(tried.back(), std::string(259, 'x'));

    msg_locate_set_dir(MSG_LOCATE_PART, std::string(300, 'd').c_str());
    EXPECT_EQ(dir_of(MSG_LOCATE_PART).size(), 259u);
    msg_locate_set_dir(MSG_LOCATE_PART, "");
}

TEST_F(Locate, UnknownCodeSendsNothing)
{
    Listener host({path("found/bolt.kvg")});
    char name[260];
    set_name(name, "bolt.kvg");
    EXPECT_EQ(msg_locate(name, 803, "x", exists), 0);
    EXPECT_EQ(msg_locate(nullptr, MSG_LOCATE_PART, "x", exists), 0);
    EXPECT_TRUE(host.requests.empty());
    char out[260];
    EXPECT_EQ(msg_locate_get_dir(5, out), 0);
}
