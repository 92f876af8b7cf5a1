#include "widgets/gui/win/TrayIcon.h"

#include <atomic>

namespace s::gui::win {

namespace {

std::atomic<TrayIcon::NotifyFn> g_notify{&Shell_NotifyIconW};

} // namespace

TrayIcon::NotifyFn TrayIcon::setNotifyFunction(NotifyFn fn) {
    return g_notify.exchange(fn != nullptr ? fn : &Shell_NotifyIconW);
}

NOTIFYICONDATAW TrayIcon::record(HWND frame, const wchar_t* tip) {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = frame;
    data.uID = 0;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = CALLBACK_MESSAGE;
    data.hIcon = reinterpret_cast<HICON>(SendMessageW(frame, WM_GETICON, ICON_SMALL, 0));
    if (tip != nullptr) {
        lstrcpynW(data.szTip, tip, TIP_LENGTH + 1);
    }
    return data;
}

bool TrayIcon::add(HWND frame, const wchar_t* tip) {
    NOTIFYICONDATAW data = record(frame, tip);
    if (!g_notify.load()(NIM_ADD, &data)) {
        return false;
    }
    shown_ = true;
    return true;
}

bool TrayIcon::remove(HWND frame) {
    if (!shown_) {
        return false;
    }
    NOTIFYICONDATAW data = record(frame, nullptr);
    data.uFlags = 0;
    shown_ = false;
    return g_notify.load()(NIM_DELETE, &data) != FALSE;
}

bool TrayIcon::modify(HWND frame, const wchar_t* tip, bool tipOnly) {
    if (!shown_) {
        return false;
    }
    NOTIFYICONDATAW data = record(frame, tip);
    if (tipOnly) {
        data.uFlags = NIF_TIP;
    }
    return g_notify.load()(NIM_MODIFY, &data) != FALSE;
}

} // namespace s::gui::win
