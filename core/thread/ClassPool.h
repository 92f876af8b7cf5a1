#pragma once
#include <cstdint>
#include <new>

#include "core/base/IObject.h"
#include "core/thread/EasyPooler.h"

namespace s::thread {

// The process-wide pool of class T: built on first use (thread-safe one-time
// construction) and never destroyed, so static objects that still hold or release
// pooled objects while the process ends always find their pool.
// T needs a default constructor (it may be private when the class befriends
// ClassPool<T, Capacity>) and a reset() that clears it for reuse.
template <class T, int32_t Capacity = 1000>
class ClassPool {
public:
    static EasyPooler& pooler() {
        static EasyPooler* const pool = new EasyPooler(Capacity, &create, &destroy, &onRelease);
        return *pool;
    }
    static T* acquire() { return static_cast<T*>(pooler().acquire()); }
    static void release(T* object) { pooler().release(object); }

    static void* create() { return new (std::nothrow) T(); }
    static void destroy(void* object) { delete static_cast<T*>(object); }
    static void onRelease(void* object) { static_cast<T*>(object)->reset(); }
};

} // namespace s::thread

// The shell of a pooled class, written first in its body:
//   class Md5 : public IDigest, public s::thread::IPoolable {
//       S_POOLED_CLASS(Md5, 1000, L"s_digest_md5_Md5")
//   public: ...
// declares CLASS_NAME, className(), newInstance(), release() and the statics
// pooler() (the class's EasyPooler) and pool() (take an object from it). The class
// defines reset() itself. Leaves the access at public.
#define S_POOLED_CLASS(Cls, Capacity, NameText)                                          \
    friend class ::s::thread::ClassPool<Cls, Capacity>;                                 \
                                                                                         \
public:                                                                                  \
    static constexpr wchar_t CLASS_NAME[] = NameText;                                    \
    static ::s::thread::EasyPooler& pooler() { return ::s::thread::ClassPool<Cls, Capacity>::pooler(); } \
    static Cls* pool() { return ::s::thread::ClassPool<Cls, Capacity>::acquire(); }     \
    const wchar_t* className() const override { return CLASS_NAME; }                     \
    ::s::base::IObject* newInstance() const override { return pool(); }                 \
    void release() override { pooler().release(this); }

// The class-name shell of a class without a pool (newInstance() stays its own).
#define S_CLASS_NAME(NameText)                                                           \
public:                                                                                  \
    static constexpr wchar_t CLASS_NAME[] = NameText;                                    \
    const wchar_t* className() const override { return CLASS_NAME; }
