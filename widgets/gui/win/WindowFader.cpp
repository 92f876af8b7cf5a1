#include "widgets/gui/win/WindowFader.h"

#include <mutex>
#include <string>

#include "system/system/win/DllLocater.h"
#include "widgets/gui/win/MessageBoxW.h"

namespace s::gui::win {

namespace {

typedef BOOL(WINAPI* SetLayeredFn)(HWND, COLORREF, BYTE, DWORD);

// "SetLayeredWindowAttributes" of user32, looked up once.
SetLayeredFn setLayered() {
    static SetLayeredFn fn = nullptr;
    static std::once_flag once;
    std::call_once(once, [] {
        static s::system::win::DllLocater* user32 = new s::system::win::DllLocater(L"user32.dll");
        if (user32->handle() == nullptr) {
            const std::wstring text =
                L"Failed to Load user32Dll.dll!!\nError Code - " + std::to_wstring(user32->loadError());
            MessageBoxW::showInformationBox(text.c_str());
            return;
        }
        fn = reinterpret_cast<SetLayeredFn>(
            reinterpret_cast<void*>(GetProcAddress(user32->handle(), "SetLayeredWindowAttributes")));
    });
    return fn;
}

int32_t larger(int32_t a, int32_t b) {
    return a > b ? a : b;
}

} // namespace

void WindowFader::reset() {
    alpha_ = target_ = 100;
    fade_ = shrink_ = shiftOverrides_ = topmostOnly_ = 0;
    displaySeconds_ = 5;
    fullWidth_ = fullHeight_ = -1;
    shrinkWidth_ = shrinkHeight_ = -1;
    countdown_ = 0;
    fullRect_ = RECT{0, 0, 0, 0};
    timers_ = 0;
}

int32_t WindowFader::stepToward(int32_t value, int32_t target, int32_t step) {
    if (value < target) {
        return value + step < target ? value + step : target;
    }
    return value - step > target ? value - step : target;
}

void WindowFader::applyAlpha(HWND frame, int32_t percent) {
    percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    if (percent == alpha_ || frame == nullptr) {
        return;
    }
    SetLayeredFn fn = setLayered();
    if (fn == nullptr) {
        return;
    }
    const LONG_PTR style = GetWindowLongPtrW(frame, GWL_EXSTYLE);
    if (percent < 100 && (style & WS_EX_LAYERED) == 0) {
        SetWindowLongPtrW(frame, GWL_EXSTYLE, style | WS_EX_LAYERED);
    }
    if (percent < 100) {
        fn(frame, 0, static_cast<BYTE>(percent * 255 / 100), LWA_ALPHA);
    } else {
        SetWindowLongPtrW(frame, GWL_EXSTYLE, style & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    }
    alpha_ = percent;
}

void WindowFader::setAlpha(HWND frame, int32_t percent, bool onlyWhenTopmost, bool topmost) {
    target_ = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    applyAlpha(frame, onlyWhenTopmost && !topmost ? 100 : target_);
}

void WindowFader::setBehaviour(bool fade, bool shrink, bool shiftOverrides, bool topmostOnly, int32_t displaySeconds,
                               int32_t shrinkWidth, int32_t shrinkHeight) {
    fade_ = fade ? 1 : 0;
    shrink_ = shrink ? 1 : 0;
    shiftOverrides_ = shiftOverrides ? 1 : 0;
    topmostOnly_ = topmostOnly ? 1 : 0;
    displaySeconds_ = displaySeconds;
    shrinkWidth_ = shrinkWidth;
    shrinkHeight_ = shrinkHeight;
}

void WindowFader::start(HWND frame, UINT_PTR id, UINT ms) {
    if (SetTimer(frame, id, ms, nullptr) != 0) {
        timers_ |= 1u << id;
    }
}

void WindowFader::kill(HWND frame, UINT_PTR id) {
    KillTimer(frame, id);
    timers_ &= ~(1u << id);
}

void WindowFader::stop(HWND frame) {
    for (UINT_PTR id = WAIT_FADED; id <= SHRINK; ++id) {
        kill(frame, id);
    }
}

bool WindowFader::shiftOverride() const {
    return shiftOverrides_ != 0 && ((GetKeyState(VK_LSHIFT) | GetKeyState(VK_RSHIFT)) & 0x8000) != 0;
}

bool WindowFader::cursorInside(HWND frame, bool fullRect) const {
    POINT cursor;
    if (!GetCursorPos(&cursor)) {
        return false;
    }
    RECT rect = fullRect_;
    if (!fullRect) {
        GetWindowRect(frame, &rect);
    }
    return PtInRect(&rect, cursor) != FALSE;
}

void WindowFader::growBack(HWND frame) {
    if (fullWidth_ < 0) {
        return;
    }
    SetWindowPos(frame, nullptr, 0, 0, fullWidth_, fullHeight_, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    fullWidth_ = fullHeight_ = -1;
}

void WindowFader::onHover(HWND frame, bool topmost) {
    if ((fade_ == 0 && shrink_ == 0) || (topmostOnly_ != 0 && !topmost) || shiftOverride()) {
        return;
    }
    if (fade_ != 0) {
        if (isFading()) {
            return;
        }
        stop(frame);
        growBack(frame);
        start(frame, FADE_OUT, 10);
        return;
    }
    if (isAnimating() || isShrunk()) {
        return;
    }
    stop(frame);
    applyAlpha(frame, target_);
    GetWindowRect(frame, &fullRect_);
    fullWidth_ = fullRect_.right - fullRect_.left;
    fullHeight_ = fullRect_.bottom - fullRect_.top;
    start(frame, SHRINK, 10);
}

bool WindowFader::onTimer(HWND frame, UINT_PTR id) {
    switch (id) {
    case FADE_OUT:
        // Steps stop at 0 exactly: a step that jumped past it would never end.
        applyAlpha(frame, stepToward(alpha_, 0, larger(1, target_ / 5)));
        if (alpha_ == 0) {
            // The next phase starts before this one ends, so the fade never looks over
            // to another thread between the two.
            countdown_ = displaySeconds_ * 1000;
            start(frame, WAIT_FADED, 500);
            kill(frame, FADE_OUT);
        }
        return true;
    case WAIT_FADED:
        if (shiftOverride()) {
            countdown_ = 0;
        } else if (cursorInside(frame, false)) {
            return true;
        } else {
            countdown_ -= 500;
        }
        if (countdown_ <= 1) {
            start(frame, FADE_IN, 25);
            kill(frame, WAIT_FADED);
        }
        return true;
    case FADE_IN:
        applyAlpha(frame, stepToward(alpha_, target_, larger(1, target_ / 10)));
        if (alpha_ == target_) {
            kill(frame, FADE_IN);
        }
        return true;
    case SHRINK: {
        RECT rect;
        GetWindowRect(frame, &rect);
        int32_t w = rect.right - rect.left;
        int32_t h = rect.bottom - rect.top;
        const int32_t toW = shrinkWidth_ >= 0 ? shrinkWidth_ : w;
        const int32_t toH = shrinkHeight_ >= 0 ? shrinkHeight_ : h;
        w = stepToward(w, toW, larger(1, fullWidth_ / 5));
        h = stepToward(h, toH, larger(1, fullHeight_ / 5));
        SetWindowPos(frame, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (w == toW && h == toH) {
            kill(frame, SHRINK);
            start(frame, WAIT_SHRUNK, static_cast<UINT>(larger(1, displaySeconds_ * 1000)));
        }
        return true;
    }
    case WAIT_SHRUNK:
        if (!cursorInside(frame, true)) {
            kill(frame, WAIT_SHRUNK);
            start(frame, GROW, 25);
        }
        return true;
    case GROW: {
        RECT rect;
        GetWindowRect(frame, &rect);
        const int32_t w = stepToward(rect.right - rect.left, fullWidth_, larger(1, fullWidth_ / 15));
        const int32_t h = stepToward(rect.bottom - rect.top, fullHeight_, larger(1, fullHeight_ / 15));
        SetWindowPos(frame, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (w == fullWidth_ && h == fullHeight_) {
            kill(frame, GROW);
            fullWidth_ = fullHeight_ = -1;
        }
        return true;
    }
    default:
        return false;
    }
}

} // namespace s::gui::win
