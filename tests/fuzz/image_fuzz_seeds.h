// Small valid Windows bitmap and Targa files, the starting points of the image fuzzers.
#pragma once

#include "formats/image_decoders.h"
#include "fuzz/seeds.h"

#include <cstdint>
#include <span>
#include <string>

namespace kiv::fuzz {

// One decoder on arbitrary bytes: it must fail with a reason, or give a depth-32 picture of
// exactly the size its header check reported, without reading outside the data.
inline void check_decoder(const std::uint8_t *data, std::size_t size,
                          bool (*probe)(std::span<const std::uint8_t>, GSbitmapInfo *),
                          formats::Decoded (*decode)(std::span<const std::uint8_t>))
{
    const std::span<const std::uint8_t> bytes(data, size);
    GSbitmapInfo info;
    const bool accepted = probe(bytes, &info);
    const formats::Decoded d = decode(bytes);
    if (d.bitmap && (!accepted || d.bitmap->width() != info.width ||
                     d.bitmap->height() != info.height || d.bitmap->depth() != 32 ||
                     d.bitmap->size() != static_cast<std::size_t>(info.width) * info.height * 4))
        __builtin_trap();
    if (!d.bitmap && d.error.empty())
        __builtin_trap();
}

inline void put_le(std::string &s, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        s += static_cast<char>(v >> (8 * i) & 0xff);
}

// A w x h bitmap of `bits` bits per pixel with the given compression; palette entries and
// pixel bytes follow a simple pattern, and rle is the run-length data when compressed.
inline std::string bmp_seed(int w, int h, int bits, int compression, const std::string &rle = {})
{
    const int colours = bits <= 8 ? 1 << bits : 0;
    const int masks = compression == 3 ? 12 : 0;
    const int stride = (w * bits + 31) / 32 * 4;
    const std::string pixels = compression == 1 || compression == 2
                                   ? rle
                                   : std::string(static_cast<std::size_t>(stride * h), '\x11');
    const int offset = 14 + 40 + masks + 4 * colours;
    std::string s = "BM";
    put_le(s, static_cast<std::uint32_t>(offset + pixels.size()), 4);
    put_le(s, 0, 4);
    put_le(s, static_cast<std::uint32_t>(offset), 4);
    put_le(s, 40, 4);
    put_le(s, static_cast<std::uint32_t>(w), 4);
    put_le(s, static_cast<std::uint32_t>(h), 4);
    put_le(s, 1, 2);
    put_le(s, static_cast<std::uint32_t>(bits), 2);
    put_le(s, static_cast<std::uint32_t>(compression), 4);
    put_le(s, 0, 16);
    put_le(s, 0, 4);
    if (masks) {
        put_le(s, 0xf800, 4);
        put_le(s, 0x07e0, 4);
        put_le(s, 0x001f, 4);
    }
    for (int i = 0; i < colours; ++i)
        put_le(s, static_cast<std::uint32_t>(i * 0x010203), 4);
    return s + pixels;
}

// A Targa file of type `type` and `bits` bits per pixel, with a 24-bit colour map of 16
// entries for the colour-mapped types and pixel data `data`.
inline std::string tga_seed(int type, int w, int h, int bits, int descriptor, const std::string &data)
{
    const bool mapped = type == 1 || type == 9;
    std::string s;
    s += '\x02';  // image id length
    s += static_cast<char>(mapped);
    s += static_cast<char>(type);
    put_le(s, 0, 2);
    put_le(s, mapped ? 16 : 0, 2);
    s += static_cast<char>(mapped ? 24 : 0);
    put_le(s, 0, 4);
    put_le(s, static_cast<std::uint32_t>(w), 2);
    put_le(s, static_cast<std::uint32_t>(h), 2);
    s += static_cast<char>(bits);
    s += static_cast<char>(descriptor);
    s += "id";
    for (int i = 0; mapped && i < 16; ++i)
        put_le(s, static_cast<std::uint32_t>(i * 0x0f0e0d), 3);
    return s + data;
}

} // namespace kiv::fuzz
