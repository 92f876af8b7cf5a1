#pragma once
#include <windows.h>

#include "drawers/gui/drawer/ISkinHolder.h"
#include "system/gui/events/ListenerList.h"
#include "system/lang/Localizer.h"
#include "widgets/gui/IContainer.h"
#include "widgets/gui/IWindow.h"
#include "widgets/gui/win/ComponentState.h"

namespace s::gui::win {

// Default bodies of the component operations for a widget whose interface is I
// (IComponent or an interface built on it). A widget class derives from Leaf<IKind> (or
// Container<IKind>) and from its framework window wrapper, and supplies:
//   nativeHandle()   its native window (null until created on the UI thread);
//   setParent()      its own attach/detach body, calling attachTo() first;
//   reset()          calling resetComponent(), then clearing its own fields;
//   className(), newInstance(), release()   (S_POOLED_CLASS).
//
//   class Label : public Leaf<ILabel>, public framework::CWnd {
//       S_POOLED_CLASS(Label, 1000, L"s_gui_win_Label")
//       ...
//   };
template <class I>
class Leaf : public I {
public:
    int32_t getX() const override { return state_.x; }
    void setX(int32_t x) override { this->setPosition(x, state_.y); }
    int32_t getY() const override { return state_.y; }
    void setY(int32_t y) override { this->setPosition(state_.x, y); }
    int32_t getScreenX() const override { return state_.screenX(nativeHandle()); }
    int32_t getScreenY() const override { return state_.screenY(nativeHandle()); }
    bool contains(int32_t sx, int32_t sy) const override { return state_.contains(*this, sx, sy); }

    int32_t getWidth() const override { return state_.width; }
    void setWidth(int32_t w) override { this->setSize(w, state_.height); }
    int32_t getHeight() const override { return state_.height; }
    void setHeight(int32_t h) override { this->setSize(state_.width, h); }
    int32_t getInnerWidth() const override { return state_.innerWidth(); }
    void setInnerWidth(int32_t w) override { this->setWidth(w + state_.paddingLeft + state_.paddingRight); }
    int32_t getInnerHeight() const override { return state_.innerHeight(); }
    void setInnerHeight(int32_t h) override { this->setHeight(h + state_.paddingTop + state_.paddingBottom); }

    void setPosition(int32_t x, int32_t y) override { state_.setPosition(nativeHandle(), x, y); }
    void setSize(int32_t w, int32_t h) override { state_.setSize(nativeHandle(), w, h); }
    void setBounds(int32_t x, int32_t y, int32_t w, int32_t h) override {
        state_.setBounds(nativeHandle(), x, y, w, h);
    }
    void setOffset(int32_t dx, int32_t dy) override { state_.setOffset(nativeHandle(), dx, dy); }
    void addOffset(int32_t dx, int32_t dy) override { state_.addOffset(nativeHandle(), dx, dy); }

    int32_t getPreferredWidth() const override { return state_.preferredWidth(); }
    int32_t getPreferredHeight() const override { return state_.preferredHeight(); }
    int32_t getContentOrFixedWidth() const override { return state_.contentOrFixedWidth(); }
    int32_t getContentOrFixedHeight() const override { return state_.contentOrFixedHeight(); }
    int32_t getLayoutWidth() const override { return state_.layoutWidth(); }
    int32_t getLayoutHeight() const override { return state_.layoutHeight(); }
    int32_t getLayoutInnerWidth() const override {
        const int32_t inner = this->getLayoutWidth() - state_.paddingLeft - state_.paddingRight;
        return inner > 0 ? inner : 0;
    }
    int32_t getLayoutInnerHeight() const override {
        const int32_t inner = this->getLayoutHeight() - state_.paddingTop - state_.paddingBottom;
        return inner > 0 ? inner : 0;
    }

    bool isVisible() const override { return state_.isVisible(nativeHandle()); }
    void setVisible(bool visible) override { state_.setVisible(*this, nativeHandle(), visible); }
    bool isEnabled() const override {
        HWND handle = nativeHandle();
        return handle == nullptr || IsWindowEnabled(handle) != FALSE;
    }
    void setEnabled(bool enabled) override {
        if (HWND handle = nativeHandle()) {
            EnableWindow(handle, enabled ? TRUE : FALSE);
        }
    }

    void centre() override { state_.centre(*this, true, true); }
    void centreHorizontally() override { state_.centre(*this, true, false); }
    void centreVertically() override { state_.centre(*this, false, true); }

    uint32_t getBackground() const override { return state_.background; }
    bool isBackgroundInherited() const override { return state_.backgroundInherited != 0; }
    void setBackgroundInherited(bool redraw) override { state_.setBackgroundInherited(nativeHandle(), redraw); }
    void setBackgroundWhite(bool redraw) override { this->setBackground(255, 255, 255, redraw); }
    void setBackgroundSystem(bool redraw) override {
        state_.setBackground(nativeHandle(), GetSysColor(COLOR_BTNFACE), redraw);
    }
    void setBackgroundBlack(bool redraw) override { this->setBackground(0, 0, 0, redraw); }
    void setBackgroundLight(bool redraw) override {
        state_.setBackground(nativeHandle(), ComponentState::lightColour(GetSysColor(COLOR_INACTIVECAPTIONTEXT)),
                             redraw);
    }
    void setBackground(int32_t r, int32_t g, int32_t b, bool redraw) override {
        state_.setBackground(nativeHandle(), RGB(r & 0xFF, g & 0xFF, b & 0xFF), redraw);
    }
    uint32_t getEffectiveBackground() const override { return ComponentState::effectiveBackground(*this); }

    IWindow* getWindow() const override { return state_.window; }
    IContainer* getParent() const override { return state_.parent; }
    // Records the container and its window (null detaches); widget kinds add their native side.
    void setParent(IContainer* container) override { attachTo(container); }

    void add(IComponent*) override {}
    void remove(IComponent*, bool) override {}
    void removeAll(bool) override {}
    bool isContainer() const override { return false; }

    void invalidateRect(int32_t x, int32_t y, int32_t w, int32_t h) override {
        state_.invalidateRect(nativeHandle(), x, y, w, h);
    }
    void redrawNow() override { state_.redrawNow(nativeHandle()); }
    void setSizeClamped(int32_t w, int32_t h) override { state_.setSizeClamped(*this, w, h); }
    void relayout() override {}

    int32_t getChildCount() const override { return 0; }
    IComponent* getChildAt(int32_t) const override { return nullptr; }
    col::_array::ArrayP* getChildren() const override { return nullptr; }

    image::win::BufferedImage* getBackBuffer() const override { return state_.backBuffer; }

    bool isFrozen() const override { return state_.frozen != 0; }
    void freeze() override { state_.frozen = 1; }
    void thaw() override { state_.thaw(*this); }
    HWND getNativeHandle() const override { return nativeHandle(); }

    // Size rules the widget kinds set (-1 = unused). A fixed size and a percent are never
    // both set by these setters.
    void setContentSize(int32_t w, int32_t h) {
        state_.contentWidth = w;
        state_.contentHeight = h;
    }
    void setMinimumSize(int32_t w, int32_t h) {
        state_.minimumWidth = w;
        state_.minimumHeight = h;
    }
    void setFixedSize(int32_t w, int32_t h) {
        state_.fixedWidth = w;
        state_.fixedHeight = h;
        if (w >= 0) {
            state_.widthPercent = -1;
        }
        if (h >= 0) {
            state_.heightPercent = -1;
        }
    }
    void setPercentSize(int32_t w, int32_t h) {
        state_.widthPercent = w;
        state_.heightPercent = h;
        if (w >= 0) {
            state_.fixedWidth = -1;
        }
        if (h >= 0) {
            state_.fixedHeight = -1;
        }
    }
    void setPaddings(int32_t left, int32_t right, int32_t top, int32_t bottom) {
        state_.paddingLeft = left;
        state_.paddingRight = right;
        state_.paddingTop = top;
        state_.paddingBottom = bottom;
    }
    void setBackBuffer(image::win::BufferedImage* image) { state_.backBuffer = image; }
    const ComponentState& state() const { return state_; }

protected:
    Leaf() = default;

    // The native window, null while the control does not exist.
    virtual HWND nativeHandle() const { return nullptr; }

    // Records the container and its window. Leaving a window also leaves its language
    // pack's and its skin holder's listeners (the kinds that show a text by id register
    // with the pack), so that a detached or pooled widget is never told of a change.
    // Joining a window with a skin holder takes the kind's drawer from the current skin
    // and listens for the next one.
    void attachTo(IContainer* container) {
        IWindow* const previous = state_.window;
        IWindow* const next = container != nullptr ? container->getWindow() : nullptr;
        if (previous != nullptr && next != previous) {
            if (previous->hasLocalizer()) {
                previous->getLocalizer()->removeListener(this);
            }
            if (drawer::ISkinHolder* holder = previous->getSkinHolder()) {
                holder->removeListener(this);
            }
        }
        state_.parent = container;
        state_.window = next;
        if (next != nullptr && next != previous) {
            drawer::ISkinHolder* holder = next->getSkinHolder();
            if (holder != nullptr) {
                holder->addListener(this);
            }
            if (holder != nullptr && holder->getCurrentSkin() != nullptr) {
                takeSkinDrawer(holder->getCurrentSkin());
            } else {
                takeBasicDrawer();
            }
        }
    }

    // The kind's drawer from skin (null: no skin). Kinds that paint through a skin's
    // drawer take it without ownership; with no drawer of their kind they replace one that
    // was lent by their Basic drawer (none for kinds without one) and keep one they own.
    virtual void takeSkinDrawer(drawer::ISkin*) {}

    // With no skin, a kind that has a Basic drawer paints with it; a drawer the widget
    // already holds (one handed to it directly) stays.
    virtual void takeBasicDrawer() {}

    // The rule for every kind: lent is the skin's drawer of the kind (null: none). Without
    // one, a kind with a Basic drawer (basic: its pool) takes an owned Basic instead of
    // going blank; one it owns already stays.
    template <class Self, class D, class B = D>
    static void lendSkinDrawer(Self* self, D* lent, bool ownsCurrent, B* (*basic)() = nullptr) {
        if (lent != nullptr) {
            self->setDrawer(lent, false);
        } else if (!ownsCurrent) {
            D* fallback = basic != nullptr ? basic() : nullptr;
            self->setDrawer(fallback, fallback != nullptr);
        }
    }

    // takeBasicDrawer for a kind: its own Basic (basic: its pool) when it holds none.
    template <class Self, class B>
    static void holdBasicDrawer(Self* self, bool holdsOne, B* (*basic)()) {
        if (!holdsOne) {
            if (B* fallback = basic()) {
                self->setDrawer(fallback, true);
            }
        }
    }

    // For onEvent: true when source is the window's skin holder, whose current skin has
    // then given the kind's drawer again.
    bool takeSkinDrawerOn(base::IObject* source) {
        IWindow* const window = state_.window;
        drawer::ISkinHolder* const holder = window != nullptr ? window->getSkinHolder() : nullptr;
        if (holder == nullptr || source == nullptr || dynamic_cast<drawer::ISkinHolder*>(source) != holder) {
            return false;
        }
        takeSkinDrawer(holder->getCurrentSkin());
        return true;
    }

    // The component part of reset: leaves the parent (which then holds no pointer to it),
    // leaves every listener list so that no event reaches the pooled object, and restores
    // the defaults.
    void resetComponent() {
        if (IContainer* parent = state_.parent) {
            parent->forgetChild(this);
            this->setParent(nullptr);
        }
        events::ListenerList::forgetEverywhere(this);
        state_.reset();
    }

    ComponentState state_;
};

} // namespace s::gui::win
