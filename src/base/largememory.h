#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

// Memory for arrays of many megabytes (the rows of a 100,000-song list),
// in the large pages the system offers where it does. Filling such an
// array first touches every one of its pages, and on small pages that
// costs more than writing the data itself; a large page is touched once
// per 2 MB. Below kLargeBytes, and where there are no large pages, this
// is ordinary heap memory. kLargeBytes is where the heap itself would
// map fresh small pages for a block.
namespace largememory {

constexpr std::size_t kLargeBytes = std::size_t(128) << 10;

// Returns memory for `bytes`, aligned for any type; release it with the
// same size. Throws std::bad_alloc when there is none.
void* allocate(std::size_t bytes);
void release(void* memory, std::size_t bytes) noexcept;
// Makes a block of `bytes` from allocate() `newBytes` long, its first
// `used` bytes kept, and returns it; the old block is gone. A large block
// is moved by the system without copying or touching its pages again.
void* grow(void* memory, std::size_t bytes, std::size_t used, std::size_t newBytes);

template <typename T> struct Allocator {
    using value_type = T;

    Allocator() = default;
    template <typename U> Allocator(const Allocator<U>&) noexcept {}

    T* allocate(std::size_t n) { return static_cast<T*>(largememory::allocate(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { largememory::release(p, n * sizeof(T)); }

    template <typename U> bool operator==(const Allocator<U>&) const noexcept { return true; }
};

template <typename T> using Vector = std::vector<T, Allocator<T>>;

} // namespace largememory
