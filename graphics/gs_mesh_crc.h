// A running CRC-16 (the reflected polynomial 0xA001 of CRC-16/ARC) over a mesh's raw arrays.
#pragma once

#include <cstddef>
#include <cstdint>

struct GSmesh;

// Updates crc over size bytes, a nibble at a time.
uint16_t gs_crc16(uint16_t crc, const void *data, size_t size);
// Updates crc over the polygon corner arrays, the vertices, the normals, then the corner
// arrays of each face group.
uint16_t gs_mesh_crc16(const GSmesh &mesh, uint16_t crc);
