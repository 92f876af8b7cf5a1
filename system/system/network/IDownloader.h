#pragma once
#include <cstdint>

#include "core/base/IObject.h"

namespace s::str::strbuffer { class StrBuffer; }

namespace s::system::network {

// Fetches one address on a worker thread into a temporary file, optionally kept as
// text instead; the caller waits for it with a time limit.
class IDownloader : public base::IObject {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_system_network_IDownloader";
    typedef str::strbuffer::StrBuffer StrBuffer;

    // Progress of a fetch, called on the worker thread: bytes so far of maximum. It
    // runs under the fetch's lock (no call after a cut-off), so it must not call stop(true).
    typedef void (*ProgressFunction)(uint64_t maximum, uint64_t position, void* user, uintptr_t extra);

    // Starts the fetch on the worker unless one runs or a fetch already succeeded.
    virtual void start() = 0;
    // Requests a stop; with wait, cuts a running fetch off: it is abandoned (never
    // killed), ends by itself and its result is dropped.
    virtual void stop(bool wait) = 0;
    virtual void setUrl(const wchar_t* url) = 0;
    // On: the reply is read into textValue() and its file deleted.
    virtual void setKeepText(bool keep) = 0;
    virtual void setUserAgent(const wchar_t* agent) = 0;
    virtual void setReferrer(const wchar_t* referrer) = 0;
    // Fetches within limitMs; true when the fetch succeeded (false at once offline).
    virtual bool run(int32_t limitMs, ProgressFunction progress, void* user, uintptr_t extra) = 0;
    virtual bool isDone() const = 0;
    virtual const StrBuffer* filePathText() const = 0;
    virtual const StrBuffer* textValue() const = 0;
};

} // namespace s::system::network
