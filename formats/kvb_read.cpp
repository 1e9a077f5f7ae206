// Reading the binary part format, versions 1 and 2, into a fresh object.
//
// Every count in the file is checked against the bytes that are really there before it
// sizes anything: a block must hold exactly what its counts say, and loops end at the end
// of the data, so a damaged file fails instead of allocating or looping on its word.
#include "formats/kvb_format.h"
#include "formats/part_file.h"

#include <kivctrl/gs_normal_code.h>
#include <kivctrl/qel_block_stream.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// Room reserved ahead from a count in a version-1 file, which has no block sizes to check.
constexpr size_t kReserveLimit = 1 << 16;

[[noreturn]] void fail(const std::string &why)
{
    throw PartFileError(why);
}

// Exactly n bytes from in, or the read fails naming what was cut short.
void take(QelFileReader &in, unsigned char *to, unsigned long n, const char *what)
{
    if (n && in.readb(reinterpret_cast<char *>(to), n) != n)
        fail(std::string("the file ends in the ") + what);
}

std::uint32_t u32(QelFileReader &in, const char *what)
{
    unsigned char b[4];
    take(in, b, 4, what);
    return kvb::get_u32(b);
}

float finite(double v, const char *what)
{
    if (!std::isfinite(v) || std::fabs(v) > 3.4028234e38)
        fail(std::string("a number in the ") + what + " is not finite");
    return static_cast<float>(v);
}

float f32(QelFileReader &in, const char *what)
{
    unsigned char b[4];
    take(in, b, 4, what);
    return finite(kvb::get_f32(b), what);
}

float f64(QelFileReader &in, const char *what)
{
    unsigned char b[8];
    take(in, b, 8, what);
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | b[i];
    double v;
    std::memcpy(&v, &bits, 8);
    return finite(v, what);
}

// One compressed block, which must hold exactly `expected` bytes.
Bytes block(QelFileReader &in, unsigned long long expected, const char *what)
{
    ExplodingReader reader(&in);
    if (reader.error())
        fail(std::string("the ") + what + " block is damaged");
    const unsigned long held = reader.remaining();
    if (held != expected)
        fail(std::string("the ") + what + " block holds " + std::to_string(held) + " bytes instead of " +
             std::to_string(expected));
    Bytes data(held);
    reader.readb(reinterpret_cast<char *>(data.data()), held);
    return data;
}

void read_bounds(QelFileReader &in, GSpolylist &list, bool doubles)
{
    float b[6];
    for (float &v : b)
        v = doubles ? f64(in, "bounds") : f32(in, "bounds");
    part_set_bounds(list, b);
}

void set_normals_from_codes(GSmesh &mesh, const Bytes &codes)
{
    const size_t nn = codes.size() / 2;
    mesh.normals.resize(3 * nn);
    for (size_t i = 0; i < nn; ++i) {
        const auto code = static_cast<std::uint16_t>(codes[2 * i] | codes[2 * i + 1] << 8);
        if (code == 0)
            fail("normal " + std::to_string(i) + " has code 0, which is no direction");
        std::copy_n(GSnormal_decode(code), 3, &mesh.normals[3 * i]);
    }
}

// Kind, colour and corners go into a record of the group, which closes and may merge.
void add_record(GSsubmesh &group, const GSmesh &mesh, std::uint32_t kind, const float color[3],
                std::vector<GScorner> &&corners)
{
    if (kind > GS_POLYGON)
        fail("polygon kind " + std::to_string(kind) + " is not one of 0 to 9");
    if (const std::string fault = part_record_fault(static_cast<int>(kind), corners.size()); !fault.empty())
        fail(fault);
    const long long nv = static_cast<long long>(mesh.vertexcount()), nn = static_cast<long long>(mesh.normalcount());
    for (const GScorner &c : corners)
        if (c.vertex < 0 || c.vertex >= nv || c.normal < -1 || c.normal >= nn)
            fail(part_corner_fault(c, mesh.vertexcount(), mesh.normalcount()));
    GSpoly *poly = group.append(static_cast<int>(kind), 0);
    std::copy(color, color + 3, poly->color);
    group.reindex(poly);
    poly->corners = std::move(corners);
    GSpoly_close(poly);
}

std::uint32_t little(const unsigned char *p, int width)
{
    std::uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

void read_group_v2(QelFileReader &in, ADT_Object &obj)
{
    const GSmesh &mesh = *obj.mesh;
    GSsubmesh &group = part_add_face_group(obj);
    read_bounds(in, group, false);
    const std::uint32_t records = u32(in, "polygon record count");
    u32(in, "primitive count");
    const int wv = kvb::index_width(mesh.vertexcount()), wn = kvb::index_width(mesh.normalcount());
    const std::uint32_t none = wn == 4 ? 0xFFFFFFFFu : (1u << (8 * wn)) - 1;
    for (std::uint32_t r = 0; r < records; ++r) {
        unsigned char head[4];
        take(in, head, 4, "polygon record");
        const float color[3] = {head[1] / 255.0f, head[2] / 255.0f, head[3] / 255.0f};
        const std::uint32_t n = u32(in, "corner count");
        const Bytes data = block(in, static_cast<unsigned long long>(n) * static_cast<unsigned>(wv + wn), "corner");
        std::vector<GScorner> corners;
        corners.reserve(n);
        for (const unsigned char *at = data.data(); at != data.data() + data.size(); at += wv + wn) {
            const std::uint32_t normal = little(at + wv, wn);
            corners.push_back({static_cast<int>(little(at, wv)), normal == none ? -1 : static_cast<int>(normal)});
        }
        add_record(group, mesh, head[0], color, std::move(corners));
    }
    group.recount();
}

void read_body_v2(QelFileReader &file, ADT_Object &obj)
{
    ExplodingReader in(&file);
    if (in.error())
        fail("the body block is damaged");
    GSmesh &mesh = *obj.mesh;
    read_bounds(in, mesh, false);
    // The mesh keeps its midpoint at the centre of its bounds, so the stored one is passed over.
    for (int i = 0; i < 3; ++i)
        f32(in, "midpoint");
    const std::uint32_t nv = u32(in, "vertex count");
    if (nv > 0) {
        const Bytes data = block(in, 12ull * nv, "vertex");
        mesh.vertices.resize(3ull * nv);
        for (size_t i = 0; i < mesh.vertices.size(); ++i)
            mesh.vertices[i] = finite(kvb::get_f32(&data[4 * i]), "vertices");
    }
    const std::uint32_t nn = u32(in, "normal count");
    set_normals_from_codes(mesh, block(in, 2ull * nn, "normal code"));
    const std::uint32_t groups = u32(in, "face group count");
    u32(in, "polygon record count");
    u32(in, "primitive count");
    for (std::uint32_t g = 0; g < groups; ++g)
        read_group_v2(in, obj);
    if (!in.iseof())
        fail("unexpected data after the last face group");
}

void read_triples_v1(QelFileReader &in, std::vector<float> &out, const char *count_name, const char *item)
{
    const std::uint32_t n = u32(in, count_name);
    out.clear();
    out.reserve(3 * std::min<size_t>(n, kReserveLimit));
    for (unsigned long long i = 0; i < 3ull * n; ++i)
        out.push_back(f64(in, item));
}

void read_group_v1(QelFileReader &in, ADT_Object &obj)
{
    const GSmesh &mesh = *obj.mesh;
    GSsubmesh &group = part_add_face_group(obj);
    read_bounds(in, group, true);
    const std::uint32_t records = u32(in, "polygon record count");
    u32(in, "primitive count");
    for (std::uint32_t r = 0; r < records; ++r) {
        const std::uint32_t kind = u32(in, "polygon kind");
        unsigned char rgb[12];
        take(in, rgb, 12, "colour");
        const float color[3] = {finite(kvb::get_f32(rgb), "colour"), finite(kvb::get_f32(rgb + 4), "colour"),
                                finite(kvb::get_f32(rgb + 8), "colour")};
        const std::uint32_t n = u32(in, "corner count");
        std::vector<GScorner> corners;
        corners.reserve(std::min<size_t>(n, kReserveLimit));
        for (std::uint32_t i = 0; i < n; ++i) {
            const std::uint32_t v = u32(in, "corners");
            const std::uint32_t normal = u32(in, "corners");
            corners.push_back({static_cast<int>(v), normal == 0xFFFFFFFFu ? -1 : static_cast<int>(normal)});
        }
        add_record(group, mesh, kind, color, std::move(corners));
    }
    group.recount();
}

void read_body_v1(QelFileReader &in, ADT_Object &obj)
{
    GSmesh &mesh = *obj.mesh;
    read_bounds(in, mesh, true);
    for (int i = 0; i < 3; ++i)
        f64(in, "midpoint");
    read_triples_v1(in, mesh.vertices, "vertex count", "vertices");
    read_triples_v1(in, mesh.normals, "normal count", "normals");
    const std::uint32_t groups = u32(in, "face group count");
    u32(in, "polygon record count");
    u32(in, "primitive count");
    for (std::uint32_t g = 0; g < groups; ++g)
        read_group_v1(in, obj);
}

} // namespace

void kvb_read(ADT_Object &obj, QelFileReader &in)
{
    unsigned char head[4];
    if (in.readb(reinterpret_cast<char *>(head), 4) != 4 || !std::equal(kvb::kTag, kvb::kTag + 3, head + 1) ||
        (head[0] != kvb::kVersion1 && head[0] != kvb::kVersion2))
        fail("not a KVG binary part file");
    unsigned char word[4];
    take(in, word, 4, "header");
    if (head[0] == kvb::kVersion2)
        read_body_v2(in, obj);
    else
        read_body_v1(in, obj);
}
