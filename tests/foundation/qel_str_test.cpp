#include <kivctrl/kivctrl.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

const char *const null_text = nullptr;
const unsigned short *const null_wide = nullptr;

std::array<unsigned short, 16> wide(const char *ascii)
{
    std::array<unsigned short, 16> w{};
    for (int i = 0; ascii[i]; ++i)
        w[i] = static_cast<unsigned char>(ascii[i]);
    return w;
}

struct Compare {
    const char *a;
    const char *b;
    int cmp;  // sign of qel_strcmp
    int icmp; // sign of qel_stricmp
};

} // namespace

TEST(QelStr, ComparisonsOrderNullFirstAndBytesUnsigned)
{
    const Compare cases[] = {
        {nullptr, nullptr, 0, 0},
        {nullptr, "", -1, -1},
        {"", nullptr, 1, 1},
        {"abc", "abc", 0, 0},
        {"abc", "ABC", 1, 0},
        {"abc", "abd", -1, -1},
        {"ab", "abc", -1, -1},
        {"\xc3\xa9", "z", 1, 1}, // unsigned bytes: 0xC3 sorts after 'z'
        {"Zeta", "alpha", -1, 1},
    };
    for (const Compare &c : cases) {
        SCOPED_TRACE(std::string(c.a ? c.a : "(null)") + " vs " + (c.b ? c.b : "(null)"));
        EXPECT_EQ(qel_strcmp(c.a, c.b), c.cmp);
        EXPECT_EQ(qel_stricmp(c.a, c.b), c.icmp);
        auto wa = wide(c.a ? c.a : ""), wb = wide(c.b ? c.b : "");
        if (c.a && c.b && static_cast<unsigned char>(*c.a) < 0x80) {
            EXPECT_EQ(qel_strcmp(wa.data(), wb.data()), c.cmp);
            EXPECT_EQ(qel_stricmp(wa.data(), wb.data()), c.icmp);
        }
    }
    EXPECT_EQ(qel_stricmp(null_wide, null_wide), 0);
    EXPECT_EQ(qel_stricmp(null_wide, wide("a").data()), -1);
    EXPECT_EQ(qel_strnicmp("HELLO world", "hello there", 6), 0);
    EXPECT_GT(qel_strnicmp("HELLO world", "hello there", 7), 0);
    EXPECT_EQ(qel_strnicmp("a", "b", -3), 0);
}

TEST(QelStr, CopiesAndAppendsIgnoreNullsAndNegativeCounts)
{
    char buf[8] = "xyz";
    EXPECT_EQ(qel_strcpy(buf, null_text), buf);
    EXPECT_STREQ(buf, "xyz");
    EXPECT_EQ(qel_strcpy(static_cast<char *>(nullptr), "a"), nullptr);
    qel_strcat(buf, "12");
    EXPECT_STREQ(buf, "xyz12");
    qel_strncat(buf, "3456", 1);
    EXPECT_STREQ(buf, "xyz123");
    qel_strncat(buf, "9", -1);
    EXPECT_STREQ(buf, "xyz123");

    char pad[6];
    std::memset(pad, 'x', sizeof pad);
    qel_strncpy(pad, "ab", 5);
    EXPECT_EQ(std::memcmp(pad, "ab\0\0\0x", 6), 0); // zero padding, as strncpy
    qel_strncpy(pad, "12345678", 3);
    EXPECT_EQ(std::memcmp(pad, "123\0\0x", 6), 0); // no terminator when s is longer
    qel_strncpy(pad, "zz", -4);
    EXPECT_EQ(pad[0], '1');

    auto w = wide("ab");
    auto tail = wide("cd");
    qel_strcat(w.data(), tail.data());
    EXPECT_EQ(qel_strlen(w.data()), 4);
    EXPECT_EQ(qel_strchr(w.data(), 'c'), w.data() + 2);
    EXPECT_EQ(qel_strchr(w.data(), 'q'), nullptr);
    EXPECT_EQ(qel_strchr(null_wide, 'a'), nullptr);
    EXPECT_EQ(qel_strchr(null_text, 'a'), nullptr);
    const char *s = "a.b";
    EXPECT_EQ(qel_strchr(s, '.'), s + 1);
    EXPECT_EQ(qel_strchr(s, 0), s + 3);
}

TEST(QelStr, WhitespaceIsTheAsciiSetForBytes)
{
    for (int c = 0; c < 256; ++c) {
        const bool space = c == ' ' || (c >= 9 && c <= 13);
        EXPECT_EQ(qel_isspace(static_cast<char>(c)) != 0, space) << c;
    }
    EXPECT_EQ(qel_isspace(-1), 0);
    EXPECT_NE(qel_isspace(static_cast<unsigned short>(0x3000)), 0); // ideographic space
    EXPECT_EQ(qel_isspace(static_cast<unsigned short>('x')), 0);
}
