#pragma once
#include <cstdint>

#include "core/base/IObject.h"

namespace s::col::_array { class ArrayU08; }
namespace s::io { class IOutputStream; }
namespace s::file { class IPath; }

namespace s::archive {

class IEntry;

// A file read as a list of entries (a program module's resources, the images of an
// icon or cursor file). Implementations are pooled: take one, open, release.
class IArchive : public base::IObject {
public:
    // Size of the opened file; 0 when closed.
    virtual int64_t size() const = 0;
    virtual uint32_t count() const = 0;
    uint32_t entryCount() const { return count(); }
    // Null past the end. The entry belongs to the archive.
    virtual IEntry* entryAt(uint32_t index) const = 0;
    // Closes what was open, then opens the file; false leaves the archive closed.
    virtual bool open(file::IPath* path) = 0;
    virtual void close() = 0;
    // Appends the entry's bytes to the array (archives that read from a module).
    virtual bool readEntry(IEntry*, col::_array::ArrayU08*) { return false; }
    // Writes the entry in its file form to the stream (archives over files).
    virtual bool writeEntry(IEntry*, io::IOutputStream*) { return false; }
    // Forgets an attached stream without closing it.
    virtual void detachStream() {}
};

} // namespace s::archive
