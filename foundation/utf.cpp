#include "foundation/utf.h"

namespace kiv {
namespace {

constexpr char16_t replacement = 0xFFFD;

bool is_continuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// Allowed range of the second byte of a sequence, which rules out overlong forms,
// surrogates and code points above U+10FFFF (Unicode table 3-7).
void second_byte_range(unsigned char lead, unsigned char &lo, unsigned char &hi)
{
    lo = 0x80;
    hi = 0xBF;
    if (lead == 0xE0)
        lo = 0xA0;
    else if (lead == 0xED)
        hi = 0x9F;
    else if (lead == 0xF0)
        lo = 0x90;
    else if (lead == 0xF4)
        hi = 0x8F;
}

void append_code_point(std::u16string &out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
        return;
    }
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

void append_utf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace

int utf8_sequence_length(unsigned char b)
{
    if (b >= 0xC2 && b <= 0xDF)
        return 2;
    if (b >= 0xE0 && b <= 0xEF)
        return 3;
    if (b >= 0xF0 && b <= 0xF4)
        return 4;
    return 1;
}

std::u16string utf8_to_utf16(std::string_view in)
{
    std::u16string out;
    out.reserve(in.size());
    std::size_t i = 0;
    while (i < in.size()) {
        const auto lead = static_cast<unsigned char>(in[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        const int need = utf8_sequence_length(lead);
        if (need == 1) {
            out.push_back(replacement);
            ++i;
            continue;
        }
        char32_t cp = lead & (0xFF >> (need + 1));
        unsigned char lo, hi;
        second_byte_range(lead, lo, hi);
        int taken = 1;
        for (; taken < need && i + taken < in.size(); ++taken) {
            const auto b = static_cast<unsigned char>(in[i + taken]);
            if (taken == 1 ? (b < lo || b > hi) : !is_continuation(b))
                break;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (taken == need)
            append_code_point(out, cp);
        else
            out.push_back(replacement);
        i += taken;
    }
    return out;
}

std::string utf16_to_utf8(std::u16string_view in)
{
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        char32_t cp = in[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 &&
            in[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = replacement;
        }
        append_utf8(out, cp);
    }
    return out;
}

} // namespace kiv
