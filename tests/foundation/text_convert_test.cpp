#include <kivctrl/kivctrl.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<unsigned short> to_wide(const std::string &s)
{
    std::vector<unsigned short> w(s.size() + 1, 0xAAAA);
    qel_wide(w.data(), s.c_str());
    w.resize(static_cast<std::size_t>(qel_strlen(w.data())));
    return w;
}

std::string to_narrow(std::vector<unsigned short> w)
{
    w.push_back(0);
    std::string n(3 * w.size() + 1, '\x7f');
    qel_narrow(n.data(), w.data());
    n.resize(std::strlen(n.c_str()));
    return n;
}

} // namespace

TEST(TextConvert, ValidTextRoundTripsIncludingSurrogatePairs)
{
    struct Case {
        const char *utf8;
        std::vector<unsigned short> utf16;
    };
    const Case cases[] = {
        {"", {}},
        {"plain", {'p', 'l', 'a', 'i', 'n'}},
        {"caf\xc3\xa9", {'c', 'a', 'f', 0xE9}},
        {"\xe2\x82\xac", {0x20AC}},
        {"\xef\xbf\xbf", {0xFFFF}},
        {"\xf0\x9f\x98\x80!", {0xD83D, 0xDE00, '!'}},  // U+1F600
        {"\xf4\x8f\xbf\xbf", {0xDBFF, 0xDFFF}},        // U+10FFFF
        {"\xf0\x90\x80\x80", {0xD800, 0xDC00}},        // U+10000
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(to_wide(c.utf8), c.utf16);
        EXPECT_EQ(to_narrow(c.utf16), c.utf8);
    }
}

TEST(TextConvert, DoesNotDependOnTheProcessLocale)
{
    const char *old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(to_wide("\xc3\xa9"), std::vector<unsigned short>{0xE9});
    EXPECT_EQ(to_narrow({0x4E2D}), "\xe4\xb8\xad");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(TextConvert, IllFormedInputBecomesReplacementCharacters)
{
    constexpr unsigned short R = 0xFFFD;
    struct Case {
        const char *utf8;
        std::vector<unsigned short> utf16;
    };
    const Case cases[] = {
        {"a\x80z", {'a', R, 'z'}},                  // lone continuation byte
        {"\xc3", {R}},                              // truncated at the end
        {"\xc3(", {R, '('}},                        // truncated before ASCII
        {"\xc0\xaf", {R, R}},                       // overlong '/'
        {"\xe0\x80\xaf", {R, R, R}},                // overlong three-byte form
        {"\xed\xa0\x80", {R, R, R}},                // encoded surrogate
        {"\xf4\x90\x80\x80", {R, R, R, R}},         // above U+10FFFF
        {"\xf0\x9f\x98", {R}},                      // truncated four-byte form: one maximal subpart
        {"\xff\xfe", {R, R}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(to_wide(c.utf8), c.utf16);
    }
}

TEST(TextConvert, LoneSurrogatesNarrowToReplacementCharacters)
{
    EXPECT_EQ(to_narrow({'a', 0xD800, 'b'}), "a\xef\xbf\xbd" "b");
    EXPECT_EQ(to_narrow({0xDC00}), "\xef\xbf\xbd");
    EXPECT_EQ(to_narrow({0xDBFF}), "\xef\xbf\xbd"); // high surrogate at the end
}

TEST(TextConvert, NullsAndCopies)
{
    unsigned short w[4] = {'x', 'y', 0, 0};
    qel_wide(w, static_cast<const char *>(nullptr));
    EXPECT_EQ(w[0], 0);
    EXPECT_EQ(qel_wide(static_cast<unsigned short *>(nullptr), "a"), nullptr);
    const unsigned short src[] = {0x4E2D, 'q', 0};
    qel_wide(w, src);
    EXPECT_EQ(qel_strcmp(w, src), 0);

    char n[8] = "x";
    qel_narrow(n, static_cast<const unsigned short *>(nullptr));
    EXPECT_STREQ(n, "");
    qel_narrow(n, "copy");
    EXPECT_STREQ(n, "copy");
    qel_default_char(n, src);
    EXPECT_STREQ(n, "\xe4\xb8\xadq");
    qel_default_char(n, "ab");
    EXPECT_STREQ(n, "ab");
    EXPECT_EQ(qel_narrow(static_cast<unsigned short *>(nullptr)), nullptr);
}

TEST(TextConvert, InPlaceNarrowingStaysInsideTheWideStorage)
{
    // Four CJK characters need 12 bytes of UTF-8, the wide storage has 10: the last
    // character that does not fit is dropped whole.
    unsigned short four[] = {0x4E2D, 0x6587, 0x5B57, 0x7B26, 0, 0xBEEF};
    char *n = qel_narrow(four);
    EXPECT_EQ(static_cast<void *>(n), static_cast<void *>(four));
    EXPECT_STREQ(n, "\xe4\xb8\xad\xe6\x96\x87\xe5\xad\x97");
    EXPECT_EQ(four[5], 0xBEEF);

    unsigned short mixed[] = {'a', 0xD83D, 0xDE00, 'b', 0};
    EXPECT_STREQ(qel_narrow(mixed), "a\xf0\x9f\x98\x80" "b");
}
