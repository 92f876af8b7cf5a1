#include "system/system/network/win/NetworkJob.h"

#include <urlmon.h>

#include "system/system/network/win/BindStatusCallback.h"

namespace s::system::network::win {

using thread::ObjLocker;

NetworkJob::NetworkJob()
    : done_(false), refs_(1), finishedEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), finished_(0), cancelled_(0) {}

NetworkJob::~NetworkJob() {
    if (finishedEvent_ != nullptr) {
        CloseHandle(finishedEvent_);
    }
}

void NetworkJob::releaseRef() {
    if (refs_.fetch_sub(1) == 1) {
        delete this;
    }
}

void NetworkJob::run() {
    execute();
    finished_ = 1;
    SetEvent(finishedEvent_);
    releaseRef();
}

bool NetworkJob::waitFinished(uint32_t ms) const {
    return finished_ != 0 || WaitForSingleObject(finishedEvent_, ms) == WAIT_OBJECT_0;
}

bool NetworkJob::cancel() {
    ObjLocker::Guard guard(lock_);
    if (!done_) {
        cancelled_ = 1;
    }
    return done_;
}

void NetworkJob::reportProgress(uint64_t, uint64_t) {}

bool NetworkJob::fetchToFile(const wchar_t* url, const wchar_t* filePath) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    BindStatusCallback callback(this);
    const HRESULT result = URLDownloadToFileW(nullptr, url, filePath, 0, &callback);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    bool ok = SUCCEEDED(result) && callback.statusAccepted() && !callback.tooLarge() && !isCancelled();
    WIN32_FILE_ATTRIBUTE_DATA data;
    ok = ok && GetFileAttributesExW(filePath, GetFileExInfoStandard, &data);
    const int64_t size = ok ? static_cast<int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow : 0;
    // The moniker takes a connection that closed early for the end of the reply.
    return ok && size <= MAX_REPLY_BYTES && (callback.announcedLength() < 0 || size >= callback.announcedLength());
}

} // namespace s::system::network::win
