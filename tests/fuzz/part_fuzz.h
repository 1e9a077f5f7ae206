// What the part-file fuzz targets share: streams over memory (a reader of the fuzzer's bytes
// and a writer collecting what a part writes back), an owning object handle, and the checks.
#pragma once

#include <kivctrl/kivctrl.h>

#include "formats/part_file.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kivfuzz {

inline void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

struct Deleter {
    void operator()(GSobject *o) const { GSobject_delete(o); }
};
using Object = std::unique_ptr<GSobject, Deleter>;

// Every corner of a read part indexes its arrays, and its records all sit in face groups.
inline void check_corners(GSobject *obj)
{
    const GSmesh &mesh = *static_cast<ADT_Object &>(*obj).mesh;
    check(mesh.polys.empty());
    for (const GSsubmesh *group : mesh.facegroups)
        for (const GSpoly &p : group->polys)
            for (const GScorner &c : p.corners)
                check(part_corner_fault(c, mesh.vertexcount(), mesh.normalcount()).empty());
}

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
