#pragma once
#include <cstdint>

#include "core/thread/IPoolable.h"
#include "images/image/gui/IEncodeSettingBox.h"
#include "system/gui/events/IEventListener.h"

namespace s::gui { class IComponent; }
namespace s::gui::win {
class Box;
class GroupBox;
class RadioButton;
}
namespace s::image { class EncodeSettingBase; }

namespace s::image::gui::boxes {

class BgGroupBox;

// What the four option boxes share: the link to their setting (each side forgets the
// other when it goes back to its pool), the outer column of the format's own group and
// the background group, and the depth buttons of the formats that have a depth.
class ConfigBox : public IEncodeSettingBox, public thread::IPoolable, public s::gui::events::IEventListener {
public:
    // A depth choice: its depth, its text id and its literal caption.
    struct Depth {
        int32_t bitCount;
        int32_t textId;
        const wchar_t* caption;
    };
    static constexpr int32_t MAX_DEPTHS = 4;
    static constexpr int32_t RESOLUTION_TEXT_ID = 2000018000;

    ~ConfigBox() override;

    // A new box of the setting's format from its pool, linked to the setting; the caller
    // releases it. Null for a setting of no known format.
    static ConfigBox* create(EncodeSettingBase* setting);
    // Makes create the encode settings' box maker (their createBox); run once at start.
    static void registerAsMaker();

    void setLocalizer(lang::Localizer* localizer) override { localizer_ = localizer; }
    s::gui::IBox* build() override;
    void detach() override { setting_ = nullptr; }
    // One release for both bases (each box's pool).
    void release() override = 0;
    // Links the box and the setting it edits both ways; the setting's box before is
    // told to forget it.
    void attach(EncodeSettingBase* setting);
    bool applyChoices() override;
    EncodeSettingBase* setting() const { return setting_; }
    lang::Localizer* localizer() const { return localizer_; }

    // Built: the background choices can be read.
    bool isBuilt() const { return background_ != nullptr && outer_ != nullptr; }
    bool keepTransparency() const;
    // 0xRRGGBB of the colour field.
    uint32_t backgroundColour() const;
    BgGroupBox* background() const { return background_; }
    s::gui::win::Box* outer() const { return outer_; }
    // The checked depth button's depth, else fallback.
    int32_t chosenDepth(int32_t fallback) const;
    s::gui::win::RadioButton* depthButton(int32_t index) const {
        return index >= 0 && index < depthCount_ ? depthButtons_[index] : nullptr;
    }

    // A depth button checked by the user clears the others.
    void onEvent(base::IObject* source, int32_t eventCode) override;

protected:
    ConfigBox();
    void resetBox();
    // The format's own widgets (the first child of the outer column); null on failure.
    virtual s::gui::IComponent* buildOwn() = 0;
    // Whether the format can keep transparency.
    virtual bool keepAllowed() const = 0;
    // Copies the format's own choices into the setting (there is one).
    virtual void applyOwn() = 0;
    // A format group (the quality group passes -1 for its horizontal gap).
    s::gui::win::GroupBox* formatGroup(int32_t textId, const wchar_t* caption, int32_t gapX) const;
    // The "Resolution" group with one button per depth, the one equal to current checked.
    s::gui::win::GroupBox* depthGroup(const Depth* depths, int32_t count, int32_t current);

private:
    lang::Localizer* localizer_;
    EncodeSettingBase* setting_;
    s::gui::win::Box* outer_;
    BgGroupBox* background_;
    s::gui::win::RadioButton* depthButtons_[MAX_DEPTHS];
    int32_t depths_[MAX_DEPTHS];
    int32_t depthCount_;
};

} // namespace s::image::gui::boxes
