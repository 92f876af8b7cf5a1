#pragma once
#include <cstdint>

#include "widgets/gui/IContainer.h"
#include "widgets/gui/layout/Routines.h"
#include "widgets/gui/win/ComponentState.h"

namespace s::gui::win {

// The maximum size of one axis of a framed container (group box, status bar): the fixed
// size, else the percent of the parent's inner size in integers (truncating), else the
// paddings and the larger content size.
inline int32_t truncatedMaximum(const ComponentState& s, const IContainer* parent, const layout::ContentSizes& sizes,
                                bool widthAxis) {
    const int32_t fixed = widthAxis ? s.fixedWidth : s.fixedHeight;
    const int32_t percent = widthAxis ? s.widthPercent : s.heightPercent;
    if (fixed >= 0) {
        return fixed;
    }
    if (percent >= 0 && parent != nullptr) {
        return (widthAxis ? parent->getInnerWidth() : parent->getInnerHeight()) * percent / 100;
    }
    const int32_t least = widthAxis ? sizes.minWidth : sizes.minHeight;
    const int32_t wanted = widthAxis ? sizes.wantedWidth : sizes.wantedHeight;
    const int32_t paddings = widthAxis ? s.paddingLeft + s.paddingRight : s.paddingTop + s.paddingBottom;
    return paddings + (least > wanted ? least : wanted);
}

// The four size-rule setters the widget kinds share, for a Base built on Leaf: a percent
// clears the fixed size of its axis and a fixed size the percent (-1 leaves both unset).
// They only record; the parent's next layout applies them.
template <class Base>
class SizeRules : public Base {
public:
    void setWidthPercent(int32_t percent) override { this->setPercentSize(percent, this->state_.heightPercent); }
    void setHeightPercent(int32_t percent) override { this->setPercentSize(this->state_.widthPercent, percent); }
    void setFixedWidth(int32_t width) override { this->setFixedSize(width, this->state_.fixedHeight); }
    void setFixedHeight(int32_t height) override { this->setFixedSize(this->state_.fixedWidth, height); }
};

} // namespace s::gui::win
