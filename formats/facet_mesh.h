// Assembling the facets of an STL or SLP file into one closed graphics object.
#pragma once

#include <kivctrl/gsobject.h>

#include "graphics/gs_object.h"
#include "platform/large_pages.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <tuple>
#include <vector>

namespace kiv::formats {

struct GSobjectDelete {
    void operator()(GSobject *obj) const { GSobject_delete(obj); }
};
using GSobjectPtr = std::unique_ptr<GSobject, GSobjectDelete>;

// Facets go straight into polygon records: triangles and quadrilaterals of one colour share
// one record (in order of first appearance), larger polygons keep a record each, just as
// closing one record per facet would merge them. Vertices at exactly the same position are
// stored once, which leaves the closing merge far less to sort.
class FacetMesh {
public:
    FacetMesh();

    // Room for about this many vertices and facets.
    void reserve(size_t vertices, size_t facets);
    // Index of the vertex at p (finite coordinates).
    int vertex(const float p[3]);
    // Index of a new normal, or -1 (none) for one of zero length or not finite.
    int normal(const float n[3]);
    // No room for another vertex or normal index.
    bool full() const;
    // One polygon of at least three corners. Corners without a normal take the facet's own
    // from the winding of its vertices, so that crease smoothing sees it; a facet enclosing
    // no area leaves them without one.
    void facet(std::span<const GScorner> corners, const float color[3]);
    size_t facets() const { return facets_; }

    // The finished object: closed with the crease angle, pivot at the origin.
    GSobjectPtr finish(float creaseangle);

private:
    using Key = std::tuple<int, uint32_t, uint32_t, uint32_t>;
    struct Record {
        int kind;
        float color[3];
        std::vector<GScorner> corners;
    };
    Record &record_for(int kind, const float color[3]);
    void rehash(size_t slots);

    std::vector<float> vertices_;
    std::vector<float> normals_;
    std::vector<Record> records_;
    std::map<Key, size_t> shared_;  // the shared records by kind and colour
    std::optional<std::pair<Key, size_t>> last_;  // the record the previous facet went to
    // Open addressing over vertex positions. A slot keeps the position's bits next to its
    // index + 1 (0 when empty), so a probe reads one slot and never the vertex array.
    struct Slot {
        uint32_t x, y, z, index;
    };
    using SlotTable = kiv::platform::LargeVector<Slot>;  // read at random
    SlotTable slots_;
    // The vertices met lately, by other bits of the same hash: facets that share a vertex
    // mostly come close together in a file, so most look-ups end in this small table instead
    // of a scattered read of the large one.
    std::vector<Slot> recent_;
    size_t facets_ = 0;
    size_t corner_hint_ = 0;  // room for the first shared record
};

}  // namespace kiv::formats
