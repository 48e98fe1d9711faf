// SPDX-License-Identifier: MIT
#pragma once
// Work handed to a window's thread through its message queue: a message-only window that runs
// posted functions one by one, in the order they were posted, from whichever message loop pumps
// the thread (the program's own, or the nested one of a modal box or dialog).
#include <windows.h>

#include <deque>
#include <functional>

#include "base/ThreadSafety.h"
#include "widgets/win32/WinHandles.h"

class TWinWorkQueue {
public:
    // Made on the thread that will run the work; that thread must pump messages.
    TWinWorkQueue();
    ~TWinWorkQueue();
    TWinWorkQueue(const TWinWorkQueue&) = delete;
    TWinWorkQueue& operator=(const TWinWorkQueue&) = delete;

    // Queues `work` and returns at once; callable from any thread. After Shutdown the work is
    // destroyed unrun.
    void Post(std::function<void()> work);
    // From now on nothing more runs: queued and later work is destroyed unrun.
    void Shutdown();
    bool IsOwningThread() const { return GetCurrentThreadId() == thread_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
    void RunOne();

    const DWORD thread_;
    TWindow window_;
    Mutex mutex_;
    std::deque<std::function<void()>> queue_ GUARDED_BY(mutex_);
    bool open_ GUARDED_BY(mutex_) = true;
};
