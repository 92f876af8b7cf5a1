#include "widgets/gui/win/Button.h"

#include "system/monitor/UiScale.h"
#include "widgets/gui/win/FocusMark.h"

#include <utility>

#include <cwchar>

#include "drawers/gui/drawer/IButton.h"
#include "drawers/gui/drawer/ISkin.h"
#include "drawers/gui/win/Font.h"
#include "drawers/gui/win/FontSetting.h"
#include "framework/CClientDC.h"
#include "widgets/gui/IContainer.h"
#include "widgets/gui/IWindow.h"
#include "widgets/gui/win/BufferedPaint.h"
#include "widgets/gui/win/MessageArgs.h"
#include "widgets/gui/win/ReflectedBrush.h"
#include "widgets/gui/win/TextSource.h"
#include "widgets/gui/win/ToolkitWindowClass.h"

namespace s::gui::win {

namespace {

// The size grip painted without a drawer: six white dots, each with a grey one up-left.
void paintGrip(HDC dc, int32_t w, int32_t h) {
    static const POINT dots[] = {{3, 11}, {3, 7}, {7, 7}, {3, 3}, {7, 3}, {11, 3}};
    for (const POINT& dot : dots) {
        const RECT grey = {w - dot.x - 1, h - dot.y - 1, w - dot.x + 1, h - dot.y + 1};
        const RECT white = {w - dot.x, h - dot.y, w - dot.x + 2, h - dot.y + 2};
        SetBkColor(dc, 0xA1B5B8);
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &grey, nullptr, 0, nullptr);
        SetBkColor(dc, 0xFFFFFF);
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &white, nullptr, 0, nullptr);
    }
}

} // namespace

Button::Button()
    : textId_(-1),
      normalSetting_(FontSetting::pool()),
      disabledSetting_(FontSetting::pool()),
      downSetting_(FontSetting::pool()),
      font_(nullptr),
      drawer_(nullptr),
      ownsDrawer_(0) {
    reset();
}

Button::~Button() {
    // The pool keeps no buttons: it destroys them without a reset.
    reset();
    for (FontSetting* setting : {normalSetting_, disabledSetting_, downSetting_}) {
        if (setting != nullptr) {
            setting->release();
        }
    }
    if (font_ != nullptr) {
        font_->release();
    }
}

Button* Button::createWithText(const wchar_t* caption, int32_t fixedWidth, int32_t fixedHeight) {
    Button* button = pool();
    if (button == nullptr) {
        return nullptr;
    }
    button->setText(caption);
    button->setEnabled(true);
    if (fixedWidth >= 0) {
        button->setFixedWidth(fixedWidth);
    }
    if (fixedHeight >= 0) {
        button->setFixedHeight(fixedHeight);
    }
    return button;
}

Button* Button::createWithTextIdAndWidthPercent(int32_t textId, int32_t fixedHeight, double widthPercent) {
    Button* button = createWithText(L"", -1, fixedHeight);
    if (button != nullptr) {
        button->setTextId(textId);
        if (widthPercent >= 0) {
            button->setWidthPercent(static_cast<int32_t>(widthPercent));
        }
    }
    return button;
}

Button* Button::createWithTextIdAndSize(int32_t textId, int32_t fixedWidth, int32_t fixedHeight) {
    Button* button = createWithText(L"", fixedWidth, fixedHeight);
    if (button != nullptr) {
        button->setTextId(textId);
    }
    return button;
}

Button* Button::createChangeColor() {
    Button* button = createWithText(L" Change Color ", -1, -1);
    if (button != nullptr) {
        button->setEnabled(false);
    }
    return button;
}

Button* Button::createChangeColorWithTextId() {
    Button* button = createWithTextIdAndSize(2000003000, -1, -1);
    if (button != nullptr) {
        button->setEnabled(false);
    }
    return button;
}

void Button::reset() {
    resetComponent();
    state_.background = GetSysColor(COLOR_BTNFACE);
    state_.backgroundInherited = 1;
    textId_ = -1;
    caption_.clear();
    for (FontSetting* setting : {normalSetting_, disabledSetting_, downSetting_}) {
        if (setting != nullptr) {
            setting->reset();
        }
    }
    enabled_ = 1;
    clickListeners_.clear();
    afterClickListeners_.clear();
    pressListeners_.clear();
    repeat_ = 0;
    pressPoint_ = POINT{0, 0};
    setDrawer(nullptr, false);
    look_ = 1;
    toggleable_ = 0;
    releasable_ = 1;
    inverted_ = 0;
    option_ = 0;
    toggled_ = 0;
    default_ = 0;
    visualState_ = 0;
    pressed_ = 0;
}

FontProperties* Button::fontAt(int32_t index) const {
    return index == 0 ? static_cast<FontProperties*>(normalSetting_)
                      : index == 1 ? static_cast<FontProperties*>(disabledSetting_) : downSetting_;
}

void Button::takeSkinDrawer(drawer::ISkin* skin) {
    lendSkinDrawer(this, skin != nullptr ? skin->getButton() : nullptr, ownsDrawer_ != 0);
}

void Button::onEvent(base::IObject* source, int32_t) {
    if (takeSkinDrawerOn(source)) {
        return;
    }
    IWindow* window = getWindow();
    if (window != nullptr && window->hasLocalizer() && source == window->getLocalizer() && textId_ != -1) {
        setTextId(textId_);
    }
}

void Button::setParent(IContainer* container) {
    // The size grip is dragged, never focused: no tab stop.
    const DWORD style = isResizer() ? STYLE & ~static_cast<DWORD>(WS_TABSTOP) : STYLE;
    if (!attachControl(container, WC_BUTTONW, caption_.c_str(), style, 0, CONTROL_ID)) {
        // Without a native window yet (a held box) its caption still follows the language.
        if (container != nullptr && TextSource::join(this)) {
            if (const wchar_t* text = TextSource::text(this, textId_)) {
                caption_ = text;
            }
        }
        return;
    }
    TextSource::join(this);
    if (const wchar_t* text = TextSource::text(this, textId_)) {
        caption_ = text;
    }
    SetText(caption_.c_str());
    if (enabled_ == 0) {
        Enable(false);
    }
    measure();
}

void Button::setEnabled(bool enabled) {
    enabled_ = enabled ? 1 : 0;
    if (m_hWnd != nullptr) {
        Enable(enabled);
    }
}

void Button::setText(const wchar_t* text) {
    caption_ = text != nullptr ? text : L"";
    if (m_hWnd != nullptr) {
        SetText(caption_.c_str());
        measure();
    }
}

void Button::setTextId(int32_t id) {
    textId_ = id;
    if (const wchar_t* text = TextSource::text(this, id)) {
        setText(text);
    }
}

void Button::setDrawer(drawer::IButton* drawer, bool owned) {
    if (drawer_ != nullptr && ownsDrawer_ != 0 && drawer_ != drawer) {
        drawer_->release();
    }
    drawer_ = drawer;
    ownsDrawer_ = owned ? 1 : 0;
    if (drawer_ != nullptr) {
        // The skin colours the caption; what the button set itself stays.
        const std::pair<FontSetting*, FontSetting*> pairs[] = {{normalSetting_, drawer_->getNormalFontSetting()},
                                                               {downSetting_, drawer_->getNormalFontSetting()},
                                                               {disabledSetting_, drawer_->getDisabledFontSetting()}};
        for (const auto& pair : pairs) {
            if (pair.second != nullptr) {
                pair.second->setFontCode(pair.first->getFontCode());
                pair.first->inheritFrom(pair.second);
            }
        }
    }
    repaint();
}

void Button::setLook(bool on) {
    look_ = on ? 1 : 0;
    repaint();
}

void Button::setToggleOptions(bool toggleable, bool releasable, bool inverted, bool option) {
    toggleable_ = toggleable ? 1 : 0;
    releasable_ = releasable ? 1 : 0;
    inverted_ = inverted ? 1 : 0;
    option_ = option ? 1 : 0;
}

void Button::setToggled(bool toggled) {
    const uint8_t value = toggled ? 1 : 0;
    if (value != toggled_) {
        toggled_ = value;
        repaint();
    }
}

void Button::makeDefault() {
    if (m_hWnd != nullptr) {
        SendMessage(MSG_MAKE_DEFAULT);
    }
}

void Button::clearDefault() {
    if (m_hWnd != nullptr) {
        SendMessage(MSG_CLEAR_DEFAULT);
    }
}

void Button::setColorCaption(int32_t red, int32_t green, int32_t blue) {
    wchar_t text[24];
    swprintf(text, 24, L"#Color-%08lx", static_cast<unsigned long>(FontProperties::colour(red, green, blue)));
    setText(text);
}

void Button::measure() {
    if (m_hWnd == nullptr) {
        return;
    }
    if (drawer_ != nullptr && state_.fixedWidth >= 0 && state_.fixedHeight >= 0) {
        setContentSize(state_.fixedWidth, state_.fixedHeight);
        setMinimumSize(state_.fixedWidth, state_.fixedHeight);
    } else {
        if (font_ == nullptr) {
            font_ = static_cast<Font*>(normalSetting_->createFont());
        } else {
            font_->copyProperties(*normalSetting_);
        }
        if (font_ != nullptr) {
            SetFont(font_->getHandle());
        }
        SIZE ideal;
        GetIdealSize(&ideal);
        setContentSize(ideal.cx, ideal.cy);
        setMinimumSize(ideal.cx, ideal.cy);
    }
    if (IContainer* parent = getParent()) {
        parent->relayout();
    }
}

int32_t Button::captionWidth() const {
    IFont* font = m_hWnd != nullptr ? normalSetting_->createFont() : nullptr;
    if (font == nullptr) {
        return 0;
    }
    SIZE size = {0, 0};
    {
        CClientDC dc(m_hWnd);
        dc.SelectObject(static_cast<Font*>(font)->getHandle());
        dc.GetTextExtent(caption_.c_str(), static_cast<int>(caption_.size()), &size);
    }
    font->release();
    return size.cx;
}

bool Button::containsClientPoint(POINT point) const {
    RECT client;
    return GetClientRect(&client) && point.x >= 0 && point.y >= 0 && point.x <= client.right &&
           point.y <= client.bottom;
}

void Button::press() {
    pressed_ = 1;
    visualState_ = 2;
    pressListeners_.fire(this, PRESS);
    if (repeat_ != 0 && m_hWnd != nullptr) {
        SetTimer(FIRST_REPEAT_TIMER, FIRST_REPEAT_MS);
    }
}

void Button::endPress() {
    if (m_hWnd != nullptr) {
        KillTimer(FIRST_REPEAT_TIMER);
        KillTimer(REPEAT_TIMER);
    }
    visualState_ = 0;
    pressed_ = 0;
}

void Button::click() {
    clickListeners_.fire(this, CLICK);
    if (toggleable_ != 0 && enabled_ != 0 && (toggled_ == 0 || releasable_ != 0)) {
        toggled_ = toggled_ != 0 ? 0 : 1;
    }
    repaint();
    afterClickListeners_.fire(this, AFTER_CLICK);
}

void Button::onMouseMove(WPARAM wParam, LPARAM lParam) {
    const POINT point = MessageArgs::point(lParam);
    POINT screen = point;
    ClientToScreen(&screen);
    const bool inside = containsClientPoint(point);
    const int32_t before = visualState_;
    if (pressed_ == 0) {
        if (inside) {
            if (MessageArgs::leftButton(wParam)) {
                return;
            }
            visualState_ = 1;
            if (GetCapture() != m_hWnd) {
                SetCapture(m_hWnd);
                if (isResizer()) {
                    SetCursor(LoadCursorW(nullptr, IDC_SIZENWSE));
                }
            }
        } else {
            if (GetCapture() == m_hWnd) {
                ReleaseCapture();
                if (isResizer()) {
                    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
                }
            }
            visualState_ = 0;
        }
    } else {
        visualState_ = inside ? 2 : 0;
        if (screen.x != pressPoint_.x || screen.y != pressPoint_.y) {
            dragStep(screen);
        }
    }
    if (visualState_ != before) {
        repaint();
    }
}

void Button::dragStep(POINT screen) {
    IWindow* window = getWindow();
    HWND frame = window != nullptr ? window->getFrameHandle() : nullptr;
    if (!isResizer() || frame == nullptr || !window->isResizable()) {
        pressPoint_ = screen;
        return;
    }
    const int32_t width = window->getWidth();
    const int32_t height = window->getHeight();
    int32_t newWidth = width + screen.x - pressPoint_.x;
    int32_t newHeight = height + screen.y - pressPoint_.y;
    // Never below what the window's content needs.
    newWidth = newWidth < window->getPreferredWidth() ? window->getPreferredWidth() : newWidth;
    newHeight = newHeight < window->getPreferredHeight() ? window->getPreferredHeight() : newHeight;
    // The window's sizing rules and listeners see the grip's drag as a drag of its frame.
    RECT rect = {window->getX(), window->getY(), window->getX() + newWidth, window->getY() + newHeight};
    ::SendMessageW(frame, WM_SIZING, WMSZ_BOTTOMRIGHT, MessageArgs::lparam(&rect));
    window->setSize(rect.right - rect.left, rect.bottom - rect.top);
    pressPoint_.x += window->getWidth() - width;
    pressPoint_.y += window->getHeight() - height;
}

void Button::repaint() const {
    if (m_hWnd != nullptr) {
        Redraw(nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

void Button::paint() {
    BufferedPaint paint(this, m_hWnd, nullptr, state_.backgroundInherited != 0, state_.background);
    HDC dc = paint.dc();
    if (dc == nullptr) {
        return;
    }
    const int32_t w = paint.width();
    const int32_t h = paint.height();
    if (drawer_ == nullptr) {
        paintGrip(dc, w, h);
        return;
    }
    const bool shownDown = isResizer() ? toggled_ != 0 : (inverted_ != 0) != (toggled_ != 0);
    int32_t state = isResizer() ? 0 : visualState_;
    if (toggled_ != 0 && releasable_ == 0 && (state == 1 || state == 2)) {
        state = 0;
    }
    FontSetting* setting = enabled_ == 0 ? disabledSetting_ : shownDown ? downSetting_ : normalSetting_;
    IFont* font = setting->createFont();
    drawer_->draw(dc, 0, 0, w, h, state, caption_.c_str(), isResizer() ? false : look_ != 0,
                  static_cast<Font*>(font), enabled_ != 0, shownDown, option_ != 0);
    if (font != nullptr) {
        font->release();
    }
    if (!isResizer()) {
        const int32_t s = system::monitor::uiScale();
        FocusMark::draw(m_hWnd, dc, RECT{3 * s, 3 * s, w - 3 * s, h - 3 * s});
    }
}

LRESULT Button::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (preHook(&result, message, wParam, lParam)) {
        return result;
    }
    result = Native::WindowProc(message, wParam, lParam);
    postHook(message);
    return result;
}

bool Button::preHook(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam) {
    *result = 0;
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (paintsItself()) {
            FocusMark::follow(m_hWnd, message);
        }
        return false;
    case WM_PAINT:
        if (!paintsItself()) {
            return false;
        }
        paint();
        return true;
    case WM_UPDATEUISTATE:
        return paintsItself();
    case WM_ERASEBKGND:
        *result = 1;
        return true;
    case WM_NCHITTEST:
        *result = Native::WindowProc(message, wParam, lParam);
        if (enabled_ == 0 || (toggled_ != 0 && releasable_ == 0)) {
            *result = HTTRANSPARENT;
        }
        return true;
    case WM_GETDLGCODE:
        *result = MessageArgs::keysWanted(Native::WindowProc(message, wParam, lParam), lParam);
        return true;
    case WM_KEYDOWN:
        // Enter presses the focused button, as in a dialog.
        if (wParam == VK_RETURN) {
            click();
            return true;
        }
        // The window hears every other key (Tab of a question window); Space stays the
        // control's own, so the keyboard still clicks it.
        return forwardKeyToParent(wParam, lParam) && wParam != VK_SPACE;
    case WM_TIMER:
        if (wParam != FIRST_REPEAT_TIMER && wParam != REPEAT_TIMER) {
            return false;
        }
        if (pressed_ != 0 && repeat_ != 0) {
            POINT cursor;
            RECT screen;
            if (GetCursorPos(&cursor) && GetWindowRect(&screen) && PtInRect(&screen, cursor)) {
                if (wParam == FIRST_REPEAT_TIMER) {
                    KillTimer(FIRST_REPEAT_TIMER);
                    SetTimer(REPEAT_TIMER, REPEAT_MS);
                } else {
                    pressListeners_.fire(this, PRESS);
                }
            }
        }
        return true;
    case WM_MOUSEMOVE:
        onMouseMove(wParam, lParam);
        return false;
    case WM_LBUTTONDOWN: {
        const POINT point = MessageArgs::point(lParam);
        pressPoint_ = point;
        ClientToScreen(&pressPoint_);
        if (containsClientPoint(point)) {
            press();
        }
        return false;
    }
    case WM_LBUTTONUP:
        if (pressed_ != 0) {
            POINT screen = MessageArgs::point(lParam);
            ClientToScreen(&screen);
            if (screen.x != pressPoint_.x || screen.y != pressPoint_.y) {
                dragStep(screen);
            }
            endPress();
        }
        return false;
    case WM_CAPTURECHANGED:
        // Another window took the mouse: the press (and its repeat) is over.
        if (pressed_ != 0 && reinterpret_cast<HWND>(lParam) != m_hWnd) {
            endPress();
            repaint();
        }
        return false;
    case WM_MOUSEWHEEL: {
        const POINT point = MessageArgs::point(lParam);
        IWindow* window = getWindow();
        if (!contains(point.x, point.y) && window != nullptr && window->getFrameHandle() != nullptr) {
            ::SendMessageW(window->getFrameHandle(), WM_MOUSEWHEEL, wParam, lParam);
        }
        return true;
    }
    case MSG_MAKE_DEFAULT:
    case MSG_CLEAR_DEFAULT: {
        const UINT style = GetButtonStyle();
        const bool on = message == MSG_MAKE_DEFAULT;
        SetButtonStyle(on ? style | BS_DEFPUSHBUTTON : style & ~static_cast<UINT>(BS_DEFPUSHBUTTON), true);
        default_ = on ? 1 : 0;
        return true;
    }
    case MSG_FOCUS:
        SetFocus();
        return true;
    case REFLECT_COLOUR:
        if (paintsItself()) {
            return false;
        }
        *result = ReflectedBrush::answer(this, &brush_, reinterpret_cast<HDC>(wParam), state_.backgroundInherited != 0,
                                         state_.background, normalSetting_->getTextColour());
        return true;
    case REFLECT_EDIT_CHANGE:  // BN_DOUBLECLICKED
        press();
        click();
        return true;
    case REFLECT_CLICKED:
        click();
        return true;
    default:
        return false;
    }
}

void Button::postHook(UINT message) {
    if ((message == WM_ENABLE || message == WM_SETTEXT) && paintsItself()) {
        repaint();
    }
}

} // namespace s::gui::win
