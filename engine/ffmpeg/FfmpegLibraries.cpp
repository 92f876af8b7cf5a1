#include "engine/ffmpeg/FfmpegLibraries.h"

#include <cwchar>

#include "engine/ffmpeg/FfmpegLog.h"
#include "engine/system/win/MessageBoxSeam.h"
#include "system/system/win/DllLocater.h"

namespace s::ffmpeg {

#define S_FFMPEG_DEFINE_POINTER(fn) decltype(&::fn) fn = nullptr;
S_FFMPEG_AVCODEC_EXPORTS(S_FFMPEG_DEFINE_POINTER)
S_FFMPEG_AVDEVICE_EXPORTS(S_FFMPEG_DEFINE_POINTER)
S_FFMPEG_AVFILTER_EXPORTS(S_FFMPEG_DEFINE_POINTER)
S_FFMPEG_AVFORMAT_EXPORTS(S_FFMPEG_DEFINE_POINTER)
S_FFMPEG_AVUTIL_EXPORTS(S_FFMPEG_DEFINE_POINTER)
S_FFMPEG_SWRESAMPLE_EXPORTS(S_FFMPEG_DEFINE_POINTER)
S_FFMPEG_SWSCALE_EXPORTS(S_FFMPEG_DEFINE_POINTER)
#undef S_FFMPEG_DEFINE_POINTER

namespace {

using system::win::DllLocater;
using system::win::MessageBoxSeam;

// One function of a library's list: its exported name and the pointer it fills.
struct Export {
    const char* name;
    void** slot;
};

#define S_FFMPEG_EXPORT_ENTRY(fn) {#fn, reinterpret_cast<void**>(&fn)},
// Each list ends with an empty entry (a library may have no functions listed yet).
const Export AVCODEC[] = {S_FFMPEG_AVCODEC_EXPORTS(S_FFMPEG_EXPORT_ENTRY){nullptr, nullptr}};
const Export AVDEVICE[] = {S_FFMPEG_AVDEVICE_EXPORTS(S_FFMPEG_EXPORT_ENTRY){nullptr, nullptr}};
const Export AVFILTER[] = {S_FFMPEG_AVFILTER_EXPORTS(S_FFMPEG_EXPORT_ENTRY){nullptr, nullptr}};
const Export AVFORMAT[] = {S_FFMPEG_AVFORMAT_EXPORTS(S_FFMPEG_EXPORT_ENTRY){nullptr, nullptr}};
const Export AVUTIL[] = {S_FFMPEG_AVUTIL_EXPORTS(S_FFMPEG_EXPORT_ENTRY){nullptr, nullptr}};
const Export SWRESAMPLE[] = {S_FFMPEG_SWRESAMPLE_EXPORTS(S_FFMPEG_EXPORT_ENTRY){nullptr, nullptr}};
const Export SWSCALE[] = {S_FFMPEG_SWSCALE_EXPORTS(S_FFMPEG_EXPORT_ENTRY){nullptr, nullptr}};
#undef S_FFMPEG_EXPORT_ENTRY

// "Failed to Load <dll>!!\nError Code - <n>".
void reportLoadFailure(const wchar_t* file, DWORD error) {
    wchar_t text[160];
    std::swprintf(text, 160, L"Failed to Load %ls!!\nError Code - %lu", file, static_cast<unsigned long>(error));
    MessageBoxSeam::showInformation(text);
}

// Resolves every function of the list before testing any; the first missing one in
// list order is reported. The error code is taken where the failure happened, before
// any box can change it.
bool bindLibrary(const DllLocater& dll, const wchar_t* file, const Export* exports) {
    HMODULE module = dll.handle();
    if (module == nullptr) {
        reportLoadFailure(file, dll.loadError());
        return false;
    }
    DWORD error = 0;
    for (const Export* e = exports; e->name != nullptr; ++e) {
        FARPROC address = GetProcAddress(module, e->name);
        if (address == nullptr && error == 0) {
            error = GetLastError();
        }
        *e->slot = reinterpret_cast<void*>(address);
    }
    for (const Export* e = exports; e->name != nullptr; ++e) {
        if (*e->slot == nullptr) {
            wchar_t text[200];
            std::swprintf(text, 200, L"%ls: %hs not found!", file, e->name);
            MessageBoxSeam::showInformation(text);
            reportLoadFailure(file, error);
            return false;
        }
    }
    return true;
}

struct BindingState {
    bool tried = false;
    bool loaded = false;
    bool libraryTried[7] = {};
    bool libraryBound[7] = {};
};

BindingState& state() {
    static BindingState s;
    return s;
}

} // namespace

// Each locater is built on its binder's first call and destroyed at exit, which frees
// the DLL after everything else is done with it.
#define S_FFMPEG_BINDER(Name, File, List)                   \
    bool Name() {                                           \
        static const DllLocater dll(File);                  \
        return bindLibrary(dll, File, List);                \
    }
S_FFMPEG_BINDER(bindAvcodec, L"avcodec-59.dll", AVCODEC)
S_FFMPEG_BINDER(bindAvdevice, L"avdevice-59.dll", AVDEVICE)
S_FFMPEG_BINDER(bindAvfilter, L"avfilter-8.dll", AVFILTER)
S_FFMPEG_BINDER(bindAvformat, L"avformat-59.dll", AVFORMAT)
S_FFMPEG_BINDER(bindAvutil, L"avutil-57.dll", AVUTIL)
S_FFMPEG_BINDER(bindSwresample, L"swresample-4.dll", SWRESAMPLE)
S_FFMPEG_BINDER(bindSwscale, L"swscale-6.dll", SWSCALE)
#undef S_FFMPEG_BINDER

// DLLs are looked up beside the program and in the system folder only: the in-process
// road makes the output folder the current directory, and a DLL planted there must
// never be loaded. Systems without the call (XP, 7 without its update) keep their order.
static void restrictDllSearch() {
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto fn = kernel != nullptr
                  ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                  : nullptr;
    if (fn != nullptr) {
        fn(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

bool loadFfmpegLibraries() {
    BindingState& s = state();
    if (s.tried) {
        return s.loaded;
    }
    restrictDllSearch();
    bool (*const binders[7])() = {&bindAvcodec, &bindAvdevice, &bindAvfilter, &bindAvformat,
                                  &bindAvutil, &bindSwresample, &bindSwscale};
    for (int i = 0; i < 7; ++i) {
        if (!s.libraryTried[i]) {
            s.libraryBound[i] = binders[i]();
            s.libraryTried[i] = true;
        }
    }
    for (int i = 0; i < 7; ++i) {
        if (!s.libraryBound[i]) {
            s.tried = true;
            s.loaded = false;
            return false;
        }
    }
    s.loaded = true;
    av_log_set_flags(AV_LOG_SKIP_REPEATED);
    FfmpegLog::install();
    avdevice_register_all();
    avformat_network_init();
    s.tried = true;
    return true;
}

bool ffmpegLibrariesLoaded() {
    return state().loaded;
}

void shutdownFfmpegLibraries() {
    BindingState& s = state();
    if (s.tried && s.loaded) {
        avformat_network_deinit();
        s.loaded = false;
    }
}

} // namespace s::ffmpeg
