#include "widgets/gui/win/MessageBoxW.h"

#include <windows.h>

#include "framework/AfxMessageBox.h"

namespace s::gui::win {

namespace {

// A pooled box for one call.
class Taken {
public:
    Taken() : box_(MessageBoxW::pool()) {}
    ~Taken() {
        if (box_ != nullptr) {
            box_->release();
        }
    }
    Taken(const Taken&) = delete;
    Taken& operator=(const Taken&) = delete;
    MessageBoxW* operator->() const { return box_; }
    explicit operator bool() const { return box_ != nullptr; }

private:
    MessageBoxW* box_;
};

} // namespace

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
    if (Taken box{}) {
        box->showInformation(text);
    }
}

void MessageBoxW::showErrorBox(const wchar_t* text) {
    if (Taken box{}) {
        box->showError(text);
    }
}

bool MessageBoxW::askYesNoBox(const wchar_t* text) {
    Taken box;
    return box && box->askYesNo(text);
}

} // namespace s::gui::win
