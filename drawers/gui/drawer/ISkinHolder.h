#pragma once

namespace s::gui::events { class IEventListener; }

namespace s::gui::drawer {

class ISkin;

// What a window and its widgets see of the skins they take their drawers from: the
// current skin, and listeners told (source: the holder, code 0) when it changes. A
// widget listens while attached and leaves by identity when detached.
class ISkinHolder {
public:
    virtual ~ISkinHolder() = default;
    // Null when no skin is selected.
    virtual ISkin* getCurrentSkin() const = 0;
    virtual bool addListener(events::IEventListener* listener) = 0;
    virtual bool removeListener(const events::IEventListener* listener) = 0;
};

} // namespace s::gui::drawer
