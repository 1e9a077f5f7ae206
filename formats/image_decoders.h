// The built-in picture decoders. Each works on the whole file held in memory (the JPEG and
// TIFF ones on a file name, through their libraries), delivers the picture bottom row first
// and fails with a short reason instead of reading outside the data.
#pragma once

#include <kivctrl/gs_bitmap.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace kiv::formats {

// Largest picture a decoder accepts, in pixels: keeps hostile headers from asking for
// gigabytes.
inline constexpr std::uint64_t max_image_pixels = std::uint64_t{1} << 25;

// Outcome of a decode: the bitmap, or null and the reason.
struct Decoded {
    std::unique_ptr<GSbitmap> bitmap;
    std::string error;
};

// Windows bitmap: header check only (info filled when given), and the full decode to depth 32.
bool bmp_probe(std::span<const std::uint8_t> data, GSbitmapInfo *info);
Decoded bmp_decode(std::span<const std::uint8_t> data);

// Truevision Targa, the same pair.
bool tga_probe(std::span<const std::uint8_t> data, GSbitmapInfo *info);
Decoded tga_decode(std::span<const std::uint8_t> data);

// JPEG through libjpeg: depth 24 for colour, 8 for grey.
bool jpeg_probe(const char *file);
Decoded jpeg_decode(const char *file);

// TIFF through libtiff: the first page at depth 32.
bool tiff_probe(const char *file, GSbitmapInfo *info);
Decoded tiff_decode(const char *file);

} // namespace kiv::formats
