// Answers the message boxes of another process, so that nothing it asks ever blocks a
// test: each box is recorded and answered with No, else closed. File dialogs are left to
// the test that opened them.
#pragma once
#include <windows.h>

#include <atomic>
#include <thread>

namespace testsupport {

// A dialog with a file-name field is a file dialog, not a message box.
inline bool isFileDialog(HWND dialog) {
    return GetDlgItem(dialog, 0x47C) != nullptr || GetDlgItem(dialog, 0x480) != nullptr;
}

// The first visible message box (#32770) of processId, or null.
inline HWND messageBoxOf(DWORD processId) {
    HWND box = nullptr;
    while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(box, &owner);
        if (owner == processId && IsWindowVisible(box) && !isFileDialog(box)) {
            return box;
        }
    }
    return nullptr;
}

class BoxWatchdog {
public:
    explicit BoxWatchdog(DWORD processId) : processId_(processId) {
        thread_ = std::thread([this] {
            while (!stop_) {
                if (!paused_) answerBoxes();
                Sleep(50);
            }
        });
    }
    ~BoxWatchdog() {
        stop_ = true;
        thread_.join();
    }
    BoxWatchdog(const BoxWatchdog&) = delete;
    BoxWatchdog& operator=(const BoxWatchdog&) = delete;

    int boxes() const { return boxes_.load(); }
    // While paused the test answers boxes itself.
    void pause(bool on) { paused_ = on; }

private:
    void answerBoxes() {
        for (HWND box; !stop_ && (box = messageBoxOf(processId_)) != nullptr;) {
            ++boxes_;
            if (GetDlgItem(box, IDNO) != nullptr) {
                PostMessageW(box, WM_COMMAND, IDNO, 0);
            } else {
                PostMessageW(box, WM_CLOSE, 0, 0);
            }
            Sleep(200);
        }
    }

    DWORD processId_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> paused_{false};
    std::atomic<int> boxes_{0};
    std::thread thread_;
};

} // namespace testsupport
