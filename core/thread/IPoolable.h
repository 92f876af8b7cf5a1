#pragma once

namespace s::thread {

// Second interface of every pooled class: objects go back to their class pool
// instead of being deleted.
class IPoolable {
public:
    virtual ~IPoolable() = default;
    // Gives the object back to its class pool.
    virtual void release() = 0;
    // Clears the object for reuse; the pool calls it when the object becomes idle.
    virtual void reset() = 0;
};

} // namespace s::thread
