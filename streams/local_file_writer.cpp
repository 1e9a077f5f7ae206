#include <kivctrl/qel_localfile.h>

#include "streams/local_open.h"

QelNarrowWriterImp::QelNarrowWriterImp(const char *path, bool binary)
    : file_(localfile::open(path, binary ? "wb" : "w"))
{
    if (!file_)
        err_ = 1;
}

QelNarrowWriterImp::~QelNarrowWriterImp()
{
    close();
}

int QelNarrowWriterImp::close()
{
    if (!file_)
        return err_;
    if (std::fclose(file_) != 0)
        err_ = 1;
    file_ = nullptr;
    return err_;
}

int QelNarrowWriterImp::write(const unsigned short *s)
{
    if (!s)
        return err_;
    for (; *s; ++s)
        if (write(static_cast<char>(*s & 0xFF)))
            break;
    return err_;
}

int QelNarrowWriterImp::write(const char *s)
{
    if (!file_) {
        err_ = 1;
        return 1;
    }
    if (!s)
        return err_ = 0;
    err_ = std::fputs(s, file_) == EOF ? 1 : 0;
    return err_;
}

int QelNarrowWriterImp::write(unsigned short c)
{
    return write(static_cast<char>(c & 0xFF));
}

int QelNarrowWriterImp::write(char c)
{
    if (!file_) {
        err_ = 1;
        return 1;
    }
    err_ = std::fputc(static_cast<unsigned char>(c), file_) == EOF ? 1 : 0;
    return err_;
}

unsigned long QelNarrowWriterImp::writeb(const char *buf, unsigned long n)
{
    if (!file_) {
        err_ = 1;
        return 0;
    }
    if (!buf)
        return 0;
    unsigned long count = std::fwrite(buf, 1, n, file_);
    if (count < n)
        err_ = -1;
    return count;
}

LocalFileWriter::LocalFileWriter(const char *path, bool binary) : QelNarrowWriterImp(path, binary) {}

unsigned long LocalFileWriter::writeb(const char *buf, unsigned long n)
{
    return QelFileWriterImp::writeb(buf, n);
}
