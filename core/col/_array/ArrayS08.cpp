#include "core/col/_array/ArrayS08.h"

#include "core/comp/CompS08.h"
#include "core/digest/HexDump.h"
#include "core/str/strbuffer/StrBuffer.h"

namespace s::col::_array {

void ArrayS08::appendElementText(StrBuffer* out, const void* element) const {
    out->appendInt8(*static_cast<const int8_t*>(element));
}

void ArrayS08::appendElementHex(StrBuffer* out, const void* element) const {
    // The bit pattern (ff for -1), never a sign-extended word.
    digest::hexDump8(static_cast<const uint8_t*>(element), 1, out, true);
}

ArrayBase::StrBuffer* ArrayS08::toHex(StrBuffer* out, bool append) const {
    return digest::hexDump8(reinterpret_cast<const uint8_t*>(items_), count_, out, append);
}

const base::IComparator* ArrayS08::comparator() const {
    return &comp::CompS08::instance();
}

} // namespace s::col::_array
