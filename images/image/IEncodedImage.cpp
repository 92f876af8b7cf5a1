#include "images/image/IEncodedImage.h"

#include "core/io/IOutputStream.h"
#include "system/file/win/FileInputStream.h"
#include "system/file/win/FileOutputStream.h"
#include "system/file/win/PathWin.h"

namespace s::image {

using file::win::PathWin;

bool IEncodedImage::save(const wchar_t* path) {
    PathWin* file = PathWin::create(path);
    if (file == nullptr) {
        return false;
    }
    const bool done = save(file);
    file->release();
    return done;
}

bool IEncodedImage::save(PathWin* path) {
    if (path == nullptr || !path->isValid() || path->exists()) {
        return false;
    }
    file::win::FileOutputStream* stream = path->openOutputStream(false);
    if (stream == nullptr) {
        return false;
    }
    io::IOutputStream* sink = stream;
    bool done = encode(sink);
    done = stream->flush() && done;
    stream->release();
    if (!done) {
        path->remove(false, false);
    }
    return done;
}

bool IEncodedImage::load(const wchar_t* path) {
    PathWin* file = PathWin::create(path);
    if (file == nullptr) {
        return false;
    }
    const bool done = load(file);
    file->release();
    return done;
}

bool IEncodedImage::load(PathWin* path) {
    if (path == nullptr || !path->isValid() || !path->exists() || path->isDirectory()) {
        return false;
    }
    file::win::FileInputStream* stream = path->openInputStream();
    if (stream == nullptr) {
        return false;
    }
    const bool done = decode(stream);
    stream->release();
    return done;
}

bool IEncodedImage::findFrame(int32_t, int32_t, int32_t, int32_t* index) const {
    if (index != nullptr) {
        *index = 0;
    }
    return true;
}

bool IEncodedImage::findFrameNearestDepth(int32_t width, int32_t height, int32_t bitCount, int32_t* index) const {
    return findFrame(width, height, bitCount, index);
}

bool IEncodedImage::findFrameNearestSize(int32_t width, int32_t height, int32_t bitCount, int32_t* index) const {
    return findFrame(width, height, bitCount, index);
}

} // namespace s::image
