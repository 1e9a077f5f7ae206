// Pictures in memory: GSbitmap, its size record GSbitmapInfo, and the promotion of any
// bitmap to 32 bits per pixel.
//
// Pixel rows are stored bottom row first, without padding: each row holds
// ceil(width / pixels per byte) * bytes per pixel bytes. Depth 32 pixels are red, green,
// blue, alpha; depth 24 red, green, blue; depth 8 grey; depth 16 grey, alpha; depth 1 one bit
// per pixel, most significant bit first.
#pragma once

#include <cstddef>
#include <vector>

// Colour palettes are not kept by bitmaps; the type exists for the interface only.
struct GSpalette;

struct GSbitmapInfo {
    int width = 0;
    int height = 0;
    int depth = 0;       // bits per pixel
    short bytes = 0;     // bytes per pixel: (depth - 1) / 8 + 1
    short pixels = 0;    // pixels per byte: 8 / depth, 1 for depth 0, 0 above 8

    GSbitmapInfo() = default;
    GSbitmapInfo(int width, int height, int depth);
};

class GSbitmap {
public:
    // Zero-filled pixels. Negative sizes count as 0; a picture too large to address gets no
    // pixel storage (size() is 0).
    GSbitmap(int width, int height, int depth, const GSpalette *palette = nullptr);
    GSbitmap(const GSbitmapInfo &info, const GSpalette *palette = nullptr);
    GSbitmap(const GSbitmap &other) = default;
    GSbitmap &operator=(const GSbitmap &) = delete;
    ~GSbitmap() = default;

    int width() const { return info_.width; }
    int height() const { return info_.height; }
    int depth() const { return info_.depth; }
    short bytes_per_pixel() const { return info_.bytes; }
    short pixels_per_byte() const { return info_.pixels; }
    const GSbitmapInfo &info() const { return info_; }

    // Bytes in one row and in the whole picture.
    std::size_t rowbytes() const { return rowbytes_; }
    std::size_t size() const { return data_.size(); }

    // Byte i of the pixel data; 0 (and no change) outside it.
    unsigned char getbyte(int i) const;
    void setbyte(int i, unsigned char value);
    unsigned char *bitmap() { return data_.empty() ? nullptr : data_.data(); }
    const unsigned char *bitmap() const { return data_.empty() ? nullptr : data_.data(); }
    // Start of row y (0 is the bottom row); null outside the picture.
    unsigned char *row(int y);
    const unsigned char *row(int y) const;

    // Palettes are not kept: setpalette stores none and getpalette is always null.
    void setpalette(const GSpalette *palette);
    GSpalette *getpalette() const { return nullptr; }

private:
    void allocate();

    GSbitmapInfo info_;
    std::size_t rowbytes_ = 0;
    std::vector<unsigned char> data_;
};

// A depth-32 picture of b: b itself when it is null or already 32 bits or more deep,
// otherwise a new bitmap, and b is deleted. Depth 1 gives grey 255 for set bits, depth 8 grey,
// depth 16 grey and alpha, depth 24 the colour with alpha 255; other depths give zeros.
GSbitmap *image_promote_to_32(GSbitmap *b);
