#pragma once
#include "widgets/gui/ILayoutManager.h"
#include "widgets/gui/layout/Vertical.h"
#include "widgets/gui/win/ChildList.h"
#include "widgets/gui/win/Leaf.h"
#include "widgets/gui/win/PrivateMessages.h"

namespace s::gui::win {

// Sent to a container's native window by another thread: wParam is a child to attach to
// the container on the thread that owns the window (where its control is created).
constexpr UINT WM_ATTACH_CHILD = PM_ATTACH_CHILD;

// Default bodies of a container whose interface is I (IContainer or built on it): the
// leaf defaults plus the child list, layout through a manager, and freeze/thaw passed to
// every child. A container class's reset calls resetContainer().
template <class I>
class Container : public Leaf<I> {
public:
    // Appends the child, attaches it (attachChild) and lays out.
    void add(IComponent* child) override {
        if (children_.add(child)) {
            attachChild(child);
            this->doLayout();
        }
    }
    void remove(IComponent* child, bool recursive) override {
        children_.remove(child, recursive);
        this->doLayout();
    }
    void removeAll(bool recursive) override { children_.removeAll(recursive); }
    bool isContainer() const override { return true; }
    bool forgetChild(IComponent* child) override { return children_.forget(child); }

    void setSizeClamped(int32_t w, int32_t h) override {
        Leaf<I>::setSizeClamped(w, h);
        this->doLayout();
    }
    void relayout() override { this->doLayout(); }

    int32_t getChildCount() const override { return children_.count(); }
    IComponent* getChildAt(int32_t index) const override { return children_.at(index); }
    col::_array::ArrayP* getChildren() const override { return children_.array(); }

    void freeze() override {
        Leaf<I>::freeze();
        children_.freezeAll();
    }
    void thaw() override {
        Leaf<I>::thaw();
        children_.thawAll();
    }

    void doLayout() override {
        if (ILayoutManager* manager = this->getLayout()) {
            manager->layout(this);
        }
    }
    ILayoutManager* getLayout() const override { return layout_ != nullptr ? layout_ : defaultLayout(); }
    void setLayout(ILayoutManager* manager) override { layout_ = manager; }

protected:
    Container() = default;

    // The class's manager when none is set.
    virtual ILayoutManager* defaultLayout() const { return layout::Vertical::instance(); }
    // Has the child attach itself to this container, on the thread that owns the
    // container's native window (WM_ATTACH_CHILD, handled by Native) when that is another.
    virtual void attachChild(IComponent* child) {
        HWND handle = this->getNativeHandle();
        if (handle != nullptr && GetWindowThreadProcessId(handle, nullptr) != GetCurrentThreadId()) {
            SendMessageW(handle, WM_ATTACH_CHILD, reinterpret_cast<WPARAM>(child), 0);
        } else {
            child->setParent(this);
        }
    }

    // The container part of reset: every child detached and given back, no manager, then
    // the component defaults.
    void resetContainer() {
        children_.removeAll(true);
        layout_ = nullptr;
        this->resetComponent();
    }

    ChildList children_;
    ILayoutManager* layout_ = nullptr;
};

} // namespace s::gui::win
