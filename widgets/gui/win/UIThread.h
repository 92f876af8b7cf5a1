#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>

#include "framework/CWinThread.h"
#include "widgets/gui/win/PrivateMessages.h"

namespace s::gui::win {

class Window;

// The UI thread of one top-level window: makes the window's native windows and runs
// its message pump. The window deletes the object (no auto-delete), except when the
// window is given back on this very thread, or the thread outlived the window's wait
// and adopted it: then the thread gives back the window and deletes itself as it ends.
class UIThread : public CWinThread {
public:
    // Thread message asking the pump to give back the window it serves (lParam).
    static constexpr UINT RELEASE_WINDOW = PM_RELEASE_WINDOW;

    UIThread();
    ~UIThread() override;

    // Set before the thread runs.
    void setWindow(Window* window) { window_ = window; }
    Window* window() const { return window_; }
    // Set once the native windows exist, cleared when the pump has ended.
    bool isReady() const { return ready_.load() != 0; }
    // Signalled when the thread's start is over, the native windows made or not; null
    // when it could not be made.
    HANDLE startedEvent() const { return started_; }

    // For a window whose wait for this thread ran out: from now on the thread owns itself
    // and the window (when given), and gives both back as it ends. False (nothing taken)
    // when the thread's end has already begun: then the caller waits for it and frees both.
    bool adopt(Window* window);

    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL PreTranslateMessage(MSG* msg) override;

private:
    BOOL makeWindow();

    Window* window_;
    std::atomic<uint8_t> ready_;
    HANDLE started_;
    // Decides between adopt and the thread's end, whichever comes first.
    std::mutex endLock_;
    bool ending_;
    bool orphaned_;
    Window* adopted_;
};

} // namespace s::gui::win
