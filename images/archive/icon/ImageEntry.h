#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "images/archive/IEntry.h"

namespace s::col::_array { class ArrayU08; }
namespace s::io { class IInputStream; }
namespace s::image::ico::win { class IconImage; }

namespace s::archive::icon {

// One image of an icon or cursor file or group resource: the 16-byte directory entry of
// the file form (a cursor's hotspot in place of layers and depth) and the image data once
// loaded.
class ImageEntry : public archive::IEntry, public thread::IPoolable {
    S_POOLED_CLASS(ImageEntry, 1000, L"s_archive_icon_ImageEntry")
public:
    // The directory entry as it lies in the file.
    struct Directory {
        uint8_t width;
        uint8_t height;
        uint8_t colourCount;
        uint8_t reserved;
        // Layer count and bits per pixel of an icon; the hotspot of a cursor.
        uint16_t layers;
        uint16_t bitCount;
        uint32_t byteSize;
        // From the start of the file; a group resource's image id while it is built.
        uint32_t offset;
    };
    static constexpr uint32_t DIRECTORY_BYTES = 16;
    // The part shared with group resources and written before a file offset.
    static constexpr uint32_t DIRECTORY_HEAD_BYTES = 12;

    ~ImageEntry() override;
    void reset() override { resetEntry(); }
    ImageEntry(const ImageEntry&) = delete;
    ImageEntry& operator=(const ImageEntry&) = delete;

    int64_t size() const override { return directory_.byteSize; }
    void setSize(int64_t size) override { directory_.byteSize = static_cast<uint32_t>(size); }

    int64_t position() const { return position_; }
    void setPosition(int64_t position) { position_ = position; }
    Directory& directory() { return directory_; }
    const Directory& directory() const { return directory_; }
    uint16_t hotspotX() const { return directory_.layers; }
    uint16_t hotspotY() const { return directory_.bitCount; }

    // Reads the directory's byte size of data from the stream; false (nothing kept)
    // when the stream holds less.
    bool loadData(io::IInputStream* stream);
    // Keeps count bytes as the data.
    bool setData(const void* bytes, uint32_t count);
    bool isLoaded() const { return loaded_ != 0; }
    const col::_array::ArrayU08* data() const { return data_; }
    // A pooled icon image decoded from the data; null when not loaded or not decodable.
    image::ico::win::IconImage* toImage();

private:
    ImageEntry();
    void resetEntry();
    bool takeData();

    int64_t position_;
    Directory directory_;
    col::_array::ArrayU08* data_;
    uint8_t loaded_;
};

static_assert(sizeof(ImageEntry::Directory) == ImageEntry::DIRECTORY_BYTES, "the directory is read as it lies");

} // namespace s::archive::icon
