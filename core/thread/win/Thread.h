#pragma once
#include <windows.h>

#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "core/thread/ITask.h"
#include "core/thread/IThread.h"

namespace s::thread::win {

// A pooled worker thread. The native thread is created suspended and, once running,
// parks on a wake event whenever it runs out of work, so a run request made at any
// moment (even while the worker is on its way to park) is never lost.
//
// The loop's state lives in a record shared by the object and its native thread:
// when waitIdleFor() gives up on a task that does not return, the thread is not
// killed (it might hold a lock); it keeps the old record, leaves once the task
// returns and frees the record itself, while the object continues on a new thread.
class Thread : public IThread, public IPoolable, public ITask {
    S_POOLED_CLASS(Thread, 1000, L"s_thread_win_Thread")

public:
    ~Thread() override;
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    uint32_t threadId() const override { return threadId_; }
    void runOnce(ITask* task) override { schedule(task, 1, 0, 0); }
    void runTimes(ITask* task, int32_t n) override { schedule(task, n, 0, 0); }
    void runTimesPaused(ITask* task, int32_t n, uint32_t intervalMs) override {
        schedule(task, n, 1, intervalMs);
    }
    void runTimesPeriodic(ITask* task, int32_t n, uint32_t periodMs) override {
        schedule(task, n, 2, periodMs);
    }
    void runForever(ITask* task) override { schedule(task, -1, 0, 0); }
    void runForeverPaused(ITask* task, uint32_t intervalMs) override {
        schedule(task, -1, 1, intervalMs);
    }
    void runForeverPeriodic(ITask* task, uint32_t periodMs) override {
        schedule(task, -1, 2, periodMs);
    }
    bool isIdle() const override;
    void waitIdle() override;
    bool waitIdleFor(int32_t ms) override;
    void stopRepeating() override;
    void stop() override;
    void join() override;
    void requestExit() override;
    void exit() override;
    void setDelay(uint32_t ms) override;
    void resume() override;
    void suspend() override;
    int32_t getPriority() const override;
    bool setPriority(int32_t priority) override;
    void setRunFunction(RunFunction fn) override { runFunction_ = fn; }

    // Stops repeating, waits until idle, back to normal priority, parked, no run
    // function; a worker that was ended gets a new native thread.
    void reset() override;

    // Used as a task itself: calls the run function, when one is set.
    void run() override;

    // Whether a native thread exists (creation can fail).
    bool isValid() const { return handle_ != nullptr; }

private:
    struct LoopRecord;

    Thread();
    // Makes a new loop record and a new suspended native thread at the stored priority.
    void createNative();
    // Stores new work (ignored once an exit was requested) and wakes the worker.
    void schedule(ITask* task, int32_t runs, int32_t mode, uint32_t interval);
    // Hands the busy native thread its own record to leave with and starts a new one.
    void abandonNative();
    static void releaseRecord(LoopRecord* record);
    static DWORD WINAPI loop(void* param);

    HANDLE handle_;
    uint32_t threadId_;
    LoopRecord* loop_;
    int32_t priority_;
    RunFunction runFunction_;
};

} // namespace s::thread::win
