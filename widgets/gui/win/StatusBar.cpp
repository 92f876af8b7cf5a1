#include "widgets/gui/win/StatusBar.h"

#include "drawers/gui/drawer/ISkin.h"
#include "drawers/gui/drawer/IStatusBar.h"
#include "drawers/gui/drawer/statusbar/win/Basic.h"
#include "system/monitor/UiScale.h"
#include "widgets/gui/IBox.h"
#include "widgets/gui/layout/Pile.h"
#include "widgets/gui/win/BackBuffer.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/BufferedPaint.h"
#include "widgets/gui/win/Button.h"
#include "widgets/gui/win/MessageArgs.h"
#include "widgets/gui/win/ToolkitWindowClass.h"

namespace s::gui::win {

StatusBar::~StatusBar() {
    BackBuffer::release(&buffer_);
}

StatusBar* StatusBar::createWithResizer(int32_t paddingX, int32_t paddingY) {
    StatusBar* bar = pool();
    if (bar == nullptr) {
        return nullptr;
    }
    const int32_t grip = GRIP_SIZE * system::monitor::uiScale();
    Box* resizer = Box::create(IBox::ROW, 2, -1, 100.0, 2, 0, 0, 0, 0);
    Box* content = Box::create(IBox::ROW, 0, 100.0, 100.0, 1, 0, 0, paddingX, paddingY);
    Box* outer = Box::create(IBox::ROW, 0, 100.0, 100.0, 0, 0, 0, 0, 0);
    if (resizer == nullptr || content == nullptr || outer == nullptr) {
        for (Box* box : {resizer, content, outer}) {
            if (box != nullptr) {
                box->release();
            }
        }
        bar->release();
        return nullptr;
    }
    bar->grip_ = Button::createWithText(Button::RESIZER, grip, grip);
    IContainer::addIfNotNull(resizer, bar->grip_);
    outer->add(content);
    outer->add(resizer);
    bar->setContent(outer, content);
    bar->setWidthPercent(100);
    return bar;
}

void StatusBar::reset() {
    resetContainer();
    outer_ = nullptr;
    content_ = nullptr;
    grip_ = nullptr;
    sizes_ = layout::ContentSizes();
    setDrawer(nullptr, false);
    resizer_ = 0;
    state_.background = GetSysColor(COLOR_BTNFACE);
    state_.backgroundInherited = 1;
    BackBuffer::release(&buffer_);
}

ILayoutManager* StatusBar::defaultLayout() const {
    return layout::Pile::instance();
}

void StatusBar::relayoutParent() {
    if (IContainer* parent = getParent()) {
        parent->relayout();
    }
}

void StatusBar::setContent(IBox* outer, IBox* content) {
    outer_ = outer;
    content_ = content;
    if (outer != nullptr) {
        Container::add(outer);
    }
    relayoutParent();
}

void StatusBar::add(IComponent* child) {
    if (content_ == nullptr) {
        Container::add(child);
        return;
    }
    content_->add(child);
    doLayout();
    relayoutParent();
}

void StatusBar::setParent(IContainer* container) {
    if (!attachControl(container, TOOLKIT_WINDOW_CLASS, L"", WS_CHILD, WS_EX_CONTROLPARENT, 0)) {
        return;
    }
    for (int32_t i = 0; i < children_.count(); ++i) {
        children_.at(i)->setParent(this);
    }
    doLayout();
    relayoutParent();
}

void StatusBar::setVisible(bool visible) {
    Container::setVisible(visible);
    if (outer_ != nullptr) {
        outer_->setVisibleRecursive(visible, true);
    }
    if (!visible) {
        BackBuffer::release(&buffer_);
    }
}

void StatusBar::doLayout() {
    sizes_ = layout::ContentSizes();
    if (outer_ != nullptr) {
        layout::layoutPile(this, 0, 0, &sizes_);
    }
}

int32_t StatusBar::getPreferredWidth() const {
    return state_.fixedWidth >= 0 ? state_.fixedWidth : state_.paddingLeft + state_.paddingRight + sizes_.minWidth;
}

int32_t StatusBar::getPreferredHeight() const {
    if (state_.fixedHeight >= 0) {
        return state_.fixedHeight;
    }
    // Without a drawer to ask, the bar is as tall as its content needs.
    return drawer_ != nullptr ? drawer_->preferredHeight()
                              : state_.paddingTop + state_.paddingBottom + sizes_.minHeight;
}

int32_t StatusBar::getLayoutWidth() const {
    return truncatedMaximum(state_, getParent(), sizes_, true);
}

void StatusBar::setDrawer(drawer::IStatusBar* drawer, bool owned) {
    if (drawer_ != nullptr && ownsDrawer_ != 0 && drawer_ != drawer) {
        drawer_->release();
    }
    drawer_ = drawer;
    ownsDrawer_ = owned ? 1 : 0;
    relayoutParent();
    redrawNow();
}

void StatusBar::paint() {
    BufferedPaint paint(this, m_hWnd, &buffer_, state_.backgroundInherited != 0, state_.background);
    if (paint.dc() != nullptr && drawer_ != nullptr) {
        drawer_->draw(paint.dc(), 0, 0, paint.width(), paint.height());
    }
    for (int32_t i = 0; i < children_.count(); ++i) {
        const IComponent* child = children_.at(i);
        paint.exclude(child->getX() + state_.paddingLeft, child->getY() + state_.paddingTop, child->getWidth(),
                      child->getHeight());
    }
}

LRESULT StatusBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST: {
        // The bar never takes clicks; its buttons do.
        const LRESULT hit = Native::WindowProc(message, wParam, lParam);
        return hit == HTCLIENT ? HTTRANSPARENT : hit;
    }
    case WM_GETDLGCODE:
        return MessageArgs::keysWanted(Native::WindowProc(message, wParam, lParam), lParam);
    case WM_KEYDOWN:
        return passKeyUp(wParam, lParam);
    default:
        break;
    }
    return paintedWindowProc(message, wParam, lParam, [this] { paint(); });
}

void StatusBar::takeSkinDrawer(drawer::ISkin* skin) {
    lendSkinDrawer(this, skin != nullptr ? skin->getStatusBar() : nullptr, ownsDrawer_ != 0,
                   &drawer::statusbar::win::Basic::create);
}

void StatusBar::takeBasicDrawer() {
    holdBasicDrawer(this, drawer_ != nullptr, &drawer::statusbar::win::Basic::create);
}

} // namespace s::gui::win
