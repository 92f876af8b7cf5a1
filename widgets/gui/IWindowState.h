#pragma once
#include <windows.h>

#include <cstdint>

namespace s::lang { class Localizer; }
namespace s::gui::drawer { class ISkinHolder; }

namespace s::gui {

// The record that remembers a window's state (position, size, maximized, language) and
// holds what the window is set up from (IWindow::applyState); the application's window
// records implement it. The queries answer "nothing known" unless a record overrides
// them, so a record may keep only what it needs.
class IWindowState {
public:
    // The version text's id is the title text's id plus this.
    static constexpr int32_t VERSION_TEXT = 10;

    virtual ~IWindowState() = default;
    virtual void setMaximized(bool maximized) = 0;
    virtual void setNormalBounds(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    // The English name of the language pack now current.
    virtual void setLanguageName(const wchar_t* name) = 0;
    // The system shuts down: save what is held.
    virtual void persist() = 0;

    virtual bool maximized() { return false; }
    // Both X and Y are stored.
    virtual bool hasPlacement() { return false; }
    virtual bool hasX() { return false; }
    virtual int32_t x() { return 0; }
    virtual void setX(int32_t) {}
    virtual bool hasY() { return false; }
    virtual int32_t y() { return 0; }
    virtual void setY(int32_t) {}
    virtual bool hasWidth() { return false; }
    // The stored width is one a window can take (not too small, not wider than the screens).
    virtual bool widthIsValid() { return false; }
    virtual int32_t width() { return -1; }
    virtual void setWidth(int32_t) {}
    virtual bool hasHeight() { return false; }
    virtual bool heightIsValid() { return false; }
    virtual int32_t height() { return -1; }
    virtual void setHeight(int32_t) {}

    // The size to open with for the current UI scale (-1: none).
    virtual int32_t defaultWidth() const { return -1; }
    virtual int32_t defaultHeight() const { return -1; }
    // The language pack and the id of the title text (-1: none).
    virtual lang::Localizer* localizer() const { return nullptr; }
    virtual int32_t titleTextBase() const { return -1; }
    // The window's icons (not handed over: the record keeps them).
    virtual HICON smallIcon() { return nullptr; }
    virtual HICON largeIcon() { return nullptr; }
    // The options the window is set up with.
    virtual bool easyDrag() { return false; }
    virtual bool keepOnTop() { return false; }
    // One of IWindow's MIDDLE_* constants; null keeps the window's own.
    virtual const wchar_t* middleClickAction() { return nullptr; }
    // The holder of the skins the window's widgets take their drawers from (null: none).
    virtual drawer::ISkinHolder* skinHolder() { return nullptr; }
};

} // namespace s::gui
