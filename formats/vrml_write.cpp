// Exporting a part as VRML 1.0 or 2.0: one shape with the object's material, every vertex
// and normal, and the faces of every record as indexed triangles.
#include "formats/part_file.h"

#include <kivctrl/qel_stream.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Text gathered in blocks; numbers are formatted as "%g" without the locale.
class VrmlOutput {
public:
    explicit VrmlOutput(QelFileWriter &out) : out_(out) { buf_.reserve(kBlock + 256); }

    VrmlOutput &operator<<(std::string_view s)
    {
        buf_ += s;
        if (buf_.size() >= kBlock)
            flush();
        return *this;
    }
    VrmlOutput &operator<<(float v)
    {
        char text[32];
        const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 6);
        return *this << std::string_view(text, static_cast<size_t>(r.ptr - text));
    }
    VrmlOutput &operator<<(int v)
    {
        char text[16];
        const auto r = std::to_chars(text, text + sizeof text, v);
        return *this << std::string_view(text, static_cast<size_t>(r.ptr - text));
    }
    VrmlOutput &triple(const float *v) { return *this << v[0] << " " << v[1] << " " << v[2]; }

    bool finish()
    {
        flush();
        return ok_;
    }

private:
    static constexpr size_t kBlock = 1 << 16;

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

using Triangle = std::array<const GScorner *, 3>;

// The triangles of one record, in the order and winding each kind draws them; points and
// lines have no faces.
void add_triangles(const GSpoly &p, std::vector<Triangle> &out)
{
    const auto &c = p.corners;
    const int n = static_cast<int>(c.size());
    auto add = [&](int a, int b, int d) { out.push_back({&c[size_t(a)], &c[size_t(b)], &c[size_t(d)]}); };
    switch (p.kind) {
    case GS_TRIANGLES:
        for (int i = 0; i + 2 < n; i += 3)
            add(i, i + 1, i + 2);
        break;
    case GS_TRIANGLE_STRIP:
        for (int i = 0; i + 2 < n; ++i)
            i % 2 == 0 ? add(i, i + 1, i + 2) : add(i + 2, i + 1, i);
        break;
    case GS_TRIANGLE_FAN:
    case GS_POLYGON:
        for (int i = 1; i + 1 < n; ++i)
            add(0, i, i + 1);
        break;
    case GS_QUADS:
        for (int i = 0; i + 3 < n; i += 4) {
            add(i, i + 1, i + 2);
            add(i, i + 2, i + 3);
        }
        break;
    case GS_QUAD_STRIP:
        // Quad a is corners 2a, 2a+1, 2a+3, 2a+2 around its edge.
        for (int i = 0; i + 3 < n; i += 2) {
            add(i, i + 1, i + 3);
            add(i, i + 3, i + 2);
        }
        break;
    default:
        break;
    }
}

struct Export {
    const GSmesh &mesh;
    std::vector<Triangle> triangles;
    bool hasdiffuse = false;
    float diffuse[3] = {0.0f, 0.0f, 0.0f};
    float specular[3] = {0.2f, 0.2f, 0.2f};
    float shininess = 30.0f;
    // Every corner of every triangle has a normal; otherwise normals are left to the viewer,
    // since a -1 in the normal index would end the face early.
    bool normals = true;
};

Export gather(ADT_Object &obj)
{
    Export e{*obj.mesh, {}};
    const GSmesh &mesh = *obj.mesh;
    // The object's own records first, then every face group: a part read from a file holds
    // all its records in face groups.
    std::vector<const GSpolylist *> lists{&mesh};
    lists.insert(lists.end(), mesh.facegroups.begin(), mesh.facegroups.end());
    for (const GSpolylist *list : lists)
        for (const GSpoly &p : list->polys) {
            if (!e.hasdiffuse) {
                std::copy(p.color, p.color + 3, e.diffuse);
                e.hasdiffuse = true;
            }
            add_triangles(p, e.triangles);
        }
    const GScolorRGB color = GSobject_getcolor(&obj);
    if (color.r != -1.0f) {
        e.diffuse[0] = color.r, e.diffuse[1] = color.g, e.diffuse[2] = color.b;
        e.hasdiffuse = true;
    }
    if (const GSattribute *s = obj.attribute(GS_ATTR_SPECULAR))
        std::copy(s->value, s->value + 3, e.specular);
    if (const GSattribute *s = obj.attribute(GS_ATTR_SHININESS))
        e.shininess = s->value[0];
    const size_t nn = mesh.normalcount();
    for (const Triangle &t : e.triangles)
        for (const GScorner *c : t)
            if (c->normal < 0 || static_cast<size_t>(c->normal) >= nn ||
                !(mesh.normals[3 * static_cast<size_t>(c->normal)] < GS_NO_NORMAL))
                e.normals = false;
    return e;
}

void material_lines(VrmlOutput &out, const Export &e)
{
    if (e.hasdiffuse)
        out << "\t  diffuseColor ", out.triple(e.diffuse) << "\n";
    out << "\t  specularColor ", out.triple(e.specular) << "\n";
    out << "    shininess " << e.shininess / 128.0f << "\n";
}

void triple_lines(VrmlOutput &out, const std::vector<float> &v)
{
    for (size_t i = 0; i + 2 < v.size(); i += 3)
        out << "      ", out.triple(&v[i]) << ",\n";
}

void index_lines(VrmlOutput &out, const Export &e, bool normals)
{
    for (const Triangle &t : e.triangles) {
        out << "      ";
        for (const GScorner *c : t)
            out << (normals ? c->normal : c->vertex) << ",";
        out << "-1,\n";
    }
}

void head(VrmlOutput &out, const char *first)
{
    out << first << "\n#Generated by Kivora Version 5.0\n";
}

} // namespace

bool vrml1_write(ADT_Object &obj, QelFileWriter &w)
{
    const Export e = gather(obj);
    VrmlOutput out(w);
    head(out, "#VRML V1.0 ascii");
    out << "Separator {\n\n";
    if (e.normals)
        out << "  NormalBinding {\n" << "     value PER_VERTEX_INDEXED\n" << "  }\n";
    out << "  ShapeHints {\n" << "    shapeType SOLID\n" << "    vertexOrdering COUNTERCLOCKWISE\n" << "  }\n";
    out << "  Material {\n";
    material_lines(out, e);
    out << "  }\n";
    out << "  Coordinate3 {\n" << "    point [\n";
    triple_lines(out, e.mesh.vertices);
    out << "    ]\n" << "  }\n";
    if (e.normals) {
        out << "  Normal {\n" << "    vector [\n";
        triple_lines(out, e.mesh.normals);
        out << "    ]\n" << "  }\n";
    }
    out << "  IndexedFaceSet {\n" << "    coordIndex [\n";
    index_lines(out, e, false);
    out << "    ]\n";
    if (e.normals) {
        out << "    normalIndex [\n";
        index_lines(out, e, true);
        out << "    ]\n";
    }
    out << "  }\n" << "}\n";
    return out.finish();
}

bool vrml2_write(ADT_Object &obj, QelFileWriter &w)
{
    const Export e = gather(obj);
    VrmlOutput out(w);
    head(out, "#VRML V2.0 utf8");
    out << "Transform {\n" << "    children [\n" << "        Shape {\n" << "      appearance Appearance {\n"
        << "          material Material {\n";
    material_lines(out, e);
    out << "      }\n" << "  }\n";
    out << "  geometry IndexedFaceSet {\n" << "    coord Coordinate {\n" << "      point [\n";
    triple_lines(out, e.mesh.vertices);
    out << "      ]\n" << "    }\n";
    if (e.normals) {
        out << "  normal Normal {\n" << "    vector [\n";
        triple_lines(out, e.mesh.normals);
        out << "    ]\n" << "  }\n";
    }
    out << "    coordIndex [\n";
    index_lines(out, e, false);
    out << "    ]\n";
    if (e.normals) {
        out << "    normalIndex [\n";
        index_lines(out, e, true);
        out << "    ]\n";
    }
    out << "  }\n" << "        }\n" << "    ]\n" << "}\n";
    return out.finish();
}
