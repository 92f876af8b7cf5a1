#pragma once
#include <windows.h>
#include <ole2.h>

class CWnd;

// An OLE drop target for one window. The derived class answers the drag through the
// four On... calls; points are in the window's client coordinates. The object is not
// reference-counted: it lives as long as its owner, and Revoke (or the destructor)
// takes it off the window first. OLE must be initialised on the window's thread.
class COleDropTarget : public IDropTarget {
public:
    COleDropTarget() = default;
    virtual ~COleDropTarget() { Revoke(); }
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;

    // Registers for the window; false when it is registered already or OLE refuses.
    BOOL Register(CWnd* wnd);
    void Revoke();
    CWnd* GetWindow() const { return wnd_; }

    virtual DWORD OnDragEnter(CWnd* wnd, IDataObject* data, DWORD keyState, POINT point);
    virtual DWORD OnDragOver(CWnd* wnd, IDataObject* data, DWORD keyState, POINT point);
    virtual void OnDragLeave(CWnd* wnd);
    virtual BOOL OnDrop(CWnd* wnd, IDataObject* data, DWORD effect, POINT point);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

private:
    POINT clientPoint(POINTL point) const;

    CWnd* wnd_ = nullptr;
    IDataObject* data_ = nullptr;  // during a drag, held by OLE
};
