#pragma once
#include "core/io/IInputStream.h"

namespace s::file {

class IPath;

// An input stream over a file, opened through a path (IPath::openInputStream).
class IFileInputStream : public io::IInputStream {
public:
    // Closes what was open, then opens the path's file for reading; false when it
    // cannot be opened (the stream stays closed).
    virtual bool open(IPath* path) = 0;
};

} // namespace s::file
