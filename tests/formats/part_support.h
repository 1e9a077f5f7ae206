// Helpers for the part file tests: an object built with every kind of record, and a view
// of what a part shows that does not depend on how its vertices and normals are numbered.
#pragma once

#include <kivctrl/kivctrl.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kivtest {

struct Deleter {
    void operator()(GSobject *o) const { GSobject_delete(o); }
};
using Object = std::unique_ptr<GSobject, Deleter>;

// What a mesh shows, independent of how its vertices and normals are numbered: per face
// group, per record, the kind, colour and every corner's position and normal.
struct Corner {
    std::array<float, 3> position;
    std::array<float, 3> normal;
    bool hasnormal;
};
struct Record {
    int kind;
    std::array<float, 3> color;
    std::vector<Corner> corners;
};
using Group = std::vector<Record>;

// Per face group (the object's own records first), per record, the kind, colour and every
// corner's position and normal.
std::vector<Group> snapshot(GSobject *obj);
// Positions and normals within 1e-5.
void expect_near(const std::array<float, 3> &a, const std::array<float, 3> &b);
void expect_same(const std::vector<Group> &a, const std::vector<Group> &b);
int face_children(GSobject *obj);
// A part with every kind of record, colours that merge and colours that do not, corners
// with and without normals, polygons of its own and two face groups.
Object build_part();

} // namespace kivtest
