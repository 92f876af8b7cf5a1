#pragma once
#include <cstdint>

namespace s::gui {

// The font operations of the text-bearing controls, getters from the control's main font.
// Size, style and face setters change every font the control keeps (its normal, disabled
// and pressed variants); the colour setter only the main one. Each setter re-measures.
class IFontOperations {
public:
    virtual ~IFontOperations() = default;
    virtual int32_t getFontCode() const = 0;
    virtual void setFontCode(int32_t code) = 0;
    virtual const wchar_t* getFaceName() const = 0;
    virtual void setFaceName(const wchar_t* face) = 0;
    virtual uint32_t getTextColour() const = 0;
    virtual void setTextColour(int32_t red, int32_t green, int32_t blue) = 0;
    virtual int32_t getFontHeight() const = 0;
    virtual void setFontHeight(int32_t height) = 0;
    virtual int32_t getFontWidth() const = 0;
    virtual void setFontWidth(int32_t width) = 0;
    virtual bool isBold() const = 0;
    virtual void setBold(bool on) = 0;
    virtual bool isItalic() const = 0;
    virtual void setItalic(bool on) = 0;
    virtual bool isUnderline() const = 0;
    virtual void setUnderline(bool on) = 0;
    virtual bool isStrikeOut() const = 0;
    virtual void setStrikeOut(bool on) = 0;
    virtual int32_t getWeight() const = 0;
    virtual void setWeight(int32_t weight) = 0;
};

} // namespace s::gui
