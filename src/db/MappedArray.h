#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>

namespace zobran::db {

// Memory taken from the system page by page, for arrays that hold whole results.
namespace pages {
// A zeroed block of at least `bytes`; throws std::bad_alloc when the system has none.
void* take(std::size_t bytes);
// The block moved or grown to `newBytes`, its content kept, without copying it.
void* grow(void* block, std::size_t oldBytes, std::size_t newBytes);
// Gives every page of the block back to the system at once.
void giveBack(void* block, std::size_t bytes) noexcept;
} // namespace pages

// A growing array of plain values in pages of its own: growing never copies (the pages are mapped
// anew), capacity not yet written costs no memory, and clearing or destroying the array gives all
// of it back to the system at once, so a released result leaves nothing behind in the process.
template <class T>
class MappedArray {
    static_assert(std::is_trivially_copyable_v<T>, "only plain values");

public:
    MappedArray() = default;
    ~MappedArray() { clear(); }
    MappedArray(MappedArray&& other) noexcept : data_(other.data_), size_(other.size_), capacity_(other.capacity_)
    {
        other.data_ = nullptr;
        other.size_ = other.capacity_ = 0;
    }
    MappedArray& operator=(MappedArray&& other) noexcept
    {
        if (this != &other) {
            clear();
            data_ = other.data_;
            size_ = other.size_;
            capacity_ = other.capacity_;
            other.data_ = nullptr;
            other.size_ = other.capacity_ = 0;
        }
        return *this;
    }
    MappedArray(const MappedArray&) = delete;
    MappedArray& operator=(const MappedArray&) = delete;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T* data() const { return data_; }
    const T& operator[](std::size_t i) const { return data_[i]; }
    T& operator[](std::size_t i) { return data_[i]; }

    void push_back(const T& value)
    {
        if (size_ == capacity_)
            reserveFor(size_ + 1);
        data_[size_++] = value;
    }
    void append(const T* values, std::size_t count)
    {
        if (count == 0)
            return;
        if (size_ + count > capacity_)
            reserveFor(size_ + count);
        std::memcpy(data_ + size_, values, count * sizeof(T));
        size_ += count;
    }
    // Gives every page back.
    void clear() noexcept
    {
        if (data_)
            pages::giveBack(data_, capacity_ * sizeof(T));
        data_ = nullptr;
        size_ = capacity_ = 0;
    }

private:
    static constexpr std::size_t FirstBytes = 4096;

    void reserveFor(std::size_t count)
    {
        std::size_t capacity = capacity_ == 0 ? (FirstBytes + sizeof(T) - 1) / sizeof(T) : capacity_;
        while (capacity < count)
            capacity *= 2;
        data_ = static_cast<T*>(data_ ? pages::grow(data_, capacity_ * sizeof(T), capacity * sizeof(T))
                                      : pages::take(capacity * sizeof(T)));
        capacity_ = capacity;
    }

    T* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

} // namespace zobran::db
