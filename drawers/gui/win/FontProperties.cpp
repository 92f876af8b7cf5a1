#include "drawers/gui/win/FontProperties.h"

#include <cstring>
#include <cwchar>

#include "system/monitor/UiScale.h"

namespace s::gui::win {

namespace {

CaptionFontSource g_captionSource = nullptr;

const wchar_t FALLBACK_FACE[] = L"MS Shell Dlg 2";
constexpr int32_t NORMAL_WEIGHT = 400;
constexpr int32_t BOLD_WEIGHT = 700;

} // namespace

void setCaptionFontSource(CaptionFontSource source) {
    g_captionSource = source;
}

CaptionFontSource captionFontSource() {
    return g_captionSource;
}

FontProperties::FontProperties() {
    resetProperties();
}

int32_t FontProperties::heightForPoints(int32_t points, int32_t scale) {
    const int32_t p = points * scale;
    if (p == 1) {
        return -1;
    }
    if (p > 100) {
        return -13;
    }
    return -(p + (p - 2) / 3 + 1);
}

void FontProperties::resetProperties() {
    LOGFONTW theme;
    std::memset(&theme, 0, sizeof(theme));
    CaptionFontSource source = g_captionSource;
    const bool themed = source != nullptr && source(&theme) && theme.lfFaceName[0] != L'\0';
    std::memset(&logFont_, 0, sizeof(logFont_));
    copyFace(themed ? theme.lfFaceName : FALLBACK_FACE);
    const int32_t scale = system::monitor::uiScale();
    logFont_.lfHeight = heightForPoints(10, scale == 2 || scale == 4 ? scale : 1);
    logFont_.lfWeight = NORMAL_WEIGHT;
    logFont_.lfCharSet = DEFAULT_CHARSET;
    logFont_.lfOutPrecision = OUT_STRING_PRECIS;
    logFont_.lfClipPrecision = CLIP_STROKE_PRECIS;
    logFont_.lfQuality = CLEARTYPE_QUALITY;
    logFont_.lfPitchAndFamily = VARIABLE_PITCH;
    textColour_ = 0;
    secondaryColour_ = DEFAULT_SECOND_COLOUR;
    tertiaryColour_ = DEFAULT_SECOND_COLOUR;
    wordWrap_ = false;
    endEllipsis_ = false;
    fontCode_ = 0;
    explicit_ = 0;
    userValue_ = 0;
    logFontChanged();
    textColourChanged();
}

void FontProperties::copyFace(const wchar_t* face) {
    const size_t room = sizeof(logFont_.lfFaceName) / sizeof(wchar_t);
    size_t n = 0;
    for (; face != nullptr && n + 1 < room && face[n] != L'\0'; ++n) {
        logFont_.lfFaceName[n] = face[n];
    }
    logFont_.lfFaceName[n] = L'\0';
}

void FontProperties::setFontCode(int32_t code) {
    fontCode_ = code;
    const int32_t size = code < 0 ? -code : code;
    int32_t weight;
    int32_t points;
    if (size < 100) {
        weight = NORMAL_WEIGHT;
        points = code + 10;
    } else if (size < 1000) {
        weight = BOLD_WEIGHT;
        points = code % 100 + 14;
    } else if (code == 100001) {
        weight = NORMAL_WEIGHT;
        points = 8;
    } else {
        return;
    }
    if ((explicit_ & BOLD) == 0) {
        logFont_.lfWeight = weight;
    }
    if ((explicit_ & SIZE) == 0) {
        logFont_.lfHeight = heightForPoints(points, system::monitor::uiScale());
        logFont_.lfWidth = 0;
    }
    logFontChanged();
}

void FontProperties::setFaceName(const wchar_t* face) {
    copyFace(face);
    explicit_ |= FACE;
    logFontChanged();
}

void FontProperties::setTextColour(int32_t red, int32_t green, int32_t blue) {
    textColour_ = colour(red, green, blue);
    explicit_ |= TEXT_COLOUR;
    textColourChanged();
}

void FontProperties::setSecondaryColour(int32_t red, int32_t green, int32_t blue) {
    secondaryColour_ = colour(red, green, blue);
    explicit_ |= SECONDARY_COLOUR;
}

void FontProperties::setTertiaryColour(int32_t red, int32_t green, int32_t blue) {
    tertiaryColour_ = colour(red, green, blue);
    explicit_ |= TERTIARY_COLOUR;
}

void FontProperties::setPointSize(int32_t points) {
    // As a point font would be made: tenths of a point at the screen's resolution.
    int32_t dpi = 96;
    if (HDC screen = GetDC(nullptr)) {
        dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    const int32_t height = MulDiv(points * 10, dpi, 720);
    logFont_.lfHeight = height < 0 ? height : -height;
    logFont_.lfWidth = 0;
    explicit_ |= SIZE;
    logFontChanged();
}

void FontProperties::setHeight(int32_t height) {
    logFont_.lfHeight = height;
    explicit_ |= SIZE;
    logFontChanged();
}

void FontProperties::setWidth(int32_t width) {
    logFont_.lfWidth = width;
    explicit_ |= SIZE;
    logFontChanged();
}

void FontProperties::setBold(bool bold) {
    logFont_.lfWeight = bold ? BOLD_WEIGHT : NORMAL_WEIGHT;
    explicit_ |= BOLD;
    logFontChanged();
}

void FontProperties::setItalic(bool on) {
    logFont_.lfItalic = on ? 1 : 0;
    explicit_ |= ITALIC;
    logFontChanged();
}

void FontProperties::setUnderline(bool on) {
    logFont_.lfUnderline = on ? 1 : 0;
    explicit_ |= UNDERLINE;
    logFontChanged();
}

void FontProperties::setStrikeOut(bool on) {
    logFont_.lfStrikeOut = on ? 1 : 0;
    explicit_ |= STRIKE_OUT;
    logFontChanged();
}

void FontProperties::setWeight(int32_t weight) {
    logFont_.lfWeight = weight;
    explicit_ |= WEIGHT;
    logFontChanged();
}

void FontProperties::setClearType(bool on) {
    logFont_.lfQuality = on ? CLEARTYPE_QUALITY : NONANTIALIASED_QUALITY;
    explicit_ |= QUALITY;
    logFontChanged();
}

void FontProperties::inheritProperties(const FontProperties& source) {
    if (&source == this) {
        return;
    }
    const LOGFONTW& from = source.logFont_;
    if ((explicit_ & FACE) == 0) {
        copyFace(from.lfFaceName);
    }
    if ((explicit_ & TEXT_COLOUR) == 0) {
        textColour_ = source.textColour_;
    }
    if ((explicit_ & SECONDARY_COLOUR) == 0) {
        secondaryColour_ = source.secondaryColour_;
    }
    if ((explicit_ & TERTIARY_COLOUR) == 0) {
        tertiaryColour_ = source.tertiaryColour_;
    }
    if ((explicit_ & BOLD) == 0) {
        // The source's boldness decides, whatever its exact weight.
        logFont_.lfWeight = source.isBold() ? BOLD_WEIGHT : NORMAL_WEIGHT;
    }
    if ((explicit_ & SIZE) == 0) {
        logFont_.lfHeight = from.lfHeight;
        logFont_.lfWidth = from.lfWidth;
    }
    if ((explicit_ & ITALIC) == 0) {
        logFont_.lfItalic = from.lfItalic;
    }
    if ((explicit_ & UNDERLINE) == 0) {
        logFont_.lfUnderline = from.lfUnderline;
    }
    if ((explicit_ & STRIKE_OUT) == 0) {
        logFont_.lfStrikeOut = from.lfStrikeOut;
    }
    if ((explicit_ & QUALITY) == 0) {
        logFont_.lfQuality = source.isClearType() ? CLEARTYPE_QUALITY : NONANTIALIASED_QUALITY;
    }
    userValue_ = source.userValue_;
    logFontChanged();
    textColourChanged();
}

void FontProperties::applyProperties(const FontProperties& source) {
    if (&source == this) {
        return;
    }
    const uint32_t chosen = source.explicit_;
    const LOGFONTW& from = source.logFont_;
    if (chosen & FACE) {
        copyFace(from.lfFaceName);
    }
    if (chosen & TEXT_COLOUR) {
        textColour_ = source.textColour_;
    }
    if (chosen & SECONDARY_COLOUR) {
        secondaryColour_ = source.secondaryColour_;
    }
    if (chosen & TERTIARY_COLOUR) {
        tertiaryColour_ = source.tertiaryColour_;
    }
    if (chosen & SIZE) {
        logFont_.lfHeight = from.lfHeight;
        logFont_.lfWidth = from.lfWidth;
    }
    if (chosen & WEIGHT) {
        logFont_.lfWeight = from.lfWeight;
    }
    if (chosen & BOLD) {
        logFont_.lfWeight = source.isBold() ? BOLD_WEIGHT : NORMAL_WEIGHT;
    }
    if (chosen & ITALIC) {
        logFont_.lfItalic = from.lfItalic;
    }
    if (chosen & UNDERLINE) {
        logFont_.lfUnderline = from.lfUnderline;
    }
    if (chosen & STRIKE_OUT) {
        logFont_.lfStrikeOut = from.lfStrikeOut;
    }
    if (chosen & QUALITY) {
        logFont_.lfQuality = from.lfQuality;
    }
    userValue_ = source.userValue_;
    logFontChanged();
    textColourChanged();
}

void FontProperties::copyProperties(const FontProperties& source) {
    if (&source == this) {
        return;
    }
    logFont_ = source.logFont_;
    textColour_ = source.textColour_;
    secondaryColour_ = source.secondaryColour_;
    tertiaryColour_ = source.tertiaryColour_;
    wordWrap_ = source.wordWrap_;
    endEllipsis_ = source.endEllipsis_;
    fontCode_ = source.fontCode_;
    explicit_ = source.explicit_;
    userValue_ = source.userValue_;
    logFontChanged();
    textColourChanged();
}

} // namespace s::gui::win
