#include "drawers/gui/drawer/radiobutton/win/Thin.h"

#include "drawers/gui/drawer/Paint.h"
#include "drawers/gui/drawer/text/win/Basic.h"
#include "drawers/gui/win/FontSetting.h"
#include "images/image/win/BufferedImage.h"
#include "images/image/win/MemoryDc.h"

namespace s::gui::drawer::radiobutton::win {

namespace {

// A pen and a brush selected for one ellipse, deselected and deleted after it.
void ellipse(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, COLORREF line, COLORREF fill) {
    HPEN pen = CreatePen(PS_SOLID, 4, line);
    HBRUSH brush = CreateSolidBrush(fill);
    if (pen != nullptr && brush != nullptr) {
        HGDIOBJ oldPen = SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        Ellipse(dc, left, top, right, bottom);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
    }
    if (brush != nullptr) {
        DeleteObject(brush);
    }
    if (pen != nullptr) {
        DeleteObject(pen);
    }
}

} // namespace

Thin::Thin() : text_(text::win::Basic::pool()) {
    reset();
}

Thin::~Thin() {
    if (text_ != nullptr) {
        text_->release();
    }
}

Thin* Thin::newRadioButtonDrawer(COLORREF ring, COLORREF text) {
    Thin* drawer = pool();
    if (drawer != nullptr) {
        drawer->setRingColor(GetRValue(ring), GetGValue(ring), GetBValue(ring));
        drawer->setTextColor(GetRValue(text), GetGValue(text), GetBValue(text));
    }
    return drawer;
}

void Thin::reset() {
    flag_ = false;
    ring_ = RGB(120, 120, 120);
    dot_ = RGB(53, 185, 56);
    if (text_ != nullptr) {
        text_->reset();
    }
}

void Thin::setTextColor(int32_t red, int32_t green, int32_t blue) {
    text_->getNormalFontSetting()->setTextColour(red, green, blue);
}

void Thin::setDisabledTextColor(int32_t red, int32_t green, int32_t blue) {
    text_->getDisabledFontSetting()->setTextColour(red, green, blue);
}

void Thin::setRingColor(int32_t red, int32_t green, int32_t blue) {
    ring_ = Paint::colour(red, green, blue);
}

void Thin::setDotColor(int32_t red, int32_t green, int32_t blue) {
    dot_ = Paint::colour(red, green, blue);
}

void Thin::applyFonts(gui::win::Font* font, gui::win::Font* disabledFont) {
    text_->applyFonts(font, disabledFont);
}

gui::win::FontSetting* Thin::getNormalFontSetting() const {
    return text_->getNormalFontSetting();
}

void Thin::drawCircle(HDC dc, HDC zoomDc, int32_t x, int32_t y, bool checked, COLORREF background) const {
    ellipse(zoomDc, 0, 0, ZOOM, ZOOM, ring_, background);
    if (checked) {
        ellipse(zoomDc, 12, 12, 40, 40, background, dot_);
    }
    const int previous = SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, x, y, CIRCLE, CIRCLE, zoomDc, 0, 0, ZOOM, ZOOM, SRCCOPY);
    SetStretchBltMode(dc, previous);
}

void Thin::draw(HDC dc, HDC zoomDc, int32_t left, int32_t top, int32_t right, int32_t bottom, bool checked,
                const wchar_t* caption, gui::win::Font* font, uint32_t colour) {
    if (dc == nullptr || left >= right || top >= bottom) {
        return;
    }
    const int32_t height = bottom - top;
    const int32_t y = top + height / 2 - 6;
    const COLORREF background = colour & 0xFFFFFF;
    if (zoomDc != nullptr) {
        drawCircle(dc, zoomDc, left, y, checked, background);
    } else if (image::win::BufferedImage* scratch = image::win::BufferedImage::create(ZOOM, ZOOM)) {
        {
            image::win::MemoryDc memory(scratch->nativeHandle());
            if (memory.ok()) {
                drawCircle(dc, memory.dc(), left, y, checked, background);
            }
        }
        scratch->release();
    }
    if (caption != nullptr && caption[0] != L'\0') {
        text_->draw(dc, left + height + height / 6, top, right, bottom, caption, font);
    }
}

} // namespace s::gui::drawer::radiobutton::win
