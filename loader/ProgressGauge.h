// SPDX-License-Identifier: MIT
#pragma once
// The loader's view of the progress gauge: the conversion sets its range, the transfer moves it.
// The window passes its gauge; the command line and the tests pass their own.
#include <cstdint>

class ProgressGauge {
public:
    virtual ~ProgressGauge() = default;
    virtual void SetMaxValue(int32_t value) = 0;
    virtual int32_t Progress() const = 0;
    virtual void SetProgress(int32_t value) = 0;
};

// For callers that show no progress (the command line's convert, benchmarks, tests).
class NullGauge : public ProgressGauge {
public:
    void SetMaxValue(int32_t) override {}
    int32_t Progress() const override { return 0; }
    void SetProgress(int32_t) override {}
};
