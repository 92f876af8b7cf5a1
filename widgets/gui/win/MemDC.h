#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "framework/CDC.h"

namespace s::image::win { class BufferedImage; }

namespace s::gui::win {

// A memory device context drawing into an image, for double-buffered painting. Taken
// from its pool with acquire and given back with release: giving it back selects the
// previous bitmap again, deletes the context (so no paint leaves one behind) and gives
// the image back to its pool when it was handed over owned.
//
//   if (thread::Held<MemDC> mem{MemDC::acquire(hwnd, buffer, false)}) {
//       drawer->draw(*mem, 0, 0, w, h);
//       BitBlt(dc, 0, 0, w, h, *mem, 0, 0, SRCCOPY);
//   }
class MemDC : public CDC, public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(MemDC, 1000, L"s_gui_win_MemDC")
public:
    // A context compatible with the window's (the screen's for null) with the image's
    // bitmap selected; null when no context can be made (an owned image then goes back).
    static MemDC* acquire(HWND window, image::win::BufferedImage* image, bool owned);

    ~MemDC() override;
    void reset() override;

    image::win::BufferedImage* image() const { return image_; }
    // Contexts made and not yet deleted, process-wide.
    static int32_t liveContexts();

private:
    MemDC() = default;

    image::win::BufferedImage* image_ = nullptr;
    bool owned_ = false;
};

} // namespace s::gui::win
