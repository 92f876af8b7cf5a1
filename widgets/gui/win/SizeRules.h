#pragma once
#include <cstdint>

namespace s::gui::win {

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
