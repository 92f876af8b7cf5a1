#pragma once
#include "framework/CWinApp.h"

// The program: everything runs inside InitInstance on the main thread, which answers
// FALSE so the framework starts no message loop of its own and the process ends.
class CBrisquelApp : public CWinApp {
public:
    CBrisquelApp();
    ~CBrisquelApp() override;

    // Start-up, the main window's run and shutdown. FALSE on every path.
    BOOL InitInstance() override;

    // Whether the program runs on a system of this version: Windows XP (NT 5.1),
    // NT 5.2, and every version from 6 on.
    static bool isSupportedSystem(bool isNT, uint32_t major, uint32_t minor);
};
