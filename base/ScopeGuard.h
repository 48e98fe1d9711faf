// SPDX-License-Identifier: MIT
#pragma once
// Runs a function when the scope ends, however it ends: the one way in this tree to undo a
// state or to do the work that must follow a call that may throw.
#include <utility>

template <typename F>
class ScopeGuard {
public:
    explicit ScopeGuard(F onExit) : onExit_(std::move(onExit)) {}
    ~ScopeGuard() { onExit_(); }
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

private:
    F onExit_;
};
