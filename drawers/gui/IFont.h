#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/IPoolable.h"
#include "drawers/gui/win/FontProperties.h"

namespace s::gui {

class IFontSetting;

// A widget's font: the shared description with its GDI font, made on first need and
// re-made whenever the LOGFONTW changes.
class IFont : public base::IObject, public thread::IPoolable, public win::FontProperties {
public:
    // Height in pixels of "TEST" in this font; 0 when no device context can be made.
    virtual int32_t measureTextHeight() = 0;
    // The GDI font (made now when not yet made); null when it cannot be made.
    virtual HFONT getHandle() = 0;
    // A device context whose text colour follows this font's (null: none).
    virtual void bindDeviceContext(HDC dc) = 0;
    // Inherits what this font did not choose itself.
    virtual void inheritFromSetting(const IFontSetting* setting) = 0;
    virtual void inheritFrom(const IFont* font) = 0;
    // Takes what the setting chose explicitly (a skin's colours, underline, ...).
    virtual void applySetting(const IFontSetting* setting) = 0;
};

} // namespace s::gui
