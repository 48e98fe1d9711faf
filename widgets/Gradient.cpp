// SPDX-License-Identifier: MIT
#include "widgets/Gradient.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

struct TRgb {
    int r, g, b;
};

TRgb Channels(TColor c) {
    return {RedOf(c), GreenOf(c), BlueOf(c)};
}

// Per-channel steps are held in 32 bits, as the drawing has always done; the rounding of the
// step decides single levels of the result (the button's row 5 is 0xD4, not 0xD5).
struct TSteps {
    float r, g, b;
};

TSteps StepsOf(const TRgb& d, int n) {
    const long double ln = n;
    return {static_cast<float>(d.r / ln), static_cast<float>(d.g / ln),
            static_cast<float>(d.b / ln)};
}

// From + Round(t * s): (c1 + Round(t * s)) mod 256 per channel.
TColor Rounded(const TRgb& c1, const TSteps& s, long double t) {
    return RGBColor(c1.r + RoundHalfEven(t * s.r), c1.g + RoundHalfEven(t * s.g),
                    c1.b + RoundHalfEven(t * s.b));
}

// From + Trunc(j * s): Trunc(j * s + c1) per channel.
TColor Truncated(const TRgb& c1, const TSteps& s, int j) {
    const long double t = j;
    return RGBColor(TruncToInt(t * s.r + c1.r), TruncToInt(t * s.g + c1.g),
                    TruncToInt(t * s.b + c1.b));
}

TColor ToColor(const TRgb& c) {
    return RGBColor(c.r, c.g, c.b);
}

class TPattern {
public:
    TPattern(TCanvas& canvas, int w, int h, const TRgb& c1, const TRgb& c2)
        : p_(canvas), w_(w), h_(h), c1_(c1), c2_(c2) {
        d_ = {c2.r - c1.r, c2.g - c1.g, c2.b - c1.b};
        k_ = std::max({std::abs(d_.r), std::abs(d_.g), std::abs(d_.b)}) & 0xFF;
        if (k_ == 0) k_ = 1;
    }

    void Draw(TGradientStyle style) {
        switch (style) {
            case gsHorizontal1:
                Stripes(true);
                break;
            case gsVertical1:
                Stripes(false);
                break;
            case gsHorizontal2:
                Mirrored(true, AtLeast1(h_ / 2), AtLeast1(h_ / 2), true);
                break;
            case gsVertical2:
                Mirrored(false, AtLeast1(w_ / 2), AtLeast1(w_ / 2), true);
                break;
            case gsHorizontal3:
                Mirrored(true, AtLeast1(RoundHalfEven(h_ * 0.67L)), h_ / 3, false);
                break;
            case gsVertical3:
                Mirrored(false, AtLeast1(RoundHalfEven(w_ * 0.67L)), w_ / 3, false);
                break;
            case gsElliptic1:
                Ellipses(static_cast<float>(w_ / (long double)k_ / 2),
                         static_cast<float>(h_ / (long double)k_ / 2), w_ / 2, h_ / 2);
                break;
            case gsElliptic2:
                Ellipses(static_cast<float>(w_ / (long double)k_ * 0.695L),
                         static_cast<float>(h_ / (long double)k_ * 0.695L), w_ / 2, h_ / 2);
                break;
            case gsElliptic3:
                Ellipses(static_cast<float>(w_ / (long double)k_ * 0.82L),
                         static_cast<float>(h_ / (long double)k_ * 0.82L), w_ / 2 + 1 - w_ / 4,
                         h_ / 2 + 1 - h_ / 4);
                break;
            case gsRectangle:
                Rectangles();
                break;
            case gsDiamond1:
                Diamonds(std::max(std::max(w_, h_) / 2, k_), 2);
                break;
            case gsDiamond2:
                Diamonds(std::max(std::max(w_, h_), k_), 1);
                break;
            case gsTopLeft:
                Corner(false);
                break;
            case gsTopRight:
                Corner(true);
                break;
        }
    }

private:
    static int AtLeast1(int n) { return n == 0 ? 1 : n; }

    void Line(int x1, int y1, int x2, int y2, TColor c) {
        p_.SetPen(c, 1);
        p_.MoveTo(x1, y1);
        p_.LineTo(x2, y2);
    }
    void Row(int y, TColor c) { FillRect(p_, {0, y, w_, y + 1}, c); }
    void Column(int x, TColor c) { FillRect(p_, {x, 0, x + 1, h_}, c); }
    void Fill(TColor c) { FillRect(p_, {0, 0, w_, h_}, c); }

    // Stripes from From to To, top to bottom (or left to right), `band` pixels each.
    void Stripes(bool horizontal) {
        const int extent = horizontal ? h_ : w_;
        int k = std::min(k_, extent);
        int n = AtLeast1(k);
        const int band = extent / n;
        n = AtLeast1(extent / band);
        const TSteps s = StepsOf(d_, n);
        for (int j = 0; j <= n; ++j) {
            const TColor c = Truncated(c1_, s, j);
            const int a = j * band, b = std::min((j + 1) * band, extent);
            if (a >= extent) break;
            FillRect(p_, horizontal ? TRect{0, a, w_, b} : TRect{a, 0, b, h_}, c);
        }
    }

    // From on the line at `middle`, stepping towards To on both sides. The second style keeps
    // lines that fall above or left of the image out, as the first never reaches them.
    void Mirrored(bool horizontal, int n, int middle, bool both) {
        const TSteps s = StepsOf(d_, n);
        auto line = [&](int at, TColor c) { horizontal ? Row(at, c) : Column(at, c); };
        line(middle, ToColor(c1_));
        for (int j = 1; j <= n; ++j) {
            const TColor c = Rounded(c1_, s, j);
            line(middle + j, c);
            if (both || middle - j >= 0) line(middle - j, c);
        }
    }

    void Ellipses(float px, float py, int cx, int cy) {
        Fill(ToColor(c2_));
        const TSteps s = StepsOf(d_, k_);
        for (int j = k_; j >= 1; --j) {
            const TColor c = Rounded(c1_, s, j);
            const int rx = RoundHalfEven((long double)j * px),
                      ry = RoundHalfEven((long double)j * py);
            const TRect r{cx - rx, cy - ry, cx + rx, cy + ry};
            if (r.IsEmpty()) continue;
            SetFigurePen(p_, c, c);
            p_.Ellipse(r.Left, r.Top, r.Right, r.Bottom);
        }
    }

    void Rectangles() {
        const float px = static_cast<float>(w_ / (long double)k_ / 2);
        const float py = static_cast<float>(h_ / (long double)k_ / 2);
        const int cx = w_ / 2, cy = h_ / 2;
        const TSteps s = StepsOf(d_, k_);
        for (int j = k_; j >= 0; --j) {
            const int rx = RoundHalfEven((long double)j * px),
                      ry = RoundHalfEven((long double)j * py);
            FillRect(p_, {cx - rx, cy - ry, cx + rx + 1, cy + ry + 1}, Rounded(c1_, s, j));
        }
    }

    void Diamonds(int n, int divide) {
        Fill(ToColor(c2_));
        const float px = static_cast<float>(w_ / (long double)n / divide);
        const float py = static_cast<float>(h_ / (long double)n / divide);
        const int cx = w_ / 2, cy = h_ / 2;
        const TSteps s = StepsOf(d_, n);
        for (int j = n; j >= 1; --j) {
            const int rx = RoundHalfEven((long double)j * px),
                      ry = RoundHalfEven((long double)j * py);
            const TColor c = Rounded(c1_, s, j);
            p_.SetPen(c, 1);
            p_.SetBrush(c, bsClear);
            p_.Polygon({{cx, cy - ry}, {cx + rx, cy}, {cx, cy + ry}, {cx - rx, cy}});
        }
        if (TRect{0, 0, w_, h_}.Contains(cx, cy)) p_.SetPixel(cx, cy, ToColor(c1_));
    }

    // Diagonal lines: From in the top corner (left, or right when mirrored), To in the opposite.
    void Corner(bool mirrored) {
        const int n = std::max(w_, h_);
        const float px = static_cast<float>(w_ / (long double)n);
        const float py = static_cast<float>(h_ / (long double)n);
        const TSteps s = StepsOf(d_, n);
        auto x = [&](int v) { return mirrored ? w_ - v : v; };
        for (int j = 0; j <= n; ++j) {
            const int dx = RoundHalfEven((long double)j * px),
                      dy = RoundHalfEven((long double)j * py);
            Line(x(0), dy, x(dx), -1, Rounded(c1_, s, j / 2.0L));
            Line(x(w_), h_ - dy, x(w_ - dx), h_, Rounded(c1_, s, n - j / 2.0L));
        }
    }

    TCanvas& p_;
    int w_, h_;
    TRgb c1_, c2_, d_{};
    int k_ = 1;
};

}  // namespace

TColor GradeColor(TColor from, TColor to, int count, int index) {
    const TColor a = ColorToRGB(from), b = ColorToRGB(to);
    if (a == b) return from;
    const long double n = count == 0 ? 1 : count;
    auto channel = [&](int c1, int c2) {
        return (c1 + RoundHalfEven((c2 - c1) / n * index)) & 0xFF;
    };
    return RGBColor(channel(RedOf(a), RedOf(b)), channel(GreenOf(a), GreenOf(b)),
                    channel(BlueOf(a), BlueOf(b)));
}

void DrawGradient(TCanvas& canvas, const TRect& r, TColor from, TColor to, TGradientStyle style) {
    if (r.IsEmpty()) return;
    const int w = r.Width(), h = r.Height();
    const std::unique_ptr<TBitmap> b = canvas.NewBitmap(w, h);
    TCanvas& bc = b->Canvas();
    const TColor a = ColorToRGB(from), z = ColorToRGB(to);
    if (a == z) {
        SetFigurePen(bc, a, a);
        bc.Rectangle(0, 0, w, h);
    } else {
        TPattern(bc, w, h, Channels(a), Channels(z)).Draw(style);
    }
    canvas.Draw(r.Left, r.Top, *b);
}
