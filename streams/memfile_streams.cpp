#include <kivctrl/qel_memfile.h>

#include "streams/memfile_directory.h"

#include <cstring>

namespace {

std::string_view name_of(const char *name)
{
    return name ? std::string_view(name) : std::string_view();
}

} // namespace

QelMemFileReader::QelMemFileReader(const char *name) : file_(memfile::open(name_of(name)))
{
    if (!file_)
        err_ = 1;
}

QelMemFileReader::~QelMemFileReader()
{
    if (file_)
        memfile::close(*file_);
}

int QelMemFileReader::readch()
{
    if (!file_)
        return -1;
    if (file_->cursor >= file_->end) {
        err_ = -1;
        return -1;
    }
    err_ = 0;
    return static_cast<unsigned char>(file_->data[file_->cursor++]);
}

int QelMemFileReader::unreadch(int c)
{
    if (!file_ || c < 0 || file_->cursor == 0)
        return -1;
    --file_->cursor;
    return c;
}

unsigned long QelMemFileReader::readb(char *buf, unsigned long n)
{
    if (!file_ || !buf)
        return 0;
    std::size_t avail = file_->end - file_->cursor;
    std::size_t count = n < avail ? n : avail;
    std::memcpy(buf, file_->data.get() + file_->cursor, count);
    file_->cursor += count;
    err_ = count < n ? -1 : 0;
    return count;
}

bool QelMemFileReader::iseof()
{
    if (!file_)
        return true;
    if (file_->cursor < file_->end)
        return false;
    err_ = -1;
    return true;
}

int QelMemFileReader::seek(long offset, Origin origin)
{
    if (!file_)
        return -1;
    long base = origin == Current ? static_cast<long>(file_->cursor)
              : origin == End     ? static_cast<long>(file_->end)
                                  : 0;
    long end = static_cast<long>(file_->end);
    long target;
    if (__builtin_add_overflow(base, offset, &target))
        target = offset < 0 ? 0 : end;
    if (target > end)
        target = end;
    if (target < 0)
        target = 0;
    file_->cursor = static_cast<std::size_t>(target);
    err_ = 0;
    return static_cast<int>(target);
}

long QelMemFileReader::tell()
{
    return file_ ? static_cast<long>(file_->cursor) : -1;
}

unsigned short *QelMemFileReader::read(unsigned short *, unsigned long)
{
    return nullptr;
}

char *QelMemFileReader::read(char *buf, unsigned long n)
{
    if (!file_ || !buf || n == 0)
        return nullptr;
    if (file_->cursor >= file_->end) {
        err_ = -1;
        return nullptr;
    }
    unsigned long i = 0;
    while (i + 1 < n && file_->cursor < file_->end) {
        char c = file_->data[file_->cursor++];
        buf[i++] = c;
        if (c == '\n')
            break;
    }
    buf[i] = '\0';
    err_ = 0;
    return buf;
}

QelMemFileWriter::QelMemFileWriter(const char *name) : file_(memfile::open(name_of(name)))
{
    if (!file_)
        err_ = 1;
}

QelMemFileWriter::~QelMemFileWriter()
{
    if (file_)
        memfile::close(*file_);
}

bool QelMemFileWriter::put(const char *data, unsigned long n)
{
    if (!file_ || !file_->reserve_at_cursor(n)) {
        err_ = -1;
        return false;
    }
    if (n)
        std::memcpy(file_->data.get() + file_->cursor, data, n);
    file_->cursor += n;
    file_->end = file_->cursor;
    return true;
}

int QelMemFileWriter::write(const unsigned short *)
{
    return -1;
}

int QelMemFileWriter::write(const char *s)
{
    std::size_t n = s ? std::strlen(s) : 0;
    return put(s, n) ? static_cast<int>(n) : -1;
}

int QelMemFileWriter::write(unsigned short)
{
    return -1;
}

int QelMemFileWriter::write(char c)
{
    return put(&c, 1) ? static_cast<unsigned char>(c) : -1;
}

unsigned long QelMemFileWriter::writeb(const char *buf, unsigned long n)
{
    if (!buf)
        return 0;
    return put(buf, n) ? n : 0;
}

QelMemFileRemover::QelMemFileRemover(const char *name) : name_(name ? name : "") {}

int QelMemFileRemover::remove()
{
    return memfile::remove(name_);
}
