#pragma once
#include <cstdint>

#include "core/str/strbuffer/StrBuffer.h"

namespace s::archive::dll::win {

// Readable texts of the binary resource formats (string tables, accelerator tables,
// menus, dialog templates, version blocks). Lines end in CR LF. Every read stays
// inside the given bytes: a block that is cut short or whose lengths point outside
// it answers false (the text then holds what was read before the fault).
class ResourceText {
public:
    // Each string of the run on its own line, in double quotes; an empty string
    // gives an empty line.
    static bool stringTable(const uint8_t* data, uint32_t size, str::strbuffer::StrBuffer* out);
    // "Key: [Alt + ][Ctrl + ][Shift + ]<key>", "Action ID: <id>", an empty line.
    static bool accelerators(const uint8_t* data, uint32_t size, str::strbuffer::StrBuffer* out);
    // A menu template of version 0: items one per line, a tab per nesting level.
    static bool menu(const uint8_t* data, uint32_t size, str::strbuffer::StrBuffer* out);
    // A classic or extended dialog template with its controls.
    static bool dialog(const uint8_t* data, uint32_t size, str::strbuffer::StrBuffer* out);
    // "key: value" for every text value of the first string table of a version block.
    static bool version(const uint8_t* data, uint32_t size, str::strbuffer::StrBuffer* out);

    // The description of a virtual-key code ("F1 key"); "Unknown key" when the code
    // has none.
    static const wchar_t* virtualKeyName(uint32_t code);

private:
    ResourceText() = delete;
};

} // namespace s::archive::dll::win
