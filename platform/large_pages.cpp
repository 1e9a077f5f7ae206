// Large blocks are aligned to whole large pages and marked for them; small ones come from the
// ordinary heap, where a large page would be mostly wasted.
#include "platform/large_pages.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace kiv::platform {

namespace {

constexpr std::size_t kLargePage = std::size_t(2) << 20;

} // namespace

void *allocate_large(std::size_t bytes)
{
    if (bytes < kLargePage) return ::operator new(bytes);
    const std::size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
    void *p = std::aligned_alloc(kLargePage, rounded);
    if (!p) throw std::bad_alloc();
    // Only advice: without large pages the block works as well, just slower.
    madvise(p, rounded, MADV_HUGEPAGE);
    return p;
}

void free_large(void *p, std::size_t bytes) noexcept
{
    if (bytes < kLargePage)
        ::operator delete(p);
    else
        std::free(p);
}

} // namespace kiv::platform
