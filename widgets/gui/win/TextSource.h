#pragma once
#include <cstdint>
#include <string>

namespace s::gui {
class IComponent;
}

namespace s::gui::win {

// Captions by language-pack text id, shared by the captioned controls.
class TextSource {
public:
    // Registers the widget with its window's language pack (once); false without a pack.
    static bool join(IComponent* widget);
    // The text of id in the widget's window's pack; null without a pack or for id -1.
    static const wchar_t* text(const IComponent* widget, int32_t id);
    // The caption with every "&" doubled, so that a native control shows no mnemonic.
    static std::wstring withoutMnemonics(const std::wstring& caption);
};

} // namespace s::gui::win
