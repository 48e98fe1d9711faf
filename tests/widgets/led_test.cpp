// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "WidgetTesting.h"
#include "widgets/AbLED.h"

namespace {
using Led = OnPicture<TAbLED>;
}  // namespace

TEST(Led, ShapesAndPositions) {
    TOwner window;
    Led led(&window, 60, 40);
    led.LED().SetColorOn(0x0000FF);
    led.SetChecked(true);
    led.PaintNow();
    struct Place {
        TLEDPos pos;
        TRect lamp;
    } places[] = {{lpLeft, {0, 14, 13, 27}},
                  {lpRight, {47, 14, 60, 27}},
                  {lpTop, {24, 0, 37, 13}},
                  {lpBottom, {24, 27, 37, 40}}};
    for (const Place& p : places) {
        led.SetLED_Position(p.pos);
        EXPECT_EQ(led.LampRect(), p.lamp) << p.pos;
    }
    led.SetLED_Position(lpLeft);
    led.LED().SetWidth(12);
    led.LED().SetHeight(12);
    // A point that only the named shape's figure covers, in the lamp (0, 14, 12, 26).
    struct Shape {
        TLEDShape shape;
        TPoint in, out;
    } shapes[] = {{sArrowLeft, {9, 20}, {2, 15}},  {sArrowRight, {2, 20}, {9, 15}},
                  {sArrowUp, {6, 22}, {1, 16}},    {sArrowDown, {6, 17}, {1, 24}},
                  {sRectangle, {1, 15}, {12, 20}}, {sRound, {6, 20}, {0, 14}}};
    for (const Shape& s : shapes) {
        led.LED().SetShape(s.shape);
        EXPECT_EQ(led.At(s.in.X, s.in.Y), 0x0000FFu) << s.shape;
        EXPECT_NE(led.At(s.out.X, s.out.Y), 0x0000FFu) << s.shape;
    }
}

TEST(Led, StateDrawsOnlyTheLampAndHiddenOrUnpaintedDrawsNothing) {
    TOwner window;
    Led led(&window, 113, 33);
    led.SetChecked(true);  // before the first paint: no lamp yet
    EXPECT_EQ(led.draws, 0);
    led.SetCaption("Отклик от БК");
    led.recording = true;
    led.PaintNow();
    EXPECT_EQ(led.log,
              (std::vector<std::string>{"TextOut(18,10,Отклик от БК)", "Ellipse(0,10,13,23)",
                                        "Arc(2,12,11,21,6,10,0,16)"}));
    led.log.clear();
    led.SetChecked(false);
    EXPECT_EQ(led.drawn, (TRect{0, 10, 13, 23}));
    EXPECT_EQ(led.log,
              (std::vector<std::string>{"Ellipse(0,10,13,23)", "Arc(2,12,11,21,6,10,0,16)"}));
    EXPECT_EQ(led.At(6, 16), Grey(0xF0));
    led.SetVisible(false);
    led.SetChecked(true);
    EXPECT_EQ(led.draws, 1);
}
