// Assembling facets into one closed graphics object.
#include "formats/facet_mesh.h"

#include "graphics/gs_winding.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <utility>

namespace kiv::formats {

namespace {

uint32_t bits(float f)
{
    return std::bit_cast<uint32_t>(f == 0.0f ? 0.0f : f);  // -0 is the same position as +0
}

// A full-avalanche mix of the three coordinates' bits: the table takes its low bits.
uint64_t mix(uint32_t x, uint32_t y, uint32_t z)
{
    uint64_t h = (uint64_t(x) << 32 | y) ^ (uint64_t(z) * 0x9E3779B97F4A7C15ull);
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    return h ^ (h >> 33);
}

int poly_kind(size_t corners)
{
    return corners == 3 ? GS_TRIANGLES : corners == 4 ? GS_QUADS : GS_POLYGON;
}

}  // namespace

constexpr size_t recent_slots = 16384;

FacetMesh::FacetMesh() : slots_(1024, Slot{}), recent_(recent_slots, Slot{}) {}

void FacetMesh::reserve(size_t vertices, size_t facets)
{
    vertices_.reserve(3 * vertices);
    normals_.reserve(3 * facets);
    corner_hint_ = 3 * facets;
    if (slots_.size() < 2 * vertices) rehash(std::bit_ceil(2 * vertices));
}

void FacetMesh::rehash(size_t slots)
{
    SlotTable old(slots, Slot{});
    old.swap(slots_);
    const size_t mask = slots_.size() - 1;
    for (const Slot &s : old) {
        if (s.index == 0) continue;
        size_t i = mix(s.x, s.y, s.z) & mask;
        while (slots_[i].index != 0) i = (i + 1) & mask;
        slots_[i] = s;
    }
}

int FacetMesh::vertex(const float p[3])
{
    const uint32_t x = bits(p[0]), y = bits(p[1]), z = bits(p[2]);
    const uint64_t h = mix(x, y, z);
    Slot &seen = recent_[(h >> 40) & (recent_slots - 1)];
    if (seen.index != 0 && seen.x == x && seen.y == y && seen.z == z) return static_cast<int>(seen.index - 1);
    const size_t mask = slots_.size() - 1;
    size_t i = h & mask;
    for (; slots_[i].index != 0; i = (i + 1) & mask) {
        const Slot &s = slots_[i];
        if (s.x == x && s.y == y && s.z == z) {
            seen = s;
            return static_cast<int>(s.index - 1);
        }
    }
    const size_t index = vertices_.size() / 3;
    vertices_.push_back(p[0]);
    vertices_.push_back(p[1]);
    vertices_.push_back(p[2]);
    slots_[i] = {x, y, z, static_cast<uint32_t>(index + 1)};
    seen = slots_[i];
    if (2 * (index + 1) > slots_.size()) rehash(2 * slots_.size());
    return static_cast<int>(index);
}

bool FacetMesh::full() const
{
    const size_t limit = INT_MAX - 1;
    return vertices_.size() / 3 >= limit || normals_.size() / 3 >= limit;
}

int FacetMesh::normal(const float n[3])
{
    if (!std::isfinite(n[0]) || !std::isfinite(n[1]) || !std::isfinite(n[2]) ||
        (n[0] == 0.0f && n[1] == 0.0f && n[2] == 0.0f))
        return -1;
    normals_.push_back(n[0]);
    normals_.push_back(n[1]);
    normals_.push_back(n[2]);
    return static_cast<int>(normals_.size() / 3 - 1);
}

FacetMesh::Record &FacetMesh::record_for(int kind, const float color[3])
{
    if (kind == GS_POLYGON) return records_.emplace_back(Record{kind, {color[0], color[1], color[2]}, {}});
    const Key key{kind, bits(color[0]), bits(color[1]), bits(color[2])};
    if (last_ && last_->first == key) return records_[last_->second];
    const auto [it, fresh] = shared_.try_emplace(key, records_.size());
    last_.emplace(key, it->second);
    if (!fresh) return records_[it->second];
    Record &r = records_.emplace_back(Record{kind, {color[0], color[1], color[2]}, {}});
    r.corners.reserve(std::exchange(corner_hint_, 0));
    return r;
}

void FacetMesh::facet(std::span<const GScorner> corners, const float color[3])
{
    Record &r = record_for(poly_kind(corners.size()), color);
    const size_t first = r.corners.size();
    r.corners.insert(r.corners.end(), corners.begin(), corners.end());
    ++facets_;
    int winding = -1;  // -2 once the facet is known to enclose no area
    for (size_t i = first; i < r.corners.size(); ++i) {
        GScorner &c = r.corners[i];
        if (c.normal >= 0) continue;
        if (winding == -1) {
            float n[3];
            winding = gs_winding_normal(vertices_.data(), corners, n) ? normal(n) : -2;
        }
        if (winding >= 0) c.normal = winding;
    }
}

GSobjectPtr FacetMesh::finish(float creaseangle)
{
    GSobjectPtr obj(GSobject_begin());
    GSmesh &mesh = *static_cast<ADT_Object *>(obj.get())->mesh;
    mesh.vertices = std::move(vertices_);
    mesh.normals = std::move(normals_);
    for (Record &r : records_) {
        GSpoly *poly = mesh.append(r.kind, 0);
        poly->corners = std::move(r.corners);
        std::copy(r.color, r.color + 3, poly->color);
        mesh.reindex(poly);
    }
    records_.clear();
    shared_.clear();
    last_.reset();
    GSobject_close(obj.get(), creaseangle);
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    GSobject_setpivot(obj.get(), origin, GS_FRAME_LOCAL);
    return obj;
}

}  // namespace kiv::formats
