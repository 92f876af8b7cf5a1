#include "widgets/gui/win/ComponentState.h"

#include "widgets/gui/IContainer.h"

namespace s::gui::win {

namespace {

uint32_t rgb(int32_t r, int32_t g, int32_t b) {
    return static_cast<uint32_t>(r & 0xFF) | static_cast<uint32_t>(g & 0xFF) << 8 |
           static_cast<uint32_t>(b & 0xFF) << 16;
}

// The percent share of a parent's inner size, truncated toward zero.
int32_t percentOf(int32_t inner, int32_t percent) {
    return static_cast<int32_t>(static_cast<int64_t>(inner) * percent / 100);
}

} // namespace

void ComponentState::reset() {
    window = nullptr;
    parent = nullptr;
    backBuffer = nullptr;
    frozen = 0;
    pending = 0;
    visible = 1;
    backgroundInherited = 0;
    x = y = dx = dy = 0;
    width = height = 0;
    contentWidth = contentHeight = 0;
    minimumWidth = minimumHeight = 0;
    widthPercent = heightPercent = -1;
    fixedWidth = fixedHeight = -1;
    background = rgb(255, 255, 255);
    paddingLeft = paddingRight = paddingTop = paddingBottom = 0;
}

void ComponentState::move(HWND handle, UINT flags) const {
    // A hidden component is only moved: a layout records where it would lie, and a later
    // move (an offset, a size) must not show it there over the shown ones.
    const UINT applied = visible != 0 ? flags : flags & ~static_cast<UINT>(SWP_SHOWWINDOW);
    if (handle == nullptr || isPlaced(handle, applied)) {
        return;
    }
    SetWindowPos(handle, nullptr, x + dx, y + dy, width, height, applied);
}

bool ComponentState::isPlaced(HWND handle, UINT flags) const {
    // Every layout pass places every child again, and each move costs the window server a
    // round trip and a burst of messages: a shown window already in place is left alone.
    if ((flags & SWP_SHOWWINDOW) != 0 && (GetWindowLongW(handle, GWL_STYLE) & WS_VISIBLE) == 0) {
        return false;
    }
    RECT now;
    if (!GetWindowRect(handle, &now)) {
        return false;
    }
    MapWindowPoints(HWND_DESKTOP, GetParent(handle), reinterpret_cast<POINT*>(&now), 2);
    const bool moved = (flags & SWP_NOMOVE) == 0 && (now.left != x + dx || now.top != y + dy);
    const bool sized = (flags & SWP_NOSIZE) == 0 && (now.right - now.left != width || now.bottom - now.top != height);
    return !moved && !sized;
}

void ComponentState::place(HWND handle, UINT flags) {
    // While frozen the new values are only recorded; thaw applies them with one move.
    if (frozen != 0) {
        pending = 1;
    } else {
        move(handle, flags);
    }
}

void ComponentState::setPosition(HWND handle, int32_t newX, int32_t newY) {
    x = newX;
    y = newY;
    place(handle, MOVE_FLAGS);
}

void ComponentState::setSize(HWND handle, int32_t w, int32_t h) {
    width = w;
    height = h;
    place(handle, SIZE_FLAGS);
}

void ComponentState::setBounds(HWND handle, int32_t newX, int32_t newY, int32_t w, int32_t h) {
    x = newX;
    y = newY;
    width = w;
    height = h;
    place(handle, BOUNDS_FLAGS);
}

void ComponentState::setOffset(HWND handle, int32_t newDx, int32_t newDy) {
    dx = newDx;
    dy = newDy;
    place(handle, MOVE_FLAGS);
}

void ComponentState::addOffset(HWND handle, int32_t moreDx, int32_t moreDy) {
    setOffset(handle, dx + moreDx, dy + moreDy);
}

void ComponentState::thaw(IComponent& self) {
    frozen = 0;
    if (self.isVisible()) {
        self.setBounds(x, y, width, height);
        pending = 0;
    }
}

int32_t ComponentState::screenX(HWND handle) const {
    if (handle == nullptr) {
        return dx + x;
    }
    POINT origin = {0, 0};
    ClientToScreen(handle, &origin);
    return origin.x;
}

int32_t ComponentState::screenY(HWND handle) const {
    if (handle == nullptr) {
        return dy + y;
    }
    POINT origin = {0, 0};
    ClientToScreen(handle, &origin);
    return origin.y;
}

bool ComponentState::contains(const IComponent& self, int32_t sx, int32_t sy) const {
    if (!self.isVisible()) {
        return false;
    }
    const int32_t left = self.getScreenX();
    const int32_t top = self.getScreenY();
    return sx >= left && sx <= left + self.getWidth() && sy >= top && sy <= top + self.getHeight();
}

int32_t ComponentState::innerWidth() const {
    const int32_t inner = width - paddingLeft - paddingRight;
    return inner > 0 ? inner : 0;
}

int32_t ComponentState::innerHeight() const {
    const int32_t inner = height - paddingTop - paddingBottom;
    return inner > 0 ? inner : 0;
}

int32_t ComponentState::layoutWidth() const {
    if (fixedWidth >= 0) {
        return fixedWidth;
    }
    if (widthPercent >= 0 && parent != nullptr) {
        return percentOf(parent->getInnerWidth(), widthPercent);
    }
    return paddingLeft + paddingRight + (contentWidth > minimumWidth ? contentWidth : minimumWidth);
}

int32_t ComponentState::layoutHeight() const {
    if (fixedHeight >= 0) {
        return fixedHeight;
    }
    if (heightPercent >= 0 && parent != nullptr) {
        return percentOf(parent->getInnerHeight(), heightPercent);
    }
    return paddingTop + paddingBottom + (contentHeight > minimumHeight ? contentHeight : minimumHeight);
}

void ComponentState::setSizeClamped(IComponent& self, int32_t w, int32_t h) const {
    const int32_t maxW = self.getLayoutWidth();
    const int32_t maxH = self.getLayoutHeight();
    const int32_t prefW = self.getPreferredWidth();
    const int32_t prefH = self.getPreferredHeight();
    int32_t newW = w < maxW ? w : maxW;
    if (newW < prefW) {
        newW = prefW;
    }
    int32_t newH = h < maxH ? h : maxH;
    if (newH < prefH) {
        newH = prefH;
    }
    self.setSize(newW, newH);
}

void ComponentState::setVisible(IComponent& self, HWND handle, bool show) {
    if (show) {
        if (visible != 0) {
            return;
        }
        visible = 1;
        if (handle != nullptr) {
            ShowWindow(handle, SW_SHOW);
            if (parent != nullptr) {
                parent->relayout();
            }
        }
        return;
    }
    if (visible == 0) {
        return;
    }
    visible = 0;
    if (handle != nullptr) {
        // Parked first: a hidden control off screen never takes the focus by Tab.
        self.setPosition(PARKED_X, PARKED_Y);
        ShowWindow(handle, SW_HIDE);
    }
}

void ComponentState::centre(IComponent& self, bool horizontally, bool vertically) const {
    if (parent == nullptr) {
        return;
    }
    int32_t newX = x;
    int32_t newY = y;
    if (horizontally) {
        const int32_t room = parent->getInnerWidth();
        newX = width < room ? (room - width) / 2 : 0;
    }
    if (vertically) {
        const int32_t room = parent->getInnerHeight();
        newY = height < room ? (room - height) / 2 : 0;
    }
    self.setPosition(newX, newY);
}

void ComponentState::setBackground(HWND handle, uint32_t colour, bool redraw) {
    background = colour & 0xFFFFFF;
    backgroundInherited = 0;
    if (redraw && isVisible(handle)) {
        redrawNow(handle);
    }
}

void ComponentState::setBackgroundInherited(HWND handle, bool redraw) {
    backgroundInherited = 1;
    if (redraw && isVisible(handle)) {
        redrawNow(handle);
    }
}

uint32_t ComponentState::effectiveBackground(const IComponent& self) {
    const IComponent* at = &self;
    // The window never inherits; a detached chain ends at its last member's own colour.
    while (at->isBackgroundInherited() && at->getParent() != nullptr) {
        at = at->getParent();
    }
    return at->getBackground();
}

uint32_t ComponentState::lightColour(uint32_t colour) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t c = colour >> shift & 0xFF;
        out |= (255 - ((255 - c) >> 1)) << shift;
    }
    return out;
}

void ComponentState::invalidateRect(HWND handle, int32_t rx, int32_t ry, int32_t w, int32_t h) const {
    if (!isOnScreen(handle)) {
        return;
    }
    const RECT area = {rx, ry, rx + w, ry + h};
    RedrawWindow(handle, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool ComponentState::isOnScreen(HWND handle) const {
    // A window under a hidden one has nothing to repaint: showing paints it whole. While a
    // window is built hidden, every layout run would otherwise redraw every child.
    return isVisible(handle) && IsWindowVisible(handle);
}

void ComponentState::redrawNow(HWND handle) const {
    if (isOnScreen(handle)) {
        RedrawWindow(handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

} // namespace s::gui::win
