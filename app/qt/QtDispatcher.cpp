// SPDX-License-Identifier: MIT
#include "app/qt/QtDispatcher.h"

#include <QCoreApplication>
#include <QThread>

TQtDispatcher::TQtDispatcher() : owner_(QThread::currentThread()) {}

void TQtDispatcher::Post(std::function<void()> fn) {
    {
        // Under the lock, so that Shutdown cannot slip between the test and the posting and
        // leave work on its way to an application that is being destroyed.
        MutexLock lock(mutex_);
        if (open_) {
            QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(fn),
                                      Qt::QueuedConnection);
            return;
        }
    }
    // Dropped outside the lock: destroying it may finish a hand-over and wake its thread.
    fn = nullptr;
}

bool TQtDispatcher::IsOwningThread() const {
    return QThread::currentThread() == owner_;
}

void TQtDispatcher::Shutdown() {
    MutexLock lock(mutex_);
    open_ = false;
}
