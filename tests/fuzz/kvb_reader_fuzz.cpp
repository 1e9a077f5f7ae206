// The binary part reader on arbitrary bytes: it must reject the data or give an object whose
// corners all index its arrays; whatever it accepts writes out and reads back, and after that
// one cycle the bytes no longer change.
#include <kivctrl/kivctrl.h>

#include "formats/part_file.h"
#include "fuzz/part_fuzz.h"
#include "fuzz/seeds.h"

#include <cstdint>
#include <memory>
#include <string>

namespace {

using kivfuzz::BytesReader;
using kivfuzz::BytesWriter;
using kivfuzz::check;
using kivfuzz::check_corners;
using kivfuzz::Object;

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
