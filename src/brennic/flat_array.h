// The growing array behind the large tables of the text model.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>

namespace brennic {

// An array of trivially copyable values that grows with std::realloc. A
// large block is moved by remapping its pages rather than by copying them,
// so growing never holds the old and the new block at once as std::vector
// does; the peak memory of a table is its final size. Capacity that was
// never written to is not resident.
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
    ~FlatArray() { std::free(data_); }

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

    void grow(std::size_t need) {
        std::size_t capacity = capacity_ < 16 ? 16 : capacity_;
        while (capacity < need) capacity = capacity > max_size() / 2 ? max_size() : capacity * 2;
        void* grown = std::realloc(data_, capacity * sizeof(T));
        if (grown == nullptr) throw std::bad_alloc();
        data_ = static_cast<T*>(grown);
        capacity_ = capacity;
    }

    T* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace brennic
