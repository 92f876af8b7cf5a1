#include "system/gui/events/ListenerList.h"

#include "core/thread/ObjLocker.h"

namespace s::gui::events {

namespace {

// Built on first use and never destroyed: lists in static objects may still be
// destroyed while the process ends.
thread::ObjLocker& listLock() {
    static thread::ObjLocker* const lock = new thread::ObjLocker();
    return *lock;
}

col::_array::ArrayP& allLists() {
    static col::_array::ArrayP* const lists = new col::_array::ArrayP();
    return *lists;
}

} // namespace

ListenerList::ListenerList() : firing_(0) {
    thread::ObjLocker::Guard guard(listLock());
    allLists().add(this);
}

ListenerList::~ListenerList() {
    thread::ObjLocker::Guard guard(listLock());
    const int32_t at = allLists().indexOf(this);
    if (at >= 0) {
        allLists().removeAt(static_cast<uint32_t>(at));
    }
}

bool ListenerList::add(IEventListener* listener) {
    if (listener == nullptr) {
        return false;
    }
    thread::ObjLocker::Guard guard(listLock());
    return entries_.add(listener);
}

bool ListenerList::remove(const IEventListener* listener) {
    if (listener == nullptr) {
        return false;
    }
    thread::ObjLocker::Guard guard(listLock());
    bool found = false;
    for (uint32_t i = entries_.count(); i-- > 0;) {
        if (entries_.get(i) == listener) {
            found = true;
            // While firing, indexes must stay put: the slot is emptied and the list
            // compacted when the outermost fire ends.
            if (firing_ > 0) {
                entries_.set(i, nullptr);
            } else {
                entries_.removeAt(i);
            }
        }
    }
    return found;
}

bool ListenerList::contains(const IEventListener* listener) const {
    if (listener == nullptr) {
        return false;
    }
    thread::ObjLocker::Guard guard(listLock());
    return entries_.indexOf(listener) >= 0;
}

void ListenerList::clear() {
    thread::ObjLocker::Guard guard(listLock());
    if (firing_ > 0) {
        for (uint32_t i = 0; i < entries_.count(); ++i) {
            entries_.set(i, nullptr);
        }
    } else {
        entries_.clear();
    }
}

uint32_t ListenerList::count() const {
    thread::ObjLocker::Guard guard(listLock());
    uint32_t n = 0;
    for (uint32_t i = 0; i < entries_.count(); ++i) {
        if (entries_.get(i) != nullptr) {
            ++n;
        }
    }
    return n;
}

void ListenerList::fire(base::IObject* source, int32_t code) {
    thread::ObjLocker& lock = listLock();
    lock.lock();
    ++firing_;
    lock.unlock();
    for (uint32_t i = 0;; ++i) {
        lock.lock();
        if (i >= entries_.count()) {
            lock.unlock();
            break;
        }
        IEventListener* const listener = static_cast<IEventListener*>(entries_.get(i));
        lock.unlock();
        if (listener != nullptr) {
            listener->onEvent(source, code);
        }
    }
    lock.lock();
    if (--firing_ == 0) {
        compact();
    }
    lock.unlock();
}

void ListenerList::compact() {
    uint32_t kept = 0;
    for (uint32_t i = 0; i < entries_.count(); ++i) {
        void* const entry = entries_.get(i);
        if (entry != nullptr) {
            entries_.set(kept++, entry);
        }
    }
    while (entries_.count() > kept) {
        entries_.removeLast();
    }
}

void ListenerList::forgetEverywhere(const IEventListener* listener) {
    if (listener == nullptr) {
        return;
    }
    // The lock is re-entrant, so each list's remove may take it again.
    thread::ObjLocker::Guard guard(listLock());
    col::_array::ArrayP& lists = allLists();
    for (uint32_t i = 0; i < lists.count(); ++i) {
        static_cast<ListenerList*>(lists.get(i))->remove(listener);
    }
}

} // namespace s::gui::events
