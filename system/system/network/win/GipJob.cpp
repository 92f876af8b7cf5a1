#include "system/system/network/win/GipJob.h"

#include <new>

#include "core/str/strbuffer/StrBuffer.h"
#include "system/file/win/PathWin.h"
#include "system/shell/win/Shell.h"
#include "system/system/network/win/Downloader.h"

namespace s::system::network::win {

using file::win::PathWin;
using str::strbuffer::StrBuffer;
using thread::ObjLocker;

GipJob::GipJob() : url_(StrBuffer::pool()), retryWaitMs_(0), address_(StrBuffer::pool()) {}

GipJob::~GipJob() {
    if (url_ != nullptr) {
        url_->release();
    }
    if (address_ != nullptr) {
        address_->release();
    }
}

GipJob* GipJob::create(const StrBuffer* url, uint32_t retryWaitMs) {
    GipJob* job = new (std::nothrow) GipJob();
    if (job == nullptr) {
        return nullptr;
    }
    if (!job->isValid() || job->url_ == nullptr || job->address_ == nullptr || url == nullptr) {
        job->releaseRef();
        return nullptr;
    }
    job->url_->assign(url);
    job->retryWaitMs_ = retryWaitMs;
    return job;
}

bool GipJob::takeAddress(StrBuffer* target) {
    ObjLocker::Guard guard(lock_);
    if (done_ && target != nullptr) {
        target->assign(address_);
    }
    return done_;
}

void GipJob::execute() {
    while (!isCancelled()) {
        if (Downloader::isOnline() && lookUp()) {
            return;
        }
        for (uint32_t waited = 0; waited < retryWaitMs_ && !isCancelled(); waited += POLL_MS) {
            const uint32_t left = retryWaitMs_ - waited;
            Sleep(left < POLL_MS ? left : POLL_MS);
        }
    }
}

bool GipJob::lookUp() {
    // A file of our own rather than the download cache, which could answer with an
    // address found before.
    PathWin* file = shell::win::newTempFilePath();
    if (file == nullptr) {
        return false;
    }
    char bytes[READ_BYTES];
    DWORD got = 0;
    if (fetchToFile(url_->c_str(), file->getText())) {
        HANDLE handle = CreateFileW(file->getApiText(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            while (got < READ_BYTES) {
                DWORD n = 0;
                if (!ReadFile(handle, bytes + got, READ_BYTES - got, &n, nullptr)) {
                    got = 0;  // a broken read names no address
                    break;
                }
                if (n == 0) {
                    break;
                }
                got += n;
            }
            CloseHandle(handle);
        }
    }
    DeleteFileW(file->getApiText());
    file->release();
    if (got == 0) {
        return false;
    }
    ObjLocker::Guard guard(lock_);
    if (isCancelled()) {
        return true;
    }
    // One character per byte, 0x80-0xFF as U+0080-U+00FF.
    address_->clear();
    address_->appendBytes(bytes, static_cast<int32_t>(got < ADDRESS_CHARS ? got : ADDRESS_CHARS));
    done_ = address_->length() != 0;
    return done_;
}

} // namespace s::system::network::win
