// The binary part format's constants and the byte order shared by its reader and writer:
// little-endian integers and IEEE singles, indices in the fewest bytes that hold them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kvb {

// The first byte of the file names the version; "KVG" reversed follows.
inline constexpr unsigned char kVersion1 = 0x11;
inline constexpr unsigned char kVersion2 = 0x21;
inline constexpr char kTag[3] = {'G', 'V', 'K'};
// The second header word; readers pass over it.
inline constexpr std::uint32_t kHeaderWord = 0x20000020;

// Bytes per index into an array of count elements.
constexpr int index_width(std::size_t count)
{
    return count < (1u << 8) ? 1 : count < (1u << 16) ? 2 : count < (1u << 24) ? 3 : 4;
}

inline void put_u32(unsigned char *p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

inline std::uint32_t get_u32(const unsigned char *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

inline void put_f32(unsigned char *p, float v)
{
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    put_u32(p, bits);
}

inline float get_f32(const unsigned char *p)
{
    const std::uint32_t bits = get_u32(p);
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

} // namespace kvb
