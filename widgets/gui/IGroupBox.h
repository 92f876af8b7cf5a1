#pragma once
#include "widgets/gui/IContainer.h"
#include "widgets/gui/IFontOperations.h"
#include "widgets/gui/ISizeRules.h"

namespace s::str::strarray { class StrArray; }
namespace s::gui::drawer { class IGroupBox; }

namespace s::gui {

class IBox;

// A captioned frame around one content box, whose file drops it relays.
// Events (source: the group box): 1 files dropped on the content.
class IGroupBox : public IContainer, public IFontOperations, public ISizeRules {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_IGroupBox";
    const wchar_t* className() const override { return CLASS_NAME; }

    enum Event : int32_t { DROP = 1 };

    virtual void setText(const wchar_t* caption) = 0;
    virtual void setTextId(int32_t id) = 0;
    virtual const wchar_t* getText() const = 0;
    // Also handed to the drawer.
    virtual void setBackgroundColour(int32_t r, int32_t g, int32_t b) = 0;
    // The one content box (owned through the child list).
    virtual void setContent(IBox* box) = 0;
    virtual IBox* getContent() const = 0;
    virtual void setAcceptFiles(bool accept) = 0;
    virtual void addDropListener(events::IEventListener* listener) = 0;
    virtual str::strarray::StrArray* getDroppedPaths() const = 0;
    virtual void setDrawer(drawer::IGroupBox* drawer, bool owned) = 0;
    virtual drawer::IGroupBox* getDrawer() const = 0;
    virtual int32_t getCaptionWidth() const = 0;
    virtual int32_t getCaptionHeight() const = 0;
};

} // namespace s::gui
