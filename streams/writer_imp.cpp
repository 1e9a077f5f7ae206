#include <kivctrl/qel_stream.h>
#include <kivctrl/qel_token_stream.h>

#include <cstdarg>
#include <cstdio>

namespace {

// Formatted text longer than this is cut.
constexpr int kFormatBuffer = 20480;

int write_formatted(QelFileWriter &w, const char *format, std::va_list args)
{
    if (!format)
        return 0;
    char text[kFormatBuffer];
    int length = std::vsnprintf(text, sizeof text, format, args);
    if (length < 0)
        return -1;
    w.write(static_cast<const char *>(text));
    return length >= kFormatBuffer ? -1 : length;
}

} // namespace

int QelFileWriterImp::error()
{
    return err_;
}

unsigned long QelFileWriterImp::writeb(const char *buf, unsigned long n)
{
    if (!buf)
        return 0;
    unsigned long count = 0;
    while (count < n) {
        write(buf[count]);
        if (error())
            break;
        ++count;
    }
    return count;
}

int QelFileWriterImp::writef(const char *format, ...)
{
    std::va_list args;
    va_start(args, format);
    int result = write_formatted(*this, format, args);
    va_end(args);
    return result;
}

int QelFileWriterImp::writeln()
{
    return write("\n");
}

int QelFileWriterImp::writefln(const char *format, ...)
{
    std::va_list args;
    va_start(args, format);
    int result = write_formatted(*this, format, args);
    va_end(args);
    writeln();
    return result;
}

int QelFileWriterImp::writestring(const char *s)
{
    return qel_writestring(this, s, 0);
}

int QelFileWriterImp::supports_wide_output()
{
    return 0;
}
