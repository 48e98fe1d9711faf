// SPDX-License-Identifier: MIT
#pragma once
// The page's host of a windowless control: an HTML canvas of the control's size that shows the
// surface the host keeps in memory, drawn by the widgets' software canvas with the browser's
// letters and put on the canvas at once when a state is drawn or at the next paint otherwise.
// The page's script hands it the canvas's pointer, key and focus events (PageExports.cpp).
#include <cstdint>
#include <functional>

#include "widgets/AbColBitBtn.h"
#include "widgets/AbLED.h"
#include "widgets/Gauge.h"
#include "widgets/HostedControl.h"

// The canvases of the page, as its script numbers them.
enum class TPageControlId : uint8_t { AbLED1, AbColBitBtn1, ProgressBar1 };

// Whether the page's pointer is held down, on any control.
bool PagePointerDown();

class TPageSurface : public TSurfaceHost {
public:
    // The page's paint: what is outdated is painted anew and shown.
    void PaintPage();

protected:
    TPageSurface() = default;
    // Which canvas shows the surface, and its size; once, before the first paint.
    void SetUpSurface(TPageControlId id, int width, int height);

    TSize SurfaceSize() const override { return {surface_.Width, surface_.Height}; }
    TSize ScreenSize() const override { return {width_, height_}; }
    void DropSurface() override { surface_ = TPixels(); }
    void NewSurface(TSize size) override;
    void DrawOnSurface(const std::function<void(TCanvas&)>& draw) override;
    void PaintLater() override;
    // The browser shows nothing before the script returns: a paint at once would only hold back
    // the line's next command (the gauge repaints as each frame goes), so it waits for the
    // page's next frame like any other.
    void PaintAtOnce() override { PaintLater(); }
    void ShowNow(const TRect& area) override;

private:
    TPageControlId id_ = TPageControlId::AbLED1;
    int width_ = 0;
    int height_ = 0;
    TPixels surface_;
};

// The browser holds the pointer for the canvas pressed until the release (the page's script
// captures it at the press).
class TPagePointerCapture final : public TPointerCapture {
public:
    void Take() override {}
    void Give() override {}
};

template <typename TCore>
class TPageControl final : public THostedControl<TCore, TPageSurface> {
    using THosted = THostedControl<TCore, TPageSurface>;

public:
    TPageControl(TOwner& owner, TPageControlId id, int width, int height)
        : THosted(&owner, capture_) {
        this->SetUpSurface(id, width, height);
        TCore::SetSize(width, height);
    }

    using THosted::HostEnabled;
    using THosted::input_;
    // Whether the canvas has the keyboard's focus.
    void SetFocused(bool focused) { focused_ = focused; }

protected:
    bool Focused() const override { return focused_; }
    bool MouseCaptured() const override { return PagePointerDown(); }
    // The window's button face, beneath every control.
    TColor OwnerColor() const override { return clBtnFace; }

private:
    TPagePointerCapture capture_;
    bool focused_ = false;
};
