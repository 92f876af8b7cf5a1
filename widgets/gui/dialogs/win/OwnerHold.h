#pragma once
#include <windows.h>

#include "widgets/gui/IWindow.h"

namespace s::gui::dialogs::win {

// An owner window for the length of a standard dialog: disabled, and out of the topmost
// band (so the dialog is not hidden under it); both undone when the holder goes.
class OwnerHold {
public:
    explicit OwnerHold(IWindow* owner)
        : owner_(owner), frame_(owner != nullptr ? owner->getFrameHandle() : nullptr), topmost_(false) {
        if (frame_ == nullptr) {
            return;
        }
        owner_->setFrameEnabled(false);
        topmost_ = (GetWindowLongPtrW(frame_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        if (topmost_) {
            SetWindowPos(frame_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    ~OwnerHold() {
        if (frame_ == nullptr) {
            return;
        }
        owner_->setFrameEnabled(true);
        if (topmost_) {
            SetWindowPos(frame_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    OwnerHold(const OwnerHold&) = delete;
    OwnerHold& operator=(const OwnerHold&) = delete;

    HWND frame() const { return frame_; }

private:
    IWindow* owner_;
    HWND frame_;
    bool topmost_;
};

} // namespace s::gui::dialogs::win
