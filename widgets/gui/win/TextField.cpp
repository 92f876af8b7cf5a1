#include "widgets/gui/win/TextField.h"

#include "drawers/gui/win/Font.h"
#include "system/monitor/UiScale.h"
#include "widgets/gui/IContainer.h"
#include "widgets/gui/win/ReflectedBrush.h"
#include "widgets/gui/win/TextSource.h"
#include "widgets/gui/win/ToolkitWindowClass.h"

namespace s::gui::win {

TextField::TextField() : font_(Font::pool()) {
    reset();
}

TextField::~TextField() {
    if (font_ != nullptr) {
        font_->release();
    }
}

TextField* TextField::create(const wchar_t* text, int32_t fixedHeight, double widthPercent) {
    TextField* field = pool();
    if (field == nullptr) {
        return nullptr;
    }
    field->setText(text, false);
    if (widthPercent >= 0) {
        field->setWidthPercent(static_cast<int32_t>(widthPercent));
    }
    if (fixedHeight >= 0) {
        field->setFixedHeight(fixedHeight);
    }
    return field;
}

void TextField::reset() {
    resetComponent();
    state_.background = 0xFFFFFF;
    text_.clear();
    if (font_ != nullptr) {
        font_->reset();
    }
    enabled_ = 1;
    editable_ = 1;
    notify_ = 1;
    password_ = 0;
    changeListeners_.clear();
    enterListeners_.clear();
    focusLostListeners_.clear();
}

FontProperties* TextField::fontAt(int32_t) const {
    return font_;
}

void TextField::fontsChanged() {
    if (m_hWnd != nullptr) {
        SetFont(font_->getHandle(), true);
        measure();
        Invalidate(true);
    }
}

void TextField::setParent(IContainer* container) {
    if (!attachControl(container, WC_EDITW, L"", STYLE, 0, CONTROL_ID)) {
        return;
    }
    TextSource::join(this);
    SetFont(font_->getHandle(), true);
    notify_ = 0;
    SetText(text_.c_str());
    notify_ = 1;
    if (enabled_ == 0) {
        Enable(false);
    }
    if (editable_ == 0) {
        SetReadOnly(true);
    }
    SetPasswordChar(password_ != 0 ? L'*' : 0);
    measure();
}

void TextField::measure() {
    const int32_t s = system::monitor::uiScale();
    setMinimumSize(50 * s, 24 * s);
    setContentSize(50 * s, 24 * s);
    if (IContainer* parent = getParent()) {
        parent->relayout();
    }
}

void TextField::setEnabled(bool enabled) {
    enabled_ = enabled ? 1 : 0;
    if (m_hWnd != nullptr) {
        Enable(enabled);
    }
}

void TextField::setEditable(bool editable) {
    const uint8_t value = editable ? 1 : 0;
    if (value == editable_) {
        return;
    }
    if (m_hWnd != nullptr) {
        SetReadOnly(!editable);
    }
    editable_ = value;
}

const wchar_t* TextField::getText() const {
    if (m_hWnd != nullptr) {
        // Room for the whole text and its terminator, however long it has grown.
        const int length = GetTextLength();
        std::wstring read(static_cast<size_t>(length) + 1, L'\0');
        const int copied = GetText(&read[0], length + 1);
        read.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        text_ = read;
    }
    return text_.c_str();
}

void TextField::setText(const wchar_t* text, bool notify) {
    text_ = text != nullptr ? text : L"";
    if (m_hWnd != nullptr) {
        notify_ = notify ? 1 : 0;
        SetText(text_.c_str());
        notify_ = 1;
        measure();
    }
}

void TextField::requestFocusAndSelectAll() {
    if (m_hWnd != nullptr) {
        SendMessage(MSG_FOCUS_AND_SELECT_ALL);
    }
}

void TextField::focusAndSelectAll() {
    if (m_hWnd != nullptr) {
        SetFocus();
        SetSel(0, -1);
    }
}

void TextField::setPassword(bool on) {
    password_ = on ? 1 : 0;
    if (m_hWnd != nullptr) {
        SetPasswordChar(on ? L'*' : 0);
        Invalidate(true);
    }
}

BOOL TextField::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        enterListeners_.fire(this, ENTER);
        return TRUE;
    }
    return FALSE;
}

LRESULT TextField::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
        return TRUE;
    case WM_CHAR: {
        // Drawn once after the character, not while the control changes its text.
        SendMessage(WM_SETREDRAW, FALSE);
        const LRESULT result = Native::WindowProc(message, wParam, lParam);
        SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
        SendMessage(WM_SETREDRAW, TRUE);
        redrawNow();
        return result;
    }
    case MSG_FOCUS_AND_SELECT_ALL:
        focusAndSelectAll();
        return 0;
    case REFLECT_COLOUR: {
        const bool normal = enabled_ != 0 && editable_ != 0;
        return ReflectedBrush::answer(this, &brush_, reinterpret_cast<HDC>(wParam), state_.backgroundInherited != 0,
                                      normal ? state_.background : GetSysColor(COLOR_BTNFACE), font_->getTextColour());
    }
    case REFLECT_TEXT_CHANGE:
        if (notify_ != 0) {
            changeListeners_.fire(this, CHANGE);
        }
        return 0;
    case REFLECT_KILL_FOCUS:
        focusLostListeners_.fire(this, FOCUS_LOST);
        return 0;
    default:
        return Native::WindowProc(message, wParam, lParam);
    }
}

} // namespace s::gui::win
