// Reading the text part format into a fresh object.
#include "formats/kvg_lexer.h"
#include "formats/part_file.h"

#include "graphics/gs_primitive.h"

#include <algorithm>
#include <climits>
#include <strings.h>

namespace {

// Room reserved ahead from a count in the file: the file may lie about its size.
constexpr long long kReserveLimit = 1 << 16;

void read_bounds(KvgLexer &in, GSpolylist &list)
{
    float b[6];
    for (float &v : b)
        v = in.real("bounds");
    part_set_bounds(list, b);
}

void read_triples(KvgLexer &in, std::vector<float> &out, const char *count_name, const char *item)
{
    const long long n = in.integer(count_name, 0, INT_MAX);
    out.clear();
    out.reserve(3 * static_cast<size_t>(std::min(n, kReserveLimit)));
    for (long long i = 0; i < 3 * n; ++i)
        out.push_back(in.real(item));
}

int kind_of(KvgLexer &in, const std::string &keyword)
{
    for (int kind = GS_POINTS; kind <= GS_POLYGON; ++kind)
        if (strcasecmp(keyword.c_str(), gs_kind_keyword(kind)) == 0)
            return kind;
    in.fail(KvgLexer::shown(keyword) + " is not a polygon keyword");
}

void read_polygon(KvgLexer &in, GSsubmesh &group, size_t nv, size_t nn)
{
    const int kind = kind_of(in, in.keyword_line("polygon keyword"));
    float color[3];
    for (float &c : color)
        c = in.real("colour");
    const long long n = in.integer("corner count", 0, INT_MAX);
    if (const std::string fault = part_record_fault(kind, static_cast<size_t>(n)); !fault.empty())
        in.fail(fault);
    GSpoly *poly = group.append(kind, static_cast<size_t>(std::min(n, kReserveLimit)));
    std::copy(color, color + 3, poly->color);
    group.reindex(poly);
    for (long long i = 0; i < n; ++i) {
        GScorner c;
        c.vertex = static_cast<int>(in.integer("vertex index", INT_MIN, INT_MAX));
        c.normal = static_cast<int>(in.integer("normal index", INT_MIN, INT_MAX));
        if (const std::string fault = part_corner_fault(c, nv, nn); !fault.empty())
            in.fail(fault);
        poly->corners.push_back(c);
    }
    GSpoly_close(poly);
}

void read_face_group(KvgLexer &in, ADT_Object &obj)
{
    GSsubmesh &group = part_add_face_group(obj);
    read_bounds(in, group);
    const long long records = in.integer("polygon record count", 0, INT_MAX);
    in.integer("primitive count", LLONG_MIN, LLONG_MAX);
    const GSmesh &mesh = *obj.mesh;
    for (long long i = 0; i < records; ++i)
        read_polygon(in, group, mesh.vertexcount(), mesh.normalcount());
    group.recount();
}

} // namespace

void kvg_read(ADT_Object &obj, QelFileReader &reader)
{
    KvgLexer in(reader);
    in.header();
    GSmesh &mesh = *obj.mesh;
    read_bounds(in, mesh);
    // The mesh keeps its midpoint at the centre of its bounds, so the stored one is passed over.
    for (int i = 0; i < 3; ++i)
        in.real("midpoint");
    read_triples(in, mesh.vertices, "vertex count", "vertex");
    read_triples(in, mesh.normals, "normal count", "normal");
    const long long groups = in.integer("face group count", 0, INT_MAX);
    in.integer("polygon record count", LLONG_MIN, LLONG_MAX);
    in.integer("primitive count", LLONG_MIN, LLONG_MAX);
    for (long long i = 0; i < groups; ++i)
        read_face_group(in, obj);
    in.end();
}
