// SPDX-License-Identifier: MIT
#pragma once
// A set of the values of a small enumeration, as the component world's option sets are.
#include <cstdint>
#include <initializer_list>

template <typename E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items) {
        for (E e : items)
            bits_ |= 1u << static_cast<int>(e);
    }
    constexpr bool Contains(E e) const { return (bits_ >> static_cast<int>(e) & 1u) != 0; }
    friend constexpr TSet operator|(TSet a, TSet b) {
        TSet s;
        s.bits_ = a.bits_ | b.bits_;
        return s;
    }
    friend constexpr bool operator==(TSet, TSet) = default;

private:
    uint32_t bits_ = 0;
};
