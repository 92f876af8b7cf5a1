#include "drawers/gui/drawer/checkbox/win/Thin.h"

#include "drawers/gui/drawer/Paint.h"
#include "drawers/gui/drawer/button/win/Thin.h"
#include "drawers/gui/drawer/text/win/Basic.h"
#include "drawers/gui/win/FontSetting.h"

namespace s::gui::drawer::checkbox::win {

namespace {
constexpr COLORREF GREY = RGB(120, 120, 120);
}

Thin::Thin() : button_(button::win::Thin::pool()), text_(text::win::Basic::pool()) {
    reset();
}

Thin::~Thin() {
    if (button_ != nullptr) {
        button_->release();
    }
    if (text_ != nullptr) {
        text_->release();
    }
}

Thin* Thin::newCheckBoxDrawer(COLORREF box, COLORREF text) {
    Thin* drawer = pool();
    if (drawer != nullptr) {
        drawer->setBoxColor(GetRValue(box), GetGValue(box), GetBValue(box));
        drawer->setTextColor(GetRValue(text), GetGValue(text), GetBValue(text));
    }
    return drawer;
}

void Thin::reset() {
    firstFlag_ = true;
    secondFlag_ = false;
    value_ = 1;
    box_ = GREY;
    if (button_ != nullptr) {
        button_->reset();
    }
    if (text_ != nullptr) {
        text_->reset();
    }
    setTextColor(GetRValue(GREY), GetGValue(GREY), GetBValue(GREY));
}

void Thin::setTextColor(int32_t red, int32_t green, int32_t blue) {
    textColour_ = Paint::colour(red, green, blue);
    if (text_ != nullptr) {
        text_->getNormalFontSetting()->setTextColour(red, green, blue);
    }
}

void Thin::setDisabledTextColor(int32_t red, int32_t green, int32_t blue) {
    text_->getDisabledFontSetting()->setTextColour(red, green, blue);
}

void Thin::setBoxColor(int32_t red, int32_t green, int32_t blue) {
    box_ = Paint::colour(red, green, blue);
}

void Thin::setButtonFrameColor(int32_t red, int32_t green, int32_t blue) {
    button_->setFrameColor(red, green, blue);
}

void Thin::applyFonts(gui::win::Font* font, gui::win::Font* disabledFont) {
    text_->applyFonts(font, disabledFont);
}

gui::win::FontSetting* Thin::getNormalFontSetting() const {
    return text_->getNormalFontSetting();
}

gui::win::FontSetting* Thin::getDisabledFontSetting() const {
    return text_->getDisabledFontSetting();
}

void Thin::draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t boxSize, bool checked,
                const wchar_t* caption, gui::win::Font* font) {
    if (dc == nullptr || left >= right || top >= bottom || boxSize <= 0) {
        return;
    }
    const int32_t s = Paint::scale();
    const int32_t e = boxSize;
    const int32_t t = 2 * s;
    Paint::fill(dc, left + t, top + t, e - 2 * t, e - 2 * t, RGB(255, 255, 255));
    Paint::fill(dc, left, top, e, t, box_);
    Paint::fill(dc, left, top + e - t, e, t, box_);
    Paint::fill(dc, left, top + t, t, e - 2 * t, box_);
    Paint::fill(dc, left + e - t, top + t, t, e - 2 * t, box_);
    if (checked) {
        // Clear of the frame by a pixel times the scale, as at scale 1.
        button_->drawGlyph(dc, left + 2 * s, top + 2 * s, left + e - 2 * s, top + e - 2 * s, L"#Check", 0, 0, 0);
    }
    if (caption != nullptr && caption[0] != L'\0') {
        text_->draw(dc, left + e + e / 6, top, right, bottom, caption, font);
    }
}

void Thin::measure(HDC dc, const wchar_t* caption, gui::win::Font* font, int32_t* minWidth, int32_t* minHeight,
                   int32_t* preferredWidth, int32_t* preferredHeight) {
    int32_t width = 0;
    int32_t height = 0;
    int32_t least = 0;
    int32_t leastHeight = 0;
    text_->measureBlock(dc, caption != nullptr ? caption : L"", font, &width, &height, &least, &leastHeight);
    const int32_t box = height + height / 6;
    *preferredWidth = width + box;
    *preferredHeight = height;
    *minWidth = least + box;
    *minHeight = leastHeight;
}

} // namespace s::gui::drawer::checkbox::win
