#include "framework/COleDropTarget.h"

#include "framework/CWnd.h"

BOOL COleDropTarget::Register(CWnd* wnd) {
    if (wnd_ != nullptr || wnd == nullptr || wnd->m_hWnd == nullptr) {
        return FALSE;
    }
    if (FAILED(RegisterDragDrop(wnd->m_hWnd, this))) {
        return FALSE;
    }
    wnd_ = wnd;
    return TRUE;
}

void COleDropTarget::Revoke() {
    if (wnd_ != nullptr) {
        if (wnd_->m_hWnd != nullptr) {
            RevokeDragDrop(wnd_->m_hWnd);
        }
        wnd_ = nullptr;
    }
}

DWORD COleDropTarget::OnDragEnter(CWnd*, IDataObject*, DWORD, POINT) {
    return DROPEFFECT_NONE;
}

DWORD COleDropTarget::OnDragOver(CWnd*, IDataObject*, DWORD, POINT) {
    return DROPEFFECT_NONE;
}

void COleDropTarget::OnDragLeave(CWnd*) {}

BOOL COleDropTarget::OnDrop(CWnd*, IDataObject*, DWORD, POINT) {
    return FALSE;
}

HRESULT COleDropTarget::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

POINT COleDropTarget::clientPoint(POINTL point) const {
    POINT client = {point.x, point.y};
    if (wnd_ != nullptr && wnd_->m_hWnd != nullptr) {
        ScreenToClient(wnd_->m_hWnd, &client);
    }
    return client;
}

HRESULT COleDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    data_ = data;
    *effect = OnDragEnter(wnd_, data, keyState, clientPoint(point));
    return S_OK;
}

HRESULT COleDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
    *effect = OnDragOver(wnd_, data_, keyState, clientPoint(point));
    return S_OK;
}

HRESULT COleDropTarget::DragLeave() {
    OnDragLeave(wnd_);
    data_ = nullptr;
    return S_OK;
}

HRESULT COleDropTarget::Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect) {
    const BOOL dropped = OnDrop(wnd_, data, *effect, clientPoint(point));
    data_ = nullptr;
    if (!dropped) {
        *effect = DROPEFFECT_NONE;
    }
    return S_OK;
}
