#pragma once
#include <cstdint>

#include "system/lang/Localizer.h"

namespace s::image::gui::boxes {

// Widgets captioned from the language pack when it has the text, else by the literal
// default (the pack may lack the option boxes' texts).
template <class Widget, class... Rest>
Widget* captioned(lang::Localizer* localizer, int32_t textId, const wchar_t* literal, Rest... rest) {
    return localizer != nullptr && localizer->hasText(textId) ? Widget::createWithTextId(textId, rest...)
                                                              : Widget::createWithText(literal, rest...);
}

} // namespace s::image::gui::boxes
