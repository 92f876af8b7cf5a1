// Pooled objects held by the tests: given back to their pool at the end of the scope.
#pragma once
#include "support/Released.h"

template <class T>
Released<T> held(T* object) {
    return Released<T>(object);
}
