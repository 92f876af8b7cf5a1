// Shared helpers of the image tests: byte streams, pooled-object holders and
// hand-built BMP files.
#pragma once
#include <windows.h>

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

#include "core/thread/Held.h"
#include "core/col/_array/ArrayU08.h"
#include "images/image/win/BufferedImage.h"

namespace imagetest {

using Bytes = std::vector<uint8_t>;

// A pooled object given back at the end of a scope; a fresh one from the pool by default.
template <class T>
struct Held : s::thread::Held<T> {
    explicit Held(T* object = T::pool()) : s::thread::Held<T>(object) {}
};

// A pooled byte array holding bytes, positioned at its start.
inline s::col::_array::ArrayU08* streamOf(const Bytes& bytes) {
    s::col::_array::ArrayU08* array = s::col::_array::ArrayU08::pool();
    if (!bytes.empty()) {
        array->append(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    array->rewind();
    return array;
}

inline Bytes bytesOf(const s::col::_array::ArrayU08* array) {
    return Bytes(array->values(), array->values() + array->count());
}

template <class T>
void put(Bytes& out, size_t at, T value) {
    std::memcpy(out.data() + at, &value, sizeof(T));
}

// A BMP file laid out by hand: header fields as given, then the table and the rows.
struct BmpLayout {
    uint16_t type = 0x4D42;
    uint32_t headerSize = 40;
    int32_t width = 2;
    int32_t height = 2;
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = BI_RGB;
    uint32_t coloursUsed = 0;
    int64_t pixelOffset = -1;  // -1: right after the table
    Bytes extraHeader;         // headerSize - 40 bytes (zeros when shorter)
    Bytes table;
    Bytes pixels;
};

inline Bytes buildBmp(const BmpLayout& layout) {
    // A header claiming more than 4 KB is laid out with 4 KB.
    const size_t extra = layout.headerSize > 40 ? std::min<size_t>(layout.headerSize - 40, 4096) : 0;
    const size_t tableAt = 14 + 40 + extra;
    const size_t pixelsAt =
        layout.pixelOffset >= 0 ? static_cast<size_t>(layout.pixelOffset) : tableAt + layout.table.size();
    Bytes out(std::max(pixelsAt, tableAt + layout.table.size()) + layout.pixels.size(), 0);
    put<uint16_t>(out, 0, layout.type);
    put<uint32_t>(out, 2, static_cast<uint32_t>(out.size()));
    put<uint32_t>(out, 10, static_cast<uint32_t>(pixelsAt));
    put<uint32_t>(out, 14, layout.headerSize);
    put<int32_t>(out, 18, layout.width);
    put<int32_t>(out, 22, layout.height);
    put<uint16_t>(out, 26, layout.planes);
    put<uint16_t>(out, 28, layout.bitCount);
    put<uint32_t>(out, 30, layout.compression);
    put<uint32_t>(out, 46, layout.coloursUsed);
    std::memcpy(out.data() + 54, layout.extraHeader.data(), std::min(extra, layout.extraHeader.size()));
    std::memcpy(out.data() + tableAt, layout.table.data(), layout.table.size());
    std::memcpy(out.data() + pixelsAt, layout.pixels.data(), layout.pixels.size());
    return out;
}

// A pooled image of width x height with every pixel argb.
inline s::image::win::BufferedImage* solidImage(int32_t width, int32_t height, uint32_t argb) {
    s::image::win::BufferedImage* image = s::image::win::BufferedImage::create(width, height);
    image->fill(static_cast<uint8_t>(argb >> 24), static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
                static_cast<uint8_t>(argb));
    return image;
}

} // namespace imagetest
