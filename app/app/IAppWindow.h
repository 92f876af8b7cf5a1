#pragma once
#include <cstdint>

#include "core/base/IObject.h"

namespace s::gui { class IWindow; }
namespace s::gui::drawer { class Skinner; }
namespace s::lang { class Localizer; }

namespace s::app {

class IAppBase;

// The remembered state of one top-level window, kept in the settings store under the
// record's name: placement per UI scale, view options and the last update check. The
// main window's record also shows the progress on the window's taskbar button.
class IAppWindow : public base::IObject {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_app_IAppWindow";

    virtual IAppBase* appBase() const = 0;
    virtual const wchar_t* name() const = 0;
    // Name + "\" + sub; valid until the next call on the record.
    virtual const wchar_t* groupPath(const wchar_t* sub) = 0;
    virtual int32_t titleTextBase() const = 0;
    virtual lang::Localizer* localizer() const = 0;
    // The record's own skinner, else the context's; null when neither has one.
    virtual bool hasSkinner() const = 0;
    virtual gui::drawer::Skinner* skinner() const = 0;
    // A record with a skinner of its own keeps its skin under Name + "\Skin"; the others
    // share the context's.
    virtual const wchar_t* skinName() = 0;
    // Stores the name and makes that skin current.
    virtual void setSkinName(const wchar_t* name) = 0;

    // Placement in the group of the current UI scale.
    virtual bool hasPlacement() = 0;
    virtual void setPlacement(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    virtual void setSize(int32_t width, int32_t height) = 0;
    virtual void clearPlacement() = 0;
    virtual bool hasX() = 0;
    virtual int32_t x() = 0;
    virtual void setX(int32_t value) = 0;
    virtual bool hasY() = 0;
    virtual int32_t y() = 0;
    virtual void setY(int32_t value) = 0;
    // At least 10 and at most the virtual screen's width.
    virtual bool widthIsValid() = 0;
    virtual bool hasWidth() = 0;
    virtual int32_t width() = 0;
    virtual void setWidth(int32_t value) = 0;
    virtual bool heightIsValid() = 0;
    virtual bool hasHeight() = 0;
    virtual int32_t height() = 0;
    virtual void setHeight(int32_t value) = 0;

    virtual bool easyDrag() = 0;
    virtual void setEasyDrag(bool on) = 0;
    virtual bool maximized() = 0;
    virtual void setMaximized(bool on) = 0;
    virtual bool keepOnTop() = 0;
    virtual void setKeepOnTop(bool on) = 0;
    virtual bool middleClickCloses() = 0;
    virtual bool middleClickIconizes() = 0;
    // One of the window's constants IWindow::MIDDLE_*.
    virtual const wchar_t* middleClickAction() = 0;
    virtual void setMiddleClickAction(const wchar_t* action) = 0;

    // At most every 720 hours: asks the version page whether a newer version exists
    // and offers the software page. window owns the question (may be null).
    virtual void checkForUpdate(gui::IWindow* window) = 0;

    // The progress on the window's taskbar button (Windows 7 and later), shown by the
    // window's own UI thread whichever thread calls; true when the taskbar took it.
    virtual bool taskbarStart(gui::IWindow* window) = 0;
    virtual bool taskbarProgress(gui::IWindow* window, int32_t total, int32_t done) = 0;
    virtual bool taskbarEnd(gui::IWindow* window) = 0;
};

} // namespace s::app
