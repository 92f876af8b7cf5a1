#pragma once
#include <windows.h>

#include <cstdio>

// Ends this test process when a test overruns its bound, so a hang fails the run
// instead of blocking it.
class Watchdog {
public:
    explicit Watchdog(DWORD ms) : ms_(ms), done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = CreateThread(nullptr, 0, &Watchdog::watch, this, 0, nullptr);
    }
    ~Watchdog() {
        SetEvent(done_);
        if (thread_ != nullptr) {
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
        }
        CloseHandle(done_);
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    static DWORD WINAPI watch(void* param) {
        Watchdog* self = static_cast<Watchdog*>(param);
        if (WaitForSingleObject(self->done_, self->ms_) == WAIT_TIMEOUT) {
            fprintf(stderr, "watchdog: test still running after %lu ms\n", self->ms_);
            fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        return 0;
    }

    DWORD ms_;
    HANDLE done_;
    HANDLE thread_;
};
