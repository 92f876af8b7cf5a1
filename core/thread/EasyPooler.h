#pragma once
#include <cstdint>

#include "core/base/IDestructor.h"
#include "core/base/IGenerator.h"
#include "core/base/IObject.h"
#include "core/thread/ObjLocker.h"

namespace s::col::_array { class ArrayP; }

namespace s::thread {

// A pool of idle objects of one kind: acquire pops the most recently released object
// (last in, first out) or creates one; release resets the object and keeps it while
// fewer than `capacity` are idle, else destroys it. Create, destroy and the
// on-release function run outside the lock.
class EasyPooler : public base::IObject, public base::IGenerator, public base::IDestructor {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_thread_EasyPooler";
    typedef void* (*CreateFn)();
    typedef void (*DestroyFn)(void* object);
    typedef void (*OnReleaseFn)(void* object);

    EasyPooler(int32_t capacity, CreateFn create, DestroyFn destroy, OnReleaseFn onRelease);
    // Destroys every idle object.
    ~EasyPooler() override;
    EasyPooler(const EasyPooler&) = delete;
    EasyPooler& operator=(const EasyPooler&) = delete;

    const wchar_t* className() const override { return CLASS_NAME; }
    // A new, unshared pooler with the same capacity and functions.
    base::IObject* newInstance() const override;

    // The most recently released object, else a new one (null when creation fails).
    void* acquire();
    // Keeps the object (after the on-release function) or destroys it when full.
    void release(void* object);

    void* generate() override { return acquire(); }
    void dispose(void** slot) override;

    int32_t capacity() const { return capacity_; }
    // Number of idle objects held right now.
    int32_t idleCount();

private:
    ObjLocker lock_;
    col::_array::ArrayP* idle_;
    int32_t capacity_;
    CreateFn create_;
    DestroyFn destroy_;
    OnReleaseFn onRelease_;
};

} // namespace s::thread
