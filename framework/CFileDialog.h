#pragma once
#include <windows.h>
#include <commdlg.h>

#include <vector>

// The open or save file dialog. Explorer style with a hook, so that multiple selection
// answers NUL-separated names and OnTypeChange hears of a change of the file type. The
// result buffer holds long paths (32767 characters unless SetBuffer gives a size).
class CFileDialog {
public:
    // filter: display name, NUL, pattern, NUL... ending with one more NUL; may be null.
    CFileDialog(bool open, LPCWSTR defaultExtension, LPCWSTR fileName, DWORD flags, LPCWSTR filter, HWND owner);
    virtual ~CFileDialog() = default;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // Replaces the result buffer (the file name given to the constructor is kept).
    void SetBuffer(DWORD characters);
    // IDOK when the user confirmed, else IDCANCEL.
    INT_PTR DoModal();
    // What the dialog answered: one full path, or in multiple selection the folder and
    // then the names, each ended by NUL, the list by another.
    const wchar_t* GetBuffer() const { return buffer_.data(); }

    // The name typed in the file-name box; "" when the dialog is not open.
    bool GetSpec(wchar_t* text, int count) const;
    bool SetControlText(int id, LPCWSTR text) const;
    // The Explorer dialog while it is open (null otherwise).
    HWND GetExplorerWindow() const { return explorer_; }
    bool IsOpenDialog() const { return open_; }

    OPENFILENAMEW m_ofn;

protected:
    // The user chose another file type (m_ofn.nFilterIndex, counted from 1).
    virtual void OnTypeChange() {}

private:
    static UINT_PTR CALLBACK hook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    bool open_;
    std::vector<wchar_t> buffer_;
    HWND explorer_ = nullptr;
};
