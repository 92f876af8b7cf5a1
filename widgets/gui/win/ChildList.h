#pragma once
#include <cstdint>

#include "core/col/_array/ArrayP.h"
#include "widgets/gui/IComponent.h"

namespace s::gui::win {

// A container's children in order, not owned: children leave it by being detached and
// given back to their pools.
class ChildList {
public:
    ChildList() = default;
    ChildList(const ChildList&) = delete;
    ChildList& operator=(const ChildList&) = delete;

    int32_t count() const { return static_cast<int32_t>(children_.count()); }
    // Null for an index out of range.
    IComponent* at(int32_t index) const;
    col::_array::ArrayP* array() const { return const_cast<col::_array::ArrayP*>(&children_); }

    bool add(IComponent* child);
    // When the child is in the list: takes it out, empties it first when recursive and a
    // container, detaches it and gives it back to its pool. False when it was not a child.
    bool remove(IComponent* child, bool recursive);
    // Does the same to every child, the last first, until the list is empty.
    void removeAll(bool recursive);
    // Takes the child out without detaching or releasing it.
    bool forget(IComponent* child);

    void freezeAll() const;
    void thawAll() const;

private:
    static void dispose(IComponent* child, bool recursive);

    col::_array::ArrayP children_;
};

} // namespace s::gui::win
