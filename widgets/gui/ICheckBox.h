#pragma once
#include "widgets/gui/ICheckable.h"

namespace s::gui::drawer { class ICheckBox; }

namespace s::gui {

// A check box over a native auto check box.
// Events (source: the check box): checked list 1 and unchecked list 2 when the user
// changes the state; enabled and disabled lists 0.
class ICheckBox : public ICheckable {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_ICheckBox";
    const wchar_t* className() const override { return CLASS_NAME; }

    enum Event : int32_t { CHECKED = 1, UNCHECKED = 2 };

    // Wrapped captions take several lines (re-measures).
    virtual void setWordWrap(bool on) = 0;
    // Changes the state without telling the checked and unchecked listeners.
    virtual void setChecked(bool checked) = 0;
    virtual void setCheckedQuietly(bool checked) = 0;
    virtual void setDrawer(drawer::ICheckBox* drawer, bool owned) = 0;
};

} // namespace s::gui
