#pragma once
#include <windows.h>

#include <cstdint>

namespace s::gui::drawer { class IWindow; }
namespace s::image::win { class BufferedImage; }

namespace s::gui::win {

// The painting side of a top-level frame: its background through the back buffer and,
// while a frame drawer is set, its own frame (no system frame, the drawer's region).
class WindowFrame {
public:
    WindowFrame() = default;
    ~WindowFrame();
    WindowFrame(const WindowFrame&) = delete;
    WindowFrame& operator=(const WindowFrame&) = delete;

    // Null: the system draws the frame. An owned drawer is given back when replaced.
    void setDrawer(drawer::IWindow* drawer, bool owned);
    drawer::IWindow* drawer() const { return drawer_; }
    bool ownsDrawer() const { return owned_; }
    void reset();

    // The buffer the frame paints into (children copy their background from it).
    image::win::BufferedImage* backBuffer() const { return buffer_; }

    // Frame messages: true when handled, with *result. background is the colour painted
    // without a drawer; dragByClient turns free client spots into the caption.
    bool handle(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, uint32_t background, bool dragByClient,
                LRESULT* result);

    // On: the frame's edges resize the window by dragging (with a custom frame).
    void setResizeByFrame(bool on) { resizeByFrame_ = on; }
    bool isResizing() const { return dragging_; }
    // Mouse messages of a frame drag; true when handled, with *result.
    bool handleResize(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, bool followingCursor, LRESULT* result);
    // The WM_SIZING edge (WMSZ_*) of a hit-test edge code, 0 for other codes.
    static WPARAM sizingCodeOfHit(LRESULT hit);
    // The window rectangle after dragging the edge of hit by (dx, dy).
    static RECT dragged(const RECT& window, LRESULT hit, int32_t dx, int32_t dy);

    // The custom frame's answer for a point dx, dy from the window's top-left corner:
    // edges b = 5 x scale wide with corners c = 30 x scale long; HTCLIENT elsewhere.
    static LRESULT hitTest(int32_t dx, int32_t dy, int32_t width, int32_t height, int32_t scale);

private:
    void paintArea(HWND frame, HDC target, const RECT& area, uint32_t background, bool excludeClient);
    LRESULT edgeUnderCursor(HWND frame) const;
    void dragTo(HWND frame);
    void endResize(HWND frame);

    drawer::IWindow* drawer_ = nullptr;
    bool owned_ = false;
    image::win::BufferedImage* buffer_ = nullptr;
    bool resizeByFrame_ = false;
    // The edge the cursor rests on (0: none) and the drag under way from press_.
    LRESULT armed_ = 0;
    bool dragging_ = false;
    POINT press_ = {0, 0};
    RECT pressedRect_ = {0, 0, 0, 0};  // the frame when the button went down
};

} // namespace s::gui::win
