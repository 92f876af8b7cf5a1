#include "engine/ffmpeg/FfmpegLocator.h"

#include <atomic>

#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "system/file/win/PathWin.h"
#include "system/reg/win/RegDir.h"
#include "system/shell/win/Shell.h"
#include "system/system/win/OsFacts.h"

namespace s::ffmpeg {

namespace {

typedef str::strbuffer::StrBuffer StrBuffer;
using file::win::PathWin;
using reg::win::RegDir;
using thread::Held;

std::atomic<const FfmpegLocator::Sources*> injected{nullptr};

// What one source gave: a path (empty when none) and its version.
struct Found {
    int32_t major = 0;
    int32_t minor = 0;
    bool exists = false;
};

// Installers write the version parts as text; a number stored as such reads too.
int32_t readVersionPart(RegDir* key, const wchar_t* name) {
    const wchar_t* text = key->getString(name, nullptr, nullptr, false);
    if (text != nullptr) {
        return static_cast<int32_t>(wcstol(text, nullptr, 10));
    }
    return static_cast<int32_t>(key->getU32(name, 0));
}

// An installed copy: "InstallLocation" + "\bin\ffmpeg.exe" and the version values.
bool fromInstallKey(HKEY root, const wchar_t* keyPath, Found* found, StrBuffer* path) {
    if (keyPath == nullptr) {
        return false;
    }
    Held<RegDir> key(RegDir::create(root, keyPath));
    if (!key || !key->exists()) {
        return false;
    }
    const wchar_t* location = key->getString(L"InstallLocation", nullptr, nullptr, false);
    if (location == nullptr || location[0] == L'\0') {
        return false;
    }
    Held<PathWin> exe(PathWin::createConcat(location, L"\\bin\\ffmpeg.exe"));
    if (!exe || !exe->isFile()) {
        return false;
    }
    path->append(exe->getText());
    found->major = readVersionPart(key.get(), L"VersionMajor");
    found->minor = readVersionPart(key.get(), L"VersionMinor");
    found->exists = true;
    return true;
}

bool fromProgramFolder(const FfmpegLocator::Sources& sources, StrBuffer* path) {
    if (!FfmpegLocator::bundledCopyAllowed()) {
        return false;
    }
    PathWin* folderPath = nullptr;
    if (sources.programFolder != nullptr) {
        folderPath = PathWin::create(sources.programFolder);
    } else {
        Held<PathWin> module(shell::win::getModulePath());
        folderPath = module ? module->parent() : nullptr;
    }
    Held<PathWin> folder(folderPath);
    if (!folder) {
        return false;
    }
    Held<PathWin> exe(PathWin::createJoined(folder->getText(), L"optional_tools\\ffmpeg.exe"));
    if (!exe || !exe->isFile()) {
        return false;
    }
    path->append(exe->getText());
    return true;
}

void hand(const Found& found, const StrBuffer* text, int32_t* major, int32_t* minor, StrBuffer* path) {
    if (major != nullptr) *major = found.major;
    if (minor != nullptr) *minor = found.minor;
    if (path != nullptr) {
        path->clear();
        path->append(text);
    }
}

} // namespace

FfmpegLocator::Sources FfmpegLocator::systemSources() {
    return Sources{nullptr,
                   HKEY_CURRENT_USER,
                   L"Software\\Kexo\\Kexo FFmpeg",
                   HKEY_LOCAL_MACHINE,
                   L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kexo FFmpeg",
                   L"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kexo FFmpeg"};
}

void FfmpegLocator::inject(const Sources* sources) {
    injected.store(sources);
}

const FfmpegLocator::Sources& FfmpegLocator::sources() {
    static const Sources system = systemSources();
    const Sources* own = injected.load();
    return own != nullptr ? *own : system;
}

bool FfmpegLocator::bundledCopyAllowed() {
    return system::win::OsFacts::is64BitOs() && system::win::OsFacts::isWindows7OrLater();
}

bool FfmpegLocator::isUsableVersion(int32_t major, int32_t minor) {
    return static_cast<int64_t>(major) * 100 + minor > 105;
}

bool FfmpegLocator::locate(const Sources& sources, int32_t* major, int32_t* minor, StrBuffer* path) {
    Held<StrBuffer> text(StrBuffer::pool());
    if (!text) {
        return false;
    }
    Found found;
    if (fromProgramFolder(sources, text.get())) {
        found.major = BUNDLED_MAJOR;
        found.minor = BUNDLED_MINOR;
        found.exists = true;
    } else if (!fromInstallKey(sources.userRoot, sources.userKey, &found, text.get()) &&
               !fromInstallKey(sources.machineRoot, sources.machineKey, &found, text.get())) {
        fromInstallKey(sources.machineRoot, sources.machineKey32, &found, text.get());
    }
    hand(found, text.get(), major, minor, path);
    return found.exists && isUsableVersion(found.major, found.minor);
}

bool FfmpegLocator::isBundledUsable(const Sources& sources, StrBuffer* path) {
    Held<StrBuffer> text(StrBuffer::pool());
    if (!text) {
        return false;
    }
    const bool usable = fromProgramFolder(sources, text.get());
    if (path != nullptr) {
        path->clear();
        path->append(text.get());
    }
    return usable;
}

bool locateFfmpegExecutable(int32_t* major, int32_t* minor, str::strbuffer::StrBuffer* path) {
    return FfmpegLocator::locate(FfmpegLocator::sources(), major, minor, path);
}

bool isOptionalToolsFfmpegUsable() {
    return FfmpegLocator::isBundledUsable(FfmpegLocator::sources(), nullptr);
}

} // namespace s::ffmpeg
