// Hand-built icon images and the reference drawing of user32, shared by the icon image
// and the icon archive tests.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "images/image/win/BufferedImage.h"
#include "support/DibCanvas.h"

namespace icontest {

using Bytes = std::vector<uint8_t>;

template <class T>
void append(Bytes& out, T value) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&value);
    out.insert(out.end(), p, p + sizeof(T));
}

// The image data of one icon at 1, 4, 8, 24 or 32 bits: a pattern in every channel,
// a mask with transparent pixels in a diagonal band (their colour black, so that
// nothing is inverted), and at 32 bits an alpha ramp, or alpha bytes all 0.
inline Bytes dibIcon(int32_t width, int32_t height, int32_t bitCount, bool alphaZero = false) {
    Bytes out;
    const uint32_t colours = bitCount <= 8 ? 1u << bitCount : 0;
    BITMAPINFOHEADER h = {};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height * 2;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bitCount);
    h.biClrUsed = colours;
    append(out, h);
    for (uint32_t i = 0; i < colours; ++i) {
        // Transparent pixels take colour 0: black, so that nothing is inverted.
        const RGBQUAD colour = {static_cast<BYTE>(i * 37), static_cast<BYTE>(255 - i * 11), static_cast<BYTE>(i * 91), 0};
        append(out, i == 0 ? RGBQUAD{0, 0, 0, 0} : colour);
    }
    const auto transparent = [&](int32_t x, int32_t y) { return (x + y) % 5 == 0; };
    const int32_t stride = ((width * bitCount + 31) >> 3) & ~3;
    const int32_t maskStride = ((width + 31) >> 3) & ~3;
    for (int32_t row = height - 1; row >= 0; --row) {
        Bytes line(stride, 0);
        for (int32_t x = 0; x < width; ++x) {
            const bool clear = transparent(x, row) && !(bitCount == 32 && !alphaZero);
            const uint32_t value = clear ? 0 : static_cast<uint32_t>(x * 7 + row * 13 + 1);
            switch (bitCount) {
            case 1: line[x / 8] |= static_cast<uint8_t>((value & 1) << (7 - x % 8)); break;
            case 4: line[x / 2] |= static_cast<uint8_t>((value & 15) << (x % 2 == 0 ? 4 : 0)); break;
            case 8: line[x] = static_cast<uint8_t>(value); break;
            case 24:
                line[x * 3] = static_cast<uint8_t>(value * 3);
                line[x * 3 + 1] = static_cast<uint8_t>(value * 5);
                line[x * 3 + 2] = static_cast<uint8_t>(value * 9);
                break;
            default:
                line[x * 4] = static_cast<uint8_t>(value * 3);
                line[x * 4 + 1] = static_cast<uint8_t>(value * 5);
                line[x * 4 + 2] = static_cast<uint8_t>(value * 9);
                line[x * 4 + 3] = alphaZero ? 0 : static_cast<uint8_t>((x * 255) / (width - 1));
                break;
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    for (int32_t row = height - 1; row >= 0; --row) {
        Bytes line(maskStride, 0);
        for (int32_t x = 0; x < width; ++x) {
            if (transparent(x, row)) {
                line[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

// What user32 draws of an icon's image data over black and over white, top row
// first as 0x00RRGGBB; false when user32 makes no icon of it.
struct Drawn {
    std::vector<uint32_t> onBlack;
    std::vector<uint32_t> onWhite;
};

inline bool drawOver(HICON icon, int32_t width, int32_t height, uint32_t background, std::vector<uint32_t>& out) {
    testsupport::DibCanvas canvas(width, height);
    if (!canvas.ok()) {
        return false;
    }
    uint32_t* pixels = canvas.pixels();
    std::fill(pixels, pixels + width * height, background);
    const bool drawn = DrawIconEx(canvas.dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL) != FALSE;
    GdiFlush();
    out.assign(pixels, pixels + width * height);
    for (uint32_t& p : out) {
        p &= 0xFFFFFF;
    }
    return drawn;
}

inline bool drawWithUser32(const uint8_t* data, size_t size, int32_t width, int32_t height, Drawn& drawn) {
    HICON icon = CreateIconFromResourceEx(const_cast<PBYTE>(data), static_cast<DWORD>(size), TRUE, 0x30000, width,
                                          height, LR_DEFAULTCOLOR);
    if (icon == nullptr) {
        return false;
    }
    const bool done = drawOver(icon, width, height, 0x000000, drawn.onBlack) &&
                      drawOver(icon, width, height, 0xFFFFFF, drawn.onWhite);
    DestroyIcon(icon);
    return done;
}

// The pixels where the picture, blended over black and over white, differs from
// user32's drawing by more than tolerance in a channel.
inline int32_t mismatches(const s::image::win::BufferedImage* image, const Drawn& drawn, int32_t tolerance = 3) {
    const int32_t w = image->width();
    int32_t bad = 0;
    for (int32_t y = 0; y < image->height(); ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t p = image->pixel(x, y);
            const int32_t alpha = image->hasAlpha() ? static_cast<int32_t>(p >> 24) : 255;
            for (int32_t shift = 0; shift < 24; shift += 8) {
                const int32_t c = static_cast<int32_t>((p >> shift) & 255);
                const int32_t overBlack = c * alpha / 255;
                const int32_t overWhite = (c * alpha + 255 * (255 - alpha)) / 255;
                const int32_t black = static_cast<int32_t>((drawn.onBlack[y * w + x] >> shift) & 255);
                const int32_t white = static_cast<int32_t>((drawn.onWhite[y * w + x] >> shift) & 255);
                if (std::abs(overBlack - black) > tolerance || std::abs(overWhite - white) > tolerance) {
                    if (bad == 0) {
                        std::printf("first mismatch at %d,%d: %08x, drawn %06x over black, %06x over white\n", x, y,
                                    p, drawn.onBlack[y * w + x], drawn.onWhite[y * w + x]);
                    }
                    ++bad;
                    break;
                }
            }
        }
    }
    return bad;
}

} // namespace icontest
