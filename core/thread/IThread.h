#pragma once
#include <cstdint>

#include "core/base/IObject.h"

namespace s::thread {

class ITask;

// A reusable worker thread that runs a task once, n times or forever, with an
// optional pause (mode 1) or fixed start-to-start period (mode 2) between runs,
// and parks itself when it has nothing to do.
class IThread : public base::IObject {
public:
    // What the thread object runs when it is itself used as a task.
    typedef void (*RunFunction)(IThread* thread);

    virtual uint32_t threadId() const = 0;
    virtual void runOnce(ITask* task) = 0;
    virtual void runTimes(ITask* task, int32_t n) = 0;
    virtual void runTimesPaused(ITask* task, int32_t n, uint32_t intervalMs) = 0;
    virtual void runTimesPeriodic(ITask* task, int32_t n, uint32_t periodMs) = 0;
    virtual void runForever(ITask* task) = 0;
    virtual void runForeverPaused(ITask* task, uint32_t intervalMs) = 0;
    virtual void runForeverPeriodic(ITask* task, uint32_t periodMs) = 0;
    virtual bool isIdle() const = 0;
    // Waits without limit until the thread has run out of work.
    virtual void waitIdle() = 0;
    // Waits at most ms; true when the thread went idle. On false the busy native
    // thread has been given up and the object runs on a fresh, idle one.
    virtual bool waitIdleFor(int32_t ms) = 0;
    // Lets the current run finish and schedules no more.
    virtual void stopRepeating() = 0;
    virtual void stop() = 0;
    virtual void join() = 0;
    virtual void requestExit() = 0;
    virtual void exit() = 0;
    // Milliseconds to sleep once before the next step.
    virtual void setDelay(uint32_t ms) = 0;
    virtual void resume() = 0;
    virtual void suspend() = 0;
    virtual int32_t getPriority() const = 0;
    virtual bool setPriority(int32_t priority) = 0;
    virtual void setRunFunction(RunFunction fn) = 0;
};

} // namespace s::thread
