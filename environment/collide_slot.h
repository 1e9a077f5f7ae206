// Where an object's collision data live: a slot of the geo-data record of its shown graphics
// object.
#pragma once

#include "environment/collide_shape.h"
#include "environment/geo_data.h"

#include <cstddef>

namespace kiv::env {

constexpr size_t kCollisionSlot = 0;

struct CollisionSlot : GeoCache {
    CollisionShape shape;
};

}  // namespace kiv::env
