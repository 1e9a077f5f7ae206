// Windows bitmap decoding. Beyond the plain uncompressed form, the run-length (RLE4, RLE8)
// and bit-field (16 and 32 bits) forms, top-down pictures and the later header versions are
// decoded too: reading their data as uncompressed rows would show garbage.
#include "formats/byte_reader.h"
#include "formats/image_decoders.h"

#include <array>
#include <bit>
#include <vector>

namespace kiv::formats {
namespace {

enum Compression : std::uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3,
                                   BI_ALPHABITFIELDS = 6 };

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

// One colour channel given by a bit mask, scaled to 0-255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m)
    {
        if (m != 0) {
            shift = std::countr_zero(m);
            max = m >> shift;
        }
    }
    bool valid() const { return mask != 0 && (max & (max + 1)) == 0; }
    std::uint8_t get(std::uint32_t v) const
    {
        const std::uint64_t c = (v & mask) >> shift;
        return static_cast<std::uint8_t>((c * 255 + max / 2) / max);
    }
};

struct Header {
    std::uint32_t offset = 0;
    std::uint32_t info_size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool top_down = false;
    int bits = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t colours = 0;
    std::array<std::uint32_t, 3> masks{};
    std::vector<Rgb> palette;
};

bool parse(std::span<const std::uint8_t> data, Header &h, std::string &error)
{
    ByteReader in(data);
    if (in.u8() != 'B' || in.u8() != 'M')
        return error = "not a Windows bitmap", false;
    in.skip(8);
    h.offset = in.u32();
    h.info_size = in.u32();
    const std::uint32_t s = h.info_size;
    const bool os2_v1 = s == 12;
    const bool os2_v2 = s == 16 || s == 64;
    if (!os2_v1 && !os2_v2 && s != 40 && s != 52 && s != 56 && s != 108 && s != 124)
        return error = "unsupported bitmap header size", false;
    int planes;
    if (os2_v1) {
        h.width = in.u16();
        h.height = static_cast<std::int16_t>(in.u16());
        planes = in.u16();
        h.bits = in.u16();
    } else {
        h.width = in.i32();
        h.height = in.i32();
        planes = in.u16();
        h.bits = in.u16();
        if (s > 16) {
            h.compression = in.u32();
            in.skip(12);  // image size and resolutions: not needed to decode
            h.colours = in.u32();
        }
    }
    if (!in.ok())
        return error = "truncated bitmap header", false;
    if (planes != 1)
        return error = "bitmap planes must be 1", false;
    if (h.height < 0) {
        h.top_down = true;
        h.height = -h.height;
    }
    if (h.width <= 0 || h.height == 0)
        return error = "bitmap width or height out of range", false;
    if (static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.height) >
        max_image_pixels)
        return error = "bitmap too large", false;
    switch (h.bits) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return error = "unsupported bits per pixel", false;
    }
    const std::uint32_t c = h.compression;
    const bool rle = (c == BI_RLE8 && h.bits == 8) || (c == BI_RLE4 && h.bits == 4);
    const bool fields = (c == BI_BITFIELDS || c == BI_ALPHABITFIELDS) && !os2_v2 &&
                        (h.bits == 16 || h.bits == 32);
    if (!(c == BI_RGB || rle || fields))
        return error = "unsupported bitmap compression", false;
    if (rle && h.top_down)
        return error = "top-down run-length bitmap", false;

    in.seek(14 + s);
    if (h.bits == 16)
        h.masks = {0x7c00, 0x03e0, 0x001f};
    else if (h.bits == 32)
        h.masks = {0xff0000, 0x00ff00, 0x0000ff};
    if (fields) {
        // Version 3 and later headers hold the masks; a 40-byte one is followed by them.
        ByteReader m(data, 14 + 40);
        h.masks = {m.u32(), m.u32(), m.u32()};
        if (s == 40)
            in.skip(c == BI_ALPHABITFIELDS ? 16 : 12);
        if (!m.ok() || !in.ok())
            return error = "truncated bit-field masks", false;
        for (std::uint32_t mask : h.masks)
            if (!Channel(mask).valid())
                return error = "bad bit-field mask", false;
        if ((h.masks[0] & h.masks[1]) || (h.masks[0] & h.masks[2]) || (h.masks[1] & h.masks[2]))
            return error = "overlapping bit-field masks", false;
    }
    if (h.bits <= 8) {
        const std::uint32_t full = 1u << h.bits;
        std::uint32_t count = h.colours == 0 || h.colours > full ? full : h.colours;
        const std::size_t entry = os2_v1 ? 3 : 4;
        const std::size_t start = in.offset();
        // A palette cut short by the pixel data keeps the entries before it.
        if (h.offset > start && (h.offset - start) / entry < count)
            count = static_cast<std::uint32_t>((h.offset - start) / entry);
        for (std::uint32_t i = 0; i < count; ++i) {
            Rgb e;
            e.b = in.u8();
            e.g = in.u8();
            e.r = in.u8();
            if (entry == 4)
                in.u8();
            h.palette.push_back(e);
        }
        if (!in.ok() || h.palette.empty())
            return error = "truncated bitmap palette", false;
    }
    if (h.offset < 14 + s || h.offset >= data.size())
        return error = "bitmap pixel data offset out of range", false;
    return true;
}

class Writer {
public:
    Writer(GSbitmap &b, const Header &h) : b_(b), h_(h) {}

    // Pixel x of file row y (rows counted in file order).
    std::uint8_t *at(std::int64_t x, std::int64_t y)
    {
        const int row = static_cast<int>(h_.top_down ? h_.height - 1 - y : y);
        return b_.row(row) + 4 * x;
    }
    bool put_index(std::int64_t x, std::int64_t y, std::uint32_t index)
    {
        if (index >= h_.palette.size())
            return false;
        const Rgb &c = h_.palette[index];
        std::uint8_t *p = at(x, y);
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
        return true;
    }

private:
    GSbitmap &b_;
    const Header &h_;
};

bool decode_rows(std::span<const std::uint8_t> data, const Header &h, Writer &out,
                 std::string &error)
{
    const std::uint64_t stride = (static_cast<std::uint64_t>(h.width) * h.bits + 31) / 32 * 4;
    if (stride * static_cast<std::uint64_t>(h.height) > data.size() - h.offset)
        return error = "truncated bitmap pixel data", false;
    const Channel r(h.masks[0]), g(h.masks[1]), b(h.masks[2]);
    for (std::int64_t y = 0; y < h.height; ++y) {
        const std::uint8_t *row = data.data() + h.offset + y * stride;
        for (std::int64_t x = 0; x < h.width; ++x) {
            if (h.bits <= 8) {
                const std::uint64_t bit = static_cast<std::uint64_t>(x) * h.bits;
                const std::uint32_t v =
                    (row[bit / 8] >> (8 - h.bits - bit % 8)) & ((1u << h.bits) - 1);
                if (!out.put_index(x, y, v))
                    return error = "bitmap palette index out of range", false;
                continue;
            }
            std::uint8_t *p = out.at(x, y);
            if (h.bits == 24) {
                const std::uint8_t *s = row + 3 * x;
                p[0] = s[2];
                p[1] = s[1];
                p[2] = s[0];
                continue;
            }
            std::uint32_t v;
            if (h.bits == 16)
                v = row[2 * x] | row[2 * x + 1] << 8;
            else
                v = row[4 * x] | row[4 * x + 1] << 8 | row[4 * x + 2] << 16 |
                    static_cast<std::uint32_t>(row[4 * x + 3]) << 24;
            p[0] = r.get(v);
            p[1] = g.get(v);
            p[2] = b.get(v);
        }
    }
    return true;
}

// RLE8 and RLE4: runs, literal runs, end of line, end of picture and deltas. A run that
// leaves its row or the picture is an error; pixels the data never reaches stay black.
bool decode_rle(std::span<const std::uint8_t> data, const Header &h, Writer &out,
                std::string &error)
{
    ByteReader in(data, h.offset);
    const bool four = h.bits == 4;
    std::int64_t x = 0, y = 0;
    auto put = [&](std::uint32_t index) {
        if (x >= h.width || y >= h.height)
            return error = "bitmap run leaves the picture", false;
        if (!out.put_index(x++, y, index))
            return error = "bitmap palette index out of range", false;
        return true;
    };
    while (true) {
        const std::uint8_t n = in.u8();
        const std::uint8_t v = in.u8();
        if (!in.ok())
            return error = "truncated run-length bitmap", false;
        if (n > 0) {
            for (int i = 0; i < n; ++i)
                if (!put(four ? (i % 2 ? v & 15 : v >> 4) : v))
                    return false;
        } else if (v == 0) {
            x = 0;
            ++y;
        } else if (v == 1) {
            return true;
        } else if (v == 2) {
            x += in.u8();
            y += in.u8();
            if (!in.ok() || x > h.width || y > h.height)
                return error = "bitmap delta leaves the picture", false;
        } else {
            std::uint8_t byte = 0;
            for (int i = 0; i < v; ++i) {
                if (!four || i % 2 == 0)
                    byte = in.u8();
                if (!put(four ? (i % 2 ? byte & 15 : byte >> 4) : byte))
                    return false;
            }
            const int used = four ? (v + 1) / 2 : v;
            if (used % 2)
                in.u8();
            if (!in.ok())
                return error = "truncated run-length bitmap", false;
        }
    }
}

} // namespace

bool bmp_probe(std::span<const std::uint8_t> data, GSbitmapInfo *info)
{
    Header h;
    std::string error;
    if (!parse(data, h, error))
        return false;
    if (info)
        *info = GSbitmapInfo(static_cast<int>(h.width), static_cast<int>(h.height), 32);
    return true;
}

Decoded bmp_decode(std::span<const std::uint8_t> data)
{
    Decoded result;
    Header h;
    if (!parse(data, h, result.error))
        return result;
    auto bitmap = std::make_unique<GSbitmap>(static_cast<int>(h.width),
                                             static_cast<int>(h.height), 32);
    if (bitmap->size() == 0) {
        result.error = "out of memory for the bitmap";
        return result;
    }
    for (std::size_t i = 3; i < bitmap->size(); i += 4)
        bitmap->bitmap()[i] = 255;
    Writer out(*bitmap, h);
    const bool rle = h.compression == BI_RLE8 || h.compression == BI_RLE4;
    if (rle ? decode_rle(data, h, out, result.error) : decode_rows(data, h, out, result.error))
        result.bitmap = std::move(bitmap);
    return result;
}

} // namespace kiv::formats
