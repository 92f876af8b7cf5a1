// Shared pieces of the toolkit tests that drive real windows: a shown window holding
// what a test adds, a recorder for the message-box seam, and an in-test data object.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "core/thread/ClassPool.h"
#include "framework/AfxMessageBox.h"
#include "widgets/gui/win/Container.h"

namespace toolkittest {

// Records every box the seam is asked to show and answers IDOK.
struct BoxRecorder {
    BoxRecorder() { previous = AfxSetMessageBoxFunction(&record); }
    ~BoxRecorder() { AfxSetMessageBoxFunction(previous); }
    static int WINAPI record(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
        texts().push_back(text != nullptr ? text : L"");
        captions().push_back(caption != nullptr ? caption : L"");
        types().push_back(type);
        return IDOK;
    }
    static std::vector<std::wstring>& texts() {
        static std::vector<std::wstring> list;
        return list;
    }
    static std::vector<std::wstring>& captions() {
        static std::vector<std::wstring> list;
        return list;
    }
    static std::vector<UINT>& types() {
        static std::vector<UINT> list;
        return list;
    }
    static void clear() {
        texts().clear();
        captions().clear();
        types().clear();
    }
    AfxMessageBoxFn previous;
};

// A window shown at a known place and size.
inline s::gui::win::Window* shownWindow(int x, int y, int w, int h) {
    s::gui::win::Window* window = s::gui::win::Window::pool();
    window->setBounds(x, y, w, h);
    window->setVisible(true);
    return window;
}

// Lets the UI thread of the window handle what was posted to it.
inline void settle(s::gui::win::Window* window) {
    SendMessageW(window->getFrameHandle(), WM_NULL, 0, 0);
}

// Data that offers one HGLOBAL in one clipboard format.
class OneFormatData : public IDataObject {
public:
    OneFormatData(CLIPFORMAT format, const void* bytes, SIZE_T size) : format_(format), bytes_(size) {
        memcpy(bytes_.data(), bytes, size);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) {
            return DV_E_FORMATETC;
        }
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes_.size());
        memcpy(GlobalLock(memory), bytes_.data(), bytes_.size());
        GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        ++handedOut;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format->cfFormat == format_ && (format->tymed & TYMED_HGLOBAL) != 0 ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

    int handedOut = 0;

private:
    CLIPFORMAT format_;
    std::vector<char> bytes_;
};

// An in-process DROPFILES block of wide paths, as the shell hands it to a window.
inline HGLOBAL dropFiles(const std::vector<std::wstring>& paths) {
    SIZE_T units = 1;
    for (const std::wstring& path : paths) {
        units += path.size() + 1;
    }
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + units * sizeof(wchar_t));
    DROPFILES* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    wchar_t* at = reinterpret_cast<wchar_t*>(header + 1);
    for (const std::wstring& path : paths) {
        memcpy(at, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
        at += path.size() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

// A container whose native window is gone: whatever is attached to it cannot be made.
class DeadParent : public s::gui::win::Container<s::gui::IContainer> {
    S_POOLED_CLASS(DeadParent, 1000, L"s_gui_test_DeadParent")
public:
    void onEvent(s::base::IObject*, int32_t) override {}
    void reset() override { resetContainer(); }
    HWND dead = nullptr;

protected:
    HWND nativeHandle() const override { return dead; }
};

} // namespace toolkittest
