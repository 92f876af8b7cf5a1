#include "widgets/gui/win/Slider.h"

#include <cmath>

#include "drawers/gui/drawer/ISkin.h"
#include "drawers/gui/drawer/ISlider.h"
#include "system/monitor/UiScale.h"
#include "widgets/gui/win/MessageArgs.h"
#include "widgets/gui/win/OffscreenPaint.h"
#include "widgets/gui/win/ToolkitWindowClass.h"

namespace s::gui::win {

Slider::Slider() {
    reset();
}

Slider::~Slider() = default;

Slider* Slider::create(int32_t widthPercent, int32_t heightPercent) {
    Slider* slider = pool();
    if (slider == nullptr) {
        return nullptr;
    }
    slider->position_ = 100;
    slider->noTicks_ = 0;
    slider->setPercentSize(widthPercent >= 0 ? widthPercent : -1, heightPercent >= 0 ? heightPercent : -1);
    return slider;
}

Slider* Slider::create(int32_t range, int32_t position, int32_t tickFrequency) {
    Slider* slider = create(-1, -1);
    if (slider != nullptr) {
        slider->setRange(0, range);
        slider->setPosition(position);
        slider->setTickFrequency(tickFrequency);
    }
    return slider;
}

void Slider::reset() {
    resetComponent();
    state_.background = 0xFFFFFF;
    transparent_ = 1;
    thumbLength_ = 0;
    enabled_ = 1;
    noTicks_ = 1;
    minimum_ = 0;
    maximum_ = 100;
    position_ = 0;
    tickFrequency_ = 10;
    listeners_.clear();
    drawer_.drop();
    displayFlag_ = 0;
    drawerValue_ = 0;
    dragging_ = moved_ = rangeMode_ = draggedThumb_ = 0;
    secondPosition_ = 100;
    values_[0] = values_[1] = values_[2] = 0;
    painted_[0] = painted_[1] = painted_[2] = 0;
}

void Slider::setParent(IContainer* container) {
    const DWORD ticks = noTicks_ != 0 ? TBS_NOTICKS : TBS_AUTOTICKS;
    const DWORD style = WS_CHILD | WS_TABSTOP | TBS_TOP | ticks | (thumbLength_ > 0 ? TBS_FIXEDLENGTH : 0);
    if (container == nullptr) {
        attachNative(nullptr, nullptr, nullptr, 0);
        return;
    }
    if (!attachOrReport(container, TRACKBAR_CLASSW, style)) {
        return;
    }
    SetLongPtr(GWLP_ID, CONTROL_ID);
    pushState();
    const int32_t scale = system::monitor::uiScale();
    setContentSize(50 * scale, 20 * scale);
    setMinimumSize(50 * scale, 20 * scale);
    container->relayout();
}

void Slider::pushState() {
    if (enabled_ == 0) {
        Enable(false);
    }
    SetRange(minimum_, maximum_, true);
    SendMessage(TBM_SETPOS, TRUE, position_);
    SetTicFreq(tickFrequency_);
    SetPageSize(10 * tickFrequency_);
    SetLineSize(tickFrequency_);
    if (thumbLength_ > 0) {
        SetThumbLength(thumbLength_);
    }
}

void Slider::setEnabled(bool enabled) {
    enabled_ = enabled ? 1 : 0;
    if (m_hWnd != nullptr) {
        Enable(enabled);
    }
}

void Slider::setThumbLength(int32_t length) {
    thumbLength_ = length;
    if (m_hWnd != nullptr && length > 0) {
        ModifyStyle(0, TBS_FIXEDLENGTH);
        SetThumbLength(length);
    }
}

void Slider::setRange(int32_t minimum, int32_t maximum) {
    minimum_ = minimum;
    maximum_ = maximum < minimum ? minimum : maximum;
    position_ = clampFirst(position_);
    if (m_hWnd != nullptr) {
        SetRange(minimum_, maximum_, true);
    }
}

int32_t Slider::clampFirst(int32_t value) const {
    if (rangeMode_ != 0 && value > secondPosition_ - 1) {
        value = secondPosition_ - 1;
    }
    return value < minimum_ ? minimum_ : value > maximum_ ? maximum_ : value;
}

int32_t Slider::clampSecond(int32_t value) const {
    if (rangeMode_ != 0 && value < position_ + 1) {
        value = position_ + 1;
    }
    return value < minimum_ ? minimum_ : value > maximum_ ? maximum_ : value;
}

void Slider::setPosition(int32_t value) {
    position_ = clampFirst(value);
    if (m_hWnd != nullptr) {
        SendMessage(TBM_SETPOS, TRUE, position_);
    }
}

void Slider::setSecondPosition(int32_t value) {
    secondPosition_ = clampSecond(value);
}

void Slider::setTickFrequency(int32_t f) {
    tickFrequency_ = f;
    if (m_hWnd != nullptr) {
        SetTicFreq(f);
        SetPageSize(10 * f);
        SetLineSize(f);
    }
}

void Slider::setNoTicks(bool noTicks) {
    noTicks_ = noTicks ? 1 : 0;
    if (m_hWnd != nullptr) {
        ModifyStyle(noTicks ? TBS_AUTOTICKS : TBS_NOTICKS, noTicks ? TBS_NOTICKS : TBS_AUTOTICKS);
    }
}

void Slider::setDrawer(drawer::ISlider* drawer, bool owned) {
    drawer_.set(drawer, owned);
    redrawNow();
}

void Slider::setDisplayFlag(bool flag) {
    const uint8_t value = flag ? 1 : 0;
    if (value != displayFlag_) {
        displayFlag_ = value;
        redrawNow();
    }
}

void Slider::setDrawerValues(int32_t a, int32_t b, int32_t c) {
    values_[0] = a;
    values_[1] = b;
    values_[2] = c;
    redrawNow();
}

int32_t Slider::valueAt(int32_t minimum, int32_t maximum, int32_t coordinate, int32_t left, int32_t right) {
    if (right <= left) {
        return minimum;
    }
    const double value = static_cast<double>(maximum - minimum) * (coordinate - left) / (right - left) + minimum;
    const int32_t rounded = static_cast<int32_t>(std::lround(value));
    return rounded < minimum ? minimum : rounded > maximum ? maximum : rounded;
}

int32_t Slider::thumbX(int32_t width, int32_t minimum, int32_t maximum, int32_t value) {
    if (maximum <= minimum) {
        return 0;
    }
    return static_cast<int32_t>(static_cast<int64_t>(width - THUMB_WIDTH) * (value - minimum) / (maximum - minimum));
}

void Slider::readNativePosition() {
    int32_t value = GetPos();
    value = value < minimum_ ? minimum_ : value > maximum_ ? maximum_ : value;
    if (value != position_) {
        position_ = value;
        fireChange();
    }
}

void Slider::paint() {
    OffscreenPaint paint(m_hWnd);
    HDC dc = paint.dc();
    if (dc == nullptr) {
        return;
    }
    paint.background(this, transparent_ != 0, state_.background);
    const RECT& r = paint.client();
    drawer_->draw(dc, r.left, r.top, r.right, r.bottom, minimum_, maximum_, position_, displayFlag_ != 0, drawerValue_,
                  enabled_ != 0, rangeMode_ != 0, secondPosition_, values_[0], values_[1], values_[2]);
    if (painted_[0] != minimum_ || painted_[1] != maximum_ || painted_[2] != position_) {
        painted_[0] = minimum_;
        painted_[1] = maximum_;
        painted_[2] = position_;
        Invalidate(false);
    }
}

void Slider::pressAt(int32_t x, int32_t y) {
    draggedThumb_ = 0;
    if (rangeMode_ != 0) {
        RECT client = {};
        GetClientRect(&client);
        const int32_t first = thumbX(client.right, minimum_, maximum_, position_);
        const int32_t second = thumbX(client.right, minimum_, maximum_, secondPosition_);
        if (x >= first && x <= first + THUMB_WIDTH) {
            draggedThumb_ = 0;
        } else if (x >= second && x <= second + THUMB_WIDTH) {
            draggedThumb_ = 1;
        } else {
            return;
        }
    }
    SetCapture(m_hWnd);
    SetFocus();
    dragging_ = 1;
    moved_ = 0;
    followMouse(x, y);
}

void Slider::followMouse(int32_t x, int32_t y) {
    RECT channel = {};
    GetChannelRect(&channel);
    const bool vertical = (GetStyle() & TBS_VERT) != 0;
    const int32_t value = vertical ? valueAt(minimum_, maximum_, y, channel.top, channel.bottom)
                                   : valueAt(minimum_, maximum_, x, channel.left, channel.right);
    if (draggedThumb_ == 0) {
        const int32_t clamped = clampFirst(value);
        if (clamped != position_) {
            position_ = clamped;
            moved_ = 1;
            fireChange();
            SendMessage(TBM_SETPOS, TRUE, position_);
            ::PostMessageW(GetParent(), WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position_ & 0xFFFF),
                           reinterpret_cast<LPARAM>(m_hWnd));
        }
    } else {
        const int32_t clamped = clampSecond(value);
        if (clamped != secondPosition_) {
            secondPosition_ = clamped;
            moved_ = 1;
            fireChange();
            redrawNow();
        }
    }
}

LRESULT Slider::colour(HDC dc) {
    const IContainer* parent = state_.parent;
    if (transparent_ != 0 && parent == nullptr) {
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    const COLORREF colour = transparent_ != 0 ? parent->getEffectiveBackground() : state_.background;
    brush_.CreateSolidBrush(colour);
    SetBkColor(dc, colour);
    return reinterpret_cast<LRESULT>(static_cast<HBRUSH>(brush_));
}

LRESULT Slider::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case REFLECT_COLOUR:
        return colour(reinterpret_cast<HDC>(wParam));
    case WM_KEYDOWN:
        // Up reads as "more", as the thumb's value grows to the right.
        if (wParam == VK_UP || wParam == VK_DOWN) {
            return Native::WindowProc(message, wParam == VK_UP ? VK_NEXT : VK_PRIOR, lParam);
        }
        break;
    default:
        break;
    }
    if (drawer_) {
        switch (message) {
        case WM_PAINT:
            paint();
            return 0;
        case WM_ERASEBKGND:
        case WM_HSCROLL:
            return 1;
        case WM_LBUTTONDOWN:
            pressAt(MessageArgs::point(lParam).x, MessageArgs::point(lParam).y);
            return 0;
        case WM_MOUSEMOVE:
            if (dragging_ != 0) {
                followMouse(MessageArgs::point(lParam).x, MessageArgs::point(lParam).y);
            }
            return 0;
        case WM_LBUTTONUP:
            if (dragging_ != 0) {
                dragging_ = 0;
                ReleaseCapture();
            }
            return 0;
        case WM_MOUSEWHEEL: {
            POINT point = MessageArgs::point(lParam);
            RECT client = {};
            GetClientRect(&client);
            ScreenToClient(&point);
            if (PtInRect(&client, point)) {
                Native::WindowProc(message, wParam, lParam);
                readNativePosition();
            } else if (HWND top = GetAncestor(m_hWnd, GA_ROOT)) {
                ::SendMessageW(top, message, wParam, lParam);
            }
            return 0;
        }
        default:
            break;
        }
    }
    const LRESULT result = Native::WindowProc(message, wParam, lParam);
    if (message == WM_HSCROLL && !drawer_) {
        readNativePosition();
    }
    return result;
}

void Slider::takeSkinDrawer(drawer::ISkin* skin) {
    lendSkinDrawer(this, skin != nullptr ? skin->getSlider() : nullptr, drawer_.owned());
}

} // namespace s::gui::win
