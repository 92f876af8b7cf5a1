// Answers the message boxes of another process, so that nothing it asks ever blocks a
// test: each box is counted once and answered by a click on its No button, else on the
// button that closes it. File dialogs are left to the test that opened them.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "support/LostInput.h"
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

// Answers a process's boxes one at a time by clicks: a box still up after a click is the
// same box, counted once and clicked again five seconds later (the click went to its
// activation, or was lost); a loaded machine takes seconds to close a box it was answered.
class BoxAnswerer {
public:
    // The button clicked first when the box shows it (No unless told).
    explicit BoxAnswerer(int first = IDNO) : first_(first) {}
    static constexpr DWORD REPEAT_MS = 5000;

    // Looks once; the box first seen now (its text in *text), else null.
    HWND step(DWORD processId, std::wstring* text = nullptr) {
        HWND box = messageBoxOf(processId);
        if (box == nullptr) {
            answered_ = nullptr;
            return nullptr;
        }
        HWND fresh = nullptr;
        if (box != answered_) {
            fresh = answered_ = box;
            clickedAt_ = GetTickCount() - REPEAT_MS;
            if (text != nullptr) {
                wchar_t buffer[4096] = {};
                GetDlgItemTextW(box, 0xFFFF, buffer, 4096);
                *text = buffer;
            }
        }
        if (GetTickCount() - clickedAt_ >= REPEAT_MS) {
            if (fresh == nullptr) LostInput::repeated("message box click");
            // The first button where it asks, else the button that closes it.
            HWND button = nullptr;
            for (int id : {first_, IDNO, IDOK, IDCANCEL}) {
                if ((button = GetDlgItem(box, id)) != nullptr && IsWindowVisible(button)) break;
            }
            if (button != nullptr) clickOn(button);
            clickedAt_ = GetTickCount();
        }
        return fresh;
    }

private:
    int first_;
    HWND answered_ = nullptr;
    DWORD clickedAt_ = 0;
};

class BoxWatchdog {
public:
    explicit BoxWatchdog(DWORD processId) : processId_(processId) {
        thread_ = std::thread([this] {
            while (!stop_) {
                if (!paused_ && answerer_.step(processId_) != nullptr) ++boxes_;
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
    DWORD processId_;
    BoxAnswerer answerer_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> paused_{false};
    std::atomic<int> boxes_{0};
    std::thread thread_;
};

} // namespace testsupport
