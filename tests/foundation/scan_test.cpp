#include <kivctrl/kivctrl.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

TEST(Scan, Float)
{
    struct Case {
        const char *s;
        int used; // characters consumed, -1 when no number
        float v;
    };
    const Case cases[] = {
        {"1.5", 3, 1.5f},       {"  -2.25e1 rest", 9, -22.5f}, {"+.5", 3, 0.5f},
        {"7", 1, 7.0f},         {"1e", 1, 1.0f},               {"abc", -1, 0},
        {"", -1, 0},            {"-", -1, 0},                  {"+-1", -1, 0},
        {"3.,", 2, 3.0f},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.s);
        float v = 99.0f;
        const char *end = scan_float(c.s, &v);
        if (c.used < 0) {
            EXPECT_EQ(end, nullptr);
            EXPECT_EQ(v, 99.0f);
        } else {
            EXPECT_EQ(end, c.s + c.used);
            EXPECT_FLOAT_EQ(v, c.v);
        }
    }
    float v = 0;
    EXPECT_NE(scan_float("1e300", &v), nullptr);
    EXPECT_TRUE(std::isinf(v));
    EXPECT_NE(scan_float("-1e999", &v), nullptr);
    EXPECT_TRUE(std::isinf(v) && v < 0);
    EXPECT_NE(scan_float("1e-999", &v), nullptr);
    EXPECT_EQ(v, 0.0f);
    EXPECT_EQ(scan_float(static_cast<const char *>(nullptr), &v), nullptr);
}

TEST(Scan, FloatIgnoresTheNumericLocale)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    float v = 0;
    const char *s = "2.5";
    EXPECT_EQ(scan_float(s, &v), s + 3);
    EXPECT_FLOAT_EQ(v, 2.5f);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(Scan, Int)
{
    int v = 7;
    const char *s = " -42x";
    EXPECT_EQ(scan_int(s, &v), s + 4);
    EXPECT_EQ(v, -42);
    v = 7;
    EXPECT_EQ(scan_int("x1", &v), nullptr);
    EXPECT_EQ(v, 7);
    EXPECT_NE(scan_int("99999999999", &v), nullptr);
    EXPECT_EQ(v, 2147483647);
    EXPECT_NE(scan_int("-99999999999", &v), nullptr);
    EXPECT_EQ(v, -2147483647 - 1);
    char text[] = "12 13";
    char *end = scan_int(text, &v);
    EXPECT_EQ(end, text + 2);
}

TEST(Scan, Delimiter)
{
    char found = '?';
    const char *s = "  ) x";
    EXPECT_EQ(scan_delimiter(s, "()", &found), s + 3);
    EXPECT_EQ(found, ')');
    found = '?';
    EXPECT_EQ(scan_delimiter(s + 3, "()", &found), s + 4);
    EXPECT_EQ(found, '?');
    const char *empty = "   ";
    EXPECT_EQ(scan_delimiter(empty, "()", &found), empty + 3); // the terminator is no delimiter
    EXPECT_EQ(found, '?');
    EXPECT_EQ(scan_delimiter(static_cast<const char *>(nullptr), "()", &found), nullptr);
}

TEST(Scan, ThreeFloats)
{
    struct Case {
        const char *s;
        bool ok;
    };
    const Case cases[] = {
        {"1 2 3", true}, {"1,2,3", true}, {" 1 , 2,\t3 ", true}, {"1 2", false}, {"1,,2,3", false}, {"", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.s);
        float x = -1, y = -1, z = -1;
        const char *end = scan_3floats(c.s, &x, &y, &z);
        EXPECT_EQ(end != nullptr, c.ok);
        if (c.ok) {
            EXPECT_EQ(x, 1.0f);
            EXPECT_EQ(y, 2.0f);
            EXPECT_EQ(z, 3.0f);
            EXPECT_EQ(*end == 0 || *end == ' ', true);
        } else {
            EXPECT_EQ(x, -1.0f); // nothing stored when a number is missing
        }
    }
}
