#pragma once
#include <cstdint>

#include "images/image/bmp/win/Bitmap.h"

namespace s::image::win {

// The single-frame codecs that keep their picture in a pooled Bitmap of one depth
// (BitCount): this holds that bitmap for their whole life and answers the size,
// resizing and conversion calls from it. A codec whose bitmap could not be had
// reports 0 x 0 and refuses everything.
template <class Interface, int32_t BitCount>
class BitmapBackedImage : public Interface {
public:
    ~BitmapBackedImage() override {
        if (bitmap_ != nullptr) {
            bitmap_->release();
        }
    }

    int32_t width() const override { return bitmap_ != nullptr ? bitmap_->width() : 0; }
    int32_t height() const override { return bitmap_ != nullptr ? bitmap_->height() : 0; }
    BufferedImage* toBufferedImage(BufferedImage* target = nullptr, int32_t frameIndex = 0) override {
        return bitmap_ != nullptr ? bitmap_->toBufferedImage(target, frameIndex) : nullptr;
    }
    bool isMultiFrame() const override { return false; }
    int32_t frameCount() const override { return 1; }

    // A fresh picture of width x height at BitCount bits; false (no picture) when impossible.
    // At 32 bits the fourth byte is the codec's own alpha channel, taken as it is.
    bool setSize(int32_t width, int32_t height) override {
        if (bitmap_ == nullptr || bitmap_->create(width, height, BitCount) == nullptr) {
            return false;
        }
        if (BitCount == 32) {
            bitmap_->setAlphaMask(0xFF000000u);
        }
        return true;
    }

    // The picture (BitCount bits, rows bottom-up); null only when no bitmap could be had.
    bmp::win::Bitmap* bitmap() const { return bitmap_; }

protected:
    BitmapBackedImage() : bitmap_(bmp::win::Bitmap::pool()) {}

    // Drops the picture (the codec's reset() clears its own settings too).
    void resetBitmap() {
        if (bitmap_ != nullptr) {
            bitmap_->reset();
        }
    }

    bmp::win::Bitmap* const bitmap_;
};

} // namespace s::image::win
