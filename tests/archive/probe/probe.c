/* A module whose code marks the process when it runs: opening it as an archive must
   leave no mark. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        SetEnvironmentVariableW(L"BRISQUELTON_PROBE_RAN", L"1");
    }
    return TRUE;
}
