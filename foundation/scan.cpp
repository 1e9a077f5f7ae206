#include <kivctrl/qel_scan.h>
#include <kivctrl/qel_string.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

const char *skip_space(const char *s)
{
    while (*s && qel_isspace(*s))
        ++s;
    return s;
}

float to_float(double d)
{
    constexpr double max = std::numeric_limits<float>::max();
    if (d > max)
        return HUGE_VALF;
    if (d < -max)
        return -HUGE_VALF;
    return static_cast<float>(d);
}

// Whether an out-of-range number is too large (rather than too small) to represent.
bool overflows(const char *begin, const char *end)
{
    const std::string_view text(begin, end - begin);
    const std::size_t e = text.find_first_of("eE");
    if (e != std::string_view::npos)
        return e + 1 >= text.size() || text[e + 1] != '-';
    return text.find_first_not_of("0.") != std::string_view::npos &&
           text.find_first_not_of("0") != text.find('.');
}

} // namespace

const char *scan_float(const char *s, float *v)
{
    if (!s)
        return nullptr;
    const char *p = skip_space(s);
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (*p == '+' || *p == '-')
        return nullptr;
    double d = 0;
    const auto [end, ec] = std::from_chars(p, p + std::strlen(p), d);
    if (end == p)
        return nullptr;
    if (ec == std::errc::result_out_of_range)
        d = overflows(p, end) ? HUGE_VAL : 0.0;
    if (v)
        *v = to_float(negative ? -d : d);
    return end;
}

const char *scan_int(const char *s, int *v)
{
    if (!s)
        return nullptr;
    char *end = nullptr;
    errno = 0;
    const long n = std::strtol(s, &end, 10);
    if (end == s)
        return nullptr;
    if (v) {
        constexpr long lo = std::numeric_limits<int>::min();
        constexpr long hi = std::numeric_limits<int>::max();
        *v = static_cast<int>(n < lo ? lo : (n > hi ? hi : n));
    }
    return end;
}

const char *scan_delimiter(const char *s, const char *delims, char *found)
{
    if (!s)
        return nullptr;
    const char *p = skip_space(s);
    if (*p && delims && std::strchr(delims, *p)) {
        if (found)
            *found = *p;
        return p + 1;
    }
    return p;
}

const char *scan_3floats(const char *s, float *x, float *y, float *z)
{
    float v[3];
    const char *p = scan_float(s, &v[0]);
    for (int i = 1; i < 3 && p; ++i) {
        p = scan_delimiter(p, ",", nullptr);
        p = scan_float(p, &v[i]);
    }
    if (!p)
        return nullptr;
    if (x)
        *x = v[0];
    if (y)
        *y = v[1];
    if (z)
        *z = v[2];
    return p;
}
