// SPDX-License-Identifier: MIT
#pragma once
// The window's TGauge adapted to the loader's ProgressGauge: the widget draws, the loader only
// sets its range and moves it.
#include "loader/ProgressGauge.h"
#include "widgets/Gauge.h"

class TGaugeAdapter final : public ProgressGauge {
public:
    explicit TGaugeAdapter(TGauge& gauge) : gauge_(gauge) {}

    void SetMaxValue(int32_t value) override { gauge_.SetMaxValue(value); }
    int32_t Progress() const override { return gauge_.Progress(); }
    void SetProgress(int32_t value) override { gauge_.SetProgress(value); }

private:
    TGauge& gauge_;
};
