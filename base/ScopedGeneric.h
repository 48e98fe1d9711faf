// SPDX-License-Identifier: MIT
#pragma once
// Owns one system resource and frees it once, when the owner goes. `Traits` says what the
// resource is: its type, the value that holds none, which values are real, and how one is freed.
// ScopedFd and ScopedHandle are its most common uses.
#include <cassert>
#include <utility>

template <typename Traits>
class ScopedGeneric {
public:
    using Value = typename Traits::Value;

    ScopedGeneric() = default;
    explicit ScopedGeneric(Value value) : value_(value) {}
    ~ScopedGeneric() { Reset(); }
    ScopedGeneric(ScopedGeneric&& other) noexcept : value_(other.Release()) {}
    ScopedGeneric& operator=(ScopedGeneric&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ScopedGeneric(const ScopedGeneric&) = delete;
    ScopedGeneric& operator=(const ScopedGeneric&) = delete;

    Value Get() const { return value_; }
    bool Valid() const { return Traits::IsValid(value_); }
    // Gives the resource up without freeing it.
    Value Release() { return std::exchange(value_, Traits::None()); }
    // Frees the resource held (if any) and holds `value` instead. Resetting to the resource held
    // would free it and keep it: a caller that lost track of what it owns.
    void Reset(Value value = Traits::None()) {
        assert(!(Traits::IsValid(value) && value == value_));
        if (Traits::IsValid(value_)) Traits::Free(value_);
        value_ = value;
    }

private:
    Value value_ = Traits::None();
};

// A resource of which zero (or null) is none, freed by `FreeFunction`.
template <typename T, auto FreeFunction>
struct ZeroIsNoneTraits {
    using Value = T;
    static T None() { return T{}; }
    static bool IsValid(T value) { return value != T{}; }
    static void Free(T value) { FreeFunction(value); }
};
