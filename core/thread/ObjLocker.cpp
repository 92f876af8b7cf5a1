#include "core/thread/ObjLocker.h"

#include <new>

namespace s::thread {

ObjLocker::ObjLocker(void* held, Deleter deleter, base::IDestructor* cleaner)
    : held_(held), deleter_(deleter), cleaner_(cleaner) {
    InitializeCriticalSection(&section_);
}

ObjLocker::~ObjLocker() {
    if (held_ != nullptr) {
        if (deleter_ != nullptr) {
            deleter_(held_);
        } else if (cleaner_ != nullptr) {
            cleaner_->dispose(&held_);
        } else {
            delete static_cast<base::IObject*>(held_);
        }
        held_ = nullptr;
    }
    DeleteCriticalSection(&section_);
}

base::IObject* ObjLocker::newInstance() const {
    return new (std::nothrow) ObjLocker();
}

void ObjLocker::setHeld(void* held, Deleter deleter, base::IDestructor* cleaner) {
    held_ = held;
    deleter_ = deleter;
    cleaner_ = cleaner;
}

} // namespace s::thread
