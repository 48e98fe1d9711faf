// SPDX-License-Identifier: MIT
#pragma once
// A progress gauge: a bar, pie, needle or bare number showing how far Progress has come between
// MinValue and MaxValue, with the whole percentage in its middle.
#include <cstdint>
#include <stdexcept>

#include "widgets/Canvas.h"
#include "widgets/Colors.h"
#include "widgets/Control.h"

// A setting refused because it would leave the control in an impossible state.
class EInvalidOperation : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };
enum TBorderStyle { bsNone, bsSingle };

class TGauge : public TControl {
public:
    explicit TGauge(TOwner* owner = nullptr);

    int32_t MinValue() const { return minValue_; }
    int32_t MaxValue() const { return maxValue_; }
    int32_t Progress() const { return progress_; }
    TGaugeKind Kind() const { return kind_; }
    bool ShowText() const { return showText_; }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    TColor ForeColor() const { return foreColor_; }
    TColor BackColor() const { return backColor_; }
    // The colour around the pie and the needle: the parent's background unless set.
    TColor Color() const;
    bool ParentColor() const { return parentColor_; }

    // Both refuse, with EInvalidOperation, a range whose ends cross (unless loading); Progress
    // is pulled into the new range.
    void SetMinValue(int32_t value);
    void SetMaxValue(int32_t value);
    // Clamped into the range; repaints only when the whole percentage changes.
    void SetProgress(int32_t value);
    void SetKind(TGaugeKind value);
    void SetShowText(bool value);
    void SetBorderStyle(TBorderStyle value);
    void SetForeColor(TColor value);
    void SetBackColor(TColor value);
    void SetColor(TColor value);
    void SetParentColor(bool value);

    // While the settings are being loaded the ends of the range may cross for a moment, so
    // they can be set in any order.
    void SetLoading(bool loading) { loading_ = loading; }

    // The whole percentage of Progress in the range, truncated; 0 for an empty range.
    int PercentDone() const;

    // Draws every pixel of the control: off-screen, then one copy.
    void Paint(TCanvas& canvas) override;

private:
    template <typename T>
    void Apply(T& field, T value) {
        if (value == field) return;
        field = value;
        Repaint();
    }
    static int PercentOf(int32_t progress, int32_t minValue, int32_t maxValue);
    void PaintAsText(TCanvas& p, const TRect& a) const;
    void PaintAsBar(TCanvas& p, const TRect& a) const;
    void PaintAsPie(TCanvas& p, const TRect& a) const;
    void PaintAsNeedle(TCanvas& p, const TRect& a) const;
    void DrawPercentText(TBitmap& image, const TRect& a) const;

    int32_t minValue_ = 0;
    int32_t maxValue_ = 100;
    int32_t progress_ = 0;
    TGaugeKind kind_ = gkHorizontalBar;
    bool showText_ = true;
    TBorderStyle borderStyle_ = bsSingle;
    TColor foreColor_ = clBlack;
    TColor backColor_ = clWhite;
    TColor color_ = clBtnFace;
    bool parentColor_ = true;
    bool loading_ = false;
};
