#pragma once

namespace s::base {

// Disposes objects. dispose() takes the address of an object pointer, disposes the
// object when the pointer is not null and sets the pointer to null. Pools expose
// their release through it; pointer arrays use one as their element cleaner.
class IDestructor {
public:
    virtual ~IDestructor() = default;
    virtual void dispose(void** slot) = 0;

    template <class T>
    void disposeObject(T*& object) {
        void* p = object;
        dispose(&p);
        object = static_cast<T*>(p);
    }
};

} // namespace s::base
