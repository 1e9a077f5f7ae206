// The Targa decoder on arbitrary bytes: it must fail or give a picture of the size
// its header check reports, without reading outside the data.
#include "fuzz/image_fuzz_seeds.h"

#include <cstdint>

namespace {

kiv::fuzz::Seeds seeds()
{
    using kiv::fuzz::tga_seed;
    const std::string bgr(18, '\x40');
    return {
        tga_seed(2, 3, 2, 24, 0, bgr),
        tga_seed(2, 3, 2, 24, 0x20, bgr),
        tga_seed(2, 2, 2, 32, 0x28, std::string(16, '\x7f')),
        tga_seed(2, 2, 2, 16, 0, std::string(8, '\x3c')),
        tga_seed(3, 4, 2, 8, 0, "abcdefgh"),
        tga_seed(1, 4, 2, 8, 0, std::string("\x00\x01\x02\x03\x0f\x0e\x0d\x0c", 8)),
        tga_seed(10, 4, 2, 24, 0, std::string("\x83\x10\x20\x30\x03\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c", 17)),
        tga_seed(9, 4, 2, 8, 0x40, std::string("\x87\x05", 2)),
        tga_seed(11, 3, 3, 16, 0x20, std::string("\x88\x10\xff", 3)),
    };
}
KIV_FUZZ_SEEDS(seeds);

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    kiv::fuzz::check_decoder(data, size, kiv::formats::tga_probe, kiv::formats::tga_decode);
    return 0;
}
