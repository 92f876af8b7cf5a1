#pragma once
#include <cstdint>

#include "core/col/_array/ArrayP.h"
#include "system/gui/events/IEventListener.h"

namespace s::gui::events {

// Listeners of one event, not owned, told in the order they were added. Unlike a bare
// pointer array a list can lose entries, also while it is being fired, and every list
// of the process is known so that an object given back to its pool can leave all of
// them at once (forgetEverywhere): a pooled widget must never be told of events after
// it was released, or after it was taken again for something else.
// All lists share one process-wide lock, held only while entries are read or changed,
// never while a listener runs.
class ListenerList {
public:
    ListenerList();
    ~ListenerList();
    ListenerList(const ListenerList&) = delete;
    ListenerList& operator=(const ListenerList&) = delete;

    // Appends the listener (null is refused).
    bool add(IEventListener* listener);
    // Takes out every entry of the listener; false when there was none.
    bool remove(const IEventListener* listener);
    bool contains(const IEventListener* listener) const;
    void clear();
    // Listeners currently in the list.
    uint32_t count() const;
    // Calls onEvent(source, code) on each entry from the first to the last. Entries added
    // while firing are told too; entries removed while firing are not told any more.
    void fire(base::IObject* source, int32_t code);

    // Removes the listener from every list of the process.
    static void forgetEverywhere(const IEventListener* listener);

private:
    void compact();

    col::_array::ArrayP entries_;
    int32_t firing_;
};

} // namespace s::gui::events
