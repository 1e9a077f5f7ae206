#include <kivctrl/qel_string.h>

#include <cwctype>

namespace {

// Character code of a narrow or wide text unit, never negative.
unsigned code(char c)
{
    return static_cast<unsigned char>(c);
}

unsigned code(unsigned short c)
{
    return c;
}

unsigned fold(char c)
{
    const unsigned b = code(c);
    return b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b;
}

unsigned fold(unsigned short c)
{
    return static_cast<unsigned>(std::towlower(c));
}

template <class C> int length(const C *s)
{
    if (!s)
        return 0;
    int n = 0;
    while (s[n])
        ++n;
    return n;
}

template <class C> C *copy(C *d, const C *s)
{
    if (d && s) {
        int i = 0;
        for (; s[i]; ++i)
            d[i] = s[i];
        d[i] = 0;
    }
    return d;
}

template <class C> C *copy_n(C *d, const C *s, int n)
{
    if (!d || !s)
        return d;
    int i = 0;
    for (; i < n && s[i]; ++i)
        d[i] = s[i];
    for (; i < n; ++i)
        d[i] = 0;
    return d;
}

template <class C> C *append_n(C *d, const C *s, int n)
{
    if (!d || !s)
        return d;
    C *end = d + length(d);
    int i = 0;
    for (; i < n && s[i]; ++i)
        end[i] = s[i];
    end[i] = 0;
    return d;
}

template <class C> C *find(C *s, unsigned c)
{
    if (!s)
        return nullptr;
    for (;; ++s) {
        if (code(*s) == c)
            return s;
        if (!*s)
            return nullptr;
    }
}

int sign(long v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// Compares at most n units; with fold_case the units are compared case-insensitively.
template <class C> int compare(const C *a, const C *b, long n, bool fold_case)
{
    if (a == b)
        return 0;
    if (!a)
        return -1;
    if (!b)
        return 1;
    for (long i = 0; i < n; ++i) {
        const unsigned x = fold_case ? fold(a[i]) : code(a[i]);
        const unsigned y = fold_case ? fold(b[i]) : code(b[i]);
        if (x != y)
            return sign(static_cast<long>(x) - static_cast<long>(y));
        if (!x)
            return 0;
    }
    return 0;
}

constexpr long unlimited = 0x7FFFFFFFL;

} // namespace

int qel_strlen(const char *s) { return length(s); }
int qel_strlen(const unsigned short *s) { return length(s); }

char *qel_strcpy(char *d, const char *s) { return copy(d, s); }
unsigned short *qel_strcpy(unsigned short *d, const unsigned short *s) { return copy(d, s); }

char *qel_strncpy(char *d, const char *s, int n) { return copy_n(d, s, n); }
unsigned short *qel_strncpy(unsigned short *d, const unsigned short *s, int n)
{
    return copy_n(d, s, n);
}

char *qel_strcat(char *d, const char *s) { return append_n(d, s, 0x7FFFFFFF); }
unsigned short *qel_strcat(unsigned short *d, const unsigned short *s)
{
    return append_n(d, s, 0x7FFFFFFF);
}
char *qel_strncat(char *d, const char *s, int n) { return append_n(d, s, n); }
unsigned short *qel_strncat(unsigned short *d, const unsigned short *s, int n)
{
    return append_n(d, s, n);
}

const char *qel_strchr(const char *s, int c) { return find(s, static_cast<unsigned char>(c)); }
char *qel_strchr(char *s, int c) { return find(s, static_cast<unsigned char>(c)); }
const unsigned short *qel_strchr(const unsigned short *s, unsigned short c) { return find(s, c); }
unsigned short *qel_strchr(unsigned short *s, unsigned short c) { return find(s, c); }

int qel_strcmp(const char *a, const char *b) { return compare(a, b, unlimited, false); }
int qel_strcmp(const unsigned short *a, const unsigned short *b)
{
    return compare(a, b, unlimited, false);
}
int qel_stricmp(const char *a, const char *b) { return compare(a, b, unlimited, true); }
int qel_stricmp(const unsigned short *a, const unsigned short *b)
{
    return compare(a, b, unlimited, true);
}
int qel_strnicmp(const char *a, const char *b, int n) { return compare(a, b, n, true); }
int qel_strnicmp(const unsigned short *a, const unsigned short *b, int n)
{
    return compare(a, b, n, true);
}

int qel_isspace(char c)
{
    const unsigned b = code(c);
    return b == ' ' || (b >= '\t' && b <= '\r');
}

// The space characters of Unicode without the no-break ones, as iswspace classes them in a
// UTF-8 locale, fixed so that the result never depends on the process locale.
int qel_isspace(unsigned short c)
{
    if (c < 0x80)
        return qel_isspace(static_cast<char>(c));
    return c == 0x85 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A && c != 0x2007) ||
                   c == 0x2028 || c == 0x2029 || c == 0x205F || c == 0x3000
               ? 1
               : 0;
}

int qel_isspace(int c)
{
    if (c < 0)
        return 0;
    if (c < 0x100)
        return qel_isspace(static_cast<char>(c));
    return c <= 0xFFFF ? qel_isspace(static_cast<unsigned short>(c)) : 0;
}
