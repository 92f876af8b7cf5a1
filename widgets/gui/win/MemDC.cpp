#include "widgets/gui/win/MemDC.h"

#include <atomic>

#include "images/image/win/BufferedImage.h"

namespace s::gui::win {

namespace {

std::atomic<int32_t> g_live{0};

} // namespace

MemDC* MemDC::acquire(HWND window, image::win::BufferedImage* image, bool owned) {
    MemDC* mem = pool();
    bool made = false;
    if (mem != nullptr) {
        HDC screen = GetDC(window);
        made = mem->CreateCompatibleDC(screen);
        if (screen != nullptr) {
            ReleaseDC(window, screen);
        }
    }
    if (!made) {
        if (mem != nullptr) {
            mem->release();
        }
        if (owned && image != nullptr) {
            image->release();
        }
        return nullptr;
    }
    ++g_live;
    mem->image_ = image;
    mem->owned_ = owned;
    if (image != nullptr) {
        if (HBITMAP bitmap = image->nativeHandle()) {
            mem->SelectObject(bitmap);
        }
    }
    return mem;
}

MemDC::~MemDC() {
    reset();
}

void MemDC::reset() {
    if (HDC dc = Detach()) {
        DeleteDC(dc);
        --g_live;
    }
    if (owned_ && image_ != nullptr) {
        image_->release();
    }
    image_ = nullptr;
    owned_ = false;
}

int32_t MemDC::liveContexts() {
    return g_live.load();
}

} // namespace s::gui::win
