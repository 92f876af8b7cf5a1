#pragma once
#include "core/base/IObject.h"

namespace s::lang { class Localizer; }
namespace s::gui { class IBox; }

namespace s::image::gui {

// The option box of one image format: widgets that show and edit its encode setting.
class IEncodeSettingBox : public base::IObject {
public:
    // Kept and handed to the background group and colour field: texts it holds are
    // shown from the pack, the others by their literal defaults.
    virtual void setLocalizer(lang::Localizer* localizer) = 0;
    // Creates the widgets from the setting's values; answers the outer box.
    virtual s::gui::IBox* build() = 0;
    // "Bitmap", "Gif", "Jpeg" or "Png".
    virtual const wchar_t* name() const = 0;
    // Copies its choices into the setting it edits; false (nothing copied) when it is
    // not built or edits none.
    virtual bool applyChoices() = 0;
    // Forgets the setting it edits (the setting is going back to its pool).
    virtual void detach() = 0;
    // Gives the box back to its pool.
    virtual void release() = 0;
};

} // namespace s::image::gui
