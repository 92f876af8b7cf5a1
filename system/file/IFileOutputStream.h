#pragma once
#include "core/io/IInputStream.h"
#include "core/io/IOutputStream.h"

namespace s::file {

class IPath;

// A buffered output stream over a file, opened through a path
// (IPath::openOutputStream); it also reads from the same file.
class IFileOutputStream : public io::IOutputStream, public io::IInputStream {
public:
    // Closes what was open, then opens the path's file: emptied (created when missing),
    // or with append kept and positioned at its end. False when it cannot be opened.
    virtual bool open(IPath* path, bool append) = 0;

    // Both views share one set of these.
    void release() override = 0;
    void reset() override = 0;
    void close() override = 0;
    int64_t position() const override = 0;
    bool isSeekable() const override = 0;
    void rewind() override = 0;
    void seekEnd() override = 0;
    void seek(int64_t position) override = 0;
    void seekFromEnd(int64_t distance) override = 0;
    int64_t skip(int64_t n) override = 0;
    int64_t skipBack(int64_t n) override = 0;
    void dispose() override { close(); }
    void disposeRelease() override { close(); }
};

} // namespace s::file
