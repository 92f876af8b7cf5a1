#include "widgets/gui/win/HotKeys.h"

#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "system/system/win/OsFacts.h"
#include "widgets/gui/win/MessageBoxW.h"

namespace s::gui::win {

namespace {

// The atom a name already has, without adding one (0: none).
ATOM atomOf(const wchar_t* name) {
    return GlobalFindAtomW(name);
}

std::wstring keyName(UINT virtualKey) {
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z')) {
        return std::wstring(1, static_cast<wchar_t>(virtualKey));
    }
    if (virtualKey >= VK_F1 && virtualKey <= VK_F24) {
        return L"F" + std::to_wstring(virtualKey - VK_F1 + 1);
    }
    wchar_t name[64] = {};
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    if (scan != 0 && GetKeyNameTextW(static_cast<LONG>(scan << 16), name, 64) > 0) {
        return name;
    }
    return L"#" + std::to_wstring(virtualKey);
}

} // namespace

HotKeys::HotKeys() : names_(str::strarray::StrArray::pool()), lastAtom_(0) {}

HotKeys::~HotKeys() {
    if (names_ != nullptr) {
        names_->release();
    }
}

UINT HotKeys::modifiersOf(bool alt, bool ctrl, bool shift, bool win) {
    UINT modifiers = (alt ? MOD_ALT : 0) | (ctrl ? MOD_CONTROL : 0) | (shift ? MOD_SHIFT : 0) | (win ? MOD_WIN : 0);
    if (s::system::win::OsFacts::isWindows7OrLater()) {
        modifiers |= 0x4000;  // MOD_NOREPEAT
    }
    return modifiers;
}

std::wstring HotKeys::failureText(bool alt, bool ctrl, bool shift, bool win, UINT virtualKey) {
    std::wstring text = L"HotKey ";
    if (alt) {
        text += L"Alt+";
    }
    if (ctrl) {
        text += L"Ctrl+";
    }
    if (shift) {
        text += L"Shift+";
    }
    if (win) {
        text += L"WinKey+";
    }
    return text + keyName(virtualKey) + L" has been occupied by another application.";
}

bool HotKeys::add(HWND frame, const Request& request) {
    if (request.name == nullptr || frame == nullptr) {
        return false;
    }
    const ATOM atom = GlobalAddAtomW(request.name);
    if (atom == 0) {
        return false;
    }
    if (RegisterHotKey(frame, atom, request.modifiers, request.virtualKey)) {
        names_->add(request.name);
        return true;
    }
    const DWORD error = GetLastError();
    // The atom names nothing now: give it back so repeated attempts leave none behind.
    GlobalDeleteAtom(atom);
    if (request.showFailure != 0) {
        const std::wstring text = L"(" + std::to_wstring(error) + L") " +
                                  (request.failureText != nullptr ? request.failureText : L"");
        MessageBoxW::showInformationBox(text.c_str());
    }
    return false;
}

bool HotKeys::remove(HWND frame, const wchar_t* name) {
    uint32_t index = 0;
    if (name == nullptr || !names_->findText(name, &index)) {
        return false;
    }
    if (const ATOM atom = atomOf(name)) {
        UnregisterHotKey(frame, atom);
        GlobalDeleteAtom(atom);
    }
    names_->removeAt(index);
    return true;
}

void HotKeys::removeAll(HWND frame) {
    while (names_->count() > 0) {
        const std::wstring name = names_->get(names_->count() - 1)->c_str();
        remove(frame, name.c_str());
    }
}

bool HotKeys::contains(const wchar_t* name) const {
    return name != nullptr && names_->findText(name);
}

bool HotKeys::isLast(const wchar_t* name) const {
    return name != nullptr && lastAtom_ != 0 && atomOf(name) == lastAtom_;
}

} // namespace s::gui::win
