#pragma once
#include "core/base/IObject.h"
#include "core/thread/IPoolable.h"

namespace s::gui {

// The application's message boxes: the text with the application's title as caption,
// shown on the calling thread until the user closes the box.
class IMessageBox : public base::IObject, public thread::IPoolable {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_IMessageBox";
    const wchar_t* className() const override { return CLASS_NAME; }

    virtual void showInformation(const wchar_t* text) = 0;
    virtual void showWarning(const wchar_t* text) = 0;
    virtual void showError(const wchar_t* text) = 0;
    // True exactly when the answer is Yes.
    virtual bool askYesNo(const wchar_t* text) = 0;
    // Yes: *yes set, true; No: *yes cleared, true; Cancel or the close box: *yes cleared, false.
    virtual bool askYesNoCancel(const wchar_t* text, bool* yes) = 0;
};

} // namespace s::gui
