// Text tokens read from and written to streams; the quoting scheme itself lives in the
// token codec shared with the string forms.
#include <kivctrl/qel_stream.h>
#include <kivctrl/qel_token_stream.h>

#include "foundation/token_codec.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool is_space(int c)
{
    return c >= 0 && std::isspace(c);
}

class ReaderSource final : public kiv::token::Source {
public:
    explicit ReaderSource(QelFileReader &r) : r_(r) {}
    int get() override { return r_.readch(); }
    void unget(int c) override { r_.unreadch(c); }

private:
    QelFileReader &r_;
};

} // namespace

int qel_writestring(QelFileWriter *w, const char *s, int len)
{
    std::string_view text;
    if (s)
        text = len > 0 ? std::string_view(s, static_cast<std::size_t>(len)) : std::string_view(s);
    std::string token = kiv::token::encode(text);
    return qel_writeliteral(w, token.data(), static_cast<int>(token.size()));
}

int qel_readstring(QelFileReader *r, const char *delims, char *out, int size)
{
    if (!r)
        return kiv::token::store({}, out, size);
    ReaderSource source(*r);
    return kiv::token::store(kiv::token::decode(source, delims).text, out, size);
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
    std::string spaces;
    if (r) {
        int c = r->readch();
        for (; is_space(c); c = r->readch())
            spaces += static_cast<char>(c);
        if (c >= 0)
            r->unreadch(c);
    }
    return kiv::token::store(spaces, out, size);
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
