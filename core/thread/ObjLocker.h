#pragma once
#include <windows.h>

#include "core/base/IDestructor.h"
#include "core/base/IObject.h"

namespace s::thread {

// A re-entrant lock (critical section) that may also own one object, disposed when
// the locker is destroyed: by the deleter when set, else by the cleaner, else by
// deleting it as an s::base::IObject.
class ObjLocker : public base::IObject {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_thread_ObjLocker";
    typedef void (*Deleter)(void* object);

    explicit ObjLocker(void* held = nullptr, Deleter deleter = nullptr,
                       base::IDestructor* cleaner = nullptr);
    ~ObjLocker() override;
    ObjLocker(const ObjLocker&) = delete;
    ObjLocker& operator=(const ObjLocker&) = delete;

    const wchar_t* className() const override { return CLASS_NAME; }
    // A new empty locker (not pooled).
    base::IObject* newInstance() const override;

    void lock() { EnterCriticalSection(&section_); }
    void unlock() { LeaveCriticalSection(&section_); }
    bool tryLock() { return TryEnterCriticalSection(&section_) != FALSE; }

    void* held() const { return held_; }
    // Replaces the held object without disposing the previous one.
    void setHeld(void* held, Deleter deleter = nullptr, base::IDestructor* cleaner = nullptr);

    // Holds the lock for the life of a scope.
    class Guard {
    public:
        explicit Guard(ObjLocker& locker) : locker_(locker) { locker_.lock(); }
        ~Guard() { locker_.unlock(); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;
    private:
        ObjLocker& locker_;
    };

private:
    void* held_;
    Deleter deleter_;
    base::IDestructor* cleaner_;
    CRITICAL_SECTION section_;
};

} // namespace s::thread
