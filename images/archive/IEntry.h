#pragma once
#include <cstdint>

#include "core/base/IObject.h"

namespace s::archive {

// One entry of an archive. The generic face holds only what every archive shares;
// each archive kind adds its own members.
class IEntry : public base::IObject {
public:
    // Byte size of the entry's data.
    virtual int64_t size() const = 0;
    virtual void setSize(int64_t size) = 0;
};

} // namespace s::archive
