// SPDX-License-Identifier: MIT
// The growing array behind the large tables of the text model.
#pragma once

#include <sys/mman.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>

namespace brennic {

// An array of trivially copyable values. A large one lives in pages of its
// own that grow by remapping (mremap), never by copying, so growing never
// holds the old and the new block at once as std::vector does, and frees
// no hole in the heap: the memory a table takes at its peak is its final
// size. Capacity never written to is not resident. Small arrays live on the
// heap.
template <class T>
class FlatArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    FlatArray() = default;
    FlatArray(const FlatArray&) = delete;
    FlatArray& operator=(const FlatArray&) = delete;
    FlatArray(FlatArray&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)),
          size_(std::exchange(other.size_, 0)),
          capacity_(std::exchange(other.capacity_, 0)) {}
    FlatArray& operator=(FlatArray&& other) noexcept {
        FlatArray(std::move(other)).swap(*this);
        return *this;
    }
    ~FlatArray() { release(); }

    void swap(FlatArray& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T* data() { return data_; }
    const T* data() const { return data_; }
    T* begin() { return data_; }
    T* end() { return data_ + size_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }
    T& back() { return data_[size_ - 1]; }

    void push_back(const T& value) {
        if (size_ == capacity_) grow(size_ + 1);
        data_[size_++] = value;
    }

    void append(const T* values, std::size_t n) {
        if (n == 0) return;
        if (n > capacity_ - size_) grow(checked_sum(size_, n));
        std::copy(values, values + n, data_ + size_);
        size_ += n;
    }

    // Makes the array n values long; new values are value-initialised.
    void resize(std::size_t n) {
        if (n > capacity_) grow(n);
        for (std::size_t i = size_; i < n; ++i) data_[i] = T{};
        size_ = n;
    }

    // Drops the values but keeps the memory.
    void clear() { size_ = 0; }

private:
    static std::size_t checked_sum(std::size_t a, std::size_t b) {
        if (b > max_size() - a) throw std::bad_alloc();
        return a + b;
    }
    static constexpr std::size_t max_size() { return static_cast<std::size_t>(-1) / sizeof(T); }

    // Arrays of this many bytes and more are mapped.
    static constexpr std::size_t kMappedBytes = std::size_t{1} << 20;
    // ThreadSanitizer does not follow memory that mremap moves and reports
    // races at its old addresses, so under it, or when built with
    // BRENNIC_PLAIN_GROWTH, large arrays grow on the heap like small ones.
#if defined(__SANITIZE_THREAD__) || defined(BRENNIC_PLAIN_GROWTH)
    static constexpr bool kMapLarge = false;
#else
    static constexpr bool kMapLarge = true;
#endif

    static bool mapped(std::size_t capacity) {
        return kMapLarge && capacity * sizeof(T) >= kMappedBytes;
    }

    void grow(std::size_t need) {
        std::size_t capacity = capacity_ < 16 ? 16 : capacity_;
        while (capacity < need) capacity = capacity > max_size() / 2 ? max_size() : capacity * 2;
        const std::size_t bytes = capacity * sizeof(T);
        void* grown = nullptr;
        if (!mapped(capacity)) {
            grown = std::realloc(data_, bytes);
            if (grown == nullptr) throw std::bad_alloc();
        } else if (mapped(capacity_)) {
            grown = ::mremap(data_, capacity_ * sizeof(T), bytes, MREMAP_MAYMOVE);
            if (grown == MAP_FAILED) throw std::bad_alloc();
        } else {
            grown =
                ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (grown == MAP_FAILED) throw std::bad_alloc();
            if (size_ > 0) std::copy(data_, data_ + size_, static_cast<T*>(grown));
            std::free(data_);
        }
        data_ = static_cast<T*>(grown);
        capacity_ = capacity;
    }

    void release() {
        if (mapped(capacity_)) {
            ::munmap(data_, capacity_ * sizeof(T));
        } else {
            std::free(data_);
        }
    }

    T* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace brennic
