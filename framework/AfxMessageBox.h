#pragma once
#include <windows.h>

// The application's message box: the text with the application's title as caption,
// owned by the calling thread's active window, else by the main window; answers the
// button pressed (IDOK, IDYES...). Runs on the calling thread until the box is closed.
int AfxMessageBox(LPCWSTR text, UINT type = MB_OK);

// What shows the box; MessageBoxW unless a test put a recorder in its place.
typedef int(WINAPI* AfxMessageBoxFn)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
// Shows a box with its own owner and caption through the same function.
int AfxShowMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
// Replaces it (null restores MessageBoxW); answers the previous one.
AfxMessageBoxFn AfxSetMessageBoxFunction(AfxMessageBoxFn fn);
