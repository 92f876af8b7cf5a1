// Pooled objects held by the tests: given back to their pool at the end of the scope.
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

template <class T>
Released<T> held(T* object) {
    return Released<T>(object);
}
