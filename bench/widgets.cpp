// SPDX-License-Identifier: MIT
// Figures for the indicator widgets: the cost of a state change (only the state part is
// recomposed and shown) against a full paint of the start button with its gradient.
#include <chrono>
#include <cstdio>
#include <functional>

#include <QApplication>

#include "widgets/DesktopStyle.h"
#include "widgets/qt/QtControl.h"
#include "widgets/qt/QtDesktopStyle.h"

namespace {

double MicrosecondsEach(int rounds, const std::function<void(int)>& step) {
    for (int i = 0; i < rounds / 10; ++i)
        step(i);  // warm up caches and the backing store
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        step(i);
    const std::chrono::duration<double, std::micro> spent =
        std::chrono::steady_clock::now() - start;
    return spent.count() / rounds;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ApplyDesktopStyle(app);

    QWidget window;
    window.resize(350, 167);
    window.setAutoFillBackground(true);
    TQtAbLED led(&window);
    led.setGeometry(16, 64, 113, 33);
    led.SetCaption("Отклик от БК");
    TQtAbColBitBtn button(&window);
    button.setGeometry(0, 104, 345, 33);
    button.SetMode(mSwitch);
    button.SetTextOff("Старт BootLoader");
    button.SetTextOn("BootLoader запущен");
    button.SetFont(DesktopFont(true));
    TQtGauge gauge(&window);
    gauge.setGeometry(0, 142, 350, 25);
    gauge.SetMaxValue(10000);
    window.show();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();

    const double ledState = MicrosecondsEach(20000, [&](int i) { led.SetChecked(i % 2 == 0); });
    const double buttonState =
        MicrosecondsEach(5000, [&](int i) { button.SetChecked(i % 2 == 0); });
    const int fullBefore = button.FullPaintCount();
    const double buttonFull = MicrosecondsEach(2000, [&](int i) {
        button.GradBtnFace().SetColorFrom(i % 2 ? 0xF0F0F0 : 0xF0F0F1);
        button.repaint();
    });
    const double gaugeStep = MicrosecondsEach(10000, [&](int i) { gauge.SetProgress(i % 10000); });

    std::printf("LED SetChecked redraw (lamp only):        %8.2f us\n", ledState);
    std::printf("button SetChecked redraw (face recompose): %8.2f us\n", buttonState);
    std::printf("button full paint with gradient:          %8.2f us\n", buttonFull);
    std::printf("gauge SetProgress, 10000 steps, per step:  %8.2f us\n", gaugeStep);
    std::printf("full paints during the full-paint run:     %d of %d\n",
                button.FullPaintCount() - fullBefore, 2000 + 200);
    return 0;
}
