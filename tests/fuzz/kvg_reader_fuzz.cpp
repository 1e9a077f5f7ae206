// The text part reader on arbitrary bytes: it must reject the data or give an object whose
// corners all index its arrays, and whatever it accepts must write out and read back; after
// one more cycle (which settles colours rounded to six digits) the text no longer changes.
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

kiv::fuzz::Seeds seeds()
{
    const std::string triangle = "KVG Version 1.2\n0 0 0 1 1 0\n0.5 0.5 0\n3\n0 0 0\n1 0 0\n0 1 0\n1\n0 0 1\n"
                                 "1 1 1\n0 0 0 1 1 0\n1 1\nTRIANGLES\n1 1 1\n3\n0 0\n1 0\n2 0\n";
    std::string crlf;
    for (char c : triangle)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::string groups =
        "KVG Version 1.1\n-1 -2 -3 4 5 6\n1.5 1.5 1.5\n5\n-1 -2 -3\n4 5 6\n1e-3 2.5e+2 -0\n0 0 0\n1 1 1\n2\n"
        "0 1 0\n0.6 -0.8 0\n3 9 12\n-1 -2 -3 4 5 6\n4 7\nPOLYGON\n0.25 0.5 0.75\n5\n0 0\n1 1\n2 -1\n3 0\n4 1\n"
        "QUAD_STRIP\n1 0 0\n6\n0 0\n1 0\n2 0\n3 0\n4 0\n0 0\nLINES\n0 0 1\n2\n0 -1\n4 -1\nlines\n0 0 1\n2\n1 -1\n3 -1\n"
        "0 0 0 1 1 1\n0 0\n1e38 1e38 1e38 -1e38 -1e38 -1e38\n1 1\nTRIANGLE_FAN\n1 1 1\n4\n0 1\n1 1\n2 1\n3 1\n";
    return {triangle, crlf, groups};
}
KIV_FUZZ_SEEDS(seeds);

Object read(const std::uint8_t *data, std::size_t size)
{
    BytesReader in(data, size);
    return Object(GSobject_read(in, GS_FILE_TEXT));
}

std::string write(GSobject *obj)
{
    BytesWriter out;
    check(kvg_write(static_cast<ADT_Object &>(*obj), out));
    return out.bytes;
}

std::string cycle(const std::string &text)
{
    const Object obj = read(reinterpret_cast<const std::uint8_t *>(text.data()), text.size());
    check(obj != nullptr);
    return write(obj.get());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const Object obj = read(data, size);
    if (!obj)
        return 0;
    check_corners(obj.get());
    const std::string settled = cycle(write(obj.get()));
    check(cycle(settled) == settled);
    return 0;
}
