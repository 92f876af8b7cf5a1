#include "core/thread/PoolerBase.h"

#include "core/col/_array/ArrayP.h"

namespace s::thread {

PoolerBase::PoolerBase()
    : idle_(new col::_array::ArrayP()), maxIdle_(MAX_IDLE), maxObjectSize_(MAX_OBJECT_SIZE),
      maxTotal_(MAX_TOTAL), bytesHeld_(0), accounting_(false) {}

PoolerBase::~PoolerBase() {
    // Idle objects must have been destroyed by the subclass (destroyIdle): the pure
    // destroyObject() cannot be reached from here.
    delete idle_;
}

void PoolerBase::destroyIdle() {
    lock_.lock();
    const uint32_t n = idle_->count();
    for (uint32_t i = 0; i < n; ++i) {
        destroyObject(idle_->get(i));
    }
    idle_->clear();
    bytesHeld_ = 0;
    lock_.unlock();
}

int32_t PoolerBase::sizeOf(void*) {
    return 1024;
}

void PoolerBase::release(void* object, int32_t size) {
    if (object == nullptr) {
        return;
    }
    if (accounting_) {
        if (size == -1) {
            size = sizeOf(object);
        }
        lock_.lock();
        if (static_cast<int64_t>(idle_->count()) < maxIdle_ && size >= 0 && size <= maxObjectSize_ &&
            bytesHeld_ + size <= maxTotal_) {
            prepare(object);
            idle_->add(object);
            bytesHeld_ += size;
            lock_.unlock();
            return;
        }
        lock_.unlock();
    }
    destroyObject(object);
}

void* PoolerBase::acquire() {
    lock_.lock();
    if (idle_->count() != 0) {
        void* object = idle_->removeLast();
        if (accounting_) {
            bytesHeld_ -= sizeOf(object);
            if (bytesHeld_ < 0) {
                bytesHeld_ = 0;
            }
        }
        lock_.unlock();
        return object;
    }
    lock_.unlock();
    return generate();
}

void PoolerBase::dispose(void** slot) {
    if (slot != nullptr && *slot != nullptr) {
        release(*slot, -1);
        *slot = nullptr;
    }
}

void PoolerBase::setAccounting(bool on) {
    ObjLocker::Guard guard(lock_);
    accounting_ = on;
}

int32_t PoolerBase::idleCount() {
    ObjLocker::Guard guard(lock_);
    return static_cast<int32_t>(idle_->count());
}

int32_t PoolerBase::bytesHeld() {
    ObjLocker::Guard guard(lock_);
    return bytesHeld_;
}

} // namespace s::thread
