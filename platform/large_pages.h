// Memory for big arrays that are read at random: asked to be backed by 2 MiB pages where the
// system grants them on request, which saves page faults and address translation misses.
#pragma once

#include <cstddef>
#include <vector>

namespace kiv::platform {

// At least `bytes` bytes, aligned for any type; throws std::bad_alloc when none are left.
void *allocate_large(std::size_t bytes);
// Gives back what allocate_large(bytes) returned.
void free_large(void *p, std::size_t bytes) noexcept;

// A standard allocator over allocate_large, for containers holding many megabytes.
template <class T>
struct LargePageAllocator {
    using value_type = T;
    LargePageAllocator() = default;
    template <class U>
    LargePageAllocator(const LargePageAllocator<U> &) noexcept
    {
    }
    T *allocate(std::size_t n) { return static_cast<T *>(allocate_large(n * sizeof(T))); }
    void deallocate(T *p, std::size_t n) noexcept { free_large(p, n * sizeof(T)); }
    friend bool operator==(const LargePageAllocator &, const LargePageAllocator &) { return true; }
};

template <class T>
using LargeVector = std::vector<T, LargePageAllocator<T>>;

} // namespace kiv::platform
