#pragma once
#include <cstdint>

#include "widgets/gui/IComponent.h"

namespace s::gui::drawer { class IImage; }
namespace s::image {
class IEncodedImage;
namespace filters { class IFilter; }
namespace win { class BufferedImage; class BufferedImageSet; }
}

namespace s::gui {

// A picture or an animation (an ordered set of frames) shown in a window.
class IImage : public IComponent {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_IImage";
    const wchar_t* className() const override { return CLASS_NAME; }

    // Converts the picture to a frame set the control owns: as a set, every frame of a
    // multi-frame picture; else its first picture alone.
    virtual bool setImage(image::IEncodedImage* encoded, bool asSet, bool fit, bool keepAspect) = 0;
    virtual void setImageSet(image::win::BufferedImageSet* set, bool owned, bool fit, bool keepAspect,
                             int32_t drawingFlag, int32_t fixedWidth, int32_t fixedHeight) = 0;
    virtual int32_t getImageWidth() const = 0;
    virtual int32_t getImageHeight() const = 0;
    virtual int32_t getFrameCount() const = 0;
    virtual bool isAnimated() const = 0;
    // Shrinks one side of (width, height) so that it has the picture's proportions.
    virtual void fitAspect(int32_t* width, int32_t* height) const = 0;
    virtual void play() = 0;
    virtual void stop(bool rewind) = 0;
    virtual void pauseAndWait(bool pausePainting) = 0;
    virtual void resume(bool resumePainting) = 0;
    virtual void setFixedWidth(int32_t width) = 0;
    virtual void setFixedHeight(int32_t height) = 0;
    virtual void setBorder(bool on) = 0;
    virtual void setBackgroundColour(int32_t red, int32_t green, int32_t blue) = 0;
    virtual bool setPaintingPaused(bool paused) = 0;
    virtual void setDraggable(bool on) = 0;
    virtual void setDrawer(drawer::IImage* drawer, bool owned) = 0;
    virtual void setCheckerboard(bool redraw) = 0;
    virtual void setTransparent(bool redraw) = 0;
    // Encodes the picture (optionally scaled to the control, sharpened, and with the
    // filter attached for the encoding) in the encoder's format into a new file.
    virtual bool saveWith(const image::IEncodedImage* encoder, const wchar_t* path, bool scaleToControl, bool sharpen,
                          image::filters::IFilter* filter) = 0;
    virtual int32_t getCurrentFrame() const = 0;
    // The frame set's values of one frame (-1 for an index it has not).
    virtual int32_t getFrameDelay(int32_t index) const = 0;
    virtual int32_t getFrameDisposal(int32_t index) const = 0;
    virtual int32_t getFrameDepth(int32_t index) const = 0;
    // Bits of getFrameFlags.
    enum FrameFlag : int32_t { FRAME_ALPHA = 1, FRAME_FILTERED = 2 };
    // The frame's flags (0 for an index the set has not).
    virtual int32_t getFrameFlags(int32_t index) const = 0;
    // Whether the frame shows something at (x, y): inside it and not fully transparent.
    virtual bool isFramePixelVisible(int32_t index, int32_t x, int32_t y) const = 0;
    // The frame's top row of 32-bit pixels; *stride (negative: bottom-up) steps to the
    // next row. Valid while the control keeps the picture; null for a missing frame.
    virtual const uint8_t* getFramePixels(int32_t index, int32_t* stride) const = 0;
    // The frame's picture, still the control's (null for a missing frame).
    virtual image::win::BufferedImage* getFrameImage(int32_t index) const = 0;
    // What copyCurrentFrame copies: the frame as shown (its filters applied) or its own pixels.
    enum FrameCopy : int32_t { COPY_AS_SHOWN = 0, COPY_AS_STORED = 1 };
    // A copy of the frame shown now, of the kind asked, optionally scaled to the
    // control's inner size; the caller releases it. Null without a picture.
    virtual image::win::BufferedImage* copyCurrentFrame(bool scaleToControl, int32_t kind) = 0;
};

} // namespace s::gui
