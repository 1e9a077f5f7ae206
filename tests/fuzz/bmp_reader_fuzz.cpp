// The Windows bitmap decoder on arbitrary bytes: it must fail or give a picture of the size
// its header check reports, without reading outside the data.
#include "fuzz/image_fuzz_seeds.h"

#include <cstdint>

namespace {

kiv::fuzz::Seeds seeds()
{
    using kiv::fuzz::bmp_seed;
    return {
        bmp_seed(3, 2, 24, 0),
        bmp_seed(7, 3, 1, 0),
        bmp_seed(5, 4, 4, 0),
        bmp_seed(6, 2, 8, 0),
        bmp_seed(4, 3, 16, 3),
        bmp_seed(3, 3, 32, 0),
        bmp_seed(8, 3, 8, 1, std::string("\x04\x05\x00\x03\x01\x02\x03\x00\x00\x00\x02\x01\x01\x02\x07\x00\x01", 17)),
        bmp_seed(8, 2, 4, 2, std::string("\x06\x12\x00\x00\x00\x04\x34\x56\x00\x01", 10)),
    };
}
KIV_FUZZ_SEEDS(seeds);

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    kiv::fuzz::check_decoder(data, size, kiv::formats::bmp_probe, kiv::formats::bmp_decode);
    return 0;
}
