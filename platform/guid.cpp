#include "platform/guid.h"

#include <cstring>
#include <random>

#include <uuid/uuid.h>

namespace kiv::platform {

namespace {

std::mt19937_64 seeded_generator()
{
    uuid_t seed_bytes;
    uuid_generate_random(seed_bytes);
    std::uint32_t words[4];
    std::memcpy(words, seed_bytes, sizeof words);
    std::seed_seq seed(std::begin(words), std::end(words));
    return std::mt19937_64(seed);
}

}  // namespace

std::array<std::uint8_t, 16> new_guid()
{
    thread_local std::mt19937_64 gen = seeded_generator();
    const std::uint64_t halves[2] = {gen(), gen()};
    std::array<std::uint8_t, 16> id;
    std::memcpy(id.data(), halves, id.size());
    id[6] = static_cast<std::uint8_t>((id[6] & 0x0f) | 0x40);  // version 4
    id[8] = static_cast<std::uint8_t>((id[8] & 0x3f) | 0x80);  // RFC 4122 variant
    return id;
}

}  // namespace kiv::platform
