#include "widgets/gui/win/ReflectedBrush.h"

#include "widgets/gui/IContainer.h"

namespace s::gui::win {

LRESULT ReflectedBrush::answer(const IComponent* widget, CBrush* brush, HDC dc, bool transparent, uint32_t colour,
                               uint32_t textColour) {
    HBRUSH answer = nullptr;
    const IContainer* parent = widget->getParent();
    if (transparent && parent == nullptr) {
        brush->DeleteObject();
        answer = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        SetBkMode(dc, TRANSPARENT);
    } else {
        const uint32_t fill = transparent ? parent->getEffectiveBackground() : colour;
        // A brush already handed out stays valid while its colour holds: a repaint between
        // a request and its use must not delete it under the caller.
        LOGBRUSH held = {};
        const HBRUSH current = *brush;
        if (current == nullptr || GetObjectW(current, sizeof(held), &held) != sizeof(held) ||
            held.lbStyle != BS_SOLID || held.lbColor != (fill & 0xFFFFFF)) {
            brush->CreateSolidBrush(fill & 0xFFFFFF);
        }
        SetBkColor(dc, fill & 0xFFFFFF);
        answer = *brush;
    }
    SetTextColor(dc, textColour & 0xFFFFFF);
    return reinterpret_cast<LRESULT>(answer);
}

} // namespace s::gui::win
