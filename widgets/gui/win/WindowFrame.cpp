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

WPARAM WindowFrame::sizingCodeOfHit(LRESULT hit) {
    switch (hit) {
    case HTLEFT: return WMSZ_LEFT;
    case HTRIGHT: return WMSZ_RIGHT;
    case HTTOP: return WMSZ_TOP;
    case HTTOPLEFT: return WMSZ_TOPLEFT;
    case HTTOPRIGHT: return WMSZ_TOPRIGHT;
    case HTBOTTOM: return WMSZ_BOTTOM;
    case HTBOTTOMLEFT: return WMSZ_BOTTOMLEFT;
    case HTBOTTOMRIGHT: return WMSZ_BOTTOMRIGHT;
    default: return 0;
    }
}

RECT WindowFrame::dragged(const RECT& window, LRESULT hit, int32_t dx, int32_t dy) {
    RECT rect = window;
    if (hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT) {
        rect.left += dx;
    }
    if (hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT) {
        rect.right += dx;
    }
    if (hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT) {
        rect.top += dy;
    }
    if (hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT) {
        rect.bottom += dy;
    }
    return rect;
}

LRESULT WindowFrame::edgeUnderCursor(HWND frame) const {
    POINT cursor;
    RECT window;
    if (!GetCursorPos(&cursor) || !GetWindowRect(frame, &window)) {
        return HTNOWHERE;
    }
    return hitTest(cursor.x - window.left, cursor.y - window.top, window.right - window.left,
                   window.bottom - window.top, system::monitor::uiScale());
}

void WindowFrame::dragTo(HWND frame) {
    POINT cursor;
    RECT window;
    if (!GetCursorPos(&cursor) || !GetWindowRect(frame, &window)) {
        return;
    }
    // From the rectangle and the point of the press, not from the last move: a move the
    // sizing rules bent, or one a late motion event undid, leaves no error behind.
    RECT rect = dragged(pressedRect_, armed_, cursor.x - press_.x, cursor.y - press_.y);
    // A move that changes nothing (a late motion event where the cursor already is) is no
    // sizing step, as in the system's own sizing loop.
    if (EqualRect(&rect, &window)) {
        return;
    }
    // The window's sizing rules and listeners see the drag as a system one.
    SendMessageW(frame, WM_SIZING, sizingCodeOfHit(armed_), reinterpret_cast<LPARAM>(&rect));
    SetWindowPos(frame, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowFrame::endResize(HWND frame) {
    const bool held = armed_ != 0;
    armed_ = 0;
    dragging_ = false;
    if (held && GetCapture() == frame) {
        ReleaseCapture();
    }
}

bool WindowFrame::handleResize(HWND frame, UINT message, WPARAM, LPARAM, bool followingCursor, LRESULT* result) {
    if (!resizeByFrame_ || drawer_ == nullptr) {
        return false;
    }
    switch (message) {
    case WM_NCMOUSEMOVE:
    case WM_MOUSEMOVE: {
        if (dragging_) {
            dragTo(frame);
            *result = 0;
            return true;
        }
        if (followingCursor) {
            return false;
        }
        const LRESULT edge = edgeUnderCursor(frame);
        if (sizingCodeOfHit(edge) == 0) {
            endResize(frame);
            return false;
        }
        const wchar_t* cursor = edge == HTLEFT || edge == HTRIGHT ? IDC_SIZEWE
                                : edge == HTTOP || edge == HTBOTTOM ? IDC_SIZENS
                                : edge == HTTOPLEFT || edge == HTBOTTOMRIGHT ? IDC_SIZENWSE
                                                                            : IDC_SIZENESW;
        SetCursor(LoadCursorW(nullptr, cursor));
        armed_ = edge;
        if (GetCapture() != frame) {
            SetCapture(frame);
        }
        return false;
    }
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN: {
        if (armed_ == 0) {
            return false;
        }
        // Where the button went down, not where the cursor is by now: a loaded machine
        // handles the press late, after the first moves of the drag.
        const DWORD at = GetMessagePos();
        press_ = POINT{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
        GetWindowRect(frame, &pressedRect_);
        dragging_ = PtInRect(&pressedRect_, press_) != FALSE;
        *result = 0;
        return dragging_;
    }
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
        if (!dragging_) {
            return false;
        }
        dragTo(frame);
        endResize(frame);
        *result = 0;
        return true;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        // The drag ends however the mouse was taken away.
        armed_ = 0;
        dragging_ = false;
        return false;
    default:
        return false;
    }
}

void WindowFrame::paintArea(HWND frame, HDC target, const RECT& area, uint32_t background, bool excludeClient) {
    const int32_t width = area.right - area.left;
    const int32_t height = area.bottom - area.top;
    // A minimised frame has nothing to paint, and no empty bitmap can be made.
    thread::Held<MemDC> mem{BackBuffer::paintInto(frame, &buffer_, width, height)};
    if (!mem) {
        return;
    }
    if (drawer_ != nullptr) {
        drawer_->draw(*mem.get(), 0, 0, width, height);
    } else {
        BackBuffer::fill(*mem.get(), width, height, background);
    }
    if (excludeClient) {
        // The target is the whole window's: the client area (and every child in it) lies
        // at its offset in the frame, not at the origin.
        RECT client;
        GetClientRect(frame, &client);
        MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
        RECT window;
        GetWindowRect(frame, &window);
        OffsetRect(&client, -window.left, -window.top);
        ExcludeClipRect(target, client.left, client.top, client.right, client.bottom);
    } else {
        // Children paint themselves.
        BackBuffer::excludeChildren(frame, target);
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
