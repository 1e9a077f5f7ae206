// The records behind the graphics-object API: meshes, polygon records, attribute nodes and
// the two object kinds. Engine code that reads or writes meshes (part formats, rendering,
// decimation) works on these directly.
#pragma once

#include <kivctrl/adt_matrix.h>
#include <kivctrl/gsobject.h>

#include "graphics/render_context.h"

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

struct GStexture;
struct GSmesh;
class ADT_Object;

// One corner of a polygon record: a vertex index and a normal index (-1: none).
struct GScorner {
    int vertex;
    int normal;
};

// The normal placeholder of a vertex added without one; any x at or above it means none.
constexpr float GS_NO_NORMAL = 1000.0f;

struct GSpolylist;

// Kind and colour bits: records with equal keys merge when closed.
using GSmergekey = std::tuple<int, uint32_t, uint32_t, uint32_t>;

struct GSpoly {
    std::vector<GScorner> corners;
    float color[3] = {1.0f, 1.0f, 1.0f};
    GSpolylist *owner = nullptr;
    int kind = GS_POLYGON;
    int primitivecount = 0;  // cached; 0 = not yet computed
    std::list<GSpoly>::iterator self;
    uint64_t seq = 0;        // creation order within the owner, for the merge index
    bool indexed = false;
    GSmergekey indexkey{};

    // Primitive count of this record, computed once.
    int primitives();
};

// A list of polygon records with its counts and bounds: a whole mesh or one face group.
struct GSpolylist {
    std::list<GSpoly> polys;
    int polygoncount = -1;    // -1 until the mesh is closed
    int primitivecount = -1;
    float bounds[6];          // min x, y, z, max x, y, z
    float midpoint[3] = {0.0f, 0.0f, 0.0f};
    float radius = 0.0f;
    float radiussquared = 0.0f;

    GSpolylist() { clear_bounds(); }
    virtual ~GSpolylist() = default;
    GSpolylist(const GSpolylist &) = delete;
    GSpolylist &operator=(const GSpolylist &) = delete;

    // The mesh whose vertices and normals the corners index (null for an unattached face).
    virtual GSmesh *vertexmesh() = 0;

    GSpoly *append(int kind, size_t capacity);
    void erase(GSpoly *poly);
    // Earliest other record of poly's kind and exact colour, or null.
    GSpoly *merge_target(const GSpoly *poly) const;
    void reindex(GSpoly *poly);
    void unindex(GSpoly *poly);

    void clear_bounds();
    void recount();
    // Bounds, midpoint and radius from the vertices its corners use.
    void measure_corners();
    void set_measures_from_bounds();

private:
    static std::optional<GSmergekey> key_of(const GSpoly *poly);
    std::map<GSmergekey, std::map<uint64_t, GSpoly *>> merge_index_;
    uint64_t nextseq_ = 0;
};

struct GSsubmesh : GSpolylist {
    GSmesh *parentmesh = nullptr;
    ~GSsubmesh() override;
    GSmesh *vertexmesh() override { return parentmesh; }
    void unlink();
};

struct GSmesh : GSpolylist {
    std::vector<float> vertices;  // x, y, z per vertex
    std::vector<float> normals;   // x, y, z per normal
    bool usepolycolors = true;
    std::list<GSsubmesh *> facegroups;

    ~GSmesh() override;
    GSmesh *vertexmesh() override { return this; }
    size_t vertexcount() const { return vertices.size() / 3; }
    size_t normalcount() const { return normals.size() / 3; }
    void link(GSsubmesh *sub);
    // Finishes the mesh: counts, bounds, vertex merging, crease smoothing, quantisation.
    void close(float creaseangle);
};

struct GSattribute {
    int kind;  // GSattributekind
    int priority;
    GSopacityapplier applier = GSopacityapplier::object;  // transparency only
    float value[4] = {0.0f, 0.0f, 0.0f, 0.0f};             // colours, opacity, exponent
    unsigned mask = 0;                                     // highlight
    GStexture *texture = nullptr;                          // texture
    bool on = false;                                       // both sides
};

class GSobject {
public:
    GSobject();
    virtual ~GSobject();
    GSobject(const GSobject &) = delete;
    GSobject &operator=(const GSobject &) = delete;

    virtual int kind() const = 0;
    virtual bool close(float creaseangle) = 0;
    virtual void setparent(GSobject *p) { parent = p; }
    // The list its polygon API works on: the mesh, or a face's sub-mesh.
    virtual GSpolylist *polylist() = 0;
    // The nearest ADT_Object: itself, or a face's parent (null for an unattached face).
    virtual ADT_Object *placed() = 0;

    GSattribute *attribute(int kind);
    const GSattribute *attribute(int kind) const;
    // Sets (priority >= 0) or removes (priority < 0) the node of one kind.
    GSattribute *setattribute(int kind, int priority);

    void link_child(GSobject *child);
    void unlink_child(GSobject *child);

    GSobject *parent = nullptr;
    std::list<GSobject *> children;
    std::list<GSobject *>::iterator childlink;  // this object's link in parent->children
    std::vector<GSattribute> attributes;
    std::unique_ptr<GStexture> texture;
    float drawtextcolor[4] = {-1.0f, -1.0f, -1.0f, 1.0f};  // r < 0: the universe's colour
    std::vector<GSnote *> notes;
    std::optional<std::string> name;
    void *data = nullptr;
    bool deferred = false;
    bool childdeferred = false;
    // Where the universe's list of non-root objects holds this object, so that leaving it
    // costs the same in a scene of any size.
    std::size_t nonrootslot = 0;
};

class ADT_Face : public GSobject {
public:
    ADT_Face();
    int kind() const override { return GS_KIND_FACE; }
    bool close(float creaseangle) override;
    void setparent(GSobject *p) override;
    GSpolylist *polylist() override { return submesh.get(); }
    ADT_Object *placed() override;

    // Shared by the faces of every instance of one mesh: the group lives while any of them does.
    std::shared_ptr<GSsubmesh> submesh;
    int active = 1;
};

class ADT_Object : public GSobject {
public:
    explicit ADT_Object(std::shared_ptr<GSmesh> m);
    ~ADT_Object() override;
    int kind() const override { return GS_KIND_OBJECT; }
    bool close(float creaseangle) override;
    GSpolylist *polylist() override { return mesh.get(); }
    ADT_Object *placed() override { return this; }

    // The nearest enclosing ADT_Object (a face parent stands for its own parent).
    ADT_Object *parentobject() const;
    void setorientationmatrix(const ADT_Matrix &o);

    std::shared_ptr<GSmesh> mesh;
    float pivot[3] = {0.0f, 0.0f, 0.0f};
    float offset[3] = {0.0f, 0.0f, 0.0f};
    ADT_Matrix orientation;
    ADT_Matrix inverseorientation;
    float triadradius = 0.0f;
    float userradius = 0.0f;
    void *aux = nullptr;
    std::vector<float> cachedworld;
    int objecttype = 1;
    bool visible = true;
    bool drawenvelope = false;
    bool overrideenvelope = false;
    bool drawtext = false;
    bool drawtextforeground = true;
    int rendering = 3;

    // Registered with the universe (GSobject_add) and not yet deleted.
    bool registered = false;
};
