// The integer readers: optional whitespace, an optional sign (signed targets only), optional
// whitespace, then decimal digits accumulated in the target type with wrap-around.
#include <kivctrl/qel_stream.h>

#include <type_traits>

namespace {

bool is_blank(int c)
{
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

int skip_blanks(QelFileReader &r)
{
    int c = r.readch();
    while (is_blank(c))
        c = r.readch();
    return c;
}

template <class T> int read_integer(QelFileReader &r, T &target)
{
    using U = std::make_unsigned_t<T>;
    bool negative = false;
    int c = skip_blanks(r);
    if (std::is_signed_v<T> && (c == '+' || c == '-')) {
        negative = c == '-';
        c = skip_blanks(r);
    }
    if (c < '0' || c > '9')
        return 1;
    U value = 0;
    while (c >= '0' && c <= '9') {
        value = static_cast<U>(value * 10u + static_cast<unsigned>(c - '0'));
        c = r.readch();
    }
    if (c >= 0)
        r.unreadch(c);
    if (negative)
        value = static_cast<U>(0u - value);
    target = static_cast<T>(value);
    return 0;
}

} // namespace

int QelFileReaderImp::readshort(short &v)
{
    return read_integer(*this, v);
}

int QelFileReaderImp::readushort(unsigned short &v)
{
    return read_integer(*this, v);
}

int QelFileReaderImp::readint(int &v)
{
    return read_integer(*this, v);
}

int QelFileReaderImp::readuint(unsigned int &v)
{
    return read_integer(*this, v);
}

int QelFileReaderImp::readlong(long &v)
{
    return read_integer(*this, v);
}

int QelFileReaderImp::readulong(unsigned long &v)
{
    return read_integer(*this, v);
}
