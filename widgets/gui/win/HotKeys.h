#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace s::str::strarray { class StrArray; }

namespace s::gui::win {

// The hot keys of one frame, registered by name (the name's global atom is the id).
// Runs on the frame's UI thread; the window carries requests there.
class HotKeys {
public:
    // What travels to the UI thread: pointer-sized words throughout.
    struct Request {
        UINT modifiers;
        UINT virtualKey;
        const wchar_t* name;
        intptr_t showFailure;
        const wchar_t* failureText;
    };

    HotKeys();
    ~HotKeys();
    HotKeys(const HotKeys&) = delete;
    HotKeys& operator=(const HotKeys&) = delete;

    // MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN as chosen, MOD_NOREPEAT from Windows 7 on.
    static UINT modifiersOf(bool alt, bool ctrl, bool shift, bool win);
    // "HotKey Alt+Ctrl+...<key> has been occupied by another application."
    static std::wstring failureText(bool alt, bool ctrl, bool shift, bool win, UINT virtualKey);

    // Registers on frame; on failure the atom is deleted again and, when asked, the
    // information box shows "(<error>) " and the failure text.
    bool add(HWND frame, const Request& request);
    // Unregisters the name and deletes its atom; false when it was not registered.
    bool remove(HWND frame, const wchar_t* name);
    void removeAll(HWND frame);
    bool contains(const wchar_t* name) const;

    // The atom of the last WM_HOTKEY, and whether it is the one of name.
    void setLastAtom(ATOM atom) { lastAtom_ = atom; }
    bool isLast(const wchar_t* name) const;

private:
    str::strarray::StrArray* names_;
    ATOM lastAtom_;
};

} // namespace s::gui::win
