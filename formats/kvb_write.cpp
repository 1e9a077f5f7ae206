// Writing the binary part format, version 2: the header, then the body as one compressed
// block holding compressed blocks of vertices, normal codes and each record's corners.
#include "formats/kvb_format.h"
#include "formats/part_file.h"

#include "graphics/gs_primitive.h"

#include <kivctrl/gs_normal_code.h>
#include <kivctrl/qel_block_stream.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void add_u32(Bytes &b, std::uint32_t v)
{
    const size_t at = b.size();
    b.resize(at + 4);
    kvb::put_u32(&b[at], v);
}

void add_f32(Bytes &b, float v)
{
    const size_t at = b.size();
    b.resize(at + 4);
    kvb::put_f32(&b[at], v);
}

// Writes data as one compressed block of its own; false when the target reported an error.
bool put_block(QelFileWriter &to, const Bytes &data)
{
    ImplodingWriter block(&to, data.size());
    const auto n = static_cast<unsigned long>(data.size());
    const bool written = block.writeb(reinterpret_cast<const char *>(data.data()), n) == n;
    return block.close() == 0 && written;
}

bool put(QelFileWriter &to, const Bytes &data)
{
    const auto n = static_cast<unsigned long>(data.size());
    return to.writeb(reinterpret_cast<const char *>(data.data()), n) == n;
}

void add_bounds(Bytes &b, const GSmesh &mesh, const GSpolylist *corners_of)
{
    const std::array<float, 6> box = part_bounds(mesh, corners_of);
    for (float v : box)
        add_f32(b, v);
    if (!corners_of)
        for (int i = 0; i < 3; ++i)
            add_f32(b, 0.5f * box[i] + 0.5f * box[i + 3]);
}

// The 16-bit code of every normal; 0 where a normal has no direction (the placeholder of a
// vertex added without one, or a zero vector).
std::vector<std::uint16_t> normal_codes(const GSmesh &mesh)
{
    std::vector<std::uint16_t> codes(mesh.normalcount());
    for (size_t i = 0; i < codes.size(); ++i) {
        const float *n = &mesh.normals[3 * i];
        codes[i] = n[0] < GS_NO_NORMAL ? GSnormal_encode(n) : 0;
    }
    return codes;
}

unsigned char colour_byte(float c)
{
    const float scaled = c * 255.0f + 0.5f;
    return scaled >= 255.0f ? 255 : scaled > 0.0f ? static_cast<unsigned char>(scaled) : 0;
}

int primitive_total(const GSpolylist &list)
{
    int n = 0;
    for (const GSpoly &p : list.polys)
        n += gs_primitive_count(p.kind, static_cast<int>(p.corners.size()));
    return n;
}

class BodyWriter {
public:
    BodyWriter(const GSmesh &mesh, QelFileWriter &body)
        : mesh_(mesh), body_(body), codes_(normal_codes(mesh)), wv_(kvb::index_width(mesh.vertexcount())),
          wn_(kvb::index_width(mesh.normalcount()))
    {
    }

    bool write()
    {
        Bytes head;
        add_bounds(head, mesh_, nullptr);
        add_u32(head, static_cast<std::uint32_t>(mesh_.vertexcount()));
        bool ok = put(body_, head);
        if (mesh_.vertexcount() > 0) {
            Bytes vertices;
            vertices.reserve(4 * mesh_.vertices.size());
            for (float v : mesh_.vertices)
                add_f32(vertices, v);
            ok = put_block(body_, vertices) && ok;
        }
        Bytes codes;
        add_u32(codes, static_cast<std::uint32_t>(codes_.size()));
        ok = put(body_, codes) && ok;
        codes.clear();
        codes.reserve(2 * codes_.size());
        // A normal without a direction is never referenced (its corners store none), but
        // code 0 is outside the format, so it stands as the first table direction.
        for (std::uint16_t c : codes_) {
            const std::uint16_t stored = c ? c : 1;
            codes.push_back(static_cast<unsigned char>(stored));
            codes.push_back(static_cast<unsigned char>(stored >> 8));
        }
        ok = put_block(body_, codes) && ok;

        // Records of the object's own come first, as a face group of their own.
        std::vector<const GSpolylist *> groups;
        if (!mesh_.polys.empty())
            groups.push_back(&mesh_);
        groups.insert(groups.end(), mesh_.facegroups.begin(), mesh_.facegroups.end());
        size_t records = 0;
        int primitives = 0;
        for (const GSpolylist *g : groups) {
            records += g->polys.size();
            primitives += primitive_total(*g);
        }
        Bytes counts;
        add_u32(counts, static_cast<std::uint32_t>(groups.size()));
        add_u32(counts, static_cast<std::uint32_t>(records));
        add_u32(counts, static_cast<std::uint32_t>(primitives));
        ok = put(body_, counts) && ok;
        for (const GSpolylist *g : groups)
            ok = write_group(*g) && ok;
        return ok;
    }

private:
    bool write_group(const GSpolylist &group)
    {
        Bytes head;
        add_bounds(head, mesh_, &group);
        add_u32(head, static_cast<std::uint32_t>(group.polys.size()));
        add_u32(head, static_cast<std::uint32_t>(primitive_total(group)));
        bool ok = put(body_, head);
        for (const GSpoly &p : group.polys)
            ok = write_record(p) && ok;
        return ok;
    }

    bool write_record(const GSpoly &p)
    {
        Bytes head{static_cast<unsigned char>(p.kind), colour_byte(p.color[0]), colour_byte(p.color[1]),
                   colour_byte(p.color[2])};
        add_u32(head, static_cast<std::uint32_t>(p.corners.size()));
        bool ok = put(body_, head);
        Bytes corners(p.corners.size() * static_cast<size_t>(wv_ + wn_));
        unsigned char *at = corners.data();
        for (const GScorner &c : p.corners) {
            const bool given = c.normal >= 0 && static_cast<size_t>(c.normal) < codes_.size() &&
                               codes_[static_cast<size_t>(c.normal)] != 0;
            const auto v = static_cast<std::uint32_t>(c.vertex);
            const auto n = given ? static_cast<std::uint32_t>(c.normal) : 0xFFFFFFFFu;
            for (int i = 0; i < wv_; ++i)
                *at++ = static_cast<unsigned char>(v >> (8 * i));
            for (int i = 0; i < wn_; ++i)
                *at++ = static_cast<unsigned char>(n >> (8 * i));
        }
        return put_block(body_, corners) && ok;
    }

    const GSmesh &mesh_;
    QelFileWriter &body_;
    std::vector<std::uint16_t> codes_;
    int wv_, wn_;
};

// Bytes the body will take before compression, so its buffer is taken once.
unsigned long body_size(const GSmesh &mesh)
{
    const size_t width = static_cast<size_t>(kvb::index_width(mesh.vertexcount()) + kvb::index_width(mesh.normalcount()));
    size_t n = 64 + 8 + 12 * mesh.vertexcount() + 8 + 2 * mesh.normalcount();
    auto add = [&](const GSpolylist &list) {
        n += 32;
        for (const GSpoly &p : list.polys)
            n += 16 + width * p.corners.size();
    };
    add(mesh);
    for (const GSsubmesh *g : mesh.facegroups)
        add(*g);
    return static_cast<unsigned long>(n);
}

} // namespace

bool kvb_write(ADT_Object &obj, QelFileWriter &out)
{
    const GSmesh &mesh = *obj.mesh;
    Bytes header{kvb::kVersion2, static_cast<unsigned char>(kvb::kTag[0]), static_cast<unsigned char>(kvb::kTag[1]),
                 static_cast<unsigned char>(kvb::kTag[2])};
    add_u32(header, kvb::kHeaderWord);
    bool ok = put(out, header);
    ImplodingWriter body(&out, body_size(mesh));
    ok = BodyWriter(mesh, body).write() && ok;
    ok = body.close() == 0 && ok;
    return ok && out.error() == 0;
}
