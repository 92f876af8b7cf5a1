#pragma once
#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/ClassPool.h"
#include "widgets/gui/events/IEventListener.h"

namespace s::gui::win { class Window; }

namespace s::app::win {

class AppWindow;

// The program's main window until the Drop Box takes its place: an empty toolkit
// window bound to the "MainWindow" record. It opens where the record puts it, runs
// the update check, and remembers its placement when it is closed.
//   PlainMainWindow main;
//   main.open(record);
//   main.run();          // until the window is closed
//   main.close();
class PlainMainWindow : public base::IObject, public gui::events::IEventListener {
    S_CLASS_NAME(L"s_app_win_PlainMainWindow")
public:
    PlainMainWindow();
    ~PlainMainWindow() override;
    PlainMainWindow(const PlainMainWindow&) = delete;
    PlainMainWindow& operator=(const PlainMainWindow&) = delete;

    base::IObject* newInstance() const override { return nullptr; }

    // Makes and shows the window; false when it could not be made.
    bool open(AppWindow* record);
    // The update check, then waits (handling messages) until the window is closed.
    void run();
    // Destroys the window.
    void close();

    gui::win::Window* window() const { return window_; }

    // Code 1 from the window: closing; the placement is remembered.
    void onEvent(base::IObject* source, int32_t eventCode) override;

private:
    void rememberPlacement();

    AppWindow* record_;
    gui::win::Window* window_;
};

} // namespace s::app::win
