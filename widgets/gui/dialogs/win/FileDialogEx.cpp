#include "widgets/gui/dialogs/win/FileDialogEx.h"

#include <cwchar>

namespace s::gui::dialogs::win {

bool FileDialogEx::nameForType(const wchar_t* filter, int32_t typeIndex, const wchar_t* name, std::wstring* out) {
    if (filter == nullptr || name == nullptr || name[0] == L'\0' || typeIndex < 1) {
        return false;
    }
    // The type's pattern is part 2 x index - 1 of the NUL-separated list (parts from 0).
    const wchar_t* part = filter;
    for (int32_t i = 0; i < 2 * typeIndex - 1; ++i) {
        if (*part == L'\0') {
            return false;
        }
        part += wcslen(part) + 1;
    }
    // Only the first of several patterns ("*.mp3;*.mpa") names the extension.
    std::wstring pattern(part);
    pattern = pattern.substr(0, pattern.find(L';'));
    const size_t dot = pattern.rfind(L'.');
    if (dot == std::wstring::npos) {
        return false;
    }
    const std::wstring extension = pattern.substr(dot);
    if (extension.size() < 2 || extension.find_first_of(L"*?") != std::wstring::npos) {
        return false;
    }
    std::wstring result(name);
    const size_t nameStart = result.find_last_of(L"\\/");
    const size_t nameDot = result.rfind(L'.');
    if (nameDot != std::wstring::npos && (nameStart == std::wstring::npos || nameDot > nameStart)) {
        result.erase(nameDot);
    }
    *out = result + extension;
    return true;
}

void FileDialogEx::OnTypeChange() {
    if (IsOpenDialog()) {
        return;
    }
    wchar_t typed[MAX_PATH * 4] = {};
    if (!GetSpec(typed, MAX_PATH * 4)) {
        return;
    }
    std::wstring renamed;
    if (nameForType(m_ofn.lpstrFilter, static_cast<int32_t>(m_ofn.nFilterIndex), typed, &renamed)) {
        SetControlText(FILE_NAME_BOX, renamed.c_str());
    }
}

} // namespace s::gui::dialogs::win
