#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/ITask.h"
#include "core/thread/ObjLocker.h"

namespace s::system::network::win {

// A fetch run on a worker thread and shared by counted references (its owner's and
// the worker's), so an owner that stops waiting can abandon it instead of killing the
// thread: it runs on, touches nothing but itself, drops its result and is freed when
// its run ends. Results are published under lock_, which cancel() takes too.
class NetworkJob : public base::IObject, public thread::ITask {
public:
    // The largest reply taken (a version check is a few bytes): a longer one fails
    // and leaves no file, and is never held whole in memory.
    static constexpr uint32_t MAX_REPLY_BYTES = 1u << 20;

    void addRef() { refs_.fetch_add(1); }
    void releaseRef();

    // A job exists only with its settings.
    base::IObject* newInstance() const override { return nullptr; }

    // The task body: execute(), then marks the run finished and drops the worker's
    // reference as its last step.
    void run() override;

    bool isFinished() const { return finished_ != 0; }
    // True when the run ended within ms.
    bool waitFinished(uint32_t ms) const;
    // Gives up on the job unless it already succeeded; afterwards it reports no
    // progress and keeps no result. Returns whether it had succeeded.
    bool cancel();
    bool isCancelled() const { return cancelled_ != 0; }

    // Progress of a fetch, on the worker thread; dropped unless a job forwards it.
    virtual void reportProgress(uint64_t maximum, uint64_t position);

protected:
    NetworkJob();
    ~NetworkJob() override;

    // False when the job could not be set up.
    bool isValid() const { return finishedEvent_ != nullptr; }
    virtual void execute() = 0;

    // Fetches through the URL moniker into filePath; true on a 2xx reply not given up.
    bool fetchToFile(const wchar_t* url, const wchar_t* filePath);

    thread::ObjLocker lock_;
    // Set under lock_ once the job succeeded.
    bool done_;

private:
    std::atomic<int32_t> refs_;
    HANDLE finishedEvent_;
    std::atomic<uint8_t> finished_;
    std::atomic<uint8_t> cancelled_;
};

} // namespace s::system::network::win
