#include "images/archive/icon/ImageArchive.h"

#include <cstdlib>
#include <cstring>

#include "core/col/_array/ArrayU08.h"
#include "core/io/StreamCopy.h"
#include "core/thread/EasyPooler.h"
#include "core/thread/Held.h"
#include "images/archive/dll/IArchive.h"
#include "images/archive/dll/win/Entry.h"
#include "images/image/ico/win/IconImage.h"
#include "images/image/win/BufferedImage.h"
#include "system/file/IFileInputStream.h"
#include "system/file/IPath.h"

namespace s::archive::icon {

using col::_array::ArrayU08;
using thread::Held;

namespace {

uint16_t readU16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

bool writeU16(io::IOutputStream* stream, uint16_t v) { return io::transferAll(stream, &v, 2); }
bool writeU32(io::IOutputStream* stream, uint32_t v) { return io::transferAll(stream, &v, 4); }

} // namespace

ImageArchive::ImageArchive(bool cursor)
    : cursor_(cursor), base_(0), size_(0), streamOwned_(0), opened_(0), stream_(nullptr), reserved_(0), type_(0),
      count_(0) {
    entries_.setCleaner(&ImageEntry::pooler());
}

ImageArchive::~ImageArchive() {
    close();
}

void ImageArchive::close() {
    if (stream_ != nullptr && streamOwned_ != 0) {
        stream_->release();
    }
    stream_ = nullptr;
    entries_.clear();
    base_ = 0;
    size_ = 0;
    streamOwned_ = 0;
    opened_ = 0;
    reserved_ = type_ = count_ = 0;
}

ImageEntry* ImageArchive::entry(uint32_t index) const {
    return index < entries_.count() ? static_cast<ImageEntry*>(entries_.get(index)) : nullptr;
}

ImageEntry* ImageArchive::ownEntry(archive::IEntry* entry) const {
    for (uint32_t i = 0; entry != nullptr && i < entries_.count(); ++i) {
        if (static_cast<archive::IEntry*>(this->entry(i)) == entry) {
            return this->entry(i);
        }
    }
    return nullptr;
}

bool ImageArchive::open(file::IPath* path) {
    close();
    if (path == nullptr || !path->exists() || path->isDirectory()) {
        return false;
    }
    // Reading needs no write access, so read-only files open too.
    stream_ = path->openInputStream();
    if (stream_ == nullptr) {
        return false;
    }
    streamOwned_ = 1;
    opened_ = 1;
    stream_->seekEnd();
    size_ = stream_->position();
    stream_->seek(base_);
    if (stream_->position() != base_ || !readDirectory()) {
        close();
        return false;
    }
    return true;
}

bool ImageArchive::readDirectory() {
    uint16_t header[3];
    if (!io::transferAll(stream_, header, HEADER_BYTES)) {
        return false;
    }
    reserved_ = header[0];
    type_ = header[1];
    count_ = header[2];
    const int64_t data = size_ - base_;
    if (reserved_ != 0 || type_ != fileType() ||
        HEADER_BYTES + static_cast<int64_t>(count_) * ImageEntry::DIRECTORY_BYTES > data) {
        return false;
    }
    for (uint32_t i = 0; i < count_; ++i) {
        ImageEntry::Directory d;
        const int64_t position = stream_->position();
        if (!io::transferAll(stream_, &d, ImageEntry::DIRECTORY_BYTES) ||
            static_cast<int64_t>(d.offset) + d.byteSize > data) {
            return false;
        }
        if (cursor_ && d.height == 0) {
            d.height = d.width;
        }
        ImageEntry* e = ImageEntry::pool();
        if (e == nullptr) {
            return false;
        }
        e->setPosition(position);
        e->directory() = d;
        if (!entries_.add(e)) {
            e->release();
            return false;
        }
    }
    return true;
}

bool ImageArchive::ensureLoaded(ImageEntry* entry) {
    if (entry->isLoaded()) {
        return true;
    }
    if (stream_ == nullptr) {
        return false;
    }
    const int64_t at = base_ + entry->directory().offset;
    stream_->seek(at);
    return stream_->position() == at && entry->loadData(stream_);
}

bool ImageArchive::writeEntry(archive::IEntry* entry, io::IOutputStream* stream) {
    ImageEntry* e = ownEntry(entry);
    if (e == nullptr || stream == nullptr || !ensureLoaded(e)) {
        return false;
    }
    return writeU16(stream, 0) && writeU16(stream, fileType()) && writeU16(stream, 1) &&
           io::transferAll(stream, &e->directory(), ImageEntry::DIRECTORY_HEAD_BYTES) &&
           writeU32(stream, HEADER_BYTES + ImageEntry::DIRECTORY_BYTES) &&
           io::transferAll(stream, e->data()->items(), e->data()->count());
}

bool ImageArchive::writeAll(io::IOutputStream* stream) {
    const uint32_t n = entries_.count();
    if (stream == nullptr || n > UINT16_MAX) {
        return false;
    }
    // Every image is read before anything is written, so a failure leaves no half file.
    uint64_t end = HEADER_BYTES + static_cast<uint64_t>(n) * ImageEntry::DIRECTORY_BYTES;
    for (uint32_t i = 0; i < n; ++i) {
        if (!ensureLoaded(entry(i))) {
            return false;
        }
        end += entry(i)->data()->count();
    }
    if (end > UINT32_MAX) {
        return false;
    }
    if (!writeU16(stream, 0) || !writeU16(stream, fileType()) || !writeU16(stream, static_cast<uint16_t>(n))) {
        return false;
    }
    uint32_t offset = HEADER_BYTES + n * ImageEntry::DIRECTORY_BYTES;
    for (uint32_t i = 0; i < n; ++i) {
        const ImageEntry* e = entry(i);
        if (!io::transferAll(stream, &e->directory(), ImageEntry::DIRECTORY_HEAD_BYTES) ||
            !writeU32(stream, offset)) {
            return false;
        }
        offset += e->data()->count();
    }
    for (uint32_t i = 0; i < n; ++i) {
        const ArrayU08* data = entry(i)->data();
        if (!io::transferAll(stream, data->items(), data->count())) {
            return false;
        }
    }
    return true;
}

bool ImageArchive::loadFromModule(dll::IArchive* module, uint32_t id) {
    close();
    const uint32_t kind = cursor_ ? dll::win::Entry::KIND_GROUP_CURSOR : dll::win::Entry::KIND_GROUP_ICON;
    uint32_t index;
    return module != nullptr && module->findByKindNameId(kind, id, &index) && loadGroup(module, index);
}

bool ImageArchive::loadFromModuleByName(dll::IArchive* module, const wchar_t* name) {
    close();
    const uint32_t kind = cursor_ ? dll::win::Entry::KIND_GROUP_CURSOR : dll::win::Entry::KIND_GROUP_ICON;
    uint32_t index;
    return module != nullptr && name != nullptr && module->findByKindNameText(kind, name, &index) &&
           loadGroup(module, index);
}

bool ImageArchive::loadGroup(dll::IArchive* module, uint32_t index) {
    Held<ArrayU08> group(ArrayU08::pool());
    if (!group || !module->readEntry(module->entryAt(index), group.get()) || group->count() < HEADER_BYTES) {
        return false;
    }
    const uint8_t* g = group->items();
    const uint32_t n = readU16(g + 4);
    if (HEADER_BYTES + static_cast<uint64_t>(n) * GROUP_ENTRY_BYTES > group->count()) {
        return false;
    }
    reserved_ = readU16(g);
    type_ = readU16(g + 2);
    count_ = static_cast<uint16_t>(n);
    const uint32_t imageKind = cursor_ ? dll::win::Entry::KIND_CURSOR_IMAGE : dll::win::Entry::KIND_ICON_IMAGE;
    for (uint32_t i = 0; i < n; ++i) {
        const uint8_t* item = g + HEADER_BYTES + i * GROUP_ENTRY_BYTES;
        ImageEntry::Directory d;
        std::memcpy(&d, item, ImageEntry::DIRECTORY_HEAD_BYTES);
        d.offset = readU16(item + 12);
        if (cursor_ && d.height == 0) {
            d.height = d.width;
        }
        uint32_t imageIndex;
        Held<ArrayU08> image(ArrayU08::pool());
        if (!image || !module->findByKindNameId(imageKind, d.offset, &imageIndex) ||
            !module->readEntry(module->entryAt(imageIndex), image.get()) ||
            (cursor_ && image->count() < HOTSPOT_BYTES)) {
            continue;
        }
        const uint8_t* bytes = image->items();
        uint32_t length = image->count();
        if (cursor_) {
            d.layers = readU16(bytes);
            d.bitCount = readU16(bytes + 2);
            bytes += HOTSPOT_BYTES;
            length -= HOTSPOT_BYTES;
        }
        ImageEntry* e = ImageEntry::pool();
        if (e == nullptr) {
            return false;
        }
        e->directory() = d;
        if (!e->setData(bytes, length) || !entries_.add(e)) {
            e->release();
            return false;
        }
    }
    return true;
}

bool ImageArchive::findBestEntry(int32_t width, int32_t height, uint32_t* index) const {
    const uint32_t n = entries_.count();
    if (n == 0) {
        return false;
    }
    const int64_t wanted = static_cast<int64_t>(width) * height;
    uint32_t best = 0;
    int64_t bestDistance = INT64_MAX;
    int32_t bestDepth = INT32_MAX;
    for (uint32_t i = 0; i < n; ++i) {
        const ImageEntry::Directory& d = entry(i)->directory();
        if (d.width == width && d.height == height && d.bitCount == 32) {
            best = i;
            break;
        }
        const int64_t distance = std::llabs(static_cast<int64_t>(d.width) * d.height - wanted);
        const int32_t depth = std::abs(32 - static_cast<int32_t>(d.bitCount));
        if (distance < bestDistance || (distance == bestDistance && depth < bestDepth)) {
            best = i;
            bestDistance = distance;
            bestDepth = depth;
        }
    }
    if (index != nullptr) {
        *index = best;
    }
    return true;
}

image::win::BufferedImage* ImageArchive::entryImage(uint32_t index) {
    ImageEntry* e = entry(index);
    if (e == nullptr || !ensureLoaded(e)) {
        return nullptr;
    }
    Held<image::ico::win::IconImage> icon(e->toImage());
    return icon ? icon->toBufferedImage() : nullptr;
}

} // namespace s::archive::icon
