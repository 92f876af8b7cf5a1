#pragma once
#include <windows.h>
#include <shellapi.h>
#include "widgets/gui/win/PrivateMessages.h"

namespace s::gui::win {

// The frame's icon in the notification area: id 0, callback WM_USER+2, the frame's
// small icon and the title as tip.
class TrayIcon {
public:
    static constexpr UINT CALLBACK_MESSAGE = PM_TRAY_NOTICE;
    // Characters of the tip before its terminator.
    static constexpr int TIP_LENGTH = 127;

    // The shell call, replaceable so tests record what would be shown (null: the shell's).
    typedef BOOL(WINAPI* NotifyFn)(DWORD message, PNOTIFYICONDATAW data);
    static NotifyFn setNotifyFunction(NotifyFn fn);

    // The record for frame with the tip cut to TIP_LENGTH characters.
    static NOTIFYICONDATAW record(HWND frame, const wchar_t* tip);

    bool isShown() const { return shown_; }
    // NIM_ADD; NIM_DELETE; NIM_MODIFY while shown (all flags, or only the tip).
    bool add(HWND frame, const wchar_t* tip);
    bool remove(HWND frame);
    bool modify(HWND frame, const wchar_t* tip, bool tipOnly);

private:
    bool shown_ = false;
};

} // namespace s::gui::win
