#include "images/image/EncodeSettingBase.h"

#include <algorithm>

#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "images/image/gui/BoxFactory.h"
#include "images/image/gui/IEncodeSettingBox.h"
#include "images/image/win/BufferedImage.h"
#include "images/image/win/BufferedImageSet.h"
#include "system/map/IMappedData.h"

namespace s::image {

using str::strbuffer::StrBuffer;

namespace {

constexpr wchar_t RED[] = L"BgRed";
constexpr wchar_t GREEN[] = L"BgGreen";
constexpr wchar_t BLUE[] = L"BgBlue";

int32_t channel(int32_t value) {
    return std::clamp(value, 0, 255);
}

} // namespace

EncodeSettingBase::EncodeSettingBase(const wchar_t* group, uint32_t options)
    : group_(group), options_(options), store_(nullptr), prefix_(nullptr), box_(nullptr), red_(DEFAULT_COLOUR),
      green_(DEFAULT_COLOUR), blue_(DEFAULT_COLOUR), keepTransparency_(1), withInterlace_(1) {}

EncodeSettingBase::~EncodeSettingBase() {
    if (box_ != nullptr) {
        box_->detach();
    }
    if (prefix_ != nullptr) {
        prefix_->release();
    }
}

void EncodeSettingBase::resetBase() {
    store_ = nullptr;
    if (box_ != nullptr) {
        box_->detach();
        box_ = nullptr;
    }
    if (prefix_ != nullptr) {
        prefix_->release();
        prefix_ = nullptr;
    }
    red_ = green_ = blue_ = DEFAULT_COLOUR;
    keepTransparency_ = 1;
    withInterlace_ = 1;
}

void EncodeSettingBase::setBackground(int32_t red, int32_t green, int32_t blue) {
    red_ = channel(red);
    green_ = channel(green);
    blue_ = channel(blue);
}

void EncodeSettingBase::linkBox(gui::IEncodeSettingBox* box) {
    if (box_ != nullptr && box_ != box) {
        box_->detach();
    }
    box_ = box;
}

gui::IEncodeSettingBox* EncodeSettingBase::createBox() {
    return gui::BoxFactory::make(this);
}

bool EncodeSettingBase::applyBox() {
    if (box_ != nullptr && box_->applyChoices()) {
        save();
    }
    return true;
}

void EncodeSettingBase::takeSharedChoices(uint32_t colour, bool keep) {
    setBackground(static_cast<int32_t>(colour >> 16 & 0xFF), static_cast<int32_t>(colour >> 8 & 0xFF),
                  static_cast<int32_t>(colour & 0xFF));
    if ((options_ & OPTION_KEEP_TRANSPARENCY) != 0) {
        setKeepTransparency(keep);
    }
}

void EncodeSettingBase::bind(const wchar_t* prefix, map::IMappedData* store) {
    StrBuffer* copy = StrBuffer::fromText(prefix);
    if (prefix_ != nullptr) {
        prefix_->release();
    }
    prefix_ = copy;
    store_ = store;
    load();
}

StrBuffer* EncodeSettingBase::groupPath() const {
    return StrBuffer::fromConcat(prefix_ != nullptr ? prefix_->c_str() : L"", group_);
}

void EncodeSettingBase::load() {
    if (store_ == nullptr) {
        return;
    }
    thread::Held<StrBuffer> path(groupPath());
    if (!path) {
        return;
    }
    const wchar_t* group = path->c_str();
    if ((options_ & OPTION_KEEP_TRANSPARENCY) != 0) {
        setKeepTransparency(readBool(group, KEEP_TRANSPARENCY, true));
    }
    if ((options_ & OPTION_WITH_INTERLACE) != 0) {
        setWithInterlace(readBool(group, WITH_INTERLACE, true));
    }
    loadOwnFirst(group);
    red_ = readInt(group, RED, 0, 255, DEFAULT_COLOUR);
    green_ = readInt(group, GREEN, 0, 255, DEFAULT_COLOUR);
    blue_ = readInt(group, BLUE, 0, 255, DEFAULT_COLOUR);
    loadOwnLast(group);
}

bool EncodeSettingBase::save() {
    if (store_ == nullptr) {
        return false;
    }
    thread::Held<StrBuffer> path(groupPath());
    if (!path) {
        return false;
    }
    const wchar_t* group = path->c_str();
    bool done = true;
    if ((options_ & OPTION_KEEP_TRANSPARENCY) != 0) {
        done = writeBool(group, KEEP_TRANSPARENCY, keepTransparency()) && done;
    }
    if ((options_ & OPTION_WITH_INTERLACE) != 0) {
        done = writeBool(group, WITH_INTERLACE, withInterlace()) && done;
    }
    done = saveOwnFirst(group) && done;
    done = writeInt(group, RED, red_) && done;
    done = writeInt(group, GREEN, green_) && done;
    done = writeInt(group, BLUE, blue_) && done;
    return saveOwnLast(group) && done;
}

int32_t EncodeSettingBase::readInt(const wchar_t* group, const wchar_t* name, int32_t min, int32_t max,
                                   int32_t def) const {
    // Read wide so that a value beyond 32 bits cannot wrap into the valid range.
    const int64_t value = store_->getS64(group, name, def);
    return value >= min && value <= max ? static_cast<int32_t>(value) : def;
}

bool EncodeSettingBase::readBool(const wchar_t* group, const wchar_t* name, bool def) const {
    return store_->getBool(group, name, def);
}

bool EncodeSettingBase::writeInt(const wchar_t* group, const wchar_t* name, int32_t value) const {
    return store_->setS32(group, name, value);
}

bool EncodeSettingBase::writeBool(const wchar_t* group, const wchar_t* name, bool value) const {
    return store_->setBool(group, name, value);
}

IEncodedImage* EncodeSettingBase::encode(const win::BufferedImageSet* set) {
    return set != nullptr && set->count() > 0 ? encode(set->frameAt(0)) : nullptr;
}

win::BufferedImage* EncodeSettingBase::pictureOf(win::BufferedImage* image) {
    if (image == nullptr || !image->hasFilters()) {
        return image;
    }
    return image->filtered();
}

} // namespace s::image
