#pragma once
#include <windows.h>

namespace s::str::strbuffer { class StrBuffer; }

namespace s::file::win {

// Shell shortcuts (".lnk") and Internet shortcuts (".url") through the shell's COM
// objects. COM is initialised on the calling thread when it was not.
class ShellLink {
public:
    typedef str::strbuffer::StrBuffer StrBuffer;

    // Saves a shortcut to target at linkPath; workingFolder and arguments may be null.
    static bool save(const wchar_t* target, const wchar_t* workingFolder, const wchar_t* arguments,
                     const wchar_t* linkPath);
    // Saves an Internet shortcut to url at path.
    static bool saveUrl(const wchar_t* path, const wchar_t* url);
    // The target of a shortcut into out (replacing), in its long form when it exists.
    static bool target(const wchar_t* linkPath, StrBuffer* out);
    // The address of an Internet shortcut into out (replacing).
    static bool url(const wchar_t* path, StrBuffer* out);

private:
    ShellLink() = delete;
    // CoCreateInstance; when it fails, CoInitialize and once more.
    static HRESULT createInstance(REFCLSID type, REFIID face, void** object);
};

} // namespace s::file::win
