#include "app/app/win/PlainMainWindow.h"

#include "app/app/IAppBase.h"
#include "app/app/win/AppWindow.h"
#include "widgets/gui/win/Window.h"

namespace s::app::win {

PlainMainWindow::PlainMainWindow() : record_(nullptr), window_(nullptr) {}

PlainMainWindow::~PlainMainWindow() {
    close();
}

bool PlainMainWindow::open(AppWindow* record) {
    close();
    record_ = record;
    window_ = gui::win::Window::pool();
    if (window_ == nullptr || window_->getFrameHandle() == nullptr) {
        close();
        return false;
    }
    IAppBase* app = record->appBase();
    window_->setLocalizer(app != nullptr ? app->localizer() : nullptr);
    window_->setTitleTextId(record->titleTextBase(), record->titleTextBase() + IAppBase::VERSION_TEXT);
    window_->setStateRecord(record);
    window_->setMiddleClickAction(record->middleClickAction());
    window_->addCloseListener(this);
    const RECT bounds = record->boundsToOpen();
    window_->setBounds(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
    if (record->maximized()) {
        window_->maximize();
    } else {
        window_->showNormal();
    }
    window_->activate(true);
    return true;
}

void PlainMainWindow::run() {
    if (window_ == nullptr) {
        return;
    }
    record_->checkForUpdate(window_);
    window_->waitUntilClosed();
}

void PlainMainWindow::close() {
    if (window_ != nullptr) {
        window_->removeListener(this);
        window_->release();
        window_ = nullptr;
    }
    record_ = nullptr;
}

void PlainMainWindow::onEvent(base::IObject* source, int32_t eventCode) {
    if (eventCode == 1 && window_ != nullptr && source == static_cast<base::IObject*>(window_)) {
        rememberPlacement();
    }
}

void PlainMainWindow::rememberPlacement() {
    HWND frame = window_->getFrameHandle();
    if (frame == nullptr || record_ == nullptr) {
        return;
    }
    // Minimised or maximised, the rectangle to come back to is the normal one.
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    RECT rect;
    const bool zoomed = IsZoomed(frame) != FALSE;
    if ((IsIconic(frame) || zoomed) && GetWindowPlacement(frame, &placement)) {
        rect = placement.rcNormalPosition;
    } else if (!GetWindowRect(frame, &rect)) {
        return;
    }
    record_->setPlacement(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    record_->setMaximized(zoomed);
}

} // namespace s::app::win
