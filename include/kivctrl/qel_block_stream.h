// Compressed blocks: a 4-byte little-endian text size T, a 4-byte stored size S, then either
// T bytes of text (when T < S) or S bytes of DCL-imploded data that explode to T bytes.
#pragma once

#include <kivctrl/qel_stream.h>

#include <vector>

// Reads one block from a source at once and then serves its text.
//
// error() is non-zero right after construction when the block is damaged (its sizes cannot
// be read, the stored text is short, the compressed data is corrupt or truncated, or it does
// not explode to exactly T bytes); the text recovered up to the damage can still be read,
// and the error value stays set. On a sound block the error value is 1 after a read past
// the end and 0 after every successful read. The source is left after the block's S (or T)
// bytes, so blocks can follow one another.
class ExplodingReader : public QelFileReaderImp {
public:
    // source is not owned and must outlive the constructor only.
    explicit ExplodingReader(QelFileReader *source);

    int readch() override;
    // Moves back by one; -1 at the start.
    int unreadch(int c) override;
    unsigned long readb(char *buf, unsigned long n) override;
    bool iseof() override;
    // Always -1: a block has no positions.
    int seek(long offset, Origin origin) override;
    long tell() override;
    // Bytes of text not yet read.
    unsigned long remaining() const { return static_cast<unsigned long>(buffer_.size()) - static_cast<unsigned long>(position_); }

private:
    void load();
    void explode_from_source();
    void fail() { damaged_ = true; err_ = 1; }

    QelFileReader *source_;
    std::vector<char> buffer_;
    int text_size_ = 0;   // T, as declared
    int position_ = 0;    // read position in buffer_
    int taken_ = 0;       // bytes taken from the source for the compressed data
    int produced_ = 0;    // bytes the decompressor produced
    int stored_size_ = 0; // S
    bool damaged_ = false;
};

// Collects everything written into memory and writes it as one block to a target when
// closed: compressed (binary literals, 4096-byte dictionary) when that is not longer than
// the text, otherwise as the text itself.
class ImplodingWriter : public QelFileWriterImp {
public:
    // target is not owned and must outlive the block's close. capacity is the expected
    // text size (the buffer grows beyond it as needed).
    ImplodingWriter(QelFileWriter *target, unsigned long capacity);
    // Closes the block when close() was not called.
    ~ImplodingWriter() override;
    ImplodingWriter(const ImplodingWriter &) = delete;
    ImplodingWriter &operator=(const ImplodingWriter &) = delete;

    // Write the block to the target; returns the error value (0 when the whole block was
    // written). Later writes fail.
    int close();

    // These return the error value: 0 on success, non-zero on failure. Wide characters
    // are stored as their low byte.
    int write(const unsigned short *s) override;
    int write(const char *s) override;
    int write(unsigned short c) override;
    int write(char c) override;
    unsigned long writeb(const char *buf, unsigned long n) override;

private:
    bool append(const char *data, unsigned long n);

    QelFileWriter *target_;
    std::vector<char> text_;
    bool closed_ = false;
};
