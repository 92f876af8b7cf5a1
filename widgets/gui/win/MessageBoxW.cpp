#include "widgets/gui/win/MessageBoxW.h"

#include <windows.h>

#include "core/thread/Held.h"
#include "framework/AfxMessageBox.h"

namespace s::gui::win {

void MessageBoxW::showInformation(const wchar_t* text) {
    AfxMessageBox(text, MB_ICONINFORMATION);
}

void MessageBoxW::showWarning(const wchar_t* text) {
    AfxMessageBox(text, MB_ICONWARNING);
}

void MessageBoxW::showError(const wchar_t* text) {
    AfxMessageBox(text, MB_ICONERROR);
}

bool MessageBoxW::askYesNo(const wchar_t* text) {
    return AfxMessageBox(text, MB_ICONQUESTION | MB_YESNO) == IDYES;
}

bool MessageBoxW::askYesNoCancel(const wchar_t* text, bool* yes) {
    const int answer = AfxMessageBox(text, MB_ICONQUESTION | MB_YESNOCANCEL);
    *yes = answer == IDYES;
    return answer == IDYES || answer == IDNO;
}

void MessageBoxW::showInformationBox(const wchar_t* text) {
    if (thread::Held<MessageBoxW> box{pool()}) {
        box->showInformation(text);
    }
}

void MessageBoxW::showErrorBox(const wchar_t* text) {
    if (thread::Held<MessageBoxW> box{pool()}) {
        box->showError(text);
    }
}

bool MessageBoxW::askYesNoBox(const wchar_t* text) {
    thread::Held<MessageBoxW> box(pool());
    return box && box->askYesNo(text);
}

} // namespace s::gui::win
