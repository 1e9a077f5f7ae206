// Decompressor of the DCL implode stream.
//
// The bits are taken from a 64-bit buffer that is topped up eight bytes at a time, so that
// while enough input is buffered a whole token (at most 30 bits) decodes without any bounds
// check; only the last few bits of the input go through the checked path.
#include <kivctrl/dcl.h>

#include "formats/dcl_ascii_codes.h"
#include "formats/dcl_codes.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace {

using namespace kiv::dcl;

using ReadFn = unsigned int (*)(char *, unsigned int *, void *);
using WriteFn = void (*)(char *, unsigned int *, void *);

static_assert(std::endian::native == std::endian::little, "the bit reader loads little-endian words");

constexpr unsigned kInputChunk = 2048;
constexpr unsigned kOutputChunk = 4096;
// Output is written once this much is buffered; the newer half stays as history.
constexpr unsigned kFlushLevel = 2 * kOutputChunk;
// Wide match copies may write this far past the end of a match.
constexpr unsigned kCopySlack = 8;
// Longest token: match flag, length code and extra bits, distance code and low bits.
constexpr unsigned kMaxTokenBits = 1 + 7 + 8 + 8 + 6;

constexpr auto kLengthDecoder = makeDecoder<7>(kLengthCodes);
constexpr auto kDistanceDecoder = makeDecoder<8>(kDistanceCodes);
constexpr auto kAsciiDecoder = makeDecoder<13>(kAsciiLiteralCodes);

enum Status : unsigned { kDone = 0, kBadDictionary = 1, kBadMode = 2, kShortInput = 3, kBroken = 4 };
enum class Step { kNext, kEnd, kBroken };

struct Exploder {
  // window[0, pos) is output not yet written; its last 4096 bytes are the match history.
  std::uint8_t window[kFlushLevel + kMaxMatch + kCopySlack];
  std::uint8_t input[kInputChunk];
  ReadFn read;
  WriteFn write;
  void *param;
  const std::uint8_t *next;
  const std::uint8_t *end;
  std::uint64_t bits;
  unsigned count;  // valid bits in `bits`
  unsigned pos;
  unsigned lowBits;
  bool ascii;
  bool exhausted;
};

static_assert(sizeof(Exploder) + alignof(Exploder) - 1 <= DCL_EXPLODE_WORK_SIZE);

unsigned fetch(Exploder &s) {
  unsigned size = kInputChunk;
  unsigned got = std::min(s.read(reinterpret_cast<char *>(s.input), &size, s.param), kInputChunk);
  s.next = s.input;
  s.end = s.input + got;
  return got;
}

void refill(Exploder &s) {
  if (s.end - s.next >= 8) {
    // Bits loaded past the new count are the true next bits, so loading them again is harmless.
    std::uint64_t word;
    std::memcpy(&word, s.next, 8);
    s.bits |= word << s.count;
    s.next += (63 - s.count) >> 3;
    s.count |= 56;
    return;
  }
  while (s.count < 56) {
    if (s.next == s.end) {
      if (s.exhausted)
        return;
      if (fetch(s) == 0) {
        s.exhausted = true;
        return;
      }
    }
    s.bits |= std::uint64_t{*s.next++} << s.count;
    s.count += 8;
  }
}

void consume(Exploder &s, unsigned n) {
  s.bits >>= n;
  s.count -= n;
}

void copyMatch(std::uint8_t *dst, unsigned distance, unsigned length) {
  const std::uint8_t *src = dst - distance;
  if (distance >= 8) {
    for (unsigned i = 0; i < length; i += 8)
      std::memcpy(dst + i, src + i, 8);
  } else if (distance == 1) {
    std::memset(dst, *src, length);
  } else {
    for (unsigned i = 0; i < length; ++i)
      dst[i] = src[i];
  }
}

// Decodes one token. Unchecked, the caller guarantees kMaxTokenBits buffered bits; checked,
// the input is exhausted and every field is checked against what is left.
template <bool Checked>
Step token(Exploder &s) {
  auto missing = [&s](unsigned n) { return Checked && s.count < n; };
  if (missing(1))
    return Step::kBroken;
  if (!(s.bits & 1)) {
    unsigned used = 9;
    std::uint8_t byte = static_cast<std::uint8_t>(s.bits >> 1);
    if (s.ascii) {
      Decoded literal = kAsciiDecoder[(s.bits >> 1) & 0x1FFF];
      if (literal.bits == 0)
        return Step::kBroken;
      used = 1 + literal.bits;
      byte = literal.symbol;
    }
    if (missing(used))
      return Step::kBroken;
    consume(s, used);
    s.window[s.pos++] = byte;
    return Step::kNext;
  }

  Decoded code = kLengthDecoder[(s.bits >> 1) & 0x7F];
  unsigned extra = kLengthExtra[code.symbol];
  unsigned used = 1 + code.bits + extra;
  if (missing(used))
    return Step::kBroken;
  unsigned length = kLengthBase[code.symbol] + kMinMatch +
                    static_cast<unsigned>((s.bits >> (1 + code.bits)) & ((1u << extra) - 1));
  consume(s, used);
  if (length == kEndLength)
    return Step::kEnd;

  Decoded high = kDistanceDecoder[s.bits & 0xFF];
  unsigned low = length == 2 ? 2 : s.lowBits;
  if (missing(high.bits + low))
    return Step::kBroken;
  unsigned distance =
      ((unsigned{high.symbol} << low) | static_cast<unsigned>((s.bits >> high.bits) & ((1u << low) - 1))) + 1;
  consume(s, high.bits + low);
  if (distance > s.pos)
    return Step::kBroken;  // reaches back before the start of the output
  copyMatch(s.window + s.pos, distance, length);
  s.pos += length;
  return Step::kNext;
}

void emit(Exploder &s, std::uint8_t *data, unsigned n) {
  unsigned size = n;
  s.write(reinterpret_cast<char *>(data), &size, s.param);
}

void flushHalf(Exploder &s) {
  emit(s, s.window, kOutputChunk);
  std::memmove(s.window, s.window + kOutputChunk, s.pos - kOutputChunk);
  s.pos -= kOutputChunk;
}

void flushAll(Exploder &s) {
  for (unsigned start = 0; start < s.pos; start += kOutputChunk)
    emit(s, s.window + start, std::min(kOutputChunk, s.pos - start));
  s.pos = 0;
}

Status run(Exploder &s) {
  for (;;) {
    refill(s);
    Step step = s.count >= kMaxTokenBits ? token<false>(s) : token<true>(s);
    if (step != Step::kNext) {
      flushAll(s);
      return step == Step::kEnd ? kDone : kBroken;
    }
    if (s.pos >= kFlushLevel)
      flushHalf(s);
  }
}

}  // namespace

unsigned int dcl_explode(unsigned int (*read)(char *buf, unsigned int *size, void *param),
                         void (*write)(char *buf, unsigned int *size, void *param), char *work,
                         void *param) {
  void *place = work;
  std::size_t space = DCL_EXPLODE_WORK_SIZE;
  std::align(alignof(Exploder), sizeof(Exploder), place, space);
  Exploder &s = *new (place) Exploder;
  s.read = read;
  s.write = write;
  s.param = param;
  if (fetch(s) <= 4)
    return kShortInput;
  unsigned mode = s.input[0];
  unsigned dictionaryCode = s.input[1];
  if (dictionaryCode < 4 || dictionaryCode > 6)
    return kBadDictionary;
  if (mode != DCL_BINARY && mode != DCL_ASCII)
    return kBadMode;
  s.ascii = mode == DCL_ASCII;
  s.lowBits = dictionaryCode;
  s.next += 2;
  s.bits = 0;
  s.count = 0;
  s.pos = 0;
  s.exhausted = false;
  return run(s);
}
