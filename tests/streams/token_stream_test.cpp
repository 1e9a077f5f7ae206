#include <kivctrl/qel_localfile.h>
#include <kivctrl/qel_token_stream.h>

#include "streams/stream_fixtures.h"

#include <memory>
#include <string>
#include <vector>

using streams_test::mem_reader;
using streams_test::read_file;
using streams_test::ScratchDir;

namespace {

using Reader = std::unique_ptr<QelFileReader>;
using Writer = std::unique_ptr<QelFileWriter>;

std::string all_bytes()
{
    std::string s;
    for (int i = 1; i < 256; ++i)
        s += static_cast<char>(i);
    return s;
}

TEST(TokenStreams, RoundTripThroughARealFile)
{
    const std::vector<std::string> texts = {
        "plain", "parts\\bolt.kvg", "C:/dir/a_b-c.kvg", "", "two words", "say \"hi\"", "^caret^",
        "tab\tnew\nline\r", std::string("nul\0in", 6), "\x7f\x80\xff", all_bytes(), " padded ",
    };
    ScratchDir dir;
    std::string path = dir.file("tokens.txt");
    {
        Writer w(QelCreateWriterInstance(path.c_str(), 0));
        for (const std::string &t : texts) {
            EXPECT_GT(qel_writestring(w.get(), t.data(), static_cast<int>(t.size())), 0);
            qel_writechar(w.get(), ' ');
        }
        qel_writeliteral(w.get(), ";", 0);
    }
    Reader r(QelCreateReaderInstance(path.c_str(), 0));
    for (const std::string &t : texts) {
        char out[1024];
        int n = qel_readstring(r.get(), " ;", out, sizeof out);
        SCOPED_TRACE(t);
        // A text with a zero byte reads back up to it in C-string form but keeps its length.
        ASSERT_EQ(n, static_cast<int>(t.size()) + 1);
        EXPECT_EQ(std::string(out, n - 1), t);
    }
    char *which = nullptr;
    EXPECT_EQ(qel_readdelim(r.get(), ",;", &which), 1);
    EXPECT_EQ(*which, ';');
}

TEST(TokenStreams, WriteFormsAndCounts)
{
    ScratchDir dir;
    std::string path = dir.file("forms.txt");
    {
        Writer w(QelCreateWriterInstance(path.c_str(), 0));
        EXPECT_EQ(qel_writestring(w.get(), "bare/name.kvg", 0), 13);
        EXPECT_EQ(qel_writestring(w.get(), "", 0), 2);
        EXPECT_EQ(qel_writestring(w.get(), "a\"b", 0), 6);
        EXPECT_EQ(qel_writestring(w.get(), "\x01\t", 0), 8);
        EXPECT_EQ(qel_writestring(w.get(), "abcdef", 3), 3);
        EXPECT_EQ(qel_writeint(w.get(), -42), 3);
        EXPECT_EQ(qel_writechar(w.get(), ' '), 1);
        EXPECT_EQ(qel_writereal(w.get(), 3.14159265), 7);
        EXPECT_EQ(qel_writechar(w.get(), ' '), 1);
        EXPECT_EQ(qel_writereal(w.get(), 0.5f), 3);
        EXPECT_EQ(qel_writeliteral(w.get(), "xyz", 2), 2);
    }
    EXPECT_EQ(read_file(path), "bare/name.kvg\"\"\"a^\"b\"\"^001^t\"abc-42 3.14159 0.5xy");
}

TEST(TokenStreams, ReadEscapesAndBareTokens)
{
    const struct {
        const char *input;
        const char *delims;
        std::string token;
        int next;
    } cases[] = {
        {"\"a^x41z\"", "", "aAz", -1},            // hex escape ends at a non-hex character
        {"\"^1017\"", "", "A7", -1},              // octal escape takes at most three digits
        {"\"^q^T^\"^^\"x", "", "q\t\"^", 'x'},
        {"\"open", "", "open", -1},               // unterminated: up to the end
        {"\"^", "", "^", -1},
        {"  \n bare word  )", ")", "bare word", ')'},
        {"name,rest", ",", "name", ','},
        {"", ",", "", -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input);
        auto r = mem_reader(c.input);
        char out[64];
        EXPECT_EQ(qel_readstring(r.get(), c.delims, out, sizeof out), static_cast<int>(c.token.size()) + 1);
        EXPECT_EQ(std::string(out), c.token);
        EXPECT_EQ(r->readch(), c.next);
    }
}

TEST(TokenStreams, TooLongTokensComeBackEmptyWithTheirCount)
{
    auto r = mem_reader("abcdefgh next");
    char out[4] = "zzz";
    EXPECT_EQ(qel_readstring(r.get(), " ", out, sizeof out), 9);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(qel_readstring(r.get(), " ", nullptr, 0), 5); // skipped
    EXPECT_EQ(r->readch(), -1);
}

TEST(TokenStreams, WhitespaceDelimitersAndCharacters)
{
    auto r = mem_reader(" \t\n(x");
    char space[8];
    EXPECT_EQ(qel_readwhitespace(r.get(), space, sizeof space), 4);
    EXPECT_STREQ(space, " \t\n");
    char *which = nullptr;
    EXPECT_EQ(qel_readdelim(r.get(), ")", &which), 0);
    EXPECT_EQ(qel_readdelim(r.get(), "()", &which), 1);
    EXPECT_EQ(*which, '(');
    char c = 0;
    EXPECT_EQ(qel_readchar(r.get(), c), 1);
    EXPECT_EQ(c, 'x');
    EXPECT_EQ(qel_readchar(r.get(), c), 0);
    EXPECT_EQ(qel_readdelim(r.get(), "x", &which), 0);
    EXPECT_EQ(qel_readwhitespace(r.get(), nullptr, 0), 1);
}

} // namespace
