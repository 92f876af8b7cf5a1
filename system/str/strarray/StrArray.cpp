// StrArray's file save lives in the system library, beside the file layer it writes
// through: the core library cannot link the file layer.
#include "core/str/strarray/StrArray.h"

#include "core/col/_array/ArrayU08.h"
#include "system/file/win/PathWin.h"

namespace s::str::strarray {

bool StrArray::saveToFile(const wchar_t* path) const {
    file::win::PathWin* target = file::win::PathWin::create(path);
    if (target == nullptr) {
        return false;
    }
    col::_array::ArrayU08* bytes = target->isValid() ? joinLines() : nullptr;
    // Written beside and moved over: a failed save leaves the old file whole.
    const bool ok = bytes != nullptr && target->replaceAllBytes(bytes);
    if (bytes != nullptr) {
        bytes->release();
    }
    target->release();
    return ok;
}

} // namespace s::str::strarray
