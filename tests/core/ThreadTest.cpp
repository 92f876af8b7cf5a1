#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <vector>

#include "core/thread/win/Thread.h"

using s::thread::ITask;
using s::thread::IThread;
using s::thread::win::Thread;

namespace {

using Clock = std::chrono::steady_clock;

long long msSince(Clock::time_point t0) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
}

// Ends the process with a failure when a test hangs, so a lost wake-up fails CI
// instead of blocking it.
class Watchdog {
public:
    Watchdog(DWORD limitMs, const char* what) : limit_(limitMs), what_(what) {
        done_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &Watchdog::watch, this, 0, nullptr);
    }
    ~Watchdog() {
        SetEvent(done_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(done_);
    }

private:
    static DWORD WINAPI watch(void* p) {
        Watchdog* self = static_cast<Watchdog*>(p);
        if (WaitForSingleObject(self->done_, self->limit_) == WAIT_TIMEOUT) {
            std::fprintf(stderr, "watchdog: %s did not finish within %lu ms\n", self->what_,
                         static_cast<unsigned long>(self->limit_));
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        return 0;
    }
    DWORD limit_;
    const char* what_;
    HANDLE done_;
    HANDLE thread_;
};

// Counts its runs, remembers when each started and optionally takes some time.
class RecordingTask : public ITask {
public:
    explicit RecordingTask(DWORD workMs = 0) : workMs_(workMs) {}
    void run() override {
        {
            std::lock_guard<std::mutex> g(m_);
            starts_.push_back(Clock::now());
        }
        ++started;
        if (workMs_ != 0) Sleep(workMs_);
        ++finished;
    }
    std::vector<long long> gapsMs() {
        std::lock_guard<std::mutex> g(m_);
        std::vector<long long> gaps;
        for (size_t i = 1; i < starts_.size(); ++i) {
            gaps.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(starts_[i] - starts_[i - 1]).count());
        }
        return gaps;
    }
    Clock::time_point lastStart() {
        std::lock_guard<std::mutex> g(m_);
        return starts_.back();
    }
    std::atomic<int> started{0};
    std::atomic<int> finished{0};

private:
    DWORD workMs_;
    std::mutex m_;
    std::vector<Clock::time_point> starts_;
};

// Blocks in run() until opened.
class BlockingTask : public ITask {
public:
    BlockingTask() : gate_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~BlockingTask() override { CloseHandle(gate_); }
    void run() override {
        ++entered;
        WaitForSingleObject(gate_, INFINITE);
        ++left;
    }
    void open() { SetEvent(gate_); }
    std::atomic<int> entered{0};
    std::atomic<int> left{0};

private:
    HANDLE gate_;
};

bool waitUntil(const std::atomic<int>& value, int atLeast, DWORD limitMs = 5000) {
    for (DWORD waited = 0; value < atLeast; waited += 5) {
        if (waited >= limitMs) return false;
        Sleep(5);
    }
    return true;
}

}  // namespace

TEST(Thread, RunOperationsRunTheTaskTheRequestedNumberOfTimes) {
    Watchdog dog(20000, "RunOperations");
    Thread* t = Thread::pool();
    ASSERT_TRUE(t->isValid());
    EXPECT_TRUE(t->isIdle());
    RecordingTask task;
    t->runOnce(&task);
    t->waitIdle();
    EXPECT_EQ(task.finished, 1);
    EXPECT_TRUE(t->isIdle());
    Sleep(30);
    EXPECT_EQ(task.started, 1);
    t->runOnce(&task);
    t->waitIdle();
    t->runTimes(&task, 5);
    t->waitIdle();
    EXPECT_EQ(task.finished, 7);
    t->release();
}

TEST(Thread, PausesAndPeriodsFallBetweenRunsOnly) {
    Watchdog dog(20000, "Pauses");
    Thread* t = Thread::pool();
    RecordingTask quick;
    t->runTimesPaused(&quick, 3, 200);
    t->waitIdle();
    const Clock::time_point idleAt = Clock::now();
    ASSERT_EQ(quick.finished, 3);
    for (long long gap : quick.gapsMs()) EXPECT_GE(gap, 150);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(idleAt - quick.lastStart()).count(), 100);

    RecordingTask shortWork(30);
    t->runTimesPeriodic(&shortWork, 4, 100);
    t->waitIdle();
    for (long long gap : shortWork.gapsMs()) {
        EXPECT_GE(gap, 80);
        EXPECT_LT(gap, 150);
    }
    RecordingTask longWork(150);
    t->runTimesPeriodic(&longWork, 3, 100);
    t->waitIdle();
    for (long long gap : longWork.gapsMs()) {
        EXPECT_GE(gap, 140);
        EXPECT_LT(gap, 230);
    }
    t->release();
}

TEST(Thread, StopAndReleaseLetTheCurrentRunFinish) {
    Watchdog dog(20000, "Stop");
    Thread* t = Thread::pool();
    RecordingTask task(30);
    t->runForever(&task);
    ASSERT_TRUE(waitUntil(task.finished, 3));
    t->stop();
    EXPECT_TRUE(t->isIdle());
    EXPECT_EQ(task.started, task.finished);
    const int after = task.finished;
    Sleep(100);
    EXPECT_EQ(task.finished, after);

    // Releasing a busy thread to its pool stops it the same way.
    t->runForeverPaused(&task, 5);
    ASSERT_TRUE(waitUntil(task.finished, after + 2));
    t->release();
    const int released = task.finished;
    EXPECT_EQ(task.started, released);
    Sleep(100);
    EXPECT_EQ(task.finished, released);
}

namespace {

// While it runs, takes another worker from the pool on a helper thread, as a job
// that starts a download does, and notes whether that got through within 2 s.
class PoolUsingTask : public ITask {
public:
    void run() override {
        ++entered;
        Sleep(200);  // the owner is releasing this worker by now
        helper = CreateThread(nullptr, 0, &PoolUsingTask::takeWorker, nullptr, 0, nullptr);
        if (WaitForSingleObject(helper, 2000) == WAIT_OBJECT_0) {
            ++gotWorkerInTime;
        }
        // Not waited for here: a helper stuck on the pool must not block this run.
    }
    std::atomic<int> entered{0};
    std::atomic<int> gotWorkerInTime{0};
    HANDLE helper = nullptr;

private:
    static DWORD WINAPI takeWorker(void*) {
        Thread* other = Thread::pool();
        other->release();
        return 0;
    }
};

}  // namespace

TEST(Thread, ReleasingABusyThreadDoesNotHoldThePoolWhileItsRunFinishes) {
    Watchdog dog(20000, "ReleaseBusy");
    Thread* t = Thread::pool();
    PoolUsingTask task;
    t->runOnce(&task);
    ASSERT_TRUE(waitUntil(task.entered, 1));
    // Waits for the run to finish; the run needs the pool meanwhile.
    t->release();
    EXPECT_EQ(task.gotWorkerInTime, 1);
    ASSERT_NE(task.helper, nullptr);
    WaitForSingleObject(task.helper, INFINITE);
    CloseHandle(task.helper);
}

TEST(Thread, PooledThreadIsResetButKeepsItsNativeThread) {
    Watchdog dog(20000, "Pool");
    Thread* t = Thread::pool();
    static std::atomic<int> calls{0};
    static IThread* calledWith = nullptr;
    t->setRunFunction([](IThread* self) { ++calls; calledWith = self; });
    EXPECT_TRUE(t->setPriority(THREAD_PRIORITY_BELOW_NORMAL));
    EXPECT_EQ(t->getPriority(), THREAD_PRIORITY_BELOW_NORMAL);

    // The thread object is itself a task.
    Thread* runner = Thread::pool();
    runner->runOnce(t);
    runner->waitIdle();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(calledWith, static_cast<IThread*>(t));
    runner->release();

    const uint32_t id = t->threadId();
    t->release();
    Thread* again = Thread::pool();
    ASSERT_EQ(again, t);  // last released comes back first
    EXPECT_EQ(again->threadId(), id);
    EXPECT_EQ(again->getPriority(), THREAD_PRIORITY_NORMAL);
    again->run();
    EXPECT_EQ(calls, 1);
    RecordingTask task;
    again->runOnce(&task);  // resumes the thread parked by the reset
    again->waitIdle();
    EXPECT_EQ(task.finished, 1);
    again->release();
}

TEST(Thread, DelayIsDroppedByANewRunAndSleptWhenWorkIsPending) {
    Watchdog dog(20000, "Delay");
    Thread* t = Thread::pool();
    RecordingTask task;
    t->setDelay(500);
    const Clock::time_point t0 = Clock::now();
    t->runOnce(&task);
    t->waitIdle();
    EXPECT_LT(msSince(t0), 250);

    // A delay set during a run is slept once before the next run.
    class DelayingTask : public ITask {
    public:
        explicit DelayingTask(Thread* th) : thread(th) {}
        void run() override {
            if (recorder.started == 0) thread->setDelay(300);
            recorder.run();
        }
        Thread* thread;
        RecordingTask recorder;
    } delaying(t);
    t->runTimes(&delaying, 3);
    t->waitIdle();
    const std::vector<long long> gaps = delaying.recorder.gapsMs();
    ASSERT_EQ(gaps.size(), 2u);
    EXPECT_GE(gaps[0], 200);
    EXPECT_LT(gaps[1], 150);
    t->release();
}

TEST(Thread, WaitIdleForGivesUpOnABlockedTaskWithoutKillingIt) {
    Watchdog dog(20000, "WaitIdleFor");
    Thread* t = Thread::pool();
    BlockingTask blocker;
    t->runOnce(&blocker);
    ASSERT_TRUE(waitUntil(blocker.entered, 1));
    const uint32_t oldId = t->threadId();
    HANDLE old = OpenThread(SYNCHRONIZE, FALSE, oldId);
    ASSERT_NE(old, nullptr);

    const Clock::time_point t0 = Clock::now();
    EXPECT_FALSE(t->waitIdleFor(60));
    EXPECT_GE(msSince(t0), 40);
    EXPECT_LT(msSince(t0), 1000);
    EXPECT_TRUE(t->isIdle());
    EXPECT_NE(t->threadId(), oldId);

    RecordingTask task;
    t->runOnce(&task);
    EXPECT_TRUE(t->waitIdleFor(5000));
    EXPECT_EQ(task.finished, 1);

    // The given-up thread finishes its task (its locks are released normally),
    // then ends without running it again.
    blocker.open();
    EXPECT_EQ(WaitForSingleObject(old, 5000), WAIT_OBJECT_0);
    CloseHandle(old);
    EXPECT_EQ(blocker.entered, 1);
    EXPECT_EQ(blocker.left, 1);
    t->release();
}

TEST(Thread, ExitEndsAParkedThreadAndLaterWorkIsRefused) {
    Watchdog dog(20000, "Exit");
    Thread* t = Thread::pool();
    RecordingTask task;
    t->runOnce(&task);
    t->waitIdle();
    HANDLE native = OpenThread(SYNCHRONIZE, FALSE, t->threadId());
    ASSERT_NE(native, nullptr);
    t->exit();
    EXPECT_EQ(WaitForSingleObject(native, 0), WAIT_OBJECT_0);
    CloseHandle(native);
    // Work given to an exited thread must not leave it busy for ever.
    t->runOnce(&task);
    EXPECT_TRUE(t->isIdle());
    t->waitIdle();
    EXPECT_EQ(task.started, 1);
    delete t;  // a dead thread must not go back to the pool
}

// Thousands of run/wait cycles, with run requests issued the moment the worker
// reports idle (while it is on its way to park) and spurious resumes in between:
// a lost wake-up shows as a hang, which the watchdog turns into a failure.
TEST(Thread, StressRunWaitCyclesNeverLoseAWakeup) {
    Watchdog dog(60000, "StressRunWaitCycles");
    Thread* t = Thread::pool();
    RecordingTask task;
    int expected = 0;
    for (int i = 0; i < 3000; ++i) {
        t->runOnce(&task);
        t->waitIdle();
        ASSERT_EQ(task.finished, ++expected) << "cycle " << i;
    }
    for (int i = 0; i < 3000; ++i) {
        t->runTimes(&task, 2);
        expected += 2;
        while (!t->isIdle()) {
            if (i % 3 == 0) t->resume();
            SwitchToThread();
        }
        ASSERT_EQ(task.finished, expected) << "cycle " << i;
    }
    EXPECT_EQ(task.finished, expected);
    t->release();
}
