#pragma once
#include <windows.h>

#include "core/thread/ClassPool.h"
#include "widgets/gui/dialogs/IFileOpener.h"

namespace s::gui::dialogs::win {

// The pooled folder browser, opened on a start folder when one is given.
class FolderSelector : public IFolderSelector {
    S_POOLED_CLASS(FolderSelector, 1000, L"s_gui_dialogs_win_FolderSelector")
public:
    void reset() override { path_[0] = L'\0'; }

    bool run(IWindow* owner, const wchar_t* startFolder, const wchar_t* title) override;
    const wchar_t* getPath() const override { return path_; }

private:
    FolderSelector() { reset(); }
    static int CALLBACK onBrowse(HWND dialog, UINT message, LPARAM lParam, LPARAM data);

    wchar_t path_[MAX_PATH];
};

} // namespace s::gui::dialogs::win
