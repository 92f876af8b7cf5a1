#include "drawers/gui/drawer/image/win/Basic.h"

#include "drawers/gui/drawer/IScaledPainter.h"
#include "drawers/gui/drawer/Paint.h"
#include "images/image/win/BufferedImage.h"
#include "images/image/win/MemoryDc.h"

namespace s::gui::drawer::image::win {

using s::image::win::BufferedImage;
using s::image::win::MemoryDc;

namespace {

// Blends a picture with alpha over the pixels the context holds at (x, y).
void blend(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height, BufferedImage* picture, bool scaled) {
    BufferedImage* scratch = BufferedImage::create(width, height);
    if (scratch == nullptr) {
        return;
    }
    {
        MemoryDc memory(scratch->nativeHandle());
        if (memory.ok() && BitBlt(memory.dc(), 0, 0, width, height, dc, x, y, SRCCOPY)) {
            GdiFlush();
            scratch->drawImage(0, 0, width, height, picture, 0, 0, scaled);
            BitBlt(dc, x, y, width, height, memory.dc(), 0, 0, SRCCOPY);
        }
    }
    scratch->release();
}

} // namespace

void Basic::draw(HDC dc, IScaledPainter* painter, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 BufferedImage* image, int32_t mode, bool framed, bool scaled) {
    if (dc == nullptr || image == nullptr || left >= right || top >= bottom) {
        return;
    }
    if (framed) {
        const COLORREF black = RGB(0, 0, 0);
        Paint::fillRect(dc, left, top, right, top + 1, black);
        Paint::fillRect(dc, left, bottom - 1, right, bottom, black);
        Paint::fillRect(dc, left, top + 1, left + 1, bottom - 1, black);
        Paint::fillRect(dc, right - 1, top + 1, right, bottom - 1, black);
        ++left;
        ++top;
        --right;
        --bottom;
        if (left >= right || top >= bottom) {
            return;
        }
    }
    BufferedImage* picture = image->hasFilters() ? image->filtered() : image;
    if (picture == nullptr || picture->width() <= 0 || picture->height() <= 0) {
        return;
    }
    if (scaled && painter != nullptr && painter->paintScaled(dc, picture, left, top, right, bottom, mode)) {
        return;
    }
    const int32_t width = right - left;
    const int32_t height = bottom - top;
    if (picture->hasAlpha()) {
        blend(dc, left, top, width, height, picture, scaled);
    } else {
        picture->blit(dc, left, top, width, height, scaled);
    }
}

} // namespace s::gui::drawer::image::win
