#include "core/col/_array/ArrayU32.h"

#include "core/comp/CompU32.h"
#include "core/digest/HexDump.h"
#include "core/str/strbuffer/StrBuffer.h"

namespace s::col::_array {

void ArrayU32::appendElementText(StrBuffer* out, const void* element) const {
    out->appendUInt32(*static_cast<const uint32_t*>(element));
}

void ArrayU32::appendElementHex(StrBuffer* out, const void* element) const {
    digest::hexDump32(static_cast<const uint32_t*>(element), 1, out, true);
}

ArrayBase::StrBuffer* ArrayU32::toHex(StrBuffer* out, bool append) const {
    return digest::hexDump32(reinterpret_cast<const uint32_t*>(items_), count_, out, append);
}

const base::IComparator* ArrayU32::comparator() const {
    return &comp::CompU32::instance();
}

} // namespace s::col::_array
