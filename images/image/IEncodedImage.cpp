#include "images/image/IEncodedImage.h"

#include "core/col/_array/ArrayU08.h"
#include "core/io/IOutputStream.h"
#include "core/thread/Held.h"
#include "images/archive/dll/win/Archive.h"
#include "images/image/win/BufferedImage.h"
#include "images/image/win/BufferedImageSet.h"
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

bool IEncodedImage::loadResource(archive::dll::win::Archive* archive, const wchar_t* typeName, uint32_t id) {
    using archive::dll::win::Entry;
    if (archive == nullptr || typeName == nullptr) {
        return false;
    }
    uint32_t index;
    const bool found =
        IS_INTRESOURCE(typeName)
            ? archive->findByKindNameId(
                  Entry::kindOfWindowsType(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(typeName))), id, &index)
            : archive->findByTypeTextNameId(typeName, id, &index);
    if (!found) {
        return false;
    }
    // The byte array is itself the input stream over the entry.
    thread::Held<col::_array::ArrayU08> stream(col::_array::ArrayU08::pool());
    if (!stream || !archive->readEntry(archive->entry(index), stream.get())) {
        return false;
    }
    stream->rewind();
    const bool done = decode(stream.get());
    stream->close();
    return done;
}

win::BufferedImageSet* IEncodedImage::toImageSet() {
    win::BufferedImage* image = toBufferedImage();
    if (image == nullptr) {
        return nullptr;
    }
    win::BufferedImageSet* set = win::BufferedImageSet::pool();
    if (set == nullptr || !set->add(image, bitCount(), 0, 0)) {
        image->release();
        if (set != nullptr) {
            set->release();
        }
        return nullptr;
    }
    return set;
}

IEncodedImage* IEncodedImage::createFromImageSet(win::BufferedImageSet* set) const {
    return set != nullptr ? createFromImage(set->frameAt(0)) : nullptr;
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
