// SPDX-License-Identifier: MIT
#pragma once
// Helpers shared by the widget tests: a control on a pixel picture of its own, and a window's
// thread for the flash timer's phases.
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "support/CanvasFigures.h"
#include "widgets/Control.h"
#include "widgets/FlashTimer.h"
#include "widgets/PixelCanvas.h"

// A control whose desktop is a picture in the window's colour: a full paint draws it afresh,
// a state draw goes straight into it. Counts what the control asked of its desktop, and with
// `recording` set writes every canvas call into `log`.
template <typename TCore>
class OnPicture : public TCore {
public:
    OnPicture(TOwner* owner, int w, int h) : TCore(owner) { TCore::SetSize(w, h); }

    TPixels screen;
    std::vector<std::string> log;
    bool recording = false;
    int paints = 0;
    int draws = 0;
    TRect drawn;  // the area of the last state draw
    bool focused = false;
    bool captured = false;

    // The paint the desktop does when asked for one (or at once, as after a show).
    void PaintNow() {
        screen = TPixels(TCore::Width(), TCore::Height(), Grey(0xF0));
        TPixelCanvas canvas(screen, recording ? &log : nullptr);
        ++paints;
        pending_ = false;
        TCore::Paint(canvas);
    }
    // Runs a paint that was asked for.
    void Settle() {
        if (pending_) PaintNow();
    }
    TColor At(int x, int y) const { return screen.At(x, y); }

protected:
    void Invalidate() override { pending_ = true; }
    void Repaint() override { PaintNow(); }
    void DrawNow(const TRect& area, const std::function<void(TCanvas&)>& draw) override {
        if (screen.IsEmpty()) return;
        ++draws;
        drawn = area;
        TPixelCanvas canvas(screen, recording ? &log : nullptr);
        draw(canvas);
    }
    bool Focused() const override { return focused; }
    bool MouseCaptured() const override { return captured; }

private:
    bool pending_ = false;
};

// The window's thread for the flash timer: phases wait here until Run.
class PostedWork {
public:
    PostedWork() {
        TFlashTimer::SetPoster([this](std::function<void()> work) {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(work));
        });
    }
    ~PostedWork() { TFlashTimer::SetPoster(nullptr); }
    void Run() {
        std::vector<std::function<void()>> now;
        {
            std::lock_guard lock(mutex_);
            now.swap(queue_);
        }
        for (auto& work : now)
            work();
    }

private:
    std::mutex mutex_;
    std::vector<std::function<void()>> queue_;
};
