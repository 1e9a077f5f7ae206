// Reading binary STL.
#include "formats/stl_binary.h"

#include "formats/facet_file.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

namespace kiv::formats {

namespace {

uint32_t load_u32(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

float load_float(const uint8_t *p)
{
    return std::bit_cast<float>(load_u32(p));
}

// Adds records to the mesh; false at a vertex that is not finite.
class RecordReader {
public:
    explicit RecordReader(uint32_t count) { mesh_.reserve(size_t(count) / 2 + 16, count); }

    bool add(std::span<const uint8_t> records)
    {
        for (size_t r = 0; r + stl_record_bytes <= records.size(); r += stl_record_bytes) {
            const uint8_t *p = records.data() + r;
            float v[12];
            for (int i = 0; i < 12; ++i) v[i] = load_float(p + 4 * i);
            for (int i = 3; i < 12; ++i)
                if (!std::isfinite(v[i])) return fail();
            const double length = std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]);
            float unit[3] = {0.0f, 0.0f, 0.0f};
            if (std::isfinite(length) && length > 0.0)
                for (int i = 0; i < 3; ++i) unit[i] = static_cast<float>(v[i] / length);
            const int normal = mesh_.normal(unit);
            const GScorner corners[3] = {{mesh_.vertex(v + 3), normal}, {mesh_.vertex(v + 6), normal}, {mesh_.vertex(v + 9), normal}};
            mesh_.facet(corners, white_);
            ++read_;
        }
        return true;
    }

    FacetRead finish() { return {mesh_.finish(40.0f), {}}; }
    FacetRead error() const { return {nullptr, error_}; }

private:
    bool fail()
    {
        error_ = "facet " + std::to_string(read_ + 1) + ": vertex coordinates out of range";
        return false;
    }

    FacetMesh mesh_;
    const float white_[3] = {1.0f, 1.0f, 1.0f};
    size_t read_ = 0;
    std::string error_;
};

// Three vertices per facet must stay countable in an int.
constexpr uint32_t max_facets = (uint32_t(INT32_MAX) - 1) / 3;

}  // namespace

bool stl_binary_size_matches(uint32_t count, uint64_t size)
{
    return count > 0 && size >= stl_header_bytes && (size - stl_header_bytes) / stl_record_bytes == count &&
           (size - stl_header_bytes) % stl_record_bytes == 0;
}

bool stl_binary_legal(const std::string &path)
{
    const FilePtr f = open_facet_file(path);
    uint8_t header[stl_header_bytes];
    if (!f || std::fread(header, 1, sizeof header, f.get()) != sizeof header) return false;
    if (std::fseek(f.get(), 0, SEEK_END) != 0) return false;
    const long size = std::ftell(f.get());
    return size >= 0 && stl_binary_size_matches(load_u32(header + 80), uint64_t(size));
}

FacetRead read_stl_binary(std::span<const uint8_t> bytes)
{
    if (bytes.size() < stl_header_bytes) return {nullptr, "shorter than the header"};
    const uint32_t count = load_u32(bytes.data() + 80);
    if (!stl_binary_size_matches(count, bytes.size())) return {nullptr, "the size does not match the facet count"};
    if (count > max_facets) return {nullptr, "too many facets"};
    RecordReader reader(count);
    if (!reader.add(bytes.subspan(stl_header_bytes))) return reader.error();
    return reader.finish();
}

FacetRead read_stl_binary_file(const std::string &path)
{
    const FilePtr f = open_facet_file(path);
    if (!f) return {nullptr, "cannot open the file", true};
    uint8_t header[stl_header_bytes];
    if (std::fread(header, 1, sizeof header, f.get()) != sizeof header) return {nullptr, "shorter than the header"};
    const uint32_t count = load_u32(header + 80);
    if (std::fseek(f.get(), 0, SEEK_END) != 0) return {nullptr, "cannot measure the file"};
    const long size = std::ftell(f.get());
    if (size < 0 || !stl_binary_size_matches(count, uint64_t(size)))
        return {nullptr, "the size does not match the facet count"};
    if (count > max_facets) return {nullptr, "too many facets"};
    if (std::fseek(f.get(), long(stl_header_bytes), SEEK_SET) != 0) return {nullptr, "cannot seek"};

    RecordReader reader(count);
    constexpr size_t block = 4096;
    std::vector<uint8_t> buffer(block * stl_record_bytes);
    for (uint32_t done = 0; done < count;) {
        const size_t n = std::min<size_t>(block, count - done);
        const size_t bytes = n * stl_record_bytes;
        // A block that cannot be read whole means the file changed or failed: nothing is
        // handed back with facets missing.
        if (std::fread(buffer.data(), 1, bytes, f.get()) != bytes) return {nullptr, "read error"};
        if (!reader.add(std::span(buffer.data(), bytes))) return reader.error();
        done += static_cast<uint32_t>(n);
    }
    return reader.finish();
}

}  // namespace kiv::formats
