#include "drawers/gui/drawer/Skinner.h"

#include "core/str/strbuffer/StrBuffer.h"
#include "drawers/gui/drawer/ISkin.h"
#include "drawers/gui/drawer/Themes.h"

namespace s::gui::drawer {

Skinner::Skinner() : name_(str::strbuffer::StrBuffer::pool()) {
    clear();
}

Skinner::~Skinner() {
    clear();
    if (name_ != nullptr) {
        name_->release();
    }
}

Skinner* Skinner::createThinWindow() {
    Skinner* skinner = pool();
    if (skinner != nullptr) {
        skinner->setName(L"ThinWindow");
        skinner->addThinColourSchemes();
    }
    return skinner;
}

void Skinner::clear() {
    if (current_ != nullptr && listeners_.count() > 0) {
        // Whoever still paints with the current skin's drawers lets go of them now,
        // before they go back to their pools.
        current_ = nullptr;
        listeners_.fire(this, 0);
    }
    current_ = nullptr;
    for (uint32_t i = 0; i < skins_.count(); ++i) {
        if (ISkin* skin = static_cast<ISkin*>(skins_.get(i))) {
            skins_.set(i, nullptr);
            skin->release();
        }
    }
    skins_.clear();
    if (skinNames_.count() > 0) {
        skinNames_.clear();
    }
    listeners_.clear();
    setName(L"Basic");
}

const wchar_t* Skinner::getName() const {
    return name_ != nullptr ? name_->c_str() : L"";
}

void Skinner::setName(const wchar_t* name) {
    if (name_ == nullptr) {
        return;
    }
    name_->clear();
    name_->append(name != nullptr ? name : L"");
}

bool Skinner::addSkin(ISkin* skin) {
    if (skin == nullptr) {
        return false;
    }
    if (!skins_.add(skin)) {
        skin->release();
        return false;
    }
    skinNames_.add(skin->getName());
    return true;
}

void Skinner::addThinColourSchemes() {
    if (CompareStringOrdinal(getName(), -1, L"Thin", -1, TRUE) == CSTR_EQUAL) {
        Themes::addThinSchemes(this);
    } else if (CompareStringOrdinal(getName(), -1, L"ThinWindow", -1, TRUE) == CSTR_EQUAL) {
        Themes::addThinWindowSchemes(this);
    }
}

ISkin* Skinner::getSkinAt(uint32_t index) const {
    return index < skins_.count() ? static_cast<ISkin*>(skins_.get(index)) : nullptr;
}

const wchar_t* Skinner::getSkinNameAt(uint32_t index) const {
    return index < skinNames_.count() ? skinNames_.get(index)->c_str() : nullptr;
}

bool Skinner::indexOfSkin(const wchar_t* name, int32_t* index) const {
    *index = -1;
    uint32_t found = 0;
    if (name == nullptr || !skinNames_.findText(name, &found)) {
        return false;
    }
    *index = static_cast<int32_t>(found);
    return true;
}

bool Skinner::selectSkin(const wchar_t* name) {
    if (skins_.count() == 0) {
        return false;
    }
    int32_t index = -1;
    ISkin* skin = indexOfSkin(name, &index) ? getSkinAt(static_cast<uint32_t>(index)) : getSkinAt(0);
    if (skin == current_) {
        return false;
    }
    current_ = skin;
    notifyListeners();
    return true;
}

bool Skinner::addListener(events::IEventListener* listener) {
    if (listener == nullptr || listeners_.contains(listener)) {
        return false;
    }
    return listeners_.add(listener);
}

bool Skinner::removeListener(const events::IEventListener* listener) {
    return listeners_.remove(listener);
}

void Skinner::notifyListeners() {
    listeners_.fire(this, 0);
}

} // namespace s::gui::drawer
