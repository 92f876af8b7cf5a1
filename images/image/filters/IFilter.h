#pragma once
#include "core/base/IObject.h"

namespace s::image::win { class BufferedImage; }

namespace s::image::filters {

// A picture filter that an image can hold and apply when it is drawn.
class IFilter : public base::IObject {
public:
    // The kind's one constant text; compared by address.
    virtual const wchar_t* kindName() const = 0;
    // Whether the image holding the filter gives it back to its pool when the filter
    // is removed or the image is reset.
    virtual bool releaseWithImage() const = 0;
    virtual void setReleaseWithImage(bool release) = 0;
    // Filters source into target (null: a new pooled image) and returns it; null on
    // failure, leaving a given target to the caller.
    virtual win::BufferedImage* apply(const win::BufferedImage* source, win::BufferedImage* target) = 0;
    // Back to the filter's pool.
    virtual void release() = 0;
};

} // namespace s::image::filters
