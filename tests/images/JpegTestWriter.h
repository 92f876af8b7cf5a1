// Progressive JPEGs of many scans, written by libjpeg itself: the tests' and the image
// benchmark's hostile files.
#pragma once
#include <windows.h>
#include <stdio.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace jpegtest {

// libjpeg compressing into memory: the caller sets the picture up through info and
// writes its rows, then takes the file.
class MemoryJpeg {
public:
    MemoryJpeg() {
        info.err = jpeg_std_error(&error_);
        jpeg_create_compress(&info);
        jpeg_mem_dest(&info, &buffer_, &size_);
    }
    ~MemoryJpeg() {
        jpeg_destroy_compress(&info);
        free(buffer_);
    }
    MemoryJpeg(const MemoryJpeg&) = delete;
    MemoryJpeg& operator=(const MemoryJpeg&) = delete;

    std::vector<uint8_t> finish() {
        jpeg_finish_compress(&info);
        return std::vector<uint8_t>(buffer_, buffer_ + size_);
    }

    jpeg_compress_struct info;

private:
    jpeg_error_mgr error_;
    unsigned char* buffer_ = nullptr;
    unsigned long size_ = 0;
};

// A flat progressive picture, grey or (components 3) YCbCr 4:4:4, whose last scan is
// repeated until the file holds scans scans (libjpeg decodes the repeats, warning of them).
inline std::vector<uint8_t> manyScanJpeg(int width, int height, int scans, int components = 1) {
    MemoryJpeg jpeg;
    jpeg_compress_struct& info = jpeg.info;
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_simple_progression(&info);
    const int written = info.num_scans;
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(width) * components, 128);
    JSAMPROW pointer = row.data();
    while (info.next_scanline < info.image_height) {
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    std::vector<uint8_t> file = jpeg.finish();
    size_t last = file.size() - 2;
    while (last > 0 && !(file[last] == 0xFF && file[last + 1] == 0xDA)) {
        --last;
    }
    const std::vector<uint8_t> scan(file.begin() + static_cast<long>(last), file.end() - 2);
    for (int i = written; i < scans; ++i) {
        file.insert(file.end() - 2, scan.begin(), scan.end());
    }
    return file;
}

} // namespace jpegtest
