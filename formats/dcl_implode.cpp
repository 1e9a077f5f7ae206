// Compressor producing the DCL implode stream.
//
// Matches are found through hash chains over three-byte prefixes; the short matches only a
// length of 2 can use come from a scan of the 256 bytes behind, which finds every one (a
// hashed table of two-byte prefixes loses them to collisions, and binary data needs them).
// Parsing is lazy: a match is deferred by one byte when a literal and the match starting
// after it cost fewer bits, once each byte covered is credited at a fixed rate.
#include <kivctrl/dcl.h>

#include "formats/dcl_ascii_codes.h"
#include "formats/dcl_codes.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace {

using namespace kiv::dcl;

using ReadFn = unsigned int (*)(char *, unsigned int *, void *);
using WriteFn = void (*)(char *, unsigned int *, void *);

static_assert(std::endian::native == std::endian::little, "words are stored little-endian");

constexpr unsigned kOutputChunk = 2048;
// Bytes that must follow a position before it is searched: a full match from it and from
// the position after it (the lazy look).
constexpr unsigned kLookahead = kMaxMatch + 1;
constexpr unsigned kWindowSize = 2 * kMaxDictionary + kLookahead;
constexpr unsigned kHashBits = 13;
constexpr unsigned kHashSize = 1u << kHashBits;
constexpr std::uint16_t kNone = 0xFFFF;
// How many chain entries one search visits at most.
constexpr unsigned kMaxChain = 256;
// Matches at least this long are taken without looking one byte further.
constexpr unsigned kLazyLimit = 64;
// What covering one more byte is worth when two parses ending at different places are
// compared, in sixteenths of a bit. 4.75 bits gave the smallest output over source text,
// binary and ASCII meshes at every dictionary size; it beat comparing bits per byte.
constexpr int kByteCredit = 76;

// Flag bit, length code and extra bits of each length 2..519, as one code.
constexpr std::array<Code, kEndLength + 1> makeLengthEncoder() {
  std::array<Code, kEndLength + 1> table{};
  for (unsigned i = 0; i < 16; ++i)
    for (unsigned extra = 0; extra < (1u << kLengthExtra[i]); ++extra) {
      unsigned length = kLengthBase[i] + kMinMatch + extra;
      if (length <= kEndLength)
        table[length] = {static_cast<std::uint8_t>(1 + kLengthCodes[i].bits + kLengthExtra[i]),
                         static_cast<std::uint16_t>(1 | kLengthCodes[i].value << 1 |
                                                    extra << (1 + kLengthCodes[i].bits))};
    }
  return table;
}
constexpr auto kLengthEncoder = makeLengthEncoder();

struct Match {
  unsigned length = 0;
  unsigned distance = 0;
};

struct Imploder {
  std::uint8_t window[kWindowSize];
  // Most recent position of each hashed 3-byte prefix, and per position (modulo the largest
  // dictionary) the previous one with the same hash; kNone for none.
  std::uint16_t head3[kHashSize];
  std::uint16_t prev[kMaxDictionary];
  std::uint8_t out[kOutputChunk];
  ReadFn read;
  WriteFn write;
  void *param;
  std::uint64_t acc;  // pending output bits
  unsigned accBits;
  unsigned outLength;
  unsigned pos;       // next position to code
  unsigned end;       // bytes in the window
  unsigned inserted;  // positions below this are in the hash tables
  unsigned dictionary;
  unsigned lowBits;
  bool ascii;
  bool exhausted;
};

static_assert(sizeof(Imploder) + alignof(Imploder) - 1 <= DCL_IMPLODE_WORK_SIZE);

void put(Imploder &s, std::uint32_t value, unsigned bits) {
  s.acc |= std::uint64_t{value} << s.accBits;
  s.accBits += bits;
  if (s.accBits < 32)
    return;
  auto word = static_cast<std::uint32_t>(s.acc);
  std::memcpy(s.out + s.outLength, &word, 4);
  s.acc >>= 32;
  s.accBits -= 32;
  s.outLength += 4;
  if (s.outLength == kOutputChunk) {
    unsigned size = kOutputChunk;
    s.write(reinterpret_cast<char *>(s.out), &size, s.param);
    s.outLength = 0;
  }
}

void finish(Imploder &s) {
  for (; s.accBits > 0; s.accBits -= std::min(s.accBits, 8u)) {
    s.out[s.outLength++] = static_cast<std::uint8_t>(s.acc);
    s.acc >>= 8;
  }
  unsigned size = s.outLength;
  if (size > 0)
    s.write(reinterpret_cast<char *>(s.out), &size, s.param);
}

Code literalCode(const Imploder &s, std::uint8_t byte) {
  if (s.ascii) {
    Code code = kAsciiLiteralCodes[byte];
    return {static_cast<std::uint8_t>(code.bits + 1), static_cast<std::uint16_t>(code.value << 1)};
  }
  return {9, static_cast<std::uint16_t>(byte << 1)};
}

Code distanceCode(const Imploder &s, const Match &m) {
  unsigned low = m.length == 2 ? 2 : s.lowBits;
  unsigned d = m.distance - 1;
  Code high = kDistanceCodes[d >> low];
  return {static_cast<std::uint8_t>(high.bits + low),
          static_cast<std::uint16_t>(high.value | (d & ((1u << low) - 1)) << high.bits)};
}

void putLiteral(Imploder &s, std::uint8_t byte) {
  Code code = literalCode(s, byte);
  put(s, code.value, code.bits);
}

void putMatch(Imploder &s, const Match &m) {
  Code length = kLengthEncoder[m.length];
  Code distance = distanceCode(s, m);
  put(s, length.value | std::uint32_t{distance.value} << length.bits, length.bits + distance.bits);
}

unsigned bits(const Imploder &s, const Match &m) {
  return kLengthEncoder[m.length].bits + distanceCode(s, m).bits;
}

// Bits of a parse step in sixteenths, less the credit for the bytes it covers.
int weight(unsigned bits, unsigned covered) {
  return 16 * static_cast<int>(bits) - kByteCredit * static_cast<int>(covered);
}

// Whether a literal then `next` weigh less than `match`.
bool cheaperDeferred(const Imploder &s, std::uint8_t literal, const Match &next,
                     const Match &match) {
  if (next.length < kMinMatch)
    return false;
  return weight(literalCode(s, literal).bits + bits(s, next), 1 + next.length) <
         weight(bits(s, match), match.length);
}

std::uint32_t load32(const std::uint8_t *p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

unsigned hash3(const std::uint8_t *p) {
  std::uint32_t v = p[0] | p[1] << 8 | p[2] << 16;
  return (v * 2654435761u) >> (32 - kHashBits);
}

void insertUpTo(Imploder &s, unsigned upto) {
  for (; s.inserted < upto; ++s.inserted) {
    unsigned p = s.inserted;
    if (p + 3 <= s.end) {
      std::uint16_t &head = s.head3[hash3(s.window + p)];
      s.prev[p % kMaxDictionary] = head;
      head = static_cast<std::uint16_t>(p);
    }
  }
}

unsigned commonLength(const std::uint8_t *a, const std::uint8_t *b, unsigned limit) {
  unsigned n = 0;
  for (; n + 8 <= limit; n += 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a + n, 8);
    std::memcpy(&y, b + n, 8);
    if (x != y)
      return n + static_cast<unsigned>(std::countr_zero(x ^ y)) / 8;
  }
  while (n < limit && a[n] == b[n])
    ++n;
  return n;
}

// Nearest length-2 match for position p, scanning 16 candidates a step.
Match findShort(const Imploder &s, unsigned p) {
  using Bytes16 = std::uint8_t __attribute__((vector_size(16)));
  unsigned low = p > kMaxShortDistance ? p - kMaxShortDistance : 0;
  const std::uint8_t first = s.window[p], second = s.window[p + 1];
  unsigned top = p;  // candidates below this are left
  for (; top >= low + 16; top -= 16) {
    Bytes16 a, b;
    std::memcpy(&a, s.window + top - 16, 16);
    std::memcpy(&b, s.window + top - 15, 16);
    auto hits = (a == first) & (b == second);
    std::uint64_t half[2];
    std::memcpy(half, &hits, 16);
    if (half[1] != 0)
      return {2, p - (top - 8 + static_cast<unsigned>(63 - std::countl_zero(half[1])) / 8)};
    if (half[0] != 0)
      return {2, p - (top - 16 + static_cast<unsigned>(63 - std::countl_zero(half[0])) / 8)};
  }
  for (; top > low; --top)
    if (s.window[top - 1] == first && s.window[top] == second)
      return {2, p - (top - 1)};
  return {};
}

// Longest match for position p (nearest among equals); every position below p is inserted.
Match find(const Imploder &s, unsigned p) {
  Match best;
  unsigned limit = std::min(kMaxMatch, s.end - p);
  if (limit < kMinMatch)
    return best;
  const std::uint8_t *here = s.window + p;
  if (limit >= 3) {
    unsigned candidate = s.head3[hash3(here)];
    for (unsigned chain = kMaxChain; candidate != kNone && p - candidate <= s.dictionary;) {
      const std::uint8_t *there = s.window + candidate;
      if (there[best.length] == here[best.length] && load32(there) << 8 == load32(here) << 8) {
        unsigned length = commonLength(there, here, limit);
        if (length > best.length) {
          best = {length, p - candidate};
          if (length == limit)
            break;
        }
      }
      if (--chain == 0)
        break;
      candidate = s.prev[candidate % kMaxDictionary];
    }
  }
  if (best.length < 3)
    best = findShort(s, p);
  return best;
}

// Drops the oldest 4096 bytes of the window and tops it up from the input.
void refillWindow(Imploder &s) {
  if (s.end == kWindowSize) {
    constexpr unsigned shift = kMaxDictionary;
    std::memmove(s.window, s.window + shift, s.end - shift);
    s.end -= shift;
    s.pos -= shift;
    s.inserted -= shift;
    auto rebase = [](std::uint16_t &v) {
      v = v != kNone && v >= shift ? static_cast<std::uint16_t>(v - shift) : kNone;
    };
    std::for_each(std::begin(s.head3), std::end(s.head3), rebase);
    std::for_each(std::begin(s.prev), std::end(s.prev), rebase);
  }
  while (s.end < kWindowSize) {
    unsigned size = kWindowSize - s.end;
    unsigned got = std::min(s.read(reinterpret_cast<char *>(s.window + s.end), &size, s.param), size);
    if (got == 0) {
      s.exhausted = true;
      return;
    }
    s.end += got;
  }
}

void compress(Imploder &s) {
  put(s, s.ascii ? DCL_ASCII : DCL_BINARY, 8);
  put(s, s.lowBits, 8);
  Match pending;  // already found for s.pos by the lazy look
  bool havePending = false;
  for (;;) {
    if (!s.exhausted && s.end - s.pos < kLookahead)
      refillWindow(s);
    if (s.pos >= s.end)
      break;
    Match m = havePending ? pending : find(s, s.pos);
    havePending = false;
    insertUpTo(s, s.pos + 1);
    if (m.length < kMinMatch) {
      putLiteral(s, s.window[s.pos++]);
      continue;
    }
    if (m.length < kLazyLimit && s.pos + 1 < s.end) {
      Match next = find(s, s.pos + 1);
      if (cheaperDeferred(s, s.window[s.pos], next, m)) {
        putLiteral(s, s.window[s.pos++]);
        pending = next;
        havePending = true;
        continue;
      }
    }
    putMatch(s, m);
    s.pos += m.length;
    insertUpTo(s, s.pos);
  }
  Code endMarker = kLengthEncoder[kEndLength];
  put(s, endMarker.value, endMarker.bits);
  finish(s);
}

}  // namespace

unsigned int dcl_implode(unsigned int (*read)(char *buf, unsigned int *size, void *param),
                         void (*write)(char *buf, unsigned int *size, void *param), char *work,
                         void *param, unsigned int literal_mode, unsigned int dict_size) {
  if (dict_size != 1024 && dict_size != 2048 && dict_size != 4096)
    return 1;
  if (literal_mode != DCL_BINARY && literal_mode != DCL_ASCII)
    return 2;
  void *place = work;
  std::size_t space = DCL_IMPLODE_WORK_SIZE;
  std::align(alignof(Imploder), sizeof(Imploder), place, space);
  Imploder &s = *new (place) Imploder;
  std::fill(std::begin(s.head3), std::end(s.head3), kNone);
  std::fill(std::begin(s.prev), std::end(s.prev), kNone);
  s.read = read;
  s.write = write;
  s.param = param;
  s.acc = 0;
  s.accBits = 0;
  s.outLength = 0;
  s.pos = 0;
  s.end = 0;
  s.inserted = 0;
  s.dictionary = dict_size;
  s.lowBits = static_cast<unsigned>(std::countr_zero(dict_size)) - 6;
  s.ascii = literal_mode == DCL_ASCII;
  s.exhausted = false;
  compress(s);
  return 0;
}
