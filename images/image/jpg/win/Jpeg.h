#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "images/image/jpg/IJpeg.h"

namespace s::archive::dll::win { class Archive; }
namespace s::image::bmp::win { class Bitmap; }

namespace s::image::jpg::win {

// JPEG over libjpeg: decodes any baseline or progressive file (grey, YCbCr, RGB, CMYK,
// YCCK) into a 24-bit bitmap (blue, green, red) and writes that bitmap back.
//
// Library errors come back to the decoding or encoding call, which destroys the
// library object and answers false; nothing is printed and the process never ends.
// A stream that ends early still decodes: the missing rows stay as the fresh bitmap
// held them. The source bitmap is never written by encode().
class Jpeg : public IJpeg, public thread::IPoolable {
    S_POOLED_CLASS(Jpeg, 1000, L"s_image_jpg_win_Jpeg")
public:
    static constexpr int32_t INITIAL_QUALITY = 75;
    // libjpeg's own limit on each side.
    static constexpr int32_t MAX_SIDE = 65500;

    ~Jpeg() override;
    void reset() override;

    int32_t width() const override;
    int32_t height() const override;
    const wchar_t* extension() const override { return L".jpg"; }
    image::win::BufferedImage* toBufferedImage(image::win::BufferedImage* target = nullptr,
                                               int32_t frameIndex = 0) override;
    bool encode(io::IOutputStream* stream) override;
    bool decode(io::IInputStream* stream) override;
    bool isMultiFrame() const override { return false; }
    int32_t frameCount() const override { return 1; }
    // A new Jpeg of image at the default quality on white; the receiver is not changed.
    IEncodedImage* createFromImage(image::win::BufferedImage* image) const override;

    bool setSize(int32_t width, int32_t height) override;
    bool setQuality(int32_t quality) override;
    int32_t quality() const override { return quality_; }

    // The picture (24 bits, rows bottom-up); never null.
    bmp::win::Bitmap* bitmap() const { return bitmap_; }

    // Sets the picture from image at its size; transparent pixels are blended over
    // (red, green, blue). The image is not changed. False (no picture) when the
    // bitmap cannot be made or the quality is out of range.
    bool setFromImage(image::win::BufferedImage* image, int32_t quality, uint8_t red, uint8_t green, uint8_t blue);
    // A pooled Jpeg set from image, or null.
    static Jpeg* createFromImage(image::win::BufferedImage* image, int32_t quality, uint8_t red, uint8_t green,
                                 uint8_t blue);
    // A pooled Jpeg holding the resource's picture, empty (0 x 0) when the archive
    // lacks the entry or it does not decode; null only when no Jpeg can be had.
    static Jpeg* fromResource(archive::dll::win::Archive* archive, const wchar_t* typeName, uint32_t id);

private:
    Jpeg();

    bmp::win::Bitmap* bitmap_;
    int32_t quality_;
};

} // namespace s::image::jpg::win
