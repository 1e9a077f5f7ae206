// dcl_explode on arbitrary streams, fed in reads of a size the input chooses; inputs whose
// first byte is odd are instead compressed with dcl_implode and must come back unchanged.
#include <kivctrl/dcl.h>

#include "fuzz/seeds.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Io {
  const std::uint8_t *data;
  std::size_t size;
  std::size_t offset = 0;
  unsigned chunk;
  std::string out;
};

unsigned readIo(char *buf, unsigned *size, void *param) {
  auto &io = *static_cast<Io *>(param);
  std::size_t n = std::min<std::size_t>({*size, io.chunk, io.size - io.offset});
  if (n > 0)
    std::memcpy(buf, io.data + io.offset, n);
  io.offset += n;
  return static_cast<unsigned>(n);
}

void writeIo(char *buf, unsigned *size, void *param) {
  if (*size > 4096)
    __builtin_trap();
  static_cast<Io *>(param)->out.append(buf, *size);
}

std::string implodeAll(const std::string &in, unsigned dict) {
  std::vector<char> work(DCL_IMPLODE_WORK_SIZE);
  Io io{reinterpret_cast<const std::uint8_t *>(in.data()), in.size(), 0, 4096, {}};
  dcl_implode(readIo, writeIo, work.data(), &io, DCL_BINARY, dict);
  return io.out;
}

kiv::fuzz::Seeds seeds() {
  std::string text;
  for (int i = 0; i < 200; ++i)
    text += "vertex " + std::to_string(i % 17) + ".5 " + std::to_string(i * 3 % 11) + " 0\n";
  std::string binary;
  for (int i = 0; i < 3000; ++i)
    binary += static_cast<char>(i % 7 == 0 ? i * 13 : 0);
  kiv::fuzz::Seeds out;
  for (unsigned dict : {1024u, 2048u, 4096u}) {
    out.push_back('\x40' + implodeAll(text, dict));
    out.push_back('\x08' + implodeAll(binary, dict));
  }
  out.push_back('\x01' + text);
  out.push_back('\x03' + binary);
  return out;
}
KIV_FUZZ_SEEDS(seeds);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size < 1)
    return 0;
  unsigned control = data[0];
  Io io{data + 1, size - 1, 0, (control >> 1) * 16 + 1, {}};
  if (control & 1) {
    static const unsigned dicts[] = {1024, 2048, 4096};
    std::string in(reinterpret_cast<const char *>(io.data), io.size);
    std::string packed = implodeAll(in, dicts[(control >> 1) % 3]);
    std::vector<char> work(DCL_EXPLODE_WORK_SIZE);
    Io back{reinterpret_cast<const std::uint8_t *>(packed.data()), packed.size(), 0, 2048, {}};
    unsigned status = dcl_explode(readIo, writeIo, work.data(), &back);
    if (in.empty() ? status != 3 : status != 0 || back.out != in)
      __builtin_trap();
    return 0;
  }
  std::vector<char> work(DCL_EXPLODE_WORK_SIZE);
  if (dcl_explode(readIo, writeIo, work.data(), &io) > 4)
    __builtin_trap();
  return 0;
}
