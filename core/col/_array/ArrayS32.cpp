#include "core/col/_array/ArrayS32.h"

#include "core/comp/CompS32.h"
#include "core/digest/HexDump.h"
#include "core/str/strbuffer/StrBuffer.h"

namespace s::col::_array {

void ArrayS32::appendElementText(StrBuffer* out, const void* element) const {
    out->appendInt32(*static_cast<const int32_t*>(element));
}

void ArrayS32::appendElementHex(StrBuffer* out, const void* element) const {
    // The bit pattern, as for the unsigned elements.
    digest::hexDump32(static_cast<const uint32_t*>(element), 1, out, true);
}

ArrayBase::StrBuffer* ArrayS32::toHex(StrBuffer* out, bool append) const {
    return digest::hexDump32(reinterpret_cast<const uint32_t*>(items_), count_, out, append);
}

const base::IComparator* ArrayS32::comparator() const {
    return &comp::CompS32::instance();
}

} // namespace s::col::_array
