// SPDX-License-Identifier: MIT
#pragma once
// The serial component's hand-over to the window's thread: posted work runs from Qt's event
// loop (nested ones included, such as that of a modal box), in the order it was posted.
#include <functional>

#include "base/ThreadSafety.h"
#include "serial/VaDispatcher.h"

class QThread;

class TQtDispatcher final : public TVaDispatcher {
public:
    // The constructing thread, which must be the QApplication's, owns it.
    TQtDispatcher();

    void Post(std::function<void()> fn) override;
    bool IsOwningThread() const override;

    // From now on posted work is destroyed unrun, which releases a thread waiting on it. The
    // window calls it once its port is closed, before the application goes away.
    void Shutdown();

private:
    QThread* const owner_;
    Mutex mutex_;
    bool open_ GUARDED_BY(mutex_) = true;
};
