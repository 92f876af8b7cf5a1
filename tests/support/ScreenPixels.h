// What the screen shows: a BitBlt of the screen DC, and the measures the tests judge it by
// (text ink in a rectangle, unpainted black blocks, text cut to "...").
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "DibCanvas.h"

namespace testsupport {

class ScreenShot {
public:
    // The pixels of a screen rectangle as they are now.
    explicit ScreenShot(const RECT& area) : area_(area) {
        const int w = width(), h = height();
        if (w <= 0 || h <= 0) {
            return;
        }
        DibCanvas canvas(w, h);
        if (!canvas.ok()) return;
        HDC screen = GetDC(nullptr);
        BitBlt(canvas.dc(), 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
        GdiFlush();
        pixels_.assign(canvas.pixels(), canvas.pixels() + static_cast<size_t>(w) * h);
        for (uint32_t& pixel : pixels_) pixel &= 0xFFFFFF;
    }
    // The whole screen.
    static ScreenShot screen() {
        return ScreenShot(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    }

    int width() const { return area_.right - area_.left; }
    int height() const { return area_.bottom - area_.top; }
    const RECT& area() const { return area_; }
    // Row by row from the top left, as 0x00RRGGBB.
    const std::vector<uint32_t>& pixels() const { return pixels_; }
    // 0x00RRGGBB at a screen point (0 outside).
    uint32_t at(int x, int y) const {
        if (x < area_.left || y < area_.top || x >= area_.right || y >= area_.bottom) return 0;
        return pixels_[static_cast<size_t>(y - area_.top) * width() + (x - area_.left)];
    }
    static int grey(uint32_t p) { return (((p >> 16) & 255) * 299 + ((p >> 8) & 255) * 587 + (p & 255) * 114) / 1000; }
    // Text ink: darker than 45 % grey.
    static bool dark(uint32_t p) { return grey(p) < 115; }

    // Pixels of r (screen coordinates, clipped to the shot) that pred takes.
    template <class Pred>
    int count(const RECT& r, Pred pred) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (inside(x, y) && pred(at(x, y))) ++n;
        return n;
    }
    int darkCount(const RECT& r) const { return count(r, dark); }
    // Pixels within tolerance of one colour (grey hint texts sit above the ink threshold).
    int colourCount(const RECT& r, int red, int green, int blue, int tolerance = 24) const {
        return count(r, [=](uint32_t p) {
            return std::abs(static_cast<int>((p >> 16) & 255) - red) <= tolerance &&
                   std::abs(static_cast<int>((p >> 8) & 255) - green) <= tolerance &&
                   std::abs(static_cast<int>(p & 255) - blue) <= tolerance;
        });
    }

    // r's commonest colour (the lowest of equals): its background.
    uint32_t commonColour(const RECT& r) const {
        std::map<uint32_t, int> colours;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (inside(x, y)) ++colours[at(x, y) & 0xFFFFFF];
        uint32_t background = 0;
        int most = 0;
        for (const auto& [colour, n] : colours) {
            if (n > most) most = n, background = colour;
        }
        return background;
    }
    int backgroundGrey(const RECT& r) const { return grey(commonColour(r)); }
    // Pixels of r whose grey differs from the background's by more than difference: text
    // in any colour on any background (a chosen entry is white on blue).
    int contrastCount(const RECT& r, int difference) const {
        const int base = backgroundGrey(r);
        return count(r, [&](uint32_t p) { return std::abs(grey(p) - base) > difference; });
    }
    // Runs of columns of r holding such pixels, joined across gaps of at most gap columns:
    // the entries of a menu bar, a highlighted one too.
    std::vector<std::pair<int, int>> contrastColumns(const RECT& r, int gap, int difference) const {
        const int base = backgroundGrey(r);
        std::vector<bool> ink;
        for (int x = r.left; x < r.right; ++x) {
            ink.push_back(count(RECT{x, r.top, x + 1, r.bottom}, [&](uint32_t p) { return std::abs(grey(p) - base) > difference; }) > 0);
        }
        return runs(ink, r.left, gap);
    }

    // A square of side pure black pixels inside r: paint that never came. Its top left in
    // *where when found.
    bool blackBlock(const RECT& r, int side, POINT* where = nullptr) const {
        const int w = r.right - r.left, h = r.bottom - r.top;
        if (w < side || h < side) return false;
        // Runs of black downwards per column, then runs of tall-enough columns along a row.
        std::vector<int> down(static_cast<size_t>(w), 0);
        for (int y = r.top; y < r.bottom; ++y) {
            int across = 0;
            for (int x = r.left; x < r.right; ++x) {
                int& d = down[static_cast<size_t>(x - r.left)];
                d = inside(x, y) && (at(x, y) & 0xFFFFFF) == 0 ? d + 1 : 0;
                across = d >= side ? across + 1 : 0;
                if (across >= side) {
                    if (where != nullptr) *where = POINT{x - side + 1, y - side + 1};
                    return true;
                }
            }
        }
        return false;
    }

    // Runs of columns (x from, x to exclusive) of r holding ink, joined across gaps of at
    // most gap columns: the words of a line of text, the entries of a menu bar.
    std::vector<std::pair<int, int>> inkColumns(const RECT& r, int gap) const {
        std::vector<bool> ink;
        for (int x = r.left; x < r.right; ++x) ink.push_back(darkCount(RECT{x, r.top, x + 1, r.bottom}) > 0);
        return runs(ink, r.left, gap);
    }
    // Runs of rows of r holding ink: the lines of a list or a menu.
    std::vector<std::pair<int, int>> inkRows(const RECT& r, int gap) const {
        std::vector<bool> ink;
        for (int y = r.top; y < r.bottom; ++y) ink.push_back(darkCount(RECT{r.left, y, r.right, y + 1}) > 0);
        return runs(ink, r.top, gap);
    }
    // The same with text on a coloured band too, pixels that stand out from the band: a
    // highlighted menu line (white on blue). Grey bands (separators) hold none.
    std::vector<std::pair<int, int>> textRows(const RECT& r, int gap) const {
        std::vector<bool> ink;
        for (int y = r.top; y < r.bottom; ++y) {
            const RECT row{r.left, y, r.right, y + 1};
            const uint32_t band = commonColour(row);
            const int red = (band >> 16) & 255, green = (band >> 8) & 255, blue = band & 255;
            const bool coloured = std::max({red, green, blue}) - std::min({red, green, blue}) > 60;
            ink.push_back(darkCount(row) > 0 ||
                          (coloured && count(row, [&](uint32_t p) { return std::abs(grey(p) - grey(band)) > 80; }) > 0));
        }
        return runs(ink, r.top, gap);
    }

    // Whether the text in r ends in "...": its last three ink marks are dots, each at most
    // dot pixels wide and high, on one baseline.
    bool endsWithEllipsis(const RECT& r, int dot) const {
        const std::vector<std::pair<int, int>> marks = inkColumns(r, 0);
        if (marks.size() < 4) return false;
        int bottom = -1;
        for (size_t i = marks.size() - 3; i < marks.size(); ++i) {
            const RECT column{marks[i].first, r.top, marks[i].second, r.bottom};
            const std::vector<std::pair<int, int>> rows = inkRows(column, 0);
            if (marks[i].second - marks[i].first > dot || rows.size() != 1 || rows[0].second - rows[0].first > dot) return false;
            if (bottom >= 0 && std::abs(rows[0].second - bottom) > 1) return false;
            bottom = rows[0].second;
        }
        return true;
    }

    // A 24-bit BMP of the shot, for a look after a failure.
    bool saveBmp(const std::wstring& path) const {
        const int w = width(), h = height();
        const int stride = (w * 3 + 3) & ~3;
        BITMAPFILEHEADER file{};
        BITMAPINFOHEADER info{};
        info.biSize = sizeof(info);
        info.biWidth = w;
        info.biHeight = -h;
        info.biPlanes = 1;
        info.biBitCount = 24;
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(file) + sizeof(info);
        file.bfSize = file.bfOffBits + static_cast<DWORD>(stride) * h;
        std::ofstream out(path.c_str(), std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof(file));
        out.write(reinterpret_cast<const char*>(&info), sizeof(info));
        std::vector<char> row(static_cast<size_t>(stride), 0);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const uint32_t p = pixels_[static_cast<size_t>(y) * w + x];
                row[x * 3] = static_cast<char>(p & 255);
                row[x * 3 + 1] = static_cast<char>((p >> 8) & 255);
                row[x * 3 + 2] = static_cast<char>((p >> 16) & 255);
            }
            out.write(row.data(), stride);
        }
        return static_cast<bool>(out);
    }

private:
    bool inside(int x, int y) const { return x >= area_.left && y >= area_.top && x < area_.right && y < area_.bottom; }
    static std::vector<std::pair<int, int>> runs(const std::vector<bool>& on, int origin, int gap) {
        std::vector<std::pair<int, int>> out;
        for (int i = 0; i < static_cast<int>(on.size()); ++i) {
            if (!on[static_cast<size_t>(i)]) continue;
            if (!out.empty() && i + origin - out.back().second <= gap) {
                out.back().second = i + origin + 1;
            } else {
                out.emplace_back(i + origin, i + origin + 1);
            }
        }
        return out;
    }

    RECT area_;
    std::vector<uint32_t> pixels_;
};

// Ink of a caption or a stroke in r: pixels that stand out from the background, whatever
// the colours.
inline int inkIn(const ScreenShot& shot, const RECT& r) { return shot.contrastCount(r, 80); }

} // namespace testsupport
