// SPDX-License-Identifier: MIT
#pragma once
// Base of the widgets' settings objects: tells its owner when a value changed.
#include <functional>
#include <utility>

class TAbPersistent {
public:
    using TChangeEvent = std::function<void(TAbPersistent* sender)>;

    virtual ~TAbPersistent() = default;

    void SetOnChange(TChangeEvent handler) { onChange_ = std::move(handler); }
    void Changed() {
        if (onChange_) onChange_(this);
    }

protected:
    TAbPersistent() = default;
    // Copies carry the values, never the owner's handler.
    TAbPersistent(const TAbPersistent&) {}
    TAbPersistent& operator=(const TAbPersistent&) { return *this; }

    // Stores `value` into `field` and calls Changed when it differs.
    template <typename T>
    void Store(T& field, const T& value) {
        if (field == value) return;
        field = value;
        Changed();
    }

private:
    TChangeEvent onChange_;
};
