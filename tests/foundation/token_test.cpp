#include <kivctrl/kivctrl.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string quote(const std::string &s)
{
    char out[256];
    const int n = qel_quotestring(out, sizeof out, s.data(), static_cast<int>(s.size()));
    EXPECT_EQ(n, static_cast<int>(std::string(out).size()) + 1);
    return out;
}

struct Read {
    std::string token;
    const char *rest;
    int count;
};

Read unquote(const char *s, const char *delims = "()")
{
    char out[256] = "junk";
    const char *rest = "unset";
    const int n = qel_unquotestring(out, sizeof out, &rest, delims, s, 0);
    return {std::string(out, static_cast<std::size_t>(n > 0 ? n - 1 : 0)), rest, n};
}

} // namespace

TEST(Token, Quoting)
{
    struct Case {
        std::string text, token;
    };
    const Case cases[] = {
        {"bolt", "bolt"},
        {"C:\\asm/parts.kvg_-:", "C:\\asm/parts.kvg_-:"},
        {"", "\"\""},
        {"two words", "\"two words\""},
        {"say \"hi\"", "\"say ^\"hi^\"\""},
        {"up^", "\"up^^\""},
        {"\a\b\t\n\v\f\r", "\"^a^b^t^n^v^f^r\""},
        {std::string("\x01\x1f\x7f", 3), "\"^001^037^177\""},
        {std::string("nul\0in", 6), "\"nul^000in\""},
        {"caf\xc3\xa9", "\"caf^303^251\""}, // bytes above 127 are escaped
        {"(x)", "\"(x)\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(quote(c.text), c.token);
        // Every token reads back as the text it came from.
        const Read r = unquote(c.token.c_str());
        EXPECT_EQ(r.token, c.text);
        EXPECT_EQ(r.rest, nullptr);
    }
}

TEST(Token, QuoteCountsWhatDoesNotFit)
{
    char out[6] = "xxxxx";
    EXPECT_EQ(qel_quotestring(out, 6, "a b c", 0), 8);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(qel_quotestring(out, 6, "abcde", 0), 6); // exactly fits with its terminator
    EXPECT_STREQ(out, "abcde");
    EXPECT_EQ(qel_quotestring(out, 6, "abcdef", 0), 7);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(qel_quotestring(nullptr, 0, "a b", 0), 6);
    EXPECT_EQ(qel_quotestring(out, 6, "abc", 2), 3);
    EXPECT_STREQ(out, "ab");
    EXPECT_EQ(qel_quotestring(out, 6, nullptr, 0), 3);
    EXPECT_STREQ(out, "\"\"");
}

TEST(Token, EscapesOnReading)
{
    struct Case {
        const char *token;
        std::string text;
    };
    const Case cases[] = {
        {"\"a^x41z\"", "aAz"},                       // hex stops at a non-hex digit
        {"\"a^x41b\"", "a\xd0\x9b"},                 // three hex digits: U+041B, as UTF-8
        {"\"^x00411\"", "A1"},                    // four digits at most: 0x0041 then "1"
        {"\"^x4142\"", "\xe4\x85\x82"},              // 0x4142, never a fifth digit
        {"\"^X7e\"", "~"},
        {"\"^xg\"", std::string("\0g", 2)},          // no digits give 0
        {"\"^1017\"", "A7"},                         // octal takes three digits at most
        {"\"^7x\"", "\ax"},
        {"\"^A^B^F^N^R^T^V\"", "\a\b\f\n\r\t\v"},
        {"\"^q^\"^^\"", "q\"^"},
        {"\"tail^", "tail^"},                        // caret at the end, no closing quote
        {"\"unterminated", "unterminated"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.token);
        EXPECT_EQ(unquote(c.token).token, c.text);
    }
}

TEST(Token, BareTokensStopAtDelimitersAndLeaveTrailingSpace)
{
    const char *s = "  (name  value )";
    Read r = unquote(s);
    EXPECT_EQ(r.token, "");
    EXPECT_EQ(r.rest, s + 2); // the delimiter is not consumed
    r = unquote(s + 3);
    EXPECT_EQ(r.token, "name  value");
    EXPECT_EQ(r.rest, s + 14); // trailing whitespace stays unconsumed
    EXPECT_EQ(r.count, 12);
    r = unquote(" \"a b\" rest");
    EXPECT_EQ(r.token, "a b");
    EXPECT_STREQ(r.rest, " rest");
    r = unquote("   ");
    EXPECT_EQ(r.token, "");
    EXPECT_EQ(r.rest, nullptr);
    r = unquote("word  ", nullptr);
    EXPECT_EQ(r.token, "word");
    EXPECT_STREQ(r.rest, "  ");
    r = unquote(nullptr);
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.rest, nullptr);
}

TEST(Token, UnquoteHonoursLengthAndBufferSize)
{
    const char *s = "\"abc def\" more";
    char out[4] = "xyz";
    const char *rest = nullptr;
    EXPECT_EQ(qel_unquotestring(out, sizeof out, &rest, nullptr, s, 0), 8);
    EXPECT_STREQ(out, ""); // too long for the buffer: empty, with the full count
    EXPECT_EQ(rest, s + 9);
    EXPECT_EQ(qel_unquotestring(out, sizeof out, &rest, nullptr, s, 4), 4); // the quote is never closed
    EXPECT_STREQ(out, "abc");
    EXPECT_EQ(rest, nullptr);
    EXPECT_EQ(qel_unquotestring(nullptr, 0, nullptr, nullptr, s, 0), 8);
}
