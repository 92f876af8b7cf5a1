#pragma once
#include "core/base/IComparable.h"

namespace s::base {

// Root interface of every class. className() returns one constant text per class
// ("s_" + namespace path + class name joined by "_"); type tests compare the
// address of that constant, never its characters.
class IObject : public IComparable {
public:
    virtual const wchar_t* className() const = 0;
    // A new object of the same class, from the class pool when it has one.
    virtual IObject* newInstance() const = 0;
};

// True when obj is exactly of class T (identity of T's class-name constant).
template <class T>
inline bool isClass(const IObject* obj) {
    return obj != nullptr && obj->className() == T::CLASS_NAME;
}

} // namespace s::base
