#pragma once
#include <cstdint>

#include "core/base/IObject.h"

namespace s::str::strbuffer { class StrBuffer; }

namespace s::system::network {

// Looks up the machine's public address on a worker thread, trying again after a
// pause until it finds one or is stopped.
class IGipFinder : public base::IObject {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_system_network_IGipFinder";
    typedef str::strbuffer::StrBuffer StrBuffer;

    // Starts looking unless a lookup runs, an address was found or no base address is set.
    virtual void start() = 0;
    // Ends the lookup within a bounded wait; a worker still busy is abandoned (never
    // killed) and ends by itself. An address found before is kept.
    virtual void stop() = 0;
    // The lookup server, as "http://host"; empty: nothing is ever looked up.
    virtual void setBaseUrl(const wchar_t* url) = 0;
    // Copies the found address (empty when none) into target; whether one was found.
    virtual bool getAddress(StrBuffer* target) = 0;
};

} // namespace s::system::network
