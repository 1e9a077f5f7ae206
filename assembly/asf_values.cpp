// Numbers and strings in record bodies. Numbers are read in the "C" notation whatever the
// locale; a number that is not finite (1e400, inf, nan) does not scan, so it can never put
// an object at infinity.
#include "assembly/asf_reading.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kiv::asf {

namespace {

// The next comma-separated field of body, advancing it.
std::string_view next_field(std::string_view &body)
{
    const std::size_t comma = body.find(',');
    const std::string_view field = body.substr(0, comma);
    body = comma == std::string_view::npos ? std::string_view() : body.substr(comma + 1);
    return field;
}

bool scan_double(std::string_view field, double &out)
{
    if (!field.empty() && field.front() == '+')
        field.remove_prefix(1);
    double v = 0.0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v);
    if (ec != std::errc() || end != field.data() + field.size() || !std::isfinite(v) ||
        std::fabs(v) > std::numeric_limits<float>::max())
        return false;
    out = v;
    return true;
}

} // namespace

int scan_floats(std::string_view body, float *out, int max)
{
    int n = 0;
    while (n < max && !body.empty()) {
        double v = 0.0;
        if (!scan_double(next_field(body), v))
            break;
        out[n++] = static_cast<float>(v);
    }
    return n;
}

// Integers as a C library's strtol reads them, clamped to the int range; a field written as
// a real number (1.0) counts as its integral part.
int scan_ints(std::string_view body, int *out, int max)
{
    int n = 0;
    while (n < max && !body.empty()) {
        double v = 0.0;
        if (!scan_double(next_field(body), v))
            break;
        v = std::trunc(v);
        if (v > std::numeric_limits<int>::max())
            v = std::numeric_limits<int>::max();
        if (v < std::numeric_limits<int>::min())
            v = std::numeric_limits<int>::min();
        out[n++] = static_cast<int>(v);
    }
    return n;
}

bool read_floats(Reading &r, float *out, int n)
{
    float v[16];
    const std::string body = r.in.value();
    if (n > 16 || scan_floats(body, v, n) < n)
        return false;
    for (int i = 0; i < n; ++i)
        out[i] = v[i];
    return true;
}

bool read_float(Reading &r, float &out)
{
    return read_floats(r, &out, 1);
}

bool read_int(Reading &r, int &out)
{
    int v = 0;
    if (scan_ints(r.in.value(), &v, 1) < 1)
        return false;
    out = v;
    return true;
}

std::string read_string(Reading &r, std::size_t max)
{
    std::string s = r.in.string_token(max);
    r.in.finish_body();
    return s;
}

} // namespace kiv::asf
