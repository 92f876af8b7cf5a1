#pragma once
#include <windows.h>

#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "core/thread/ObjLocker.h"
#include "system/system/network/IGipFinder.h"

namespace s::thread::win { class Thread; }

namespace s::system::network::win {

class GipJob;

// Looks up the machine's public address on a worker thread of its own:
//   GipFinder* f = GipFinder::pool();
//   f->setBaseUrl(L"http://host");   // asks http://host/webapps/ip/
//   f->start();
//   ... if (f->getAddress(text)) use(text);
//   f->release();
// While offline or after a failed try it pauses (a minute by default) and tries
// again. Without a base address nothing is looked up. Once an address was found,
// start() changes nothing until release.
class GipFinder : public IGipFinder, public thread::IPoolable {
    S_POOLED_CLASS(GipFinder, 1000, L"s_system_network_win_GipFinder")
public:
    static constexpr wchar_t LOOKUP_PATH[] = L"/webapps/ip/";
    static constexpr uint32_t RETRY_WAIT_MS = 60000;
    // How long stop() waits for the worker before abandoning it.
    static constexpr int32_t STOP_WAIT_MS = 2000;

    ~GipFinder() override;
    GipFinder(const GipFinder&) = delete;
    GipFinder& operator=(const GipFinder&) = delete;

    void start() override;
    void stop() override;
    void setBaseUrl(const wchar_t* url) override;
    bool getAddress(StrBuffer* target) override;

    // The pause between tries for lookups started after this (tests); at least one
    // step of the pause, so a failing server is never asked in a tight loop.
    void setRetryWait(uint32_t ms);

    // Stops a lookup; forgets the address, the base address and the pause.
    void reset() override;

private:
    GipFinder();

    // Under lock_: takes the job's address once found and drops a job that ended.
    void collectLocked();
    // Under lock_: gives up the job (bounded wait, then abandoned), keeping an
    // address it found.
    void stopLocked();

    thread::win::Thread* thread_;
    thread::ObjLocker lock_;
    StrBuffer* baseUrl_;
    uint32_t retryWaitMs_;
    uint8_t found_;
    StrBuffer* address_;
    // The running lookup (one reference), under lock_.
    GipJob* job_;
};

} // namespace s::system::network::win
