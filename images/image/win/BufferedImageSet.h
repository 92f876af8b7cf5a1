#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "images/image/FrameSearch.h"
#include "images/image/IBufferedImageSet.h"

namespace s::col::_array {
class ArrayP;
class ArrayS32;
}

namespace s::image::win {

class BufferedImage;

// Frames with their depth, delay (ms) and disposal. Frames of an animation may be
// placed at an offset on a screen larger than themselves. Disposal follows GIF: 0 and
// 1 leave a frame in place for the next, 2 clears its rectangle to transparent, 3
// restores what was there before it.
class BufferedImageSet : public IBufferedImageSet, public thread::IPoolable {
    S_POOLED_CLASS(BufferedImageSet, 1000, L"s_image_win_BufferedImageSet")
public:
    static constexpr int32_t OUTSIDE = 1000;  // delay and disposal outside the set

    // A pooled set holding image as its one frame (depth 32); null for a null image.
    static BufferedImageSet* fromImage(BufferedImage* image);

    ~BufferedImageSet() override;
    void reset() override;

    int32_t width() const override { return width_; }
    int32_t height() const override { return height_; }
    int32_t count() const override;
    bool add(BufferedImage* image, int32_t depth, int32_t delay, int32_t disposal) override;
    // The same with the frame placed at (left, top) of the screen.
    bool addAt(BufferedImage* image, int32_t depth, int32_t delay, int32_t disposal, int32_t left, int32_t top);
    // The frame's place on the screen (0 outside the set).
    int32_t left(int32_t index) const;
    int32_t top(int32_t index) const;
    // The screen frames are composed on: at least the given size and every frame's extent.
    void setScreen(int32_t width, int32_t height);
    int32_t screenWidth() const { return screenWidth_; }
    int32_t screenHeight() const { return screenHeight_; }
    // What the picture's source (a decoder's own frames) holds besides the set while the
    // set is shown; copies keep it.
    void setSourceBytes(int64_t bytes) { sourceBytes_ = bytes; }
    int64_t sourceBytes() const { return sourceBytes_; }
    void recomputeSize() override;
    bool animated() const override { return animated_ != 0; }
    uint16_t loopCount() const override { return loopCount_; }
    void setLoop(bool animated, uint16_t loopCount) override;
    int32_t delay(int32_t index) const override;
    int32_t disposal(int32_t index) const override;
    int32_t depth(int32_t index) const override;
    BufferedImageSet* copy() const override;
    // Each frame drawn at its place over what the frames before it left on the screen,
    // by their disposals; composed frames are whole screens and get disposal 2 (they
    // stand alone), the loop setting is (true, loopCount()). Null beyond the animation
    // cap of IEncodedImage (screen area times frames), or when the picture would pass
    // its memory cap: the source, this set, the working screen, the save under a frame
    // that restores, and every composed screen.
    BufferedImageSet* coalescedCopy() const override;
    // A still of an animation too large to compose: the first frame drawn at its place on
    // a screen-sized canvas, as the one frame of a set that does not play. Null when the
    // set is empty or the screen itself is too large.
    BufferedImageSet* firstScreenCopy() const;
    // Each frame scaled by itself, places kept: an animation of placed frames is
    // composed first (coalescedCopy) to be scaled as a whole.
    BufferedImageSet* scaledCopy(int32_t width, int32_t height, bool keepAspect) const override;
    BufferedImageSet* filteredCopy() const override;
    int32_t bestIndex() const override { return bestIndex_; }
    BufferedImage* bestFrame() const override { return frameAt(bestIndex_); }
    bool findFrame(int32_t width, int32_t height, int32_t depth, int32_t* index) const override;
    bool findNearestDepth(int32_t width, int32_t height, int32_t depth, int32_t* index) const override;
    bool findNearestSize(int32_t width, int32_t height, int32_t depth, int32_t* index) const override;
    void clear() override;
    BufferedImage* frameAt(int32_t index) const override;
    BufferedImageSet* addImage(BufferedImage* image) override;

private:
    BufferedImageSet();
    bool valid(int32_t index) const { return index >= 0 && index < count(); }
    // A new set with the numbers, places and loop setting of this one (and its screen
    // when the frames keep their size) and, per frame, the image made (a new one the
    // set takes) by make(frame); null when one fails.
    template <class Make>
    BufferedImageSet* derived(Make make, bool sameScreen) const;
    FrameShape shapeOf(int32_t index) const;

    col::_array::ArrayP* frames_;
    col::_array::ArrayS32* depths_;
    col::_array::ArrayS32* delays_;
    col::_array::ArrayS32* disposals_;
    col::_array::ArrayS32* lefts_;
    col::_array::ArrayS32* tops_;
    uint8_t animated_;
    uint16_t loopCount_;
    int32_t width_;
    int32_t height_;
    int32_t bestDepth_;
    int32_t bestIndex_;
    int32_t screenWidth_;
    int32_t screenHeight_;
    int64_t sourceBytes_;
};

} // namespace s::image::win
