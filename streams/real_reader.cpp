// The real-number readers: a state machine over characters that accumulates the mantissa
// as an integer-valued number and a divisor in the target precision, then applies the
// decimal exponent one multiplication at a time.
#include <kivctrl/qel_stream.h>

#include <cmath>

namespace {

enum class State { Start, AfterSign, Integer, AfterPoint, Fraction, Exponent, ExponentSign, ExponentDigits, Done, Failed };

bool is_digit(int c)
{
    return c >= '0' && c <= '9';
}

bool is_blank(int c)
{
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

// Exponents beyond this already drive every value to zero or infinity.
constexpr int kExponentCap = 100000;

template <class T> int read_real(QelFileReader &r, T &target)
{
    T mantissa = 0;
    T divisor = 1;
    bool negative = false;
    int exponent = 0;
    bool negative_exponent = false;
    // Once the divisor would overflow, further fraction digits cannot change the value.
    auto add_fraction_digit = [&](int c) {
        T m = mantissa * 10 + static_cast<T>(c - '0');
        T d = divisor * 10;
        if (std::isfinite(m) && std::isfinite(d)) {
            mantissa = m;
            divisor = d;
        }
    };

    int c = r.readch();
    while (is_blank(c))
        c = r.readch();

    State state = State::Start;
    for (;;) {
        switch (state) {
        case State::Start:
            if (c == '+' || c == '-') {
                negative = c == '-';
                state = State::AfterSign;
            } else if (is_digit(c)) {
                mantissa = static_cast<T>(c - '0');
                state = State::Integer;
            } else if (c == '.') {
                state = State::AfterPoint;
            } else {
                state = State::Failed;
            }
            break;
        case State::AfterSign:
            if (c == '.') {
                state = State::AfterPoint;
            } else if (is_digit(c)) {
                mantissa = static_cast<T>(c - '0');
                state = State::Integer;
            } else {
                state = State::Failed;
            }
            break;
        case State::Integer:
            if (is_digit(c))
                mantissa = mantissa * 10 + static_cast<T>(c - '0');
            else if (c == '.')
                state = State::AfterPoint;
            else if (c == 'e' || c == 'E')
                state = State::Exponent;
            else
                state = State::Done;
            break;
        case State::AfterPoint:
        case State::Fraction:
            if (is_digit(c)) {
                add_fraction_digit(c);
                state = State::Fraction;
            } else if (c == 'e' || c == 'E') {
                state = State::Exponent;
            } else {
                state = State::Done;
            }
            break;
        case State::Exponent:
            if (is_digit(c)) {
                exponent = c - '0';
                state = State::ExponentDigits;
            } else if (c == '+' || c == '-') {
                negative_exponent = c == '-';
                state = State::ExponentSign;
            } else {
                state = State::Failed;
            }
            break;
        case State::ExponentSign:
            if (is_digit(c)) {
                exponent = c - '0';
                state = State::ExponentDigits;
            } else {
                state = State::Failed;
            }
            break;
        case State::ExponentDigits:
            if (is_digit(c)) {
                if (exponent < kExponentCap)
                    exponent = exponent * 10 + (c - '0');
            } else {
                state = State::Done;
            }
            break;
        case State::Done:
        case State::Failed:
            break;
        }
        if (state == State::Done || state == State::Failed)
            break;
        c = r.readch();
    }
    if (c >= 0)
        r.unreadch(c);
    if (state == State::Failed)
        return 1;

    T value = mantissa / divisor;
    if (negative)
        value = -value;
    const T step = negative_exponent ? static_cast<T>(0.1) : static_cast<T>(10);
    for (int i = 0; i < exponent && value != 0 && std::isfinite(value); ++i)
        value *= step;
    target = value;
    return 0;
}

} // namespace

int QelFileReaderImp::readfloat(float &v)
{
    return read_real(*this, v);
}

int QelFileReaderImp::readdouble(double &v)
{
    return read_real(*this, v);
}
