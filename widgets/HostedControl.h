// SPDX-License-Identifier: MIT
#pragma once
// A control as a desktop's host holds it, alike on every desktop: what the control asks of its
// desktop goes to the surface the host keeps (TSurfaceHost), its input through the rules of its
// kind (TInputOf), and the host's enabled state to the control by the same road. `TSurface` is
// TSurfaceHost or a desktop's class derived from it. A desktop's host derives from this, supplies
// the surface's desktop part and translates its API's events:
//
//     template <typename TCore>
//     class TQtControl : public QWidget, public THostedControl<TCore> { ... };
#include <functional>
#include <type_traits>

#include "widgets/AbBinGControl.h"
#include "widgets/SurfaceHost.h"
#include "widgets/TwoStateInput.h"

template <typename TCore, typename TSurface = TSurfaceHost>
class THostedControl : public TCore, public TSurface {
    static_assert(std::is_base_of_v<TSurfaceHost, TSurface>);

protected:
    static constexpr bool kTwoState = std::is_base_of_v<TAbBinGControl, TCore>;

    // `capture` holds the pointer from a press to the last release; it may be a part of the
    // host still to be made.
    THostedControl(TOwner* owner, TPointerCapture& capture)
        : TCore(owner), input_(*this, capture) {}
    // The surface's desktop holds the pointer itself.
    explicit THostedControl(TOwner* owner) requires std::is_base_of_v<TPointerCapture, TSurface>
        : TCore(owner), input_(*this, static_cast<TPointerCapture&>(*this)) {}

    void Invalidate() override { this->InvalidateSurface(); }
    void Repaint() override { this->RepaintSurface(); }
    void DrawNow(const TRect& area, const std::function<void(TCanvas&)>& draw) override {
        this->DrawNowOnSurface(area, draw);
    }
    // As the most derived control paints.
    void PaintControl(TCanvas& canvas) override { static_cast<TCore&>(*this).Paint(canvas); }

    // The desktop enabled or disabled the host: the control takes no input and, where it has a
    // look for it, looks disabled.
    void HostEnabled(bool enabled) { input_.HostEnabled(enabled); }

    TInputOf<TCore> input_;
};
