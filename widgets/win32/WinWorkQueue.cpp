// SPDX-License-Identifier: MIT
#include "widgets/win32/WinWorkQueue.h"

#include <cassert>
#include <utility>

#include "widgets/win32/WindowClass.h"

namespace {
constexpr UINT kRunWork = WM_APP + 1;
constexpr const wchar_t* kClassName = L"TevrWorkQueue";

}  // namespace

TWinWorkQueue::TWinWorkQueue() : thread_(GetCurrentThreadId()) {
    WNDCLASSEXW wc{};
    wc.lpfnWndProc = &WindowProc;
    wc.lpszClassName = kClassName;
    window_.Reset(CreateWindowExW(0, RegisterWindowClass(wc), L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, GetModuleHandleW(nullptr), this));
    assert(window_.Valid());
}

TWinWorkQueue::~TWinWorkQueue() {
    Shutdown();
    window_.Reset();
}

void TWinWorkQueue::Post(std::function<void()> work) {
    {
        // One message per function, posted under the lock, so that the queue and the messages
        // agree and Shutdown cannot slip in between.
        MutexLock lock(mutex_);
        if (open_ && PostMessageW(window_.Get(), kRunWork, 0, 0)) {
            queue_.push_back(std::move(work));
            return;
        }
    }
    // Destroyed outside the lock: that may finish a hand-over and wake the thread waiting on it.
    work = nullptr;
}

void TWinWorkQueue::Shutdown() {
    std::deque<std::function<void()>> dropped;
    {
        MutexLock lock(mutex_);
        open_ = false;
        dropped.swap(queue_);
    }
}

void TWinWorkQueue::RunOne() {
    assert(IsOwningThread());
    std::function<void()> work;
    {
        MutexLock lock(mutex_);
        if (queue_.empty()) return;  // dropped by Shutdown
        work = std::move(queue_.front());
        queue_.pop_front();
    }
    work();
}

LRESULT CALLBACK TWinWorkQueue::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == kRunWork) {
        auto* queue = reinterpret_cast<TWinWorkQueue*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (queue) queue->RunOne();
        return 0;
    }
    return DefWindowProcW(window, message, w, l);
}
