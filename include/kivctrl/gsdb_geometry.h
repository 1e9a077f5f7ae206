// Detached, indexed copies of graphics-object meshes, and their simplification.
//
// createGSDB_Geometry copies an object's own polygons and its face groups (cut into
// triangles) into a GSDB_Geometry; decimateGSDB_Geometry builds a simplified copy by
// collapsing shortest edges; createGSobject turns a geometry back into a new ADT_Object.
// The instance cache builds the coarse level of detail of a part this way. Whoever creates a
// geometry destroys it with destroyGSDB_Geometry.
#pragma once

#include <kivctrl/gsobject.h>

#include <memory>
#include <vector>

struct GSDB_Geometry;
struct GSDB_Group;

// One corner: a vertex index and a normal index (-1: none).
struct GSDB_Corner {
    int vertex;
    int normal;
};

// A run of primitives of one kind (GSpolykind) and one colour.
struct GSDB_PrimitiveList {
    std::vector<GSDB_Corner> corners;
    GSDB_Group *group = nullptr;
    float color[3] = {1.0f, 1.0f, 1.0f};
    int kind = GS_TRIANGLES;
    int primitivecount = 0;  // cached; 0 = not computed
};

// One face group: the object's own polygons or one face child's.
struct GSDB_Group {
    GSDB_Geometry *owner = nullptr;
    float bounds[6];  // min x, y, z, max x, y, z over the vertices its corners use
    std::vector<std::unique_ptr<GSDB_PrimitiveList>> lists;
    int primitivecount = 0;

    GSDB_Group();
};

struct GSDB_Geometry {
    std::vector<float> vertices;  // x, y, z per vertex
    std::vector<float> normals;   // x, y, z per normal; x >= 1000 means no normal
    float bounds[6];              // min x, y, z, max x, y, z
    std::vector<std::unique_ptr<GSDB_Group>> groups;
    int primitivecount = -1;      // -1 until the geometry is finished
    int listcount = -1;           // -1 until the geometry is finished

    GSDB_Geometry();
    size_t vertexcount() const { return vertices.size() / 3; }
    size_t normalcount() const { return normals.size() / 3; }
};

// A finished copy of obj's own polygons and face groups, cut into triangles; null for null.
GSDB_Geometry *createGSDB_Geometry(GSobject *obj);
// A simplified copy of the finished geometry g (g is left unchanged): shortest edges are
// collapsed while they are no longer than tolerance (clamped to 0-1; NaN is 0) times the
// diagonal of g's bounds; a tolerance of 0 sets no limit. Null for null.
GSDB_Geometry *decimateGSDB_Geometry(GSDB_Geometry *g, double tolerance);
// The decimation driver: collapses edges whose squared length is at most costlimit (no limit
// when costlimit is not above 0), keeping at least max(minvertices, 8) vertices.
GSDB_Geometry *collapseGSDB_Geometry(GSDB_Geometry *g, double costlimit, int minvertices);
// A new, closed ADT_Object built from g, with g's bounds; null g gives an empty object.
GSobject *createGSobject(const GSDB_Geometry *g);
// Frees g with its groups and lists; null is ignored.
void destroyGSDB_Geometry(GSDB_Geometry *g);
