#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/CBrush.h"

namespace s::gui {
class IComponent;
}

namespace s::gui::win {

// The answer of a control to its reflected colour request. The brush is the control's
// own, kept while its colour holds and replaced (the previous one deleted) when the
// colour changes, so none is leaked.
class ReflectedBrush {
public:
    // Transparent: the parent's background colour, or the null brush with a transparent
    // background mode when there is no parent; else the colour. The text colour is set.
    static LRESULT answer(const IComponent* widget, CBrush* brush, HDC dc, bool transparent, uint32_t colour,
                          uint32_t textColour);
};

} // namespace s::gui::win
