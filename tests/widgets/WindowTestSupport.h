// Native test widgets and helpers for the top-level window tests.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <vector>

#include "core/thread/ClassPool.h"
#include "framework/CButton.h"
#include "framework/CEdit.h"
#include "support/Released.h"
#include "widgets/gui/IWindow.h"
#include "widgets/gui/win/Leaf.h"
#include "widgets/gui/win/Window.h"

namespace windowtest {

using s::gui::IComponent;
using s::gui::IContainer;
using s::gui::win::Window;

// A leaf over a native push button, made on the thread that attaches it.
class NativeButton : public s::gui::win::Leaf<IComponent>, public CButton {
    S_POOLED_CLASS(NativeButton, 1000, L"s_gui_test_NativeButton")
public:
    void onEvent(s::base::IObject*, int32_t) override {}
    void reset() override {
        resetComponent();
        reflected.clear();
        createdOn = 0;
        answer = 0;
    }
    void setParent(IContainer* container) override {
        attachTo(container);
        if (container != nullptr) {
            createdOn = GetCurrentThreadId();
            const RECT rect = {5, 5, 90, 30};
            Create(L"OK", WS_VISIBLE | BS_PUSHBUTTON, rect, container->getWindow()->getFrameHandle(), 100);
        } else {
            Detach();  // the native button goes with its frame
        }
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= 0x8003 && message <= 0x8015) {
            reflected.push_back(message);
            return answer;
        }
        return CButton::WindowProc(message, wParam, lParam);
    }

    std::vector<UINT> reflected;
    std::atomic<DWORD> createdOn{0};
    LRESULT answer = 0;

protected:
    HWND nativeHandle() const override { return m_hWnd; }

private:
    NativeButton() = default;
};

// A leaf over a native edit field that takes Enter in its pre-translation.
class EnterField : public s::gui::win::Leaf<IComponent>, public CEdit {
    S_POOLED_CLASS(EnterField, 1000, L"s_gui_test_EnterField")
public:
    void onEvent(s::base::IObject*, int32_t) override {}
    void reset() override {
        resetComponent();
        enters = 0;
    }
    void setParent(IContainer* container) override {
        attachTo(container);
        if (container != nullptr) {
            const RECT rect = {5, 40, 150, 60};
            Create(WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, rect, container->getWindow()->getFrameHandle(), 101);
        } else {
            Detach();
        }
    }
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
            ++enters;
            return TRUE;
        }
        return FALSE;
    }

    std::atomic<int> enters{0};

protected:
    HWND nativeHandle() const override { return m_hWnd; }

private:
    EnterField() = default;
};

// Records the events it is told, with the thread they ran on; may run an action.
class Recorder : public s::gui::events::IEventListener {
public:
    void onEvent(s::base::IObject* source, int32_t code) override {
        sources.push_back(source);
        codes.push_back(code);
        threads.push_back(GetCurrentThreadId());
        if (action) {
            action(code);
        }
    }
    int count(int32_t code) const {
        int n = 0;
        for (int32_t c : codes) {
            n += c == code;
        }
        return n;
    }

    std::vector<s::base::IObject*> sources;
    std::vector<int32_t> codes;
    std::vector<DWORD> threads;
    std::function<void(int32_t)> action;
};

// The window's UI thread, to wait for.
inline HANDLE openUiThread(const Window* window) {
    return OpenThread(SYNCHRONIZE, FALSE, window->getUiThreadId());
}

} // namespace windowtest
