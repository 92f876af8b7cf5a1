#pragma once
#include <windows.h>
#include <shellapi.h>

#include <cstdint>

#include "core/thread/ClassPool.h"
#include "system/gui/events/ListenerList.h"
#include "widgets/gui/IBox.h"
#include "widgets/gui/layout/Arrangement.h"
#include "widgets/gui/win/Container.h"
#include "widgets/gui/win/Native.h"

namespace s::gui::win {

class UrlDropTarget;

// The toolkit's general container over a borderless child window of the toolkit's
// class. Built on any thread; its native window, drop registrations and painting live
// on the window's UI thread.
//
//   Box* row = Box::create(IBox::ROW, 0, 100, -1, 1, 4, 0, 6, 2);
//   row->add(Label::createWithText(L"Name:", false, false, 0));
//   window->add(row);
class Box : public Native<Container<IBox>> {
    S_POOLED_CLASS(Box, 1000, L"s_gui_win_Box")
public:
    // Private messages of the box's window.
    enum : UINT {
        MSG_URL_DROPPED = PM_URL_DROPPED,
        // wParam 1 / 0: make or drop the URL drop target on the UI thread.
        MSG_ACCEPT_URLS = PM_ACCEPT_URLS
    };

    // A pooled box: arrangement 0-3 (else a column); a percent (>= 0) truncated; alignment
    // <= 0 start, 1 centre, else end; gaps and paddings only when > 0.
    static Box* create(int32_t arrangement, int32_t hAlign, double widthPercent, double heightPercent, int32_t vAlign,
                       int32_t gapX, int32_t gapY, int32_t paddingX, int32_t paddingY);

    ~Box() override;
    void reset() override;
    void onEvent(base::IObject* source, int32_t eventCode) override;

    // Component and container operations.
    void setParent(IContainer* container) override;
    void add(IComponent* child) override;
    void doLayout() override;
    ILayoutManager* getLayout() const override;
    void setLayout(ILayoutManager* manager) override;
    void setPosition(int32_t x, int32_t y) override;
    void setSize(int32_t w, int32_t h) override;
    void setBounds(int32_t x, int32_t y, int32_t w, int32_t h) override;
    int32_t getPreferredWidth() const override;
    int32_t getPreferredHeight() const override;
    int32_t getLayoutWidth() const override;
    int32_t getLayoutHeight() const override;
    int32_t getContentOrFixedWidth() const override;
    int32_t getContentOrFixedHeight() const override;
    void setVisible(bool visible) override { setVisibleRecursive(visible, false); }
    uint32_t getBackground() const override { return state_.background; }
    bool isBackgroundInherited() const override { return paintParent_ != 0; }
    void setBackgroundInherited(bool redraw) override { setTransparent(redraw); }
    void setBackground(int32_t r, int32_t g, int32_t b, bool redraw) override { setColour(r, g, b, redraw); }
    void setBackgroundSystem(bool redraw) override { resetColour(redraw); }
    image::win::BufferedImage* getBackBuffer() const override { return state_.backBuffer; }

    // Box operations.
    void setTransparent(bool redraw) override;
    void resetColour(bool redraw) override;
    void setColour(int32_t r, int32_t g, int32_t b, bool redraw) override;
    void setGapX(int32_t px) override { rules_.gapX = px; }
    void setGapY(int32_t px) override { rules_.gapY = px; }
    void setPaddingLeft(int32_t px) override { setPaddings4(px, state_.paddingRight, state_.paddingTop, state_.paddingBottom); }
    void setPaddingRight(int32_t px) override { setPaddings4(state_.paddingLeft, px, state_.paddingTop, state_.paddingBottom); }
    void setPaddingTop(int32_t px) override { setPaddings4(state_.paddingLeft, state_.paddingRight, px, state_.paddingBottom); }
    void setPaddingBottom(int32_t px) override { setPaddings4(state_.paddingLeft, state_.paddingRight, state_.paddingTop, px); }
    void setPaddingHorizontal(int32_t px) override { setPaddings4(px, px, state_.paddingTop, state_.paddingBottom); }
    void setPaddingVertical(int32_t px) override { setPaddings4(state_.paddingLeft, state_.paddingRight, px, px); }
    void setPadding(int32_t px) override { setPaddings4(px, px, px, px); }
    int32_t getPaddingLeft() const override { return state_.paddingLeft; }
    int32_t getPaddingTop() const override { return state_.paddingTop; }
    void setVerticalAlignment(int32_t alignment) override { rules_.vAlign = alignment; }
    void setHorizontalAlignment(int32_t alignment) override { rules_.hAlign = alignment; }
    int32_t getArrangement() const override { return rules_.arrangement; }
    void setArrangement(int32_t arrangement) override { rules_.arrangement = arrangement; }
    void setFullPercent() override { setPercentSize(100, 100); }
    void setWidthPercent(int32_t percent, bool relayoutParent = true) override;
    void setHeightPercent(int32_t percent, bool relayoutParent = true) override;
    void setFixedWidth(int32_t px, bool relayoutParent = true) override;
    void setFixedHeight(int32_t px, bool relayoutParent = true) override;
    void setMinimumWidth(int32_t px) override { minimumWidth_ = px; }
    void setAcceptFiles(bool accept) override;
    void addDropListener(events::IEventListener* l) override { dropListeners_.add(l); }
    str::strarray::StrArray* getDroppedPaths() const override { return droppedPaths_; }
    void setAcceptUrls(bool accept) override;
    void addUrlListener(events::IEventListener* l) override { urlListeners_.add(l); }
    const str::strbuffer::StrBuffer* getDroppedUrl() const override { return droppedUrl_; }
    void addWheelListener(events::IEventListener* l) override { wheelListeners_.add(l); }
    int32_t getWheelStep() const override { return wheelStep_; }
    void setCollapseWidth(bool collapse) override { collapseWidth_ = collapse ? 1 : 0; }
    void setCollapseHeight(bool collapse) override { collapseHeight_ = collapse ? 1 : 0; }
    void setBorderDrawer(drawer::IDrawer* drawer, bool owned) override;
    void addLayoutListener(events::IEventListener* l) override { layoutListeners_.add(l); }
    void addMoveListener(events::IEventListener* l) override { moveListeners_.add(l); }
    void addPaintListener(events::IEventListener* l) override { paintListeners_.add(l); }
    HDC getPaintDc() const override { return paintDc_; }
    void setPaintedByListener() override { paintedByListener_ = 1; }
    void setPassThrough(bool passThrough) override { passThrough_ = passThrough ? 1 : 0; }
    void setHoverColour(int32_t r, int32_t g, int32_t b) override;
    void setVisibilityLocked(bool locked) override { visibilityLocked_ = locked ? 1 : 0; }
    void setVisibleRecursive(bool visible, bool recursive) override;
    void showOnly(int32_t index) override;
    void showOnlyLocked(int32_t index) override;
    void releaseBackBuffer() override;
    image::win::BufferedImage* getBackBuffer(int32_t* dx, int32_t* dy) const override;
    void addClickListener(events::IEventListener* listener) override;

    // Hides the box and holds back its own and its children's native windows until it first
    // shows or makeHeldWindows() is called: a column hidden at start costs nothing then.
    void holdWindowsUntilShown();
    // Makes the held windows now, the box staying as it is (shown or hidden).
    void makeHeldWindows();

    // What the box knows for tests and drawers.
    bool isHovered() const { return hover_ != 0; }
    bool isPassThrough() const { return passThrough_ != 0; }
    bool hasUrlTarget() const { return urlTarget_ != nullptr; }
    UrlDropTarget* getUrlTarget() const { return urlTarget_; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    ILayoutManager* defaultLayout() const override;

private:
    Box();
    void setDefaults();
    void setPaddings4(int32_t left, int32_t right, int32_t top, int32_t bottom);
    // Gives every child the offset of the left and top padding.
    void pushPaddingOffset();
    void attachNow(IComponent* child);
    void takeSiblingOrder();
    void relayoutParent(bool twiceForFlow) const;
    void afterSizeRule(bool relayoutParent);
    bool createNativeWindow(IContainer* container);
    void makeUrlTarget();
    void dropUrlTarget();
    void setHover(uint8_t hover);
    void redrawIfVisible(bool redraw);
    LRESULT onDropFiles(HDROP drop);
    LRESULT onMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT onHitTest(WPARAM wParam, LPARAM lParam);
    void onMouseMove(WPARAM wParam, LPARAM lParam);
    void paint();
    void paintBackground(HDC dc, int32_t width, int32_t height) const;
    HWND childUnder(POINT client) const;

    layout::Arrangement rules_;
    uint8_t paintParent_;
    uint8_t acceptFiles_;
    uint8_t acceptUrls_;
    uint8_t hover_;
    uint8_t collapseWidth_;
    uint8_t collapseHeight_;
    uint8_t borderOwned_;
    uint8_t passThrough_;
    uint8_t inWheel_;
    uint8_t visibilityLocked_;
    uint8_t paintedByListener_;
    uint8_t held_;
    int32_t wheelStep_;
    int32_t hoverColour_;
    int32_t minimumWidth_;
    str::strarray::StrArray* droppedPaths_;
    str::strbuffer::StrBuffer* droppedUrl_;
    UrlDropTarget* urlTarget_;
    drawer::IDrawer* border_;
    HDC paintDc_;
    events::ListenerList dropListeners_;
    events::ListenerList urlListeners_;
    events::ListenerList wheelListeners_;
    events::ListenerList layoutListeners_;
    events::ListenerList moveListeners_;
    events::ListenerList paintListeners_;
    events::ListenerList clickListeners_;
};

} // namespace s::gui::win
