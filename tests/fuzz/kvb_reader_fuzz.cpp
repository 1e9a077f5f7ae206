// The binary part reader on arbitrary bytes: it must reject the data or give an object whose
// corners all index its arrays; whatever it accepts writes out and reads back, and after that
// one cycle the bytes no longer change.
#include <kivctrl/kivctrl.h>

#include "formats/part_file.h"
#include "fuzz/seeds.h"

#include <cstdint>
#include <memory>
#include <string>

namespace {

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
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

struct Deleter {
    void operator()(GSobject *o) const { GSobject_delete(o); }
};
using Object = std::unique_ptr<GSobject, Deleter>;

Object read(const std::string &bytes)
{
    BytesReader in(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
    return Object(GSobject_read(in, GS_FILE_BINARY));
}

std::string write(GSobject *obj)
{
    BytesWriter out;
    check(kvb_write(static_cast<ADT_Object &>(*obj), out));
    return out.bytes;
}

kiv::fuzz::Seeds seeds()
{
    Object obj(GSobject_begin());
    float corners[5][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5f, 0.5f, 1}};
    for (int i = 0; i < 5; ++i) {
        GSvertex v = GSvertex_new(corners[i]);
        if (i != 4) {
            float up[3] = {0, 0, 1};
            GSvertex_setnormal(&v, up);
        }
        GSobject_addvertex(obj.get(), &v);
    }
    GSpoly *quad = GSpoly_begin(obj.get());
    for (int i = 0; i < 4; ++i)
        GSpoly_addvertex(quad, i);
    GSpoly_close(quad);
    GSobject *face = GSface_begin();
    GSface_attach(obj.get(), face);
    GSpoly *fan = GSpoly_begintrifan(face, 5);
    for (int i : {4, 0, 1, 2, 3})
        GSpoly_addvertex(fan, i);
    GSpoly_setcolor(fan, 1, 0.5f, 0);
    GSpoly_close(fan);
    GSobject_close(obj.get(), 0.0f);
    const std::string v2 = write(obj.get());
    // Version 1: a point of one vertex without normal, in doubles.
    std::string v1("\x11GVK\x20\0\0\x20", 8);
    v1 += std::string(72, '\0');
    v1 += std::string("\x01\0\0\0", 4) + std::string(24, '\0') + std::string(4, '\0');
    v1 += std::string("\x01\0\0\0\x01\0\0\0\x01\0\0\0", 12) + std::string(48, '\0');
    v1 += std::string("\x01\0\0\0\x01\0\0\0", 8) + std::string(4, '\0') + std::string(12, '\0');
    v1 += std::string("\x01\0\0\0\0\0\0\0\xff\xff\xff\xff", 12);
    return {v2, v1};
}
KIV_FUZZ_SEEDS(seeds);

void check_corners(GSobject *obj)
{
    const GSmesh &mesh = *static_cast<ADT_Object &>(*obj).mesh;
    check(mesh.polys.empty());
    for (const GSsubmesh *group : mesh.facegroups)
        for (const GSpoly &p : group->polys)
            for (const GScorner &c : p.corners)
                check(part_corner_fault(c, mesh.vertexcount(), mesh.normalcount()).empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const Object obj = read(std::string(reinterpret_cast<const char *>(data), size));
    if (!obj)
        return 0;
    check_corners(obj.get());
    const Object once = read(write(obj.get()));
    check(once != nullptr);
    const std::string settled = write(once.get());
    const Object twice = read(settled);
    check(twice != nullptr);
    check(write(twice.get()) == settled);
    return 0;
}
