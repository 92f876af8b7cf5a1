// Proves the cross-built libjpeg-turbo and libpng: a picture survives an encode/decode round
// trip in memory, and a broken stream fails through our error handlers instead of exit().
#include <windows.h>
#include <stdio.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace {

constexpr int kWidth = 64, kHeight = 48;

std::vector<uint8_t> gradient(int channels) {
    std::vector<uint8_t> px(size_t(kWidth) * kHeight * channels);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint8_t* p = &px[(size_t(y) * kWidth + x) * channels];
            p[0] = uint8_t(x * 4);
            p[1] = uint8_t(y * 5);
            p[2] = uint8_t(128);
            if (channels == 4) p[3] = uint8_t(255 - x);
        }
    return px;
}

struct JpegError {
    jpeg_error_mgr mgr;
    jmp_buf jump;
};

void jpegErrorExit(j_common_ptr info) { longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }
void jpegSilent(j_common_ptr) {}

bool jpegEncode(const std::vector<uint8_t>& rgb, std::vector<uint8_t>& out) {
    jpeg_compress_struct c{};
    JpegError err{};
    c.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = jpegErrorExit;
    err.mgr.output_message = jpegSilent;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&c);
        free(buffer);
        return false;
    }
    jpeg_create_compress(&c);
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = kWidth;
    c.image_height = kHeight;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(&rgb[size_t(c.next_scanline) * kWidth * 3]);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    out.assign(buffer, buffer + size);
    free(buffer);
    return true;
}

bool jpegDecode(const std::vector<uint8_t>& data, std::vector<uint8_t>& rgb, int& w, int& h) {
    jpeg_decompress_struct d{};
    JpegError err{};
    d.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = jpegErrorExit;
    err.mgr.output_message = jpegSilent;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&d);
        return false;
    }
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d);
    w = int(d.output_width);
    h = int(d.output_height);
    rgb.assign(size_t(w) * h * 3, 0);
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = &rgb[size_t(d.output_scanline) * w * 3];
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return true;
}

TEST(Libjpeg, RoundTripKeepsThePicture) {
    EXPECT_EQ(JPEG_LIB_VERSION, 62);
    const auto rgb = gradient(3);
    std::vector<uint8_t> encoded, decoded;
    ASSERT_TRUE(jpegEncode(rgb, encoded));
    ASSERT_GT(encoded.size(), 100u);
    EXPECT_EQ(encoded[0], 0xFF);
    EXPECT_EQ(encoded[1], 0xD8);
    int w = 0, h = 0;
    ASSERT_TRUE(jpegDecode(encoded, decoded, w, h));
    ASSERT_EQ(w, kWidth);
    ASSERT_EQ(h, kHeight);
    int worst = 0;
    for (size_t i = 0; i < rgb.size(); ++i) worst = std::max(worst, std::abs(int(rgb[i]) - int(decoded[i])));
    EXPECT_LE(worst, 16);  // lossy, but a smooth gradient at quality 95 stays close
}

TEST(Libjpeg, TruncatedStreamFailsCleanly) {
    std::vector<uint8_t> encoded, decoded;
    ASSERT_TRUE(jpegEncode(gradient(3), encoded));
    encoded.resize(40);
    int w = 0, h = 0;
    EXPECT_FALSE(jpegDecode(encoded, decoded, w, h));
}

struct PngBuffer {
    std::vector<uint8_t> data;
    size_t readAt = 0;
};

void pngWrite(png_structp png, png_bytep bytes, png_size_t n) {
    auto* b = static_cast<PngBuffer*>(png_get_io_ptr(png));
    b->data.insert(b->data.end(), bytes, bytes + n);
}
void pngFlush(png_structp) {}
void pngRead(png_structp png, png_bytep bytes, png_size_t n) {
    auto* b = static_cast<PngBuffer*>(png_get_io_ptr(png));
    if (b->readAt + n > b->data.size()) png_error(png, "short read");
    memcpy(bytes, b->data.data() + b->readAt, n);
    b->readAt += n;
}
void pngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void pngWarning(png_structp, png_const_charp) {}

bool pngEncode(const std::vector<uint8_t>& rgba, PngBuffer& out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(kHeight);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_set_write_fn(png, &out, pngWrite, pngFlush);
    png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    for (int y = 0; y < kHeight; ++y) rows[y] = const_cast<uint8_t*>(&rgba[size_t(y) * kWidth * 4]);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool pngDecode(PngBuffer& in, std::vector<uint8_t>& rgba, png_uint_32& w, png_uint_32& h) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        return false;
    }
    png_set_user_limits(png, 16384, 16384);
    png_set_read_fn(png, &in, pngRead);
    png_read_info(png, info);
    w = png_get_image_width(png, info);
    h = png_get_image_height(png, info);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    rgba.assign(size_t(w) * h * 4, 0);
    rows.resize(h);
    for (png_uint_32 y = 0; y < h; ++y) rows[y] = &rgba[size_t(y) * w * 4];
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

TEST(Libpng, RoundTripIsExact) {
    const auto rgba = gradient(4);
    PngBuffer buffer;
    ASSERT_TRUE(pngEncode(rgba, buffer));
    ASSERT_GT(buffer.data.size(), 8u);
    EXPECT_EQ(png_sig_cmp(buffer.data.data(), 0, 8), 0);
    std::vector<uint8_t> decoded;
    png_uint_32 w = 0, h = 0;
    ASSERT_TRUE(pngDecode(buffer, decoded, w, h));
    EXPECT_EQ(w, png_uint_32(kWidth));
    EXPECT_EQ(h, png_uint_32(kHeight));
    EXPECT_EQ(decoded, rgba);
}

TEST(Libpng, TruncatedStreamFailsCleanly) {
    PngBuffer buffer;
    ASSERT_TRUE(pngEncode(gradient(4), buffer));
    buffer.data.resize(buffer.data.size() / 2);
    std::vector<uint8_t> decoded;
    png_uint_32 w = 0, h = 0;
    EXPECT_FALSE(pngDecode(buffer, decoded, w, h));
}

}  // namespace
