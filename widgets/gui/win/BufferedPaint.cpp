#include "widgets/gui/win/BufferedPaint.h"

#include "widgets/gui/win/BackBuffer.h"
#include "widgets/gui/win/MemDC.h"

namespace s::gui::win {

BufferedPaint::BufferedPaint(const IComponent* widget, HWND hwnd, image::win::BufferedImage** keep,
                             bool transparent, uint32_t colour)
    : screen_(hwnd) {
    RECT client = {0, 0, 0, 0};
    GetClientRect(hwnd, &client);
    width_ = client.right;
    height_ = client.bottom;
    image::win::BufferedImage** holder = keep != nullptr ? keep : &temporary_;
    image::win::BufferedImage* buffer = BackBuffer::ensure(holder, width_, height_);
    if (buffer == nullptr) {
        return;
    }
    mem_ = MemDC::acquire(hwnd, buffer, false);
    if (mem_ == nullptr) {
        return;
    }
    if (transparent) {
        BackBuffer::copyParentBackground(widget, *mem_, width_, height_);
    } else {
        BackBuffer::fill(*mem_, width_, height_, colour);
    }
}

BufferedPaint::~BufferedPaint() {
    if (mem_ != nullptr) {
        BitBlt(screen_, 0, 0, width_, height_, *mem_, 0, 0, SRCCOPY);
        mem_->release();
    }
    BackBuffer::release(&temporary_);
}

HDC BufferedPaint::dc() const {
    return mem_ != nullptr ? static_cast<HDC>(*mem_) : nullptr;
}

} // namespace s::gui::win
