// Writing the text part format.
#include "formats/part_file.h"

#include "graphics/gs_primitive.h"

#include <kivctrl/qel_stream.h>

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace {

// Text is gathered in blocks; numbers are formatted without the locale, so a host that sets
// a decimal comma still writes files every reader accepts.
class KvgOutput {
public:
    explicit KvgOutput(QelFileWriter &out) : out_(out) { buf_.reserve(kBlock + 256); }

    KvgOutput &operator<<(std::string_view s)
    {
        buf_ += s;
        spill();
        return *this;
    }
    KvgOutput &operator<<(float v) { return number(v); }
    KvgOutput &operator<<(long long v) { return number(v); }
    KvgOutput &operator<<(int v) { return number(static_cast<long long>(v)); }
    KvgOutput &operator<<(size_t v) { return number(static_cast<long long>(v)); }

    // Numbers separated by single spaces, then a line feed.
    template <class... T> void line(const T &...v)
    {
        const char *sep = "";
        ((*this << sep << v, sep = " "), ...);
        *this << "\n";
    }

    // False when the stream reported an error at any point.
    bool finish()
    {
        flush();
        return ok_;
    }

private:
    static constexpr size_t kBlock = 1 << 16;

    template <class T> KvgOutput &number(T v)
    {
        char text[32];
        std::to_chars_result r;
        if constexpr (std::is_floating_point_v<T>)
            r = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 6);
        else
            r = std::to_chars(text, text + sizeof text, v);
        buf_.append(text, r.ptr);
        return *this;
    }

    void spill()
    {
        if (buf_.size() >= kBlock)
            flush();
    }

    void flush()
    {
        if (buf_.empty())
            return;
        out_.write(buf_.c_str());
        ok_ = ok_ && out_.error() == 0;
        buf_.clear();
    }

    QelFileWriter &out_;
    std::string buf_;
    bool ok_ = true;
};

// The box of the vertices the list's corners use (all vertices for the mesh itself), as the
// reader will take it: an empty box is the point (0, 0, 0).
void write_bounds(KvgOutput &out, const GSmesh &mesh, const GSpolylist *corners_of)
{
    float b[6] = {1.0e38f, 1.0e38f, 1.0e38f, -1.0e38f, -1.0e38f, -1.0e38f};
    const size_t nv = mesh.vertexcount();
    auto add = [&](size_t v) {
        for (int i = 0; i < 3; ++i) {
            b[i] = std::min(b[i], mesh.vertices[3 * v + i]);
            b[i + 3] = std::max(b[i + 3], mesh.vertices[3 * v + i]);
        }
    };
    if (!corners_of) {
        for (size_t v = 0; v < nv; ++v)
            add(v);
    } else {
        for (const GSpoly &p : corners_of->polys)
            for (const GScorner &c : p.corners)
                if (c.vertex >= 0 && static_cast<size_t>(c.vertex) < nv)
                    add(static_cast<size_t>(c.vertex));
    }
    if (b[0] > b[3])
        std::fill(b, b + 6, 0.0f);
    out.line(b[0], b[1], b[2], b[3], b[4], b[5]);
    // Halves first: the sum of two large bounds would overflow.
    if (!corners_of)
        out.line(0.5f * b[0] + 0.5f * b[3], 0.5f * b[1] + 0.5f * b[4], 0.5f * b[2] + 0.5f * b[5]);
}

void write_triples(KvgOutput &out, const std::vector<float> &v)
{
    out.line(v.size() / 3);
    for (size_t i = 0; i + 2 < v.size(); i += 3)
        out.line(v[i], v[i + 1], v[i + 2]);
}

int primitive_total(const GSpolylist &list)
{
    int n = 0;
    for (const GSpoly &p : list.polys)
        n += gs_primitive_count(p.kind, static_cast<int>(p.corners.size()));
    return n;
}

void write_group(KvgOutput &out, const GSmesh &mesh, const GSpolylist &group)
{
    write_bounds(out, mesh, &group);
    out.line(group.polys.size(), primitive_total(group));
    const size_t nn = mesh.normalcount();
    for (const GSpoly &p : group.polys) {
        out << gs_kind_keyword(p.kind) << "\n";
        out.line(p.color[0], p.color[1], p.color[2]);
        out.line(p.corners.size());
        for (const GScorner &c : p.corners) {
            // The placeholder normal of a vertex added without one is not a direction.
            const bool given = c.normal >= 0 && static_cast<size_t>(c.normal) < nn &&
                               mesh.normals[3 * static_cast<size_t>(c.normal)] < GS_NO_NORMAL;
            out.line(c.vertex, given ? c.normal : -1);
        }
    }
}

} // namespace

bool kvg_write(ADT_Object &obj, QelFileWriter &w)
{
    const GSmesh &mesh = *obj.mesh;
    KvgOutput out(w);
    out << "KVG Version 1.2\n";
    write_bounds(out, mesh, nullptr);
    write_triples(out, mesh.vertices);
    write_triples(out, mesh.normals);
    // Polygons of the object's own come first, as a face group of their own.
    std::vector<const GSpolylist *> groups;
    if (!mesh.polys.empty())
        groups.push_back(&mesh);
    groups.insert(groups.end(), mesh.facegroups.begin(), mesh.facegroups.end());
    size_t records = 0;
    int primitives = 0;
    for (const GSpolylist *g : groups) {
        records += g->polys.size();
        primitives += primitive_total(*g);
    }
    out.line(groups.size(), records, primitives);
    for (const GSpolylist *g : groups)
        write_group(out, mesh, *g);
    return out.finish();
}
