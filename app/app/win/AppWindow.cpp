#include "app/app/win/AppWindow.h"

#include <atomic>

#include "app/app/IAppBase.h"
#include "app/app/win/UpdateCheck.h"
#include "core/thread/ObjLocker.h"
#include "drawers/gui/drawer/ISkin.h"
#include "drawers/gui/drawer/Skinner.h"
#include "images/image/ico/win/IconImage.h"
#include "system/lang/Localizer.h"
#include "system/map/IMappedData.h"
#include "system/monitor/UiScale.h"
#include "system/monitor/win/Monitor.h"
#include "system/monitor/win/Monitors.h"
#include "system/system/win/OsFacts.h"
#include "widgets/gui/IWindow.h"

namespace s::app::win {

namespace {

typedef thread::ObjLocker::Guard Guard;
using gui::IWindow;

const wchar_t* const VIEW = L"View";
const wchar_t* const ON_MIDDLE_CLICK = L"OnMClick";
const wchar_t* const SKIN = L"Skin";

ITaskbarList3* systemTaskbar() {
    ITaskbarList3* taskbar = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_ALL, IID_ITaskbarList3,
                                reinterpret_cast<void**>(&taskbar)))) {
        return nullptr;
    }
    return taskbar;
}

std::atomic<AppWindow::TaskbarFactory> g_taskbarFactory{&systemTaskbar};

const wchar_t* viewGroupOfScale(int32_t scale) {
    return scale >= 4 ? L"View8K" : scale >= 2 ? L"View4K" : L"View";
}

int32_t overlap(LONG aStart, LONG aEnd, LONG bStart, LONG bEnd) {
    const LONG start = aStart > bStart ? aStart : bStart;
    const LONG end = aEnd < bEnd ? aEnd : bEnd;
    return end > start ? static_cast<int32_t>(end - start) : 0;
}

// Moves [start, start + size) into [areaStart, areaEnd); a larger span starts at areaStart.
LONG clampSpan(LONG start, LONG size, LONG areaStart, LONG areaEnd) {
    if (start + size > areaEnd) {
        start = areaEnd - size;
    }
    return start < areaStart ? areaStart : start;
}

} // namespace

AppWindow::TaskbarFactory AppWindow::setTaskbarFactory(TaskbarFactory factory) {
    return g_taskbarFactory.exchange(factory != nullptr ? factory : &systemTaskbar);
}

AppWindow::AppWindow() : app_(nullptr), skinner_(nullptr), ownsSkinner_(0), icons_{nullptr, nullptr}, taskbar_(nullptr), taskbarThread_(0), listened_(nullptr) {
    reset();
}

AppWindow::~AppWindow() {
    reset();
}

void AppWindow::reset() {
    actionText_.clear();
    groupText_.clear();
    app_ = nullptr;
    name_.clear();
    viewGroup_ = VIEW;
    titleTextBase_ = IAppBase::TITLE_TEXT_BASE;
    if (skinner_ != nullptr && ownsSkinner_ != 0) {
        skinner_->release();
    }
    skinner_ = nullptr;
    ownsSkinner_ = 0;
    skinName_.clear();
    skinText_.clear();
    // Windows bound to the record are given back before it.
    for (HICON& icon : icons_) {
        if (icon != nullptr) {
            DestroyIcon(icon);
            icon = nullptr;
        }
    }
    defaultWidth_ = 500;
    defaultHeight_ = 500;
    defaultEasyDrag_ = 1;
    defaultMaximized_ = 0;
    defaultKeepOnTop_ = 1;
    middleClick_ = IWindow::MIDDLE_CLOSE;
    if (taskbar_ != nullptr) {
        taskbar_->Release();
        taskbar_ = nullptr;
    }
    taskbarThread_ = 0;
    // The window has been given back before its record; it keeps no listener.
    listened_ = nullptr;
}

AppWindow* AppWindow::create(IAppBase* app, const wchar_t* name, int32_t defaultWidth, int32_t defaultHeight,
                             const wchar_t* closeAction, gui::drawer::Skinner* skinner, const wchar_t* skinName) {
    AppWindow* record = pool();
    if (record != nullptr) {
        record->init(app, name, defaultWidth, defaultHeight, closeAction, skinner, skinName);
    }
    return record;
}

void AppWindow::init(IAppBase* app, const wchar_t* name, int32_t defaultWidth, int32_t defaultHeight,
                     const wchar_t* closeAction, gui::drawer::Skinner* skinner, const wchar_t* skinName) {
    app_ = app;
    name_.assign(name != nullptr ? name : L"");
    viewGroup_ = viewGroupOfScale(system::monitor::uiScale());
    titleTextBase_ = IAppBase::TITLE_TEXT_BASE;
    gui::drawer::Skinner* shared = app_ != nullptr ? app_->skinner() : nullptr;
    if (skinner_ != nullptr && ownsSkinner_ != 0 && skinner_ != skinner) {
        skinner_->release();
    }
    ownsSkinner_ = skinner != nullptr && skinner != shared ? 1 : 0;
    skinner_ = ownsSkinner_ != 0 ? skinner : shared;
    gui::drawer::ISkin* current = skinner_ != nullptr ? skinner_->getCurrentSkin() : nullptr;
    skinName_.assign(ownsSkinner_ != 0 ? (skinName != nullptr ? skinName : L"")
                                       : (current != nullptr ? current->getName() : L""));
    defaultWidth_ = defaultWidth;
    defaultHeight_ = defaultHeight;
    defaultEasyDrag_ = 1;
    defaultMaximized_ = 0;
    defaultKeepOnTop_ = 1;
    middleClick_ = closeAction == IWindow::MIDDLE_ICONIZE || closeAction == IWindow::MIDDLE_DO_NOTHING
                       ? closeAction
                       : IWindow::MIDDLE_CLOSE;
    map::IMappedData* store = app_ != nullptr ? app_->store() : nullptr;
    if (store != nullptr) {
        Guard guard(app_->storeLock());
        store->setAutoSave(false);
        lang::Localizer* texts = localizer();
        store->setString(groupPath(L"SoftwareID"), L"",
                         texts != nullptr ? texts->getText(IAppBase::REGISTRY_NAME_TEXT) : L"");
        store->setString(groupPath(L"Version"), L"",
                         texts != nullptr ? texts->getText(titleTextBase_ + IAppBase::VERSION_TEXT) : L"");
        middleClick_ = readAction();
        store->setAutoSave(true);
    }
    if (ownsSkinner_ != 0) {
        // Outside the store's lock: selecting tells the skinner's listeners when the
        // skin changes, and they may reach the store from other threads.
        skinner_->selectSkin(this->skinName());
    }
    // The taskbar object is made later, on the window's UI thread, where it is used.
}

const wchar_t* AppWindow::groupPath(const wchar_t* sub) {
    groupText_.assign(name_.c_str());
    groupText_.appendChar(L'\\')->append(sub != nullptr ? sub : L"");
    return groupText_.c_str();
}

lang::Localizer* AppWindow::localizer() const {
    return app_ != nullptr ? app_->localizer() : nullptr;
}

const wchar_t* AppWindow::skinName() {
    if (ownsSkinner_ == 0) {
        return app_ != nullptr ? app_->skinName() : L"";
    }
    gui::drawer::ISkin* current = skinner_->getCurrentSkin();
    const wchar_t* fallback = current != nullptr ? current->getName() : L"";
    skinText_.assign(fallback);
    withStore(false, [&](map::IMappedData* store) {
        skinText_.assign(store->getString(groupPath(SKIN), L"", fallback, nullptr, false));
        return true;
    });
    int32_t index = -1;
    if (!skinner_->indexOfSkin(skinText_.c_str(), &index)) {
        skinText_.assign(skinName_.c_str());
    }
    return skinText_.c_str();
}

gui::drawer::ISkinHolder* AppWindow::skinHolder() {
    return skinner_;
}

HICON AppWindow::iconHandle(int32_t which) {
    if (icons_[which] == nullptr && app_ != nullptr) {
        image::ico::win::IconImage* image = which == 0 ? app_->icon16() : app_->icon32();
        icons_[which] = image != nullptr ? image->createIcon() : nullptr;
    }
    return icons_[which];
}

void AppWindow::setSkinName(const wchar_t* name) {
    if (ownsSkinner_ == 0) {
        if (app_ != nullptr) {
            app_->setSkinName(name);
        }
        return;
    }
    withStore(false, [&](map::IMappedData* store) {
        return store->setString(groupPath(SKIN), L"", name != nullptr ? name : L"");
    });
    skinner_->selectSkin(skinName());
}

// Store access ---------------------------------------------------------------------------

template <class T, class Fn>
T AppWindow::withStore(T fallback, Fn fn) {
    return app_ != nullptr ? app_->withStore(fallback, fn) : fallback;
}

bool AppWindow::hasView(const wchar_t* key) {
    return withStore(false, [&](map::IMappedData* store) { return store->hasValue(groupPath(viewGroup_), key); });
}

int32_t AppWindow::viewInt(const wchar_t* key, int32_t def) {
    return withStore(def, [&](map::IMappedData* store) { return store->getS32(groupPath(viewGroup_), key, def); });
}

void AppWindow::setViewInt(const wchar_t* key, int32_t value) {
    withStore(false, [&](map::IMappedData* store) { return store->setS32(groupPath(viewGroup_), key, value); });
}

bool AppWindow::optionBool(const wchar_t* key, bool def) {
    return withStore(def, [&](map::IMappedData* store) { return store->getBool(groupPath(VIEW), key, def); });
}

void AppWindow::setOptionBool(const wchar_t* key, bool value) {
    withStore(false, [&](map::IMappedData* store) { return store->setBool(groupPath(VIEW), key, value); });
}

void AppWindow::setPlacement(int32_t x, int32_t y, int32_t width, int32_t height) {
    // One lock over the four values, so no reader sees half a placement.
    withStore(false, [&](map::IMappedData*) {
        setX(x);
        setY(y);
        setWidth(width);
        setHeight(height);
        return true;
    });
}

void AppWindow::setSize(int32_t width, int32_t height) {
    withStore(false, [&](map::IMappedData*) {
        setWidth(width);
        setHeight(height);
        return true;
    });
}

void AppWindow::clearPlacement() {
    withStore(false, [&](map::IMappedData* store) {
        const wchar_t* group = groupPath(viewGroup_);
        for (const wchar_t* key : {L"X", L"Y", L"Width", L"Height"}) {
            store->deleteValue(group, key);
        }
        return true;
    });
}

bool AppWindow::widthIsValid() {
    const int32_t value = width();
    return value >= 10 && value <= GetSystemMetrics(SM_CXVIRTUALSCREEN);
}

bool AppWindow::heightIsValid() {
    const int32_t value = height();
    return value >= 10 && value <= GetSystemMetrics(SM_CYVIRTUALSCREEN);
}

void AppWindow::setNormalBounds(int32_t x, int32_t y, int32_t width, int32_t height) {
    setPlacement(x, y, width, height);
}

void AppWindow::setLanguageName(const wchar_t* name) {
    if (app_ != nullptr && name != nullptr && name[0] != L'\0') {
        app_->setLanguageName(name);
    }
}

void AppWindow::persist() {
    if (app_ != nullptr) {
        app_->saveStore();
    }
}

// Middle click -----------------------------------------------------------------------------

const wchar_t* AppWindow::readAction() {
    if (!withStore(false, [&](map::IMappedData* store) {
            actionText_.assign(store->getString(groupPath(VIEW), ON_MIDDLE_CLICK, middleClick_, nullptr, false));
            return true;
        })) {
        return middleClick_;
    }
    if (wcscmp(actionText_.c_str(), IWindow::MIDDLE_ICONIZE) == 0) {
        return IWindow::MIDDLE_ICONIZE;
    }
    return wcscmp(actionText_.c_str(), IWindow::MIDDLE_CLOSE) == 0 ? IWindow::MIDDLE_CLOSE : IWindow::MIDDLE_DO_NOTHING;
}

bool AppWindow::middleClickCloses() {
    return readAction() == IWindow::MIDDLE_CLOSE;
}

bool AppWindow::middleClickIconizes() {
    return readAction() == IWindow::MIDDLE_ICONIZE;
}

const wchar_t* AppWindow::middleClickAction() {
    return readAction();
}

void AppWindow::setMiddleClickAction(const wchar_t* action) {
    if (action == nullptr || wcscmp(action, middleClick_) == 0) {
        return;
    }
    middleClick_ = wcscmp(action, IWindow::MIDDLE_ICONIZE) == 0 ? IWindow::MIDDLE_ICONIZE
                   : wcscmp(action, IWindow::MIDDLE_CLOSE) == 0 ? IWindow::MIDDLE_CLOSE
                                                                 : IWindow::MIDDLE_DO_NOTHING;
    withStore(false, [&](map::IMappedData* store) {
        return store->setString(groupPath(VIEW), ON_MIDDLE_CLICK, middleClick_);
    });
}

// Geometry ------------------------------------------------------------------------------

bool AppWindow::fitOntoWorkAreas(RECT* rect, const RECT* areas, int32_t count) {
    if (rect == nullptr || areas == nullptr || count <= 0) {
        return false;
    }
    const LONG width = rect->right - rect->left;
    const LONG height = rect->bottom - rect->top;
    int32_t across = 0;
    int32_t down = 0;
    int32_t nearest = 0;
    int64_t nearestDistance = INT64_MAX;
    const int64_t centreX = rect->left + width / 2;
    const int64_t centreY = rect->top + height / 2;
    for (int32_t i = 0; i < count; ++i) {
        const RECT& area = areas[i];
        const int32_t x = overlap(rect->left, rect->right, area.left, area.right);
        const int32_t y = overlap(rect->top, rect->bottom, area.top, area.bottom);
        if (x > 0 && y > 0) {
            across = x > across ? x : across;
            down = y > down ? y : down;
        }
        const int64_t dx = centreX - (area.left + (area.right - area.left) / 2);
        const int64_t dy = centreY - (area.top + (area.bottom - area.top) / 2);
        const int64_t distance = dx * dx + dy * dy;
        if (distance < nearestDistance) {
            nearestDistance = distance;
            nearest = i;
        }
    }
    if (across >= MIN_VISIBLE && down >= MIN_VISIBLE) {
        return false;
    }
    const RECT& area = areas[nearest];
    rect->left = clampSpan(rect->left, width, area.left, area.right);
    rect->top = clampSpan(rect->top, height, area.top, area.bottom);
    rect->right = rect->left + width;
    rect->bottom = rect->top + height;
    return true;
}

RECT AppWindow::boundsToOpen() {
    const int32_t w = widthIsValid() ? width() : defaultWidth_;
    const int32_t h = heightIsValid() ? height() : defaultHeight_;
    RECT areas[16];
    int32_t count = 0;
    const int32_t monitors = system::monitor::win::monitorCount();
    for (int32_t i = 0; i < monitors && count < 16; ++i) {
        if (const system::monitor::win::Monitor* monitor = system::monitor::win::monitorAt(i)) {
            areas[count++] = RECT{monitor->workLeft(), monitor->workTop(), monitor->workLeft() + monitor->workWidth(),
                                  monitor->workTop() + monitor->workHeight()};
        }
    }
    if (count == 0) {
        areas[count++] = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    RECT rect;
    if (hasPlacement()) {
        rect.left = x();
        rect.top = y();
    } else {
        namespace monitor = system::monitor::win;
        rect.left = monitor::workAreaLeft() + (monitor::workAreaWidth() - w) / 2;
        rect.top = monitor::workAreaTop() + (monitor::workAreaHeight() - h) / 2;
    }
    rect.right = rect.left + w;
    rect.bottom = rect.top + h;
    fitOntoWorkAreas(&rect, areas, count);
    return rect;
}

// Update check and taskbar ---------------------------------------------------------------

void AppWindow::checkForUpdate(gui::IWindow* window) {
    UpdateCheck::run(this, window);
}

ITaskbarList3* AppWindow::taskbarFor(gui::IWindow* window) {
    HWND frame = window != nullptr ? window->getFrameHandle() : nullptr;
    if (frame == nullptr || GetWindowThreadProcessId(frame, nullptr) != GetCurrentThreadId()) {
        return nullptr;
    }
    if (taskbar_ != nullptr) {
        // An object is bound to the thread that made it.
        return taskbarThread_ == GetCurrentThreadId() ? taskbar_ : nullptr;
    }
    system::win::OsFacts::loadOsFacts();
    if (!system::win::OsFacts::isWindows7OrLater()) {
        return nullptr;
    }
    ITaskbarList3* taskbar = g_taskbarFactory.load()();
    if (taskbar == nullptr) {
        return nullptr;
    }
    if (FAILED(taskbar->HrInit())) {
        taskbar->Release();
        return nullptr;
    }
    taskbar_ = taskbar;
    taskbarThread_ = GetCurrentThreadId();
    return taskbar_;
}

bool AppWindow::taskbarStart(gui::IWindow* window) {
    return taskbarCall(window, TASKBAR_START, 0, 0);
}

bool AppWindow::taskbarProgress(gui::IWindow* window, int32_t total, int32_t done) {
    return taskbarCall(window, TASKBAR_PROGRESS, total, done);
}

bool AppWindow::taskbarEnd(gui::IWindow* window) {
    return taskbarCall(window, TASKBAR_END, 0, 0);
}

bool AppWindow::taskbarCall(gui::IWindow* window, const wchar_t* name, int32_t total, int32_t done) {
    HWND frame = window != nullptr ? window->getFrameHandle() : nullptr;
    if (frame == nullptr) {
        return false;
    }
    if (GetWindowThreadProcessId(frame, nullptr) == GetCurrentThreadId()) {
        return applyTaskbarCall(window, name, total, done);
    }
    if (listened_ != window) {
        if (listened_ != nullptr) {
            listened_->removeListener(this);
        }
        window->addWorkerEventListener(this);
        listened_ = window;
    }
    return window->sendWorkerEvent(name, total, done, nullptr) != 0;
}

void AppWindow::onEvent(base::IObject* source, int32_t) {
    gui::IWindow* window = dynamic_cast<gui::IWindow*>(source);
    if (window == nullptr) {
        return;
    }
    const wchar_t* name = window->getEventName();
    if (name == TASKBAR_START || name == TASKBAR_PROGRESS || name == TASKBAR_END) {
        const bool done = applyTaskbarCall(window, name, static_cast<int32_t>(window->getEventValue1()),
                                           static_cast<int32_t>(window->getEventValue2()));
        window->setWorkerEventResult(done ? 1 : 0);
    }
}

bool AppWindow::applyTaskbarCall(gui::IWindow* window, const wchar_t* name, int32_t total, int32_t done) {
    ITaskbarList3* taskbar = taskbarFor(window);
    if (taskbar == nullptr) {
        return false;
    }
    HWND frame = window->getFrameHandle();
    if (name == TASKBAR_PROGRESS) {
        // A negative count would turn into a huge unsigned value.
        const ULONGLONG completed = done > 0 ? static_cast<ULONGLONG>(done) : 0;
        const ULONGLONG all = total > 0 ? static_cast<ULONGLONG>(total) : 0;
        return SUCCEEDED(taskbar->SetProgressValue(frame, completed, all));
    }
    return SUCCEEDED(taskbar->SetProgressState(frame, name == TASKBAR_START ? TBPF_INDETERMINATE : TBPF_NOPROGRESS));
}

} // namespace s::app::win
