#pragma once
#include <cstdint>

#include "drawers/gui/win/FontProperties.h"

namespace s::gui::win {

// The font operations of IFontOperations over the fonts a control keeps. The control
// supplies:
//   fontCount()      how many fonts it keeps (at least 1);
//   fontAt(i)        font i, 0 being the main one that getters read and colours go to;
//   fontsChanged()   re-measure and repaint after a change.
template <class Base>
class FontOperations : public Base {
public:
    int32_t getFontCode() const override { return main().getFontCode(); }
    void setFontCode(int32_t code) override { every([code](FontProperties& f) { f.setFontCode(code); }); }
    const wchar_t* getFaceName() const override { return main().getFaceName(); }
    void setFaceName(const wchar_t* face) override { every([face](FontProperties& f) { f.setFaceName(face); }); }
    uint32_t getTextColour() const override { return main().getTextColour(); }
    void setTextColour(int32_t red, int32_t green, int32_t blue) override {
        const_cast<FontProperties&>(main()).setTextColour(red, green, blue);
        this->fontsChanged();
    }
    int32_t getFontHeight() const override { return main().getHeight(); }
    void setFontHeight(int32_t height) override { every([height](FontProperties& f) { f.setHeight(height); }); }
    int32_t getFontWidth() const override { return main().getWidth(); }
    void setFontWidth(int32_t width) override { every([width](FontProperties& f) { f.setWidth(width); }); }
    bool isBold() const override { return main().isBold(); }
    void setBold(bool on) override { every([on](FontProperties& f) { f.setBold(on); }); }
    bool isItalic() const override { return main().isItalic(); }
    void setItalic(bool on) override { every([on](FontProperties& f) { f.setItalic(on); }); }
    bool isUnderline() const override { return main().isUnderline(); }
    void setUnderline(bool on) override { every([on](FontProperties& f) { f.setUnderline(on); }); }
    bool isStrikeOut() const override { return main().isStrikeOut(); }
    void setStrikeOut(bool on) override { every([on](FontProperties& f) { f.setStrikeOut(on); }); }
    int32_t getWeight() const override { return main().getWeight(); }
    void setWeight(int32_t weight) override { every([weight](FontProperties& f) { f.setWeight(weight); }); }

protected:
    virtual int32_t fontCount() const = 0;
    virtual FontProperties* fontAt(int32_t index) const = 0;
    virtual void fontsChanged() = 0;

private:
    const FontProperties& main() const { return *fontAt(0); }
    template <class F>
    void every(F change) {
        for (int32_t i = 0; i < fontCount(); ++i) {
            change(*fontAt(i));
        }
        this->fontsChanged();
    }
};

} // namespace s::gui::win
