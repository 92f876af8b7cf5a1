#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/IPoolable.h"
#include "system/gui/events/IEventListener.h"

namespace s::col::_array { class ArrayP; }
namespace s::image::win { class BufferedImage; }

namespace s::gui {

class IContainer;
class IWindow;

// Every widget: a listener, a library object with a class-name text, a pooled object
// (release gives it back to its class pool, reset clears it), and the operations below.
// Sizes and positions are 32-bit signed pixels, -1 meaning "unset"; colours are one word
// R | G<<8 | B<<16 (the COLORREF order).
//
// Size vocabulary used by the layout managers:
//   preferred  the least size the widget accepts (fixed size, else paddings + content);
//   layout     the size it takes when room allows, also called the maximum (fixed, else a
//              percent of the parent's inner size, else paddings + max(content, minimum));
//   inner      the size minus the paddings of that axis, never below 0.
// setSizeClamped (fitSize) clamps a requested size to [preferred, layout], the preferred
// winning; a container then lays itself out again.
class IComponent : public events::IEventListener, public base::IObject, public thread::IPoolable {
public:
    // Answered until the implementing class gives its own name.
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_IComponent";
    const wchar_t* className() const override { return CLASS_NAME; }

    // Position inside the parent's client area.
    virtual int32_t getX() const = 0;
    virtual void setX(int32_t x) = 0;
    virtual int32_t getY() const = 0;
    virtual void setY(int32_t y) = 0;
    // Top-left corner on the screen (offset + position while no native window exists).
    virtual int32_t getScreenX() const = 0;
    virtual int32_t getScreenY() const = 0;
    // Visible and the point inside the screen rectangle, both edges included.
    virtual bool contains(int32_t screenX, int32_t screenY) const = 0;

    virtual int32_t getWidth() const = 0;
    virtual void setWidth(int32_t w) = 0;
    virtual int32_t getHeight() const = 0;
    virtual void setHeight(int32_t h) = 0;
    virtual int32_t getInnerWidth() const = 0;
    virtual void setInnerWidth(int32_t w) = 0;
    virtual int32_t getInnerHeight() const = 0;
    virtual void setInnerHeight(int32_t h) = 0;

    // While frozen these only record the values; otherwise one native move each.
    virtual void setPosition(int32_t x, int32_t y) = 0;
    virtual void setSize(int32_t w, int32_t h) = 0;
    virtual void setBounds(int32_t x, int32_t y, int32_t w, int32_t h) = 0;
    // Extra offset added when the native window is placed.
    virtual void setOffset(int32_t dx, int32_t dy) = 0;
    virtual void addOffset(int32_t dx, int32_t dy) = 0;

    virtual int32_t getPreferredWidth() const = 0;
    virtual int32_t getPreferredHeight() const = 0;
    virtual int32_t getContentOrFixedWidth() const = 0;
    virtual int32_t getContentOrFixedHeight() const = 0;
    virtual int32_t getLayoutWidth() const = 0;
    virtual int32_t getLayoutHeight() const = 0;
    virtual int32_t getLayoutInnerWidth() const = 0;
    virtual int32_t getLayoutInnerHeight() const = 0;

    // Visible flag set and the native window created.
    virtual bool isVisible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    // Only a text field can be made read-only; every other widget answers false and
    // ignores the call.
    virtual bool isEditable() const { return false; }
    virtual void setEditable(bool) {}

    virtual void centre() = 0;
    virtual void centreHorizontally() = 0;
    virtual void centreVertically() = 0;

    virtual uint32_t getBackground() const = 0;
    virtual bool isBackgroundInherited() const = 0;
    virtual void setBackgroundInherited(bool redraw) = 0;
    virtual void setBackgroundWhite(bool redraw) = 0;
    virtual void setBackgroundSystem(bool redraw) = 0;
    virtual void setBackgroundBlack(bool redraw) = 0;
    virtual void setBackgroundLight(bool redraw) = 0;
    virtual void setBackground(int32_t r, int32_t g, int32_t b, bool redraw) = 0;
    // The colour painted with: the own colour, else the first parent's that does not inherit.
    virtual uint32_t getEffectiveBackground() const = 0;

    virtual IWindow* getWindow() const = 0;
    virtual IContainer* getParent() const = 0;
    // Attaches to the container (creating the native control on the window's UI thread)
    // or, with null, detaches and destroys the native control.
    virtual void setParent(IContainer* container) = 0;

    // Children: a leaf ignores add and remove, answers false, 0 and null.
    virtual void add(IComponent* child) = 0;
    // Takes the child out, detaches it and gives it back to its pool; lays out in every case.
    virtual void remove(IComponent* child, bool recursive) = 0;
    virtual void removeAll(bool recursive) = 0;
    virtual bool isContainer() const = 0;

    virtual void invalidateRect(int32_t x, int32_t y, int32_t w, int32_t h) = 0;
    virtual void redrawNow() = 0;

    virtual void setSizeClamped(int32_t w, int32_t h) = 0;
    // doLayout on a container, nothing on a leaf.
    virtual void relayout() = 0;

    virtual int32_t getChildCount() const = 0;
    virtual IComponent* getChildAt(int32_t index) const = 0;
    // The child list (elements not owned), null on a leaf.
    virtual col::_array::ArrayP* getChildren() const = 0;

    // The image the component paints into, or null when it paints to the screen.
    virtual image::win::BufferedImage* getBackBuffer() const = 0;

    virtual bool isFrozen() const = 0;
    virtual void freeze() = 0;
    // Applies the recorded bounds with one move when visible.
    virtual void thaw() = 0;

    // The native window (the frame for the top-level window); null until created on the
    // window's UI thread. Children create their controls inside their parent's.
    virtual HWND getNativeHandle() const = 0;

    // The layout managers' names for the layout size and the clamped resize.
    int32_t getMaximumWidth() const { return getLayoutWidth(); }
    int32_t getMaximumHeight() const { return getLayoutHeight(); }
    void fitSize(int32_t w, int32_t h) { setSizeClamped(w, h); }
};

} // namespace s::gui
