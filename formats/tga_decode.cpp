// Truevision Targa decoding: colour-mapped, true-colour and grey pictures, raw or
// run-length encoded, in any origin and interleaving. 5-bit channels are scaled to 0-255, and
// 16-bit grey pixels are grey and alpha, not 5-5-5 colour.
#include "formats/byte_reader.h"
#include "formats/image_decoders.h"

#include <array>
#include <vector>

namespace kiv::formats {
namespace {

struct Header {
    int id_length = 0;
    int map_type = 0;
    int type = 0;
    int map_first = 0;
    int map_length = 0;
    int map_bits = 0;
    int width = 0;
    int height = 0;
    int bits = 0;
    int descriptor = 0;

    bool mapped() const { return type == 1 || type == 9; }
    bool grey() const { return type == 3 || type == 11; }
    bool rle() const { return type >= 9; }
};

using Pixel = std::array<std::uint8_t, 3>;

constexpr int max_map_entries = 16383;

bool parse(ByteReader &in, Header &h, std::string &error)
{
    h.id_length = in.u8();
    h.map_type = in.u8();
    h.type = in.u8();
    h.map_first = in.u16();
    h.map_length = in.u16();
    h.map_bits = in.u8();
    in.skip(4);  // origin
    h.width = in.u16();
    h.height = in.u16();
    h.bits = in.u8();
    h.descriptor = in.u8();
    if (!in.ok())
        return error = "truncated Targa header", false;
    auto depth_ok = [](int b) { return b == 8 || b == 15 || b == 16 || b == 24 || b == 32; };
    if (h.type != 1 && h.type != 2 && h.type != 3 && h.type != 9 && h.type != 10 && h.type != 11)
        return error = "unsupported Targa image type", false;
    if (h.width == 0 || h.height == 0)
        return error = "Targa picture has no pixels", false;
    if ((h.descriptor >> 6) == 3)
        return error = "unsupported Targa interleaving", false;
    if (h.map_type > 1)
        return error = "unsupported Targa colour-map type", false;
    if (h.mapped()) {
        if (h.map_type != 1 || !depth_ok(h.map_bits) || (h.bits != 8 && h.bits != 16))
            return error = "bad Targa colour map", false;
        if (h.map_first + h.map_length > max_map_entries)
            return error = "Targa colour map too large", false;
    } else if (!depth_ok(h.bits) || (h.grey() && h.bits != 8 && h.bits != 16)) {
        return error = "unsupported Targa pixel size", false;
    }
    return true;
}

// Converts one stored pixel of `bits` bits; grey pictures take the first byte as grey.
Pixel convert(const std::uint8_t *p, int bits, bool grey)
{
    if (bits == 8 || grey)
        return {p[0], p[0], p[0]};
    if (bits == 15 || bits == 16) {
        const unsigned v = p[0] | p[1] << 8;
        auto scale = [](unsigned c) { return static_cast<std::uint8_t>((c * 255 + 15) / 31); };
        return {scale(v >> 10 & 31), scale(v >> 5 & 31), scale(v & 31)};
    }
    return {p[2], p[1], p[0]};
}

int bytes_of(int bits) { return (bits + 7) / 8; }

// One stored pixel or colour-map entry; the header checks keep it within 4 bytes.
std::array<std::uint8_t, 4> read_raw(ByteReader &in, int bytes)
{
    std::array<std::uint8_t, 4> raw{};
    for (std::size_t k = 0; k < raw.size() && k < static_cast<std::size_t>(bytes); ++k)
        raw[k] = in.u8();
    return raw;
}

} // namespace

bool tga_probe(std::span<const std::uint8_t> data, GSbitmapInfo *info)
{
    ByteReader in(data);
    Header h;
    std::string error;
    if (!parse(in, h, error))
        return false;
    if (info)
        *info = GSbitmapInfo(h.width, h.height, 32);
    return true;
}

Decoded tga_decode(std::span<const std::uint8_t> data)
{
    Decoded result;
    std::string &error = result.error;
    ByteReader in(data);
    Header h;
    if (!parse(in, h, error))
        return result;
    in.skip(static_cast<std::size_t>(h.id_length));

    std::vector<Pixel> map;
    if (h.map_type == 1) {
        const int entry = bytes_of(h.map_bits);
        if (!h.mapped()) {
            in.skip(static_cast<std::size_t>(h.map_length) * entry);
        } else {
            map.resize(static_cast<std::size_t>(h.map_first + h.map_length));
            for (int i = 0; i < h.map_length; ++i) {
                const std::array<std::uint8_t, 4> raw = read_raw(in, entry);
                map[static_cast<std::size_t>(h.map_first + i)] =
                    convert(raw.data(), h.map_bits, false);
            }
        }
        if (!in.ok()) {
            error = "truncated Targa colour map";
            return result;
        }
    }

    const int size = bytes_of(h.bits);
    const std::uint64_t pixels = static_cast<std::uint64_t>(h.width) * h.height;
    // Every 128 pixels need at least one packet: a picture the data cannot hold is refused
    // before its storage is made.
    const std::uint64_t least = h.rle() ? (pixels + 127) / 128 * (1 + size) : pixels * size;
    if (least > in.remaining()) {
        error = "truncated Targa pixel data";
        return result;
    }
    auto bitmap = std::make_unique<GSbitmap>(h.width, h.height, 32);
    if (bitmap->size() == 0) {
        error = "out of memory for the Targa picture";
        return result;
    }

    const bool top = h.descriptor & 0x20;
    const bool right = h.descriptor & 0x10;
    const int interleave = 1 << (h.descriptor >> 6);
    int file_row = 0, x = 0, pass = 0, picture_row = 0;
    auto store = [&](const Pixel &c) {
        const int row = top ? h.height - 1 - picture_row : picture_row;
        const int col = right ? h.width - 1 - x : x;
        std::uint8_t *p = bitmap->row(row) + 4 * col;
        p[0] = c[0];
        p[1] = c[1];
        p[2] = c[2];
        p[3] = 255;
        if (++x == h.width) {
            x = 0;
            ++file_row;
            picture_row += interleave;
            while (picture_row >= h.height && pass + 1 < interleave)
                picture_row = ++pass;
        }
    };
    auto read_pixel = [&](Pixel &c) {
        const std::array<std::uint8_t, 4> raw = read_raw(in, size);
        if (!h.mapped()) {
            c = convert(raw.data(), h.bits, h.grey());
            return true;
        }
        const unsigned index = raw[0] | (size > 1 ? raw[1] << 8 : 0);
        if (index < static_cast<unsigned>(h.map_first) || index >= map.size())
            return error = "Targa colour index outside the colour map", false;
        c = map[index];
        return true;
    };

    while (file_row < h.height) {
        int count = 1;
        bool repeat = true;
        if (h.rle()) {
            const std::uint8_t packet = in.u8();
            count = (packet & 0x7f) + 1;
            repeat = packet & 0x80;
        }
        if (static_cast<std::uint64_t>(file_row) * h.width + x + count > pixels) {
            error = "Targa packet runs past the picture";
            return result;
        }
        Pixel c{};
        for (int i = 0; i < count; ++i) {
            if ((i == 0 || !repeat) && !read_pixel(c))
                return result;
            store(c);
        }
        if (!in.ok()) {
            error = "truncated Targa pixel data";
            return result;
        }
    }
    result.bitmap = std::move(bitmap);
    return result;
}

} // namespace kiv::formats
