#pragma once
#include <cstdint>

namespace s::str::strbuffer { class StrBuffer; }

namespace s::digest {

// Lower-case hexadecimal of count values, without separators: 2, 4, 8 or 16 digits
// per value. append true adds after out's text, false replaces it. out null: a new
// pooled string. Returns out (null only when no string could be had).
str::strbuffer::StrBuffer* hexDump8(const uint8_t* values, uint32_t count, str::strbuffer::StrBuffer* out, bool append);
str::strbuffer::StrBuffer* hexDump16(const uint16_t* values, uint32_t count, str::strbuffer::StrBuffer* out, bool append);
str::strbuffer::StrBuffer* hexDump32(const uint32_t* values, uint32_t count, str::strbuffer::StrBuffer* out, bool append);
str::strbuffer::StrBuffer* hexDump64(const uint64_t* values, uint32_t count, str::strbuffer::StrBuffer* out, bool append);

} // namespace s::digest
