// CRC-16/ARC evaluated a nibble at a time with two 16-entry tables.
#include "graphics/gs_mesh_crc.h"

#include "graphics/gs_object.h"

#include <array>

namespace {

// CRC of a low and of a high nibble entering a zero register.
constexpr std::array<uint16_t, 16> make_table(int shift)
{
    std::array<uint16_t, 16> t{};
    for (unsigned n = 0; n < 16; ++n) {
        uint16_t crc = static_cast<uint16_t>(n << shift);
        for (int bit = 0; bit < 8; ++bit) crc = static_cast<uint16_t>(crc & 1 ? (crc >> 1) ^ 0xA001 : crc >> 1);
        t[n] = crc;
    }
    return t;
}

constexpr auto kLow = make_table(0);
constexpr auto kHigh = make_table(4);

uint16_t corners_crc(const GSpolylist &list, uint16_t crc)
{
    for (const GSpoly &p : list.polys) crc = gs_crc16(crc, p.corners.data(), p.corners.size() * sizeof(GScorner));
    return crc;
}

}  // namespace

uint16_t gs_crc16(uint16_t crc, const void *data, size_t size)
{
    const auto *b = static_cast<const uint8_t *>(data);
    for (size_t i = 0; i < size; ++i) {
        const uint8_t x = static_cast<uint8_t>(crc ^ b[i]);
        crc = static_cast<uint16_t>((crc >> 8) ^ kLow[x & 0x0F] ^ kHigh[x >> 4]);
    }
    return crc;
}

uint16_t gs_mesh_crc16(const GSmesh &mesh, uint16_t crc)
{
    crc = corners_crc(mesh, crc);
    crc = gs_crc16(crc, mesh.vertices.data(), mesh.vertices.size() * sizeof(float));
    crc = gs_crc16(crc, mesh.normals.data(), mesh.normals.size() * sizeof(float));
    for (const GSsubmesh *sub : mesh.facegroups) crc = corners_crc(*sub, crc);
    return crc;
}
