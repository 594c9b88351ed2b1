#include "base/largememory.h"

#include <QtGlobal>

#include <cstdlib>
#include <cstring>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace largememory {

#ifdef Q_OS_LINUX
namespace {
constexpr std::size_t kPage = std::size_t(2) << 20; // a large page on x86-64 and arm64

std::size_t mappedSize(std::size_t bytes) {
    return (bytes + kPage - 1) / kPage * kPage;
}
} // namespace

void* allocate(std::size_t bytes) {
    if (bytes < kLargeBytes)
        return ::operator new(bytes);
    // Mapped one page over, so that the block can start on a page edge,
    // and the rest given back: a large page must be aligned.
    const std::size_t size = mappedSize(bytes);
    void* mapped =
        mmap(nullptr, size + kPage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    char* const start = static_cast<char*>(mapped);
    char* const aligned = reinterpret_cast<char*>(
        (reinterpret_cast<std::uintptr_t>(start) + kPage - 1) & ~(kPage - 1));
    if (aligned > start)
        munmap(start, std::size_t(aligned - start));
    if (char* const end = aligned + size; end < start + size + kPage)
        munmap(end, std::size_t(start + size + kPage - end));
    // Only advice: without large pages the block is used as it is.
    madvise(aligned, size, MADV_HUGEPAGE);
    return aligned;
}

void release(void* memory, std::size_t bytes) noexcept {
    if (!memory)
        return;
    if (bytes < kLargeBytes)
        ::operator delete(memory);
    else
        munmap(memory, mappedSize(bytes));
}

void* grow(void* memory, std::size_t bytes, std::size_t used, std::size_t newBytes) {
    if (memory && bytes >= kLargeBytes && newBytes >= bytes) {
        void* moved = mremap(memory, mappedSize(bytes), mappedSize(newBytes), MREMAP_MAYMOVE);
        if (moved == MAP_FAILED)
            throw std::bad_alloc();
        return moved;
    }
    void* grown = allocate(newBytes);
    if (used > 0)
        std::memcpy(grown, memory, used);
    release(memory, bytes);
    return grown;
}
#else
void* allocate(std::size_t bytes) {
    return ::operator new(bytes);
}

void release(void* memory, std::size_t) noexcept {
    ::operator delete(memory);
}

void* grow(void* memory, std::size_t bytes, std::size_t used, std::size_t newBytes) {
    void* grown = allocate(newBytes);
    if (used > 0)
        std::memcpy(grown, memory, used);
    release(memory, bytes);
    return grown;
}
#endif

} // namespace largememory
