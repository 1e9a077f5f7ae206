// DCL implode and explode, ours beside the peer's (libstorm), on the same data: C source
// text, a binary STL of 1 M triangles, an ASCII STL, and the vertex and corner blocks a
// binary part file stores for a torus of 960 000 triangles. Throughput is counted in
// uncompressed bytes; `size_vs_peer` is our compressed size over the peer's.
#include "tests/formats/dcl_support.h"

#include <benchmark/benchmark.h>

#include <map>

namespace {

using dcltest::Bytes;

enum Data { kSource, kBinaryStl, kAsciiStl, kKvbVertices, kKvbCorners };

const Bytes &data(int which) {
  static std::map<int, Bytes> cache;
  auto it = cache.find(which);
  if (it == cache.end()) {
    Bytes made = which == kSource        ? dcltest::cSource(8 << 20)
                 : which == kBinaryStl   ? dcltest::binaryStl(1'000'000)
                 : which == kAsciiStl    ? dcltest::asciiStl(150'000)
                 : which == kKvbVertices ? dcltest::torusBlocks(600, 800).vertices
                                         : dcltest::torusBlocks(600, 800).corners;
    it = cache.emplace(which, std::move(made)).first;
  }
  return it->second;
}

const char *name(int which) {
  static const char *const names[] = {"c_source", "binary_stl", "ascii_stl", "kvb_vertices",
                                      "kvb_corners"};
  return names[which];
}

// Both implementations read from memory and only count what they write.
struct Counted {
  dcltest::Io io;
  std::size_t written = 0;
};

unsigned readCounted(char *buf, unsigned *size, void *param) {
  return dcltest::readIo(buf, size, &static_cast<Counted *>(param)->io);
}

void writeCounted(char *, unsigned *size, void *param) {
  static_cast<Counted *>(param)->written += *size;
}

template <bool Ours>
void implodeBench(benchmark::State &state) {
  const Bytes &in = data(static_cast<int>(state.range(0)));
  auto dict = static_cast<unsigned>(state.range(1));
  std::vector<char> work(std::max<std::size_t>(DCL_IMPLODE_WORK_SIZE, dcltest::kPeerWorkSize));
  std::size_t packed = 0;
  for (auto _ : state) {
    Counted c;
    c.io.input = &in;
    unsigned mode = DCL_BINARY;
    if (Ours)
      dcl_implode(readCounted, writeCounted, work.data(), &c, mode, dict);
    else
      implode(readCounted, writeCounted, work.data(), &c, &mode, &dict);
    packed = c.written;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
  state.SetLabel(name(static_cast<int>(state.range(0))));
  state.counters["ratio"] = static_cast<double>(packed) / static_cast<double>(in.size());
  if (Ours)
    state.counters["size_vs_peer"] =
        static_cast<double>(packed) /
        static_cast<double>(dcltest::peerImplode(in, DCL_BINARY, dict).data.size());
}

template <bool Ours>
void explodeBench(benchmark::State &state) {
  const Bytes &in = data(static_cast<int>(state.range(0)));
  // Both decode the same stream: the peer's, in the literal mode given.
  static std::map<std::pair<int, int>, Bytes> packed;
  auto key = std::make_pair(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  if (!packed.count(key))
    packed[key] = dcltest::peerImplode(in, static_cast<unsigned>(state.range(1)), 4096).data;
  const Bytes &stream = packed[key];
  std::vector<char> work(std::max<std::size_t>(DCL_EXPLODE_WORK_SIZE, dcltest::kPeerWorkSize));
  std::size_t out = 0;
  for (auto _ : state) {
    Counted c;
    c.io.input = &stream;
    if (Ours)
      dcl_explode(readCounted, writeCounted, work.data(), &c);
    else
      explode(readCounted, writeCounted, work.data(), &c);
    out = c.written;
  }
  if (out != in.size())
    state.SkipWithError("decoded size differs from the input");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * in.size()));
  state.SetLabel(std::string(name(static_cast<int>(state.range(0)))) +
                 (state.range(1) == DCL_ASCII ? " ascii" : " binary"));
}

void implodeArgs(benchmark::internal::Benchmark *b) {
  for (int which : {kSource, kBinaryStl, kAsciiStl, kKvbVertices, kKvbCorners})
    for (int dict : {1024, 2048, 4096})
      b->Args({which, dict});
  b->Unit(benchmark::kMillisecond)->MinTime(1.0);
}

void explodeArgs(benchmark::internal::Benchmark *b) {
  for (int which : {kSource, kBinaryStl, kAsciiStl})
    b->Args({which, DCL_BINARY});
  b->Args({kSource, DCL_ASCII});
  b->Unit(benchmark::kMillisecond)->MinTime(1.0);
}

BENCHMARK(explodeBench<true>)->Name("explode/ours")->Apply(explodeArgs);
BENCHMARK(explodeBench<false>)->Name("explode/peer")->Apply(explodeArgs);
BENCHMARK(implodeBench<true>)->Name("implode/ours")->Apply(implodeArgs);
BENCHMARK(implodeBench<false>)->Name("implode/peer")->Apply(implodeArgs);

}  // namespace
