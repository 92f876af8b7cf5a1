#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "images/image/jpg/IJpeg.h"
#include "images/image/win/BitmapBackedImage.h"

namespace s::archive::dll::win { class Archive; }

namespace s::image::jpg::win {

// JPEG over libjpeg: decodes any baseline or progressive file (grey, YCbCr, RGB, CMYK,
// YCCK) into a 24-bit bitmap (blue, green, red) and writes that bitmap back.
//
// Library errors come back to the decoding or encoding call, which destroys the
// library object and answers false; nothing is printed and the process never ends.
// A stream that ends early still decodes: the missing rows stay as the fresh bitmap
// held them. The source bitmap is never written by encode().
class Jpeg : public image::win::BitmapBackedImage<IJpeg, 24>, public thread::IPoolable {
    S_POOLED_CLASS(Jpeg, 1000, L"s_image_jpg_win_Jpeg")
public:
    static constexpr int32_t INITIAL_QUALITY = 75;
    // libjpeg's own limit on each side.
    static constexpr int32_t MAX_SIDE = 65500;
    // The 8 x 8 blocks all scans of one file may cover together: each scan is decoded
    // over every block of its components, so many scans over a large picture would keep
    // the decoder busy for minutes. libjpeg's own progression of the largest picture
    // decoded, in four components, covers nearly this many (24 M, more at odd sizes); a
    // file is refused as the scan that passes it begins.
    static constexpr int64_t MAX_SCAN_BLOCKS = int64_t(25) << 20;

    ~Jpeg() override;
    void reset() override;

    const wchar_t* extension() const override { return L".jpg"; }
    bool encode(io::IOutputStream* stream) override;
    bool decode(io::IInputStream* stream) override;
    // A new Jpeg of image at the default quality on white; the receiver is not changed.
    IEncodedImage* createFromImage(image::win::BufferedImage* image) const override;

    bool setQuality(int32_t quality) override;
    int32_t quality() const override { return quality_; }

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

    int32_t quality_;
};

} // namespace s::image::jpg::win
