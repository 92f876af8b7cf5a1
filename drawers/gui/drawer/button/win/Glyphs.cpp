#include "drawers/gui/drawer/button/win/Glyphs.h"

#include <cwchar>
#include <cwctype>

#include "drawers/gui/drawer/Paint.h"

namespace s::gui::drawer::button::win {

namespace {

// Paints rectangles given in glyph coordinates: optionally transposed (x and y swap),
// offset, mirrored within the box, and clipped to the box.
struct Pen {
    HDC dc;
    int32_t x0, y0, bw, bh;
    COLORREF colour;
    int32_t s;
    bool mirrorX = false;
    bool mirrorY = false;
    bool transpose = false;
    int32_t ox = 0;
    int32_t oy = 0;

    // The box as the glyph sees it (transposed glyphs see it turned).
    int32_t width() const { return transpose ? bh : bw; }
    int32_t height() const { return transpose ? bw : bh; }
    // Side of the centred square, even; and where it starts.
    int32_t side() const {
        const int32_t n = bw < bh ? bw : bh;
        return n & ~1;
    }
    void atSquare() {
        ox = (width() - side()) / 2;
        oy = (height() - side()) / 2;
    }

    void rect(int32_t x, int32_t y, int32_t w, int32_t h) const {
        x += ox;
        y += oy;
        if (transpose) {
            int32_t t = x;
            x = y;
            y = t;
            t = w;
            w = h;
            h = t;
        }
        if (mirrorX) {
            x = bw - x - w;
        }
        if (mirrorY) {
            y = bh - y - h;
        }
        int32_t r = x + w;
        int32_t b = y + h;
        x = x < 0 ? 0 : x;
        y = y < 0 ? 0 : y;
        r = r > bw ? bw : r;
        b = b > bh ? bh : b;
        Paint::fillRect(dc, x0 + x, y0 + y, x0 + r, y0 + b, colour);
    }
    void outline(int32_t x, int32_t y, int32_t w, int32_t h, int32_t topThickness) const {
        rect(x, y, w, topThickness);
        rect(x, y, 1, h);
        rect(x + w - 1, y, 1, h);
        rect(x, y + h - 1, w, 1);
    }
};

// A triangle pointing right, of 2-px columns each 1 px shorter at both ends.
void triangle(const Pen& p, int32_t x, int32_t y, int32_t height, int32_t maxWidth) {
    for (int32_t i = 0; 2 * i + 2 <= maxWidth && height - 2 * i > 0; ++i) {
        p.rect(x + 2 * i, y + i, 2, height - 2 * i);
    }
}

// A chevron pointing right of q x q squares, arms of three steps, centred.
void chevron(const Pen& p, int32_t q, int32_t shift) {
    const int32_t arms = 3;
    const int32_t x = (p.width() - (arms + 1) * q) / 2 + shift;
    const int32_t y = (p.height() - (2 * arms + 1) * q) / 2;
    for (int32_t i = 0; i <= arms; ++i) {
        p.rect(x + i * q, y + i * q, q, q);
        p.rect(x + i * q, y + (2 * arms - i) * q, q, q);
    }
    // Scaled up, the steps join into solid strokes, as the single pixels of scale 1 do.
    for (int32_t i = 0; p.s > 1 && i < arms; ++i) {
        for (int32_t j = 1; j < q; ++j) {
            p.rect(x + i * q + j, y + i * q + j, q, q);
            p.rect(x + i * q + j, y + (2 * arms - i) * q - j, q, q);
        }
    }
}

// Squares of 2 pixels times the scale, smaller where the chevron would not fit whole.
int32_t chevronSquare(const Pen& p) {
    const int32_t q = p.s == 1 ? 2 : 4;
    const int32_t fits = p.height() / 7;
    return fits < 1 ? 1 : fits < q ? fits : q;
}

void minimise(Pen& p) {
    p.rect(0, p.bh * 8 / 10 - p.s, p.bw, 2 * p.s);
}
void transform(Pen& p) {
    const int32_t low = p.bh * 8 / 10;
    p.rect(0, 2, p.bw, 2);
    p.rect(2, 0, 2, 6);
    p.rect(0, low, p.bw, 2);
    p.rect(p.bw - 4, low - 2, 2, 6);
}
void dot(Pen& p) {
    p.rect(p.bw - 2 * p.s, p.bh * 8 / 10, 2 * p.s, 2 * p.s);
}
void close(Pen& p) {
    p.atSquare();
    const int32_t n = p.side();
    const int32_t q = 2 * p.s;
    for (int32_t i = 0; i + q <= n; i += p.s) {
        p.rect(i, i, q, q);
        p.rect(n - q - i, i, q, q);
    }
}
void maximise(Pen& p) {
    p.atSquare();
    p.outline(0, 0, p.side(), p.side(), 3);
}
void restore(Pen& p) {
    p.atSquare();
    const int32_t n = p.side();
    const int32_t m = n * 2 / 3;
    p.outline(n - m, 0, m, m, 2);
    p.outline(0, n - m, m, m, 2);
}
void play(Pen& p) {
    p.atSquare();
    triangle(p, 0, 0, p.side(), p.side());
}
void pause(Pen& p) {
    p.atSquare();
    const int32_t n = p.side();
    p.rect(n / 6, 0, n / 4, n);
    p.rect(n - n / 6 - n / 4, 0, n / 4, n);
}
void stop(Pen& p) {
    p.atSquare();
    p.rect(0, 0, p.side(), p.side());
}
void speakerBody(const Pen& p, int32_t u) {
    p.rect(0, 3 * u, 2 * u, 3 * u);
    p.rect(2 * u, 2 * u, u, 5 * u);
    p.rect(3 * u, u, u, 7 * u);
}
// Small form on a 9-unit grid of single pixels, large form on an 18-unit grid.
int32_t speakerUnit(const Pen& p) {
    const int32_t base = p.s == 1 ? 9 : 18;
    const int32_t u = p.side() / 9;
    return base == 9 ? (u < 1 ? 1 : u) : (u < 2 ? 2 : u);
}
void speaker(Pen& p) {
    p.atSquare();
    const int32_t u = speakerUnit(p);
    speakerBody(p, u);
    p.rect(5 * u, 3 * u, u, 3 * u);
    p.rect(6 * u + u / 2, 2 * u, u, 5 * u);
    p.rect(8 * u, u, u, 7 * u);
}
void mute(Pen& p) {
    p.atSquare();
    const int32_t u = speakerUnit(p);
    speakerBody(p, u);
    p.rect(6 * u, u, u, 7 * u);
}
void right(Pen& p) {
    chevron(p, chevronSquare(p), 0);
}
void rightRight(Pen& p) {
    chevron(p, 2, -3);
    chevron(p, 2, 3);
}
void thumbLine(Pen& p) {
    const int32_t x = (p.width() - 4 * p.s) / 2;
    const int32_t y = p.height() / 4;
    p.rect(x, y, p.s, p.height() / 2);
    p.rect(x + 3 * p.s, y, p.s, p.height() / 2);
}
int32_t barThickness(int32_t n) {
    const int32_t t = n / 5;
    return t <= 1 ? 1 : (t & ~1);
}
void minus(Pen& p) {
    p.atSquare();
    const int32_t n = p.side();
    const int32_t t = barThickness(n);
    p.rect(0, (n - t) / 2, n, t);
}
void plus(Pen& p) {
    minus(p);
    const int32_t n = p.side();
    const int32_t t = barThickness(n);
    p.rect((n - t) / 2, 0, t, n);
}
void plusMinus(Pen& p) {
    p.atSquare();
    const int32_t n = p.side();
    const int32_t m = n * 3 / 5;
    const int32_t t = barThickness(m);
    const int32_t x = (n - m) / 2;
    p.rect(x, (m - t) / 2, m, t);
    p.rect(x + (m - t) / 2, 0, t, m);
    p.rect(x, n - t, m, t);
}
void check(Pen& p) {
    p.atSquare();
    const int32_t n = p.side();
    if (n < 4) {
        return;
    }
    const int32_t a = n / 3;
    const int32_t k = 2 * p.s;
    for (int32_t i = 0; i <= a; ++i) {
        p.rect(i, n - k - a + i, k, k);
    }
    for (int32_t j = 0; j <= n - k - a; ++j) {
        p.rect(a + j, n - k - j, k, k);
    }
}
void next(Pen& p) {
    p.atSquare();
    const int32_t n = p.side();
    triangle(p, 0, 0, n, n - 4);
    p.rect(n - 2, 0, 2, n);
}
void resizer(Pen& p) {
    const int32_t q = p.s == 1 ? 2 : p.s;
    for (int32_t row = 0; row < 3; ++row) {
        for (int32_t col = 0; col + row < 3; ++col) {
            p.rect(p.bw - q - col * 2 * q, p.bh - q - row * 2 * q, q, q);
        }
    }
}
void treeClosed(Pen& p) {
    p.atSquare();
    const int32_t n = p.side();
    const int32_t m = (n / 2) & ~1;
    triangle(p, (n - m / 2) / 2, (n - m) / 2, m, m / 2 + 1);
}
void turnRight(Pen& p) {
    p.atSquare();
    const int32_t n = p.side();
    const int32_t a = n / 3;
    // The corner line, and an arrow head of 2 x 2 squares at its right end.
    p.rect(0, a, 2, n - a);
    p.rect(0, a, n - a, 2);
    for (int32_t i = 1; i <= 2 && 2 * i <= a; ++i) {
        p.rect(n - a - 2 - 2 * i, a - 2 * i, 2, 2);
        p.rect(n - a - 2 - 2 * i, a + 2 * i, 2, 2);
    }
}
void onTop(Pen& p) {
    p.atSquare();
    const int32_t n = p.side();
    const int32_t c = n / 2 - 1;
    p.rect(c, 0, 2, n);
    for (int32_t i = 1; i <= 2; ++i) {
        p.rect(c - 2 * i, 2 * i, 2, 2);
        p.rect(c + 2 * i, 2 * i, 2, 2);
    }
}
void fit(Pen& p, bool outwards) {
    p.atSquare();
    const int32_t n = p.side();
    const int32_t a = n / 4;
    p.outline(a, a, n - 2 * a, n - 2 * a, 1);
    for (int32_t corner = 0; corner < 4; ++corner) {
        Pen q = p;
        q.mirrorX = (corner & 1) != 0;
        q.mirrorY = (corner & 2) != 0;
        for (int32_t i = 0; i < a - 1; ++i) {
            q.rect(i, i, 1, 1);
        }
        // The stroke's head: at the outer corner, or next to the frame.
        const int32_t h = outwards ? 0 : a - 3;
        if (h >= 0) {
            q.rect(h, outwards ? 0 : a - 2, 3, 1);
            q.rect(outwards ? 0 : a - 2, h, 1, 3);
        }
    }
}
void fitWindow(Pen& p) {
    fit(p, true);
}
void fitToWindow(Pen& p) {
    fit(p, false);
}
void palm(Pen& p) {
    p.atSquare();
    const int32_t n = p.side();
    const int32_t f = n / 5;
    p.outline(f, n / 2, 3 * f + 1, n - n / 2, 1);
    for (int32_t k = 0; k < 4; ++k) {
        p.rect(f + k * f, n / 10 + (k == 0 || k == 3 ? n / 10 : 0), 1, n / 2);
    }
    for (int32_t i = 0; i < f; ++i) {
        p.rect(f - i, n / 2 + i / 2, 1, 1);
    }
}
void keepRatio(Pen& p) {
    p.atSquare();
    const int32_t n = p.side();
    for (int32_t side = 0; side < 2; ++side) {
        Pen q = p;
        q.mirrorX = side == 1;
        const int32_t inset = n / 8;
        for (int32_t pair = 0; pair < 2; ++pair) {
            const int32_t x = pair * (n / 6);
            const int32_t y = inset + pair * (n / 8);
            const int32_t h = n - 2 * y;
            q.rect(x, y, 1, h);
            q.rect(x, y, 3, 1);
            q.rect(x, y + h - 1, 3, 1);
        }
        q.rect(n / 3, n / 2 - 1, 2, 2);
    }
}

struct Glyph {
    const wchar_t* name;
    void (*paint)(Pen& p);
    bool mirrorX, mirrorY, transpose;
};

const Glyph GLYPHS[] = {
    {L"#_", &minimise, false, false, false},
    {L"#Transform", &transform, false, false, false},
    {L"#.", &dot, false, false, false},
    {L"#X", &close, false, false, false},
    {L"#\x25A1", &maximise, false, false, false},
    {L"#\x2199", &restore, false, false, false},
    {L"#Play", &play, false, false, false},
    {L"#Pause", &pause, false, false, false},
    {L"#Stop", &stop, false, false, false},
    {L"#Speaker", &speaker, false, false, false},
    {L"#Mute", &mute, false, false, false},
    {L"#Right", &right, false, false, false},
    {L"#Left", &right, true, false, false},
    {L"#RightRight", &rightRight, false, false, false},
    {L"#LeftLeft", &rightRight, true, false, false},
    {L"#Down", &right, false, false, true},
    {L"#Up", &right, false, true, true},
    {L"#ThumbLineV", &thumbLine, false, false, false},
    {L"#ThumbLineH", &thumbLine, false, false, true},
    {L"#Minus", &minus, false, false, false},
    {L"#Plus", &plus, false, false, false},
    {L"#PlusMinus", &plusMinus, false, false, false},
    {L"#Check", &check, false, false, false},
    {L"#Next", &next, false, false, false},
    {L"#Prev", &next, true, false, false},
    {L"#Resizer", &resizer, false, false, false},
    {L"#TreeClosed", &treeClosed, false, false, false},
    {L"#TreeOpen", &treeClosed, false, false, true},
    {L"#TurnRight", &turnRight, false, false, false},
    {L"#TurnLeft", &turnRight, true, false, false},
    {L"#OnTop", &onTop, false, false, false},
    {L"#FitWindow", &fitWindow, false, false, false},
    {L"#FitToWindow", &fitToWindow, false, false, false},
    {L"#Palm", &palm, false, false, false},
    {L"#KeepRatio", &keepRatio, false, false, false},
};

const wchar_t COLOUR_PREFIX[] = L"#Color-";

} // namespace

const wchar_t* const* Glyphs::names() {
    static const wchar_t* list[sizeof(GLYPHS) / sizeof(GLYPHS[0]) + 1] = {};
    if (list[0] == nullptr) {
        for (size_t i = 0; i < sizeof(GLYPHS) / sizeof(GLYPHS[0]); ++i) {
            list[i] = GLYPHS[i].name;
        }
    }
    return list;
}

bool Glyphs::parseColour(const wchar_t* name, COLORREF* colour) {
    const size_t prefix = sizeof(COLOUR_PREFIX) / sizeof(wchar_t) - 1;
    if (name == nullptr || std::wcsncmp(name, COLOUR_PREFIX, prefix) != 0) {
        return false;
    }
    const wchar_t* digits = name + prefix;
    size_t count = 0;
    for (; digits[count] != L'\0'; ++count) {
        if (digits[count] > 0x7F || !std::iswxdigit(digits[count])) {
            return false;
        }
    }
    if (count == 0) {
        return false;
    }
    // Eight digits: missing ones are "0" on the left, extra ones are cut.
    uint32_t value = 0;
    const size_t used = count > 8 ? 8 : count;
    for (size_t i = 0; i < used; ++i) {
        const wchar_t c = digits[i];
        const uint32_t digit = c <= L'9' ? c - L'0' : (c | 0x20) - L'a' + 10;
        value = value << 4 | digit;
    }
    *colour = value & 0xFFFFFF;
    return true;
}

bool Glyphs::draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, const wchar_t* name,
                  COLORREF colour, int32_t scale) {
    if (name == nullptr || name[0] != L'#') {
        return false;
    }
    const int32_t s = scale < 1 ? 1 : scale;
    COLORREF swatch;
    if (parseColour(name, &swatch)) {
        // The button's rectangle inset by 1 in black, and the colour one pixel further in.
        Paint::fillRect(dc, left + 1, top + 1, right - 1, bottom - 1, RGB(0, 0, 0));
        Paint::fillRect(dc, left + 2, top + 2, right - 2, bottom - 2, swatch);
        return true;
    }
    for (const Glyph& glyph : GLYPHS) {
        if (std::wcscmp(glyph.name, name) != 0) {
            continue;
        }
        Pen pen{dc, left + s, top + s, right - left - 2 * s, bottom - top - 2 * s, colour, s};
        if (pen.bw > 0 && pen.bh > 0) {
            pen.mirrorX = glyph.mirrorX;
            pen.mirrorY = glyph.mirrorY;
            pen.transpose = glyph.transpose;
            glyph.paint(pen);
        }
        return true;
    }
    return false;
}

} // namespace s::gui::drawer::button::win
