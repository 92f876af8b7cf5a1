#include "framework/CFileDialog.h"

#include <cwchar>

#include "framework/CommonDialogs.h"

namespace {
constexpr DWORD LONG_PATH_CHARACTERS = 32767;
}

CFileDialog::CFileDialog(bool open, LPCWSTR defaultExtension, LPCWSTR fileName, DWORD flags, LPCWSTR filter,
                         HWND owner)
    : m_ofn(), open_(open), buffer_(LONG_PATH_CHARACTERS + 1, L'\0') {
    if (fileName != nullptr) {
        wcsncpy(buffer_.data(), fileName, LONG_PATH_CHARACTERS);
    }
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hwndOwner = owner;
    m_ofn.lpstrFilter = filter;
    m_ofn.nFilterIndex = filter != nullptr ? 1 : 0;
    m_ofn.lpstrDefExt = defaultExtension;
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLEHOOK;
    m_ofn.lpfnHook = &CFileDialog::hook;
    m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
}

void CFileDialog::SetBuffer(DWORD characters) {
    std::vector<wchar_t> buffer(characters + 1, L'\0');
    wcsncpy(buffer.data(), buffer_.data(), characters);
    buffer_.swap(buffer);
}

INT_PTR CFileDialog::DoModal() {
    m_ofn.lpstrFile = buffer_.data();
    m_ofn.nMaxFile = static_cast<DWORD>(buffer_.size() - 1);
    const AfxCommonDialogFunctions functions = AfxGetCommonDialogFunctions();
    const BOOL confirmed = open_ ? functions.openFile(&m_ofn) : functions.saveFile(&m_ofn);
    explorer_ = nullptr;
    return confirmed ? IDOK : IDCANCEL;
}

bool CFileDialog::GetSpec(wchar_t* text, int count) const {
    if (count > 0) {
        text[0] = L'\0';
    }
    return explorer_ != nullptr &&
           ::SendMessageW(explorer_, CDM_GETSPEC, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(text)) > 0;
}

bool CFileDialog::SetControlText(int id, LPCWSTR text) const {
    return explorer_ != nullptr &&
           ::SendMessageW(explorer_, CDM_SETCONTROLTEXT, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(text)) != 0;
}

UINT_PTR CALLBACK CFileDialog::hook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const OPENFILENAMEW* ofn = reinterpret_cast<const OPENFILENAMEW*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, static_cast<LONG_PTR>(ofn->lCustData));
        reinterpret_cast<CFileDialog*>(ofn->lCustData)->explorer_ = GetParent(dialog);
        return 0;
    }
    if (message == WM_NOTIFY) {
        const OFNOTIFYW* notify = reinterpret_cast<const OFNOTIFYW*>(lParam);
        if (notify->hdr.code == CDN_TYPECHANGE) {
            CFileDialog* self = reinterpret_cast<CFileDialog*>(notify->lpOFN->lCustData);
            self->explorer_ = GetParent(dialog);
            self->m_ofn.nFilterIndex = notify->lpOFN->nFilterIndex;
            self->OnTypeChange();
        }
    }
    return 0;
}
