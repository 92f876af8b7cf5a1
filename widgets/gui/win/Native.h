#pragma once
#include <windows.h>

#include <type_traits>

#include "framework/CWnd.h"
#include "widgets/gui/IContainer.h"
#include "widgets/gui/win/Container.h"
#include "widgets/gui/win/ComponentState.h"
#include "widgets/gui/win/PrivateMessages.h"
#include "widgets/gui/win/ToolkitWindowClass.h"

namespace s::gui::win {

// Sent to a widget's native window by other threads: the window is destroyed on the
// thread that owns it (a thread cannot destroy another thread's window).
constexpr UINT WM_DESTROY_NATIVE = PM_DESTROY;

// A widget over a native window: Base is Leaf<IKind> or Container<IKind>, Wnd the
// framework wrapper of its native kind (CWnd, CButton, CComboBox...).
//
//   class Spacer : public Native<Leaf<ISpacer>> {
//       void setParent(IContainer* c) override { attachNative(c, L"STATIC", L"", 0); }
//   };
//
// Kinds that handle messages chain their WindowProc to Native::WindowProc.
template <class Base, class Wnd = CWnd>
class Native : public Base, public Wnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_DESTROY_NATIVE) {
            Wnd::DestroyWindow();
            return 0;
        }
        if constexpr (std::is_base_of_v<IContainer, Base>) {
            if (message == WM_ATTACH_CHILD) {
                if (IComponent* child = reinterpret_cast<IComponent*>(wParam)) {
                    child->setParent(this);
                }
                return 0;
            }
        }
        return Wnd::WindowProc(message, wParam, lParam);
    }

protected:
    HWND nativeHandle() const override { return this->GetSafeHwnd(); }

    // The end of a widget's procedure when it paints itself whole: the background is
    // never erased, WM_PAINT runs paint, the rest goes to the native procedure.
    template <class Paint>
    LRESULT paintedWindowProc(UINT message, WPARAM wParam, LPARAM lParam, Paint paint) {
        if (message == WM_ERASEBKGND) {
            return 1;
        }
        if (message == WM_PAINT) {
            paint();
            return 0;
        }
        return Native::WindowProc(message, wParam, lParam);
    }

    // The attach body of a plain control. With a container: records it and its window, then
    // creates the control inside the container's native window at the recorded bounds,
    // shown when the visible flag is set, else hidden and parked. False when the container
    // has no native window yet or creation fails (the widget stays recorded). Runs on the
    // window's UI thread. With null: destroys the control and forgets parent and window.
    bool attachNative(IContainer* container, const wchar_t* className, const wchar_t* text, DWORD style,
                      DWORD exStyle = 0, UINT controlId = 0) {
        if (container == nullptr) {
            destroyNative();
            this->attachTo(nullptr);
            return true;
        }
        this->attachTo(container);
        forgetLostWindow();
        HWND parentHandle = container->getNativeHandle();
        if (parentHandle == nullptr || this->GetSafeHwnd() != nullptr) {
            return false;
        }
        const ComponentState& s = this->state_;
        const bool shown = s.visible != 0;
        style = (style | WS_CHILD) & ~static_cast<DWORD>(WS_VISIBLE);
        return Wnd::CreateEx(exStyle, className, text, shown ? style | WS_VISIBLE : style,
                             shown ? s.x + s.dx : ComponentState::PARKED_X,
                             shown ? s.y + s.dy : ComponentState::PARKED_Y, s.width, s.height, parentHandle,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId))) != FALSE;
    }

    // attachNative for a control that reports a failed creation: when the container has
    // a window but the control could not be made, "Window Creation Failed!" is shown
    // (through the message-box seam). True when the control exists afterwards; false
    // after a detach (null container).
    bool attachControl(IContainer* container, const wchar_t* className, const wchar_t* text, DWORD style,
                       DWORD exStyle, UINT controlId) {
        if (container == nullptr) {
            attachNative(nullptr, className, text, style, exStyle, controlId);
            return false;
        }
        if (attachNative(container, className, text, style, exStyle, controlId)) {
            return true;
        }
        if (container != nullptr && container->getNativeHandle() != nullptr && this->GetSafeHwnd() == nullptr) {
            showCreationFailed(MB_ICONWARNING);
        }
        return this->GetSafeHwnd() != nullptr;
    }

    // Hands a key press up to the parent's native window, so that the top-level window
    // hears every key; true when the parent took it (answered 0).
    bool forwardKeyToParent(WPARAM wParam, LPARAM lParam) const {
        IContainer* parent = this->getParent();
        HWND above = parent != nullptr ? parent->getNativeHandle() : nullptr;
        return above != nullptr && ::SendMessageW(above, WM_KEYDOWN, wParam, lParam) == 0;
    }
    // A container's WM_KEYDOWN from a child: up to the parent; a container takes no key
    // itself, so it answers 0 (taken) only when a parent took it, and the key goes on
    // to the control otherwise.
    LRESULT passKeyUp(WPARAM wParam, LPARAM lParam) const { return forwardKeyToParent(wParam, lParam) ? 0 : 1; }

    // attachNative for a container, with the "Window Creation Failed!" box when the
    // container's window could not make the control; true when the control exists.
    bool attachOrReport(IContainer* container, const wchar_t* className, DWORD style) {
        if (attachNative(container, className, L"", style)) {
            return true;
        }
        if (container->getNativeHandle() != nullptr && this->GetSafeHwnd() == nullptr) {
            showCreationFailed(MB_ICONWARNING);
        }
        return false;
    }

    // Destroys the native window, on its own thread when another thread owns it.
    void destroyNative() {
        HWND handle = this->GetSafeHwnd();
        if (handle == nullptr) {
            return;
        }
        if (GetWindowThreadProcessId(handle, nullptr) == GetCurrentThreadId()) {
            Wnd::DestroyWindow();
        } else {
            SendMessageW(handle, WM_DESTROY_NATIVE, 0, 0);
        }
        forgetLostWindow();
    }

    // A thread that ends takes its windows with it without a word to their objects: a
    // handle that names no window any more is forgotten, so that a pooled widget never
    // keeps one into its next use.
    void forgetLostWindow() {
        HWND handle = this->GetSafeHwnd();
        if (handle != nullptr && !::IsWindow(handle)) {
            Wnd::Detach();
        }
    }
};

} // namespace s::gui::win
