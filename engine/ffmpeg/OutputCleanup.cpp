#include "engine/ffmpeg/OutputCleanup.h"

#include <windows.h>

#include "core/thread/Held.h"
#include "system/file/win/PathWin.h"

namespace s::ffmpeg {

bool removeRetrying(const wchar_t* path, uint32_t limitMs, uint32_t stepMs) {
    if (path == nullptr || path[0] == L'\0') {
        return true;
    }
    thread::Held<file::win::PathWin> target(file::win::PathWin::create(path));
    if (!target) {
        return false;
    }
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        if (!target->exists() || (target->remove(false, false) && !target->exists())) {
            return true;
        }
        if (GetTickCount64() - start >= limitMs) {
            return false;
        }
        Sleep(stepMs);
    }
}

} // namespace s::ffmpeg
