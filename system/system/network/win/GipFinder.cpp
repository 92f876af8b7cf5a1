#include "system/system/network/win/GipFinder.h"

#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "core/thread/win/Thread.h"
#include "system/system/network/win/GipJob.h"

namespace s::system::network::win {

using str::strbuffer::StrBuffer;
using thread::Held;
using thread::ObjLocker;
using thread::win::Thread;

GipFinder::GipFinder()
    : thread_(Thread::pool()),
      baseUrl_(StrBuffer::pool()),
      retryWaitMs_(RETRY_WAIT_MS),
      found_(0),
      address_(StrBuffer::pool()),
      job_(nullptr) {
    if (thread_ != nullptr) {
        thread_->setPriority(THREAD_PRIORITY_NORMAL);
    }
}

GipFinder::~GipFinder() {
    {
        ObjLocker::Guard guard(lock_);
        stopLocked();
    }
    if (thread_ != nullptr) {
        thread_->release();
    }
    if (baseUrl_ != nullptr) {
        baseUrl_->release();
    }
    if (address_ != nullptr) {
        address_->release();
    }
}

void GipFinder::collectLocked() {
    if (job_ == nullptr) {
        return;
    }
    if (!found_ && address_ != nullptr && job_->takeAddress(address_)) {
        found_ = 1;
    }
    if (job_->isFinished()) {
        job_->releaseRef();
        job_ = nullptr;
    }
}

void GipFinder::stopLocked() {
    if (job_ == nullptr) {
        return;
    }
    // Ends a pause within one step and a fetch at its next progress report.
    job_->cancel();
    if (!job_->isFinished() && thread_ != nullptr) {
        // Not killed: a killed thread can leave loader or WinINet locks held. A worker
        // still busy is abandoned and ends by itself; the object goes on with a fresh
        // native thread.
        thread_->waitIdleFor(STOP_WAIT_MS);
    }
    collectLocked();
    if (job_ != nullptr) {
        job_->releaseRef();
        job_ = nullptr;
    }
}

void GipFinder::start() {
    ObjLocker::Guard guard(lock_);
    collectLocked();
    if (found_ || job_ != nullptr || thread_ == nullptr || !thread_->isValid() || baseUrl_ == nullptr ||
        baseUrl_->length() == 0) {
        return;
    }
    Held<StrBuffer> url(StrBuffer::pool());
    if (!url) {
        return;
    }
    url->assign(baseUrl_);
    // "http://host/" and "http://host" ask the same page.
    url->trimEndSet(L"/", 1)->append(LOOKUP_PATH);
    GipJob* job = GipJob::create(url.get(), retryWaitMs_);
    if (job == nullptr) {
        return;
    }
    // The worker's reference, dropped by the job as its run ends.
    job->addRef();
    job_ = job;
    thread_->runOnce(job);
}

void GipFinder::stop() {
    ObjLocker::Guard guard(lock_);
    stopLocked();
}

void GipFinder::setBaseUrl(const wchar_t* url) {
    ObjLocker::Guard guard(lock_);
    if (baseUrl_ != nullptr) {
        baseUrl_->assign(url != nullptr ? url : L"");
    }
}

bool GipFinder::getAddress(StrBuffer* target) {
    ObjLocker::Guard guard(lock_);
    collectLocked();
    if (target != nullptr && found_) {
        target->assign(address_);
    } else if (target != nullptr) {
        target->clear();
    }
    return found_ != 0;
}

void GipFinder::setRetryWait(uint32_t ms) {
    ObjLocker::Guard guard(lock_);
    retryWaitMs_ = ms < GipJob::POLL_MS ? GipJob::POLL_MS : ms;
}

void GipFinder::reset() {
    ObjLocker::Guard guard(lock_);
    stopLocked();
    found_ = 0;
    retryWaitMs_ = RETRY_WAIT_MS;
    if (baseUrl_ != nullptr) {
        baseUrl_->clear();
    }
    if (address_ != nullptr) {
        address_->clear();
    }
}

} // namespace s::system::network::win
