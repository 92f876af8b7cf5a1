#include "images/image/jpg/win/Jpeg.h"

// libjpeg wants the Windows and C headers first (its INT32 and boolean follow them).
#include <windows.h>
#include <stdio.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

#include "core/io/StreamCopy.h"
#include "core/thread/Held.h"
#include "images/image/bmp/win/Bitmap.h"
#include "images/image/jpg/EncodeSetting.h"
#include "images/image/win/BufferedImage.h"

namespace s::image::jpg::win {

using bmp::win::Bitmap;
using image::win::BufferedImage;

namespace {

constexpr size_t BUFFER_BYTES = 4096;

// libjpeg's fatal errors jump back to the call that owns the library object; its
// messages are not printed.
struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

void errorExit(j_common_ptr info) {
    longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void outputMessage(j_common_ptr) {}

void installErrors(jpeg_common_struct* info, ErrorManager* error) {
    info->err = jpeg_std_error(&error->pub);
    error->pub.error_exit = errorExit;
    error->pub.output_message = outputMessage;
}

// Progressive files go over the whole picture once a scan; a hostile one with
// thousands of scans would keep the decoder busy for minutes.
constexpr int MAX_SCANS = 1000;

// The work of a file is its scans times the blocks each covers; it is counted as each
// scan begins, before the scan is decoded.
struct ScanWork {
    jpeg_progress_mgr pub;
    int scan;
    int64_t blocks;
};

void onProgress(j_common_ptr info) {
    if (!info->is_decompressor) {
        return;
    }
    j_decompress_ptr decompress = reinterpret_cast<j_decompress_ptr>(info);
    ScanWork* work = reinterpret_cast<ScanWork*>(decompress->progress);
    if (decompress->input_scan_number > MAX_SCANS) {
        ERREXIT(info, JERR_BAD_SCAN_SCRIPT);
    }
    if (decompress->input_scan_number == work->scan) {
        return;
    }
    work->scan = decompress->input_scan_number;
    for (int i = 0; i < decompress->comps_in_scan; ++i) {
        const jpeg_component_info* component = decompress->cur_comp_info[i];
        work->blocks += static_cast<int64_t>(component->width_in_blocks) * component->height_in_blocks;
    }
    if (work->blocks > Jpeg::MAX_SCAN_BLOCKS) {
        ERREXIT(info, JERR_BAD_SCAN_SCRIPT);
    }
}

// Reads from one of our byte streams.
struct StreamSource {
    jpeg_source_mgr pub;
    io::IInputStream* stream;
    JOCTET* buffer;
    boolean startOfFile;
};

void initSource(j_decompress_ptr info) {
    reinterpret_cast<StreamSource*>(info->src)->startOfFile = TRUE;
}

boolean fillInputBuffer(j_decompress_ptr info) {
    StreamSource* source = reinterpret_cast<StreamSource*>(info->src);
    uint32_t got = 0;
    if (!source->stream->read(source->buffer, BUFFER_BYTES, got)) {
        got = 0;
        // A failing device is not the end of the picture.
        if (source->stream->readFailed()) {
            ERREXIT(info, JERR_FILE_READ);
        }
    }
    if (got == 0) {
        if (source->startOfFile) {
            ERREXIT(info, JERR_INPUT_EMPTY);
        }
        // Premature end: an end-of-image marker lets libjpeg finish what it has.
        WARNMS(info, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        got = 2;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = got;
    source->startOfFile = FALSE;
    return TRUE;
}

void skipInputData(j_decompress_ptr info, long count) {
    jpeg_source_mgr* source = info->src;
    if (count <= 0) {
        return;
    }
    while (count > static_cast<long>(source->bytes_in_buffer)) {
        count -= static_cast<long>(source->bytes_in_buffer);
        fillInputBuffer(info);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<size_t>(count);
}

void termSource(j_decompress_ptr) {}

void installSource(j_decompress_ptr info, io::IInputStream* stream) {
    StreamSource* source = static_cast<StreamSource*>(
        (*info->mem->alloc_small)(reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, sizeof(StreamSource)));
    source->buffer = static_cast<JOCTET*>(
        (*info->mem->alloc_small)(reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, BUFFER_BYTES));
    source->stream = stream;
    source->startOfFile = TRUE;
    source->pub.init_source = initSource;
    source->pub.fill_input_buffer = fillInputBuffer;
    source->pub.skip_input_data = skipInputData;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = termSource;
    source->pub.next_input_byte = nullptr;
    source->pub.bytes_in_buffer = 0;
    info->src = &source->pub;
}

// Writes into one of our byte streams, every byte or a library error.
struct StreamDestination {
    jpeg_destination_mgr pub;
    io::IOutputStream* stream;
    JOCTET* buffer;
};

void initDestination(j_compress_ptr info) {
    StreamDestination* destination = reinterpret_cast<StreamDestination*>(info->dest);
    destination->buffer = static_cast<JOCTET*>(
        (*info->mem->alloc_small)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE, BUFFER_BYTES));
    destination->pub.next_output_byte = destination->buffer;
    destination->pub.free_in_buffer = BUFFER_BYTES;
}

boolean emptyOutputBuffer(j_compress_ptr info) {
    StreamDestination* destination = reinterpret_cast<StreamDestination*>(info->dest);
    if (!io::transferAll(destination->stream, destination->buffer, BUFFER_BYTES)) {
        ERREXIT(info, JERR_FILE_WRITE);
    }
    destination->pub.next_output_byte = destination->buffer;
    destination->pub.free_in_buffer = BUFFER_BYTES;
    return TRUE;
}

void termDestination(j_compress_ptr info) {
    StreamDestination* destination = reinterpret_cast<StreamDestination*>(info->dest);
    const size_t used = BUFFER_BYTES - destination->pub.free_in_buffer;
    if (used != 0 && !io::transferAll(destination->stream, destination->buffer, static_cast<uint32_t>(used))) {
        ERREXIT(info, JERR_FILE_WRITE);
    }
}

void installDestination(j_compress_ptr info, io::IOutputStream* stream) {
    StreamDestination* destination = static_cast<StreamDestination*>(
        (*info->mem->alloc_small)(reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, sizeof(StreamDestination)));
    destination->stream = stream;
    destination->buffer = nullptr;
    destination->pub.init_destination = initDestination;
    destination->pub.empty_output_buffer = emptyOutputBuffer;
    destination->pub.term_destination = termDestination;
    info->dest = &destination->pub;
}

// One decoded row of output samples into blue, green, red.
void convertRow(const JSAMPLE* samples, uint8_t* out, JDIMENSION width, int components) {
    if (components == 4) {
        // CMYK as libjpeg gives it (Adobe's inverted form): k = 255 keeps the colour.
        for (JDIMENSION x = 0; x < width; ++x, samples += 4, out += 3) {
            const uint32_t k = samples[3];
            out[0] = static_cast<uint8_t>(samples[2] * k / 255);
            out[1] = static_cast<uint8_t>(samples[1] * k / 255);
            out[2] = static_cast<uint8_t>(samples[0] * k / 255);
        }
    } else if (components == 1) {
        for (JDIMENSION x = 0; x < width; ++x, ++samples, out += 3) {
            out[0] = out[1] = out[2] = samples[0];
        }
    } else {
        for (JDIMENSION x = 0; x < width; ++x, samples += 3, out += 3) {
            out[0] = samples[2];
            out[1] = samples[1];
            out[2] = samples[0];
        }
    }
}

// The output form for a file's colour space and the components it then gives;
// false for colour spaces this codec does not turn into a picture.
bool outputFor(J_COLOR_SPACE space, int components, J_COLOR_SPACE* out, int* outComponents) {
    switch (space) {
    case JCS_GRAYSCALE:
        *out = JCS_GRAYSCALE;
        *outComponents = 1;
        return components == 1;
    case JCS_YCbCr:
    case JCS_RGB:
        *out = JCS_RGB;
        *outComponents = 3;
        return components == 3;
    case JCS_CMYK:
    case JCS_YCCK:
        *out = JCS_CMYK;
        *outComponents = 4;
        return components == 4;
    default:
        return false;
    }
}

} // namespace

Jpeg::Jpeg() : quality_(INITIAL_QUALITY) {}

Jpeg::~Jpeg() = default;

void Jpeg::reset() {
    resetBitmap();
    quality_ = INITIAL_QUALITY;
}

bool Jpeg::setQuality(int32_t quality) {
    if (quality < 0 || quality > 100) {
        return false;
    }
    quality_ = quality;
    return true;
}

// The setjmp lives here, beside the library object; nothing with a destructor does.
bool Jpeg::decode(io::IInputStream* stream) {
    if (bitmap_ == nullptr) {
        return false;
    }
    bitmap_->reset();
    if (stream == nullptr) {
        return false;
    }
    jpeg_decompress_struct info;
    ErrorManager error;
    ScanWork progress;
    std::memset(&info, 0, sizeof(info));
    std::memset(&progress, 0, sizeof(progress));
    installErrors(reinterpret_cast<jpeg_common_struct*>(&info), &error);
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_decompress(&info);
        bitmap_->reset();
        return false;
    }
    jpeg_create_decompress(&info);
    progress.pub.progress_monitor = onProgress;
    info.progress = &progress.pub;
    installSource(&info, stream);
    jpeg_read_header(&info, TRUE);
    J_COLOR_SPACE out = JCS_UNKNOWN;
    int components = 0;
    // The size is checked before libjpeg allocates anything for the whole picture.
    if (!isDecodableSize(info.image_width, info.image_height) ||
        !outputFor(info.jpeg_color_space, info.num_components, &out, &components)) {
        ERREXIT(&info, JERR_BAD_IN_COLORSPACE);
    }
    info.out_color_space = out;
    jpeg_start_decompress(&info);
    if (info.output_components != components || !setSize(info.output_width, info.output_height)) {
        ERREXIT(&info, JERR_OUT_OF_MEMORY);
    }
    JSAMPARRAY samples = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                   static_cast<JDIMENSION>(std::max(components, 3)) * info.output_width,
                                                   1);
    while (info.output_scanline < info.output_height) {
        const JDIMENSION y = info.output_scanline;
        if (jpeg_read_scanlines(&info, samples, 1) != 1) {
            ERREXIT(&info, JERR_FILE_READ);
        }
        convertRow(samples[0], bitmap_->row(static_cast<int32_t>(y)), info.output_width, components);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// Rows go to libjpeg in their own blue-green-red order, so the picture is only read.
bool Jpeg::encode(io::IOutputStream* stream) {
    if (stream == nullptr || bitmap_ == nullptr || bitmap_->handle() == nullptr || bitmap_->bitCount() != 24) {
        return false;
    }
    jpeg_compress_struct info;
    ErrorManager error;
    std::memset(&info, 0, sizeof(info));
    installErrors(reinterpret_cast<jpeg_common_struct*>(&info), &error);
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    installDestination(&info, stream);
    info.image_width = static_cast<JDIMENSION>(bitmap_->width());
    info.image_height = static_cast<JDIMENSION>(bitmap_->height());
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality_, TRUE);
    jpeg_start_compress(&info, TRUE);
    GdiFlush();
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = bitmap_->row(static_cast<int32_t>(info.next_scanline));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

bool Jpeg::setFromImage(BufferedImage* image, int32_t quality, uint8_t red, uint8_t green, uint8_t blue) {
    if (bitmap_ == nullptr) {
        return false;
    }
    if (image == nullptr || quality < 0 || quality > 100 || !setSize(image->width(), image->height())) {
        reset();
        return false;
    }
    const int32_t w = image->width();
    const int32_t h = image->height();
    const BufferedImage* source = image;
    BufferedImage* composite = nullptr;
    if (image->hasAlpha()) {
        composite = image->overBackground(red, green, blue);
        if (composite == nullptr) {
            reset();
            return false;
        }
        source = composite;
    }
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* from = source->row(y);
        uint8_t* to = bitmap_->row(y);
        for (int32_t x = 0; x < w; ++x, from += 4, to += 3) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
    if (composite != nullptr) {
        composite->release();
    }
    return setQuality(quality);
}

Jpeg* Jpeg::createFromImage(BufferedImage* image, int32_t quality, uint8_t red, uint8_t green, uint8_t blue) {
    return thread::pooledFrom<Jpeg>([&](Jpeg* jpeg) { return jpeg->setFromImage(image, quality, red, green, blue); });
}

IEncodedImage* Jpeg::createFromImage(BufferedImage* image) const {
    EncodeSetting* setting = EncodeSetting::pool();
    if (setting == nullptr) {
        return nullptr;
    }
    setting->setQuality(INITIAL_QUALITY);
    IEncodedImage* made = setting->encode(image);
    setting->release();
    return made;
}

Jpeg* Jpeg::fromResource(archive::dll::win::Archive* archive, const wchar_t* typeName, uint32_t id) {
    Jpeg* jpeg = pool();
    if (jpeg != nullptr) {
        jpeg->loadResource(archive, typeName, id);
    }
    return jpeg;
}

} // namespace s::image::jpg::win
