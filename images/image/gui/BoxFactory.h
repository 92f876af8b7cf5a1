#pragma once

namespace s::image { class EncodeSettingBase; }

namespace s::image::gui {

class IEncodeSettingBox;

// Where the encode settings get their option boxes. The boxes are widgets, made by a
// layer above this one, which registers its maker at start.
class BoxFactory {
public:
    // Takes the setting's box from its format's pool, linked with the setting both ways;
    // null for a setting of no known format.
    using Maker = IEncodeSettingBox* (*)(EncodeSettingBase* setting);

    // Replaces the maker (null: none).
    static void setMaker(Maker maker);
    // The registered maker's box for the setting; null without a maker.
    static IEncodeSettingBox* make(EncodeSettingBase* setting);
};

} // namespace s::image::gui
