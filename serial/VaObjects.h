// SPDX-License-Identifier: MIT
#pragma once
// The write thread's transmit buffer: a block of fixed capacity that never moves, so a write in
// progress keeps a valid pointer while more bytes are appended behind the ones being sent.
#include <cstring>
#include <memory>

class TVaCommBuffer {
public:
    explicit TVaCommBuffer(int capacity)
        : capacity_(capacity > 0 ? capacity : 0),
          data_(std::make_unique<unsigned char[]>(static_cast<std::size_t>(capacity_) + 1)) {}

    int Capacity() const { return capacity_; }
    int Count() const { return count_; }
    const unsigned char* Data() const { return data_.get(); }

    // Whether `n` more bytes fit behind the stored ones.
    bool Fits(long long n) const { return n >= 0 && count_ + n <= capacity_; }

    // The caller has made sure that the bytes fit.
    void Append(const void* bytes, int n) {
        if (n <= 0 || !Fits(n)) return;
        std::memcpy(data_.get() + count_, bytes, static_cast<std::size_t>(n));
        count_ += n;
    }

    void Remove(int n) {
        if (n <= 0) return;
        if (n >= count_) {
            count_ = 0;
            return;
        }
        std::memmove(data_.get(), data_.get() + n, static_cast<std::size_t>(count_ - n));
        count_ -= n;
    }

private:
    int capacity_;
    int count_ = 0;
    std::unique_ptr<unsigned char[]> data_;
};
