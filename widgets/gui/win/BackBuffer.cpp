#include "widgets/gui/win/BackBuffer.h"

#include "core/thread/Held.h"
#include "images/image/win/BufferedImage.h"
#include "widgets/gui/IComponent.h"
#include "widgets/gui/IContainer.h"
#include "widgets/gui/win/MemDC.h"

namespace s::gui::win {

using image::win::BufferedImage;

BufferedImage* BackBuffer::ensure(BufferedImage** buffer, int32_t width, int32_t height) {
    // A minimised window has an empty client area: no bitmap of that size can be made.
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    BufferedImage* image = *buffer;
    const int64_t needed = static_cast<int64_t>(width) * height;
    if (image != nullptr && image->nativeHandle() != nullptr &&
        static_cast<double>(image->capacityPixelCount()) * 0.7 > static_cast<double>(needed)) {
        release(buffer);
        image = nullptr;
    }
    if (image == nullptr) {
        image = BufferedImage::create(width, height);
        if (image == nullptr || image->nativeHandle() == nullptr) {
            if (image != nullptr) {
                image->release();
            }
            return nullptr;
        }
        *buffer = image;
        return image;
    }
    if (!image->reserve(width, height) || image->nativeHandle() == nullptr) {
        release(buffer);
        return nullptr;
    }
    image->setSize(width, height);
    return image;
}

void BackBuffer::release(BufferedImage** buffer) {
    if (*buffer != nullptr) {
        (*buffer)->release();
        *buffer = nullptr;
    }
}

MemDC* BackBuffer::paintInto(HWND window, BufferedImage** buffer, int32_t width, int32_t height) {
    BufferedImage* image = ensure(buffer, width, height);
    return image != nullptr ? MemDC::acquire(window, image, false) : nullptr;
}

void BackBuffer::excludeChildren(HWND window, HDC dc) {
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) {
            continue;
        }
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
}

void BackBuffer::fill(HDC dc, int32_t width, int32_t height, uint32_t colour) {
    const RECT area = {0, 0, width, height};
    const COLORREF previous = SetBkColor(dc, colour & 0xFFFFFF);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}

bool BackBuffer::paintedAtSize(const BufferedImage* buffer, HWND holder) {
    RECT client = {0, 0, 0, 0};
    GetClientRect(holder, &client);
    return buffer->width() == client.right && buffer->height() == client.bottom;
}

void BackBuffer::copyParentBackground(const IComponent* widget, HDC dc, int32_t width, int32_t height) {
    HWND own = widget->getNativeHandle();
    for (const IComponent* at = widget->getParent(); at != nullptr; at = at->getParent()) {
        BufferedImage* buffer = at->getBackBuffer();
        HWND holder = at->getNativeHandle();
        if (buffer == nullptr || holder == nullptr || own == nullptr || buffer->nativeHandle() == nullptr) {
            continue;
        }
        if (!paintedAtSize(buffer, holder)) {
            // The holder grew or shrank and has not painted since: its buffer holds nothing
            // (black) or an old frame where the widget now lies. It paints first.
            RedrawWindow(holder, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
            buffer = at->getBackBuffer();
            if (buffer == nullptr || buffer->nativeHandle() == nullptr || !paintedAtSize(buffer, holder)) {
                continue;
            }
        }
        // Where the widget lies in the client area that the buffer covers.
        POINT origin = {0, 0};
        MapWindowPoints(own, holder, &origin, 1);
        if (thread::Held<MemDC> mem{MemDC::acquire(holder, buffer, false)}) {
            BitBlt(dc, 0, 0, width, height, *mem.get(), origin.x, origin.y, SRCCOPY);
            return;
        }
        break;
    }
    const IContainer* parent = widget->getParent();
    fill(dc, width, height, parent != nullptr ? parent->getEffectiveBackground() : widget->getEffectiveBackground());
}

} // namespace s::gui::win
