#include "system/system/network/win/DownloadJob.h"

#include <wininet.h>

#include <new>

#include "core/col/_array/ArrayU08.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "system/file/win/PathWin.h"
#include "system/shell/win/Shell.h"
#include "system/system/network/win/Downloader.h"

namespace s::system::network::win {

using col::_array::ArrayU08;
using file::win::PathWin;
using str::strbuffer::StrBuffer;
using thread::ObjLocker;

namespace {

// Closes a WinINet handle at the end of a scope.
class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    ~InternetHandle() {
        if (handle_ != nullptr) {
            InternetCloseHandle(handle_);
        }
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return handle_; }

private:
    HINTERNET handle_;
};

void copyText(StrBuffer* target, const StrBuffer* source) {
    if (target != nullptr) {
        target->assign(source != nullptr ? source->c_str() : L"");
    }
}

} // namespace

DownloadJob::Request::Request() : host(StrBuffer::pool()), path(StrBuffer::pool()) {}

DownloadJob::Request::~Request() {
    if (host != nullptr) {
        host->release();
    }
    if (path != nullptr) {
        path->release();
    }
}

bool DownloadJob::splitUrl(const wchar_t* url, Request& request) {
    if (request.host == nullptr || request.path == nullptr) {
        return false;
    }
    request.host->clear();
    request.path->clear();
    request.port = 0;
    request.secure = false;
    request.flags = 0;
    if (url == nullptr) {
        return false;
    }
    // Only a scheme at the start counts: "http://" inside a query names no host.
    uint32_t hostStart = 0;
    if (CompareStringOrdinal(url, lstrlenW(url) < 7 ? -1 : 7, L"http://", -1, TRUE) == CSTR_EQUAL) {
        hostStart = 7;
    } else if (CompareStringOrdinal(url, lstrlenW(url) < 8 ? -1 : 8, L"https://", -1, TRUE) == CSTR_EQUAL) {
        hostStart = 8;
        request.secure = true;
    } else {
        return false;
    }
    const wchar_t* host = url + hostStart;
    const wchar_t* slash = wcschr(host, L'/');
    if (slash == nullptr || slash == host) {
        return false;
    }
    // An explicit port belongs to the connection, not to the host name.
    uint32_t hostLength = static_cast<uint32_t>(slash - host);
    uint32_t port = request.secure ? 443 : 80;
    for (uint32_t i = hostLength; i-- > 0;) {
        if (host[i] == L']') {
            break;
        }
        if (host[i] != L':') {
            continue;
        }
        if (i + 1 == hostLength || i + 6 < hostLength || i == 0) {
            return false;
        }
        port = 0;
        for (uint32_t k = i + 1; k < hostLength; ++k) {
            if (host[k] < L'0' || host[k] > L'9') {
                return false;
            }
            port = port * 10 + static_cast<uint32_t>(host[k] - L'0');
        }
        if (port == 0 || port > 65535) {
            return false;
        }
        hostLength = i;
        break;
    }
    request.host->appendUnits(host, static_cast<int32_t>(hostLength));
    request.path->append(slash);
    request.port = static_cast<uint16_t>(port);
    request.flags = REQUEST_FLAGS | (request.secure ? SECURE_FLAG : 0);
    return true;
}

DownloadJob::DownloadJob()
    : url_(StrBuffer::pool()),
      userAgent_(StrBuffer::pool()),
      referrer_(StrBuffer::pool()),
      keepText_(false),
      progress_(nullptr),
      user_(nullptr),
      extra_(0),
      filePath_(StrBuffer::pool()),
      text_(StrBuffer::pool()) {}

DownloadJob::~DownloadJob() {
    StrBuffer* const owned[] = {url_, userAgent_, referrer_, filePath_, text_};
    for (StrBuffer* text : owned) {
        if (text != nullptr) {
            text->release();
        }
    }
}

DownloadJob* DownloadJob::create(const StrBuffer* url, const StrBuffer* userAgent, const StrBuffer* referrer,
                                 bool keepText, ProgressFunction progress, void* user, uintptr_t extra) {
    DownloadJob* job = new (std::nothrow) DownloadJob();
    if (job == nullptr) {
        return nullptr;
    }
    if (!job->isValid() || job->url_ == nullptr || job->userAgent_ == nullptr ||
        job->referrer_ == nullptr || job->filePath_ == nullptr || job->text_ == nullptr) {
        job->releaseRef();
        return nullptr;
    }
    copyText(job->url_, url);
    copyText(job->userAgent_, userAgent);
    copyText(job->referrer_, referrer);
    job->keepText_ = keepText;
    job->progress_ = progress;
    job->user_ = user;
    job->extra_ = extra;
    return job;
}

bool DownloadJob::takeResult(StrBuffer* filePath, StrBuffer* text) {
    ObjLocker::Guard guard(lock_);
    if (done_) {
        copyText(filePath, filePath_);
        copyText(text, text_);
    }
    return done_;
}

void DownloadJob::reportProgress(uint64_t maximum, uint64_t position) {
    if (progress_ == nullptr) {
        return;
    }
    // Under the lock that cancel() takes: once the caller gave up, its function and
    // user value are never touched again.
    ObjLocker::Guard guard(lock_);
    if (!isCancelled()) {
        progress_(maximum, position, user_, extra_);
    }
}

void DownloadJob::execute() {
    if (isCancelled() || !Downloader::isOnline()) {
        return;
    }
    PathWin* file = shell::win::newTempFilePath();
    if (file == nullptr) {
        return;
    }
    bool ok = fetch(file->getText());
    StrBuffer* text = nullptr;
    if (ok && keepText_) {
        ArrayU08* bytes = ArrayU08::pool();
        text = StrBuffer::pool();
        ok = bytes != nullptr && text != nullptr && file->readAllBytes(bytes) && bytes->count() > 0 &&
             text->reserveExact(bytes->count());
        if (ok) {
            // Every byte becomes the character of the same code, 0x80-0xFF included.
            text->appendBytes(reinterpret_cast<const char*>(bytes->items()), static_cast<int32_t>(bytes->count()));
        }
        if (bytes != nullptr) {
            bytes->release();
        }
    }
    bool keepFile = false;
    {
        ObjLocker::Guard guard(lock_);
        if (ok && !isCancelled()) {
            done_ = true;
            filePath_->assign(file->getText());
            if (text != nullptr) {
                text_->assign(text);
            }
            keepFile = !keepText_;
        }
    }
    if (!keepFile) {
        DeleteFileW(file->getApiText());
    }
    if (text != nullptr) {
        text->release();
    }
    file->release();
}

bool DownloadJob::fetch(const wchar_t* filePath) {
    if (userAgent_->length() != 0 || referrer_->length() != 0) {
        return fetchWinInet(filePath);
    }
    return fetchToFile(url_->c_str(), filePath);
}

bool DownloadJob::fetchWinInet(const wchar_t* filePath) {
    Request request;
    if (!splitUrl(url_->c_str(), request)) {
        return false;
    }
    const wchar_t* agent = userAgent_->length() != 0 ? userAgent_->c_str() : DEFAULT_USER_AGENT;
    InternetHandle session(InternetOpenW(agent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (session.get() == nullptr || isCancelled()) {
        return false;
    }
    InternetHandle connection(InternetConnectW(session.get(), request.host->c_str(), request.port, nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (connection.get() == nullptr) {
        return false;
    }
    InternetHandle httpRequest(HttpOpenRequestW(connection.get(), L"GET", request.path->c_str(), nullptr,
                                                referrer_->length() != 0 ? referrer_->c_str() : nullptr, nullptr,
                                                request.flags, 0));
    return httpRequest.get() != nullptr && receive(httpRequest.get(), filePath);
}

bool DownloadJob::receive(void* handle, const wchar_t* filePath) {
    HINTERNET request = static_cast<HINTERNET>(handle);
    if (isCancelled() || !HttpSendRequestW(request, nullptr, 0, nullptr, 0)) {
        return false;
    }
    // An error page is not the file that was asked for.
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
        status < 200 || status > 299) {
        return false;
    }
    DWORD length = 0;
    size = sizeof(length);
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size, nullptr)) {
        length = 0;
        reportProgress(1, 1);
    }
    if (length > MAX_REPLY_BYTES) {
        return false;
    }
    ArrayU08* body = ArrayU08::pool();
    if (body == nullptr) {
        return false;
    }
    bool ok = false;
    for (;;) {
        if (isCancelled() || !body->reserve(body->count() + CHUNK_BYTES)) {
            break;
        }
        DWORD got = 0;
        if (!InternetReadFile(request, body->items() + body->count(), CHUNK_BYTES, &got)) {
            break;
        }
        if (got == 0) {
            // A connection that closed before the announced length is no whole reply.
            ok = length == 0 || body->count() >= length;
            break;
        }
        body->setCount(body->count() + got);
        if (body->count() > MAX_REPLY_BYTES) {
            break;  // more than any reply we take: not kept
        }
        if (length != 0) {
            reportProgress(length, body->count() < length ? body->count() : length);
        }
    }
    if (ok) {
        PathWin* file = PathWin::create(filePath);
        ok = file != nullptr && file->writeAllBytes(body, false);
        if (file != nullptr) {
            file->release();
        }
    }
    body->release();
    return ok && !isCancelled();
}

} // namespace s::system::network::win
