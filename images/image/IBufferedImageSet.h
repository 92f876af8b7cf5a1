#pragma once
#include <cstdint>

#include "images/image/IImage.h"

namespace s::image::win {
class BufferedImage;
class BufferedImageSet;
}

namespace s::image {

// An ordered set of in-memory pictures (animation frames, or the sizes and depths of
// one icon), each with a colour depth, a delay in milliseconds and a disposal.
class IBufferedImageSet : public IImage {
public:
    virtual int32_t count() const = 0;
    // Appends image (the set owns it from now on); false for null or when the set
    // cannot grow (the image stays the caller's then).
    virtual bool add(win::BufferedImage* image, int32_t depth, int32_t delay, int32_t disposal) = 0;
    virtual void recomputeSize() = 0;
    virtual bool animated() const = 0;
    virtual uint16_t loopCount() const = 0;
    virtual void setLoop(bool animated, uint16_t loopCount) = 0;
    // The stored values; 1000 for an index outside the set.
    virtual int32_t delay(int32_t index) const = 0;
    virtual int32_t disposal(int32_t index) const = 0;
    virtual int32_t depth(int32_t index) const = 0;
    // New pooled sets (null when one cannot be made).
    virtual win::BufferedImageSet* copy() const = 0;
    virtual win::BufferedImageSet* coalescedCopy() const = 0;
    virtual win::BufferedImageSet* scaledCopy(int32_t width, int32_t height, bool keepAspect) const = 0;
    virtual win::BufferedImageSet* filteredCopy() const = 0;
    virtual int32_t bestIndex() const = 0;
    virtual win::BufferedImage* bestFrame() const = 0;
    virtual bool findFrame(int32_t width, int32_t height, int32_t depth, int32_t* index) const = 0;
    virtual bool findNearestDepth(int32_t width, int32_t height, int32_t depth, int32_t* index) const = 0;
    virtual bool findNearestSize(int32_t width, int32_t height, int32_t depth, int32_t* index) const = 0;
    // Forgets the frames without giving them back (their other holders keep them).
    virtual void clear() = 0;
    // Null for an index outside the set.
    virtual win::BufferedImage* frameAt(int32_t index) const = 0;
    virtual win::BufferedImageSet* addImage(win::BufferedImage* image) = 0;
};

} // namespace s::image
