// Part-file streams over memory for the fuzz targets: a reader of the fuzzer's bytes and a
// writer collecting what a part writes back.
#pragma once

#include <kivctrl/kivctrl.h>

#include <cstdint>
#include <string>

namespace kivfuzz {

class BytesReader : public QelFileReaderImp {
public:
    BytesReader(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}
    int readch() override
    {
        if (pos_ == size_) {
            err_ = -1;
            return -1;
        }
        return data_[pos_++];
    }
    int unreadch(int c) override { return pos_ > 0 && c >= 0 ? (--pos_, c) : -1; }
    bool iseof() override { return pos_ == size_; }
    int seek(long, Origin) override { return -1; }
    long tell() override { return static_cast<long>(pos_); }

private:
    const std::uint8_t *data_;
    std::size_t size_, pos_ = 0;
};

class BytesWriter : public QelFileWriterImp {
public:
    int write(const unsigned short *) override { return err_ = 1; }
    int write(const char *s) override { return bytes += s, 0; }
    int write(unsigned short c) override { return write(static_cast<char>(c)); }
    int write(char c) override { return bytes += c, 0; }
    unsigned long writeb(const char *buf, unsigned long n) override { return bytes.append(buf, n), n; }
    std::string bytes;
};

} // namespace kivfuzz
