// SPDX-License-Identifier: MIT
#pragma once
// A windowless control: a rectangle of its owner's surface that the desktop paints and feeds
// with input. The control draws only on the canvas the desktop hands it; what it needs of the
// desktop (repaint later or now, draw at once outside the paint cycle, focus, mouse capture, the
// owner's colour) are the protected virtual functions below, which a desktop's host of the
// control overrides. Without a host they do nothing, so the control can run on its own.
#include <functional>
#include <vector>

#include "widgets/Canvas.h"

class TControl;

// The component that owns controls, in the order they were made (groups walk them in it).
class TOwner {
public:
    TOwner() = default;
    TOwner(const TOwner&) = delete;
    TOwner& operator=(const TOwner&) = delete;
    // Controls that outlive their owner are left without one.
    ~TOwner();

    const std::vector<TControl*>& Components() const { return components_; }

private:
    friend class TControl;
    std::vector<TControl*> components_;
};

class TControl {
public:
    // A null owner makes a control that belongs to no group.
    explicit TControl(TOwner* owner);
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;
    virtual ~TControl();

    TOwner* Owner() const { return owner_; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    TRect ClientRect() const { return {0, 0, width_, height_}; }
    // The size the desktop gave the control; the next paint lays it out anew.
    void SetSize(int width, int height);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& value);
    // A disabled control takes no input; a control with a look of its own for it redraws.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);

    // The desktop's paint of the whole control, onto a canvas showing its area.
    virtual void Paint(TCanvas& canvas) = 0;

protected:
    // Paints the whole control later, or at once.
    virtual void Invalidate() {}
    virtual void Repaint() {}
    // Draws onto the control's surface straight away and shows `area` of it, outside the
    // paint cycle.
    virtual void DrawNow(const TRect& area, const std::function<void(TCanvas&)>& draw) {
        (void)area;
        (void)draw;
    }
    virtual bool Focused() const { return false; }
    // Whether any control of the desktop holds the mouse (a button is down somewhere).
    virtual bool MouseCaptured() const { return false; }
    // The background colour of the owner, which a control may take as its own.
    virtual TColor OwnerColor() const { return clBtnFace; }

    // A setting that changes the whole look (the font, the size, the visibility) changed.
    virtual void LookChanged() { Invalidate(); }
    // Enabled changed; the look of the rest of the control stays.
    virtual void EnabledChanged() {}

private:
    TOwner* owner_;
    int width_ = 0;
    int height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    TFont font_;
    friend class TOwner;
};
