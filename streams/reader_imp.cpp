#include <kivctrl/qel_stream.h>

int QelFileReaderImp::error()
{
    return err_;
}

unsigned long QelFileReaderImp::readb(char *buf, unsigned long n)
{
    if (!buf)
        return 0;
    unsigned long count = 0;
    while (count < n) {
        int c = readch();
        if (c < 0 || error())
            break;
        buf[count++] = static_cast<char>(c);
    }
    return count;
}

int QelFileReaderImp::supports_wide_input()
{
    return 0;
}

int QelFileReaderImp::readchar(unsigned short &c)
{
    int high = readch();
    if (high < 0)
        return error();
    int low = readch();
    if (low < 0)
        return error();
    c = static_cast<unsigned short>(high * 256 + low);
    return error();
}

int QelFileReaderImp::readbyte(char &c)
{
    int b = readch();
    if (b >= 0)
        c = static_cast<char>(b);
    return error();
}

int QelFileReaderImp::readchar(char &c)
{
    return readbyte(c);
}

unsigned short *QelFileReaderImp::read(unsigned short *buf, unsigned long n)
{
    if (!buf)
        return nullptr;
    for (unsigned long i = 0; i < n; ++i) {
        int c = readch();
        if (c < 0 || error())
            return nullptr;
        buf[i] = static_cast<unsigned short>(c);
    }
    return buf;
}

char *QelFileReaderImp::read(char *buf, unsigned long n)
{
    if (!buf)
        return nullptr;
    return readb(buf, n) == n && !error() ? buf : nullptr;
}
