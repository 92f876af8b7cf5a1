#include "widgets/gui/win/Box.h"

#include <shellapi.h>

#include <string>

#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "drawers/gui/drawer/IDrawer.h"
#include "framework/CPaintDC.h"
#include "images/image/win/BufferedImage.h"
#include "widgets/gui/IWindow.h"
#include "widgets/gui/layout/FlowH.h"
#include "widgets/gui/win/BackBuffer.h"
#include "widgets/gui/win/MemDC.h"
#include "widgets/gui/win/MessageArgs.h"
#include "widgets/gui/win/ToolkitWindowClass.h"
#include "widgets/gui/win/UrlDropTarget.h"

namespace s::gui::win {

namespace {

int32_t alignmentOf(int32_t value) {
    return value <= 0 ? 0 : value == 1 ? 1 : 2;
}

// Shows or hides a child; a box takes its own children along.
void setChildVisible(IComponent* child, bool visible) {
    if (IBox* box = dynamic_cast<IBox*>(child)) {
        box->setVisibleRecursive(visible, true);
    } else {
        child->setVisible(visible);
    }
}

// A group box is of the button class but only frames its children: it takes no clicks.
bool isButton(HWND hwnd) {
    wchar_t name[16] = {};
    return GetClassNameW(hwnd, name, 16) > 0 && lstrcmpiW(name, L"Button") == 0 &&
           (GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX;
}

// What the shell's DragAcceptFiles does: the style alone lets WM_DROPFILES in, and a window
// made at start does not load the shell's DLL for it.
void acceptDroppedFiles(HWND hwnd, bool accept) {
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, accept ? (style | WS_EX_ACCEPTFILES) : (style & ~WS_EX_ACCEPTFILES));
}

} // namespace

Box::Box()
    : droppedPaths_(str::strarray::StrArray::pool()), droppedUrl_(str::strbuffer::StrBuffer::pool()),
      urlTarget_(nullptr), border_(nullptr) {
    setDefaults();
}

Box::~Box() {
    reset();
    if (droppedPaths_ != nullptr) {
        droppedPaths_->release();
    }
    if (droppedUrl_ != nullptr) {
        droppedUrl_->release();
    }
}

void Box::setDefaults() {
    rules_.reset();
    paintParent_ = 1;
    acceptFiles_ = 0;
    acceptUrls_ = 0;
    hover_ = 0;
    collapseWidth_ = collapseHeight_ = 0;
    borderOwned_ = 0;
    passThrough_ = 1;
    inWheel_ = 0;
    visibilityLocked_ = 0;
    paintedByListener_ = 0;
    held_ = 0;
    wheelStep_ = 0;
    hoverColour_ = -1;
    minimumWidth_ = -1;
    paintDc_ = nullptr;
    state_.background = GetSysColor(COLOR_BTNFACE);
}

void Box::reset() {
    held_ = 0;
    visibilityLocked_ = 0;
    setVisibleRecursive(true, false);
    setAcceptUrls(false);
    if (layout_ != nullptr) {
        layout_->release();
    }
    resetContainer();
    if (GetSafeHwnd() != nullptr) {
        setParent(nullptr);
    }
    if (droppedPaths_ != nullptr) {
        droppedPaths_->clear();
    }
    if (droppedUrl_ != nullptr) {
        droppedUrl_->clear();
    }
    if (border_ != nullptr && borderOwned_ != 0) {
        border_->release();
    }
    border_ = nullptr;
    BackBuffer::release(&state_.backBuffer);
    dropListeners_.clear();
    urlListeners_.clear();
    wheelListeners_.clear();
    layoutListeners_.clear();
    moveListeners_.clear();
    paintListeners_.clear();
    clickListeners_.clear();
    setDefaults();
}

Box* Box::create(int32_t arrangement, int32_t hAlign, double widthPercent, double heightPercent, int32_t vAlign,
                 int32_t gapX, int32_t gapY, int32_t paddingX, int32_t paddingY) {
    Box* box = pool();
    if (box == nullptr) {
        return nullptr;
    }
    if (arrangement >= ROW && arrangement <= PILE) {
        box->rules_.arrangement = arrangement;
    }
    if (widthPercent >= 0) {
        box->setWidthPercent(static_cast<int32_t>(widthPercent), false);
    }
    if (heightPercent >= 0) {
        box->setHeightPercent(static_cast<int32_t>(heightPercent), false);
    }
    box->rules_.hAlign = alignmentOf(hAlign);
    box->rules_.vAlign = alignmentOf(vAlign);
    if (gapX > 0) {
        box->rules_.gapX = gapX;
    }
    if (gapY > 0) {
        box->rules_.gapY = gapY;
    }
    if (paddingX > 0) {
        box->setPaddingHorizontal(paddingX);
    }
    if (paddingY > 0) {
        box->setPaddingVertical(paddingY);
    }
    return box;
}

void Box::onEvent(base::IObject* source, int32_t eventCode) {
    if (urlTarget_ != nullptr && source == static_cast<base::IObject*>(urlTarget_) &&
        eventCode == UrlDropTarget::DROPPED && GetSafeHwnd() != nullptr) {
        SendMessage(MSG_URL_DROPPED);
    }
}

// Attaching ------------------------------------------------------------------------------

bool Box::createNativeWindow(IContainer* container) {
    HWND parentHandle = container->getNativeHandle();
    if (parentHandle == nullptr || GetSafeHwnd() != nullptr) {
        return false;
    }
    if (!registerToolkitWindowClass()) {
        return false;
    }
    if (!CreateEx(WS_EX_CONTROLPARENT, TOOLKIT_WINDOW_CLASS, L"", WS_CHILD, 0, 0, 0, 0, parentHandle, nullptr)) {
        showCreationFailed(MB_ICONERROR);
        return false;
    }
    return true;
}

void Box::setParent(IContainer* container) {
    if (container == nullptr) {
        if (GetSafeHwnd() != nullptr) {
            if (GetWindowThreadProcessId(m_hWnd, nullptr) == GetCurrentThreadId()) {
                dropUrlTarget();
            }
            destroyNative();
        }
        attachTo(nullptr);
        return;
    }
    attachTo(container);
    if ((held_ != 0 && state_.visible == 0) || !createNativeWindow(container)) {
        // Without a native window its children still join the window (its language).
        if (GetSafeHwnd() == nullptr) {
            for (int32_t i = 0; i < children_.count(); ++i) {
                children_.at(i)->setParent(this);
            }
        }
        return;
    }
    held_ = 0;
    if (acceptFiles_ != 0) {
        acceptDroppedFiles(m_hWnd, true);
    }
    if (acceptUrls_ != 0) {
        makeUrlTarget();
    }
    // Children attach here, on the UI thread, without a layout run each.
    rules_.creatingChildren = 1;
    for (int32_t i = 0; i < children_.count(); ++i) {
        IComponent* child = children_.at(i);
        child->setParent(this);
        child->setOffset(state_.paddingLeft, state_.paddingTop);
    }
    rules_.creatingChildren = 0;
    doLayout();
    relayoutParent(true);
    if (state_.visible != 0) {
        ShowWindow(m_hWnd, SW_SHOW);
        state_.setBounds(m_hWnd, state_.x, state_.y, state_.width, state_.height);
    } else {
        state_.setPosition(m_hWnd, ComponentState::PARKED_X, ComponentState::PARKED_Y);
        ShowWindow(m_hWnd, SW_HIDE);
    }
}

void Box::holdWindowsUntilShown() {
    if (GetSafeHwnd() == nullptr) {
        held_ = 1;
    }
    setVisibleRecursive(false, false);
}

void Box::makeHeldWindows() {
    IContainer* parent = state_.parent;
    HWND parentHandle = parent != nullptr ? parent->getNativeHandle() : nullptr;
    if (held_ == 0 || parentHandle == nullptr || GetSafeHwnd() != nullptr) {
        return;
    }
    held_ = 0;
    if (GetWindowThreadProcessId(parentHandle, nullptr) != GetCurrentThreadId()) {
        ::SendMessageW(parentHandle, WM_ATTACH_CHILD, MessageArgs::wparam(this), 0);
    } else {
        setParent(parent);
    }
    takeSiblingOrder();
}

void Box::takeSiblingOrder() {
    // Made after its siblings, the window goes back behind the one before it, where the
    // keyboard order and painting expect it.
    HWND handle = GetSafeHwnd();
    IContainer* parent = state_.parent;
    if (handle == nullptr || parent == nullptr) {
        return;
    }
    HWND after = HWND_TOP;
    for (int32_t i = 0; i < parent->getChildCount(); ++i) {
        IComponent* sibling = parent->getChildAt(i);
        if (sibling == this) {
            break;
        }
        if (HWND previous = sibling->getNativeHandle()) {
            after = previous;
        }
    }
    ::SetWindowPos(handle, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void Box::attachNow(IComponent* child) {
    HWND handle = GetSafeHwnd();
    if (handle != nullptr && GetWindowThreadProcessId(handle, nullptr) != GetCurrentThreadId()) {
        ::SendMessageW(handle, WM_ATTACH_CHILD, MessageArgs::wparam(child), 0);
    } else {
        child->setParent(this);
    }
}

void Box::add(IComponent* child) {
    if (!children_.add(child)) {
        return;
    }
    attachNow(child);
    if (GetSafeHwnd() == nullptr) {
        return;
    }
    child->setOffset(state_.paddingLeft, state_.paddingTop);
    doLayout();
    relayoutParent(true);
}

void Box::relayoutParent(bool twiceForFlow) const {
    if (IContainer* parent = state_.parent) {
        parent->relayout();
        if (twiceForFlow && rules_.arrangement == FLOW) {
            parent->relayout();
        }
    }
}

// Layout and geometry --------------------------------------------------------------------

void Box::doLayout() {
    rules_.run(this, layout_, &layoutListeners_, this);
}

ILayoutManager* Box::defaultLayout() const {
    return layout::FlowH::instance();
}

ILayoutManager* Box::getLayout() const {
    return layout_ != nullptr ? layout_ : defaultLayout();
}

void Box::setLayout(ILayoutManager* manager) {
    if (layout_ != nullptr && layout_ != manager) {
        layout_->release();
    }
    layout_ = manager;
}

void Box::setPosition(int32_t x, int32_t y) {
    Container::setPosition(x, y);
    moveListeners_.fire(this, MOVE);
}

void Box::setSize(int32_t w, int32_t h) {
    Container::setSize(w, h);
    moveListeners_.fire(this, MOVE);
}

void Box::setBounds(int32_t x, int32_t y, int32_t w, int32_t h) {
    Container::setBounds(x, y, w, h);
    moveListeners_.fire(this, MOVE);
}

int32_t Box::getPreferredWidth() const {
    return layout::Arrangement::preferredSize(collapseWidth_ != 0, state_.fixedWidth,
                                              state_.paddingLeft + state_.paddingRight, rules_.sizes.minWidth,
                                              minimumWidth_);
}

int32_t Box::getPreferredHeight() const {
    return layout::Arrangement::preferredSize(collapseHeight_ != 0, state_.fixedHeight,
                                              state_.paddingTop + state_.paddingBottom, rules_.sizes.minHeight, -1);
}

int32_t Box::getLayoutWidth() const {
    const int32_t parentInner = state_.parent != nullptr ? state_.parent->getInnerWidth() : 0;
    return layout::Arrangement::maximumSize(state_.fixedWidth, state_.parent != nullptr ? state_.widthPercent : -1,
                                            parentInner, state_.paddingLeft + state_.paddingRight,
                                            rules_.sizes.minWidth, rules_.sizes.wantedWidth);
}

int32_t Box::getLayoutHeight() const {
    const int32_t parentInner = state_.parent != nullptr ? state_.parent->getInnerHeight() : 0;
    return layout::Arrangement::maximumSize(state_.fixedHeight, state_.parent != nullptr ? state_.heightPercent : -1,
                                            parentInner, state_.paddingTop + state_.paddingBottom,
                                            rules_.sizes.minHeight, rules_.sizes.wantedHeight);
}

int32_t Box::getContentOrFixedWidth() const {
    return state_.fixedWidth >= 0 ? state_.fixedWidth : rules_.sizes.minWidth;
}

int32_t Box::getContentOrFixedHeight() const {
    return state_.fixedHeight >= 0 ? state_.fixedHeight : rules_.sizes.minHeight;
}

void Box::afterSizeRule(bool relayoutParentToo) {
    if (GetSafeHwnd() == nullptr) {
        return;
    }
    doLayout();
    if (relayoutParentToo) {
        relayoutParent(true);
    }
}

void Box::setWidthPercent(int32_t percent, bool relayoutParentToo) {
    setPercentSize(percent, state_.heightPercent);
    if (percent < 0) {
        state_.widthPercent = -1;
    }
    afterSizeRule(relayoutParentToo);
}

void Box::setHeightPercent(int32_t percent, bool relayoutParentToo) {
    setPercentSize(state_.widthPercent, percent);
    if (percent < 0) {
        state_.heightPercent = -1;
    }
    afterSizeRule(relayoutParentToo);
}

void Box::setFixedWidth(int32_t px, bool relayoutParentToo) {
    setFixedSize(px, state_.fixedHeight);
    afterSizeRule(relayoutParentToo);
}

void Box::setFixedHeight(int32_t px, bool relayoutParentToo) {
    setFixedSize(state_.fixedWidth, px);
    afterSizeRule(relayoutParentToo);
}

void Box::setPaddings4(int32_t left, int32_t right, int32_t top, int32_t bottom) {
    setPaddings(left, right, top, bottom);
    pushPaddingOffset();
}

void Box::pushPaddingOffset() {
    // Always pushed, so that a padding set back to 0 takes its offset away too.
    if (GetSafeHwnd() == nullptr) {
        return;
    }
    for (int32_t i = 0; i < children_.count(); ++i) {
        children_.at(i)->setOffset(state_.paddingLeft, state_.paddingTop);
    }
}

// Colours and drawers --------------------------------------------------------------------

void Box::redrawIfVisible(bool redraw) {
    if (redraw && isVisible()) {
        redrawNow();
    }
}

void Box::setTransparent(bool redraw) {
    paintParent_ = 1;
    redrawIfVisible(redraw);
}

void Box::resetColour(bool redraw) {
    paintParent_ = 0;
    state_.background = GetSysColor(COLOR_BTNFACE);
    redrawIfVisible(redraw);
}

void Box::setColour(int32_t r, int32_t g, int32_t b, bool redraw) {
    paintParent_ = 0;
    state_.background = RGB(r & 0xFF, g & 0xFF, b & 0xFF);
    redrawIfVisible(redraw);
}

void Box::setHoverColour(int32_t r, int32_t g, int32_t b) {
    hoverColour_ = static_cast<int32_t>(RGB(r & 0xFF, g & 0xFF, b & 0xFF));
}

void Box::setBorderDrawer(drawer::IDrawer* drawer, bool owned) {
    if (border_ != nullptr && borderOwned_ != 0 && border_ != drawer) {
        border_->release();
    }
    border_ = drawer;
    borderOwned_ = owned ? 1 : 0;
    redrawIfVisible(true);
}

void Box::releaseBackBuffer() {
    BackBuffer::release(&state_.backBuffer);
}

image::win::BufferedImage* Box::getBackBuffer(int32_t* dx, int32_t* dy) const {
    if (state_.backBuffer != nullptr) {
        return state_.backBuffer;
    }
    IContainer* parent = state_.parent;
    if (parent == nullptr) {
        return nullptr;
    }
    *dx += state_.x + state_.dx;
    *dy += state_.y + state_.dy;
    if (const Box* box = dynamic_cast<const Box*>(parent)) {
        return box->getBackBuffer(dx, dy);
    }
    return parent->getBackBuffer();
}

void Box::addClickListener(events::IEventListener* listener) {
    clickListeners_.add(listener);
    passThrough_ = 0;
}

// Drops ------------------------------------------------------------------------------------

void Box::setAcceptFiles(bool accept) {
    acceptFiles_ = accept ? 1 : 0;
    if (GetSafeHwnd() != nullptr) {
        acceptDroppedFiles(m_hWnd, accept);
    }
}

void Box::setAcceptUrls(bool accept) {
    acceptUrls_ = accept ? 1 : 0;
    HWND handle = GetSafeHwnd();
    if (handle == nullptr) {
        if (!accept) {
            dropUrlTarget();
        }
        return;
    }
    // OLE registrations belong to the thread that owns the window (it has OLE).
    if (GetWindowThreadProcessId(handle, nullptr) != GetCurrentThreadId()) {
        SendMessage(MSG_ACCEPT_URLS, accept ? 1 : 0);
    } else if (accept) {
        makeUrlTarget();
    } else {
        dropUrlTarget();
    }
}

void Box::makeUrlTarget() {
    if (urlTarget_ != nullptr || GetSafeHwnd() == nullptr) {
        return;
    }
    UrlDropTarget* target = UrlDropTarget::pool();
    if (target == nullptr) {
        return;
    }
    target->setOwner(this);
    if (!target->Register(this)) {
        target->release();
        return;
    }
    urlTarget_ = target;
}

void Box::dropUrlTarget() {
    if (urlTarget_ != nullptr) {
        UrlDropTarget* target = urlTarget_;
        urlTarget_ = nullptr;
        target->release();
    }
}

LRESULT Box::onDropFiles(HDROP drop) {
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    droppedPaths_->clear();
    std::wstring path;
    for (UINT i = 0; i < count; ++i) {
        // Each path is read at its own length: long paths arrive whole.
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        path.assign(static_cast<size_t>(length) + 1, L'\0');
        const UINT read = DragQueryFileW(drop, i, &path[0], length + 1);
        path.resize(read);
        droppedPaths_->add(path.c_str());
    }
    dropListeners_.fire(this, DROP);
    DragFinish(drop);
    return 0;
}

// Visibility -------------------------------------------------------------------------------

void Box::setVisibleRecursive(bool visible, bool recursive) {
    if (visibilityLocked_ != 0) {
        return;
    }
    HWND handle = GetSafeHwnd();
    if (visible) {
        if (state_.visible == 0) {
            state_.visible = 1;
            if (handle != nullptr) {
                ShowWindow(handle, SW_SHOW);
            } else {
                makeHeldWindows();
            }
            if (recursive) {
                for (int32_t i = 0; i < children_.count(); ++i) {
                    setChildVisible(children_.at(i), true);
                }
            }
            relayoutParent(false);
            relayoutParent(false);
        }
        return;
    }
    if (state_.visible == 0) {
        return;
    }
    state_.visible = 0;
    if (handle != nullptr) {
        ShowWindow(handle, SW_HIDE);
        state_.setPosition(handle, ComponentState::PARKED_X, ComponentState::PARKED_Y);
        ShowWindow(handle, SW_HIDE);
    }
    if (recursive) {
        for (int32_t i = 0; i < children_.count(); ++i) {
            setChildVisible(children_.at(i), false);
        }
    }
    releaseBackBuffer();
}

void Box::showOnly(int32_t index) {
    for (int32_t i = 0; i < children_.count(); ++i) {
        if (i != index) {
            setChildVisible(children_.at(i), false);
        }
    }
    if (IComponent* shown = children_.at(index)) {
        shown->setVisible(true);
    }
}

void Box::showOnlyLocked(int32_t index) {
    for (int32_t i = 0; i < children_.count(); ++i) {
        if (i == index) {
            continue;
        }
        IComponent* child = children_.at(i);
        if (IBox* box = dynamic_cast<IBox*>(child)) {
            box->setVisibilityLocked(false);
            box->setVisibleRecursive(false, true);
            box->setVisibilityLocked(true);
        } else {
            child->setVisible(false);
        }
        child->setOffset(0, 3000);
    }
    if (IComponent* shown = children_.at(index)) {
        shown->setOffset(0, 0);
        if (IBox* box = dynamic_cast<IBox*>(shown)) {
            box->setVisibilityLocked(false);
        }
        shown->setVisible(true);
    }
}

// Messages ---------------------------------------------------------------------------------

HWND Box::childUnder(POINT client) const {
    HWND child = ChildWindowFromPointEx(m_hWnd, client, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    return child != m_hWnd ? child : nullptr;
}

void Box::setHover(uint8_t hover) {
    if (hover_ == hover) {
        return;
    }
    hover_ = hover;
    if (hoverColour_ >= 0) {
        redrawNow();
    }
}

LRESULT Box::onMouseWheel(WPARAM wParam, LPARAM lParam) {
    const POINT point = MessageArgs::point(lParam);
    if (inWheel_ != 0 || !contains(point.x, point.y)) {
        return 1;
    }
    inWheel_ = 1;
    LRESULT result = 1;
    bool taken = false;
    for (int32_t i = 0; i < children_.count() && !taken; ++i) {
        IComponent* child = children_.at(i);
        if (!child->isContainer() || !child->isVisible() || !child->contains(point.x, point.y)) {
            continue;
        }
        HWND handle = child->getNativeHandle();
        taken = handle != nullptr && ::SendMessageW(handle, WM_MOUSEWHEEL, wParam, lParam) == 0;
    }
    if (taken) {
        result = 0;
    } else if (wheelListeners_.count() > 0) {
        wheelStep_ = MessageArgs::wheelLines(wParam);
        wheelListeners_.fire(this, WHEEL);
        result = 0;
    } else if (IWindow* window = state_.window) {
        if (HWND frame = window->getFrameHandle()) {
            result = ::SendMessageW(frame, WM_MOUSEWHEEL, wParam, lParam);
        }
    }
    inWheel_ = 0;
    return result;
}

LRESULT Box::onHitTest(WPARAM wParam, LPARAM lParam) {
    const LRESULT hit = CWnd::WindowProc(WM_NCHITTEST, wParam, lParam);
    if (passThrough_ == 0 || hit != HTCLIENT) {
        return hit;
    }
    POINT point = MessageArgs::point(lParam);
    ScreenToClient(&point);
    HWND child = ChildWindowFromPointEx(m_hWnd, point, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
    return child != nullptr && child != m_hWnd && isButton(child) ? HTCLIENT : HTTRANSPARENT;
}

void Box::onMouseMove(WPARAM wParam, LPARAM lParam) {
    const POINT point = MessageArgs::point(lParam);
    const bool inside = point.x >= 0 && point.x <= state_.width && point.y >= 0 && point.y <= state_.height;
    if (inside && childUnder(point) != nullptr) {
        // Held capture would keep the child's own clicks from it.
        if (GetCapture() == m_hWnd) {
            ReleaseCapture();
        }
        return;
    }
    if (inside) {
        if (!MessageArgs::leftButton(wParam)) {
            setHover(1);
            if (GetCapture() != m_hWnd) {
                SetCapture(m_hWnd);
            }
        }
        return;
    }
    if (GetCapture() == m_hWnd) {
        ReleaseCapture();
    }
    setHover(0);
}

LRESULT Box::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DROPFILES:
        return onDropFiles(reinterpret_cast<HDROP>(wParam));
    case MSG_URL_DROPPED:
        if (urlTarget_ != nullptr && urlTarget_->text() != nullptr) {
            droppedUrl_->clear();
            droppedUrl_->appendUnits(urlTarget_->text()->c_str(), static_cast<int32_t>(urlTarget_->text()->length()));
        }
        urlListeners_.fire(this, URL);
        return 0;
    case MSG_ACCEPT_URLS:
        if (wParam != 0) {
            makeUrlTarget();
        } else {
            dropUrlTarget();
        }
        return 0;
    case WM_MOUSEWHEEL:
        return onMouseWheel(wParam, lParam);
    case WM_LBUTTONDOWN:
        if (clickListeners_.count() == 0) {
            break;
        }
        clickListeners_.fire(this, CLICK);
        return 1;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCHITTEST:
        return onHitTest(wParam, lParam);
    case WM_MOUSEMOVE:
        if (passThrough_ == 0) {
            onMouseMove(wParam, lParam);
        }
        break;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        setHover(0);
        break;
    case WM_GETDLGCODE:
        return MessageArgs::keysWanted(CWnd::WindowProc(message, wParam, lParam), lParam);
    case WM_KEYDOWN:
        return passKeyUp(wParam, lParam);
    case WM_DESTROY:
        dropUrlTarget();
        break;
    case WM_PAINT:
        paint();
        return 0;
    default:
        break;
    }
    return Native::WindowProc(message, wParam, lParam);
}

// Painting ---------------------------------------------------------------------------------

void Box::paintBackground(HDC dc, int32_t width, int32_t height) const {
    if (hoverColour_ >= 0 && hover_ != 0) {
        BackBuffer::fill(dc, width, height, static_cast<uint32_t>(hoverColour_));
    } else if (paintParent_ != 0) {
        BackBuffer::copyParentBackground(this, dc, width, height);
    } else {
        BackBuffer::fill(dc, width, height, state_.background);
    }
}

void Box::paint() {
    CPaintDC dc(m_hWnd);
    paintedByListener_ = 0;
    if (paintListeners_.count() > 0) {
        paintDc_ = dc;
        paintListeners_.fire(this, PAINT);
        paintDc_ = nullptr;
        if (paintedByListener_ != 0) {
            return;
        }
    }
    RECT client;
    GetClientRect(&client);
    const int32_t width = client.right;
    const int32_t height = client.bottom;
    if (width <= 0 || height <= 0) {
        return;
    }
    // Children paint themselves.
    BackBuffer::excludeChildren(m_hWnd, dc);
    const bool offScreen = state_.backBuffer != nullptr || border_ != nullptr || paintParent_ == 0 ||
                           (hoverColour_ >= 0 && hover_ != 0);
    if (offScreen) {
        if (thread::Held<MemDC> mem{BackBuffer::paintInto(m_hWnd, &state_.backBuffer, width, height)}) {
            paintBackground(*mem.get(), width, height);
            if (border_ != nullptr) {
                border_->draw(*mem.get(), 0, 0, width, height);
            }
            BitBlt(dc, 0, 0, width, height, *mem.get(), 0, 0, SRCCOPY);
            return;
        }
    }
    paintBackground(dc, width, height);
    if (border_ != nullptr) {
        border_->draw(dc, 0, 0, width, height);
    }
}

} // namespace s::gui::win
