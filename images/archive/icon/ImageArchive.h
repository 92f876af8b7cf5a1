#pragma once
#include <cstdint>

#include "core/col/_array/ArrayP.h"
#include "core/thread/IPoolable.h"
#include "images/archive/IArchive.h"
#include "images/archive/icon/ImageEntry.h"

namespace s::archive::dll { class IArchive; }
namespace s::file { class IFileInputStream; }
namespace s::image::win { class BufferedImage; }
namespace s::thread { class EasyPooler; }

namespace s::archive::icon {

// What the icon and cursor archives share: ".ico" and ".cur" files and group
// resources of a program module read as a list of images.
//
// Files come from disk: the directory is checked against the file's size (every entry's
// data must lie inside the file) before any entry is taken, and a group resource's
// count against its length. Image data is read when first needed.
class ImageArchive : public archive::IArchive, public thread::IPoolable {
public:
    static constexpr uint16_t TYPE_ICON = 1;
    static constexpr uint16_t TYPE_CURSOR = 2;
    static constexpr uint32_t HEADER_BYTES = 6;
    static constexpr uint32_t GROUP_ENTRY_BYTES = 14;
    // A cursor image resource begins with its hotspot.
    static constexpr uint32_t HOTSPOT_BYTES = 4;

    ~ImageArchive() override;
    ImageArchive(const ImageArchive&) = delete;
    ImageArchive& operator=(const ImageArchive&) = delete;

    int64_t size() const override { return size_; }
    uint32_t count() const override { return entries_.count(); }
    archive::IEntry* entryAt(uint32_t index) const override { return entry(index); }
    ImageEntry* entry(uint32_t index) const;
    // Opens the file read-only and reads its directory; false (closed) for a missing
    // file, a directory that does not fit the file, or a file of the other kind.
    bool open(file::IPath* path) override;
    void close() override;
    // A one-image file of the archive's kind from the entry (its data read first).
    bool writeEntry(archive::IEntry* entry, io::IOutputStream* stream) override;
    // The whole archive as a file. Every entry's data is read first; nothing is
    // written when one cannot be read.
    bool writeAll(io::IOutputStream* stream);
    // Builds the archive from the group resource of that id (or name) in a module's
    // archive; images whose resource is missing or damaged are left out. False (and
    // empty) when there is no such group or it is damaged.
    bool loadFromModule(dll::IArchive* module, uint32_t id);
    bool loadFromModuleByName(dll::IArchive* module, const wchar_t* name);
    // The entry that fits width x height best: an exact 32-bit one at once, else the
    // nearest area (the stored bytes, 0 counting as 0), then the depth nearest to 32,
    // then the earlier. False only when empty.
    bool findBestEntry(int32_t width, int32_t height, uint32_t* index) const;
    // The entry's picture as a new pooled image; null when its data cannot be read or
    // decoded.
    image::win::BufferedImage* entryImage(uint32_t index);

    bool isOpened() const { return opened_ != 0; }
    bool isCursor() const { return cursor_; }
    int64_t base() const { return base_; }
    // The header as read (reserved, type, count).
    uint16_t headerReserved() const { return reserved_; }
    uint16_t headerType() const { return type_; }
    uint16_t headerCount() const { return count_; }

protected:
    explicit ImageArchive(bool cursor);

private:
    uint16_t fileType() const { return cursor_ ? TYPE_CURSOR : TYPE_ICON; }
    ImageEntry* ownEntry(archive::IEntry* entry) const;
    bool readDirectory();
    // Reads the entry's data from the file unless it is there already.
    bool ensureLoaded(ImageEntry* entry);
    bool loadGroup(dll::IArchive* module, uint32_t index);

    const bool cursor_;
    int64_t base_;
    int64_t size_;
    col::_array::ArrayP entries_;
    uint8_t streamOwned_;
    uint8_t opened_;
    file::IFileInputStream* stream_;
    uint16_t reserved_;
    uint16_t type_;
    uint16_t count_;
};

} // namespace s::archive::icon
