#include <kivctrl/qel_string.h>

#include "foundation/utf.h"

#include <cstring>
#include <vector>

unsigned short *qel_wide(unsigned short *d, const char *s)
{
    if (!d)
        return d;
    const std::size_t n = s ? std::strlen(s) : 0;
    d[kiv::utf8_to_utf16(s, n, d)] = 0;
    return d;
}

unsigned short *qel_wide(unsigned short *d, const unsigned short *s)
{
    if (d && !s)
        *d = 0;
    return qel_strcpy(d, s);
}

char *qel_narrow(char *d, const unsigned short *s)
{
    if (!d)
        return d;
    d[kiv::utf16_to_utf8(s, static_cast<std::size_t>(qel_strlen(s)), d)] = 0;
    return d;
}

char *qel_narrow(char *d, const char *s)
{
    if (d && !s)
        *d = 0;
    return qel_strcpy(d, s);
}

char *qel_narrow(unsigned short *s)
{
    if (!s)
        return nullptr;
    const auto units = static_cast<std::size_t>(qel_strlen(s));
    const std::size_t storage = 2 * (units + 1);
    std::vector<char> n(3 * units + 1);
    const std::size_t size = kiv::utf16_to_utf8(s, units, n.data());
    // Cut at a character boundary so the storage keeps room for the terminator.
    std::size_t keep = 0;
    while (keep < size) {
        const std::size_t next = keep + kiv::utf8_sequence_length(static_cast<unsigned char>(n[keep]));
        if (next + 1 > storage)
            break;
        keep = next;
    }
    char *d = reinterpret_cast<char *>(s);
    std::memcpy(d, n.data(), keep);
    d[keep] = 0;
    return d;
}

char *qel_default_char(char *d, const char *s) { return qel_narrow(d, s); }
char *qel_default_char(char *d, const unsigned short *s) { return qel_narrow(d, s); }
