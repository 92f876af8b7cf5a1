#pragma once
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

// The system calls behind the standard dialogs. Each is the real function unless a test
// put a recorder in its place, so that no test ever waits for a person.
struct AfxCommonDialogFunctions {
    BOOL(WINAPI* openFile)(OPENFILENAMEW*);
    BOOL(WINAPI* saveFile)(OPENFILENAMEW*);
    BOOL(WINAPI* chooseColor)(CHOOSECOLORW*);
    PIDLIST_ABSOLUTE(WINAPI* browseForFolder)(BROWSEINFOW*);
};

// The functions in use (never null).
AfxCommonDialogFunctions AfxGetCommonDialogFunctions();
// Replaces them; a null member restores the real call. Answers the previous set.
AfxCommonDialogFunctions AfxSetCommonDialogFunctions(const AfxCommonDialogFunctions& functions);
