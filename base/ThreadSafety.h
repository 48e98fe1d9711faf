// SPDX-License-Identifier: MIT
#pragma once
// Mutexes that name what they guard, for clang's thread-safety analysis (-Wthread-safety): a
// field marked GUARDED_BY(m) may only be touched while m is held, a function marked REQUIRES(m)
// only be called so. Other compilers see plain standard mutexes. A condition variable's
// predicate runs with the mutex held; mark it REQUIRES(m) as well.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <shared_mutex>

#if defined(__clang__)
#define TEVR_THREAD_ATTRIBUTE(x) __attribute__((x))
#else
#define TEVR_THREAD_ATTRIBUTE(x)
#endif

#define CAPABILITY(x) TEVR_THREAD_ATTRIBUTE(capability(x))
#define SCOPED_CAPABILITY TEVR_THREAD_ATTRIBUTE(scoped_lockable)
#define GUARDED_BY(x) TEVR_THREAD_ATTRIBUTE(guarded_by(x))
#define REQUIRES(...) TEVR_THREAD_ATTRIBUTE(requires_capability(__VA_ARGS__))
#define ACQUIRE(...) TEVR_THREAD_ATTRIBUTE(acquire_capability(__VA_ARGS__))
#define ACQUIRE_SHARED(...) TEVR_THREAD_ATTRIBUTE(acquire_shared_capability(__VA_ARGS__))
#define RELEASE(...) TEVR_THREAD_ATTRIBUTE(release_capability(__VA_ARGS__))
#define RELEASE_SHARED(...) TEVR_THREAD_ATTRIBUTE(release_shared_capability(__VA_ARGS__))
#define EXCLUDES(...) TEVR_THREAD_ATTRIBUTE(locks_excluded(__VA_ARGS__))

class CAPABILITY("mutex") Mutex {
public:
    void lock() ACQUIRE() { mutex_.lock(); }
    void unlock() RELEASE() { mutex_.unlock(); }

private:
    friend class MutexLock;
    std::mutex mutex_;
};

// Holds a Mutex for its scope, and waits on condition variables with it.
class SCOPED_CAPABILITY MutexLock {
public:
    explicit MutexLock(Mutex& mutex) ACQUIRE(mutex) : lock_(mutex.mutex_) {}
    ~MutexLock() RELEASE() {}
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

    template <typename Predicate>
    void Wait(std::condition_variable& cv, Predicate done) {
        cv.wait(lock_, std::move(done));
    }
    template <typename Rep, typename Period, typename Predicate>
    bool WaitFor(std::condition_variable& cv, std::chrono::duration<Rep, Period> limit,
                 Predicate done) {
        return cv.wait_for(lock_, limit, std::move(done));
    }
    template <typename Clock, typename Duration, typename Predicate>
    bool WaitUntil(std::condition_variable& cv, std::chrono::time_point<Clock, Duration> deadline,
                   Predicate done) {
        return cv.wait_until(lock_, deadline, std::move(done));
    }

private:
    std::unique_lock<std::mutex> lock_;
};

// Many readers or one writer.
class CAPABILITY("mutex") SharedMutex {
public:
    void lock() ACQUIRE() { mutex_.lock(); }
    void unlock() RELEASE() { mutex_.unlock(); }
    void lock_shared() ACQUIRE_SHARED() { mutex_.lock_shared(); }
    void unlock_shared() RELEASE_SHARED() { mutex_.unlock_shared(); }

private:
    std::shared_mutex mutex_;
};

// Holds a SharedMutex for reading for its scope.
class SCOPED_CAPABILITY ReaderLock {
public:
    explicit ReaderLock(SharedMutex& mutex) ACQUIRE_SHARED(mutex) : mutex_(mutex) {
        mutex.lock_shared();
    }
    ~ReaderLock() RELEASE() { mutex_.unlock_shared(); }
    ReaderLock(const ReaderLock&) = delete;
    ReaderLock& operator=(const ReaderLock&) = delete;

private:
    SharedMutex& mutex_;
};

// Holds a SharedMutex for writing for its scope.
class SCOPED_CAPABILITY WriterLock {
public:
    explicit WriterLock(SharedMutex& mutex) ACQUIRE(mutex) : mutex_(mutex) { mutex.lock(); }
    ~WriterLock() RELEASE() { mutex_.unlock(); }
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

private:
    SharedMutex& mutex_;
};
