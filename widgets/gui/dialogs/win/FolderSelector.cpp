#include "widgets/gui/dialogs/win/FolderSelector.h"

#include <shlobj.h>

#include "framework/CommonDialogs.h"
#include "widgets/gui/dialogs/win/OwnerHold.h"

namespace s::gui::dialogs::win {

int CALLBACK FolderSelector::onBrowse(HWND dialog, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data != 0) {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    }
    return 0;
}

bool FolderSelector::run(IWindow* owner, const wchar_t* startFolder, const wchar_t* title) {
    const bool hasStart = startFolder != nullptr && startFolder[0] != L'\0';
    bool chosen = false;
    {
        OwnerHold hold(owner);
        BROWSEINFOW info = {};
        info.hwndOwner = hold.frame();
        info.lpszTitle = title != nullptr ? title : L"Please Select the Destination";
        info.ulFlags = BIF_NEWDIALOGSTYLE | BIF_EDITBOX | (hasStart ? BIF_VALIDATE : 0);
        if (hasStart) {
            info.lpfn = &FolderSelector::onBrowse;
            info.lParam = reinterpret_cast<LPARAM>(startFolder);
        }
        if (PIDLIST_ABSOLUTE list = AfxGetCommonDialogFunctions().browseForFolder(&info)) {
            wchar_t chosenPath[MAX_PATH] = {};
            if (SHGetPathFromIDListW(list, chosenPath)) {
                wcscpy(path_, chosenPath);
                chosen = true;
            }
            CoTaskMemFree(list);
        }
    }
    if (owner != nullptr && owner->getFrameHandle() != nullptr) {
        owner->activate(true);
    }
    return chosen;
}

} // namespace s::gui::dialogs::win
