// Arbitrary bytes through both facet readers. The text reader must give the same answer
// whether the input comes whole or in two pieces cut after white space; the binary reader
// must refuse any input whose size does not match its count and otherwise give one triangle
// per record.
#include <kivctrl/gsobject.h>

#include "formats/stl_binary.h"
#include "formats/stl_text.h"
#include "fuzz/seeds.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

void check(bool ok)
{
    if (!ok) __builtin_trap();
}

std::string binary(uint32_t count, uint16_t attribute)
{
    std::string out = "solid binary";
    out.resize(80, ' ');
    out.append(reinterpret_cast<const char *>(&count), 4);
    for (uint32_t i = 0; i < count; ++i) {
        const float r[12] = {0, 0, 1, 0, 0, float(i), 1, 0, float(i), 0, 1, float(i)};
        out.append(reinterpret_cast<const char *>(r), sizeof r);
        out.append(reinterpret_cast<const char *>(&attribute), 2);
    }
    return out;
}

kiv::fuzz::Seeds seeds()
{
    return {
        "solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\nendloop\nendfacet\nendsolid t\n",
        "solid p\ncolor 1 0 0\nfacet\nnormal 0 0 2\nnormal 1 0 0\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 1 1 0\n"
        "vertex 0 1e-3 -2.5E+1\nendloop\nend facet\ncolor .5 0.25 1\nfacet normal 0 0 0\nouter loop\nvertex 0 0 0\n"
        "vertex 1 0 0\nvertex 1 1 0\nendloop\nendfacet\nend solid\nsolid two\nendsolid\n",
        "SOLID U\r\n FACET NORMAL 0 0 1\r\n OUTER LOOP\r\n VERTEX 1 2 3\r\n VERTEX 4 5 6\r\n VERTEX 7 8 9\r\n ENDLOOP\r\n"
        " ENDFACET\r\nENDSOLID\r\n",
        binary(2, 0),
        binary(3, 0x2020),
    };
}
KIV_FUZZ_SEEDS(seeds);

int primitives(const kiv::formats::FacetRead &r)
{
    return r.object ? GSobject_npolys(r.object.get()) : -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace kiv::formats;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const FacetDialect dialect = size % 2 ? FacetDialect::slp : FacetDialect::stl;
    const FacetRead whole = read_facet_text(text, dialect);
    check(whole.object || !whole.error.empty());

    const size_t cut = text.substr(0, size / 2).find_last_of(" \t\n\r\v\f");
    if (cut != std::string_view::npos) {
        FacetTextReader pieces(dialect);
        if (pieces.feed(text.substr(0, cut + 1))) pieces.feed(text.substr(cut + 1));
        const FacetRead split = pieces.finish();
        check(primitives(split) == primitives(whole));
    }

    const FacetRead bin = read_stl_binary({data, size});
    uint32_t count = 0;
    if (size >= 84) std::memcpy(&count, data + 80, 4);
    if (bin.object) check(stl_binary_size_matches(count, size) && primitives(bin) == int(count));
    else check(!bin.error.empty());
    return 0;
}
