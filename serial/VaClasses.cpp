// SPDX-License-Identifier: MIT
#include "serial/VaClasses.h"

#include <cstdio>

#include "base/ThreadSafety.h"

namespace {

Mutex hookMutex;
TVaExceptionHandler applicationHandler GUARDED_BY(hookMutex);

void PrintToStderr(const char* what) {
    std::fprintf(stderr, "tevr: %s\n", what);
}

}  // namespace

void VaSetApplicationExceptionHandler(TVaExceptionHandler handler) {
    MutexLock lock(hookMutex);
    applicationHandler = std::move(handler);
}

void VaHandleException(std::exception_ptr error, const TVaExceptionHandler& local) {
    if (!error) return;
    TVaExceptionHandler handler = local;
    if (!handler) {
        MutexLock lock(hookMutex);
        handler = applicationHandler;
    }
    try {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            if (handler)
                handler(e);
            else
                PrintToStderr(e.what());
        } catch (...) {
            const std::runtime_error unknown("Unknown error");
            if (handler)
                handler(unknown);
            else
                PrintToStderr(unknown.what());
        }
    } catch (const std::exception& e) {
        PrintToStderr(e.what());
    } catch (...) {
        PrintToStderr("Unknown error");
    }
}
