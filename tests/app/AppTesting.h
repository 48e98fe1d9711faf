// SPDX-License-Identifier: MIT
#pragma once
// Helpers of the window's tests: message boxes that record instead of waiting for a user, event
// processing until a condition holds, the sample files, and a shown window whose port list looks
// only where the test says.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QTest>

#include "app/qt/MessageBoxes.h"
#include "app/qt/PortComboBox.h"
#include "app/qt/Unit1.h"
#include "base/SimulatorLinks.h"
#include "support/SampleFiles.h"

namespace app_test {

constexpr int kLongWaitMs = 60000;

// Processes events until `done` holds or `limitMs` passed; returns whether it held.
inline bool WaitFor(const std::function<bool()>& done, int limitMs = kLongWaitMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qSleep(1);
    }
    return true;
}

// Runs a nested event loop for `ms`, as a modal box does while it waits for the user.
inline void NestedLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Shown {
    bool error;
    QString text;
};

// Records every box and runs `whileShown` in it; without one the "user" dismisses it at once.
class RecordingBoxes final : public TMessageBoxes {
public:
    void ShowMessage(const QString& text) override { Show({false, text}); }
    void ShowError(const QString& text) override { Show({true, text}); }

    std::vector<Shown> shown;
    std::function<void(const Shown&)> whileShown;

    bool Has(const QString& text) const {
        for (const Shown& s : shown)
            if (s.text == text) return true;
        return false;
    }
    QStringList Texts() const {
        QStringList texts;
        for (const Shown& s : shown)
            texts << (s.error ? "error: " : "message: ") + s.text;
        return texts;
    }

private:
    void Show(const Shown& box) {
        shown.push_back(box);
        if (whileShown) whileShown(box);
    }
};

inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// A shown window with recording boxes; its port list looks for ports in empty folders of the
// test, plus `simulatorDir` for simulator links.
class FormTest : public ::testing::Test {
protected:
    void MakeForm(const QString& simulatorDir = {}) {
        TVaPortListRoots roots;
        roots.DevDir = Sub("dev").toStdString();
        roots.SysClassTtyDir = Sub("sys").toStdString();
        roots.LinkFolders = {{(simulatorDir.isEmpty() ? Sub("sim") : simulatorDir).toStdString(),
                              kSimulatorDescription}};
        form = std::make_unique<TForm1>(roots);
        boxes = std::make_shared<RecordingBoxes>();
        form->SetMessageBoxes(boxes);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    QString Sub(const char* name) {
        QDir(temp.path()).mkpath(name);
        return temp.path() + "/" + name;
    }
    // Chooses the file through the "..." button, the dialog answering with `fileName`.
    void ChooseFile(const std::string& fileName) {
        form->OpenDialog1.SetExecutor([fileName](TOpenDialog& dialog) {
            dialog.FileName = Q(fileName);
            return true;
        });
        QTest::mouseClick(form->SpeedButton1, Qt::LeftButton);
    }

    QTemporaryDir temp;
    std::unique_ptr<TForm1> form;
    std::shared_ptr<RecordingBoxes> boxes;
};

}  // namespace app_test
