// Compressor producing the DCL implode stream.
//
// Matches are found through hash chains over three-byte prefixes; the short matches only a
// length of 2 can use come from a table of the latest position of each hashed pair, backed
// by a scan of the 256 bytes behind where another pair took the slot (binary data needs
// every one of them).
// Parsing is optimal per block of input: the codes are fixed, so the exact bit cost of every
// literal and match is known, and the cheapest sequence of steps through the block is found
// as a shortest path over its positions. Each match found offers every length up to its
// own at its distance, the nearest candidate of each length being the cheapest.
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
// Positions one shortest-path search covers; its costs fit 16 bits.
constexpr unsigned kBlock = 512;
// Positions at the end of a block whose coding is left to the next block.
constexpr unsigned kUnsettled = 64;
// Bytes that must follow a block start before it is parsed: a full match from its last
// position.
constexpr unsigned kLookahead = kBlock + kMaxMatch;
constexpr unsigned kWindowSize = 2 * kMaxDictionary + kLookahead;
constexpr unsigned kHashBits = 12;
constexpr unsigned kHashSize = 1u << kHashBits;
constexpr unsigned kPairHashBits = 11;
constexpr std::uint16_t kNone = 0xFFFF;
// How many chain entries one search visits at most.
constexpr unsigned kMaxChain = 256;
// After a search whose longest match is shorter than this the next position is searched
// too, as a literal is likely to be sent there.
constexpr unsigned kShortMatch = 3;
// A search whose longest match is shorter than this is followed by one at the next position,
// as a lazy parse would look there; longer matches are seldom bettered by starting later.
constexpr unsigned kLazyLimit = 8;
// A match at least this long ends the block and is taken as it stands: little can be
// gained around it, and weighing every length of it at every position is slow on long
// repeats.
constexpr unsigned kNiceLength = 32;
// Candidates kept per position: each longer and farther than the one before.
constexpr unsigned kMaxCandidates = 16;
constexpr std::uint16_t kUnreached = 0xFFFF;
// Which positions of a block are searched for matches: those where a lazy parse would look
// (the block start, the end of each longest match found, the position after a literal, and
// the one after each of those when its match is short); the others take the matches of the
// last position searched, shortened.
enum Search : std::uint8_t { kNo, kSecond, kFirst };

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

// The cheapest way found to reach a position of the block: its cost in bits from the block
// start and the last step, a literal (length 1) or a match. Once the block is searched the
// steps of the chosen path are turned around to lead forward.
struct Node {
  std::uint16_t cost;
  std::uint16_t length;
  std::uint16_t distance;
  std::uint8_t search;  // a Search value
};

struct Imploder {
  std::uint8_t window[kWindowSize];
  // Most recent position of each hashed 3-byte prefix, and per position (modulo the largest
  // dictionary) the previous one with the same hash; kNone for none.
  std::uint16_t head3[kHashSize];
  std::uint16_t prev[kMaxDictionary];
  // Most recent position of each hashed 2-byte prefix.
  std::uint16_t head2[1u << kPairHashBits];
  Node nodes[kBlock + 1];
  std::uint8_t out[kOutputChunk];
  std::uint8_t literalBits[256];
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

unsigned distanceBits(unsigned lowBits, unsigned distance) {
  return kDistanceCodes[(distance - 1) >> lowBits].bits + lowBits;
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

unsigned hash2(const std::uint8_t *p) {
  std::uint32_t v = p[0] | p[1] << 8;
  return (v * 2654435761u) >> (32 - kPairHashBits);
}

void insertUpTo(Imploder &s, unsigned upto) {
  for (; s.inserted < upto; ++s.inserted) {
    unsigned p = s.inserted;
    if (p + 2 <= s.end)
      s.head2[hash2(s.window + p)] = static_cast<std::uint16_t>(p);
    const std::uint8_t *at = s.window + p;
    // Inside a run only its first position goes into the chains: the run's other positions
    // would crowd out everything older, and the parse reaches them through matches from
    // the run itself.
    if (p + 3 <= s.end && !(p > 0 && at[-1] == at[0] && at[0] == at[1] && at[1] == at[2])) {
      std::uint16_t &head = s.head3[hash3(at)];
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

// Nearest length-2 match for position p among the candidates in [low, top), scanning 16 a
// step.
Match scanPair(const Imploder &s, unsigned p, unsigned top, unsigned low) {
  using Bytes16 = std::uint8_t __attribute__((vector_size(16)));
  const std::uint8_t first = s.window[p], second = s.window[p + 1];
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

// Nearest length-2 match for position p up to `reach` back. The pair table holds the latest
// position of each hashed pair, so when that is this pair it is the nearest, and when it is
// out of reach no nearer one exists; only when another pair took the slot are the older
// positions scanned.
Match findPair(const Imploder &s, unsigned p, unsigned reach) {
  const unsigned latest = s.head2[hash2(s.window + p)];
  if (latest != kNone && latest >= p)
    return scanPair(s, p, p, p > reach ? p - reach : 0);
  if (latest == kNone || p - latest > reach)
    return {};
  if (s.window[latest] == s.window[p] && s.window[latest + 1] == s.window[p + 1])
    return {2, p - latest};
  return scanPair(s, p, latest, p > reach ? p - reach : 0);
}

// Matches for position p, nearest first, each longer than the one before: together they
// give the nearest match of every length up to the longest found. Every position below p
// is inserted. Returns how many there are.
unsigned find(const Imploder &s, unsigned p, Match (&found)[kMaxCandidates]) {
  const unsigned limit = std::min(kMaxMatch, s.end - p);
  if (limit < kMinMatch)
    return 0;
  // The pair goes first; it is looked for only nearer than the first longer match, which
  // serves for it when near enough.
  unsigned count = 1;
  if (limit >= 3) {
    const std::uint8_t *here = s.window + p;
    unsigned best = 2;
    unsigned candidate = s.head3[hash3(here)];
    // Positions past p are in the chains when the end of the previous block is parsed again.
    while (candidate != kNone && candidate >= p)
      candidate = s.prev[candidate % kMaxDictionary];
    // In a run the chains hold only the first position of each run (see insertUpTo). The
    // run itself gives the match at distance 1; an earlier run at least as long gives
    // the match that goes on past the run's end when aligned with it at that end.
    const bool inRun = here[0] == here[1] && here[1] == here[2];
    const unsigned run = inRun ? 1 + commonLength(here, here + 1, limit - 1) : 0;
    if (inRun && p > 0 && here[-1] == here[0]) {
      best = run;
      found[count++] = {best, 1};
      if (best == limit)
        candidate = kNone;
    }
    for (unsigned chain = kMaxChain; candidate != kNone && p - candidate - 1 < s.dictionary;) {
      unsigned from = candidate;
      const std::uint8_t *there = s.window + from;
      bool aligned = true;
      if (inRun) {
        const unsigned other = there[0] == here[0] && there[1] == here[0] && there[2] == here[0]
                                   ? 1 + commonLength(there, there + 1, p + run - from - 1)
                                   : 0;
        aligned = other >= run && from + (other - run) < p;
        if (aligned) {
          from += other - run;
          there = s.window + from;
        }
      }
      if (aligned && there[best] == here[best] && load32(there) << 8 == load32(here) << 8) {
        unsigned length = commonLength(there, here, limit);
        if (length > best) {
          best = length;
          // When the list is full the farther, longer match stands in for the last one.
          found[count < kMaxCandidates ? count++ : count - 1] = {length, p - from};
          if (length == limit)
            break;
        }
      }
      if (--chain == 0)
        break;
      candidate = s.prev[candidate % kMaxDictionary];
    }
  }
  const unsigned nearest = count > 1 ? found[1].distance : kMaxShortDistance + 1;
  found[0] = findPair(s, p, std::min(nearest - 1, kMaxShortDistance));
  if (found[0].length == 0 && nearest <= kMaxShortDistance)
    found[0] = {2, nearest};
  if (found[0].length != 0)
    return count;
  std::copy(found + 1, found + count, found);
  return count - 1;
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
    std::for_each(std::begin(s.head2), std::end(s.head2), rebase);
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

void relax(Node &node, unsigned cost, unsigned length, unsigned distance) {
  if (cost < node.cost) {
    node.cost = static_cast<std::uint16_t>(cost);
    node.length = static_cast<std::uint16_t>(length);
    node.distance = static_cast<std::uint16_t>(distance);
  }
}

void mark(Node &node, Search search) {
  node.search = std::max(node.search, static_cast<std::uint8_t>(search));
}

// Codes the cheapest path from the block start to node `last` as far as node `stop`, which
// is on it, and moves s.pos there.
void putPath(Imploder &s, unsigned last, unsigned stop) {
  Node *nodes = s.nodes;
  // Turn the path around: each node on it gets the step leaving it.
  Node step = nodes[last];
  for (unsigned at = last; at > 0;) {
    unsigned from = at - step.length;
    Node before = nodes[from];
    nodes[from].length = step.length;
    nodes[from].distance = step.distance;
    at = from;
    step = before;
  }
  for (unsigned j = 0; j < stop; j += nodes[j].length) {
    if (nodes[j].length == 1)
      putLiteral(s, s.window[s.pos + j]);
    else
      putMatch(s, {nodes[j].length, nodes[j].distance});
  }
  s.pos += stop;
}

// The last node at or before `limit` on the cheapest path to node `last`.
unsigned settledNode(const Imploder &s, unsigned last, unsigned limit) {
  unsigned at = last;
  while (at > limit)
    at -= s.nodes[at].length;
  return at;
}

// Finds the cheapest coding of the block starting at s.pos and sends it.
void parseBlock(Imploder &s) {
  const unsigned n = std::min(kBlock, s.end - s.pos);
  Node *nodes = s.nodes;
  nodes[0].cost = 0;
  nodes[0].search = kFirst;
  for (unsigned j = 1; j <= n; ++j) {
    nodes[j].cost = kUnreached;
    nodes[j].search = kNo;
  }
  Match found[kMaxCandidates], rolled[kMaxCandidates];
  unsigned count = 0, searched = 0;
  for (unsigned j = 0; j < n; ++j) {
    const unsigned p = s.pos + j;
    const unsigned base = nodes[j].cost;
    relax(nodes[j + 1], base + s.literalBits[s.window[p]], 1, 0);
    insertUpTo(s, p);
    const Match *matches = found;
    unsigned matchCount = count;
    if (nodes[j].search != kNo) {
      count = find(s, p, found);
      matchCount = count;
      searched = j;
      const unsigned longest = count > 0 ? found[count - 1].length : 0;
      if (longest >= kNiceLength) {
        putPath(s, j, j);
        putMatch(s, found[count - 1]);
        s.pos += longest;
        return;
      }
      if (longest < kShortMatch)
        mark(nodes[j + 1], kFirst);
      else {
        if (j + longest <= n)
          mark(nodes[j + longest], kFirst);
        if (nodes[j].search == kFirst && longest < kLazyLimit)
          mark(nodes[j + 1], kSecond);
      }
    } else {
      // The matches of the last position searched, shortened by the distance come.
      const unsigned shift = j - searched;
      matchCount = 0;
      for (unsigned k = 0; k < count; ++k)
        if (found[k].length >= shift + 3)
          rolled[matchCount++] = {found[k].length - shift, found[k].distance};
      matches = rolled;
    }
    // Lengths past the block end are cut short; the next block goes on from there.
    const unsigned room = n - j;
    unsigned covered = 1;
    for (unsigned k = 0; k < matchCount && covered < room; ++k) {
      const Match &m = matches[k];
      // Going on at the distance of the match that reached this node is never cheaper than
      // that match made longer, which is weighed already.
      if (matches == rolled && nodes[j].length > 1 && m.distance == nodes[j].distance) {
        covered = m.length;
        continue;
      }
      const unsigned low = m.length == 2 ? 2 : s.lowBits;
      const unsigned first = m.length == 2 ? 2 : std::max(covered + 1, 3u);
      const unsigned last = std::min(m.length, room);
      const unsigned reach = base + distanceBits(low, m.distance);
      for (unsigned length = first; length <= last; ++length)
        relax(nodes[j + length], reach + kLengthEncoder[length].bits, length, m.distance);
      covered = m.length;
    }
  }
  // Unless the input ends here, the path near the block end would change with what
  // follows, so only the part before that is sent and the rest is parsed again.
  const bool ends = s.exhausted && n == s.end - s.pos;
  putPath(s, n, ends ? n : settledNode(s, n, n - kUnsettled));
}

void compress(Imploder &s) {
  put(s, s.ascii ? DCL_ASCII : DCL_BINARY, 8);
  put(s, s.lowBits, 8);
  for (;;) {
    if (!s.exhausted && s.end - s.pos < kLookahead)
      refillWindow(s);
    if (s.pos >= s.end)
      break;
    parseBlock(s);
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
  std::fill(std::begin(s.head2), std::end(s.head2), kNone);
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
  for (unsigned byte = 0; byte < 256; ++byte)
    s.literalBits[byte] = literalCode(s, static_cast<std::uint8_t>(byte)).bits;
  compress(s);
  return 0;
}
