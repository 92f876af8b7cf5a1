#include "images/archive/icon/ImageEntry.h"

#include <cstring>

#include "core/col/_array/ArrayU08.h"
#include "core/io/StreamCopy.h"
#include "images/image/ico/win/IconImage.h"

namespace s::archive::icon {

using col::_array::ArrayU08;

ImageEntry::ImageEntry() : position_(0), data_(nullptr), loaded_(0) {
    std::memset(&directory_, 0, sizeof(directory_));
}

ImageEntry::~ImageEntry() {
    if (data_ != nullptr) {
        data_->release();
    }
}

void ImageEntry::resetEntry() {
    position_ = 0;
    std::memset(&directory_, 0, sizeof(directory_));
    if (data_ != nullptr) {
        data_->release();
        data_ = nullptr;
    }
    loaded_ = 0;
}

bool ImageEntry::takeData() {
    if (data_ == nullptr) {
        data_ = ArrayU08::pool();
    }
    loaded_ = 0;
    return data_ != nullptr && data_->setCount(directory_.byteSize);
}

bool ImageEntry::loadData(io::IInputStream* stream) {
    if (stream == nullptr || !takeData() || !io::transferAll(stream, data_->items(), directory_.byteSize)) {
        if (data_ != nullptr) {
            data_->setCount(0);
        }
        return false;
    }
    data_->rewind();
    loaded_ = 1;
    return true;
}

bool ImageEntry::setData(const void* bytes, uint32_t count) {
    directory_.byteSize = count;
    if (!takeData()) {
        return false;
    }
    if (count != 0) {
        std::memcpy(data_->items(), bytes, count);
    }
    data_->rewind();
    loaded_ = 1;
    return true;
}

image::ico::win::IconImage* ImageEntry::toImage() {
    if (loaded_ == 0) {
        return nullptr;
    }
    image::ico::win::IconImage* image = image::ico::win::IconImage::pool();
    const bool done = image != nullptr && image->decode(static_cast<io::IInputStream*>(data_));
    data_->rewind();
    if (!done && image != nullptr) {
        image->release();
        return nullptr;
    }
    return image;
}

} // namespace s::archive::icon
