#pragma once
#include <windows.h>

#include <cstdint>

namespace s::str::strbuffer { class StrBuffer; }

namespace s::process::win {

// Finds another process running this program's executable file and hands it over to
// that copy's window with private messages. Every wait is bounded, so a copy that
// hangs never makes the starting copy hang with it.
class OtherInstance {
public:
    typedef str::strbuffer::StrBuffer StrBuffer;

    // Restore the window and bring it to the front.
    static constexpr UINT RESTORE_MESSAGE = WM_USER + 3;
    // Raise the application's event.
    static constexpr UINT EVENT_MESSAGE = WM_USER + 7;
    // Longest wait for the other copy to become idle, and for each send.
    static constexpr DWORD IDLE_WAIT_MS = 3000;
    static constexpr UINT SEND_TIMEOUT_MS = 3000;

    // The window titles to look for, one per language pack: sets title to pack
    // `index`'s text for textId (empty when the pack lacks it) and returns true, or
    // returns false once index is past the last pack. Localizer::packText is the one.
    typedef bool (*TitleFunction)(void* context, uint32_t index, uint32_t textId, StrBuffer* title);

    // Another process running the same executable (whole path, case ignored).
    static bool findOtherInstance(uint32_t* processId);
    // The same search over the top-level windows of a desktop; gives the window too.
    static bool findOtherInstanceWindow(HDESK desktop, uint32_t* processId, HWND* window = nullptr);

    // Sends RESTORE_MESSAGE (and EVENT_MESSAGE when alsoEvent) to the process's
    // window. Without a title function, any window of it with a caption; with one,
    // the first window whose caption begins with a pack's title. Stops at the first
    // pack whose window took the message, so it arrives once. True when delivered.
    static bool notifyOtherInstance(uint32_t processId, TitleFunction titles, void* context, uint32_t titleTextId,
                                    bool alsoEvent);
    static bool notifyOtherInstanceOnDesktop(HDESK desktop, TitleFunction titles, void* context,
                                             uint32_t titleTextId, bool alsoEvent);

    // Waits (bounded) for the process to become idle, then sends message to its first
    // window whose caption begins with titlePrefix (case ignored; null: any non-empty
    // caption). The send's result: non-zero when the window took the message.
    static LRESULT sendToProcessWindow(const wchar_t* titlePrefix, UINT message, uint32_t processId);

    // The executable path of a process (a new pooled string the caller releases);
    // empty when it cannot be read. A process whose modules cannot be listed gives the
    // device form (\Device\...), which never equals a drive-letter path.
    static StrBuffer* processExePath(uint32_t processId);

    // The searches for a given executable path, leaving out one process id.
    static bool findProcessOf(const wchar_t* exePath, uint32_t excludeId, uint32_t* processId);
    static bool findWindowOf(HDESK desktop, const wchar_t* exePath, uint32_t excludeId, uint32_t* processId,
                             HWND* window);

private:
    // The send step without the idle wait.
    static LRESULT sendToWindowOf(const wchar_t* titlePrefix, UINT message, uint32_t processId);
    static void waitForIdle(uint32_t processId);
    static bool samePath(const wchar_t* a, const wchar_t* b);
    // This program's executable path (a new pooled string).
    static StrBuffer* ownPath();
};

} // namespace s::process::win
