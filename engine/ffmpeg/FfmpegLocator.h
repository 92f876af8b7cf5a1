#pragma once
#include <windows.h>

#include <cstdint>

namespace s::str::strbuffer { class StrBuffer; }

namespace s::ffmpeg {

// Finds an external ffmpeg.exe: the copy in the program's "optional_tools" folder,
// else one installed for the user, else one installed for the machine. The first
// source naming an existing file wins; it is usable when its version is 1.06 or later.
class FfmpegLocator {
public:
    typedef str::strbuffer::StrBuffer StrBuffer;

    // Where the locator looks. Tests point these at scratch folders and keys.
    struct Sources {
        // The folder holding "optional_tools"; null: the running program's folder.
        const wchar_t* programFolder;
        HKEY userRoot;
        const wchar_t* userKey;
        HKEY machineRoot;
        const wchar_t* machineKey;
        // The same key as a 32-bit installer writes it on a 64-bit system.
        const wchar_t* machineKey32;
    };

    // The version the bundled copy counts as.
    static constexpr int32_t BUNDLED_MAJOR = 99999;
    static constexpr int32_t BUNDLED_MINOR = 99;

    // The system's own places.
    static Sources systemSources();
    // Replaces the process-wide sources (null: back to the system's); the pointed-to
    // record must outlive its use.
    static void inject(const Sources* sources);
    static const Sources& sources();

    // The bundled copy is used only on a 64-bit Windows 7 or later.
    static bool bundledCopyAllowed();
    // The version rule: major * 100 + minor above 105.
    static bool isUsableVersion(int32_t major, int32_t minor);

    // Looks through the sources; major, minor and path (each may be null) receive what
    // the winning source gave. True when it exists and is usable.
    static bool locate(const Sources& sources, int32_t* major, int32_t* minor, StrBuffer* path);
    // The bundled copy alone.
    static bool isBundledUsable(const Sources& sources, StrBuffer* path);
};

// The process-wide sources: the locator and the bundled copy alone.
bool locateFfmpegExecutable(int32_t* major, int32_t* minor, str::strbuffer::StrBuffer* path);
bool isOptionalToolsFfmpegUsable();

} // namespace s::ffmpeg
