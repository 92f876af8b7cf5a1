#include "drawers/gui/drawer/slider/win/Thin.h"

#include <algorithm>

#include "drawers/gui/drawer/Paint.h"
#include "drawers/gui/drawer/border/win/Thin.h"
#include "drawers/gui/drawer/slider/win/Sweep.h"

namespace s::gui::drawer::slider::win {

Thin::Thin() : frame_(border::win::Thin::pool()), thumbBorder_(border::win::Thin::pool()) {
    reset();
}

Thin::~Thin() {
    if (frame_ != nullptr) {
        frame_->release();
    }
    if (thumbBorder_ != nullptr) {
        thumbBorder_->release();
    }
}

Thin* Thin::newSliderDrawer(COLORREF channel, COLORREF thumb) {
    Thin* drawer = pool();
    if (drawer != nullptr) {
        drawer->setChannelColor(GetRValue(channel), GetGValue(channel), GetBValue(channel));
        drawer->setThumbColor(GetRValue(thumb), GetGValue(thumb), GetBValue(thumb));
    }
    return drawer;
}

void Thin::reset() {
    frameCorners_ = 1;
    thumb_ = RGB(176, 176, 176);
    channel_ = RGB(120, 120, 120);
    disabled_ = RGB(120, 120, 120);
    if (frame_ != nullptr) {
        frame_->reset();
        frame_->setShaded(false);
    }
    if (thumbBorder_ != nullptr) {
        thumbBorder_->reset();
    }
}

void Thin::setThumbColor(int32_t red, int32_t green, int32_t blue) {
    thumb_ = Paint::colour(red, green, blue);
}

void Thin::setChannelColor(int32_t red, int32_t green, int32_t blue) {
    channel_ = Paint::colour(red, green, blue);
}

void Thin::setDisabledColor(int32_t red, int32_t green, int32_t blue) {
    disabled_ = Paint::colour(red, green, blue);
}

int32_t Thin::thumbOffset(int32_t width, int32_t thumbWidth, int32_t minimum, int32_t maximum, int32_t value) {
    const int64_t room = static_cast<int64_t>(width) - thumbWidth;
    if (room <= 0 || maximum <= minimum) {
        return 0;
    }
    const int64_t span = static_cast<int64_t>(maximum) - minimum;
    const int64_t from = std::min<int64_t>(std::max<int64_t>(static_cast<int64_t>(value) - minimum, 0), span);
    return static_cast<int32_t>(room * from / span);
}

void Thin::draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t minimum, int32_t maximum,
                int32_t value, bool showThumb, int32_t, bool enabled, bool channelFlag, int32_t secondValue,
                int32_t fillType, int32_t colourA, int32_t colourB) {
    if (dc == nullptr || left >= right || top >= bottom) {
        return;
    }
    const int32_t s = Paint::scale();
    const COLORREF line = enabled ? channel_ : disabled_;
    const COLORREF thumb = enabled ? thumb_ : disabled_;
    if (frameCorners_ == 1 || frameCorners_ == 2) {
        frame_->draw(dc, left, top, right, bottom, 2, frameCorners_, GetRValue(line), GetGValue(line), GetBValue(line));
    }
    const int32_t width = right - left;
    const int32_t thumbWidth = THUMB_WIDTH * s;
    const int32_t first = left + thumbOffset(width, thumbWidth, minimum, maximum, value);
    const int32_t second = left + thumbOffset(width, thumbWidth, minimum, maximum, secondValue);
    const int32_t middle = top + (bottom - top) / 2;
    if (fillType == Sweep::PLAIN) {
        const int32_t half = thumbWidth / 2;
        Paint::fillRect(dc, left + half, middle - s, right - half, middle + s, line);
        if (channelFlag) {
            // The selected range between the two thumbs is twice as thick.
            Paint::fillRect(dc, std::min(first, second) + half, middle - 2 * s, std::max(first, second) + half,
                            middle + 2 * s, line);
        }
    } else {
        Sweep::paint(dc, {left + 1, top + 1, right - 1, bottom - 1}, fillType, static_cast<uint32_t>(colourA),
                     static_cast<uint32_t>(colourB));
    }
    if (!showThumb) {
        return;
    }
    for (int32_t x : {first, second}) {
        Paint::fillRect(dc, x, top, x + thumbWidth, bottom, thumb);
        thumbBorder_->draw(dc, x, top, x + thumbWidth, bottom, 1, 0, GetRValue(thumb), GetGValue(thumb),
                           GetBValue(thumb));
        if (!channelFlag) {
            break;
        }
    }
}

} // namespace s::gui::drawer::slider::win
