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
    void reset();

    // The buffer the frame paints into (children copy their background from it).
    image::win::BufferedImage* backBuffer() const { return buffer_; }

    // Frame messages: true when handled, with *result. background is the colour painted
    // without a drawer; dragByClient turns free client spots into the caption.
    bool handle(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, uint32_t background, bool dragByClient,
                LRESULT* result);

    // The custom frame's answer for a point dx, dy from the window's top-left corner:
    // edges b = 5 x scale wide with corners c = 30 x scale long; HTCLIENT elsewhere.
    static LRESULT hitTest(int32_t dx, int32_t dy, int32_t width, int32_t height, int32_t scale);

private:
    void paintArea(HWND frame, HDC target, const RECT& area, uint32_t background, bool excludeClient);

    drawer::IWindow* drawer_ = nullptr;
    bool owned_ = false;
    image::win::BufferedImage* buffer_ = nullptr;
};

} // namespace s::gui::win
