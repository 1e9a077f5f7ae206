// Text tokens read from and written to streams.
#include <kivctrl/qel_stream.h>
#include <kivctrl/qel_token_stream.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool is_space(int c)
{
    return c >= 0 && std::isspace(c);
}

bool is_bare_char(unsigned char c)
{
    return (c < 128 && std::isalnum(c)) || std::strchr("_-:./\\", c) != nullptr;
}

// Characters written into out while they fit; the count always grows. Like the string
// form, a token that does not fit comes back empty with its full count.
class TokenBuffer {
public:
    TokenBuffer(char *out, int size) : out_(out), size_(out ? size : 0) {}
    void put(char c)
    {
        if (count_ < size_)
            out_[count_] = c;
        ++count_;
    }
    int finish()
    {
        put('\0');
        if (count_ > size_ && size_ > 0)
            out_[0] = '\0';
        return count_;
    }

private:
    char *out_;
    int size_;
    int count_ = 0;
};

int octal_value(int c)
{
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

int hex_value(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads up to max_digits digits of one base after an escape; the first other character is
// pushed back.
int read_number(QelFileReader &r, int first_value, int base, int max_digits, int (*digit)(int))
{
    int value = first_value;
    for (int n = first_value >= 0 ? 1 : 0; n < max_digits; ++n) {
        int c = r.readch();
        int d = c < 0 ? -1 : digit(c);
        if (d < 0) {
            if (c >= 0)
                r.unreadch(c);
            break;
        }
        value = (value < 0 ? 0 : value) * base + d;
    }
    return value < 0 ? 0 : value;
}

// The character an escape '^' c stands for; may read further digits.
int decode_escape(QelFileReader &r, int c)
{
    if (c < 0)
        return '^';
    if (octal_value(c) >= 0)
        return read_number(r, octal_value(c), 8, 3, octal_value);
    switch (c) {
    case 'a': case 'A': return 7;
    case 'b': case 'B': return 8;
    case 'f': case 'F': return 12;
    case 'n': case 'N': return 10;
    case 'r': case 'R': return 13;
    case 't': case 'T': return 9;
    case 'v': case 'V': return 11;
    case 'x': case 'X': return read_number(r, -1, 16, 4, hex_value);
    default: return c;
    }
}

void read_quoted(QelFileReader &r, TokenBuffer &token)
{
    for (int c = r.readch(); c >= 0 && c != '"'; c = r.readch()) {
        if (c == '^')
            c = decode_escape(r, r.readch());
        token.put(static_cast<char>(c));
    }
}

// Whitespace is held back until a later character shows it is not trailing.
void read_bare(QelFileReader &r, int c, const char *delims, TokenBuffer &token)
{
    std::string pending;
    for (; c >= 0; c = r.readch()) {
        if (c != 0 && delims && std::strchr(delims, c)) {
            r.unreadch(c);
            break;
        }
        if (is_space(c)) {
            pending += static_cast<char>(c);
            continue;
        }
        for (char s : pending)
            token.put(s);
        pending.clear();
        token.put(static_cast<char>(c));
    }
}

// The escape letter of a control character, 0 when it has none.
char control_letter(unsigned char c)
{
    switch (c) {
    case 7: return 'a';
    case 8: return 'b';
    case 9: return 't';
    case 10: return 'n';
    case 11: return 'v';
    case 12: return 'f';
    case 13: return 'r';
    default: return 0;
    }
}

bool is_printable(QelFileWriter *w, unsigned char c)
{
    if (!w || w->supports_wide_output())
        return c >= 32 && c < 127;
    return std::isprint(c) != 0;
}

} // namespace

int qel_writestring(QelFileWriter *w, const char *s, int len)
{
    if (!s)
        s = "";
    int n = len > 0 ? len : static_cast<int>(std::strlen(s));
    bool bare = n > 0;
    for (int i = 0; bare && i < n; ++i)
        bare = is_bare_char(static_cast<unsigned char>(s[i]));
    if (bare)
        return qel_writeliteral(w, s, n);

    int written = qel_writechar(w, '"');
    for (int i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char escape[5];
        if (c == '"' || c == '^') {
            written += std::snprintf(escape, sizeof escape, "^%c", c);
        } else if (is_printable(w, c)) {
            escape[0] = static_cast<char>(c);
            escape[1] = '\0';
            ++written;
        } else if (char letter = control_letter(c)) {
            written += std::snprintf(escape, sizeof escape, "^%c", letter);
        } else {
            written += std::snprintf(escape, sizeof escape, "^%03o", c);
        }
        if (w)
            w->write(static_cast<const char *>(escape));
    }
    return written + qel_writechar(w, '"');
}

int qel_readstring(QelFileReader *r, const char *delims, char *out, int size)
{
    TokenBuffer token(out, size);
    if (r) {
        int c = r->readch();
        while (is_space(c))
            c = r->readch();
        if (c == '"')
            read_quoted(*r, token);
        else
            read_bare(*r, c, delims, token);
    }
    return token.finish();
}

int qel_writechar(QelFileWriter *w, char c)
{
    if (w)
        w->write(c);
    return 1;
}

int qel_writeliteral(QelFileWriter *w, const char *s, int len)
{
    if (!s)
        return 0;
    int n = len > 0 ? len : static_cast<int>(std::strlen(s));
    if (w)
        w->writeb(s, static_cast<unsigned long>(n));
    return n;
}

int qel_writeint(QelFileWriter *w, int v)
{
    char text[16];
    int n = std::snprintf(text, sizeof text, "%d", v);
    return qel_writeliteral(w, text, n);
}

int qel_writereal(QelFileWriter *w, float v)
{
    return qel_writereal(w, static_cast<double>(v));
}

int qel_writereal(QelFileWriter *w, double v)
{
    char text[32];
    int n = std::snprintf(text, sizeof text, "%g", v);
    return qel_writeliteral(w, text, n);
}

int qel_readchar(QelFileReader *r, char &c)
{
    int b = r ? r->readch() : -1;
    if (b < 0)
        return 0;
    c = static_cast<char>(b);
    return 1;
}

int qel_readwhitespace(QelFileReader *r, char *out, int size)
{
    TokenBuffer spaces(out, size);
    if (r) {
        int c = r->readch();
        for (; is_space(c); c = r->readch())
            spaces.put(static_cast<char>(c));
        if (c >= 0)
            r->unreadch(c);
    }
    return spaces.finish();
}

int qel_readdelim(QelFileReader *r, const char *delims, char **which)
{
    if (!r)
        return 0;
    int c = r->readch();
    while (is_space(c))
        c = r->readch();
    if (c < 0)
        return 0;
    const char *hit = c != 0 && delims ? std::strchr(delims, c) : nullptr;
    if (!hit) {
        r->unreadch(c);
        return 0;
    }
    if (which)
        *which = const_cast<char *>(hit);
    return 1;
}
