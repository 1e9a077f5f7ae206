// Blocks on both sides of the large page size: usable to their last byte, aligned, and given
// back through the matching path (a mismatch shows under AddressSanitizer).
#include "platform/large_pages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

using kiv::platform::LargePageAllocator;

TEST(LargePages, BlocksOfEverySizeAreWholeAndAligned)
{
    constexpr std::size_t kPage = std::size_t(2) << 20;
    for (const std::size_t bytes : {std::size_t(1), kPage - 1, kPage, 5 * kPage + 3}) {
        void *p = kiv::platform::allocate_large(bytes);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % alignof(std::max_align_t), 0u) << bytes;
        std::memset(p, 0x5a, bytes);
        EXPECT_EQ(static_cast<unsigned char *>(p)[bytes - 1], 0x5a);
        kiv::platform::free_large(p, bytes);
    }
}

TEST(LargePages, VectorGrowingPastThePageSizeKeepsItsContents)
{
    std::vector<std::uint64_t, LargePageAllocator<std::uint64_t>> v;
    constexpr std::uint64_t kCount = 700000;  // about 5.3 MiB: grows from small blocks into large ones
    for (std::uint64_t i = 0; i < kCount; ++i) v.push_back(i * 2654435761u);
    std::uint64_t wrong = 0;
    for (std::uint64_t i = 0; i < kCount; ++i) wrong += v[i] != i * 2654435761u;
    EXPECT_EQ(wrong, 0u);
    v.shrink_to_fit();
    EXPECT_EQ(v.back(), (kCount - 1) * 2654435761u);
}
