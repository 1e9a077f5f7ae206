#include "formats/dcl_ascii_codes.h"
#include "formats/dcl_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using dcltest::Bytes;

const std::filesystem::path kDataDir = std::filesystem::path(KIV_TESTDATA_DIR) / "dcl";
constexpr unsigned kDictionaries[] = {1024, 2048, 4096};

Bytes readFile(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

Bytes text(std::string_view s) { return Bytes(s.begin(), s.end()); }

struct Sample {
  const char *name;
  Bytes data;
};

const std::vector<Sample> &samples() {
  static const std::vector<Sample> all = [] {
    Bytes mixed = dcltest::cSource(40000, 7);
    Bytes noise = dcltest::randomBytes(3000, 9);
    mixed.insert(mixed.begin() + 20000, noise.begin(), noise.end());
    Bytes periodic;
    for (int i = 0; i < 5000; ++i)
      periodic.push_back(static_cast<std::uint8_t>("ab\0xyz"[i % 6]));
    return std::vector<Sample>{
        {"one byte", text("x")},
        {"two bytes", text("xx")},
        {"short text", text("AIAIAIAIAIAIA")},
        {"run longer than 518", Bytes(5000, 'a')},
        {"zero run of 1037", Bytes(1037, 0)},
        {"periodic", periodic},
        {"random", dcltest::randomBytes(20000, 3)},
        {"every byte value", [] { Bytes b(256 * 3); for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i * 7); return b; }()},
        {"source text", dcltest::cSource(100000)},
        {"text with random middle", mixed},
        {"binary mesh", dcltest::binaryStl(3000)},
        {"ascii mesh", dcltest::asciiStl(800)},
        {"large source text", dcltest::cSource(400000, 5)},
    };
  }();
  return all;
}

TEST(DclTables, AsciiLiteralCodesMatchPublishedList) {
  auto path = kDataDir / "ascii-literal-codes.txt";
  if (!std::filesystem::exists(path))
    GTEST_SKIP() << path << " not present";
  std::ifstream in(path);
  std::string line;
  int rows = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#')
      continue;
    std::istringstream fields(line);
    unsigned byte = 0, bits = 0, value = 0;
    fields >> std::hex >> byte >> std::dec >> bits >> std::hex >> value;
    ASSERT_LT(byte, 256u) << line;
    EXPECT_EQ(kiv::dcl::kAsciiLiteralCodes[byte].bits, bits) << line;
    EXPECT_EQ(kiv::dcl::kAsciiLiteralCodes[byte].value, value) << line;
    ++rows;
  }
  EXPECT_EQ(rows, 256);
}

TEST(DclTables, CodesArePrefixFreeAndComplete) {
  auto check = [](const auto &codes) {
    // Kraft sum of exactly 1 with no code a prefix of another: every long pattern starts
    // exactly one code.
    double kraft = 0;
    for (const auto &c : codes) {
      EXPECT_LT(c.value, 1u << c.bits);
      kraft += 1.0 / (1u << c.bits);
    }
    EXPECT_DOUBLE_EQ(kraft, 1.0);
    for (unsigned pattern = 0; pattern < (1u << 13); ++pattern) {
      int starts = 0;
      for (const auto &c : codes)
        starts += (pattern & ((1u << c.bits) - 1)) == c.value;
      EXPECT_EQ(starts, 1) << pattern;
    }
  };
  check(kiv::dcl::kLengthCodes);
  check(kiv::dcl::kDistanceCodes);
  check(kiv::dcl::kAsciiLiteralCodes);
}

TEST(DclExplode, DecodesPublishedExample) {
  if (!std::filesystem::exists(kDataDir / "blast-example.pk"))
    GTEST_SKIP() << kDataDir << " not present";
  auto result = dcltest::ourExplode(readFile(kDataDir / "blast-example.pk"));
  EXPECT_EQ(result.status, 0u);
  EXPECT_EQ(result.data, readFile(kDataDir / "blast-example.txt"));
}

TEST(DclInterop, OurImplodeDecodesWithPeerAndOurs) {
  for (const auto &sample : samples())
    for (unsigned dict : kDictionaries) {
      SCOPED_TRACE(testing::Message() << sample.name << ", dictionary " << dict);
      auto packed = dcltest::ourImplode(sample.data, DCL_BINARY, dict);
      ASSERT_EQ(packed.status, 0u);
      ASSERT_GE(packed.data.size(), 2u);
      EXPECT_EQ(packed.data[0], 0);
      EXPECT_EQ(packed.data[1], std::countr_zero(dict) - 6);
      auto peer = dcltest::peerExplode(packed.data);
      EXPECT_EQ(peer.status, 0u);
      EXPECT_TRUE(peer.data == sample.data);
      auto ours = dcltest::ourExplode(packed.data);
      EXPECT_EQ(ours.status, 0u);
      EXPECT_TRUE(ours.data == sample.data);
    }
}

TEST(DclInterop, PeerImplodeDecodesWithOurs) {
  for (const auto &sample : samples())
    for (unsigned mode : {DCL_BINARY, DCL_ASCII})
      for (unsigned dict : kDictionaries) {
        SCOPED_TRACE(testing::Message() << sample.name << ", mode " << mode << ", dictionary " << dict);
        auto packed = dcltest::peerImplode(sample.data, mode, dict);
        ASSERT_EQ(packed.status, 0u);
        auto ours = dcltest::ourExplode(packed.data);
        EXPECT_EQ(ours.status, 0u);
        EXPECT_TRUE(ours.data == sample.data);
      }
}

TEST(DclInterop, AsciiModeWritingDecodesWithPeer) {
  for (const auto &sample : samples()) {
    SCOPED_TRACE(sample.name);
    auto packed = dcltest::ourImplode(sample.data, DCL_ASCII, 4096);
    ASSERT_EQ(packed.status, 0u);
    EXPECT_EQ(packed.data[0], 1);
    auto peer = dcltest::peerExplode(packed.data);
    EXPECT_EQ(peer.status, 0u);
    EXPECT_TRUE(peer.data == sample.data);
  }
}

TEST(DclInterop, EmptyInputGivesTheShortStreamBothReject) {
  for (unsigned dict : kDictionaries) {
    auto ours = dcltest::ourImplode({}, DCL_BINARY, dict);
    auto peer = dcltest::peerImplode({}, DCL_BINARY, dict);
    EXPECT_EQ(ours.data.size(), 4u);
    EXPECT_EQ(ours.data, peer.data);
    EXPECT_EQ(dcltest::ourExplode(ours.data).status, 3u);
    EXPECT_EQ(dcltest::peerExplode(ours.data).status, 3u);
  }
}

TEST(DclImplode, RejectsBadArguments) {
  Bytes in = text("abc");
  EXPECT_EQ(dcltest::ourImplode(in, DCL_BINARY, 8192).status, 1u);
  EXPECT_EQ(dcltest::ourImplode(in, DCL_BINARY, 0).status, 1u);
  EXPECT_EQ(dcltest::ourImplode(in, 2, 4096).status, 2u);
  EXPECT_EQ(dcltest::ourImplode(in, 2, 4096).data.size(), 0u);
}

TEST(DclImplode, SmallReadsGiveTheSameStream) {
  const Bytes &in = samples()[8].data;
  auto whole = dcltest::ourImplode(in, DCL_BINARY, 4096);
  std::vector<char> work(DCL_IMPLODE_WORK_SIZE);
  dcltest::Io io;
  io.input = &in;
  io.maxChunk = 7;
  ASSERT_EQ(dcl_implode(dcltest::readIo, dcltest::writeIo, work.data(), &io, DCL_BINARY, 4096), 0u);
  EXPECT_TRUE(io.output == whole.data);
}

TEST(DclInterop, WorkAreasNeedNoAlignment) {
  // The work areas start one byte past an aligned address and end exactly where the
  // allocation ends, so any use beyond their documented size is an overflow.
  const Bytes &in = samples()[9].data;
  std::vector<char> implodeWork(DCL_IMPLODE_WORK_SIZE + 1);
  dcltest::Io io;
  io.input = &in;
  ASSERT_EQ(dcl_implode(dcltest::readIo, dcltest::writeIo, implodeWork.data() + 1, &io, DCL_BINARY, 4096), 0u);
  std::vector<char> explodeWork(DCL_EXPLODE_WORK_SIZE + 1);
  dcltest::Io back;
  back.input = &io.output;
  ASSERT_EQ(dcl_explode(dcltest::readIo, dcltest::writeIo, explodeWork.data() + 1, &back), 0u);
  EXPECT_TRUE(back.output == in);
}

TEST(DclImplode, RunsCompressToAFewBytes) {
  // One literal, then matches of distance 1 of the longest length (16 + 6 bits each).
  auto packed = dcltest::ourImplode(Bytes(518 * 100 + 1, 'z'), DCL_BINARY, 1024);
  EXPECT_LE(packed.data.size(), 2u + (9 + 100 * 23 + 16 + 7) / 8);
  // A length-2 match reaches only 256 back: beyond that the pair is sent as literals.
  Bytes far(302, ' ');
  far[0] = far[300] = 'q';
  far[1] = far[301] = 'z';
  auto result = dcltest::peerExplode(dcltest::ourImplode(far, DCL_BINARY, 4096).data);
  EXPECT_EQ(result.status, 0u);
  EXPECT_TRUE(result.data == far);
}

TEST(DclExplode, RejectsBadHeaders) {
  struct Case {
    Bytes stream;
    unsigned status;
  } cases[] = {
      {{0, 7, 0, 0, 0, 0}, 1},  {{0, 3, 0, 0, 0, 0}, 1}, {{2, 6, 0, 0, 0, 0}, 2},
      {{2, 9, 0, 0, 0, 0}, 1},  {{0, 6, 0, 0}, 3},       {{}, 3},
  };
  for (const auto &c : cases) {
    auto ours = dcltest::ourExplode(c.stream);
    EXPECT_EQ(ours.status, c.status);
    EXPECT_EQ(dcltest::peerExplode(c.stream).status, c.status);
    EXPECT_TRUE(ours.data.empty());
  }
}

TEST(DclExplode, ReadsAndWritesInFixedChunks) {
  const Bytes &in = samples()[12].data;
  auto packed = dcltest::ourImplode(in, DCL_BINARY, 4096);
  std::vector<char> work(DCL_EXPLODE_WORK_SIZE);
  dcltest::Io io;
  io.input = &packed.data;
  io.recordCalls = true;
  ASSERT_EQ(dcl_explode(dcltest::readIo, dcltest::writeIo, work.data(), &io), 0u);
  EXPECT_TRUE(io.output == in);
  for (unsigned asked : io.readSizes)
    EXPECT_EQ(asked, 2048u);
  ASSERT_EQ(io.writeSizes.size(), (in.size() + 4095) / 4096);
  for (std::size_t i = 0; i + 1 < io.writeSizes.size(); ++i)
    EXPECT_EQ(io.writeSizes[i], 4096u);
}

TEST(DclExplode, ToleratesShortReads) {
  const Bytes &in = samples()[10].data;
  for (unsigned mode : {DCL_BINARY, DCL_ASCII}) {
    auto packed = dcltest::peerImplode(in, mode, 2048);
    auto result = dcltest::ourExplode(packed.data, 5);
    EXPECT_EQ(result.status, 0u);
    EXPECT_TRUE(result.data == in);
  }
}

TEST(DclExplode, TruncatedStreamsYieldAPrefixAndStatus4) {
  const Bytes in = dcltest::cSource(6000, 11);
  for (unsigned mode : {DCL_BINARY, DCL_ASCII}) {
    auto packed = dcltest::peerImplode(in, mode, 1024).data;
    for (std::size_t cut = 5; cut < packed.size() - 1; ++cut) {
      Bytes part(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(cut));
      auto result = dcltest::ourExplode(part);
      ASSERT_EQ(result.status, 4u) << cut;
      ASSERT_LE(result.data.size(), in.size());
      ASSERT_TRUE(std::equal(result.data.begin(), result.data.end(), in.begin())) << cut;
    }
  }
}

// Our stream is never longer than the peer's for any kind of input, and both decoders give
// the input back. The inputs are small, but each spans several of our parse blocks and,
// but for the short ones, more than the largest dictionary.
struct SizeCase {
  const char *name;
  Bytes (*make)();
};

const SizeCase kSizeCases[] = {
    {"CSource", [] { return dcltest::cSource(12000, 3); }},
    {"EnglishText", [] { return dcltest::englishText(12000, 4); }},
    {"AsciiStl", [] { return dcltest::asciiStl(60); }},
    {"BinaryStl", [] { return dcltest::binaryStl(300); }},
    {"TorusVertices", [] { return dcltest::torusBlocks(16, 24).vertices; }},
    {"TorusNormals", [] { return dcltest::torusBlocks(40, 60).normals; }},
    {"TorusCorners", [] { return dcltest::torusBlocks(16, 24).corners; }},
    {"SphereVertices", [] { return dcltest::sphereBlocks(14, 24).vertices; }},
    {"SphereCorners", [] { return dcltest::sphereBlocks(14, 24).corners; }},
    {"WavyGridVertices", [] { return dcltest::wavyGridBlocks(18, 18).vertices; }},
    {"WavyGridNormals", [] { return dcltest::wavyGridBlocks(50, 50).normals; }},
    {"ScatteredVertices", [] { return dcltest::scatteredBlocks(1000, 10, 5).vertices; }},
    {"ScatteredNormals", [] { return dcltest::scatteredBlocks(4000, 10, 6).normals; }},
    {"ScatteredCorners", [] { return dcltest::scatteredBlocks(1500, 1200, 7).corners; }},
    {"FloatGrid", [] { return dcltest::floatGrid(30, 30); }},
    {"Random", [] { return dcltest::randomBytes(9000, 8); }},
    {"LongRuns", [] { return dcltest::longRuns(20000, 9); }},
    {"AllZero", [] { return Bytes(12000, 0); }},
    {"FiveBytes", [] { return text("abcab"); }},
    {"ShortRepeat", [] { return text("xyzxyzxyzq"); }},
};

void PrintTo(const SizeCase &c, std::ostream *os) { *os << c.name; }

// One test per kind of input (each is a process of its own under CTest), every dictionary
// size and literal mode within it.
class DclSize : public testing::TestWithParam<SizeCase> {};

TEST_P(DclSize, NeverLongerThanPeerAndDecodesWithBoth) {
  const Bytes in = GetParam().make();
  for (unsigned mode : {DCL_BINARY, DCL_ASCII})
    for (unsigned dict : kDictionaries) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << ", dictionary " << dict);
      auto ours = dcltest::ourImplode(in, mode, dict);
      auto peer = dcltest::peerImplode(in, mode, dict);
      ASSERT_EQ(ours.status, 0u);
      EXPECT_LE(ours.data.size(), peer.data.size());
      auto byPeer = dcltest::peerExplode(ours.data);
      EXPECT_EQ(byPeer.status, 0u);
      EXPECT_TRUE(byPeer.data == in);
      auto byUs = dcltest::ourExplode(ours.data);
      EXPECT_EQ(byUs.status, 0u);
      EXPECT_TRUE(byUs.data == in);
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, DclSize, testing::ValuesIn(kSizeCases),
                         [](const testing::TestParamInfo<SizeCase> &info) {
                           return std::string(info.param.name);
                         });

TEST(DclExplode, DistanceBeforeTheStartIsAnError) {
  // Binary mode, a match of length 3 at distance 1 with nothing decoded yet. Bits, first
  // lowest: 1 (match), 1 1 (length 3), 1 1 (distance code 0), 0 0 0 0 (low distance bits).
  Bytes stream = {0, 4, 0b0001'1111, 0, 0, 0};
  auto result = dcltest::ourExplode(stream);
  EXPECT_EQ(result.status, 4u);
  EXPECT_TRUE(result.data.empty());
}

TEST(DclExplode, CorruptStreamsStayInBounds) {
  // Bit flips and random bodies must end (status 0 or 4) without touching memory they do not
  // own; the sanitizer build makes the second half of that check.
  const Bytes in = dcltest::cSource(30000, 13);
  std::mt19937 rng(17);
  for (unsigned mode : {DCL_BINARY, DCL_ASCII}) {
    auto packed = dcltest::peerImplode(in, mode, 4096).data;
    for (int round = 0; round < 300; ++round) {
      Bytes broken = packed;
      std::size_t at = 2 + rng() % (broken.size() - 2);
      broken[at] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
      auto result = dcltest::ourExplode(broken);
      ASSERT_TRUE(result.status == 0 || result.status == 4);
    }
  }
  for (int round = 0; round < 300; ++round) {
    Bytes noise = dcltest::randomBytes(5 + rng() % 3000, static_cast<unsigned>(round));
    noise[0] = static_cast<std::uint8_t>(rng() % 2);
    noise[1] = static_cast<std::uint8_t>(4 + rng() % 3);
    auto result = dcltest::ourExplode(noise, 1 + rng() % 4096);
    ASSERT_TRUE(result.status == 0 || result.status == 4);
  }
}

}  // namespace
