#include "core/col/_array/ArrayU08.h"

#include "core/comp/CompU08.h"
#include "core/digest/HexDump.h"
#include "core/str/strbuffer/StrBuffer.h"

namespace s::col::_array {

void ArrayU08::appendElementText(StrBuffer* out, const void* element) const {
    out->appendUInt8(*static_cast<const uint8_t*>(element));
}

void ArrayU08::appendElementHex(StrBuffer* out, const void* element) const {
    digest::hexDump8(static_cast<const uint8_t*>(element), 1, out, true);
}

ArrayBase::StrBuffer* ArrayU08::toHex(StrBuffer* out, bool append) const {
    return digest::hexDump8(reinterpret_cast<const uint8_t*>(items_), count_, out, append);
}

const base::IComparator* ArrayU08::comparator() const {
    return &comp::CompU08::instance();
}

} // namespace s::col::_array
