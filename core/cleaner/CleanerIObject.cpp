#include "core/cleaner/CleanerIObject.h"

#include <new>

namespace s::cleaner {

CleanerIObject& CleanerIObject::instance() {
    static CleanerIObject* const shared = new CleanerIObject();
    return *shared;
}

base::IObject* CleanerIObject::newInstance() const {
    return new (std::nothrow) CleanerIObject();
}

void CleanerIObject::dispose(void** slot) {
    if (slot != nullptr && *slot != nullptr) {
        delete static_cast<base::IObject*>(*slot);
        *slot = nullptr;
    }
}

} // namespace s::cleaner
