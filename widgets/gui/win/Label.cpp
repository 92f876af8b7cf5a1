#include "widgets/gui/win/Label.h"

#include "drawers/gui/drawer/text/win/Basic.h"

#include "core/thread/Held.h"
#include "drawers/gui/drawer/ISkin.h"
#include "drawers/gui/drawer/IText.h"
#include "drawers/gui/win/Font.h"
#include "framework/CPaintDC.h"
#include "images/image/win/BufferedImage.h"
#include "system/lang/Localizer.h"
#include "system/shell/win/Shell.h"
#include "widgets/gui/IContainer.h"
#include "widgets/gui/IWindow.h"
#include "widgets/gui/win/BackBuffer.h"
#include "widgets/gui/win/MemDC.h"
#include "widgets/gui/win/MessageArgs.h"
#include "widgets/gui/win/ToolkitWindowClass.h"

namespace s::gui::win {

namespace {

// Where a hidden label is parked.
constexpr int32_t HIDDEN_X = -10000;
constexpr int32_t HIDDEN_Y = -10000;
// The height a text wrapped to a width may take at most.
constexpr int32_t UNBOUNDED = 0x3FFFFFFF;

} // namespace

Label::Label()
    : font_(Font::pool()), disabledFont_(nullptr), normalFont_(nullptr), hoverFont_(nullptr), pressedFont_(nullptr),
      drawer_(nullptr), buffer_(nullptr) {
    setDefaults();
}

Label::~Label() {
    reset();
    if (font_ != nullptr) {
        font_->release();
    }
}

void Label::setDefaults() {
    textId_ = -1;
    hasSaved_ = 0;
    enabled_ = 1;
    drawerOwned_ = 0;
    clickable_ = 0;
    pressed_ = 0;
    mouseState_ = 0;
    // A label shows its text over what lies beneath it.
    state_.backgroundInherited = 1;
}

void Label::reset() {
    if (GetSafeHwnd() != nullptr && onUiThread()) {
        KillTimer(TEMPORARY_TIMER);
    }
    resetComponent();
    if (GetSafeHwnd() != nullptr) {
        setParent(nullptr);
    }
    if (drawer_ != nullptr && drawerOwned_ != 0) {
        drawer_->release();
    }
    drawer_ = nullptr;
    releaseFonts();
    if (font_ != nullptr) {
        font_->reset();
    }
    text_.clear();
    saved_.clear();
    url_.clear();
    fitWidths_.clear();
    fitHeights_.clear();
    BackBuffer::release(&buffer_);
    clickListeners_.clear();
    setDefaults();
}

Label* Label::createWithText(const wchar_t* text, bool wordWrap, bool endEllipsis, int32_t fontCode) {
    Label* label = pool();
    if (label != nullptr) {
        label->setText(text, true);
        label->setWordWrap(wordWrap);
        label->setEndEllipsis(endEllipsis);
        label->setFontCode(fontCode);
    }
    return label;
}

Label* Label::createWithTextId(int32_t textId, bool wordWrap, bool endEllipsis, int32_t fontCode) {
    Label* label = pool();
    if (label != nullptr) {
        label->setTextId(textId);
        label->setWordWrap(wordWrap);
        label->setEndEllipsis(endEllipsis);
        label->setFontCode(fontCode);
    }
    return label;
}

bool Label::onUiThread() const {
    HWND handle = GetSafeHwnd();
    return handle == nullptr || GetWindowThreadProcessId(handle, nullptr) == GetCurrentThreadId();
}

void Label::takeSkinDrawer(drawer::ISkin* skin) {
    lendSkinDrawer(this, skin != nullptr ? skin->getText() : nullptr, drawerOwned_ != 0, &drawer::text::win::Basic::pool);
}

void Label::takeBasicDrawer() {
    holdBasicDrawer(this, drawer_ != nullptr, &drawer::text::win::Basic::pool);
}

void Label::onEvent(base::IObject* source, int32_t) {
    if (takeSkinDrawerOn(source)) {
        return;
    }
    IWindow* window = state_.window;
    if (window != nullptr && window->hasLocalizer() &&
        source == static_cast<base::IObject*>(window->getLocalizer()) && textId_ != -1) {
        setText(window->getLocalizer()->getText(textId_), true);
    }
}

// Attaching and visibility -------------------------------------------------------------

void Label::setParent(IContainer* container) {
    if (container == nullptr) {
        attachNative(nullptr, nullptr, nullptr, 0);
        return;
    }
    attachTo(container);
    IWindow* window = state_.window;
    if (window != nullptr && window->hasLocalizer()) {
        window->getLocalizer()->addListener(this);
    }
    if (container->getNativeHandle() == nullptr || GetSafeHwnd() != nullptr) {
        return;
    }
    if (!registerToolkitWindowClass()) {
        return;
    }
    if (!attachNative(container, TOOLKIT_WINDOW_CLASS, L"", WS_CHILD, WS_EX_TRANSPARENT)) {
        showCreationFailed(MB_ICONWARNING);
        return;
    }
    if (!enabled_) {
        Enable(false);
    }
    if (textId_ != -1 && window != nullptr && window->hasLocalizer()) {
        showText(window->getLocalizer()->getText(textId_), false);
    }
    remeasure();
}

void Label::setVisible(bool visible) {
    HWND handle = GetSafeHwnd();
    if (visible) {
        if (state_.visible != 0) {
            return;
        }
        state_.visible = 1;
        if (handle != nullptr) {
            ShowWindow(handle, SW_SHOW);
            if (state_.parent != nullptr) {
                state_.parent->relayout();
            }
        }
        return;
    }
    if (state_.visible == 0) {
        return;
    }
    state_.visible = 0;
    if (handle != nullptr) {
        ShowWindow(handle, SW_HIDE);
        state_.setPosition(handle, HIDDEN_X, HIDDEN_Y);
        ShowWindow(handle, SW_HIDE);
    }
}

void Label::setEnabled(bool enabled) {
    enabled_ = enabled ? 1 : 0;
    if (GetSafeHwnd() != nullptr) {
        Enable(enabled);
        redrawNow();
    }
}

// Texts ------------------------------------------------------------------------------------

bool Label::showText(const std::wstring& text, bool redraw) {
    if (text == text_) {
        return false;
    }
    if (GetSafeHwnd() != nullptr && !text_.empty()) {
        // The old glyphs go first, so a shorter text leaves nothing of them behind.
        text_.clear();
        if (redraw) {
            redrawNow();
        }
    }
    text_ = text;
    remeasure();
    if (redraw) {
        redrawNow();
    }
    return true;
}

bool Label::applyText(const std::wstring& text, bool redraw) {
    if (hasSaved_ != 0) {
        const bool changed = text != saved_;
        saved_ = text;
        return changed;
    }
    return showText(text, redraw);
}

bool Label::setText(const wchar_t* text, bool redraw) {
    if (!onUiThread()) {
        return SendMessage(MSG_SET_TEXT, MessageArgs::wparam(text), redraw ? 1 : 0) != 0;
    }
    return applyText(text != nullptr ? text : L"", redraw);
}

void Label::showTemporaryText(const wchar_t* text, uint32_t milliseconds) {
    if (GetSafeHwnd() != nullptr) {
        SendMessage(MSG_TEMPORARY_TEXT, MessageArgs::wparam(text), static_cast<LPARAM>(milliseconds));
    }
}

void Label::onTemporaryText(const wchar_t* text, UINT milliseconds) {
    KillTimer(TEMPORARY_TIMER);
    // An empty text is a text too: whether one is saved is a flag of its own.
    if (hasSaved_ == 0) {
        saved_ = text_;
        hasSaved_ = 1;
    }
    showText(text != nullptr ? text : L"", true);
    SetTimer(TEMPORARY_TIMER, milliseconds);
}

void Label::endTemporaryText() {
    KillTimer(TEMPORARY_TIMER);
    if (hasSaved_ == 0) {
        return;
    }
    // The flag goes last: until the saved text shows, the temporary one is still up.
    const std::wstring saved = saved_;
    showText(saved, true);
    hasSaved_ = 0;
    saved_.clear();
}

void Label::setTextId(int32_t id) {
    textId_ = id;
    IWindow* window = state_.window;
    if (id != -1 && window != nullptr && window->hasLocalizer()) {
        setText(window->getLocalizer()->getText(id), true);
    } else {
        setText(L"", true);
    }
}

// Measuring --------------------------------------------------------------------------------

void Label::remeasure() {
    fitWidths_.clear();
    fitHeights_.clear();
    if (GetSafeHwnd() == nullptr) {
        return;
    }
    if (drawer_ != nullptr) {
        int32_t wantedWidth = 0;
        int32_t wantedHeight = 0;
        int32_t minWidth = 0;
        int32_t minHeight = 0;
        HDC screen = GetDC(nullptr);
        drawer_->measureBlock(screen, text_.c_str(), enabled_ != 0 ? font_ : getDisabledFont(), &wantedWidth,
                              &wantedHeight, &minWidth, &minHeight);
        ReleaseDC(nullptr, screen);
        setContentSize(minWidth, minHeight);
        setMinimumSize(wantedWidth, wantedHeight);
    }
    if (state_.parent != nullptr) {
        state_.parent->relayout();
    }
}

void Label::setSizeClamped(int32_t w, int32_t h) {
    if (drawer_ == nullptr || GetSafeHwnd() == nullptr || w < 0) {
        Leaf::setSizeClamped(w, h);
        return;
    }
    const size_t at = static_cast<size_t>(w);
    if (fitWidths_.size() <= at) {
        fitWidths_.resize(at + 1, -1);
        fitHeights_.resize(at + 1, -1);
    }
    if (fitWidths_[at] < 0) {
        RECT area = {0, 0, w, UNBOUNDED};
        int32_t width = 0;
        int32_t height = 0;
        HDC screen = GetDC(nullptr);
        drawer_->measure(screen, &area, text_.c_str(), enabled_ != 0 ? font_ : getDisabledFont(), &width, &height);
        ReleaseDC(nullptr, screen);
        fitWidths_[at] = width;
        fitHeights_[at] = height;
    }
    setSize(fitWidths_[at], fitHeights_[at]);
}

// Fonts ------------------------------------------------------------------------------------

template <class Fn>
void Label::eachStateFont(Fn fn) {
    for (Font* font : {disabledFont_, normalFont_, hoverFont_, pressedFont_}) {
        if (font != nullptr) {
            fn(font);
        }
    }
}

void Label::releaseFonts() {
    for (Font** slot : {&disabledFont_, &normalFont_, &hoverFont_, &pressedFont_}) {
        if (*slot != nullptr) {
            (*slot)->release();
            *slot = nullptr;
        }
    }
}

void Label::styleFonts() {
    if (drawer_ != nullptr) {
        drawer_->applyFontsInheriting(font_, disabledFont_, normalFont_, hoverFont_, pressedFont_);
    }
}

Font* Label::stateFont(Font** slot) {
    if (*slot == nullptr) {
        Font* font = Font::pool();
        if (font == nullptr) {
            return font_;
        }
        font->setFontCode(font_->getFontCode());
        font->setBold(font_->isBold());
        font->setWordWrap(font_->getWordWrap());
        font->setEndEllipsis(font_->getEndEllipsis());
        *slot = font;
        styleFonts();
    }
    return *slot;
}

Font* Label::getDisabledFont() {
    return stateFont(&disabledFont_);
}

Font* Label::getNormalFont() {
    return stateFont(&normalFont_);
}

Font* Label::getHoverFont() {
    return stateFont(&hoverFont_);
}

Font* Label::getPressedFont() {
    return stateFont(&pressedFont_);
}

Font* Label::paintFont() {
    if (enabled_ == 0) {
        return getDisabledFont();
    }
    if (clickable_ == 0) {
        return font_;
    }
    return mouseState_ == 2 ? getPressedFont() : mouseState_ == 1 ? getHoverFont() : getNormalFont();
}

void Label::setWordWrap(bool on) {
    font_->setWordWrap(on);
    eachStateFont([on](Font* font) { font->setWordWrap(on); });
    remeasure();
}

void Label::setEndEllipsis(bool on) {
    font_->setEndEllipsis(on);
    eachStateFont([on](Font* font) { font->setEndEllipsis(on); });
    remeasure();
}

void Label::setFontCode(int32_t code) {
    font_->setFontCode(code);
    eachStateFont([code](Font* font) { font->setFontCode(code); });
    remeasure();
}

void Label::setBold(bool bold) {
    font_->setBold(bold);
    eachStateFont([bold](Font* font) { font->setBold(bold); });
    remeasure();
}

const wchar_t* Label::getFaceName() const { return font_->getFaceName(); }
uint32_t Label::getTextColour() const { return font_->getTextColour(); }
int32_t Label::getFontHeight() const { return font_->getHeight(); }
int32_t Label::getFontWidth() const { return font_->getWidth(); }
bool Label::isBold() const { return font_->isBold(); }
bool Label::isItalic() const { return font_->isItalic(); }
bool Label::isUnderline() const { return font_->isUnderline(); }
bool Label::isStrikeOut() const { return font_->isStrikeOut(); }
int32_t Label::getWeight() const { return font_->getWeight(); }
int32_t Label::getUserValue() const { return font_->getUserValue(); }

void Label::setFaceName(const wchar_t* face) {
    font_->setFaceName(face);
    remeasure();
}

void Label::setTextColour(int32_t r, int32_t g, int32_t b) {
    font_->setTextColour(r, g, b);
    // A link's resting look is its text colour too; the skin's link colour is only a default.
    if (normalFont_ != nullptr) {
        normalFont_->setTextColour(r, g, b);
    }
    remeasure();
}

void Label::setPointSize(int32_t points) {
    font_->setPointSize(points);
    remeasure();
}

void Label::setFontHeight(int32_t height) {
    font_->setHeight(height);
    remeasure();
}

void Label::setFontWidth(int32_t width) {
    font_->setWidth(width);
    remeasure();
}

void Label::setItalic(bool italic) {
    font_->setItalic(italic);
    remeasure();
}

void Label::setUnderline(bool underline) {
    font_->setUnderline(underline);
    remeasure();
}

void Label::setStrikeOut(bool strikeOut) {
    font_->setStrikeOut(strikeOut);
    remeasure();
}

void Label::setWeight(int32_t weight) {
    font_->setWeight(weight);
    remeasure();
}

void Label::setUserValue(int32_t value) {
    font_->setUserValue(value);
    remeasure();
}

void Label::setDrawer(drawer::IText* drawer, bool owned) {
    if (drawer_ != nullptr && drawerOwned_ != 0 && drawer_ != drawer) {
        drawer_->release();
    }
    drawer_ = drawer;
    drawerOwned_ = owned ? 1 : 0;
    styleFonts();
    remeasure();
    redrawNow();
}

void Label::setClickable(bool clickable) {
    clickable_ = clickable ? 1 : 0;
    if (clickable) {
        const bool wrap = font_->getWordWrap();
        const bool ellipsis = font_->getEndEllipsis();
        for (Font* font : {getNormalFont(), getHoverFont(), getPressedFont()}) {
            font->setWordWrap(wrap);
            font->setEndEllipsis(ellipsis);
        }
    }
}

// Mouse and painting -----------------------------------------------------------------------

void Label::setMouseState(int32_t mouseState) {
    if (mouseState_ != mouseState) {
        mouseState_ = mouseState;
        redrawNow();
    }
}

void Label::onMouse(UINT message, LPARAM lParam) {
    const POINT point = MessageArgs::point(lParam);
    const bool inside = point.x >= 0 && point.x <= state_.width && point.y >= 0 && point.y <= state_.height;
    switch (message) {
    case WM_MOUSEMOVE:
        if (pressed_ != 0) {
            setMouseState(inside ? 2 : 0);
        } else if (inside) {
            setMouseState(1);
            if (GetCapture() != m_hWnd) {
                SetCapture(m_hWnd);
            }
        } else {
            setMouseState(0);
            if (GetCapture() == m_hWnd) {
                ReleaseCapture();
            }
        }
        break;
    case WM_LBUTTONDOWN:
        if (inside) {
            pressed_ = 1;
            setMouseState(2);
            if (GetCapture() != m_hWnd) {
                SetCapture(m_hWnd);
            }
        }
        break;
    case WM_LBUTTONUP: {
        const bool clicked = pressed_ != 0 && inside;
        pressed_ = 0;
        setMouseState(0);
        if (GetCapture() == m_hWnd) {
            ReleaseCapture();
        }
        if (clicked) {
            if (!url_.empty()) {
                shell::win::shellOpen(url_.c_str());
            }
            clickListeners_.fire(this, CLICKED);
        }
        break;
    }
    default:
        break;
    }
}

void Label::paint() {
    CPaintDC dc(m_hWnd);
    RECT client;
    GetClientRect(&client);
    const int32_t width = client.right;
    const int32_t height = client.bottom;
    if (state_.visible == 0 || width <= 0 || height <= 0) {
        return;
    }
    thread::Held<MemDC> mem{BackBuffer::paintInto(m_hWnd, &buffer_, width, height)};
    if (!mem) {
        return;
    }
    BackBuffer::copyParentBackground(this, *mem.get(), width, height);
    if (state_.backgroundInherited == 0) {
        BackBuffer::fill(*mem.get(), width, height, state_.background);
    }
    if (drawer_ != nullptr) {
        drawer_->draw(*mem.get(), 0, 0, width, height, text_.c_str(), paintFont());
    }
    BitBlt(dc, 0, 0, width, height, *mem.get(), 0, 0, SRCCOPY);
}

LRESULT Label::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case MSG_SET_TEXT: {
        const wchar_t* text = MessageArgs::pointer<const wchar_t>(wParam);
        return applyText(text != nullptr ? text : L"", lParam != 0) ? 1 : 0;
    }
    case MSG_TEMPORARY_TEXT:
        onTemporaryText(MessageArgs::pointer<const wchar_t>(wParam), static_cast<UINT>(lParam));
        return 0;
    // The shown text, for screen readers and other processes (the window keeps none).
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(text_.size());
    case WM_GETTEXT: {
        wchar_t* out = reinterpret_cast<wchar_t*>(lParam);
        if (out == nullptr || wParam == 0) {
            return 0;
        }
        const size_t n = text_.size() < wParam - 1 ? text_.size() : wParam - 1;
        wmemcpy(out, text_.c_str(), n);
        out[n] = L'\0';
        return static_cast<LRESULT>(n);
    }
    case WM_TIMER:
        if (wParam == TEMPORARY_TIMER) {
            endTemporaryText();
            return 0;
        }
        break;
    case WM_NCHITTEST:
        if (clickable_ == 0) {
            return HTTRANSPARENT;
        }
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        if (clickable_ != 0) {
            onMouse(message, lParam);
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        // Losing the mouse ends a press as a release outside would.
        if (MessageArgs::pointer<HWND__>(lParam) != m_hWnd) {
            pressed_ = 0;
            setMouseState(0);
        }
        break;
    default:
        break;
    }
    return paintedWindowProc(message, wParam, lParam, [this] { paint(); });
}

} // namespace s::gui::win
