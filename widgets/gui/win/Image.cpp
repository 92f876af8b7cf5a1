#include "widgets/gui/win/Image.h"

#include <cmath>

#include "drawers/gui/drawer/IImage.h"
#include "drawers/gui/drawer/image/win/Basic.h"
#include "images/image/IEncodedImage.h"
#include "images/image/filters/IFilter.h"
#include "images/image/filters/sharpness/Sharpness.h"
#include "images/image/win/BufferedImage.h"
#include "images/image/win/BufferedImageSet.h"
#include "system/time/Clock.h"
#include "widgets/gui/win/OffscreenPaint.h"
#include "widgets/gui/win/ToolkitWindowClass.h"

namespace s::gui::win {

using image::win::BufferedImage;
using image::win::BufferedImageSet;

namespace {

constexpr int32_t SHARPEN_LEVEL = 70;

// Held for one operation on the frame set or the animation state.
class Locked {
public:
    explicit Locked(CRITICAL_SECTION* lock) : lock_(lock) { EnterCriticalSection(lock); }
    ~Locked() { LeaveCriticalSection(lock_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    CRITICAL_SECTION* lock_;
};

void releaseEncoded(image::IEncodedImage* encoded) {
    if (thread::IPoolable* poolable = dynamic_cast<thread::IPoolable*>(encoded)) {
        poolable->release();
    }
}

// Attaches the filter to the image for one encoding and takes it off again without
// giving it back (it stays the caller's).
void detachFilter(BufferedImage* image, image::filters::IFilter* filter) {
    col::_array::ArrayP* filters = image->filters();
    const int32_t index = filters != nullptr ? filters->indexOf(filter) : -1;
    if (index >= 0) {
        filters->removeAt(static_cast<uint32_t>(index));
    }
}

} // namespace

Image::Image() : set_(nullptr), ownsSet_(0) {
    InitializeCriticalSection(&lock_);
    reset();
}

Image::~Image() {
    releaseSet();
    DeleteCriticalSection(&lock_);
}

Image* Image::createWithWidthPercent(int32_t percent, BufferedImageSet* set) {
    Image* control = pool();
    if (control != nullptr) {
        if (percent >= 0) {
            control->setPercentSize(percent, control->state_.heightPercent);
        }
        if (set != nullptr) {
            control->setImageSet(set, true, true, true, 1, -1, -1);
        }
    }
    return control;
}

Image* Image::createWithSize(int32_t width, int32_t height, BufferedImageSet* set) {
    Image* control = pool();
    if (control != nullptr) {
        control->setFixedSize(width >= 0 ? width : -1, height >= 0 ? height : -1);
        if (set != nullptr) {
            control->setImageSet(set, true, true, true, 1, -1, -1);
        }
    }
    return control;
}

void Image::reset() {
    resetComponent();
    stop(true);
    releaseSet();
    wantedWidth_ = wantedHeight_ = 0;
    heightPerWidth_ = widthPerHeight_ = 1.0;
    state_.background = 0;
    paintParentBackground_ = 1;
    checkerboard_ = 0;
    fit_ = keepAspect_ = 0;
    drawingFlag_ = 0;
    border_ = 0;
    frame_ = 0;
    mode_ = 0;
    timeLeft_ = 0;
    lastTick_ = 0;
    stopRequested_ = 0;
    inTick_ = 0;
    paintingPaused_ = 0;
    boundsPending_ = 0;
    draggable_ = 0;
    dragging_ = 0;
    lastCursor_ = POINT{0, 0};
    drawer_.drop();
}

void Image::releaseSet() {
    Locked held(&lock_);
    if (ownsSet_ != 0 && set_ != nullptr) {
        set_->release();
    }
    set_ = nullptr;
    ownsSet_ = 0;
}

void Image::setParent(IContainer* container) {
    if (container == nullptr) {
        stop(false);
        attachNative(nullptr, nullptr, nullptr, 0);
        return;
    }
    if (!attachOrReport(container, TOOLKIT_WINDOW_CLASS, WS_CHILD)) {
        return;
    }
    measure();
}

void Image::setPosition(int32_t x, int32_t y) {
    if (paintingPaused_ != 0) {
        state_.x = x;
        state_.y = y;
        boundsPending_ = 1;
        return;
    }
    Leaf::setPosition(x, y);
}

void Image::setSize(int32_t w, int32_t h) {
    if (paintingPaused_ != 0) {
        state_.width = w;
        state_.height = h;
        boundsPending_ = 1;
        return;
    }
    Leaf::setSize(w, h);
}

void Image::setBounds(int32_t x, int32_t y, int32_t w, int32_t h) {
    if (paintingPaused_ != 0) {
        state_.x = x;
        state_.y = y;
        state_.width = w;
        state_.height = h;
        boundsPending_ = 1;
        return;
    }
    Leaf::setBounds(x, y, w, h);
}

int32_t Image::innerPreferred(bool horizontal) const {
    const int32_t frame = border_ != 0 ? 2 : 0;
    const int32_t fixed = horizontal ? state_.fixedWidth : state_.fixedHeight;
    if (fixed >= 0) {
        return fixed - frame > 0 ? fixed - frame : 0;
    }
    if ((horizontal ? state_.widthPercent : state_.heightPercent) >= 0) {
        return 0;
    }
    const bool otherSet = horizontal ? state_.fixedHeight >= 0 || state_.heightPercent >= 0
                                     : state_.fixedWidth >= 0 || state_.widthPercent >= 0;
    if (fit_ != 0 && keepAspect_ != 0 && otherSet) {
        int32_t other = (horizontal ? getLayoutHeight() : getLayoutWidth()) - frame;
        other = other > 0 ? other : 0;
        return static_cast<int32_t>(std::lround((horizontal ? widthPerHeight_ : heightPerWidth_) * other));
    }
    return horizontal ? state_.minimumWidth : state_.minimumHeight;
}

int32_t Image::getPreferredWidth() const {
    if (state_.fixedWidth >= 0) {
        return state_.fixedWidth;
    }
    if (state_.widthPercent >= 0) {
        return 0;
    }
    return innerPreferred(true) + (border_ != 0 ? 2 : 0);
}

int32_t Image::getPreferredHeight() const {
    if (state_.fixedHeight >= 0) {
        return state_.fixedHeight;
    }
    if (state_.heightPercent >= 0) {
        return 0;
    }
    return innerPreferred(false) + (border_ != 0 ? 2 : 0);
}

bool Image::setImage(image::IEncodedImage* encoded, bool asSet, bool fit, bool keepAspect) {
    BufferedImageSet* set = nullptr;
    if (encoded != nullptr) {
        // Not as a set: the first picture alone, as a single-frame kind gives it.
        set = asSet ? encoded->toImageSet() : encoded->image::IEncodedImage::toImageSet();
    }
    if (set == nullptr) {
        return false;
    }
    setImageSet(set, true, fit, keepAspect, 1, -1, -1);
    return true;
}

void Image::setImageSet(BufferedImageSet* set, bool owned, bool fit, bool keepAspect, int32_t drawingFlag,
                        int32_t fixedWidth, int32_t fixedHeight) {
    const bool wasPaused = !setPaintingPaused(true);
    stop(true);
    BufferedImageSet* previous = nullptr;
    {
        Locked held(&lock_);
        frame_ = 0;
        mode_ = 0;
        if (set != set_) {
            previous = ownsSet_ != 0 ? set_ : nullptr;
            set_ = set;
            ownsSet_ = owned ? 1 : 0;
        } else if (owned) {
            // The same set again: kept, never released under the caller.
            ownsSet_ = 1;
        }
        if (set_ != nullptr && set_->count() > 1) {
            if (set_->animated()) {
                // Beyond the cap of composed frames the placed frames cannot play
                // truly: the first one at its place stands still instead.
                BufferedImageSet* prepared = set_->coalescedCopy();
                if (prepared == nullptr) {
                    prepared = set_->firstScreenCopy();
                }
                if (prepared != nullptr) {
                    if (ownsSet_ != 0 && set_ != previous) {
                        set_->release();
                    }
                    set_ = prepared;
                    ownsSet_ = 1;
                }
            } else {
                frame_ = set_->bestIndex();
            }
        }
    }
    if (previous != nullptr && previous != set_) {
        previous->release();
    }
    fit_ = fit ? 1 : 0;
    keepAspect_ = keepAspect ? 1 : 0;
    drawingFlag_ = drawingFlag;
    const int32_t frame = border_ != 0 ? 2 : 0;
    if (fixedWidth >= 0) {
        setFixedSize(fixedWidth + frame, state_.fixedHeight);
    }
    if (fixedHeight >= 0) {
        setFixedSize(state_.fixedWidth, fixedHeight + frame);
    }
    measure();
    if (!wasPaused) {
        setPaintingPaused(false);
    }
    redrawNow();
}

void Image::measure() {
    const int32_t w = getImageWidth();
    const int32_t h = getImageHeight();
    setMinimumSize(fit_ != 0 ? 0 : w, fit_ != 0 ? 0 : h);
    setContentSize(w, h);
    wantedWidth_ = w;
    wantedHeight_ = h;
    heightPerWidth_ = w > 0 && h > 0 ? static_cast<double>(h) / w : 1.0;
    widthPerHeight_ = w > 0 && h > 0 ? static_cast<double>(w) / h : 1.0;
    if (IContainer* parent = state_.parent) {
        parent->relayout();
    }
}

int32_t Image::getImageWidth() const {
    return set_ != nullptr ? set_->width() : 0;
}

int32_t Image::getImageHeight() const {
    return set_ != nullptr ? set_->height() : 0;
}

int32_t Image::getFrameCount() const {
    return set_ != nullptr ? set_->count() : 0;
}

bool Image::isAnimated() const {
    return set_ != nullptr && set_->count() > 1 && set_->animated();
}

int32_t Image::getCurrentFrame() const {
    Locked held(const_cast<CRITICAL_SECTION*>(&lock_));
    return frame_;
}

int32_t Image::getFrameDelay(int32_t index) const {
    Locked held(const_cast<CRITICAL_SECTION*>(&lock_));
    return set_ != nullptr && index >= 0 && index < set_->count() ? set_->delay(index) : -1;
}

int32_t Image::getFrameDisposal(int32_t index) const {
    Locked held(const_cast<CRITICAL_SECTION*>(&lock_));
    return set_ != nullptr && index >= 0 && index < set_->count() ? set_->disposal(index) : -1;
}

int32_t Image::getFrameDepth(int32_t index) const {
    Locked held(const_cast<CRITICAL_SECTION*>(&lock_));
    return set_ != nullptr && index >= 0 && index < set_->count() ? set_->depth(index) : -1;
}

BufferedImage* Image::getFrameImage(int32_t index) const {
    Locked held(const_cast<CRITICAL_SECTION*>(&lock_));
    return set_ != nullptr && index >= 0 && index < set_->count() ? set_->frameAt(index) : nullptr;
}

int32_t Image::getFrameFlags(int32_t index) const {
    // Held while the frame is read: a picture set on another thread frees it.
    Locked held(const_cast<CRITICAL_SECTION*>(&lock_));
    const BufferedImage* frame = getFrameImage(index);
    if (frame == nullptr) {
        return 0;
    }
    return (frame->hasAlpha() ? FRAME_ALPHA : 0) | (frame->hasFilters() ? FRAME_FILTERED : 0);
}

bool Image::isFramePixelVisible(int32_t index, int32_t x, int32_t y) const {
    Locked held(const_cast<CRITICAL_SECTION*>(&lock_));
    const BufferedImage* frame = set_ != nullptr && index >= 0 && index < set_->count() ? set_->frameAt(index) : nullptr;
    if (frame == nullptr || x < 0 || y < 0 || x >= frame->width() || y >= frame->height()) {
        return false;
    }
    return !frame->hasAlpha() || (frame->pixel(x, y) >> 24) != 0;
}

const uint8_t* Image::getFramePixels(int32_t index, int32_t* stride) const {
    Locked held(const_cast<CRITICAL_SECTION*>(&lock_));
    const BufferedImage* frame = getFrameImage(index);
    if (frame == nullptr || frame->height() <= 0) {
        return nullptr;
    }
    if (stride != nullptr) {
        *stride = frame->height() > 1 ? static_cast<int32_t>(frame->row(1) - frame->row(0)) : -frame->capacityStride();
    }
    return frame->row(0);
}

BufferedImage* Image::copyCurrentFrame(bool scaleToControl, int32_t kind) {
    Locked held(&lock_);
    BufferedImage* frame = set_ != nullptr ? set_->frameAt(frame_) : nullptr;
    if (frame == nullptr) {
        return nullptr;
    }
    // As shown: the frame's prepared copy, its filters applied.
    BufferedImage* shown = kind == COPY_AS_SHOWN && frame->hasFilters() ? frame->filtered() : frame;
    if (shown == nullptr) {
        shown = frame;
    }
    const int32_t width = state_.width - (border_ != 0 ? 2 : 0);
    const int32_t height = state_.height - (border_ != 0 ? 2 : 0);
    if (!scaleToControl || width <= 0 || height <= 0) {
        return shown->copy();
    }
    // The scaled picture is the frame's own cache (or the frame itself): the caller gets a copy.
    BufferedImage* scaled = shown->scaledCopy(width, height, false);
    return scaled != nullptr ? scaled->copy() : nullptr;
}

void Image::fitAspectOf(int32_t pictureWidth, int32_t pictureHeight, int32_t* width, int32_t* height) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || *width <= 0 || *height <= 0) {
        return;
    }
    const double picture = static_cast<double>(pictureWidth) / pictureHeight;
    if (picture > static_cast<double>(*width) / *height) {
        *height = static_cast<int32_t>(std::lround(static_cast<double>(pictureHeight) * *width / pictureWidth));
    } else {
        *width = static_cast<int32_t>(std::lround(static_cast<double>(pictureWidth) * *height / pictureHeight));
    }
}

void Image::fitAspect(int32_t* width, int32_t* height) const {
    fitAspectOf(getImageWidth(), getImageHeight(), width, height);
}

void Image::play() {
    stop(true);
    if (!isAnimated()) {
        return;
    }
    {
        Locked held(&lock_);
        timeLeft_ = set_->delay(frame_);
        lastTick_ = time::currentTimeMillis();
    }
    if (m_hWnd == nullptr) {
        return;
    }
    if (onUiThread()) {
        SetTimer(ANIMATION_TIMER, TICK_MS);
    } else {
        PostMessage(MSG_START_TIMER);
    }
}

void Image::stop(bool rewind) {
    pauseAndWait(false);
    if (m_hWnd != nullptr) {
        if (onUiThread()) {
            KillTimer(ANIMATION_TIMER);
        } else {
            // The timer goes on its own thread; until then the stop request holds it.
            PostMessage(MSG_STOP_TIMER);
        }
    }
    if (rewind) {
        Locked held(&lock_);
        frame_ = 0;
        mode_ = 0;
    }
    if (onUiThread()) {
        stopRequested_ = 0;
    }
}

void Image::pauseAndWait(bool pausePainting) {
    if (pausePainting) {
        paintingPaused_ = 1;
    }
    stopRequested_ = 1;
    // On the UI thread no tick can be running: it would be this very thread.
    if (onUiThread()) {
        return;
    }
    for (int i = 0; inTick_.load() != 0 && i < 500; ++i) {
        Sleep(10);
    }
}

void Image::resume(bool resumePainting) {
    stopRequested_ = 0;
    if (resumePainting) {
        setPaintingPaused(false);
    }
}

void Image::tick() {
    inTick_ = 1;
    bool advanced = false;
    if (stopRequested_ == 0) {
        const int64_t now = time::currentTimeMillis();
        Locked held(&lock_);
        const int64_t elapsed = now - lastTick_;
        const int32_t count = set_ != nullptr ? set_->count() : 0;
        if (count > 1 && elapsed >= timeLeft_) {
            mode_ = set_->disposal(frame_);
            frame_ = (frame_ + 1) % count;
            const int64_t left = set_->delay(frame_) - (elapsed - timeLeft_);
            timeLeft_ = left > 0 ? left : 0;
            lastTick_ = now;
            advanced = true;
        }
    }
    inTick_ = 0;
    // Redrawn after the lock is left: painting takes it.
    if (advanced) {
        redrawNow();
    }
}

void Image::setFixedWidth(int32_t width) {
    setFixedSize(width, state_.fixedHeight);
}

void Image::setFixedHeight(int32_t height) {
    setFixedSize(state_.fixedWidth, height);
}

void Image::setBorder(bool on) {
    border_ = on ? 1 : 0;
    redrawNow();
}

void Image::setBackgroundColour(int32_t red, int32_t green, int32_t blue) {
    state_.background = RGB(red & 0xFF, green & 0xFF, blue & 0xFF);
    paintParentBackground_ = 0;
    checkerboard_ = 0;
    redrawNow();
}

bool Image::setPaintingPaused(bool paused) {
    const uint8_t value = paused ? 1 : 0;
    if (paintingPaused_.load() == value) {
        return false;
    }
    paintingPaused_ = value;
    if (!paused && boundsPending_ != 0) {
        boundsPending_ = 0;
        state_.setBounds(m_hWnd, state_.x, state_.y, state_.width, state_.height);
    }
    if (!paused) {
        redrawNow();
    }
    return true;
}

void Image::takeBasicDrawer() {
    holdBasicDrawer(this, static_cast<bool>(drawer_), &drawer::image::win::Basic::pool);
}

void Image::setDrawer(drawer::IImage* drawer, bool owned) {
    drawer_.set(drawer, owned);
    redrawNow();
}

void Image::setCheckerboard(bool redraw) {
    checkerboard_ = 1;
    paintParentBackground_ = 1;
    if (redraw) {
        redrawNow();
    }
}

void Image::setTransparent(bool redraw) {
    checkerboard_ = 0;
    paintParentBackground_ = 1;
    if (redraw) {
        redrawNow();
    }
}

void Image::paintCheckerboard(HDC dc, int32_t width, int32_t height, int32_t* columns, int32_t* rows) {
    const RECT all = {0, 0, width, height};
    SetBkColor(dc, CHECKER_GREY);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    *columns = (width + CHECKER_CELL - 1) / CHECKER_CELL;
    *rows = (height + CHECKER_CELL - 1) / CHECKER_CELL;
    SetBkColor(dc, RGB(255, 255, 255));
    for (int32_t column = 0; column < *columns; ++column) {
        for (int32_t row = column % 2; row < *rows; row += 2) {
            const RECT cell = {column * CHECKER_CELL, row * CHECKER_CELL, (column + 1) * CHECKER_CELL,
                               (row + 1) * CHECKER_CELL};
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &cell, nullptr, 0, nullptr);
        }
    }
}

void Image::paint() {
    if (paintingPaused_ != 0) {
        ValidateRect(m_hWnd, nullptr);
        return;
    }
    Locked held(&lock_);
    OffscreenPaint paint(m_hWnd);
    HDC dc = paint.dc();
    if (dc == nullptr) {
        return;
    }
    const RECT& r = paint.client();
    if (paintParentBackground_ == 0) {
        paint.fill(state_.background);
    } else if (checkerboard_ != 0) {
        int32_t columns = 0;
        int32_t rows = 0;
        paintCheckerboard(dc, r.right, r.bottom, &columns, &rows);
    } else {
        paint.copyParentBackground(this);
    }
    if (drawer_ && set_ != nullptr) {
        // The drawer's own scaled blit is the control's scaled drawing.
        drawer_->draw(dc, nullptr, r.left, r.top, r.right, r.bottom, set_->frameAt(frame_), mode_, border_ != 0,
                      fit_ != 0);
    }
}

bool Image::saveWith(const image::IEncodedImage* encoder, const wchar_t* path, bool scaleToControl, bool sharpen,
                     image::filters::IFilter* filter) {
    if (encoder == nullptr || path == nullptr) {
        return false;
    }
    Locked held(&lock_);
    if (set_ == nullptr || set_->count() == 0) {
        return false;
    }
    const int32_t width = state_.width - (border_ != 0 ? 2 : 0);
    const int32_t height = state_.height - (border_ != 0 ? 2 : 0);
    const bool scale = scaleToControl && width > 0 && height > 0;
    bool saved = false;
    if (set_->count() > 1 && set_->animated()) {
        BufferedImageSet* copy = scale ? set_->scaledCopy(width, height, false) : sharpen ? set_->copy() : nullptr;
        if (copy == nullptr && (scale || sharpen)) {
            return false;  // never saved unscaled or unsharpened
        }
        BufferedImageSet* source = copy != nullptr ? copy : set_;
        for (int32_t i = 0; i < source->count(); ++i) {
            BufferedImage* frame = source->frameAt(i);
            if (copy != nullptr && sharpen) {
                frame->addFilter(image::filters::sharpness::Sharpness::create(SHARPEN_LEVEL));
            }
            if (filter != nullptr) {
                frame->addFilter(filter);
            }
        }
        if (image::IEncodedImage* encoded = encoder->createFromImageSet(source)) {
            saved = encoded->save(path);
            releaseEncoded(encoded);
        }
        for (int32_t i = 0; filter != nullptr && i < source->count(); ++i) {
            detachFilter(source->frameAt(i), filter);
        }
        if (copy != nullptr) {
            copy->release();
        }
        return saved;
    }
    BufferedImage* frame = set_->frameAt(frame_);
    if (frame == nullptr) {
        return false;
    }
    // A frame's scaled picture is its own cache (or the frame itself): encoded from a copy.
    BufferedImage* scaled = scale ? frame->scaledCopy(width, height, false) : nullptr;
    BufferedImage* copy = scaled != nullptr ? scaled->copy() : sharpen ? frame->copy() : nullptr;
    if (copy == nullptr && (scale || sharpen)) {
        return false;
    }
    BufferedImage* source = copy != nullptr ? copy : frame;
    if (copy != nullptr && sharpen) {
        source->addFilter(image::filters::sharpness::Sharpness::create(SHARPEN_LEVEL));
    }
    if (filter != nullptr) {
        source->addFilter(filter);
    }
    if (image::IEncodedImage* encoded = encoder->createFromImage(source)) {
        saved = encoded->save(path);
        releaseEncoded(encoded);
    }
    if (filter != nullptr) {
        detachFilter(source, filter);
    }
    if (copy != nullptr) {
        copy->release();
    }
    return saved;
}

LRESULT Image::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_TIMER:
        if (wParam == ANIMATION_TIMER) {
            tick();
            return 0;
        }
        break;
    case MSG_START_TIMER:
        stopRequested_ = 0;
        SetTimer(ANIMATION_TIMER, TICK_MS);
        return 0;
    case MSG_STOP_TIMER:
        KillTimer(ANIMATION_TIMER);
        stopRequested_ = 0;
        return 0;
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, draggable_ != 0 ? IDC_HAND : IDC_ARROW));
        return 1;
    case WM_NCHITTEST: {
        const LRESULT hit = Native::WindowProc(message, wParam, lParam);
        const bool otherButton = GetKeyState(VK_RBUTTON) < 0 || GetKeyState(VK_MBUTTON) < 0;
        return hit == HTCLIENT && (draggable_ == 0 || otherButton) ? HTTRANSPARENT : hit;
    }
    case WM_LBUTTONDOWN:
        if (draggable_ != 0) {
            SetCapture(m_hWnd);
            dragging_ = 1;
            GetCursorPos(&lastCursor_);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (dragging_ != 0) {
            POINT cursor = {};
            GetCursorPos(&cursor);
            addOffset(cursor.x - lastCursor_.x, cursor.y - lastCursor_.y);
            lastCursor_ = cursor;
        }
        return 0;
    case WM_LBUTTONUP:
        if (dragging_ != 0) {
            dragging_ = 0;
            ReleaseCapture();
        }
        return 0;
    default:
        break;
    }
    return Native::WindowProc(message, wParam, lParam);
}

} // namespace s::gui::win
