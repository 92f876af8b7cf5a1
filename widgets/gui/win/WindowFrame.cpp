#include "widgets/gui/win/WindowFrame.h"

#include "core/thread/Held.h"
#include "drawers/gui/drawer/IWindow.h"
#include "framework/CPaintDC.h"
#include "framework/CWindowDC.h"
#include "images/image/win/BufferedImage.h"
#include "system/monitor/UiScale.h"
#include "widgets/gui/win/BackBuffer.h"
#include "widgets/gui/win/MemDC.h"
#include "widgets/gui/win/MessageArgs.h"

namespace s::gui::win {

WindowFrame::~WindowFrame() {
    reset();
}

void WindowFrame::reset() {
    setDrawer(nullptr, false);
    BackBuffer::release(&buffer_);
}

void WindowFrame::setDrawer(drawer::IWindow* drawer, bool owned) {
    if (drawer_ != nullptr && owned_ && drawer_ != drawer) {
        drawer_->release();
    }
    drawer_ = drawer;
    owned_ = owned;
}

LRESULT WindowFrame::hitTest(int32_t dx, int32_t dy, int32_t width, int32_t height, int32_t scale) {
    const int32_t b = 5 * scale;
    const int32_t c = 30 * scale;
    if (dx > width - b) {
        return dy > height - c ? HTBOTTOMRIGHT : dy < c ? HTTOPRIGHT : HTRIGHT;
    }
    if (dy > height - b) {
        return dx > width - c ? HTBOTTOMRIGHT : dx < c ? HTBOTTOMLEFT : HTBOTTOM;
    }
    if (dx < b) {
        return dy > height - c ? HTBOTTOMLEFT : dy < c ? HTTOPLEFT : HTLEFT;
    }
    if (dy < b) {
        return dx > width - c ? HTTOPRIGHT : dx < c ? HTTOPLEFT : HTTOP;
    }
    return HTCLIENT;
}

void WindowFrame::paintArea(HWND frame, HDC target, const RECT& area, uint32_t background, bool excludeClient) {
    const int32_t width = area.right - area.left;
    const int32_t height = area.bottom - area.top;
    // A minimised frame has nothing to paint, and no empty bitmap can be made.
    image::win::BufferedImage* buffer = BackBuffer::ensure(&buffer_, width, height);
    if (buffer == nullptr) {
        return;
    }
    thread::Held<MemDC> mem{MemDC::acquire(frame, buffer, false)};
    if (!mem) {
        return;
    }
    if (drawer_ != nullptr) {
        drawer_->draw(*mem.get(), 0, 0, width, height);
    } else {
        BackBuffer::fill(*mem.get(), width, height, background);
    }
    // Children paint themselves.
    for (HWND child = GetWindow(frame, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) {
            continue;
        }
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&rect), 2);
        ExcludeClipRect(target, rect.left, rect.top, rect.right, rect.bottom);
    }
    if (excludeClient) {
        RECT client;
        GetClientRect(frame, &client);
        ExcludeClipRect(target, client.left, client.top, client.right, client.bottom);
    }
    BitBlt(target, 0, 0, width, height, *mem.get(), 0, 0, SRCCOPY);
}

bool WindowFrame::handle(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, uint32_t background,
                         bool dragByClient, LRESULT* result) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(frame, &client);
        const int saved = SaveDC(reinterpret_cast<HDC>(wParam));
        paintArea(frame, reinterpret_cast<HDC>(wParam), client, background, false);
        RestoreDC(reinterpret_cast<HDC>(wParam), saved);
        *result = 1;
        return true;
    }
    case WM_PAINT: {
        if (drawer_ == nullptr) {
            return false;
        }
        CPaintDC dc(frame);
        RECT client;
        GetClientRect(frame, &client);
        paintArea(frame, dc, client, background, false);
        *result = 0;
        return true;
    }
    case WM_NCPAINT: {
        if (drawer_ == nullptr) {
            return false;
        }
        RECT window;
        GetWindowRect(frame, &window);
        OffsetRect(&window, -window.left, -window.top);
        CWindowDC dc(frame);
        paintArea(frame, dc, window, background, true);
        *result = 0;
        return true;
    }
    case WM_NCACTIVATE:
        if (drawer_ == nullptr) {
            return false;
        }
        *result = 1;
        return true;
    case 0xAE:  // the themed caption's repaint
        if (drawer_ == nullptr) {
            return false;
        }
        *result = 0;
        return true;
    case WM_NCCALCSIZE:
        if (drawer_ == nullptr || wParam == FALSE || lParam == 0) {
            return false;
        }
        *result = 0;
        return true;
    case WM_WINDOWPOSCHANGED: {
        const WINDOWPOS* position = MessageArgs::pointer<const WINDOWPOS>(lParam);
        if (drawer_ != nullptr && position != nullptr && (position->flags & SWP_NOSIZE) == 0) {
            RECT window;
            GetWindowRect(frame, &window);
            HRGN region = drawer_->createRegion(0, 0, window.right - window.left, window.bottom - window.top);
            if (region != nullptr && SetWindowRgn(frame, region, TRUE) == 0) {
                DeleteObject(region);
            }
        }
        return false;
    }
    case WM_NCHITTEST: {
        if (drawer_ == nullptr && !dragByClient) {
            return false;
        }
        LRESULT hit = DefWindowProcW(frame, message, wParam, lParam);
        if (drawer_ != nullptr) {
            RECT window;
            GetWindowRect(frame, &window);
            const POINT point = MessageArgs::point(lParam);
            const LRESULT edge = hitTest(point.x - window.left, point.y - window.top, window.right - window.left,
                                         window.bottom - window.top, system::monitor::uiScale());
            if (edge != HTCLIENT) {
                hit = edge;
            }
        }
        if (dragByClient && hit == HTCLIENT && (GetKeyState(VK_RBUTTON) & 0x8000) == 0) {
            hit = HTCAPTION;
        }
        *result = hit;
        return true;
    }
    default:
        return false;
    }
}

} // namespace s::gui::win
