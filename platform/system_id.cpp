#include "platform/system_id.h"

#include <cstdint>
#include <cstring>
#include <random>

#include <sys/statvfs.h>
#include <uuid/uuid.h>

namespace kiv::platform {

unsigned volume_serial()
{
    struct statvfs st{};
    if (::statvfs("/", &st) != 0)
        return 0;
    const unsigned long long fsid = st.f_fsid;
    return static_cast<unsigned>(fsid ^ (fsid >> 32));
}

namespace {

// Each thread seeds its own generator once from libuuid's random source: asking libuuid for
// every id costs several system calls, which dominates building a large scene.
std::mt19937_64 seeded_generator()
{
    uuid_t seed_bytes;
    ::uuid_generate_random(seed_bytes);
    std::uint32_t words[4];
    std::memcpy(words, seed_bytes, sizeof words);
    std::seed_seq seed(std::begin(words), std::end(words));
    return std::mt19937_64(seed);
}

} // namespace

std::string new_guid()
{
    thread_local std::mt19937_64 gen = seeded_generator();
    const std::uint64_t halves[2] = {gen(), gen()};
    uuid_t id;
    std::memcpy(id, halves, sizeof id);
    id[6] = static_cast<unsigned char>((id[6] & 0x0f) | 0x40); // version 4
    id[8] = static_cast<unsigned char>((id[8] & 0x3f) | 0x80); // RFC 4122 variant
    char text[39] = "{";
    ::uuid_unparse_upper(id, text + 1);
    text[37] = '}';
    return std::string(text, 38);
}

} // namespace kiv::platform
