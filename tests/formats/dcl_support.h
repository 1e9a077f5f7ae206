// Memory adapters around the DCL implode entry points, ours and the peer's (libstorm's pklib
// part, which exports `implode` and `explode` without a public header), and sample data
// shared by the DCL tests and benchmarks.
#pragma once

#include <kivctrl/dcl.h>
#include <kivctrl/gs_normal_code.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <numbers>
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

// Runs of a few byte values, 1 to 2000 bytes long.
inline Bytes longRuns(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  Bytes out;
  while (out.size() < n)
    out.insert(out.end(), 1 + rng() % 2000, static_cast<std::uint8_t>(rng() % 4));
  out.resize(n);
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


// English prose: common words with capitals, commas and full stops.
inline Bytes englishText(std::size_t n, unsigned seed = 1) {
  static const char *const words[] = {
      "the",    "of",      "and",    "to",      "a",       "in",     "that",    "is",
      "was",    "it",      "for",    "on",      "with",    "as",     "be",      "at",
      "by",     "this",    "from",   "or",      "which",   "part",   "assembly", "shaft",
      "bearing", "housing", "bolt",  "surface", "drawing", "motion", "when",    "each",
      "between", "should", "angle",  "turns",   "around",  "axis",   "machine", "model"};
  std::mt19937 rng(seed);
  std::string text;
  bool sentenceStart = true;
  while (text.size() < n) {
    std::string word = words[rng() % std::size(words)];
    if (sentenceStart)
      word[0] = static_cast<char>(word[0] - 'a' + 'A');
    text += word;
    sentenceStart = rng() % 11 == 0;
    text += sentenceStart ? (rng() % 5 == 0 ? ".\n" : ". ") : rng() % 9 == 0 ? ", " : " ";
  }
  text.resize(n);
  return Bytes(text.begin(), text.end());
}

inline void appendF32(Bytes &out, float v) {
  std::uint8_t b[4];
  std::memcpy(b, &v, 4);
  out.insert(out.end(), b, b + 4);
}

inline void appendIndex(Bytes &out, std::uint32_t v, int width) {
  for (int i = 0; i < width; ++i)
    out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// x, y, z floats of a regular rows × columns grid with heights on a slow wave.
inline Bytes floatGrid(std::size_t rows, std::size_t columns) {
  Bytes out;
  for (std::size_t r = 0; r < rows; ++r)
    for (std::size_t c = 0; c < columns; ++c) {
      appendF32(out, static_cast<float>(c) * 0.5f);
      appendF32(out, static_cast<float>(r) * 0.25f);
      appendF32(out, std::round(40.0f * std::sin(static_cast<float>(c + r) * 0.1f)) / 8.0f);
    }
  return out;
}

// The three uncompressed blocks a binary part file stores for one mesh: vertex coordinates
// as little-endian floats, one 16-bit code per normal, and the corners of its one triangle
// record as vertex and normal indices in the fewest bytes that hold them.
struct KvbBlocks {
  Bytes vertices;
  Bytes normals;
  Bytes corners;
};

// A mesh over a rows × columns grid of a parametric surface with one normal per vertex.
// `surface(u, v, point, normal)` gives both for u, v in [0, 1].
using Surface = std::function<void(float, float, float *, float *)>;

inline std::size_t indexWidth(std::size_t count) {
  return count < (1u << 8) ? 1 : count < (1u << 16) ? 2 : count < (1u << 24) ? 3 : 4;
}

inline KvbBlocks gridMeshBlocks(std::size_t rows, std::size_t columns, const Surface &surface) {
  KvbBlocks b;
  for (std::size_t r = 0; r <= rows; ++r)
    for (std::size_t c = 0; c <= columns; ++c) {
      float p[3], n[3];
      surface(static_cast<float>(r) / static_cast<float>(rows),
              static_cast<float>(c) / static_cast<float>(columns), p, n);
      for (float v : p)
        appendF32(b.vertices, v);
      std::uint16_t code = GSnormal_encode(n);
      b.normals.push_back(static_cast<std::uint8_t>(code));
      b.normals.push_back(static_cast<std::uint8_t>(code >> 8));
    }
  const std::size_t count = (rows + 1) * (columns + 1);
  const int width = static_cast<int>(indexWidth(count));
  auto corner = [&](std::size_t r, std::size_t c) {
    auto index = static_cast<std::uint32_t>(r * (columns + 1) + c);
    appendIndex(b.corners, index, width);
    appendIndex(b.corners, index, width);
  };
  for (std::size_t r = 0; r < rows; ++r)
    for (std::size_t c = 0; c < columns; ++c) {
      corner(r, c), corner(r + 1, c), corner(r + 1, c + 1);
      corner(r, c), corner(r + 1, c + 1), corner(r, c + 1);
    }
  return b;
}

inline KvbBlocks torusBlocks(std::size_t rows, std::size_t columns) {
  return gridMeshBlocks(rows, columns, [](float u, float v, float *p, float *n) {
    const float a = 2 * std::numbers::pi_v<float> * u, b = 2 * std::numbers::pi_v<float> * v;
    n[0] = std::cos(b) * std::cos(a), n[1] = std::cos(b) * std::sin(a), n[2] = std::sin(b);
    p[0] = 30 * std::cos(a) + 10 * n[0], p[1] = 30 * std::sin(a) + 10 * n[1], p[2] = 10 * n[2];
  });
}

inline KvbBlocks sphereBlocks(std::size_t rows, std::size_t columns) {
  return gridMeshBlocks(rows, columns, [](float u, float v, float *p, float *n) {
    const float t = std::numbers::pi_v<float> * u, f = 2 * std::numbers::pi_v<float> * v;
    n[0] = std::sin(t) * std::cos(f), n[1] = std::cos(t), n[2] = std::sin(t) * std::sin(f);
    for (int k = 0; k < 3; ++k)
      p[k] = 25 * n[k];
  });
}

inline KvbBlocks wavyGridBlocks(std::size_t rows, std::size_t columns) {
  return gridMeshBlocks(rows, columns, [](float u, float v, float *p, float *n) {
    p[0] = 100 * v, p[1] = 80 * u, p[2] = 3 * std::sin(p[0] * 0.31f) * std::cos(p[1] * 0.23f);
    const float dx = 3 * 0.31f * std::cos(p[0] * 0.31f) * std::cos(p[1] * 0.23f),
                dy = -3 * 0.23f * std::sin(p[0] * 0.31f) * std::sin(p[1] * 0.23f);
    n[0] = -dx, n[1] = -dy, n[2] = 1;
  });
}

// Scattered points joined into triangles of nearby indices, as a scanned or decimated
// mesh gives: no grid regularity in coordinates or corners.
inline KvbBlocks scatteredBlocks(std::size_t vertices, std::size_t triangles, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> coordinate(-50.0f, 50.0f), direction(-1.0f, 1.0f);
  KvbBlocks b;
  for (std::size_t i = 0; i < vertices; ++i) {
    for (int k = 0; k < 3; ++k)
      appendF32(b.vertices, coordinate(rng));
    float n[3] = {direction(rng), direction(rng), direction(rng) + 0.01f};
    std::uint16_t code = GSnormal_encode(n);
    b.normals.push_back(static_cast<std::uint8_t>(code));
    b.normals.push_back(static_cast<std::uint8_t>(code >> 8));
  }
  const int width = static_cast<int>(indexWidth(vertices));
  for (std::size_t t = 0; t < triangles; ++t) {
    std::size_t first = rng() % vertices;
    for (int k = 0; k < 3; ++k) {
      auto index = static_cast<std::uint32_t>((first + (k ? rng() % 40 : 0)) % vertices);
      appendIndex(b.corners, index, width);
      appendIndex(b.corners, index, width);
    }
  }
  return b;
}

}  // namespace dcltest
