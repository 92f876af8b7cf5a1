#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "widgets/gui/IImage.h"
#include "widgets/gui/win/DrawerHold.h"
#include "widgets/gui/win/Leaf.h"
#include "widgets/gui/win/Native.h"

namespace s::image::win { class BufferedImage; }

namespace s::gui::win {

// The toolkit's picture control: shows the current frame of a frame set through its
// drawer (the Basic one unless handed another), sizes itself from the picture, plays animations on a
// 25 ms timer with the frames' own delays, can paint a checkerboard behind transparent
// pictures and follow the mouse when draggable.
class Image : public Native<Leaf<IImage>> {
    S_POOLED_CLASS(Image, 1000, L"s_gui_win_Image")
public:
    static constexpr UINT_PTR ANIMATION_TIMER = 1;
    static constexpr UINT TICK_MS = 25;
    // Asks the UI thread to start or stop the animation timer (timers belong to it).
    static constexpr UINT MSG_START_TIMER = PM_IMAGE_START_TIMER;
    static constexpr UINT MSG_STOP_TIMER = PM_IMAGE_STOP_TIMER;
    static constexpr int32_t CHECKER_CELL = 5;
    static constexpr COLORREF CHECKER_GREY = 0xCCCCCC;

    static Image* createWithWidthPercent(int32_t percent, image::win::BufferedImageSet* set);
    static Image* createWithSize(int32_t width, int32_t height, image::win::BufferedImageSet* set);
    ~Image() override;
    void reset() override;

    void onEvent(base::IObject*, int32_t) override {}
    // No skin has an image drawer: every image control paints with the Basic one unless
    // it was handed another.
    void takeSkinDrawer(drawer::ISkin*) override { takeBasicDrawer(); }
    void takeBasicDrawer() override;
    void setParent(IContainer* container) override;
    void setPosition(int32_t x, int32_t y) override;
    void setSize(int32_t w, int32_t h) override;
    void setBounds(int32_t x, int32_t y, int32_t w, int32_t h) override;
    int32_t getPreferredWidth() const override;
    int32_t getPreferredHeight() const override;

    bool setImage(image::IEncodedImage* encoded, bool asSet, bool fit, bool keepAspect) override;
    void setImageSet(image::win::BufferedImageSet* set, bool owned, bool fit, bool keepAspect, int32_t drawingFlag,
                     int32_t fixedWidth, int32_t fixedHeight) override;
    int32_t getImageWidth() const override;
    int32_t getImageHeight() const override;
    int32_t getFrameCount() const override;
    bool isAnimated() const override;
    void fitAspect(int32_t* width, int32_t* height) const override;
    void play() override;
    void stop(bool rewind) override;
    void pauseAndWait(bool pausePainting) override;
    void resume(bool resumePainting) override;
    void setFixedWidth(int32_t width) override;
    void setFixedHeight(int32_t height) override;
    void setBorder(bool on) override;
    void setBackgroundColour(int32_t red, int32_t green, int32_t blue) override;
    bool setPaintingPaused(bool paused) override;
    void setDraggable(bool on) override { draggable_ = on ? 1 : 0; }
    void setDrawer(drawer::IImage* drawer, bool owned) override;
    void setCheckerboard(bool redraw) override;
    void setTransparent(bool redraw) override;
    bool saveWith(const image::IEncodedImage* encoder, const wchar_t* path, bool scaleToControl, bool sharpen,
                  image::filters::IFilter* filter) override;
    int32_t getCurrentFrame() const override;
    int32_t getFrameDelay(int32_t index) const override;
    int32_t getFrameDisposal(int32_t index) const override;
    int32_t getFrameDepth(int32_t index) const override;
    int32_t getFrameFlags(int32_t index) const override;
    bool isFramePixelVisible(int32_t index, int32_t x, int32_t y) const override;
    const uint8_t* getFramePixels(int32_t index, int32_t* stride) const override;
    image::win::BufferedImage* getFrameImage(int32_t index) const override;
    image::win::BufferedImage* copyCurrentFrame(bool scaleToControl, int32_t kind) override;

    // (width, height) with one side shrunk to the proportions of a W x H picture; an
    // empty picture or target changes nothing.
    static void fitAspectOf(int32_t pictureWidth, int32_t pictureHeight, int32_t* width, int32_t* height);
    // The checkerboard behind transparent pictures: grey with white cells on alternate
    // squares. Answers the number of columns and rows of cells.
    static void paintCheckerboard(HDC dc, int32_t width, int32_t height, int32_t* columns, int32_t* rows);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Image();
    void releaseSet();
    void measure();
    void tick();
    void paint();
    bool onUiThread() const { return m_hWnd == nullptr || GetThreadId() == GetCurrentThreadId(); }
    int32_t innerPreferred(bool horizontal) const;

    int32_t wantedWidth_, wantedHeight_;
    double heightPerWidth_, widthPerHeight_;
    uint8_t paintParentBackground_;
    uint8_t checkerboard_;
    image::win::BufferedImageSet* set_;
    uint8_t ownsSet_;
    uint8_t fit_, keepAspect_;
    int32_t drawingFlag_;
    uint8_t border_;
    int32_t frame_;
    int32_t mode_;
    int64_t timeLeft_;
    int64_t lastTick_;
    std::atomic<uint8_t> stopRequested_;
    std::atomic<uint8_t> inTick_;
    CRITICAL_SECTION lock_;
    std::atomic<uint8_t> paintingPaused_;
    uint8_t boundsPending_;
    uint8_t draggable_;
    uint8_t dragging_;
    POINT lastCursor_;
    DrawerHold<drawer::IImage> drawer_;
};

} // namespace s::gui::win
