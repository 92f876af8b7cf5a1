#pragma once
#include "core/thread/ClassPool.h"
#include "widgets/gui/IMessageBox.h"

namespace s::gui::win {

// The pooled message box over the framework's AfxMessageBox (owner: the calling
// thread's active window, else the main window). Threads other than a window's UI
// thread ask the window instead (IWindow::showInformationOnUiThread...), so that the
// box belongs to the UI thread.
class MessageBoxW : public IMessageBox {
    S_POOLED_CLASS(MessageBoxW, 1000, L"s_gui_win_MessageBox")
public:
    void reset() override {}

    void showInformation(const wchar_t* text) override;
    void showWarning(const wchar_t* text) override;
    void showError(const wchar_t* text) override;
    bool askYesNo(const wchar_t* text) override;
    bool askYesNoCancel(const wchar_t* text, bool* yes) override;

    // One box taken from the pool, shown and given back.
    static void showInformationBox(const wchar_t* text);
    static void showErrorBox(const wchar_t* text);
    static bool askYesNoBox(const wchar_t* text);

private:
    MessageBoxW() = default;
};

} // namespace s::gui::win
