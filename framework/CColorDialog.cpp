#include "framework/CColorDialog.h"

#include "framework/CommonDialogs.h"

CColorDialog::CColorDialog(COLORREF initial, DWORD flags, HWND owner) : m_cc() {
    for (COLORREF& colour : custom_) {
        colour = RGB(255, 255, 255);
    }
    m_cc.lStructSize = sizeof(m_cc);
    m_cc.hwndOwner = owner;
    m_cc.rgbResult = initial;
    m_cc.lpCustColors = custom_;
    m_cc.Flags = flags | CC_RGBINIT;
}

INT_PTR CColorDialog::DoModal() {
    return AfxGetCommonDialogFunctions().chooseColor(&m_cc) ? IDOK : IDCANCEL;
}
