#pragma once
#include <cstdint>

#include "images/image/IImage.h"

namespace s::io {
class IInputStream;
class IOutputStream;
}
namespace s::image::win {
class BufferedImage;
class BufferedImageSet;
}
namespace s::file::win { class PathWin; }
namespace s::archive::dll::win { class Archive; }

namespace s::image {

// A picture in one file format: converts to and from the in-memory image and
// encodes into and decodes from byte streams.
class IEncodedImage : public IImage {
public:
    // The largest picture a decoder allocates: each side, and all pixels together.
    static constexpr int32_t MAX_DECODED_SIDE = 16384;
    static constexpr int64_t MAX_DECODED_PIXELS = int64_t(64) << 20;
    // Whether a decoder may allocate a width x height picture (checked before any
    // allocation the file's header asks for).
    static bool isDecodableSize(int64_t width, int64_t height) {
        return width > 0 && height > 0 && width <= MAX_DECODED_SIDE && height <= MAX_DECODED_SIDE &&
               width * height <= MAX_DECODED_PIXELS;
    }
    // The largest animation in memory: its frames (each a DIB section, so the count also
    // keeps GDI objects and mappings bounded), and their pixels together. Each place that
    // allocates frames counts what it allocates: a decoder its frames' rectangles, a
    // composition its whole screens.
    static constexpr int32_t MAX_DECODED_FRAMES = 2048;
    static constexpr int64_t MAX_ANIMATION_PIXELS = int64_t(256) << 20;
    static bool isDecodableAnimation(int64_t frames, int64_t pixels) {
        return frames <= MAX_DECODED_FRAMES && pixels <= MAX_ANIMATION_PIXELS;
    }
    // What one picture may take in all the copies held of it at once (a decoder's
    // frames and buffers, their 32-bit pictures, the screens composed to play them and
    // the composer's own): one 32-bit copy at the animation cap. Each cap above holds
    // for one copy only.
    static constexpr int64_t MAX_PICTURE_BYTES = MAX_ANIMATION_PIXELS * 4;

    // The file extension with its dot (".bmp").
    virtual const wchar_t* extension() const = 0;
    // The picture as a 32-bit image, into target when given, else into a new pooled
    // one; null when there is no picture or the image cannot be allocated.
    virtual win::BufferedImage* toBufferedImage(win::BufferedImage* target = nullptr, int32_t frameIndex = 0) = 0;
    // Writes the file form; false when nothing could be written completely.
    virtual bool encode(io::IOutputStream* stream) = 0;
    // Replaces the picture by the file form read from the stream; false (and no
    // picture) when the data is not a picture this format can read.
    virtual bool decode(io::IInputStream* stream) = 0;
    virtual bool isMultiFrame() const = 0;
    virtual int32_t frameCount() const = 0;
    // Bits per pixel of the picture as stored.
    virtual int32_t bitCount() const { return 32; }
    // A new encoded image of the same kind made from image with the kind's
    // defaults; the receiver is not changed. Null on failure.
    virtual IEncodedImage* createFromImage(win::BufferedImage* image) const = 0;
    // The picture as a new pooled image set; single-frame kinds give one frame of
    // their bit count with delay and disposal 0. Null when the picture cannot be had.
    virtual win::BufferedImageSet* toImageSet();
    // A new encoded image of the same kind made from a set with the kind's defaults:
    // from its first frame (multi-frame kinds may take them all). Null on failure.
    virtual IEncodedImage* createFromImageSet(win::BufferedImageSet* set) const;

    // Writes the file form to a new file; an existing file is kept and nothing is
    // written (false). A file left incomplete by a failure is removed.
    virtual bool save(const wchar_t* path);
    virtual bool save(file::win::PathWin* path);
    // Reads the picture from a file; false (picture unchanged) when the path is
    // missing or a folder, false (no picture) when the file does not decode.
    virtual bool load(const wchar_t* path);
    virtual bool load(file::win::PathWin* path);
    // Decodes the resource of the type (a name or an integer resource) and id from
    // the module's archive. False and the picture unchanged when the archive lacks
    // it or its bytes cannot be read; false (no picture) when it does not decode.
    bool loadResource(archive::dll::win::Archive* archive, const wchar_t* typeName, uint32_t id);

    // The frame best matching the request; single-frame formats answer frame 0.
    virtual bool findFrame(int32_t width, int32_t height, int32_t bitCount, int32_t* index) const;
    virtual bool findFrameNearestDepth(int32_t width, int32_t height, int32_t bitCount, int32_t* index) const;
    virtual bool findFrameNearestSize(int32_t width, int32_t height, int32_t bitCount, int32_t* index) const;
};

} // namespace s::image
