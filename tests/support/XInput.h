// Keys typed at the X server, where a person's keyboard is (Debian's xdotool, started
// through Wine's own road to a Unix program): they reach the X window that has the X
// keyboard focus, which SendInput passes by.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// "xdotool key keys" (X key names, "alt+F4"); true when xdotool ran and succeeded.
inline bool typeAtX(const std::string& keys) {
    typedef LONG(__cdecl * Spawn)(char* const argv[], int wait);
    static const Spawn spawn =
        reinterpret_cast<Spawn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
    if (spawn == nullptr) return false;
    std::string tool = "xdotool", verb = "key", delay = "--delay", ms = "60";
    std::string what = keys;
    std::vector<char*> argv{tool.data(), verb.data(), delay.data(), ms.data(), what.data(), nullptr};
    const bool ran = spawn(argv.data(), 1) == 0;
    Sleep(100);
    return ran;
}

} // namespace testsupport
