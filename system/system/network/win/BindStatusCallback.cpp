#include "system/system/network/win/BindStatusCallback.h"

#include "system/system/network/win/NetworkJob.h"

#include <cwchar>

namespace s::system::network::win {

// The object lives on the stack of the synchronous download call, which holds the
// only references: counting them keeps COM's rules without owning the memory.
BindStatusCallback::BindStatusCallback(NetworkJob* job)
    : job_(job), refs_(1), status_(0), announcedLength_(-1), tooLarge_(false) {}

namespace {

// The value of a header of raw CR LF separated headers (name without regard to case);
// null when absent. The value runs to the end of its line.
const wchar_t* headerValue(const wchar_t* headers, const wchar_t* name) {
    const int nameLength = lstrlenW(name);
    for (const wchar_t* line = headers; line != nullptr && *line != 0;) {
        int available = 0;
        while (available < nameLength && line[available] != 0) {
            ++available;
        }
        if (available == nameLength && line[nameLength] == L':' &&
            CompareStringOrdinal(line, nameLength, name, nameLength, TRUE) == CSTR_EQUAL) {
            const wchar_t* value = line + nameLength + 1;
            while (*value == L' ' || *value == L'\t') {
                ++value;
            }
            return value;
        }
        line = wcschr(line, L'\n');
        if (line != nullptr) {
            ++line;
        }
    }
    return nullptr;
}

} // namespace

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
    if (progress > NetworkJob::MAX_REPLY_BYTES) {
        tooLarge_ = true;
        return E_ABORT;
    }
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

HRESULT BindStatusCallback::OnResponse(DWORD code, LPCWSTR responseHeaders, LPCWSTR, LPWSTR* additionalHeaders) {
    if (additionalHeaders != nullptr) {
        *additionalHeaders = nullptr;
    }
    status_ = code;
    // A connection that ends early looks like the end of the body to the moniker;
    // the announced length tells the two apart (not for an encoded body, whose
    // decoded size differs).
    announcedLength_ = -1;
    const wchar_t* length = headerValue(responseHeaders, L"Content-Length");
    if (length != nullptr && *length >= L'0' && *length <= L'9' &&
        headerValue(responseHeaders, L"Content-Encoding") == nullptr) {
        int64_t n = 0;
        for (; *length >= L'0' && *length <= L'9' && n < (INT64_MAX - 9) / 10; ++length) {
            n = n * 10 + (*length - L'0');
        }
        announcedLength_ = n;
    }
    if (announcedLength_ > static_cast<int64_t>(NetworkJob::MAX_REPLY_BYTES)) {
        tooLarge_ = true;
        return E_ABORT;
    }
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
