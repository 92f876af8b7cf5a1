#pragma once
#include <windows.h>
#include <commdlg.h>

// The colour dialog, opened on an initial colour, with its 16 custom colours (the
// system reads and writes all 16 of them).
class CColorDialog {
public:
    CColorDialog(COLORREF initial, DWORD flags, HWND owner);
    // IDOK when the user confirmed, else IDCANCEL.
    INT_PTR DoModal();
    COLORREF GetColor() const { return m_cc.rgbResult; }

    CHOOSECOLORW m_cc;

private:
    COLORREF custom_[16];
};
