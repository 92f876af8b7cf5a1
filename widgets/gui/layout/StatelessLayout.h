#pragma once
#include "core/thread/ClassPool.h"
#include "widgets/gui/ILayoutManager.h"

namespace s::gui::layout {

// The shell of a manager kind without state: one process-wide instance (built on first
// use, thread-safe) and a class pool of 1000 for newInstance. Self befriends
// ClassPool<Self, 1000> and StatelessLayout<Self>.
template <class Self>
class StatelessLayout : public ILayoutManager {
public:
    static thread::EasyPooler& pooler() { return thread::ClassPool<Self, 1000>::pooler(); }
    static Self* pool() { return thread::ClassPool<Self, 1000>::acquire(); }
    static Self* instance() {
        static Self* const shared = new Self();
        return shared;
    }

    base::IObject* newInstance() const override { return pool(); }
    // The shared instance never goes to the pool: a full pool would destroy it while
    // every container defaulting to it still points at it.
    void release() override {
        if (this != instance()) {
            pooler().release(static_cast<Self*>(this));
        }
    }
    void reset() override {}
};

} // namespace s::gui::layout
