#include "images/image/win/PrintTarget.h"

#include <commdlg.h>

#include <atomic>
#include <cwchar>

namespace s::image::win {

namespace {

// The framework's id of the application title.
constexpr UINT APP_TITLE_ID = 0xE000;

std::atomic<IPrintTarget*> replaced{nullptr};

void freeHandles(PRINTDLGW& dialog) {
    if (dialog.hDevMode != nullptr) {
        GlobalFree(dialog.hDevMode);
    }
    if (dialog.hDevNames != nullptr) {
        GlobalFree(dialog.hDevNames);
    }
}

} // namespace

IPrintTarget* PrintTarget::current() {
    static PrintTarget windows;
    IPrintTarget* target = replaced.load();
    return target != nullptr ? target : &windows;
}

IPrintTarget* PrintTarget::replace(IPrintTarget* target) {
    return replaced.exchange(target);
}

void PrintTarget::applicationTitle(wchar_t* buffer, int chars) {
    if (chars <= 0) {
        return;
    }
    buffer[0] = L'\0';
    if (LoadStringW(GetModuleHandleW(nullptr), APP_TITLE_ID, buffer, chars) <= 0) {
        buffer[0] = L'\0';
    }
}

bool PrintTarget::hasDefaultPrinter() {
    PRINTDLGW dialog;
    ZeroMemory(&dialog, sizeof(dialog));
    dialog.lStructSize = sizeof(dialog);
    dialog.Flags = PD_RETURNDEFAULT;
    const bool found = PrintDlgW(&dialog) != FALSE;
    freeHandles(dialog);
    return found;
}

bool PrintTarget::choosePrinter(HDC* dc, wchar_t* port, size_t portChars) {
    *dc = nullptr;
    if (portChars > 0) {
        port[0] = L'\0';
    }
    PRINTDLGW dialog;
    ZeroMemory(&dialog, sizeof(dialog));
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = GetActiveWindow();
    // The context of the printer the user picks, not of the default one.
    dialog.Flags = PD_RETURNDC | PD_PAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
    dialog.nFromPage = 1;
    dialog.nToPage = 1;
    dialog.nMinPage = 1;
    dialog.nMaxPage = 1;
    dialog.nCopies = 1;
    if (PrintDlgW(&dialog) == FALSE) {
        freeHandles(dialog);
        return false;
    }
    *dc = dialog.hDC;
    if (dialog.hDevNames != nullptr && portChars > 0) {
        const DEVNAMES* names = static_cast<const DEVNAMES*>(GlobalLock(dialog.hDevNames));
        if (names != nullptr) {
            const wchar_t* output = reinterpret_cast<const wchar_t*>(names) + names->wOutputOffset;
            wcsncpy(port, output, portChars - 1);
            port[portChars - 1] = L'\0';
            GlobalUnlock(dialog.hDevNames);
        }
    }
    freeHandles(dialog);
    return true;
}

void PrintTarget::showInformation(const wchar_t* text) {
    wchar_t title[256];
    applicationTitle(title, 256);
    MessageBoxW(GetActiveWindow(), text, title, MB_OK | MB_ICONINFORMATION);
}

} // namespace s::image::win
