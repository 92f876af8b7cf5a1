#include "drawers/gui/drawer/scrollbar/win/Thin.h"

#include <algorithm>
#include <cmath>

#include "drawers/gui/drawer/Paint.h"
#include "drawers/gui/drawer/border/win/Thin.h"
#include "drawers/gui/drawer/button/win/Thin.h"

namespace s::gui::drawer::scrollbar::win {

namespace {

constexpr COLORREF GREY = RGB(120, 120, 120);

// A rectangle from positions along the bar and the bar's cross extent.
RECT along(const ScrollBarGeometry& g, int32_t from, int32_t to) {
    return g.vertical ? RECT{g.bounds.left, from, g.bounds.right, to} : RECT{from, g.bounds.top, to, g.bounds.bottom};
}

struct Track {
    int32_t start, length, thumb, thumbStart;
};

// Where the track and the thumb lie along the bar; thumb 0 when there is none.
Track trackOf(const ScrollBarGeometry& g) {
    const int32_t start = g.vertical ? g.bounds.top : g.bounds.left;
    const int32_t end = g.vertical ? g.bounds.bottom : g.bounds.right;
    const int32_t cross = g.vertical ? g.bounds.right - g.bounds.left : g.bounds.bottom - g.bounds.top;
    const int32_t side = std::min(cross, std::max(end - start, 0) / 2);
    Track t = {start + side, std::max(end - start - 2 * side, 0), 0, start + side};
    if (g.range <= g.page || g.range <= 0 || t.length <= 0) {
        return t;
    }
    const int64_t page = std::max(g.page, 0);
    const int32_t least = std::min(std::max(side / 2, 1), t.length);
    t.thumb = static_cast<int32_t>(std::max<int64_t>(t.length * page / g.range, least));
    const int64_t scroll = static_cast<int64_t>(g.range) - page;
    const int64_t position = std::min<int64_t>(std::max(g.position, 0), scroll);
    t.thumbStart = t.start + static_cast<int32_t>((t.length - t.thumb) * position / scroll);
    return t;
}

} // namespace

Thin::Thin() : button_(button::win::Thin::pool()), border_(border::win::Thin::pool()) {
    reset();
}

Thin::~Thin() {
    if (button_ != nullptr) {
        button_->release();
    }
    if (border_ != nullptr) {
        border_->release();
    }
}

Thin* Thin::newScrollBarDrawer(int32_t thickness, COLORREF frame, COLORREF background) {
    Thin* drawer = pool();
    if (drawer != nullptr) {
        drawer->setThickness(thickness);
        drawer->setFrameColor(GetRValue(frame), GetGValue(frame), GetBValue(frame));
        drawer->setBackgroundColor(GetRValue(background), GetGValue(background), GetBValue(background));
    }
    return drawer;
}

void Thin::reset() {
    for (RECT& part : parts_) {
        part = {};
    }
    if (button_ != nullptr) {
        button_->reset();
        button_->setFrameColor(GetRValue(GREY), GetGValue(GREY), GetBValue(GREY));
    }
    if (border_ != nullptr) {
        border_->reset();
    }
    frame_ = GREY;
    background_ = RGB(255, 255, 255);
    thickness_ = 15 * Paint::scale();
}

void Thin::setFrameColor(int32_t red, int32_t green, int32_t blue) {
    frame_ = Paint::colour(red, green, blue);
    button_->setFrameColor(red, green, blue);
}

void Thin::setBackgroundColor(int32_t red, int32_t green, int32_t blue) {
    background_ = Paint::colour(red, green, blue);
}

void Thin::layout(const ScrollBarGeometry& g, RECT parts[PARTS]) {
    const Track t = trackOf(g);
    const int32_t start = g.vertical ? g.bounds.top : g.bounds.left;
    const int32_t end = g.vertical ? g.bounds.bottom : g.bounds.right;
    const int32_t trackEnd = t.start + t.length;
    parts[FIRST_ARROW] = along(g, start, t.start);
    parts[SECOND_ARROW] = along(g, trackEnd, std::max(end, trackEnd));
    if (t.thumb > 0) {
        parts[TRACK_BEFORE] = along(g, t.start, t.thumbStart);
        parts[THUMB] = along(g, t.thumbStart, t.thumbStart + t.thumb);
        parts[TRACK_AFTER] = along(g, t.thumbStart + t.thumb, trackEnd);
    } else {
        parts[TRACK_BEFORE] = along(g, t.start, trackEnd);
        parts[THUMB] = {};
        parts[TRACK_AFTER] = {};
    }
    parts[CORNER] = {};
}

int32_t Thin::hitTest(POINT point, const ScrollBarGeometry& geometry) {
    layout(geometry, parts_);
    for (int32_t part = FIRST_ARROW; part <= SECOND_ARROW; ++part) {
        if (PtInRect(&parts_[part], point)) {
            return part;
        }
    }
    return -1;
}

int32_t Thin::positionFromDrag(int32_t offset, int32_t startPosition, const ScrollBarGeometry& geometry) {
    const int64_t scroll = static_cast<int64_t>(geometry.range) - geometry.page;
    if (scroll <= 0) {
        return 0;
    }
    const Track t = trackOf(geometry);
    const int32_t room = t.length - t.thumb;
    // A thumb that fills its track cannot be dragged: the position stays.
    const double moved = room > 0 ? std::round(static_cast<double>(offset) * scroll / room) : 0.0;
    const double position = moved + startPosition;
    return static_cast<int32_t>(std::min<double>(std::max(position, 0.0), static_cast<double>(scroll)));
}

void Thin::draw(HDC dc, const ScrollBarGeometry& g) {
    const RECT& b = g.bounds;
    if (dc == nullptr || b.left >= b.right || b.top >= b.bottom) {
        return;
    }
    layout(g, parts_);
    border_->draw(dc, b.left, b.top, b.right, b.bottom, 2, 0, GetRValue(frame_), GetGValue(frame_), GetBValue(frame_));
    for (int32_t part : {TRACK_BEFORE, TRACK_AFTER}) {
        const RECT& r = parts_[part];
        Paint::fillRect(dc, r.left, r.top, r.right, r.bottom, background_);
    }
    const wchar_t* first = g.vertical ? L"#Up" : L"#Left";
    const wchar_t* second = g.vertical ? L"#Down" : L"#Right";
    const wchar_t* grip = g.vertical ? L"#ThumbLineH" : L"#ThumbLineV";
    const struct {
        int32_t part;
        const wchar_t* glyph;
    } buttons[] = {{FIRST_ARROW, first}, {SECOND_ARROW, second}, {THUMB, grip}};
    for (const auto& button : buttons) {
        const RECT& r = parts_[button.part];
        button_->draw(dc, r.left, r.top, r.right, r.bottom, 0, button.glyph, true, nullptr, true, false, false);
    }
}

} // namespace s::gui::drawer::scrollbar::win
