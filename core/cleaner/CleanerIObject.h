#pragma once
#include "core/base/IDestructor.h"
#include "core/base/IObject.h"
#include "core/thread/ClassPool.h"

namespace s::cleaner {

// Element cleaner that deletes s::base::IObject elements (for objects that are not
// pooled). One shared instance.
class CleanerIObject : public base::IObject, public base::IDestructor {
    S_CLASS_NAME(L"s_cleaner_CleanerIObject")
public:
    // The shared instance, built on first use and kept for the life of the process.
    static CleanerIObject& instance();
    base::IObject* newInstance() const override;
    void dispose(void** slot) override;
};

} // namespace s::cleaner
