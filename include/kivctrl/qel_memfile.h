// Named memory files: process-wide byte buffers addressed by names such as "MEM:scratch".
//
// A memory file exists from its first opening until it is removed or the process ends.
// Only one stream may have a memory file open at a time; a second open fails and gives a
// stream on which every operation fails.
#pragma once

#include <kivctrl/qel_stream.h>

#include <memory>
#include <string>

struct MemFileBuffer;

class QelMemFileReader : public QelFileReaderImp {
public:
    explicit QelMemFileReader(const char *name);
    ~QelMemFileReader() override;
    QelMemFileReader(const QelMemFileReader &) = delete;
    QelMemFileReader &operator=(const QelMemFileReader &) = delete;

    int readch() override;
    // Moves back by one (the character is not stored); -1 at the start.
    int unreadch(int c) override;
    unsigned long readb(char *buf, unsigned long n) override;
    bool iseof() override;
    // Returns the new offset; targets outside the data are clamped to its ends.
    int seek(long offset, Origin origin) override;
    long tell() override;
    // Always null: memory files hold narrow text.
    unsigned short *read(unsigned short *buf, unsigned long n) override;
    // A line: at most n - 1 characters up to and including a newline, terminated.
    char *read(char *buf, unsigned long n) override;

private:
    std::shared_ptr<MemFileBuffer> file_;
};

class QelMemFileWriter : public QelFileWriterImp {
public:
    explicit QelMemFileWriter(const char *name);
    ~QelMemFileWriter() override;
    QelMemFileWriter(const QelMemFileWriter &) = delete;
    QelMemFileWriter &operator=(const QelMemFileWriter &) = delete;

    // Wide text cannot be written: -1.
    int write(const unsigned short *s) override;
    // The number of bytes written, or -1.
    int write(const char *s) override;
    int write(unsigned short c) override;
    // The byte written (0..255), or -1.
    int write(char c) override;
    unsigned long writeb(const char *buf, unsigned long n) override;

private:
    bool put(const char *data, unsigned long n);

    std::shared_ptr<MemFileBuffer> file_;
};

class QelMemFileRemover : public QelFileRemover {
public:
    explicit QelMemFileRemover(const char *name);
    // Takes the name out of the directory: 1 when the file was freed, 0 when it is still
    // open (it is freed when its stream closes) or unknown.
    int remove() override;

private:
    std::string name_;
};
