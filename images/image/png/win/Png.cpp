#include "images/image/png/win/Png.h"

#include <windows.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

#include <png.h>

#include "core/io/StreamCopy.h"
#include "core/thread/Held.h"
#include "images/image/bmp/win/Bitmap.h"
#include "images/image/png/EncodeSetting.h"
#include "images/image/win/BufferedImage.h"

namespace s::image::png::win {

using bmp::win::Bitmap;
using image::win::BufferedImage;

namespace {

// Largest ancillary chunk libpng may allocate (text, colour profiles).
constexpr png_alloc_size_t CHUNK_LIMIT = 8 * 1024 * 1024;

// libpng's errors jump back to the call that owns the library objects; warnings
// (1.6 gives many for harmless colour-profile chunks) are dropped.
void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// Every allocation of a read: libpng 1.6 only warns about a chunk over the chunk limit
// and then allocates its declared length (up to 2 GB) before reading it. Text, sPLT and
// unknown chunks are skipped unread (below); nothing else an image within the side limits
// needs comes near the cap.
constexpr png_alloc_size_t ALLOCATION_CAP = CHUNK_LIMIT + 64 * 1024;

// Chunks nothing here shows: libpng would keep up to a thousand of them, each inflated
// up to the chunk limit, so a small file could cost gigabytes. Skipped, they cost their reading.
constexpr png_byte SKIPPED_CHUNKS[] = {
    't', 'E', 'X', 't', '\0', 'z', 'T', 'X', 't', '\0', 'i', 'T', 'X', 't', '\0', 's', 'P', 'L', 'T', '\0',
};

png_voidp allocateCapped(png_structp png, png_alloc_size_t size) {
    if (size > ALLOCATION_CAP) {
        png_error(png, "chunk data is too large");
    }
    return std::malloc(size);
}

// Every byte asked for, or a library error.
void readData(png_structp png, png_bytep bytes, png_size_t count) {
    io::IInputStream* stream = static_cast<io::IInputStream*>(png_get_io_ptr(png));
    if (static_cast<uint64_t>(count) > UINT32_MAX || !io::transferAll(stream, bytes, static_cast<uint32_t>(count))) {
        png_error(png, "Read Error");
    }
}

void writeData(png_structp png, png_bytep bytes, png_size_t count) {
    io::IOutputStream* stream = static_cast<io::IOutputStream*>(png_get_io_ptr(png));
    if (static_cast<uint64_t>(count) > UINT32_MAX || !io::transferAll(stream, bytes, static_cast<uint32_t>(count))) {
        png_error(png, "Write Error");
    }
}

void flushData(png_structp png) {
    if (!static_cast<io::IOutputStream*>(png_get_io_ptr(png))->flush()) {
        png_error(png, "Write Error");
    }
}

// Row pointers to the picture, top row first; null when out of memory.
png_bytep* rowsOf(Bitmap* bitmap) {
    const int32_t h = bitmap->height();
    png_bytep* rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * static_cast<size_t>(h)));
    if (rows != nullptr) {
        for (int32_t y = 0; y < h; ++y) {
            rows[y] = bitmap->row(y);
        }
    }
    return rows;
}

} // namespace

Png::Png() : interlace_(0) {}

Png::~Png() = default;

void Png::reset() {
    resetBitmap();
    interlace_ = 0;
}

// The setjmp lives here, beside the library objects; nothing with a destructor does.
bool Png::decode(io::IInputStream* stream) {
    if (bitmap_ == nullptr) {
        return false;
    }
    bitmap_->reset();
    if (stream == nullptr) {
        return false;
    }
    png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning, nullptr,
                                               allocateCapped, nullptr);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::free(rows);
        bitmap_->reset();
        return false;
    }
    png_set_user_limits(png, MAX_DECODED_SIDE, MAX_DECODED_SIDE);
    png_set_chunk_malloc_max(png, CHUNK_LIMIT);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, SKIPPED_CHUNKS,
                                static_cast<int>(sizeof(SKIPPED_CHUNKS) / 5));
    png_set_read_fn(png, stream, readData);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int depth = png_get_bit_depth(png, info);
    const int colourType = png_get_color_type(png, info);
    if (!isDecodableSize(width, height)) {
        png_error(png, "Image too large");
    }
    // Every kind of PNG becomes 8-bit blue, green, red, alpha.
    png_set_strip_16(png);
    png_set_packing(png);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) {
        png_set_tRNS_to_alpha(png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_RGB ||
        colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4) {
        png_error(png, "Unexpected row layout");
    }
    if (!setSize(static_cast<int32_t>(width), static_cast<int32_t>(height))) {
        png_error(png, "Out of memory");
    }
    rows = rowsOf(bitmap_);
    if (rows == nullptr) {
        png_error(png, "Out of memory");
    }
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::free(rows);
    return true;
}

// libpng copies each row before turning it into RGBA, so the picture is only read.
bool Png::encode(io::IOutputStream* stream) {
    if (stream == nullptr || bitmap_ == nullptr || bitmap_->handle() == nullptr || bitmap_->bitCount() != 32) {
        return false;
    }
    png_bytep* rows = rowsOf(bitmap_);
    if (rows == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        std::free(rows);
        return false;
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        std::free(rows);
        return false;
    }
    png_set_write_fn(png, stream, writeData, flushData);
    png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap_->width()), static_cast<png_uint_32>(bitmap_->height()), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, interlace_ != 0 ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    GdiFlush();
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::free(rows);
    return true;
}

bool Png::setFromImage(BufferedImage* image, bool interlace, bool keepTransparency, uint8_t red, uint8_t green,
                       uint8_t blue) {
    if (bitmap_ == nullptr) {
        return false;
    }
    if (image == nullptr || !setSize(image->width(), image->height())) {
        reset();
        return false;
    }
    const int32_t w = image->width();
    const int32_t h = image->height();
    const BufferedImage* source = image;
    BufferedImage* composite = nullptr;
    if (image->hasAlpha() && !keepTransparency) {
        composite = image->overBackground(red, green, blue);
        if (composite == nullptr) {
            reset();
            return false;
        }
        source = composite;
    }
    const size_t rowBytes = static_cast<size_t>(w) * 4;
    for (int32_t y = 0; y < h; ++y) {
        std::memcpy(bitmap_->row(y), source->row(y), rowBytes);
    }
    // An opaque picture may hold any alpha bytes (GDI leaves 0); the file must not show them.
    if (!source->hasAlpha()) {
        for (int32_t y = 0; y < h; ++y) {
            uint8_t* p = bitmap_->row(y);
            for (int32_t x = 0; x < w; ++x) {
                p[x * 4 + 3] = 255;
            }
        }
    }
    if (composite != nullptr) {
        composite->release();
    }
    setInterlace(interlace);
    return true;
}

Png* Png::createFromImage(BufferedImage* image, bool interlace, bool keepTransparency, uint8_t red, uint8_t green,
                          uint8_t blue) {
    return thread::pooledFrom<Png>(
        [&](Png* png) { return png->setFromImage(image, interlace, keepTransparency, red, green, blue); });
}

IEncodedImage* Png::createFromImage(BufferedImage* image) const {
    EncodeSetting* setting = EncodeSetting::pool();
    if (setting == nullptr) {
        return nullptr;
    }
    setting->setKeepTransparency(true);
    setting->setWithInterlace(true);
    IEncodedImage* made = setting->encode(image);
    setting->release();
    return made;
}

} // namespace s::image::png::win
