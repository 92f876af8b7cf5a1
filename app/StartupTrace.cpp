#include "app/StartupTrace.h"

#include <windows.h>

void StartupTrace::mark(const char* step) {
    static const bool on = GetEnvironmentVariableW(L"BRISQUELTON_STARTUP_TRACE", nullptr, 0) != 0;
    if (on) {
        OutputDebugStringA(step);
    }
}
