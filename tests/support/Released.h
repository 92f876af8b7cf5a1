// Pooled objects held by the tests: given back to their pool when the holder goes.
#pragma once
#include <memory>

struct Releaser {
    template <class T>
    void operator()(T* object) const {
        object->release();
    }
};

template <class T>
using Released = std::unique_ptr<T, Releaser>;
