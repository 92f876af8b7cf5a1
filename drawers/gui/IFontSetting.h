#pragma once
#include "core/base/IObject.h"
#include "core/thread/IPoolable.h"
#include "drawers/gui/win/FontProperties.h"

namespace s::gui {

class IFont;

// A font description without a GDI font, as skins and drawers carry it.
class IFontSetting : public base::IObject, public thread::IPoolable, public win::FontProperties {
public:
    // Inherits what this setting did not choose itself.
    virtual void inheritFrom(const IFontSetting* setting) = 0;
    // A new font from the font pool holding this description, its GDI font made;
    // null when none can be had. The caller releases it.
    virtual IFont* createFont() const = 0;
};

} // namespace s::gui
