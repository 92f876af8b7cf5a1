#pragma once
#include <cstdint>

namespace s::gui {

// What a window tells the record that remembers its state (position, size, maximized,
// language); the application's window records implement it.
class IWindowState {
public:
    virtual ~IWindowState() = default;
    virtual void setMaximized(bool maximized) = 0;
    virtual void setNormalBounds(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    // The English name of the language pack now current.
    virtual void setLanguageName(const wchar_t* name) = 0;
    // The system shuts down: save what is held.
    virtual void persist() = 0;
};

} // namespace s::gui
