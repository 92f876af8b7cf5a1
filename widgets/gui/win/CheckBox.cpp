#include "widgets/gui/win/CheckBox.h"

#include "widgets/gui/win/FocusMark.h"
#include "drawers/gui/drawer/checkbox/win/Thin.h"
#include "system/monitor/UiScale.h"
#include "widgets/gui/win/BufferedPaint.h"
#include "widgets/gui/win/MessageArgs.h"

namespace s::gui::win {

CheckBox* CheckBox::createWithText(const wchar_t* caption, bool checked) {
    CheckBox* box = pool();
    if (box != nullptr) {
        box->setText(caption);
        box->setChecked(checked);
        box->setWordWrap(false);
    }
    return box;
}

CheckBox* CheckBox::createWithTextId(int32_t textId, bool checked) {
    CheckBox* box = createWithText(L"", checked);
    if (box != nullptr) {
        box->setTextId(textId);
    }
    return box;
}

void CheckBox::reset() {
    resetCheckable();
}

DWORD CheckBox::nativeStyle() const {
    return WS_CHILD | WS_TABSTOP | BS_NOTIFY | BS_AUTOCHECKBOX | (main_->getWordWrap() ? BS_MULTILINE : 0);
}

void CheckBox::setWordWrap(bool on) {
    main_->setWordWrap(on);
    measure();
}

void CheckBox::setChecked(bool checked) {
    const uint8_t value = checked ? 1 : 0;
    if (value == checked_) {
        return;
    }
    // Stored first, so the control's BM_SETCHECK finds nothing to tell.
    checked_ = value;
    if (m_hWnd != nullptr) {
        SetCheck(checked ? BST_CHECKED : BST_UNCHECKED);
    }
}

void CheckBox::setCheckedQuietly(bool checked) {
    notify_ = 0;
    setChecked(checked);
    notify_ = 1;
}

void CheckBox::onSetCheck(bool checked) {
    const uint8_t value = checked ? 1 : 0;
    if (value == checked_) {
        return;
    }
    checked_ = value;
    if (notify_ != 0) {
        (checked ? checkedListeners_ : uncheckedListeners_).fire(this, checked ? CHECKED : UNCHECKED);
    }
}

int32_t CheckBox::boxWidth(int32_t h) {
    return h + h / 6 * system::monitor::uiScale();
}

SIZE CheckBox::wrappedExtent(int32_t width) const {
    SIZE size = {0, 0};
    if (m_hWnd == nullptr) {
        return size;
    }
    CClientDC dc(m_hWnd);
    dc.SelectObject(main_->getHandle());
    RECT rect = {0, 0, width, 0};
    dc.DrawText(caption_.c_str(), static_cast<int>(caption_.size()), &rect, DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
    size.cx = rect.right - rect.left;
    size.cy = rect.bottom - rect.top;
    return size;
}

void CheckBox::takeSkinDrawer(drawer::ISkin* skin) {
    lendSkinDrawer(this, skin != nullptr ? skin->getCheckBox() : nullptr, ownsDrawer_ != 0, &scaledBasicDrawer);
}

void CheckBox::takeBasicDrawer() {
    holdBasicDrawer(this, drawer_ != nullptr, &scaledBasicDrawer);
}

drawer::ICheckBox* CheckBox::scaledBasicDrawer() {
    return system::monitor::uiScale() > 1 ? drawer::checkbox::win::Thin::newCheckBoxDrawer(RGB(120, 120, 120), RGB(0, 0, 0))
                                          : nullptr;
}

void CheckBox::measure() {
    if (m_hWnd == nullptr) {
        return;
    }
    const int32_t s = system::monitor::uiScale();
    int32_t minW = 0, minH = 0, prefW = 0, prefH = 0;
    if (drawer_ != nullptr) {
        CClientDC dc(m_hWnd);
        drawer_->measure(dc, caption_.c_str(), main_, &minW, &minH, &prefW, &prefH);
    } else if (!main_->getWordWrap()) {
        const SIZE text = captionExtent();
        prefW = text.cy / (s < 2 ? 6 : 4) * s + text.cx + text.cy;
        prefH = s == 1 ? text.cy : s == 2 ? text.cy + 3 * s + 1 : text.cy + 3 * s;
        minW = prefW;
        minH = prefH;
    } else {
        const SIZE line = captionExtent();
        minH = line.cy;
        prefH = line.cy;
        prefW = line.cx + boxWidth(minH);
        // The narrowest a word-broken caption gets: its longest word.
        minW = wrappedExtent(1).cx + boxWidth(minH);
    }
    setMinimumSize(minW, minH);
    setContentSize(prefW, prefH);
    relayoutParent();
}

void CheckBox::setSizeClamped(int32_t w, int32_t h) {
    if (!main_->getWordWrap() || drawer_ != nullptr || m_hWnd == nullptr) {
        setSize(getPreferredWidth(), getPreferredHeight());
        return;
    }
    const int32_t box = boxWidth(state_.minimumHeight);
    const int32_t textWidth = w - box > 0 ? w - box : 0;
    const SIZE text = wrappedExtent(textWidth);
    setSize(box + text.cx, text.cy > state_.minimumHeight ? text.cy : state_.minimumHeight);
    (void)h;
}

void CheckBox::paint() {
    BufferedPaint paint(this, m_hWnd, nullptr, state_.backgroundInherited != 0, state_.background);
    if (paint.dc() != nullptr) {
        drawer_->draw(paint.dc(), 0, 0, paint.width(), paint.height(), state_.minimumHeight, checked_ != 0,
                      caption_.c_str(), main_);
        // Around the caption, which starts a sixth of the box past it.
        const int32_t box = state_.minimumHeight;
        FocusMark::draw(m_hWnd, paint.dc(), RECT{box + box / 6 - 1, 0, paint.width(), paint.height()});
    }
}

bool CheckBox::kindHook(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_UPDATEUISTATE:
        if (drawer_ == nullptr) {
            return false;
        }
        *result = 0;
        return true;
    case WM_GETDLGCODE:
        *result = MessageArgs::keysWanted(defaultProc(message, wParam, lParam), lParam);
        return true;
    case WM_MOUSEWHEEL: {
        const POINT point = MessageArgs::point(lParam);
        IWindow* window = getWindow();
        if (contains(point.x, point.y) || window == nullptr || window->getFrameHandle() == nullptr) {
            return false;
        }
        *result = ::SendMessageW(window->getFrameHandle(), message, wParam, lParam);
        return true;
    }
    default:
        return false;
    }
}

} // namespace s::gui::win
