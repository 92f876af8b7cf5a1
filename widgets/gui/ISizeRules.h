#pragma once
#include <cstdint>

namespace s::gui {

// The size-rule setters of the widget kinds (see win::SizeRules).
class ISizeRules {
public:
    virtual ~ISizeRules() = default;
    virtual void setWidthPercent(int32_t percent) = 0;
    virtual void setHeightPercent(int32_t percent) = 0;
    virtual void setFixedWidth(int32_t width) = 0;
    virtual void setFixedHeight(int32_t height) = 0;
};

} // namespace s::gui
