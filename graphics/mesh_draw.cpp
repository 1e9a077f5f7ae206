#include "graphics/draw.h"

#include "graphics/gs_object.h"
#include "graphics/gs_winding.h"
#include "graphics/texture_coords.h"
#include "graphics/texture_record.h"
#include "graphics/universe.h"
#include "graphics/viewpoint.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

// The line object's type: never culled or replaced by a box.
constexpr int kLineObject = 9;

// The bounding box as six quads with normals pointing out from the centre to each corner.
void solid_box(const float *b)
{
    const float c[3] = {(b[0] + b[3]) / 2, (b[1] + b[4]) / 2, (b[2] + b[5]) / 2};
    static const int faces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                    {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    glBegin(GL_QUADS);
    for (const auto &f : faces) {
        for (int k : f) {
            const float p[3] = {k & 4 ? b[3] : b[0], k & 2 ? b[4] : b[1], k & 1 ? b[5] : b[2]};
            float n[3] = {p[0] - c[0], p[1] - c[1], p[2] - c[2]};
            float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            if (len == 0.0f)
                len = 0.00001f;
            glNormal3f(n[0] / len, n[1] / len, n[2] / len);
            glVertex3fv(p);
        }
    }
    glEnd();
}

bool is_list_kind(int kind)
{
    return kind == GS_POINTS || kind == GS_LINES || kind == GS_TRIANGLES || kind == GS_QUADS;
}

// The normals a record's corners are drawn with when they have none of their own: surface
// corners are lit by their primitive's winding rather than by whatever normal came before.
// Worked out for a record when its first corner without a normal is met.
class Fallback {
public:
    const float *at(const GSpoly &poly, size_t k, const float *vertices)
    {
        if (poly.kind < GS_TRIANGLES)
            return nullptr;
        if (poly_ != &poly) {
            gs_winding_normals(poly, vertices, normals_);
            poly_ = &poly;
        }
        return &normals_[3 * k];
    }

private:
    const GSpoly *poly_ = nullptr;
    std::vector<float> normals_;
};

// Emits corner k of a record: its normal when it differs from the last one sent (or the
// fallback normal when it has none), then its position.
inline void corner(const GSpoly &poly, size_t k, const float *vertices, const float *normals, Fallback &fallback,
                   GSrendercontext &ctx)
{
    const GScorner &c = poly.corners[k];
    if (c.normal >= 0) {
        if (c.normal != ctx.lastnormal) {
            glNormal3fv(normals + 3 * c.normal);
            ctx.lastnormal = c.normal;
        }
    } else if (const float *f = fallback.at(poly, k, vertices)) {
        glNormal3fv(f);
        ctx.lastnormal = -1;
    }
    glVertex3fv(vertices + 3 * c.vertex);
}

// Strips, fans, quads and polygons as separate triangles, for renderers that need them and
// for coordinates computed per corner of each triangle (tex not null).
void decomposed(const GSpoly &poly, const float *v, const float *n, Fallback &fallback, GSrendercontext &ctx,
                const GStexture *tex)
{
    const int count = static_cast<int>(poly.corners.size());
    auto tri = [&](int a, int b, int c) {
        const auto &k = poly.corners;
        if (tex) {
            const float *const p[3] = {v + 3 * k[a].vertex, v + 3 * k[b].vertex, v + 3 * k[c].vertex};
            float st[3][2];
            GStexture_trianglecoords(*tex, p, st);
            glTexCoord2fv(st[0]);
            corner(poly, size_t(a), v, n, fallback, ctx);
            glTexCoord2fv(st[1]);
            corner(poly, size_t(b), v, n, fallback, ctx);
            glTexCoord2fv(st[2]);
            corner(poly, size_t(c), v, n, fallback, ctx);
            return;
        }
        corner(poly, size_t(a), v, n, fallback, ctx);
        corner(poly, size_t(b), v, n, fallback, ctx);
        corner(poly, size_t(c), v, n, fallback, ctx);
    };
    switch (poly.kind) {
    case GS_TRIANGLES:
        for (int i = 0; i + 2 < count; i += 3)
            tri(i, i + 1, i + 2);
        break;
    case GS_TRIANGLE_STRIP:
        for (int a = 0; a + 2 < count; ++a)
            a % 2 ? tri(a + 1, a, a + 2) : tri(a, a + 1, a + 2);
        break;
    case GS_QUADS:
        for (int i = 0; i + 3 < count; i += 4)
            tri(i, i + 1, i + 2), tri(i, i + 2, i + 3);
        break;
    case GS_QUAD_STRIP:
        for (int i = 0; i + 3 < count; i += 2)
            tri(i, i + 1, i + 3), tri(i, i + 3, i + 2);
        break;
    default: // fans and polygons turn around corner 0
        for (int i = 1; i + 1 < count; ++i)
            tri(0, i, i + 1);
        break;
    }
}

void records(GSpolylist *list, GSmesh *mesh, bool polycolors, float alpha, GSrendercontext &ctx)
{
    const float *v = mesh->vertices.data();
    const float *n = mesh->normals.data();
    ctx.begin_primitive(GL_TRIANGLES);
    ctx.lastnormal = -1;
    const float *previous = nullptr;
    const GStexture *tex = ctx.bound_texture();
    const bool generated = tex && tex->generates();
    const GStexture *computed = tex && tex->computed() ? tex : nullptr;
    Fallback fallback;
    for (GSpoly &poly : list->polys) {
        if (polycolors && (!previous || std::memcmp(previous, poly.color, sizeof poly.color) != 0)) {
            const float rgba[4] = {poly.color[0], poly.color[1], poly.color[2], alpha};
            ctx.send_color(rgba);
            previous = poly.color;
        }
        const bool split = (!ctx.oxygenworkaround || generated) && poly.kind >= GS_TRIANGLES;
        if (split) {
            ctx.begin_primitive(GL_TRIANGLES);
            decomposed(poly, v, n, fallback, ctx, computed);
            continue;
        }
        ctx.begin_primitive(static_cast<GLenum>(poly.kind));
        for (size_t k = 0; k < poly.corners.size(); ++k)
            corner(poly, k, v, n, fallback, ctx);
        // Connected kinds must not run into the next record.
        if (!is_list_kind(poly.kind))
            ctx.end_primitive();
    }
    ctx.end_primitive();
    ctx.currentprimitive = GL_TRIANGLES;
}

// Whether a list can be replayed from a display list: no lines or points, whose lighting
// switches depend on the state around them.
bool listable(const GSpolylist *list)
{
    for (const GSpoly &poly : list->polys) {
        if (poly.kind < GS_TRIANGLES)
            return false;
    }
    return true;
}

} // namespace

void GSdraw_mesh(GSpolylist *list, int objecttype, GSrendercontext &ctx, const GSaffine &world,
                 const std::shared_ptr<GSmesh> *owner)
{
    GSmesh *mesh = list->vertexmesh();
    if (!mesh || list->polys.empty())
        return;
    const bool polycolors = !ctx.hascolor();
    mesh->usepolycolors = polycolors;
    if (objecttype != kLineObject) {
        float mid[3];
        world.apply(list->midpoint, mid);
        const float r2 = list->radiussquared;
        const bool envelopes = ctx.onlyenvelopes > 0;
        if (GSviewpoint_sizetest(r2, mid, envelopes ? 9.0f : 4.0f))
            return;
        if (GSviewpoint_sizetest(r2, mid, envelopes ? 400.0f : 25.0f)) {
            solid_box(list->bounds);
            return;
        }
    }
    const float alpha = ctx.combined_opacity();
    const GStexture *tex = ctx.bound_texture();
    // Computed coordinates depend on each object's grid frame while instances share meshes.
    if (!owner || !GSuniverse_record().displaylists || !listable(list) || (tex && tex->computed())) {
        records(list, mesh, polycolors, alpha, ctx);
        return;
    }
    // One list per mesh and colour variant: polygon colours carry the opacity in force.
    unsigned variant = ~0u;
    if (polycolors)
        std::memcpy(&variant, &alpha, sizeof variant);
    variant ^= ctx.oxygenworkaround ? 0u : 0x80000000u;
    variant ^= tex && tex->generates() ? 0x40000000u : 0u;
    const size_t stamp = mesh->vertices.size() * 31 + static_cast<size_t>(list->primitivecount);
    GLuint id = ctx.cached_list(list, variant, stamp, *owner);
    if (!id) {
        id = glGenLists(1);
        glNewList(id, GL_COMPILE);
        ctx.forget_color(); // the list must carry its own first colour
        records(list, mesh, polycolors, alpha, ctx);
        glEndList();
        ctx.store_list(list, variant, stamp, *owner, id);
    }
    glCallList(id);
    // The list may have sent colours and normals the mirror does not know about.
    ctx.forget_color();
    ctx.lastnormal = -1;
}
