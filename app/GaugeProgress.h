#pragma once
// The window's gauge as the loader sees it.
#include "loader/ProgressGauge.h"
#include "widgets/Gauge.h"

class TGaugeProgress final : public ProgressGauge {
public:
    explicit TGaugeProgress(TGauge& gauge) : gauge_(gauge) {}

    void SetMaxValue(int32_t value) override { gauge_.SetMaxValue(value); }
    int32_t Progress() const override { return gauge_.Progress(); }
    void SetProgress(int32_t value) override { gauge_.SetProgress(value); }

private:
    TGauge& gauge_;
};
