#include "core/thread/win/Thread.h"

#include <atomic>
#include <new>

#include "core/thread/ObjLocker.h"

namespace s::thread::win {

// The state the worker loop reads; every field but the flags is guarded by `lock`.
// The flags are also read without the lock by the waits.
struct Thread::LoopRecord {
    ObjLocker lock;
    HANDLE wake = nullptr;       // auto-reset: set by every resume()
    HANDLE idleEvent = nullptr;  // manual-reset: signalled exactly while `idle` is 1
    uint32_t delay = 0;          // one-time sleep before the next step
    ITask* task = nullptr;       // not owned
    int32_t runs = 0;            // remaining runs, -1 for ever
    int32_t mode = 0;            // 0 back to back, 1 pause after a run, 2 fixed period
    uint32_t interval = 0;
    std::atomic<uint8_t> awake{0};
    std::atomic<uint8_t> idle{1};
    std::atomic<uint8_t> exitRequest{0};
    std::atomic<uint8_t> exited{0};
    std::atomic<int32_t> owners{1};  // the object, plus the native thread while it runs

    LoopRecord() {
        wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        idleEvent = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    }
    ~LoopRecord() {
        if (wake != nullptr) CloseHandle(wake);
        if (idleEvent != nullptr) CloseHandle(idleEvent);
    }
    // Under the lock.
    void setIdle(bool on) {
        idle = on ? 1 : 0;
        if (on) {
            SetEvent(idleEvent);
        } else {
            ResetEvent(idleEvent);
        }
    }
};

Thread::Thread() : handle_(nullptr), threadId_(0), loop_(nullptr), priority_(0), runFunction_(nullptr) {
    createNative();
}

Thread::~Thread() {
    if (handle_ != nullptr) {
        exit();
        CloseHandle(handle_);
        handle_ = nullptr;
    }
    releaseRecord(loop_);
    loop_ = nullptr;
}

void Thread::createNative() {
    handle_ = nullptr;
    threadId_ = 0;
    loop_ = new (std::nothrow) LoopRecord();
    if (loop_ == nullptr || loop_->wake == nullptr || loop_->idleEvent == nullptr) {
        return;
    }
    loop_->owners = 2;
    DWORD id = 0;
    handle_ = CreateThread(nullptr, 0, &Thread::loop, loop_, CREATE_SUSPENDED, &id);
    if (handle_ == nullptr) {
        loop_->owners = 1;
        return;
    }
    threadId_ = id;
    SetThreadPriority(handle_, priority_);
}

void Thread::releaseRecord(LoopRecord* record) {
    if (record != nullptr && record->owners.fetch_sub(1) == 1) {
        delete record;
    }
}

void Thread::schedule(ITask* task, int32_t runs, int32_t mode, uint32_t interval) {
    if (handle_ == nullptr) {
        return;
    }
    {
        ObjLocker::Guard guard(loop_->lock);
        // After an exit request the loop is gone or leaving: new work would never
        // run and would leave the object busy for ever.
        if (loop_->exitRequest) {
            return;
        }
        loop_->delay = 0;
        loop_->task = task;
        loop_->runs = runs;
        loop_->mode = mode;
        loop_->interval = interval;
        loop_->awake = 0;
        loop_->setIdle(false);
    }
    resume();
}

bool Thread::isIdle() const {
    return handle_ == nullptr || loop_->idle != 0;
}

void Thread::waitIdle() {
    if (handle_ != nullptr) {
        WaitForSingleObject(loop_->idleEvent, INFINITE);
    }
}

bool Thread::waitIdleFor(int32_t ms) {
    if (handle_ == nullptr) {
        return true;
    }
    const DWORD limit = ms > 0 ? static_cast<DWORD>(ms) : 0;
    if (WaitForSingleObject(loop_->idleEvent, limit) == WAIT_OBJECT_0) {
        return true;
    }
    abandonNative();
    return false;
}

void Thread::abandonNative() {
    {
        ObjLocker::Guard guard(loop_->lock);
        loop_->runs = 0;
        loop_->delay = 0;
        loop_->exitRequest = 1;
    }
    // A parked or suspended worker must run to see the request once its task returns.
    resume();
    CloseHandle(handle_);
    handle_ = nullptr;
    releaseRecord(loop_);
    loop_ = nullptr;
    createNative();
}

void Thread::stopRepeating() {
    if (handle_ == nullptr) {
        return;
    }
    {
        ObjLocker::Guard guard(loop_->lock);
        loop_->runs = 0;
    }
    resume();
}

void Thread::stop() {
    stopRepeating();
    waitIdle();
}

void Thread::join() {
    if (handle_ == nullptr) {
        return;
    }
    while (!loop_->exited) {
        resume();
        // A thread that ended without setting the flag (killed at process exit) is done too.
        if (WaitForSingleObject(handle_, 100) == WAIT_OBJECT_0) {
            return;
        }
    }
    // The flag is the loop's last act: wait for the thread itself to return, so callers
    // may rely on it having ended.
    WaitForSingleObject(handle_, INFINITE);
}

void Thread::requestExit() {
    if (handle_ == nullptr) {
        return;
    }
    {
        ObjLocker::Guard guard(loop_->lock);
        loop_->exitRequest = 1;
    }
    resume();
}

void Thread::exit() {
    requestExit();
    join();
}

void Thread::setDelay(uint32_t ms) {
    if (handle_ == nullptr) {
        return;
    }
    ObjLocker::Guard guard(loop_->lock);
    loop_->delay = ms;
}

void Thread::resume() {
    if (handle_ == nullptr) {
        return;
    }
    // Undo every suspension (the creation one and any suspend()); a failure ends it.
    for (;;) {
        const DWORD previous = ResumeThread(handle_);
        if (previous == static_cast<DWORD>(-1) || previous <= 1) {
            break;
        }
    }
    SetEvent(loop_->wake);
}

void Thread::suspend() {
    if (handle_ == nullptr) {
        return;
    }
    // Under the lock, so the worker is never frozen while it owns it.
    ObjLocker::Guard guard(loop_->lock);
    SuspendThread(handle_);
}

int32_t Thread::getPriority() const {
    if (handle_ == nullptr) {
        return priority_;
    }
    return GetThreadPriority(handle_);
}

bool Thread::setPriority(int32_t priority) {
    priority_ = priority;
    return handle_ != nullptr && SetThreadPriority(handle_, priority) != FALSE;
}

void Thread::reset() {
    // A worker that was ended comes back alive: the next user's work would otherwise
    // be dropped without a word. One still busy leaves on its own record.
    if (handle_ == nullptr) {
        releaseRecord(loop_);
        loop_ = nullptr;
        createNative();
    } else if (loop_->exitRequest || loop_->exited) {
        abandonNative();
    }
    if (!isIdle()) {
        stop();
    }
    setPriority(THREAD_PRIORITY_NORMAL);
    suspend();
    runFunction_ = nullptr;
}

void Thread::run() {
    if (runFunction_ != nullptr) {
        runFunction_(this);
    }
}

DWORD WINAPI Thread::loop(void* param) {
    LoopRecord* r = static_cast<LoopRecord*>(param);
    r->lock.lock();
    r->awake = 1;
    while (!r->exitRequest) {
        if (r->delay != 0) {
            const uint32_t delay = r->delay;
            r->delay = 0;
            r->lock.unlock();
            Sleep(delay);
        } else if (r->runs != 0) {
            if (r->runs != -1) {
                --r->runs;
            }
            ITask* const task = r->task;
            const uint32_t interval = r->interval;
            const int32_t runs = r->runs;
            const int32_t mode = r->mode;
            r->lock.unlock();
            const DWORD t0 = GetTickCount();
            if (task != nullptr) {
                task->run();
                // Pauses fall between runs only, never after the last one.
                if (mode != 0 && runs != 0) {
                    if (mode == 1) {
                        Sleep(interval);
                    } else {
                        // Wrap-safe: the tick count restarts every 49.7 days.
                        const int64_t elapsed = static_cast<int32_t>(GetTickCount() - t0);
                        if (elapsed < static_cast<int64_t>(interval)) {
                            Sleep(static_cast<DWORD>(interval - elapsed));
                        }
                    }
                }
            }
        } else {
            // Idle is published under the lock and the wake event is auto-reset, so
            // a run request arriving before the wait below makes the wait return.
            r->setIdle(true);
            r->lock.unlock();
            WaitForSingleObject(r->wake, INFINITE);
        }
        r->lock.lock();
        r->awake = 1;
    }
    // No more work will run: waiters for idle must not wait for ever.
    r->setIdle(true);
    r->lock.unlock();
    r->exited = 1;
    releaseRecord(r);
    return 0;
}

} // namespace s::thread::win
