#pragma once
#include <windows.h>

#include <cstdint>

namespace s::gui::win {

// Where a reset font takes its face from: fills the theme's caption font and answers
// true when the theme gives one. Null (the default) or false: "MS Shell Dlg 2".
typedef bool (*CaptionFontSource)(LOGFONTW* font);
void setCaptionFontSource(CaptionFontSource source);
CaptionFontSource captionFontSource();

// The description shared by fonts and font settings: a LOGFONTW, three colours, the two
// text-layout flags read by the text drawers, the last font code, the user value (the
// drawers' effect kind) and which properties were chosen explicitly. Sizes follow the
// UI scale. Subclasses hear of changes through the two hooks.
class FontProperties {
public:
    // Properties a caller chose explicitly; inheriting leaves them alone.
    enum Explicit : uint32_t {
        FACE = 1u << 0,
        TEXT_COLOUR = 1u << 1,
        SECONDARY_COLOUR = 1u << 2,
        TERTIARY_COLOUR = 1u << 3,
        SIZE = 1u << 4,
        BOLD = 1u << 5,
        ITALIC = 1u << 6,
        UNDERLINE = 1u << 7,
        STRIKE_OUT = 1u << 8,
        WEIGHT = 1u << 9,
        QUALITY = 1u << 10,
    };
    static constexpr uint32_t DEFAULT_SECOND_COLOUR = 0xEEEEEE;

    FontProperties();
    virtual ~FontProperties() = default;
    FontProperties(const FontProperties&) = delete;
    FontProperties& operator=(const FontProperties&) = delete;

    // Font code: below 100 in size, normal weight and code + 10 points; 100 to 999 in
    // size, bold and code % 100 + 14 points; 100001 8 points; anything else keeps the
    // size. Weight and size are taken only where not chosen explicitly.
    void setFontCode(int32_t code);
    int32_t getFontCode() const { return fontCode_; }
    bool isCustomised() const { return explicit_ != 0; }
    uint32_t getExplicitFlags() const { return explicit_; }

    const wchar_t* getFaceName() const { return logFont_.lfFaceName; }
    // Longer names are cut to what the LOGFONTW holds (31 characters).
    void setFaceName(const wchar_t* face);
    uint32_t getTextColour() const { return textColour_; }
    void setTextColour(int32_t red, int32_t green, int32_t blue);
    uint32_t getSecondaryColour() const { return secondaryColour_; }
    void setSecondaryColour(int32_t red, int32_t green, int32_t blue);
    uint32_t getTertiaryColour() const { return tertiaryColour_; }
    void setTertiaryColour(int32_t red, int32_t green, int32_t blue);
    // The height of that many points at the screen's resolution.
    void setPointSize(int32_t points);
    int32_t getHeight() const { return logFont_.lfHeight; }
    void setHeight(int32_t height);
    int32_t getWidth() const { return logFont_.lfWidth; }
    void setWidth(int32_t width);
    bool isBold() const { return logFont_.lfWeight >= 500; }
    void setBold(bool bold);
    bool isItalic() const { return logFont_.lfItalic != 0; }
    void setItalic(bool on);
    bool isUnderline() const { return logFont_.lfUnderline != 0; }
    void setUnderline(bool on);
    bool isStrikeOut() const { return logFont_.lfStrikeOut != 0; }
    void setStrikeOut(bool on);
    int32_t getWeight() const { return logFont_.lfWeight; }
    void setWeight(int32_t weight);
    bool getWordWrap() const { return wordWrap_; }
    void setWordWrap(bool on) { wordWrap_ = on; }
    bool getEndEllipsis() const { return endEllipsis_; }
    void setEndEllipsis(bool on) { endEllipsis_ = on; }
    int32_t getUserValue() const { return userValue_; }
    void setUserValue(int32_t value) { userValue_ = value; }
    bool isClearType() const { return logFont_.lfQuality == CLEARTYPE_QUALITY; }
    // ClearType on, else non-antialiased.
    void setClearType(bool on);
    const LOGFONTW& getLogFont() const { return logFont_; }

    // Copies every property the caller did not choose explicitly from source (weight
    // becomes 700 or 400 by the source's boldness), and the user value. The explicit
    // choices stay as they were.
    void inheritProperties(const FontProperties& source);
    // Copies only what source chose explicitly, and the user value; this object's own
    // explicit choices do not change.
    void applyProperties(const FontProperties& source);
    // Takes everything, explicit choices included.
    void copyProperties(const FontProperties& source);

    // Back to the defaults: theme face, 10 points at the UI scale, colours 0, 0xEEEEEE,
    // 0xEEEEEE, nothing explicit.
    void resetProperties();

    // LOGFONTW height of a point size at the UI scale (-13 for 10 points at scale 1).
    static int32_t heightForPoints(int32_t points, int32_t scale);
    static uint32_t colour(int32_t red, int32_t green, int32_t blue) {
        return (uint32_t)(red & 0xFF) | (uint32_t)(green & 0xFF) << 8 | (uint32_t)(blue & 0xFF) << 16;
    }

protected:
    // The LOGFONTW changed (once per operation).
    virtual void logFontChanged() {}
    // The text colour changed.
    virtual void textColourChanged() {}

private:
    void copyFace(const wchar_t* face);

    LOGFONTW logFont_;
    uint32_t textColour_ = 0;
    uint32_t secondaryColour_ = DEFAULT_SECOND_COLOUR;
    uint32_t tertiaryColour_ = DEFAULT_SECOND_COLOUR;
    bool wordWrap_ = false;
    bool endEllipsis_ = false;
    int32_t fontCode_ = 0;
    uint32_t explicit_ = 0;
    int32_t userValue_ = 0;
};

} // namespace s::gui::win
