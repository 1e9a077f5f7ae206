// Generated solids for the collision tests and benchmark: boxes, tessellated spheres, a solid
// shaft and a bored block, as vertex arrays with polygons, and as graphics objects.
#pragma once

#include <kivctrl/gsobject.h>

#include <cmath>
#include <vector>

struct Solid {
    std::vector<float> vertices;         // x, y, z per vertex
    std::vector<std::vector<int>> polys; // corner vertex indices

    int add(double x, double y, double z)
    {
        vertices.insert(vertices.end(), {float(x), float(y), float(z)});
        return int(vertices.size() / 3 - 1);
    }
    size_t triangle_count() const
    {
        size_t n = 0;
        for (const auto &p : polys) n += p.size() - 2;
        return n;
    }
};

// An axis-aligned box as six four-cornered polygons, wound outwards.
inline Solid box_solid(float x0, float y0, float z0, float x1, float y1, float z1)
{
    Solid s;
    for (int i = 0; i < 8; ++i) s.add(i & 1 ? x1 : x0, i & 2 ? y1 : y0, i & 4 ? z1 : z0);
    s.polys = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    return s;
}

// A sphere of slices x stacks quadrilaterals (triangles at the poles), each split in two.
inline Solid sphere_solid(double r, int slices, int stacks, double cx = 0, double cy = 0, double cz = 0)
{
    Solid s;
    const double pi = 3.14159265358979323846;
    const int top = s.add(cx, cy, cz + r);
    for (int i = 1; i < stacks; ++i) {
        const double phi = pi * i / stacks;
        for (int j = 0; j < slices; ++j) {
            const double th = 2 * pi * j / slices;
            s.add(cx + r * std::sin(phi) * std::cos(th), cy + r * std::sin(phi) * std::sin(th), cz + r * std::cos(phi));
        }
    }
    const int bottom = s.add(cx, cy, cz - r);
    auto at = [&](int ring, int j) { return 1 + ring * slices + (j % slices); };
    for (int j = 0; j < slices; ++j) {
        s.polys.push_back({top, at(0, j), at(0, j + 1)});
        s.polys.push_back({bottom, at(stacks - 2, j + 1), at(stacks - 2, j)});
    }
    for (int i = 0; i + 2 < stacks; ++i)
        for (int j = 0; j < slices; ++j) {
            s.polys.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1)});
            s.polys.push_back({at(i, j), at(i + 1, j + 1), at(i, j + 1)});
        }
    return s;
}

// Rings of `segments` vertices at radius r along z from z0 to z1; quads between rings split in
// two, facing outwards (or inwards).
inline void tube_wall(Solid &s, double r, double z0, double z1, int segments, int rings, bool inwards)
{
    const double pi = 3.14159265358979323846;
    const int base = int(s.vertices.size() / 3);
    for (int k = 0; k <= rings; ++k)
        for (int j = 0; j < segments; ++j) {
            const double th = 2 * pi * j / segments;
            s.add(r * std::cos(th), r * std::sin(th), z0 + (z1 - z0) * k / rings);
        }
    auto at = [&](int k, int j) { return base + k * segments + (j % segments); };
    for (int k = 0; k < rings; ++k)
        for (int j = 0; j < segments; ++j) {
            if (inwards) {
                s.polys.push_back({at(k, j), at(k + 1, j + 1), at(k + 1, j)});
                s.polys.push_back({at(k, j), at(k, j + 1), at(k + 1, j + 1)});
            } else {
                s.polys.push_back({at(k, j), at(k + 1, j), at(k + 1, j + 1)});
                s.polys.push_back({at(k, j), at(k + 1, j + 1), at(k, j + 1)});
            }
        }
}

// A closed cylinder along z: the wall and two end polygons of `segments` corners.
inline Solid shaft_solid(double r, double z0, double z1, int segments, int rings)
{
    Solid s;
    tube_wall(s, r, z0, z1, segments, rings, false);
    std::vector<int> bottom, top;
    for (int j = segments - 1; j >= 0; --j) bottom.push_back(j);
    for (int j = 0; j < segments; ++j) top.push_back(rings * segments + j);
    s.polys.push_back(bottom);
    s.polys.push_back(top);
    return s;
}

// A thick tube along z: outer wall at r_out, bore at r_in, and the two annular ends.
inline Solid bore_solid(double r_in, double r_out, double z0, double z1, int segments, int rings)
{
    Solid s;
    tube_wall(s, r_out, z0, z1, segments, rings, false);
    const int inner = int(s.vertices.size() / 3);
    tube_wall(s, r_in, z0, z1, segments, rings, true);
    for (int j = 0; j < segments; ++j) {
        const int j1 = (j + 1) % segments;
        s.polys.push_back({j, inner + j, inner + j1, j1});  // bottom ring
        const int o = rings * segments, i = inner + rings * segments;
        s.polys.push_back({o + j, o + j1, i + j1, i + j});  // top ring
    }
    return s;
}

// A graphics object for the solid, placed with its local frame on the world frame.
inline GSobject *make_gsobject(const Solid &s)
{
    GSobject *g = GSobject_begin(unsigned(s.vertices.size() / 3));
    for (size_t i = 0; i < s.vertices.size(); i += 3) {
        float p[3] = {s.vertices[i], s.vertices[i + 1], s.vertices[i + 2]};
        GSvertex v = GSvertex_new(p);
        GSobject_addvertex(g, &v);
    }
    for (const auto &poly : s.polys) {
        GSpoly *p = GSpoly_begin(g);
        for (int i : poly) GSpoly_addvertex(p, i);
        GSpoly_close(p);
    }
    GSobject_close(g, 0.0f);
    return g;
}
