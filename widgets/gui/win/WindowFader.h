#pragma once
#include <windows.h>

#include <cstdint>

namespace s::gui::win {

// Transparency of a top-level frame and its pop-up behaviour on hover: fading out (and
// back in once the cursor has left for the display time) or shrinking to a smaller size
// (and growing back). Runs on the frame's UI thread with timers 1-6 on the frame.
class WindowFader {
public:
    enum Timer : UINT_PTR {
        WAIT_FADED = 1, FADE_IN = 2, FADE_OUT = 3, WAIT_SHRUNK = 4, GROW = 5, SHRINK = 6
    };

    WindowFader() { reset(); }
    void reset();

    // Applies a percent (0-100) to the frame; nothing when it is the current one.
    // Leaving 100 makes the frame layered, reaching 100 makes it plain again.
    void applyAlpha(HWND frame, int32_t percent);
    // Stores the target and applies it (100 while onlyWhenTopmost and not topmost).
    void setAlpha(HWND frame, int32_t percent, bool onlyWhenTopmost, bool topmost);
    int32_t alpha() const { return alpha_; }
    int32_t target() const { return target_; }

    // Fade or shrink on hover; -1 for a shrink size leaves that axis.
    void setBehaviour(bool fade, bool shrink, bool shiftOverrides, bool topmostOnly, int32_t displaySeconds,
                      int32_t shrinkWidth, int32_t shrinkHeight);
    // The cursor moved over the frame.
    void onHover(HWND frame, bool topmost);
    // A timer of the frame; false for ids that are not the fader's.
    bool onTimer(HWND frame, UINT_PTR id);
    void stop(HWND frame);

    bool isFading() const { return (timers_ & (1u << WAIT_FADED | 1u << FADE_IN | 1u << FADE_OUT)) != 0; }
    bool isShrunk() const { return fullWidth_ >= 0; }
    bool isAnimating() const { return timers_ != 0; }

    // One step from value toward target by step, never past it.
    static int32_t stepToward(int32_t value, int32_t target, int32_t step);

private:
    void start(HWND frame, UINT_PTR id, UINT ms);
    void kill(HWND frame, UINT_PTR id);
    bool cursorInside(HWND frame, bool fullRect) const;
    bool shiftOverride() const;
    void growBack(HWND frame);

    int32_t alpha_;
    int32_t target_;
    uint8_t fade_, shrink_, shiftOverrides_, topmostOnly_;
    int32_t displaySeconds_;
    int32_t fullWidth_, fullHeight_;
    int32_t shrinkWidth_, shrinkHeight_;
    int32_t countdown_;
    RECT fullRect_;
    uint32_t timers_;
};

} // namespace s::gui::win
