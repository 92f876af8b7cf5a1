#include "core/thread/EasyPooler.h"

#include <new>

#include "core/col/_array/ArrayP.h"

namespace s::thread {

EasyPooler::EasyPooler(int32_t capacity, CreateFn create, DestroyFn destroy, OnReleaseFn onRelease)
    : idle_(new col::_array::ArrayP()), capacity_(capacity), create_(create), destroy_(destroy),
      onRelease_(onRelease) {}

EasyPooler::~EasyPooler() {
    const uint32_t n = idle_->count();
    for (uint32_t i = 0; i < n; ++i) {
        destroy_(idle_->get(i));
    }
    delete idle_;
}

base::IObject* EasyPooler::newInstance() const {
    return new (std::nothrow) EasyPooler(capacity_, create_, destroy_, onRelease_);
}

void* EasyPooler::acquire() {
    lock_.lock();
    if (idle_->count() != 0) {
        void* object = idle_->removeLast();
        lock_.unlock();
        return object;
    }
    lock_.unlock();
    return create_();
}

void EasyPooler::release(void* object) {
    if (object == nullptr) {
        return;
    }
    // Reset outside the lock: a reset may wait (a busy worker thread) for work that
    // itself needs this pool, and no one else can reach the object until it is added.
    lock_.lock();
    const bool room = static_cast<int64_t>(idle_->count()) < capacity_;
    lock_.unlock();
    if (room) {
        if (onRelease_ != nullptr) {
            onRelease_(object);
        }
        lock_.lock();
        if (static_cast<int64_t>(idle_->count()) < capacity_ && idle_->add(object)) {
            lock_.unlock();
            return;
        }
        lock_.unlock();
    }
    destroy_(object);
}

void EasyPooler::dispose(void** slot) {
    if (slot != nullptr && *slot != nullptr) {
        release(*slot);
        *slot = nullptr;
    }
}

int32_t EasyPooler::idleCount() {
    ObjLocker::Guard guard(lock_);
    return static_cast<int32_t>(idle_->count());
}

} // namespace s::thread
