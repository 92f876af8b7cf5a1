#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "core/thread/ObjLocker.h"
#include "system/system/network/IDownloader.h"

namespace s::thread::win { class Thread; }

namespace s::system::network::win {

class DownloadJob;

// Fetches one address on a worker thread of its own:
//   Downloader* d = Downloader::pool();
//   d->setUrl(L"http://host/path");
//   d->setKeepText(true);
//   if (d->run(8000, nullptr, nullptr, 0)) use(d->textValue());
//   d->release();
// Without an agent or referrer the URL moniker fetches; with either, WinINet does.
// Only a complete 2xx reply of at most NetworkJob::MAX_REPLY_BYTES succeeds. A fetch that outlives the limit is given up
// (abandoned, never killed) and the worker continues on a fresh thread, so the next
// run works. Once a fetch succeeded, start() and run() change nothing until release.
class Downloader : public IDownloader, public thread::IPoolable {
    S_POOLED_CLASS(Downloader, 1000, L"s_system_network_win_Downloader")
public:
    // How often run() looks for a stop request, and how long a cut-off waits for the
    // worker before abandoning it.
    static constexpr int32_t POLL_MS = 200;
    static constexpr int32_t STOP_WAIT_MS = 100;

    typedef bool (*ConnectionTest)();
    // Whether the machine is online: the system's connection state, not offline.
    static bool isOnline();
    // Replaces the connection test (tests; null restores the system's). Returns the
    // previous one.
    static ConnectionTest setConnectionTest(ConnectionTest test);

    ~Downloader() override;
    Downloader(const Downloader&) = delete;
    Downloader& operator=(const Downloader&) = delete;

    void start() override;
    void stop(bool wait) override;
    void setUrl(const wchar_t* url) override;
    void setKeepText(bool keep) override { keepText_ = keep ? 1 : 0; }
    void setUserAgent(const wchar_t* agent) override;
    void setReferrer(const wchar_t* referrer) override;
    bool run(int32_t limitMs, ProgressFunction progress, void* user, uintptr_t extra) override;
    // A fetch started with start() that has ended shows its result here at once.
    bool isDone() const override;
    const StrBuffer* filePathText() const override;
    const StrBuffer* textValue() const override;

    // Cuts off a running fetch; clears the flags, texts and progress function.
    void reset() override;

private:
    Downloader();

    bool isRunningLocked() const;
    // Under lock_: cancels a running fetch (bounded wait, then abandoned), takes the
    // result of one that succeeded and drops the job.
    void stopLocked();
    // Takes the result of a fetch that has ended (nothing while one runs).
    void collectFinished() const;
    // Under lock_: takes the job's result, when it succeeded, and drops the job.
    void takeResultLocked() const;

    thread::win::Thread* thread_;
    // Mutable: the const getters collect a finished fetch's result.
    mutable thread::ObjLocker lock_;
    std::atomic<uint8_t> stopRequested_;
    StrBuffer* url_;
    StrBuffer* userAgent_;
    StrBuffer* referrer_;
    uint8_t keepText_;
    StrBuffer* filePath_;
    StrBuffer* text_;
    mutable uint8_t done_;
    ProgressFunction progress_;
    void* progressUser_;
    uintptr_t progressExtra_;
    // The current fetch (one reference), under lock_.
    mutable DownloadJob* job_;
};

} // namespace s::system::network::win
