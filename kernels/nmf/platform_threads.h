#pragma once

// The three thread primitives the team needs: a mutex, a condition and a
// thread. On Windows they are the system's own, so that a plug-in built by
// MSVC or by MinGW-w64 of either thread model imports nothing beyond
// KERNEL32; elsewhere they are the C++ standard library's.

#if defined(_WIN32)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace platform {

class Mutex {
public:
    void lock() { AcquireSRWLockExclusive(&lock_); }
    void unlock() { ReleaseSRWLockExclusive(&lock_); }
    SRWLOCK* native() { return &lock_; }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};

class Condition {
public:
    // Called with `mutex` locked; returns with it locked again.
    void wait(Mutex& mutex) { SleepConditionVariableSRW(&condition_, mutex.native(), INFINITE, 0); }
    void notifyAll() { WakeAllConditionVariable(&condition_); }

private:
    CONDITION_VARIABLE condition_ = CONDITION_VARIABLE_INIT;
};

// Lets another thread that is ready run on this core.
inline void yieldThread() { SwitchToThread(); }

class Thread {
public:
    // False when the system starts no thread.
    bool start(void (*entry)(void*), void* argument) {
        entry_ = entry;
        argument_ = argument;
        handle_ = CreateThread(nullptr, 0, &Thread::begin, this, 0, nullptr);
        return handle_ != nullptr;
    }
    void join() {
        WaitForSingleObject(handle_, INFINITE);
        CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    static DWORD WINAPI begin(LPVOID self) {
        Thread* thread = static_cast<Thread*>(self);
        thread->entry_(thread->argument_);
        return 0;
    }
    HANDLE handle_ = nullptr;
    void (*entry_)(void*) = nullptr;
    void* argument_ = nullptr;
};

}  // namespace platform

#else

#include <condition_variable>
#include <mutex>
#include <thread>

namespace platform {

class Mutex {
public:
    void lock() { mutex_.lock(); }
    void unlock() { mutex_.unlock(); }
    std::mutex& native() { return mutex_; }

private:
    std::mutex mutex_;
};

class Condition {
public:
    // Called with `mutex` locked; returns with it locked again.
    void wait(Mutex& mutex) {
        std::unique_lock<std::mutex> lock(mutex.native(), std::adopt_lock);
        condition_.wait(lock);
        lock.release();
    }
    void notifyAll() { condition_.notify_all(); }

private:
    std::condition_variable condition_;
};

// Lets another thread that is ready run on this core.
inline void yieldThread() { std::this_thread::yield(); }

class Thread {
public:
    // False when the system starts no thread.
    bool start(void (*entry)(void*), void* argument) {
        try {
            thread_ = std::thread(entry, argument);
        } catch (...) {  // std::system_error, or std::bad_alloc for its state
            return false;
        }
        return true;
    }
    void join() { thread_.join(); }

private:
    std::thread thread_;
};

}  // namespace platform

#endif
