// Streams over local files, through the C library's buffered file streams.
//
// Names written on Windows are accepted: '\' separators and a letter case that differs
// from the file system's are resolved before the file is opened. Text-mode readers turn
// CR LF into LF.
#pragma once

#include <kivctrl/qel_stream.h>

#include <cstdio>

class QelNarrowReaderImp : public QelFileReaderImp {
public:
    // Opens with "rb" or "r"; error value 1 when the open failed.
    QelNarrowReaderImp(const char *path, bool binary);
    ~QelNarrowReaderImp() override;
    QelNarrowReaderImp(const QelNarrowReaderImp &) = delete;
    QelNarrowReaderImp &operator=(const QelNarrowReaderImp &) = delete;

    using QelFileReaderImp::read;
    // Error value -1 at the end of the file, 0 after every successful read.
    int readch() override;
    int unreadch(int c) override;
    // Error value -1 on a short count.
    unsigned long readb(char *buf, unsigned long n) override;
    bool iseof() override;
    // 0 on success, -1 when no file is open or the position is invalid.
    int seek(long offset, Origin origin) override;
    long tell() override;
    // A word: skips whitespace, then copies up to n characters until whitespace (pushed
    // back) or the end; always terminated, so buf holds n + 1 bytes.
    char *read(char *buf, unsigned long n) override;

protected:
    std::FILE *file_ = nullptr;
    bool binary_;
};

// What QelCreateReaderInstance makes for a local file.
class LocalFileReader : public QelNarrowReaderImp {
public:
    LocalFileReader(const char *path, bool binary);

    using QelNarrowReaderImp::read;
    // A line: at most n - 1 characters, the newline kept when it fits, terminated;
    // null (error value set) when nothing could be read.
    char *read(char *buf, unsigned long n) override;
};

class QelNarrowWriterImp : public QelFileWriterImp {
public:
    // Opens with "wb" or "w"; error value 1 when the open failed.
    QelNarrowWriterImp(const char *path, bool binary);
    ~QelNarrowWriterImp() override;
    QelNarrowWriterImp(const QelNarrowWriterImp &) = delete;
    QelNarrowWriterImp &operator=(const QelNarrowWriterImp &) = delete;

    // These four return the error value: 0 on success, 1 on failure (the wide forms write
    // the low byte of each character).
    int write(const unsigned short *s) override;
    int write(const char *s) override;
    int write(unsigned short c) override;
    int write(char c) override;
    // Error value -1 on a short count.
    unsigned long writeb(const char *buf, unsigned long n) override;
    // Writes out what is still buffered and closes the file; returns the error value, 1 when
    // the buffered data could not be written (a full disk). Later writes fail.
    int close();

protected:
    std::FILE *file_ = nullptr;
};

// What QelCreateWriterInstance makes for a local file: block writes go byte by byte
// through write(char).
class LocalFileWriter : public QelNarrowWriterImp {
public:
    LocalFileWriter(const char *path, bool binary);

    unsigned long writeb(const char *buf, unsigned long n) override;
};
