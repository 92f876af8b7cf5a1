#pragma once

namespace s::thread {

// Gives a pooled object back to its pool when the scope ends; take() hands it on instead.
template <class T>
class Held {
public:
    explicit Held(T* object) : object_(object) {}
    ~Held() {
        if (object_ != nullptr) {
            object_->release();
        }
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    T* operator->() const { return object_; }
    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    T* take() {
        T* object = object_;
        object_ = nullptr;
        return object;
    }

private:
    T* object_;
};

// A fresh object of T's pool that fill accepted (fill(object) answered true); else the
// object goes back and the answer is null.
template <class T, class Fill>
T* pooledFrom(Fill fill) {
    T* object = T::pool();
    if (object != nullptr && !fill(object)) {
        object->release();
        return nullptr;
    }
    return object;
}

} // namespace s::thread
