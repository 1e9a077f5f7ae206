#include "foundation/utf.h"

namespace kiv {
namespace {

constexpr unsigned short replacement = 0xFFFD;

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

std::size_t put_utf16(unsigned short *out, char32_t cp)
{
    if (cp < 0x10000) {
        out[0] = static_cast<unsigned short>(cp);
        return 1;
    }
    cp -= 0x10000;
    out[0] = static_cast<unsigned short>(0xD800 + (cp >> 10));
    out[1] = static_cast<unsigned short>(0xDC00 + (cp & 0x3FF));
    return 2;
}

std::size_t put_utf8(char *out, char32_t cp)
{
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (cp >> 12));
        out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (cp >> 18));
    out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
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

std::size_t utf8_to_utf16(const char *in, std::size_t n, unsigned short *out)
{
    std::size_t o = 0;
    std::size_t i = 0;
    while (i < n) {
        const auto lead = static_cast<unsigned char>(in[i]);
        if (lead < 0x80) {
            out[o++] = lead;
            ++i;
            continue;
        }
        const int need = utf8_sequence_length(lead);
        if (need == 1) {
            out[o++] = replacement;
            ++i;
            continue;
        }
        // A four-byte sequence gives two units from four bytes, so out never overtakes n.
        char32_t cp = lead & (0xFF >> (need + 1));
        unsigned char lo, hi;
        second_byte_range(lead, lo, hi);
        int taken = 1;
        for (; taken < need && i + taken < n; ++taken) {
            const auto b = static_cast<unsigned char>(in[i + taken]);
            if (taken == 1 ? (b < lo || b > hi) : !is_continuation(b))
                break;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (taken == need)
            o += put_utf16(out + o, cp);
        else
            out[o++] = replacement;
        i += taken;
    }
    return o;
}

std::size_t utf16_to_utf8(const unsigned short *in, std::size_t n, char *out)
{
    std::size_t o = 0;
    for (std::size_t i = 0; i < n; ++i) {
        char32_t cp = in[i];
        if (cp < 0x80) {
            out[o++] = static_cast<char>(cp);
            continue;
        }
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = replacement;
        }
        o += put_utf8(out + o, cp);
    }
    return o;
}

} // namespace kiv
