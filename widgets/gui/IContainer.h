#pragma once
#include "widgets/gui/IComponent.h"

namespace s::gui {

class ILayoutManager;

// A component holding children: the top-level window, boxes, group boxes, the status bar.
class IContainer : public IComponent {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_IContainer";
    const wchar_t* className() const override { return CLASS_NAME; }

    // Places the children (by default through getLayout()).
    virtual void doLayout() = 0;
    // The manager given to setLayout, else the class's default singleton.
    virtual ILayoutManager* getLayout() const = 0;
    // Not owned by the container (a box gives a stored one back to its pool on reset).
    virtual void setLayout(ILayoutManager* manager) = 0;
    // Takes the child out of the child list without detaching, releasing or laying out;
    // a child given back to its pool while still attached uses it so that no container
    // keeps a pointer to a pooled object. False when it was not a child.
    virtual bool forgetChild(IComponent* child) = 0;

    // add(child) when the child is not null; returns the container so building code can chain.
    static IContainer* addIfNotNull(IContainer* container, IComponent* child) {
        if (container != nullptr && child != nullptr) {
            container->add(child);
        }
        return container;
    }
};

} // namespace s::gui
