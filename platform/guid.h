// Globally unique 128-bit ids (random, version 4 layout).
#pragma once

#include <array>
#include <cstdint>

namespace kiv::platform {

// A fresh id. Each thread seeds its own generator once from libuuid's random source: asking
// libuuid for every id costs several system calls, which dominates building large scenes.
std::array<std::uint8_t, 16> new_guid();

}  // namespace kiv::platform
