#include "widgets/gui/win/ChildList.h"

namespace s::gui::win {

IComponent* ChildList::at(int32_t index) const {
    if (index < 0 || static_cast<uint32_t>(index) >= children_.count()) {
        return nullptr;
    }
    return static_cast<IComponent*>(children_.get(static_cast<uint32_t>(index)));
}

bool ChildList::add(IComponent* child) {
    return child != nullptr && children_.add(child);
}

void ChildList::dispose(IComponent* child, bool recursive) {
    if (recursive && child->isContainer()) {
        child->removeAll(true);
    }
    child->setParent(nullptr);
    child->release();
}

bool ChildList::remove(IComponent* child, bool recursive) {
    const int32_t at = child != nullptr ? children_.indexOf(child) : -1;
    if (at < 0) {
        return false;
    }
    children_.removeAt(static_cast<uint32_t>(at));
    dispose(child, recursive);
    return true;
}

void ChildList::removeAll(bool recursive) {
    // A released child may add or remove children of this container while it resets;
    // walking from the end again until nothing is left covers that.
    while (children_.count() > 0) {
        for (uint32_t i = children_.count(); i-- > 0;) {
            if (i >= children_.count()) {
                continue;
            }
            IComponent* const child = static_cast<IComponent*>(children_.removeAt(i));
            if (child != nullptr) {
                dispose(child, recursive);
            }
        }
    }
}

bool ChildList::forget(IComponent* child) {
    const int32_t at = child != nullptr ? children_.indexOf(child) : -1;
    if (at < 0) {
        return false;
    }
    children_.removeAt(static_cast<uint32_t>(at));
    return true;
}

void ChildList::freezeAll() const {
    for (int32_t i = 0; i < count(); ++i) {
        at(i)->freeze();
    }
}

void ChildList::thawAll() const {
    for (int32_t i = 0; i < count(); ++i) {
        at(i)->thaw();
    }
}

} // namespace s::gui::win
