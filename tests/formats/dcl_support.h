// Memory adapters around the DCL implode entry points, ours and the peer's (libstorm's pklib
// part, which exports `implode` and `explode` without a public header), and sample data
// shared by the DCL tests and benchmarks.
#pragma once

#include <kivctrl/dcl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

extern "C" {
unsigned int implode(unsigned int (*read)(char *, unsigned int *, void *),
                     void (*write)(char *, unsigned int *, void *), char *work, void *param,
                     unsigned int *type, unsigned int *dict_size);
unsigned int explode(unsigned int (*read)(char *, unsigned int *, void *),
                     void (*write)(char *, unsigned int *, void *), char *work, void *param);
}

namespace dcltest {

using Bytes = std::vector<std::uint8_t>;

// The peer's work areas; ours are larger than needed by its own sizes.
inline constexpr std::size_t kPeerWorkSize = 65536;

struct Io {
  const Bytes *input = nullptr;
  std::size_t offset = 0;
  unsigned maxChunk = 0xFFFFFFFF;  // largest piece one read supplies
  Bytes output;
  std::vector<unsigned> readSizes;  // sizes asked for
  std::vector<unsigned> writeSizes;
  bool recordCalls = false;
};

inline unsigned readIo(char *buf, unsigned *size, void *param) {
  auto &io = *static_cast<Io *>(param);
  if (io.recordCalls)
    io.readSizes.push_back(*size);
  std::size_t n = std::min<std::size_t>({*size, io.maxChunk, io.input->size() - io.offset});
  if (n > 0)
    std::memcpy(buf, io.input->data() + io.offset, n);
  io.offset += n;
  return static_cast<unsigned>(n);
}

inline void writeIo(char *buf, unsigned *size, void *param) {
  auto &io = *static_cast<Io *>(param);
  if (io.recordCalls)
    io.writeSizes.push_back(*size);
  io.output.insert(io.output.end(), buf, buf + *size);
}

struct Result {
  unsigned status;
  Bytes data;
};

inline Result ourImplode(const Bytes &in, unsigned mode, unsigned dict) {
  std::vector<char> work(DCL_IMPLODE_WORK_SIZE);
  Io io;
  io.input = &in;
  unsigned status = dcl_implode(readIo, writeIo, work.data(), &io, mode, dict);
  return {status, std::move(io.output)};
}

inline Result ourExplode(const Bytes &in, unsigned maxChunk = 0xFFFFFFFF) {
  std::vector<char> work(DCL_EXPLODE_WORK_SIZE);
  Io io;
  io.input = &in;
  io.maxChunk = maxChunk;
  unsigned status = dcl_explode(readIo, writeIo, work.data(), &io);
  return {status, std::move(io.output)};
}

inline Result peerImplode(const Bytes &in, unsigned mode, unsigned dict) {
  std::vector<char> work(kPeerWorkSize);
  Io io;
  io.input = &in;
  unsigned status = implode(readIo, writeIo, work.data(), &io, &mode, &dict);
  return {status, std::move(io.output)};
}

inline Result peerExplode(const Bytes &in) {
  std::vector<char> work(kPeerWorkSize);
  Io io;
  io.input = &in;
  unsigned status = explode(readIo, writeIo, work.data(), &io);
  return {status, std::move(io.output)};
}

// Sample data.

inline Bytes randomBytes(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  Bytes out(n);
  for (auto &b : out)
    b = static_cast<std::uint8_t>(rng());
  return out;
}

// C-like source text with the repetition of real code.
inline Bytes cSource(std::size_t n, unsigned seed = 1) {
  static const char *const words[] = {
      "int",    "unsigned", "const",  "return", "if",      "else",   "for",   "while",
      "static", "struct",   "void",   "char",   "size_t",  "buffer", "length", "count",
      "index",  "result",   "status", "node",   "->next",  "value",  "data",  "offset",
      "(",      ")",        "{",      "}",      ";",       "=",      "==",    "+",
      "0",      "1",        "NULL",   "sizeof", "uint8_t", "*",      ",",     "[i]"};
  std::mt19937 rng(seed);
  std::string text;
  int depth = 0;
  while (text.size() < n) {
    text.append(static_cast<std::size_t>(depth) * 4, ' ');
    unsigned tokens = 3 + rng() % 9;
    for (unsigned t = 0; t < tokens; ++t) {
      text += words[rng() % std::size(words)];
      text += ' ';
    }
    switch (rng() % 8) {
    case 0: text += "{\n"; depth = std::min(depth + 1, 5); break;
    case 1: if (depth > 0) { --depth; text += "}\n"; break; } [[fallthrough]];
    default: text += ";\n";
    }
    if (rng() % 16 == 0)
      text += "/* " + std::to_string(rng() % 1000) + " keeps the buffer aligned */\n";
  }
  text.resize(n);
  return Bytes(text.begin(), text.end());
}

// A tessellated height field: neighbouring triangles share corners and every normal differs,
// as in a real mesh.
struct Triangle {
  float normal[3];
  float corner[3][3];
};

inline std::vector<Triangle> meshTriangles(std::size_t count) {
  std::vector<Triangle> tris;
  tris.reserve(count);
  const std::size_t columns = 300;
  auto point = [](std::size_t row, std::size_t col, float *p) {
    p[0] = static_cast<float>(col) * 0.37f;
    p[1] = static_cast<float>(row) * 0.41f;
    p[2] = 3.0f * std::sin(p[0] * 0.31f) * std::cos(p[1] * 0.23f);
  };
  for (std::size_t i = 0; tris.size() < count; ++i) {
    std::size_t row = i / columns, col = i % columns;
    for (std::size_t half = 0; half < 2 && tris.size() < count; ++half) {
      Triangle t{};
      point(row, col, t.corner[0]);
      point(row + half, col + 1, t.corner[1]);
      point(row + 1, col + 1 - half, t.corner[2]);
      float u[3], v[3];
      for (int k = 0; k < 3; ++k) {
        u[k] = t.corner[1][k] - t.corner[0][k];
        v[k] = t.corner[2][k] - t.corner[0][k];
      }
      float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
      float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
      for (int k = 0; k < 3; ++k)
        t.normal[k] = n[k] / length;
      tris.push_back(t);
    }
  }
  return tris;
}

inline Bytes binaryStl(std::size_t triangles) {
  auto tris = meshTriangles(triangles);
  Bytes out(84 + 50 * tris.size(), ' ');
  const auto count = static_cast<std::uint32_t>(tris.size());
  std::memcpy(&out[80], &count, 4);
  for (std::size_t i = 0; i < tris.size(); ++i) {
    std::uint8_t *record = &out[84 + 50 * i];
    std::memcpy(record, tris[i].normal, 12);
    std::memcpy(record + 12, tris[i].corner, 36);
    record[48] = record[49] = 0;  // attribute
  }
  return out;
}

inline Bytes asciiStl(std::size_t triangles) {
  std::string text = "solid surface\n";
  char line[128];
  for (const auto &t : meshTriangles(triangles)) {
    std::snprintf(line, sizeof line, "  facet normal %e %e %e\n    outer loop\n", t.normal[0],
                  t.normal[1], t.normal[2]);
    text += line;
    for (const auto &c : t.corner) {
      std::snprintf(line, sizeof line, "      vertex %e %e %e\n", c[0], c[1], c[2]);
      text += line;
    }
    text += "    endloop\n  endfacet\n";
  }
  text += "endsolid surface\n";
  return Bytes(text.begin(), text.end());
}

}  // namespace dcltest
