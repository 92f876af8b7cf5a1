#pragma once
#include <windows.h>
#include <shobjidl.h>

#include <cstdint>

#include "app/app/IAppWindow.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "system/gui/events/IEventListener.h"
#include "widgets/gui/IWindowState.h"

namespace s::app::win {

// The state record of one top-level window, read and written through the context's
// store under groups named after the record ("MainWindow\View", "MainWindow\View4K"):
//   AppWindow* record = AppWindow::create(app, L"MainWindow", 250 * scale, 250 * scale,
//                                         IWindow::MIDDLE_CLOSE);
//   window->setStateRecord(record);
//   ... record->x(), record->setPlacement(...) ...
//   record->release();
class AppWindow : public IAppWindow,
                  public gui::IWindowState,
                  public gui::events::IEventListener,
                  public thread::IPoolable {
    S_POOLED_CLASS(AppWindow, 1000, L"s_app_win_AppWindow")
public:
    typedef str::strbuffer::StrBuffer StrBuffer;
    // Makes the taskbar object (tests put a recorder in place); null restores the system's.
    typedef ITaskbarList3* (*TaskbarFactory)();
    static TaskbarFactory setTaskbarFactory(TaskbarFactory factory);

    // Fewer pixels than this inside the screens, across or down, count as off screen.
    static constexpr int32_t MIN_VISIBLE = 10;

    ~AppWindow() override;
    AppWindow(const AppWindow&) = delete;
    AppWindow& operator=(const AppWindow&) = delete;

    // A record from the pool bound to the context; writes the identification values
    // under its name and reads its middle-click action. Without a skinner the record
    // shares the context's; a skinner of its own is owned and shows the record's stored
    // skin, else skinName, else its first.
    static AppWindow* create(IAppBase* app, const wchar_t* name, int32_t defaultWidth, int32_t defaultHeight,
                             const wchar_t* closeAction, gui::drawer::Skinner* skinner = nullptr,
                             const wchar_t* skinName = nullptr);
    void init(IAppBase* app, const wchar_t* name, int32_t defaultWidth, int32_t defaultHeight,
              const wchar_t* closeAction, gui::drawer::Skinner* skinner = nullptr, const wchar_t* skinName = nullptr);

    void reset() override;

    IAppBase* appBase() const override { return app_; }
    const wchar_t* name() const override { return name_.c_str(); }
    const wchar_t* groupPath(const wchar_t* sub) override;
    int32_t titleTextBase() const override { return titleTextBase_; }
    lang::Localizer* localizer() const override;
    bool hasSkinner() const override { return skinner_ != nullptr; }
    gui::drawer::Skinner* skinner() const override { return skinner_; }
    const wchar_t* skinName() override;
    void setSkinName(const wchar_t* name) override;

    bool hasPlacement() override { return hasX() && hasY(); }
    void setPlacement(int32_t x, int32_t y, int32_t width, int32_t height) override;
    void setSize(int32_t width, int32_t height) override;
    void clearPlacement() override;
    bool hasX() override { return hasView(L"X"); }
    int32_t x() override { return viewInt(L"X", 0); }
    void setX(int32_t value) override { setViewInt(L"X", value); }
    bool hasY() override { return hasView(L"Y"); }
    int32_t y() override { return viewInt(L"Y", 0); }
    void setY(int32_t value) override { setViewInt(L"Y", value); }
    bool widthIsValid() override;
    bool hasWidth() override { return hasView(L"Width"); }
    int32_t width() override { return viewInt(L"Width", defaultWidth_); }
    void setWidth(int32_t value) override { setViewInt(L"Width", value); }
    bool heightIsValid() override;
    bool hasHeight() override { return hasView(L"Height"); }
    int32_t height() override { return viewInt(L"Height", defaultHeight_); }
    void setHeight(int32_t value) override { setViewInt(L"Height", value); }

    bool easyDrag() override { return optionBool(L"EasyDrag", defaultEasyDrag_ != 0); }
    void setEasyDrag(bool on) override { setOptionBool(L"EasyDrag", on); }
    bool maximized() override { return optionBool(L"Maximized", defaultMaximized_ != 0); }
    void setMaximized(bool on) override { setOptionBool(L"Maximized", on); }
    bool keepOnTop() override { return optionBool(L"KeepOnTop", defaultKeepOnTop_ != 0); }
    void setKeepOnTop(bool on) override { setOptionBool(L"KeepOnTop", on); }
    bool middleClickCloses() override;
    bool middleClickIconizes() override;
    const wchar_t* middleClickAction() override;
    void setMiddleClickAction(const wchar_t* action) override;

    void checkForUpdate(gui::IWindow* window) override;

    // From any thread: a call off the window's UI thread is carried there as a worker
    // event of the window (the record listens to the window from then on, so it must
    // outlive the window).
    bool taskbarStart(gui::IWindow* window) override;
    bool taskbarProgress(gui::IWindow* window, int32_t total, int32_t done) override;
    bool taskbarEnd(gui::IWindow* window) override;
    // The window's worker events that carry taskbar calls.
    void onEvent(base::IObject* source, int32_t eventCode) override;
    static constexpr wchar_t TASKBAR_START[] = L"AppWindowTaskbarStart";
    static constexpr wchar_t TASKBAR_PROGRESS[] = L"AppWindowTaskbarProgress";
    static constexpr wchar_t TASKBAR_END[] = L"AppWindowTaskbarEnd";

    // What the window tells its record.
    void setNormalBounds(int32_t x, int32_t y, int32_t width, int32_t height) override;
    // The window's new language, kept by the context for the next start.
    void setLanguageName(const wchar_t* name) override;
    void persist() override;
    // The program's 16- and 32-pixel icons, made on first use and kept by the record.
    HICON smallIcon() override { return iconHandle(0); }
    HICON largeIcon() override { return iconHandle(1); }
    gui::drawer::ISkinHolder* skinHolder() override;

    int32_t defaultWidth() const override { return defaultWidth_; }
    int32_t defaultHeight() const override { return defaultHeight_; }
    const wchar_t* viewGroup() const { return viewGroup_; }

    // The frame rectangle to open with: the stored one (the default size where the
    // stored size is not valid; centred on the primary work area without a stored
    // position), moved onto a monitor when it lies off every one.
    RECT boundsToOpen();
    // Moves rect into the nearest of the work areas when fewer than MIN_VISIBLE pixels
    // of it lie inside them across or down; true when it moved. A rectangle larger than
    // the area keeps its size and is aligned to the area's top-left corner.
    static bool fitOntoWorkAreas(RECT* rect, const RECT* areas, int32_t count);

private:
    AppWindow();

    // fn(store) under the store's lock; fallback without a context or store.
    template <class T, class Fn>
    T withStore(T fallback, Fn fn);
    bool hasView(const wchar_t* key);
    int32_t viewInt(const wchar_t* key, int32_t def);
    void setViewInt(const wchar_t* key, int32_t value);
    bool optionBool(const wchar_t* key, bool def);
    void setOptionBool(const wchar_t* key, bool value);
    // The action text stored, as one of the constants.
    const wchar_t* readAction();
    HICON iconHandle(int32_t which);
    // The taskbar object for a call on the window's UI thread; null elsewhere.
    ITaskbarList3* taskbarFor(gui::IWindow* window);
    // Runs one taskbar call (name: TASKBAR_*) on the window's UI thread.
    bool taskbarCall(gui::IWindow* window, const wchar_t* name, int32_t total, int32_t done);
    bool applyTaskbarCall(gui::IWindow* window, const wchar_t* name, int32_t total, int32_t done);

    StrBuffer actionText_;
    StrBuffer groupText_;
    IAppBase* app_;
    StrBuffer name_;
    const wchar_t* viewGroup_;
    int32_t titleTextBase_;
    gui::drawer::Skinner* skinner_;
    // The skinner is the record's own, not the context's.
    uint8_t ownsSkinner_;
    StrBuffer skinName_;
    // What skinName() answers, valid until its next call.
    StrBuffer skinText_;
    int32_t defaultWidth_;
    int32_t defaultHeight_;
    uint8_t defaultEasyDrag_;
    uint8_t defaultMaximized_;
    uint8_t defaultKeepOnTop_;
    const wchar_t* middleClick_;
    // Small and large, destroyed on reset.
    HICON icons_[2];
    ITaskbarList3* taskbar_;
    DWORD taskbarThread_;
    // The window whose worker events carry taskbar calls to its UI thread.
    gui::IWindow* listened_;
};

} // namespace s::app::win
