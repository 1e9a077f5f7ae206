#include <kivctrl/qel_localfile.h>

#include "streams/local_open.h"

#include <cctype>

QelNarrowReaderImp::QelNarrowReaderImp(const char *path, bool binary)
    : file_(localfile::open(path, binary ? "rb" : "r")), binary_(binary)
{
    if (!file_)
        err_ = 1;
}

QelNarrowReaderImp::~QelNarrowReaderImp()
{
    if (file_)
        std::fclose(file_);
}

int QelNarrowReaderImp::readch()
{
    if (!file_)
        return -1;
    int c = std::fgetc(file_);
    if (c == EOF) {
        err_ = -1;
        return -1;
    }
    // Text files written on Windows end their lines with CR LF.
    if (c == '\r' && !binary_) {
        int next = std::fgetc(file_);
        if (next == '\n')
            c = '\n';
        else if (next != EOF)
            std::ungetc(next, file_);
    }
    err_ = 0;
    return c;
}

int QelNarrowReaderImp::unreadch(int c)
{
    if (!file_ || c < 0)
        return -1;
    return std::ungetc(c, file_) == EOF ? -1 : c;
}

unsigned long QelNarrowReaderImp::readb(char *buf, unsigned long n)
{
    if (!file_ || !buf)
        return 0;
    if (!binary_)
        return QelFileReaderImp::readb(buf, n);
    unsigned long count = std::fread(buf, 1, n, file_);
    err_ = count < n ? -1 : 0;
    return count;
}

bool QelNarrowReaderImp::iseof()
{
    return err_ == -1;
}

int QelNarrowReaderImp::seek(long offset, Origin origin)
{
    if (!file_)
        return -1;
    int whence = origin == Current ? SEEK_CUR : origin == End ? SEEK_END : SEEK_SET;
    if (std::fseek(file_, offset, whence) != 0)
        return -1;
    err_ = 0;
    return 0;
}

long QelNarrowReaderImp::tell()
{
    return file_ ? std::ftell(file_) : -1;
}

char *QelNarrowReaderImp::read(char *buf, unsigned long n)
{
    if (!file_ || !buf)
        return nullptr;
    int c = readch();
    while (c >= 0 && std::isspace(c))
        c = readch();
    if (c < 0) {
        buf[0] = '\0';
        return nullptr;
    }
    unsigned long i = 0;
    while (c >= 0 && !std::isspace(c) && i < n) {
        buf[i++] = static_cast<char>(c);
        c = readch();
    }
    if (c >= 0)
        unreadch(c);
    buf[i] = '\0';
    return buf;
}

LocalFileReader::LocalFileReader(const char *path, bool binary) : QelNarrowReaderImp(path, binary) {}

char *LocalFileReader::read(char *buf, unsigned long n)
{
    if (!file_ || !buf || n == 0)
        return nullptr;
    unsigned long i = 0;
    while (i + 1 < n) {
        int c = readch();
        if (c < 0)
            break;
        buf[i++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    buf[i] = '\0';
    if (i == 0 && n > 1) {
        err_ = -1;
        return nullptr;
    }
    return buf;
}
