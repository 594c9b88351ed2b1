#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

// Memory for arrays of many megabytes (the rows of a 100,000-song list),
// in the large pages the system offers where it does. Filling such an
// array first touches every one of its pages, and on small pages that
// costs more than writing the data itself; a large page is touched once
// per 2 MB. Below kLargeBytes, and where there are no large pages, this
// is ordinary heap memory.
namespace largememory {

constexpr std::size_t kLargeBytes = std::size_t(1) << 20;

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

// A growing array of plain values that grows by grow(): appending millions
// of values neither copies them nor touches their pages again, and an
// append is a store and an add.
template <typename T> class Array {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    Array() = default;
    Array(const Array& other) { append(other.data_, other.size_); }
    Array(Array&& other) noexcept { swap(other); }
    Array& operator=(Array other) noexcept {
        swap(other);
        return *this;
    }
    ~Array() { release(data_, capacity_ * sizeof(T)); }
    void swap(Array& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

    T* data() { return data_; }
    const T* data() const { return data_; }
    std::size_t size() const { return size_; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }

    void clear() { size_ = 0; } // keeps the memory
    void reserve(std::size_t n) {
        if (n > capacity_)
            regrow(n);
    }
    // Room for `n` more values after the last, written in place; setSize
    // then says how many are in use.
    T* room(std::size_t n) {
        if (size_ + n > capacity_)
            regrow(std::max({size_ + n, 2 * capacity_, kFirstCapacity}));
        return data_ + size_;
    }
    void setSize(std::size_t n) { size_ = n; }
    void push_back(const T& value) {
        *room(1) = value;
        ++size_;
    }
    void append(const T* values, std::size_t n) {
        if (n == 0)
            return;
        std::memcpy(room(n), values, n * sizeof(T));
        size_ += n;
    }

private:
    static constexpr std::size_t kFirstCapacity = 16;
    void regrow(std::size_t n) {
        data_ =
            static_cast<T*>(grow(data_, capacity_ * sizeof(T), size_ * sizeof(T), n * sizeof(T)));
        capacity_ = n;
    }

    T* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

} // namespace largememory
