#pragma once
#include <windows.h>
#include <urlmon.h>

#include <atomic>
#include <cstdint>

namespace s::system::network::win {

class NetworkJob;

// The progress listener of a URL-moniker download: forwards progress to the job,
// aborts once the job was given up or the reply grows past the job's limit, and notes the HTTP status of the reply (the
// moniker saves an error page as if it were the file).
class BindStatusCallback : public IBindStatusCallback, public IHttpNegotiate, public IServiceProvider {
public:
    explicit BindStatusCallback(NetworkJob* job);
    BindStatusCallback(const BindStatusCallback&) = delete;
    BindStatusCallback& operator=(const BindStatusCallback&) = delete;

    // No status seen (not an HTTP fetch) or a 2xx one.
    bool statusAccepted() const { return status_ == 0 || (status_ >= 200 && status_ <= 299); }
    uint32_t status() const { return status_; }
    // The body length the reply announced; -1 when it announced none or an encoded body.
    int64_t announcedLength() const { return announcedLength_; }
    // Whether the reply announced or brought more than the job takes (the fetch was aborted).
    bool tooLarge() const { return tooLarge_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD reserved, IBinding* binding) override;
    HRESULT STDMETHODCALLTYPE GetPriority(LONG* priority) override;
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG maximum, ULONG statusCode, LPCWSTR text) override;
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT result, LPCWSTR error) override;
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format,
                                              STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID iid, IUnknown* object) override;

    HRESULT STDMETHODCALLTYPE BeginningTransaction(LPCWSTR url, LPCWSTR headers, DWORD reserved,
                                                   LPWSTR* additionalHeaders) override;
    HRESULT STDMETHODCALLTYPE OnResponse(DWORD code, LPCWSTR responseHeaders, LPCWSTR requestHeaders,
                                         LPWSTR* additionalHeaders) override;

    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** object) override;

private:
    NetworkJob* job_;
    std::atomic<ULONG> refs_;
    uint32_t status_;
    int64_t announcedLength_;
    bool tooLarge_;
};

} // namespace s::system::network::win
