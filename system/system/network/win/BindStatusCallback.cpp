#include "system/system/network/win/BindStatusCallback.h"

#include "system/system/network/win/NetworkJob.h"

namespace s::system::network::win {

// The object lives on the stack of the synchronous download call, which holds the
// only references: counting them keeps COM's rules without owning the memory.
BindStatusCallback::BindStatusCallback(NetworkJob* job) : job_(job), refs_(1), status_(0) {}

HRESULT BindStatusCallback::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IBindStatusCallback)) {
        *object = static_cast<IBindStatusCallback*>(this);
    } else if (IsEqualIID(iid, IID_IHttpNegotiate)) {
        *object = static_cast<IHttpNegotiate*>(this);
    } else if (IsEqualIID(iid, IID_IServiceProvider)) {
        *object = static_cast<IServiceProvider*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG BindStatusCallback::AddRef() {
    return refs_.fetch_add(1) + 1;
}

ULONG BindStatusCallback::Release() {
    return refs_.fetch_sub(1) - 1;
}

HRESULT BindStatusCallback::OnStartBinding(DWORD, IBinding*) {
    return S_OK;
}

HRESULT BindStatusCallback::GetPriority(LONG*) {
    return E_NOTIMPL;
}

HRESULT BindStatusCallback::OnLowResource(DWORD) {
    return S_OK;
}

HRESULT BindStatusCallback::OnProgress(ULONG progress, ULONG maximum, ULONG, LPCWSTR) {
    job_->reportProgress(maximum, progress);
    return job_->isCancelled() ? E_ABORT : S_OK;
}

HRESULT BindStatusCallback::OnStopBinding(HRESULT, LPCWSTR) {
    return S_OK;
}

HRESULT BindStatusCallback::GetBindInfo(DWORD*, BINDINFO*) {
    return S_OK;
}

HRESULT BindStatusCallback::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) {
    return S_OK;
}

HRESULT BindStatusCallback::OnObjectAvailable(REFIID, IUnknown*) {
    return S_OK;
}

HRESULT BindStatusCallback::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders) {
    if (additionalHeaders != nullptr) {
        *additionalHeaders = nullptr;
    }
    return job_->isCancelled() ? E_ABORT : S_OK;
}

HRESULT BindStatusCallback::OnResponse(DWORD code, LPCWSTR, LPCWSTR, LPWSTR* additionalHeaders) {
    if (additionalHeaders != nullptr) {
        *additionalHeaders = nullptr;
    }
    status_ = code;
    return S_OK;
}

HRESULT BindStatusCallback::QueryService(REFGUID service, REFIID iid, void** object) {
    if (IsEqualGUID(service, IID_IHttpNegotiate) || IsEqualGUID(service, IID_IBindStatusCallback)) {
        return QueryInterface(iid, object);
    }
    if (object != nullptr) {
        *object = nullptr;
    }
    return E_NOINTERFACE;
}

} // namespace s::system::network::win
