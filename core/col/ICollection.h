#pragma once
#include <cstdint>

#include "core/base/IObject.h"

namespace s::col {

// Main interface of the collections.
class ICollection : public base::IObject {
public:
    // The class-name text of the collection.
    virtual const wchar_t* typeName() const = 0;
    virtual uint32_t count() const = 0;
    virtual void clear() = 0;
};

} // namespace s::col
