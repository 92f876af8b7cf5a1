#pragma once
#include <windows.h>

#include <cstdint>

#include "widgets/gui/IContainer.h"

namespace s::str::strarray { class StrArray; }
namespace s::str::strbuffer { class StrBuffer; }
namespace s::gui::drawer { class IDrawer; }
namespace s::image::win { class BufferedImage; }

namespace s::gui {

// The general container: lays out its children by its arrangement, paints a background
// (the parent's, its own colour, or a hover colour) and an optional border, and turns
// mouse input and drops into events.
//
// Events (source: the box): 1 files dropped, 2 wheel, 3 laid out, 4 moved or resized,
// 5 painting, 6 left button down, 7 URL dropped.
class IBox : public IContainer {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_IBox";
    const wchar_t* className() const override { return CLASS_NAME; }

    enum Event : int32_t { DROP = 1, WHEEL = 2, LAYOUT = 3, MOVE = 4, PAINT = 5, CLICK = 6, URL = 7 };
    enum Arrangement : int32_t { ROW = 0, COLUMN = 1, FLOW = 2, PILE = 3 };

    // Background: the parent's (transparent), the system button face, or a colour.
    virtual void setTransparent(bool redraw) = 0;
    virtual void resetColour(bool redraw) = 0;
    virtual void setColour(int32_t r, int32_t g, int32_t b, bool redraw) = 0;

    virtual void setGapX(int32_t px) = 0;
    virtual void setGapY(int32_t px) = 0;
    // Children are placed inside the paddings (an offset of padding left and top).
    virtual void setPaddingLeft(int32_t px) = 0;
    virtual void setPaddingRight(int32_t px) = 0;
    virtual void setPaddingTop(int32_t px) = 0;
    virtual void setPaddingBottom(int32_t px) = 0;
    virtual void setPaddingHorizontal(int32_t px) = 0;
    virtual void setPaddingVertical(int32_t px) = 0;
    virtual void setPadding(int32_t px) = 0;
    virtual int32_t getPaddingLeft() const = 0;
    virtual int32_t getPaddingTop() const = 0;

    // 0 top / left, 1 centre, 2 bottom / right.
    virtual void setVerticalAlignment(int32_t alignment) = 0;
    virtual void setHorizontalAlignment(int32_t alignment) = 0;
    virtual int32_t getArrangement() const = 0;
    virtual void setArrangement(int32_t arrangement) = 0;
    virtual void setFullPercent() = 0;

    // Size rules; with a native window the box lays out again, then (when asked) its parent.
    virtual void setWidthPercent(int32_t percent, bool relayoutParent = true) = 0;
    virtual void setHeightPercent(int32_t percent, bool relayoutParent = true) = 0;
    virtual void setFixedWidth(int32_t px, bool relayoutParent = true) = 0;
    virtual void setFixedHeight(int32_t px, bool relayoutParent = true) = 0;
    virtual void setMinimumWidth(int32_t px) = 0;

    virtual void setAcceptFiles(bool accept) = 0;
    virtual void addDropListener(events::IEventListener* listener) = 0;
    // The paths of the last drop, in drop order (owned by the box).
    virtual str::strarray::StrArray* getDroppedPaths() const = 0;

    virtual void setAcceptUrls(bool accept) = 0;
    virtual void addUrlListener(events::IEventListener* listener) = 0;
    virtual const str::strbuffer::StrBuffer* getDroppedUrl() const = 0;

    virtual void addWheelListener(events::IEventListener* listener) = 0;
    // Lines of the last wheel event, negative when turned toward the user.
    virtual int32_t getWheelStep() const = 0;

    // A collapsed axis has a preferred size of 0.
    virtual void setCollapseWidth(bool collapse) = 0;
    virtual void setCollapseHeight(bool collapse) = 0;

    // Painted over the background; an owned drawer is given back with the box.
    virtual void setBorderDrawer(drawer::IDrawer* drawer, bool owned) = 0;

    virtual void addLayoutListener(events::IEventListener* listener) = 0;
    virtual void addMoveListener(events::IEventListener* listener) = 0;
    virtual void addPaintListener(events::IEventListener* listener) = 0;
    // During event 5: the context being painted.
    virtual HDC getPaintDc() const = 0;
    // During event 5: the listener painted everything; the box draws nothing more.
    virtual void setPaintedByListener() = 0;

    // On (the default until a click listener is added): the mouse goes through the box
    // to what lies beneath, except over enabled child buttons.
    virtual void setPassThrough(bool passThrough) = 0;
    virtual void setHoverColour(int32_t r, int32_t g, int32_t b) = 0;
    // While locked, setVisible changes nothing.
    virtual void setVisibilityLocked(bool locked) = 0;
    // Shows or hides the box; recursive also shows or hides the children.
    virtual void setVisibleRecursive(bool visible, bool recursive) = 0;

    // Hides every child but index (recursively) and shows that one.
    virtual void showOnly(int32_t index) = 0;
    // The same; hidden children are also moved out of the way and hidden boxes locked.
    virtual void showOnlyLocked(int32_t index) = 0;

    virtual void releaseBackBuffer() = 0;
    // The box's own back buffer, else the nearest ancestor's with *dx, *dy increased by
    // the box's position in it.
    virtual image::win::BufferedImage* getBackBuffer(int32_t* dx, int32_t* dy) const = 0;
    using IComponent::getBackBuffer;

    // Also turns pass-through off.
    virtual void addClickListener(events::IEventListener* listener) = 0;
};

} // namespace s::gui
