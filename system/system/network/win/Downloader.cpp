#include "system/system/network/win/Downloader.h"

#include <wininet.h>

#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/win/Thread.h"
#include "system/system/network/win/DownloadJob.h"

namespace s::system::network::win {

using str::strbuffer::StrBuffer;
using thread::ObjLocker;
using thread::win::Thread;

namespace {

bool systemConnectionTest() {
    DWORD flags = 0;
    return InternetGetConnectedState(&flags, 0) != FALSE && flags != INTERNET_CONNECTION_OFFLINE;
}

std::atomic<Downloader::ConnectionTest> connectionTest{&systemConnectionTest};

} // namespace

bool Downloader::isOnline() {
    return connectionTest.load()();
}

Downloader::ConnectionTest Downloader::setConnectionTest(ConnectionTest test) {
    return connectionTest.exchange(test != nullptr ? test : &systemConnectionTest);
}

Downloader::Downloader()
    : thread_(Thread::pool()),
      stopRequested_(0),
      url_(StrBuffer::pool()),
      userAgent_(StrBuffer::pool()),
      referrer_(StrBuffer::pool()),
      keepText_(0),
      filePath_(StrBuffer::pool()),
      text_(StrBuffer::pool()),
      done_(0),
      progress_(nullptr),
      progressUser_(nullptr),
      progressExtra_(0),
      job_(nullptr) {
    if (thread_ != nullptr) {
        thread_->setPriority(THREAD_PRIORITY_HIGHEST);
    }
}

Downloader::~Downloader() {
    {
        ObjLocker::Guard guard(lock_);
        stopLocked();
    }
    if (thread_ != nullptr) {
        thread_->release();
    }
    StrBuffer* const owned[] = {url_, userAgent_, referrer_, filePath_, text_};
    for (StrBuffer* text : owned) {
        if (text != nullptr) {
            text->release();
        }
    }
}

bool Downloader::isRunningLocked() const {
    return job_ != nullptr && !job_->isFinished();
}

void Downloader::stopLocked() {
    if (job_ != nullptr) {
        // A fetch that succeeded during the cut-off is kept whole; any other is
        // dropped whole (the job publishes its result under the same lock).
        if (!job_->isFinished() && !job_->cancel() && thread_ != nullptr) {
            // Not killed: a killed thread can leave loader or WinINet locks held. A
            // worker still busy is abandoned and ends by itself; the object goes on
            // with a fresh native thread.
            thread_->waitIdleFor(STOP_WAIT_MS);
        }
        takeResultLocked();
    }
    stopRequested_ = 0;
}

void Downloader::collectFinished() const {
    ObjLocker::Guard guard(lock_);
    if (job_ != nullptr && job_->isFinished()) {
        takeResultLocked();
    }
}

void Downloader::takeResultLocked() const {
    StrBuffer* path = StrBuffer::pool();
    StrBuffer* text = StrBuffer::pool();
    if (path != nullptr && text != nullptr && job_->takeResult(path, text)) {
        done_ = 1;
        filePath_->assign(path);
        text_->assign(text);
    }
    if (path != nullptr) {
        path->release();
    }
    if (text != nullptr) {
        text->release();
    }
    job_->releaseRef();
    job_ = nullptr;
}

bool Downloader::isDone() const {
    collectFinished();
    return done_ != 0;
}

const StrBuffer* Downloader::filePathText() const {
    collectFinished();
    return filePath_;
}

const StrBuffer* Downloader::textValue() const {
    collectFinished();
    return text_;
}

void Downloader::start() {
    ObjLocker::Guard guard(lock_);
    if (done_) {
        return;
    }
    if (isRunningLocked()) {
        if (!stopRequested_) {
            return;
        }
        stopLocked();
    } else if (job_ != nullptr) {
        // Ended since: take its result.
        stopLocked();
    }
    if (done_ || thread_ == nullptr || !thread_->isValid() || url_ == nullptr) {
        return;
    }
    DownloadJob* job = DownloadJob::create(url_, userAgent_, referrer_, keepText_ != 0, progress_, progressUser_,
                                           progressExtra_);
    if (job == nullptr) {
        return;
    }
    // The worker's reference, dropped by the job as its run ends. Should the worker
    // be abandoned before it ever took the job, that one record stays allocated.
    job->addRef();
    job_ = job;
    thread_->runOnce(job);
}

void Downloader::stop(bool wait) {
    stopRequested_ = 1;
    if (wait) {
        ObjLocker::Guard guard(lock_);
        stopLocked();
    }
}

void Downloader::setUrl(const wchar_t* url) {
    if (url_ != nullptr) {
        url_->assign(url != nullptr ? url : L"");
    }
}

void Downloader::setUserAgent(const wchar_t* agent) {
    if (userAgent_ != nullptr) {
        userAgent_->assign(agent != nullptr ? agent : L"");
    }
}

void Downloader::setReferrer(const wchar_t* referrer) {
    if (referrer_ != nullptr) {
        referrer_->assign(referrer != nullptr ? referrer : L"");
    }
}

bool Downloader::run(int32_t limitMs, ProgressFunction progress, void* user, uintptr_t extra) {
    if (!isOnline()) {
        return false;
    }
    DownloadJob* job = nullptr;
    {
        ObjLocker::Guard guard(lock_);
        progress_ = progress;
        progressUser_ = user;
        progressExtra_ = extra;
    }
    start();
    {
        ObjLocker::Guard guard(lock_);
        if (job_ != nullptr) {
            job = job_;
            job->addRef();
        }
    }
    if (job == nullptr) {
        return done_ != 0;
    }
    // Wakes as soon as the fetch ends; looks for a stop request between waits.
    for (int32_t left = limitMs; !stopRequested_ && left > 0;) {
        const int32_t step = left < POLL_MS ? left : POLL_MS;
        if (job->waitFinished(static_cast<uint32_t>(step))) {
            break;
        }
        left -= step;
    }
    job->releaseRef();
    ObjLocker::Guard guard(lock_);
    stopLocked();
    return done_ != 0;
}

void Downloader::reset() {
    {
        ObjLocker::Guard guard(lock_);
        stopLocked();
        done_ = 0;
        keepText_ = 0;
        progress_ = nullptr;
        progressUser_ = nullptr;
        progressExtra_ = 0;
    }
    StrBuffer* const texts[] = {url_, userAgent_, referrer_, filePath_, text_};
    for (StrBuffer* text : texts) {
        if (text != nullptr) {
            text->clear();
        }
    }
}

} // namespace s::system::network::win
