// The geo-data record: the back-reference from a graphics object to the scene object it
// belongs to, with the per-object caches the environment keeps beside it.
#pragma once

#include <array>
#include <memory>

class _object;
class GSobject;

namespace kiv::env {

// A world-space cache kept in one slot of a geo-data record (collision data derive from it).
struct GeoCache {
    virtual ~GeoCache() = default;
};

struct GeoData {
    explicit GeoData(_object *o) : owner(o) {}

    _object *owner;
    int counters[2] = {0, 0};
    float scale = 1.0f;
    float range = -1.0f;
    std::array<std::unique_ptr<GeoCache>, 8> cache;
};

// The record g carries, or null.
GeoData *geo_data(GSobject *g);
// Gives g a record for owner unless it carries one. False when memory runs out.
bool attach_geo_data(GSobject *g, _object *owner);
// Frees g's record and clears the reference.
void drop_geo_data(GSobject *g);
// Deletes a graphics object of the binding with its record. A face group stays with the mesh
// that owns it (only its record and attributes go) unless it belongs to no mesh.
void delete_node(GSobject *g);

}  // namespace kiv::env
