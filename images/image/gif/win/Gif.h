#pragma once
#include <windows.h>

#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "images/image/FrameSearch.h"
#include "images/image/gif/IGif.h"
#include "images/image/gif/win/GifLzw.h"

namespace s::col::_array {
class ArrayP;
class ArrayS32;
class ArrayU08;
}
namespace s::image::bmp::win { class Bitmap; }
namespace s::image::win { class BufferedImageSet; }
namespace s::image::gif { class EncodeSetting; }

namespace s::image::gif::win {

// Reads and writes GIF files. Frames are 8-bit palette bitmaps kept with their place
// on the logical screen; pictures become frames through the colour quantizer.
//
// Reading takes files from anywhere: the signature is checked, code sizes outside
// 1-11 and impossible LZW codes end a frame, and a file must hold at least one frame.
// Each frame's size, the number of frames and their pixels together are checked before
// a frame is allocated, and so is what the picture takes in all the copies it needs to be
// shown (8-bit and 32-bit frames, the decoder's buffers, one whole screen); a file beyond
// those caps is refused. Composing every frame to play them is counted by the composer,
// which refuses alone (the picture then stands still).
class Gif : public IGif, public thread::IPoolable {
    S_POOLED_CLASS(Gif, 1000, L"s_image_gif_win_Gif")
public:
    static constexpr int32_t DEFAULT_DEPTH = 8;
    static constexpr uint8_t ALPHA_LIMIT = 96;

    ~Gif() override;
    void reset() override;

    // Of the first frame (0 without frames).
    int32_t width() const override;
    int32_t height() const override;
    const wchar_t* extension() const override { return L".gif"; }
    // Frame frameIndex as a 32-bit picture; pixels of its transparent index get alpha 0.
    image::win::BufferedImage* toBufferedImage(image::win::BufferedImage* target = nullptr,
                                               int32_t frameIndex = 0) override;
    // Every frame at its own size and place on the logical screen (widened to hold every
    // frame); a single frame is placed on its whole screen, transparent around it.
    // Animated when there is more than one frame.
    image::win::BufferedImageSet* toImageSet() override;
    bool encode(io::IOutputStream* stream) override;
    bool decode(io::IInputStream* stream) override;
    bool isMultiFrame() const override { return frameCount() > 0; }
    int32_t frameCount() const override;
    int32_t bitCount() const override;
    IEncodedImage* createFromImage(image::win::BufferedImage* image) const override;
    IEncodedImage* createFromImageSet(image::win::BufferedImageSet* set) const override;
    bool findFrame(int32_t width, int32_t height, int32_t bitCount, int32_t* index) const override;
    bool findFrameNearestDepth(int32_t width, int32_t height, int32_t bitCount, int32_t* index) const override;
    bool findFrameNearestSize(int32_t width, int32_t height, int32_t bitCount, int32_t* index) const override;

    // Replaces the frames by one new frame bitmap; null when it cannot be made.
    HBITMAP create(int32_t width, int32_t height, int32_t bitCount);
    bool fromBitmapHandle(HBITMAP bitmap);
    bool copyTo(HBITMAP target) const override;
    int32_t stride() const override;
    bool hasTransparency() const override;
    int32_t transparentIndex(int32_t frame) const override;
    int32_t delay(int32_t frame) const override;
    int32_t disposal(int32_t frame) const override;
    int32_t left(int32_t frame) const override;
    int32_t top(int32_t frame) const override;
    uint16_t loopCount() const override { return loopCount_; }
    // The frame's bitmap (null outside the frames).
    bmp::win::Bitmap* frame(int32_t index) const;
    // The depth of the last colour table read, or the depth written with.
    int32_t bitDepth() const { return bitDepth_; }

    // Appends image as a frame of at most 2^bitDepth - 1 colours (depth 1 to 8; 0
    // means 8). With keepTransparency, pixels with alpha below alphaLimit become the
    // transparent index 2^bitDepth - 1; otherwise translucent pixels are blended over
    // (red, green, blue).
    bool addFrame(image::win::BufferedImage* image, int32_t bitDepth, bool keepTransparency, uint8_t red,
                  uint8_t green, uint8_t blue, uint8_t alphaLimit);
    // Frames from a set: an animated set of several frames is composed frame by frame,
    // and each written frame holds what differs from what the one before leaves on the
    // screen. That one's disposal is chosen so its place is cleared (2) when pixels turn
    // transparent, else it stays (1); the last frame is chosen likewise for the loop.
    bool setFromFrames(const image::win::BufferedImageSet* set, int32_t bitDepth, bool keepTransparency,
                       uint8_t red, uint8_t green, uint8_t blue);
    static Gif* createFromImage(image::win::BufferedImage* image, int32_t bitDepth, bool keepTransparency,
                                uint8_t red, uint8_t green, uint8_t blue);
    static Gif* createFromSet(const image::win::BufferedImageSet* set, int32_t bitDepth, bool keepTransparency,
                              uint8_t red, uint8_t green, uint8_t blue);
    static Gif* fromResource(archive::dll::win::Archive* archive, const wchar_t* typeName, uint32_t id);

private:
#pragma pack(push, 1)
    struct Header {
        char signature[6];
        uint16_t screenWidth;
        uint16_t screenHeight;
        uint8_t packed;
        uint8_t background;
        uint8_t aspect;
    };
    struct GraphicControl {
        uint8_t blockSize;
        uint8_t packed;
        uint16_t delay;
        uint8_t transparent;
    };
    struct Application {
        uint8_t blockSize;
        char identifier[11];
    };
    struct Descriptor {
        uint16_t left;
        uint16_t top;
        uint16_t width;
        uint16_t height;
        uint8_t packed;
    };
#pragma pack(pop)
    static_assert(sizeof(Header) == 13 && sizeof(GraphicControl) == 5 && sizeof(Application) == 12 &&
                      sizeof(Descriptor) == 9,
                  "records are read and written as they lie");
    struct ColourTable {
        int32_t entries;
        int32_t bytes;
        uint8_t rgb[256 * 3];
    };

    Gif();
    // The format's setting with transparency kept and this Gif's depth (8 unless 4).
    EncodeSetting* defaultSetting() const;
    // Appends a frame bitmap and its numbers; false (bitmap released) when a list cannot grow.
    bool appendFrame(bmp::win::Bitmap* bitmap, int32_t transparent, int32_t delay, int32_t disposal, int32_t left,
                     int32_t top);
    void releaseFrames();
    int32_t number(const col::_array::ArrayS32* list, int32_t index, int32_t outside) const;
    // What the frames read so far take, and the screen they are composed on.
    struct Budget {
        int64_t images = 0;
        int64_t pixels = 0;
        int64_t frameBytes = 0;  // at 8 and at 32 bits
        int64_t largest = 0;     // pixels of the largest frame: the index buffer
        int32_t screenWidth = 0;
        int32_t screenHeight = 0;
        bool exceeded = false;
    };
    // One image block after its 0x2C; false ends reading (the frames so far stay, unless
    // the budget is exceeded).
    bool readImage(io::IInputStream* stream, Budget& budget, bool& controlSeen);
    FrameShape shapeOf(int32_t index) const;
    // The logical screen widened to hold every frame.
    void canvasSize(int32_t& width, int32_t& height) const;
    // What the 8-bit frames take.
    int64_t frameBytes() const;

    GifLzw lzw_;
    Header header_;
    ColourTable globalTable_;
    ColourTable frameTable_;
    GraphicControl control_;
    Application application_;
    Descriptor descriptor_;
    col::_array::ArrayU08* data_;
    col::_array::ArrayU08* indices_;
    int32_t bitDepth_;
    bool interlaced_;
    col::_array::ArrayP* frames_;
    col::_array::ArrayS32* transparent_;
    col::_array::ArrayS32* delays_;
    col::_array::ArrayS32* disposals_;
    col::_array::ArrayS32* lefts_;
    col::_array::ArrayS32* tops_;
    uint16_t loopCount_;
};

} // namespace s::image::gif::win
