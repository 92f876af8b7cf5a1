#include "system/file/win/ShellLink.h"

#include <objbase.h>
#include <shlobj.h>
// After the COM headers, which it needs.
#include <intshcut.h>

#include "core/str/strbuffer/StrBuffer.h"
#include "system/file/win/ShortPath.h"

namespace s::file::win {

using str::strbuffer::StrBuffer;

namespace {

template <class T>
void releaseCom(T*& object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}

} // namespace

HRESULT ShellLink::createInstance(REFCLSID type, REFIID face, void** object) {
    HRESULT result = CoCreateInstance(type, nullptr, CLSCTX_INPROC_SERVER, face, object);
    if (FAILED(result)) {
        CoInitialize(nullptr);
        result = CoCreateInstance(type, nullptr, CLSCTX_INPROC_SERVER, face, object);
    }
    return result;
}

bool ShellLink::save(const wchar_t* target, const wchar_t* workingFolder, const wchar_t* arguments,
                     const wchar_t* linkPath) {
    IShellLinkW* link = nullptr;
    if (FAILED(createInstance(CLSID_ShellLink, IID_IShellLinkW, reinterpret_cast<void**>(&link)))) {
        return false;
    }
    link->SetPath(target);
    if (workingFolder != nullptr) {
        link->SetWorkingDirectory(workingFolder);
    }
    link->SetArguments(arguments != nullptr ? arguments : L"");
    IPersistFile* file = nullptr;
    bool saved = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        saved = SUCCEEDED(file->Save(linkPath, TRUE));
        releaseCom(file);
    }
    releaseCom(link);
    return saved;
}

bool ShellLink::saveUrl(const wchar_t* path, const wchar_t* url) {
    IUniformResourceLocatorW* locator = nullptr;
    if (FAILED(createInstance(CLSID_InternetShortcut, IID_IUniformResourceLocatorW,
                              reinterpret_cast<void**>(&locator)))) {
        return false;
    }
    bool saved = false;
    if (SUCCEEDED(locator->SetURL(url, 0))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(locator->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            saved = SUCCEEDED(file->Save(path, TRUE));
            releaseCom(file);
        }
    }
    releaseCom(locator);
    return saved;
}

bool ShellLink::target(const wchar_t* linkPath, StrBuffer* out) {
    out->clear();
    IShellLinkW* link = nullptr;
    if (FAILED(createInstance(CLSID_ShellLink, IID_IShellLinkW, reinterpret_cast<void**>(&link)))) {
        return false;
    }
    bool found = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(linkPath, 0))) {
        link->Resolve(nullptr, SLR_NO_UI | SLR_NOUPDATE | SLR_NOSEARCH | SLR_NOTRACK);
        wchar_t buffer[MAX_PATH] = {};
        WIN32_FIND_DATAW data = {};
        if (SUCCEEDED(link->GetPath(buffer, MAX_PATH, &data, SLGP_SHORTPATH)) && buffer[0] != 0) {
            if (GetFileAttributesW(buffer) != INVALID_FILE_ATTRIBUTES) {
                ShortPath::longForm(buffer, out, false);
            } else {
                out->assign(buffer);
            }
            found = true;
        }
    }
    releaseCom(file);
    releaseCom(link);
    return found;
}

bool ShellLink::url(const wchar_t* path, StrBuffer* out) {
    out->clear();
    IUniformResourceLocatorW* locator = nullptr;
    if (FAILED(createInstance(CLSID_InternetShortcut, IID_IUniformResourceLocatorW,
                              reinterpret_cast<void**>(&locator)))) {
        return false;
    }
    bool found = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(locator->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path, STGM_READ))) {
        wchar_t* text = nullptr;
        if (SUCCEEDED(locator->GetURL(&text)) && text != nullptr) {
            out->assign(text);
            CoTaskMemFree(text);
            found = true;
        }
    }
    releaseCom(file);
    releaseCom(locator);
    return found;
}

} // namespace s::file::win
