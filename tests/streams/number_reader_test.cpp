#include "streams/stream_fixtures.h"

#include <cmath>
#include <limits>
#include <string>

using streams_test::mem_reader;

namespace {

// What a reader left behind: the next character, or -1 at the end.
int next_char(QelFileReader &r)
{
    return r.readch();
}

struct IntegerCase {
    const char *text;
    bool ok;
    long value;
    int next;
};

template <class T, class Read>
void check_integers(const char *label, std::initializer_list<IntegerCase> cases, Read read)
{
    for (const IntegerCase &c : cases) {
        SCOPED_TRACE(std::string(label) + " on \"" + c.text + "\"");
        auto r = mem_reader(c.text);
        T v = static_cast<T>(99);
        EXPECT_EQ(read(*r, v), c.ok ? 0 : 1);
        EXPECT_EQ(v, c.ok ? static_cast<T>(c.value) : static_cast<T>(99));
        EXPECT_EQ(next_char(*r), c.next);
    }
}

TEST(IntegerReaders, FollowTheStateMachine)
{
    check_integers<int>("readint",
                        {
                            {" -12x", true, -12, 'x'},
                            {"+ \t\n 7 ", true, 7, ' '},
                            {"00042;", true, 42, ';'},
                            {"5", true, 5, -1},
                            {"x12", false, 0, '1'},     // the offending character is consumed
                            {"-x9", false, 0, '9'},
                            {"", false, 0, -1},
                            {"  ", false, 0, -1},
                            {"2147483648", true, -2147483648L, -1}, // wraps, no overflow check
                        },
                        [](QelFileReader &r, int &v) { return r.readint(v); });
    check_integers<short>("readshort", {{"-32768 ", true, -32768, ' '}, {"40000", true, 40000 - 65536, -1}},
                          [](QelFileReader &r, short &v) { return r.readshort(v); });
    check_integers<unsigned short>("readushort",
                                   {{"70000", true, 70000 - 65536, -1}, {"-5", false, 0, '5'}, {"+5", false, 0, '5'}},
                                   [](QelFileReader &r, unsigned short &v) { return r.readushort(v); });
    check_integers<unsigned int>("readuint", {{"4294967295,", true, 4294967295L, ','}},
                                 [](QelFileReader &r, unsigned int &v) { return r.readuint(v); });
    check_integers<long>("readlong", {{"-9223372036854775807)", true, -9223372036854775807L, ')'}},
                         [](QelFileReader &r, long &v) { return r.readlong(v); });
    check_integers<unsigned long>("readulong", {{"18446744073709551615", true, -1L, -1}},
                                  [](QelFileReader &r, unsigned long &v) { return r.readulong(v); });
}

struct RealCase {
    const char *text;
    bool ok;
    double value;
    int next;
};

TEST(RealReaders, FollowTheStateMachine)
{
    const RealCase cases[] = {
        {"1.5e2", true, 150.0, -1},
        {"12.5E+1;", true, 125.0, ';'},
        {"  +3.", true, 3.0, -1},
        {"-.5x", true, -0.5, 'x'},
        {".", true, 0.0, -1},          // a lone point reads as 0
        {"5 ", true, 5.0, ' '},
        {"1.2.3", true, 1.2, '.'},
        {"7e", false, 0, -1},
        {"1e+x", false, 0, 'x'},
        {"e5", false, 0, 'e'},         // the letter stays the next character
        {"+e", false, 0, 'e'},
        {"-", false, 0, -1},
        {"", false, 0, -1},
    };
    for (const RealCase &c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        auto rf = mem_reader(c.text);
        float f = 99;
        EXPECT_EQ(rf->readfloat(f), c.ok ? 0 : 1);
        EXPECT_FLOAT_EQ(f, c.ok ? static_cast<float>(c.value) : 99.0f);
        EXPECT_EQ(next_char(*rf), c.next);

        auto rd = mem_reader(c.text);
        double d = 99;
        EXPECT_EQ(rd->readdouble(d), c.ok ? 0 : 1);
        EXPECT_DOUBLE_EQ(d, c.ok ? c.value : 99.0);
        EXPECT_EQ(next_char(*rd), c.next);
    }
}

TEST(RealReaders, ComputeInTheTargetPrecision)
{
    // The exponent is applied one multiplication at a time: 2e-1 is 2 x 0.1, not 0.2.
    float f = 0;
    ASSERT_EQ(mem_reader("2e-1")->readfloat(f), 0);
    EXPECT_EQ(f, 2.0f * 0.1f);
    double d = 0;
    ASSERT_EQ(mem_reader("3.14159e-3")->readdouble(d), 0);
    double expected = 314159.0 / 100000.0;
    for (int i = 0; i < 3; ++i)
        expected *= 0.1;
    EXPECT_EQ(d, expected);
    ASSERT_EQ(mem_reader("-0.25")->readdouble(d), 0);
    EXPECT_EQ(d, -25.0 / 100.0);
}

TEST(RealReaders, ExtremeTextStaysBoundedAndFinite)
{
    double d = 0;
    ASSERT_EQ(mem_reader("1e999999999999999")->readdouble(d), 0);
    EXPECT_TRUE(std::isinf(d));
    ASSERT_EQ(mem_reader("1e-999999999999999")->readdouble(d), 0);
    EXPECT_EQ(d, 0.0);
    ASSERT_EQ(mem_reader("0e999999999")->readdouble(d), 0);
    EXPECT_EQ(d, 0.0);
    // So many fraction digits that the divisor would overflow: the value stays right.
    ASSERT_EQ(mem_reader("1." + std::string(400, '1'))->readdouble(d), 0);
    EXPECT_NEAR(d, 10.0 / 9.0, 1e-12);
    float f = 0;
    ASSERT_EQ(mem_reader("2." + std::string(60, '5'))->readfloat(f), 0);
    EXPECT_NEAR(f, 2.5555555f, 1e-6f);
}

TEST(NumberReaders, ReadSequencesAndFailWithoutTouchingTheTarget)
{
    auto r = mem_reader("10 -2.5\r\n3e1\tabc");
    int i = 0;
    float f = 0;
    double d = 0;
    EXPECT_EQ(r->readint(i), 0);
    EXPECT_EQ(r->readfloat(f), 0);
    EXPECT_EQ(r->readdouble(d), 0);
    EXPECT_EQ(i, 10);
    EXPECT_EQ(f, -2.5f);
    EXPECT_EQ(d, 30.0);
    int untouched = 7;
    EXPECT_EQ(r->readint(untouched), 1);
    EXPECT_EQ(untouched, 7);
    EXPECT_EQ(next_char(*r), 'b');
}

} // namespace
