// Keys and presses made at the X server, where a person's keyboard and mouse are (Debian's
// xdotool, started through Wine's own road to a Unix program): keys reach the X window that
// has the X keyboard focus, which SendInput passes by.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// xdotool with the arguments; true when it ran and succeeded.
inline bool xdotool(std::vector<std::string> arguments) {
    typedef LONG(__cdecl * Spawn)(char* const argv[], int wait);
    static const Spawn spawn =
        reinterpret_cast<Spawn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
    if (spawn == nullptr) return false;
    arguments.insert(arguments.begin(), "xdotool");
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const bool ran = spawn(argv.data(), 1) == 0;
    Sleep(100);
    return ran;
}

// "xdotool key keys" (X key names, "alt+F4").
inline bool typeAtX(const std::string& keys) { return xdotool({"key", "--delay", "60", keys}); }

// The left button pressed a moment at a screen point (X and Win32 coordinates agree), the
// pointer brought there first and let rest, as a hand does.
inline bool pressAtX(POINT at) {
    return xdotool({"mousemove", std::to_string(at.x), std::to_string(at.y), "sleep", "0.3", "mousedown", "1", "sleep",
                    "0.1", "mouseup", "1"});
}

// The left button pressed at from, the pointer led to to in steps and released there, all
// at the X server, as a hand drags.
inline bool dragAtX(POINT from, POINT to, int steps = 8) {
    std::vector<std::string> arguments = {"mousemove", std::to_string(from.x), std::to_string(from.y), "sleep", "0.3",
                                          "mousedown", "1"};
    for (int step = 1; step <= steps; ++step) {
        arguments.insert(arguments.end(), {"sleep", "0.03", "mousemove", std::to_string(from.x + (to.x - from.x) * step / steps),
                                           std::to_string(from.y + (to.y - from.y) * step / steps)});
    }
    arguments.insert(arguments.end(), {"sleep", "0.1", "mouseup", "1"});
    return xdotool(arguments);
}

} // namespace testsupport
