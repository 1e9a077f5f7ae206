// Reading back the objects the facet loaders make, and writing small STL files.
#pragma once

#include <kivctrl/gsobject.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace kivtest {

struct Corner {
    std::array<float, 3> position;
    std::array<float, 3> normal;
    bool hasnormal;
};

struct Primitive {
    std::vector<Corner> corners;
    std::array<float, 3> color;
};

// Every primitive of an object with its corners and colour, in iteration order.
inline std::vector<Primitive> primitives(GSobject *obj)
{
    std::vector<Primitive> out;
    GSpolygon p;
    for (bool more = GSobject_firstpoly(obj, p); more; more = GSpolygon_nextpoly(p, p)) {
        Primitive prim;
        GSpolygon_getcolor(p, prim.color[0], prim.color[1], prim.color[2]);
        for (int c = 0; c < GSpolygon_nvertices(p); ++c) {
            GSvertex v = GSpolygon_getvertex(p, c);
            Corner corner{};
            GSvertex_getposition(&v, corner.position.data(), GS_FRAME_LOCAL);
            corner.hasnormal = GSvertex_getnormal(&v, corner.normal.data(), GS_FRAME_LOCAL);
            prim.corners.push_back(corner);
        }
        out.push_back(prim);
    }
    return out;
}

struct Facet {
    std::array<float, 3> normal;
    std::array<std::array<float, 3>, 3> v;
};

// A binary STL file: the header text padded to 80 bytes, the count, the records, each with
// the given attribute bytes.
inline std::string binary_stl(const std::string &header, const std::vector<Facet> &facets, uint16_t attribute = 0,
                              uint32_t count = UINT32_MAX)
{
    std::string out = header;
    out.resize(80, ' ');
    if (count == UINT32_MAX) count = static_cast<uint32_t>(facets.size());
    auto put32 = [&out](uint32_t u) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(u >> (8 * i)));
    };
    auto putf = [&put32](float f) {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        put32(u);
    };
    put32(count);
    for (const Facet &f : facets) {
        for (float x : f.normal) putf(x);
        for (const auto &v : f.v)
            for (float x : v) putf(x);
        out.push_back(static_cast<char>(attribute & 0xff));
        out.push_back(static_cast<char>(attribute >> 8));
    }
    return out;
}

}  // namespace kivtest
