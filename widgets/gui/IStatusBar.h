#pragma once
#include "widgets/gui/IContainer.h"
#include "widgets/gui/ISizeRules.h"

namespace s::gui::drawer { class IStatusBar; }

namespace s::gui {

class IBox;

// The strip along the bottom of a window: an outer box holding the content box the
// application fills and, at the right end, the window's size grip. It takes no clicks
// itself: the mouse goes through it except over its buttons.
class IStatusBar : public IContainer, public ISizeRules {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_IStatusBar";
    const wchar_t* className() const override { return CLASS_NAME; }

    // The outer box becomes the only child; children added later go into content.
    virtual void setContent(IBox* outer, IBox* content) = 0;
    virtual IBox* getContent() const = 0;
    virtual void setResizer(bool on) = 0;
    virtual void setDrawer(drawer::IStatusBar* drawer, bool owned) = 0;
};

} // namespace s::gui
