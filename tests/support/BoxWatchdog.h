// Answers the message boxes of another process, so that nothing it asks ever blocks a
// test: each box is counted once and answered by a click on its No button, else on the
// button that closes it. File dialogs are left to the test that opened them.
#pragma once
#include <windows.h>

#include <atomic>
#include <thread>

#include "support/RealInput.h"

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
    // One box at a time: a box still up after a click is the same box, clicked again a
    // second later (the click went to its activation, or a loaded machine is slow).
    void answerBoxes() {
        HWND box = messageBoxOf(processId_);
        if (box == nullptr) {
            answered_ = nullptr;
            return;
        }
        if (box != answered_) {
            ++boxes_;
            answered_ = box;
            clickedAt_ = GetTickCount() - 1000;
        }
        if (GetTickCount() - clickedAt_ < 1000) return;
        HWND button = nullptr;
        for (int id : {IDNO, IDOK, IDCANCEL}) {
            if ((button = GetDlgItem(box, id)) != nullptr && IsWindowVisible(button)) break;
        }
        if (button != nullptr) {
            clickOn(button);
        }
        clickedAt_ = GetTickCount();
    }

    DWORD processId_;
    HWND answered_ = nullptr;
    DWORD clickedAt_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> paused_{false};
    std::atomic<int> boxes_{0};
    std::thread thread_;
};

} // namespace testsupport
