#pragma once
#include <windows.h>

namespace s::system::win {

// The engine's one road to a message box. The default is the system's MessageBoxW;
// the application plugs in the toolkit's box, and tests a recorder, so no box ever
// blocks a run that nobody watches. Safe to swap from any thread.
class MessageBoxSeam {
public:
    typedef int(WINAPI* MessageBoxFn)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

    // The caption of the engine's boxes.
    static constexpr const wchar_t* CAPTION = L"Brisquelton";

    // Installs fn (null: the system box again); returns the one it replaces.
    static MessageBoxFn set(MessageBoxFn fn);
    static MessageBoxFn current();

    // The window that owns the engine's boxes (null: none), so that a box stays above
    // a top-most window; answers the one it replaces.
    static HWND setOwner(HWND owner);
    static HWND owner();

    // Shows through the installed function; its answer (IDOK, IDYES, ...).
    static int show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
    // Boxes with the engine's caption, owned by the owner window.
    static int showInformation(const wchar_t* text) { return show(owner(), text, CAPTION, MB_OK | MB_ICONINFORMATION); }
    static int showWarning(const wchar_t* text) { return show(owner(), text, CAPTION, MB_OK | MB_ICONWARNING); }
    static int showError(const wchar_t* text) { return show(owner(), text, CAPTION, MB_OK | MB_ICONERROR); }
};

} // namespace s::system::win
