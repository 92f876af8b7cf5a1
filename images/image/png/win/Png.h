#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "images/image/png/IPng.h"
#include "images/image/win/BitmapBackedImage.h"

namespace s::image::png::win {

// PNG over libpng: decodes every PNG (palette, grey, 1 to 16 bits, interlaced, with
// or without transparency) into 8-bit blue, green, red, alpha, and writes the picture
// as 8-bit RGBA.
//
// Library errors come back to the decoding or encoding call, which destroys the
// library objects and answers false; a failed decode leaves no picture. The picture
// is never written by encode().
class Png : public image::win::BitmapBackedImage<IPng, 32>, public thread::IPoolable {
    S_POOLED_CLASS(Png, 1000, L"s_image_png_win_Png")
public:
    ~Png() override;
    void reset() override;

    const wchar_t* extension() const override { return L".png"; }
    bool encode(io::IOutputStream* stream) override;
    bool decode(io::IInputStream* stream) override;
    // A new interlaced Png of image with its transparency; the receiver is not changed.
    IEncodedImage* createFromImage(image::win::BufferedImage* image) const override;

    void setInterlace(bool interlace) override { interlace_ = interlace ? 1 : 0; }
    bool interlace() const override { return interlace_ != 0; }

    // Sets the picture from image at its size. Without keepTransparency transparent
    // pixels are blended over (red, green, blue); an opaque image is written opaque
    // whatever its alpha bytes hold. The image is not changed. False (no picture)
    // when the bitmap cannot be made.
    bool setFromImage(image::win::BufferedImage* image, bool interlace, bool keepTransparency, uint8_t red,
                      uint8_t green, uint8_t blue);
    // A pooled Png set from image, or null.
    static Png* createFromImage(image::win::BufferedImage* image, bool interlace, bool keepTransparency,
                                uint8_t red, uint8_t green, uint8_t blue);

private:
    Png();

    uint8_t interlace_;
};

} // namespace s::image::png::win
