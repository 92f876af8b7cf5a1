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

// A flat progressive picture, grey or (components 3) YCbCr 4:4:4, whose last scan is
// repeated until the file holds scans scans (libjpeg decodes the repeats, warning of them).
inline std::vector<uint8_t> manyScanJpeg(int width, int height, int scans, int components = 1) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
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
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> file(buffer, buffer + size);
    free(buffer);
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
