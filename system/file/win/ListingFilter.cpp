#include "system/file/win/ListingFilter.h"

#include <cwchar>

#include "core/str/strbuffer/StrBuffer.h"
#include "system/file/win/PathWin.h"
#include "system/shell/win/Shell.h"

namespace s::file::win {

using str::strbuffer::StrBuffer;

namespace {

const wchar_t EXPLORER_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";

DWORD readExplorerValue(const wchar_t* name, DWORD fallback) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, EXPLORER_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return fallback;
    }
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof(value);
    const LSTATUS status =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(value) ? value : fallback;
}

} // namespace

ListingFilter::ListingFilter(PathWin* folder, bool includeAll)
    : includeAll_(includeAll), showHidden_(true), showSystem_(true), onSystemDrive_(false) {
    if (includeAll) {
        return;
    }
    showHidden_ = readShowHidden();
    showSystem_ = readShowSystem();
    if ((!showHidden_ || !showSystem_) && folder != nullptr) {
        onSystemDrive_ = CompareStringOrdinal(folder->getVolumeRoot(), -1, systemDriveRoot(), -1, TRUE) == CSTR_EQUAL;
    }
}

ListingFilter::ListingFilter(bool includeAll, bool showHidden, bool showSystem, bool onSystemDrive)
    : includeAll_(includeAll), showHidden_(showHidden), showSystem_(showSystem), onSystemDrive_(onSystemDrive) {}

bool ListingFilter::passes(const WIN32_FIND_DATAW& entry) const {
    const wchar_t* name = entry.cFileName;
    if (std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0) {
        return false;
    }
    const DWORD attributes = entry.dwFileAttributes;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        return false;
    }
    if (includeAll_) {
        return true;
    }
    if ((attributes & FILE_ATTRIBUTE_HIDDEN) && !showHidden_) {
        return false;
    }
    if ((attributes & FILE_ATTRIBUTE_SYSTEM) && !showSystem_) {
        return false;
    }
    if (onSystemDrive_ && (!showHidden_ || !showSystem_) &&
        (_wcsicmp(name, L"AUTOEXEC.BAT") == 0 || _wcsicmp(name, L"CONFIG.SYS") == 0)) {
        return false;
    }
    return true;
}

bool ListingFilter::readShowHidden() {
    return readExplorerValue(L"Hidden", 1) != 2;
}

bool ListingFilter::readShowSystem() {
    return readExplorerValue(L"ShowSuperHidden", 0) != 0;
}

const wchar_t* ListingFilter::systemDriveRoot() {
    static StrBuffer* const root = [] {
        StrBuffer* text = StrBuffer::pool();
        StrBuffer* windows = shell::win::windowsFolderPathNew();
        if (windows != nullptr && windows->length() != 0) {
            PathWin* path = PathWin::create(windows->c_str());
            if (path != nullptr) {
                text->assign(path->getVolumeRoot());
                path->release();
            }
        }
        if (windows != nullptr) {
            windows->release();
        }
        if (text->length() == 0) {
            text->assign(L"C:\\");
        }
        return text;
    }();
    return root->c_str();
}

} // namespace s::file::win
