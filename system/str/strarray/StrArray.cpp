// StrArray's file save lives in the system library, beside the file layer it writes
// through: the core library cannot link the file layer.
#include "core/str/strarray/StrArray.h"

#include "core/col/_array/ArrayU08.h"
#include "core/io/StreamCopy.h"
#include "system/file/win/PathWin.h"

namespace s::str::strarray {

bool StrArray::saveToFile(const wchar_t* path) const {
    file::win::PathWin* target = file::win::PathWin::create(path);
    if (target == nullptr) {
        return false;
    }
    bool ok = false;
    if (target->isValid()) {
        file::win::PathWin* folder = target->parent();
        if (folder != nullptr) {
            if (folder->isValid() && !folder->exists()) {
                folder->makeDirectory(false);
            }
            folder->release();
        }
        file::win::FileOutputStream* out = target->openOutputStream(false);
        col::_array::ArrayU08* bytes = joinLines();
        if (out != nullptr && bytes != nullptr) {
            // The stream is also an input stream: name the output view, or the read
            // overload of transferAll wins.
            io::IOutputStream* sink = out;
            ok = io::transferAll(sink, bytes->items(), bytes->count());
            // Close reports nothing: flush first so a failed last write is seen.
            ok = out->flush() && ok;
        }
        if (bytes != nullptr) {
            bytes->release();
        }
        if (out != nullptr) {
            out->release();
        }
    }
    target->release();
    return ok;
}

} // namespace s::str::strarray
