#pragma once
#include <windows.h>

#include <cstdint>

#include "core/thread/ClassPool.h"
#include "system/system/network/win/NetworkJob.h"

namespace s::str::strbuffer { class StrBuffer; }

namespace s::system::network::win {

// The lookup of a GipFinder, run on its worker thread: tries until it finds an
// address or is given up, pausing between tries while offline or after a failure.
class GipJob : public NetworkJob {
    S_CLASS_NAME(L"s_system_network_win_GipJob")
public:
    typedef str::strbuffer::StrBuffer StrBuffer;

    // Bytes read of the reply, and how many of them make the address.
    static constexpr uint32_t READ_BYTES = 100;
    static constexpr uint32_t ADDRESS_CHARS = 32;
    // Step of the pause between tries, so a stop ends it quickly.
    static constexpr uint32_t POLL_MS = 200;

    // A new job holding one reference; null when out of memory.
    static GipJob* create(const StrBuffer* url, uint32_t retryWaitMs);

    // A found address, copied into target.
    bool takeAddress(StrBuffer* target);

private:
    GipJob();
    ~GipJob() override;

    void execute() override;
    // One try; true when it found an address.
    bool lookUp();

    StrBuffer* url_;
    uint32_t retryWaitMs_;
    // Under lock_ with done_.
    StrBuffer* address_;
};

} // namespace s::system::network::win
