// Seed inputs of a fuzzer. run.sh starts every fuzzer once with KIV_FUZZ_SEED_DIR set (and
// -runs=0); a fuzzer that declares seeds with KIV_FUZZ_SEEDS writes them there and exits.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace kiv::fuzz {

using Seeds = std::vector<std::string>;

inline bool writeSeedsIfAsked(Seeds (*make)()) {
  const char *dir = std::getenv("KIV_FUZZ_SEED_DIR");
  if (dir == nullptr)
    return false;
  int n = 0;
  for (const auto &seed : make())
    std::ofstream(std::string(dir) + "/seed-" + std::to_string(n++), std::ios::binary) << seed;
  std::exit(0);
}

}  // namespace kiv::fuzz

#define KIV_FUZZ_SEEDS(make) \
  [[maybe_unused]] static const bool kiv_fuzz_seeds_written = kiv::fuzz::writeSeedsIfAsked(make)
