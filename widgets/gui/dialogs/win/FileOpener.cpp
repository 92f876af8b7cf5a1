#include "widgets/gui/dialogs/win/FileOpener.h"

#include <cwchar>

#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "widgets/gui/dialogs/win/FileDialogEx.h"
#include "widgets/gui/dialogs/win/OwnerHold.h"

namespace s::gui::dialogs::win {

FileOpener::FileOpener() : results_(str::strarray::StrArray::pool()) {
    reset();
}

FileOpener::~FileOpener() {
    if (results_ != nullptr) {
        results_->release();
    }
}

void FileOpener::reset() {
    openMode_ = 1;
    firstPath_.clear();
    initialFolder_.clear();
    fileName_.clear();
    defaultExtension_.clear();
    filter_.clear();
    followLinks_ = 1;
    multiSelect_ = 0;
    if (results_ != nullptr) {
        results_->clear();
    }
}

void FileOpener::setOpenMode(bool multiSelect, bool followLinks) {
    openMode_ = 1;
    multiSelect_ = multiSelect ? 1 : 0;
    followLinks_ = followLinks ? 1 : 0;
}

void FileOpener::addFilter(const wchar_t* name, const wchar_t* pattern) {
    filter_.append(name != nullptr ? name : L"");
    filter_.push_back(L'\0');
    filter_.append(pattern != nullptr ? pattern : L"");
    filter_.push_back(L'\0');
}

uint32_t FileOpener::splitSelection(const wchar_t* buffer, str::strarray::StrArray* out) {
    if (buffer == nullptr || buffer[0] == L'\0') {
        return 0;
    }
    const wchar_t* folder = buffer;
    const wchar_t* name = folder + wcslen(folder) + 1;
    if (*name == L'\0') {
        out->add(folder);
        return 1;
    }
    // A drive's root comes with its separator ("C:\").
    const size_t folderLength = wcslen(folder);
    const bool separated = folderLength > 0 && folder[folderLength - 1] == L'\\';
    uint32_t added = 0;
    for (; *name != L'\0'; name += wcslen(name) + 1) {
        str::strbuffer::StrBuffer* path = separated ? str::strbuffer::StrBuffer::fromConcat(folder, name)
                                                    : str::strbuffer::StrBuffer::joinPath(folder, name);
        if (path != nullptr) {
            out->addOwned(path);
            ++added;
        }
    }
    return added;
}

bool FileOpener::run(IWindow* owner) {
    results_->clear();
    std::wstring filter;
    if (!filter_.empty()) {
        filter = filter_;
        filter.push_back(L'\0');
    }
    const bool multi = openMode_ != 0 && multiSelect_ != 0;
    DWORD flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    if (multi) {
        flags |= OFN_ALLOWMULTISELECT;
    }
    if (followLinks_ == 0) {
        flags |= OFN_NODEREFERENCELINKS;
    }
    OwnerHold hold(owner);
    FileDialogEx dialog(openMode_ != 0, defaultExtension_.empty() ? nullptr : defaultExtension_.c_str(),
                        fileName_.empty() ? nullptr : fileName_.c_str(), flags,
                        filter.empty() ? nullptr : filter.c_str(), hold.frame());
    if (!initialFolder_.empty()) {
        dialog.m_ofn.lpstrInitialDir = initialFolder_.c_str();
    }
    if (multi) {
        dialog.SetBuffer(MULTI_SELECT_CHARACTERS);
    }
    if (dialog.DoModal() != IDOK) {
        return false;
    }
    if (multi) {
        splitSelection(dialog.GetBuffer(), results_);
    } else if (dialog.GetBuffer()[0] != L'\0') {
        results_->add(dialog.GetBuffer());
    }
    if (results_->count() == 0) {
        return false;
    }
    firstPath_ = results_->get(0)->c_str();
    return true;
}

} // namespace s::gui::dialogs::win
