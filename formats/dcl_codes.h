// The fixed prefix codes of the DCL implode stream, shared by the compressor and the
// decompressor. Code values are stored bit-reversed: they are sent as their low `bits` bits,
// least significant bit first.
#pragma once

#include <array>
#include <cstdint>

namespace kiv::dcl {

struct Code {
  std::uint8_t bits;
  std::uint16_t value;
};

inline constexpr unsigned kMinMatch = 2;
inline constexpr unsigned kMaxMatch = 518;
// Length 519 (the last length code with every extra bit set) ends the stream.
inline constexpr unsigned kEndLength = 519;
inline constexpr unsigned kMaxDictionary = 4096;
// Largest distance a length-2 match can reach: it carries only 2 low distance bits.
inline constexpr unsigned kMaxShortDistance = 256;

// Length codes: index i covers lengths kLengthBase[i] + 2 ... + 2^kLengthExtra[i] - 1.
inline constexpr Code kLengthCodes[16] = {
    {3, 0x5}, {2, 0x3}, {3, 0x1},  {3, 0x6},  {4, 0xA},  {4, 0x2},  {4, 0xC},  {5, 0x14},
    {5, 0x4}, {5, 0x18}, {5, 0x8}, {6, 0x30}, {6, 0x10}, {6, 0x20}, {7, 0x40}, {7, 0x0}};
inline constexpr std::uint8_t kLengthExtra[16] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8};
inline constexpr std::uint16_t kLengthBase[16] = {0, 1, 2,  3,  4,  5,  6,   7,
                                                  8, 10, 14, 22, 38, 70, 134, 262};

// Distance codes give the high part of distance - 1.
inline constexpr Code kDistanceCodes[64] = {
    {2, 0x03}, {4, 0x0D}, {4, 0x05}, {5, 0x19}, {5, 0x09}, {5, 0x11}, {5, 0x01}, {6, 0x3E},
    {6, 0x1E}, {6, 0x2E}, {6, 0x0E}, {6, 0x36}, {6, 0x16}, {6, 0x26}, {6, 0x06}, {6, 0x3A},
    {6, 0x1A}, {6, 0x2A}, {6, 0x0A}, {6, 0x32}, {6, 0x12}, {6, 0x22}, {7, 0x42}, {7, 0x02},
    {7, 0x7C}, {7, 0x3C}, {7, 0x5C}, {7, 0x1C}, {7, 0x6C}, {7, 0x2C}, {7, 0x4C}, {7, 0x0C},
    {7, 0x74}, {7, 0x34}, {7, 0x54}, {7, 0x14}, {7, 0x64}, {7, 0x24}, {7, 0x44}, {7, 0x04},
    {7, 0x78}, {7, 0x38}, {7, 0x58}, {7, 0x18}, {7, 0x68}, {7, 0x28}, {7, 0x48}, {7, 0x08},
    {8, 0xF0}, {8, 0x70}, {8, 0xB0}, {8, 0x30}, {8, 0xD0}, {8, 0x50}, {8, 0x90}, {8, 0x10},
    {8, 0xE0}, {8, 0x60}, {8, 0xA0}, {8, 0x20}, {8, 0xC0}, {8, 0x40}, {8, 0x80}, {8, 0x00},
};

// A decoding table entry: the symbol a bit pattern starts with and the length of its code.
// A length of 0 marks a pattern no code starts (only possible in an incomplete table).
struct Decoded {
  std::uint8_t symbol;
  std::uint8_t bits;
};

// Table indexed by the next `IndexBits` bits of the stream (first bit lowest).
template <unsigned IndexBits, std::size_t N>
constexpr std::array<Decoded, (1u << IndexBits)> makeDecoder(const Code (&codes)[N]) {
  std::array<Decoded, (1u << IndexBits)> table{};
  for (std::size_t symbol = 0; symbol < N; ++symbol)
    for (unsigned pattern = codes[symbol].value; pattern < table.size();
         pattern += 1u << codes[symbol].bits)
      table[pattern] = {static_cast<std::uint8_t>(symbol), codes[symbol].bits};
  return table;
}

}  // namespace kiv::dcl
