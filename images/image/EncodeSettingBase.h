#pragma once
#include <cstdint>

#include "core/thread/IPoolable.h"
#include "images/image/IEncodeSetting.h"

namespace s::str::strbuffer { class StrBuffer; }
namespace s::image::gui { class IEncodeSettingBox; }

namespace s::image {

// What the four format settings share: the store and the group under the caller's
// prefix, the background colour, the transparency and interlace options of the
// formats that have them, and checked reads of stored values.
class EncodeSettingBase : public IEncodeSetting, public thread::IPoolable {
public:
    static constexpr int32_t DEFAULT_COLOUR = 255;
    // Value names of the formats' own options.
    static constexpr wchar_t KEEP_TRANSPARENCY[] = L"KeepTransparency";
    static constexpr wchar_t WITH_INTERLACE[] = L"WithInterlace";
    static constexpr wchar_t QUALITY[] = L"Quality";
    static constexpr wchar_t BPP[] = L"Bpp";
    // The shared options a format has (a mask given to the constructor); only those
    // are loaded and saved, before the format's own first options.
    static constexpr uint32_t OPTION_KEEP_TRANSPARENCY = 1;
    static constexpr uint32_t OPTION_WITH_INTERLACE = 2;

    ~EncodeSettingBase() override;

    using IEncodeSetting::encode;
    // The set's first frame.
    IEncodedImage* encode(const win::BufferedImageSet* set) override;
    // Made by the maker registered with gui::BoxFactory.
    gui::IEncodeSettingBox* createBox() override;
    bool applyBox() override;
    // The option box that edits this setting (each side forgets the other when it goes
    // back to its pool): a box linked before is told to forget the setting.
    void linkBox(gui::IEncodeSettingBox* box);
    // The linked box, if any; forgetBox unlinks it when it is that box.
    gui::IEncodeSettingBox* box() const { return box_; }
    void forgetBox(const gui::IEncodeSettingBox* box) {
        if (box_ == box) {
            box_ = nullptr;
        }
    }
    // Whether pictures keep their transparency: false for a format that stores no such choice.
    bool keepsTransparency() const { return (options_ & OPTION_KEEP_TRANSPARENCY) != 0 && keepTransparency(); }
    // A box's shared choices: the background (0xRRGGBB) and, when the format stores
    // it, whether transparency is kept.
    void takeSharedChoices(uint32_t colour, bool keep);
    bool isBound() const override { return store_ != nullptr; }
    map::IMappedData* store() const override { return store_; }
    void bind(const wchar_t* prefix, map::IMappedData* store) override;
    void load() override;
    bool save() override;

    int32_t backgroundRed() const { return red_; }
    int32_t backgroundGreen() const { return green_; }
    int32_t backgroundBlue() const { return blue_; }
    // Each channel is kept within 0-255.
    void setBackground(int32_t red, int32_t green, int32_t blue);

protected:
    // group: the format's own group text, beginning with a backslash; options: the
    // OPTION_ mask of the shared options the format stores.
    explicit EncodeSettingBase(const wchar_t* group, uint32_t options = 0);
    // Forgets the store, the prefix and the box and restores the shared defaults.
    void resetBase();
    // The options of the format before and after the colour, in the stored order.
    virtual void loadOwnFirst(const wchar_t*) {}
    virtual void loadOwnLast(const wchar_t*) {}
    virtual bool saveOwnFirst(const wchar_t*) { return true; }
    virtual bool saveOwnLast(const wchar_t*) { return true; }

    // The shared options; formats that have them make them public.
    bool keepTransparency() const { return keepTransparency_ != 0; }
    void setKeepTransparency(bool keep) { keepTransparency_ = keep ? 1 : 0; }
    bool withInterlace() const { return withInterlace_ != 0; }
    void setWithInterlace(bool interlace) { withInterlace_ = interlace ? 1 : 0; }

    // A stored integer within [min, max], else def (also for a missing or unreadable value).
    int32_t readInt(const wchar_t* group, const wchar_t* name, int32_t min, int32_t max, int32_t def) const;
    bool readBool(const wchar_t* group, const wchar_t* name, bool def) const;
    bool writeInt(const wchar_t* group, const wchar_t* name, int32_t value) const;
    bool writeBool(const wchar_t* group, const wchar_t* name, bool value) const;
    // image itself, or its filtered copy when filters are attached (owned by image).
    static win::BufferedImage* pictureOf(win::BufferedImage* image);

private:
    // The full group path (prefix + group); null when it cannot be made.
    str::strbuffer::StrBuffer* groupPath() const;

    const wchar_t* const group_;
    const uint32_t options_;
    map::IMappedData* store_;
    str::strbuffer::StrBuffer* prefix_;
    gui::IEncodeSettingBox* box_;
    int32_t red_;
    int32_t green_;
    int32_t blue_;
    uint8_t keepTransparency_;
    uint8_t withInterlace_;
};

} // namespace s::image
