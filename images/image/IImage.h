#pragma once
#include <cstdint>

#include "core/base/IObject.h"

namespace s::image {

// Anything with a pixel size: in-memory pictures and file-format pictures alike.
class IImage : public base::IObject {
public:
    virtual int32_t width() const = 0;
    virtual int32_t height() const = 0;
};

} // namespace s::image
