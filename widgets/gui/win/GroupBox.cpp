#include "widgets/gui/win/GroupBox.h"

#include "drawers/gui/drawer/IGroupBox.h"
#include "drawers/gui/drawer/ISkin.h"
#include "drawers/gui/drawer/groupbox/win/Basic.h"
#include "drawers/gui/win/Font.h"
#include "framework/CClientDC.h"
#include "system/monitor/UiScale.h"
#include "widgets/gui/IBox.h"
#include "widgets/gui/IWindow.h"
#include "widgets/gui/layout/Pile.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/BufferedPaint.h"
#include "widgets/gui/win/MessageArgs.h"
#include "widgets/gui/win/ReflectedBrush.h"
#include "widgets/gui/win/TextSource.h"
#include "widgets/gui/win/ToolkitWindowClass.h"

namespace s::gui::win {

GroupBox::GroupBox() : font_(Font::pool()), disabledFont_(Font::pool()), content_(nullptr), drawer_(nullptr), ownsDrawer_(0) {
    reset();
}

GroupBox::~GroupBox() {
    setDrawer(nullptr, false);
    for (Font* font : {font_, disabledFont_}) {
        if (font != nullptr) {
            font->release();
        }
    }
}

GroupBox* GroupBox::create(int32_t arrangement, int32_t gapX, int32_t gapY, int32_t paddingX, int32_t paddingY) {
    GroupBox* group = pool();
    if (group == nullptr) {
        return nullptr;
    }
    if (Box* content = Box::create(arrangement, 0, 100.0, 100.0, 0, gapX, gapY, paddingX, paddingY)) {
        group->setContent(content);
    }
    group->setEnabled(true);
    return group;
}

GroupBox* GroupBox::createWithText(int32_t arrangement, int32_t gapX, int32_t gapY, int32_t paddingX,
                                   int32_t paddingY, int32_t widthPercent, const wchar_t* caption) {
    GroupBox* group = create(arrangement, gapX, gapY, paddingX, paddingY);
    if (group != nullptr) {
        group->setText(caption);
        if (widthPercent >= 0) {
            group->setWidthPercent(widthPercent);
        }
    }
    return group;
}

GroupBox* GroupBox::createWithTextId(int32_t arrangement, int32_t gapX, int32_t gapY, int32_t paddingX,
                                     int32_t paddingY, int32_t widthPercent, int32_t textId) {
    GroupBox* group = createWithText(arrangement, gapX, gapY, paddingX, paddingY, widthPercent, L"");
    if (group != nullptr) {
        group->setTextId(textId);
    }
    return group;
}

GroupBox* GroupBox::createDropBox(int32_t widthPercent, int32_t heightPercent) {
    GroupBox* group = createWithTextId(IBox::COLUMN, 0, 0, 0, 0, widthPercent, DROP_BOX_TEXT_ID);
    if (group != nullptr && heightPercent >= 0) {
        group->setHeightPercent(heightPercent);
    }
    return group;
}

void GroupBox::reset() {
    resetContainer();
    content_ = nullptr;
    caption_.clear();
    textId_ = -1;
    font_->reset();
    disabledFont_->reset();
    state_.background = GetSysColor(COLOR_BTNFACE);
    state_.backgroundInherited = 1;
    acceptFiles_ = 0;
    enabled_ = 1;
    dropListeners_.clear();
    captionWidth_ = 0;
    captionHeight_ = 0;
    sizes_ = layout::ContentSizes();
    setDrawer(nullptr, false);
}

ILayoutManager* GroupBox::defaultLayout() const {
    return layout::Pile::instance();
}

FontProperties* GroupBox::fontAt(int32_t index) const {
    return index == 0 ? font_ : disabledFont_;
}

void GroupBox::takeSkinDrawer(drawer::ISkin* skin) {
    lendSkinDrawer(this, skin != nullptr ? skin->getGroupBox() : nullptr, ownsDrawer_ != 0,
                   &drawer::groupbox::win::Basic::pool);
}

void GroupBox::takeBasicDrawer() {
    holdBasicDrawer(this, drawer_ != nullptr, &drawer::groupbox::win::Basic::pool);
}

void GroupBox::onEvent(base::IObject* source, int32_t eventCode) {
    if (takeSkinDrawerOn(source)) {
        return;
    }
    if (content_ != nullptr && source == static_cast<base::IObject*>(content_)) {
        if (eventCode == IBox::DROP) {
            dropListeners_.fire(this, DROP);
        }
        return;
    }
    IWindow* window = getWindow();
    if (window != nullptr && window->hasLocalizer() && source == window->getLocalizer() && textId_ != -1) {
        setTextId(textId_);
    }
}

void GroupBox::setParent(IContainer* container) {
    if (!attachControl(container, WC_BUTTONW, L"GroupBox", WS_CHILD | BS_GROUPBOX, WS_EX_CONTROLPARENT, CONTROL_ID)) {
        return;
    }
    TextSource::join(this);
    SetFont(font_->getHandle(), false);
    if (const wchar_t* text = TextSource::text(this, textId_)) {
        caption_ = text;
    }
    SetText(TextSource::withoutMnemonics(caption_).c_str());
    if (enabled_ == 0) {
        Enable(false);
    }
    for (int32_t i = 0; i < children_.count(); ++i) {
        children_.at(i)->setParent(this);
    }
    measureCaption();
}

void GroupBox::setEnabled(bool enabled) {
    enabled_ = enabled ? 1 : 0;
    if (m_hWnd != nullptr) {
        Enable(enabled);
        Invalidate(false);
    }
}

void GroupBox::setText(const wchar_t* caption) {
    caption_ = caption != nullptr ? caption : L"";
    if (m_hWnd != nullptr) {
        SetText(TextSource::withoutMnemonics(caption_).c_str());
        measureCaption();
    }
}

void GroupBox::setTextId(int32_t id) {
    textId_ = id;
    if (const wchar_t* text = TextSource::text(this, id)) {
        setText(text);
    }
}

void GroupBox::setBackgroundColour(int32_t r, int32_t g, int32_t b) {
    state_.background = RGB(r & 0xFF, g & 0xFF, b & 0xFF);
    state_.backgroundInherited = 0;
    if (drawer_ != nullptr) {
        drawer_->setColor(r, g, b);
    }
    redrawNow();
}

void GroupBox::setContent(IBox* box) {
    if (box == nullptr || box == content_) {
        return;
    }
    content_ = box;
    if (acceptFiles_ != 0) {
        box->setAcceptFiles(true);
        box->addDropListener(this);
    }
    Container::add(box);
    box->setOffset(state_.paddingLeft, state_.paddingTop);
}

void GroupBox::add(IComponent* child) {
    if (content_ != nullptr && child != content_) {
        content_->add(child);
    } else {
        Container::add(child);
    }
}

void GroupBox::setAcceptFiles(bool accept) {
    acceptFiles_ = accept ? 1 : 0;
    if (content_ != nullptr) {
        content_->setAcceptFiles(accept);
        if (accept) {
            content_->addDropListener(this);
        }
    }
}

str::strarray::StrArray* GroupBox::getDroppedPaths() const {
    return content_ != nullptr ? content_->getDroppedPaths() : nullptr;
}

void GroupBox::setDrawer(drawer::IGroupBox* drawer, bool owned) {
    if (drawer_ != nullptr && ownsDrawer_ != 0 && drawer_ != drawer) {
        drawer_->release();
    }
    drawer_ = drawer;
    ownsDrawer_ = owned ? 1 : 0;
    if (drawer_ != nullptr) {
        drawer_->applyFonts(font_, disabledFont_);
    }
    redrawNow();
}

void GroupBox::measureCaption() {
    if (m_hWnd == nullptr) {
        return;
    }
    SIZE extent = {0, 0};
    {
        CClientDC dc(m_hWnd);
        dc.SelectObject(font_->getHandle());
        dc.GetTextExtent(caption_.c_str(), static_cast<int>(caption_.size()), &extent);
    }
    captionWidth_ = extent.cx;
    captionHeight_ = extent.cy;
    const int32_t s = system::monitor::uiScale();
    setPaddings(4 * s, 4 * s, captionHeight_ + s, 4 * s);
    if (content_ != nullptr) {
        content_->setOffset(state_.paddingLeft, state_.paddingTop);
    }
    doLayout();
    if (IContainer* parent = getParent()) {
        parent->relayout();
    }
}

void GroupBox::doLayout() {
    sizes_ = layout::ContentSizes();
    if (content_ != nullptr) {
        layout::layoutPile(this, 0, 0, &sizes_);
    }
}

int32_t GroupBox::getPreferredWidth() const {
    if (state_.fixedWidth >= 0) {
        return state_.fixedWidth;
    }
    const int32_t framed = state_.paddingLeft + state_.paddingRight + sizes_.minWidth;
    const int32_t captioned = captionWidth_ + 24 * system::monitor::uiScale();
    return captioned > framed ? captioned : framed;
}

int32_t GroupBox::getPreferredHeight() const {
    return state_.fixedHeight >= 0 ? state_.fixedHeight : state_.paddingTop + state_.paddingBottom + sizes_.minHeight;
}

int32_t GroupBox::getLayoutWidth() const {
    return truncatedMaximum(state_, getParent(), sizes_, true);
}

int32_t GroupBox::getLayoutHeight() const {
    return truncatedMaximum(state_, getParent(), sizes_, false);
}

void GroupBox::paint() {
    BufferedPaint paint(this, m_hWnd, nullptr, true, state_.background);
    HDC dc = paint.dc();
    if (dc == nullptr) {
        return;
    }
    const int32_t w = paint.width();
    const int32_t h = paint.height();
    const int32_t half = captionHeight_ / 2;
    if (state_.backgroundInherited == 0) {
        const RECT inside = {1, half + 1, w - 1, h - 1};
        const COLORREF previous = SetBkColor(dc, state_.background & 0xFFFFFF);
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &inside, nullptr, 0, nullptr);
        SetBkColor(dc, previous);
    }
    drawer_->draw(dc, 0, half, w, h, caption_.c_str(), enabled_ != 0 ? font_ : disabledFont_, captionWidth_,
                  captionHeight_);
    if (content_ != nullptr) {
        paint.exclude(content_->getX() + state_.paddingLeft, content_->getY() + state_.paddingTop,
                      content_->getWidth(), content_->getHeight());
    }
}

LRESULT GroupBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        if (drawer_ == nullptr) {
            break;
        }
        paint();
        return 0;
    case WM_NCPAINT:
        if (drawer_ == nullptr) {
            break;
        }
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_UPDATEUISTATE:
        return 0;
    case WM_GETDLGCODE:
        return MessageArgs::keysWanted(Native::WindowProc(message, wParam, lParam), lParam);
    case WM_KEYDOWN:
        return passKeyUp(wParam, lParam);
    case REFLECT_COLOUR:
        return ReflectedBrush::answer(this, &brush_, reinterpret_cast<HDC>(wParam), state_.backgroundInherited != 0,
                                      state_.background, font_->getTextColour());
    default:
        break;
    }
    return Native::WindowProc(message, wParam, lParam);
}

} // namespace s::gui::win
