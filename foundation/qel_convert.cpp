#include <kivctrl/qel_string.h>

#include "foundation/utf.h"

#include <algorithm>
#include <cstring>

namespace {

std::u16string wide_text(const unsigned short *s)
{
    return std::u16string(s, s + qel_strlen(s));
}

} // namespace

unsigned short *qel_wide(unsigned short *d, const char *s)
{
    if (!d)
        return d;
    const std::u16string w = s ? kiv::utf8_to_utf16(s) : std::u16string();
    std::copy(w.begin(), w.end(), d);
    d[w.size()] = 0;
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
    const std::string n = kiv::utf16_to_utf8(wide_text(s));
    std::memcpy(d, n.c_str(), n.size() + 1);
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
    const std::size_t storage = 2 * (static_cast<std::size_t>(qel_strlen(s)) + 1);
    const std::string n = kiv::utf16_to_utf8(wide_text(s));
    // Cut at a character boundary so the storage keeps room for the terminator.
    std::size_t keep = 0;
    while (keep < n.size()) {
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
