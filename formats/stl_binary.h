// The binary STL form: 80 bytes of header text, a little-endian 32-bit facet count N and N
// records of 50 bytes (a normal and three vertices as little-endian floats, then two
// attribute bytes). A file is taken as binary STL exactly when N > 0 and its size is
// 84 + 50 N bytes, so a count that promises more than the file holds is refused before
// anything is allocated.
#pragma once

#include "formats/stl_text.h"

#include <cstdint>
#include <span>
#include <string>

namespace kiv::formats {

constexpr size_t stl_header_bytes = 84;
constexpr size_t stl_record_bytes = 50;

// Whether a file of size bytes whose header holds count is binary STL.
bool stl_binary_size_matches(uint32_t count, uint64_t size);

bool stl_binary_legal(const std::string &path);

// One object of all facets, each vertex with its facet's normal, closed with crease angle
// 40. Refused when the size does not match or a vertex coordinate is not finite; a normal
// that is not finite or zero stays without a direction.
FacetRead read_stl_binary(std::span<const uint8_t> bytes);
FacetRead read_stl_binary_file(const std::string &path);

}  // namespace kiv::formats
