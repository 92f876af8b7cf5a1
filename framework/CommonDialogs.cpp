#include "framework/CommonDialogs.h"

namespace {

SRWLOCK g_lock = SRWLOCK_INIT;

AfxCommonDialogFunctions realFunctions() {
    return {&GetOpenFileNameW, &GetSaveFileNameW, &ChooseColorW, &SHBrowseForFolderW};
}

AfxCommonDialogFunctions& current() {
    static AfxCommonDialogFunctions functions = realFunctions();
    return functions;
}

} // namespace

AfxCommonDialogFunctions AfxGetCommonDialogFunctions() {
    AcquireSRWLockShared(&g_lock);
    const AfxCommonDialogFunctions functions = current();
    ReleaseSRWLockShared(&g_lock);
    return functions;
}

AfxCommonDialogFunctions AfxSetCommonDialogFunctions(const AfxCommonDialogFunctions& functions) {
    const AfxCommonDialogFunctions real = realFunctions();
    AcquireSRWLockExclusive(&g_lock);
    const AfxCommonDialogFunctions previous = current();
    current().openFile = functions.openFile != nullptr ? functions.openFile : real.openFile;
    current().saveFile = functions.saveFile != nullptr ? functions.saveFile : real.saveFile;
    current().chooseColor = functions.chooseColor != nullptr ? functions.chooseColor : real.chooseColor;
    current().browseForFolder = functions.browseForFolder != nullptr ? functions.browseForFolder : real.browseForFolder;
    ReleaseSRWLockExclusive(&g_lock);
    return previous;
}
