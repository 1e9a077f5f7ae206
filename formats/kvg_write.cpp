// Writing the text part format.
#include "formats/part_file.h"
#include "formats/part_text_output.h"

#include "graphics/gs_primitive.h"

#include <kivctrl/qel_stream.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace {

using KvgOutput = PartTextOutput;

void write_bounds(KvgOutput &out, const GSmesh &mesh, const GSpolylist *corners_of)
{
    const std::array<float, 6> b = part_bounds(mesh, corners_of);
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
