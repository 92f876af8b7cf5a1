#pragma once
#include <cstdint>

#include "core/col/_array/ArrayP.h"
#include "core/str/strarray/StrArray.h"
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/ISkinHolder.h"
#include "system/gui/events/ListenerList.h"

namespace s::str::strbuffer {
class StrBuffer;
}

namespace s::gui::drawer {

// A named family of skins ("Thin", "ThinWindow") of which one is current. Windows and
// widgets register as listeners and re-fetch their drawers when told (source: the
// skinner, code 0). Widgets hold drawers of the current skin without owning them, so
// they must leave the listeners (windows are released before their skinner); a
// skinner cleared while some still listen tells them first, with no current skin, and
// only then gives the skins back.
class Skinner : public base::IObject, public thread::IPoolable, public ISkinHolder {
    S_POOLED_CLASS(Skinner, 1000, L"s_gui_drawer_Skinner")

public:
    // A skinner named "ThinWindow" holding the sixteen ThinWindow themes.
    static Skinner* createThinWindow();

    ~Skinner() override;
    // Gives every skin back, forgets names, current skin and listeners; the name
    // becomes "Basic".
    void clear();
    void reset() override { clear(); }

    const wchar_t* getName() const;
    void setName(const wchar_t* name);

    // Takes ownership of the skin and keeps a copy of its name; a null skin is refused.
    bool addSkin(ISkin* skin);
    // Fills the list by the skinner's own name ("Thin" or "ThinWindow", any case);
    // any other name adds nothing.
    void addThinColourSchemes();
    uint32_t getSkinCount() const { return skins_.count(); }
    ISkin* getSkinAt(uint32_t index) const;
    const wchar_t* getSkinNameAt(uint32_t index) const;
    // The first skin of that name (whole text, any case); index -1 and false when none.
    bool indexOfSkin(const wchar_t* name, int32_t* index) const;
    // Makes the named skin current (the first one for an unknown name) and tells the
    // listeners when it changed; answers whether it changed. An empty skinner selects
    // nothing.
    bool selectSkin(const wchar_t* name);
    ISkin* getCurrentSkin() const override { return current_; }

    // A listener is added once; removing one that is absent is no error.
    bool addListener(events::IEventListener* listener) override;
    bool removeListener(const events::IEventListener* listener) override;
    uint32_t getListenerCount() const { return listeners_.count(); }
    // Tells every listener, in the order they were added, with code 0.
    void notifyListeners();

private:
    Skinner();

    str::strbuffer::StrBuffer* name_ = nullptr;
    col::_array::ArrayP skins_;
    str::strarray::StrArray skinNames_;
    ISkin* current_ = nullptr;
    events::ListenerList listeners_;
};

} // namespace s::gui::drawer
