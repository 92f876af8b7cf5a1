#pragma once
#include <windows.h>

#include <cstdint>

#include "core/thread/ClassPool.h"
#include "system/system/network/IDownloader.h"
#include "system/system/network/win/NetworkJob.h"

namespace s::str::strbuffer { class StrBuffer; }

namespace s::system::network::win {

// One fetch of a Downloader, run on its worker thread. It holds copies of everything
// it needs, so a fetch cut off by the caller can be abandoned: it runs on, drops its
// result and file, and is freed when its run ends.
class DownloadJob : public NetworkJob {
    S_CLASS_NAME(L"s_system_network_win_DownloadJob")
public:
    typedef str::strbuffer::StrBuffer StrBuffer;
    typedef IDownloader::ProgressFunction ProgressFunction;

    // The agent text sent when the caller gives none.
    static constexpr wchar_t DEFAULT_USER_AGENT[] = L"Brisquelton/1.38";
    // INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE.
    static constexpr uint32_t REQUEST_FLAGS = 0x84000100;
    static constexpr uint32_t SECURE_FLAG = 0x00800000;
    static constexpr uint32_t CHUNK_BYTES = 5000;

    // The request an address turns into.
    struct Request {
        StrBuffer* host = nullptr;
        StrBuffer* path = nullptr;
        uint16_t port = 0;
        bool secure = false;
        uint32_t flags = 0;
        Request();
        ~Request();
        Request(const Request&) = delete;
        Request& operator=(const Request&) = delete;
    };
    // Splits "http://host[:port]/path" or "https://..." (scheme at the start, case
    // ignored). False without a scheme, host or "/" after the host, or with a bad port.
    static bool splitUrl(const wchar_t* url, Request& request);

    // A new job holding one reference; null when out of memory.
    static DownloadJob* create(const StrBuffer* url, const StrBuffer* userAgent, const StrBuffer* referrer,
                               bool keepText, ProgressFunction progress, void* user, uintptr_t extra);
    // A succeeded fetch's file path and text, copied into the given strings.
    bool takeResult(StrBuffer* filePath, StrBuffer* text);

    // Forwards progress to the caller's function unless the fetch was given up.
    void reportProgress(uint64_t maximum, uint64_t position) override;

private:
    DownloadJob();
    ~DownloadJob() override;

    // Fetches into the file; true on a complete 2xx reply.
    bool fetch(const wchar_t* filePath);
    bool fetchWinInet(const wchar_t* filePath);
    // Sends the request and reads a 2xx reply's body into the file.
    bool receive(void* request, const wchar_t* filePath);
    void execute() override;

    StrBuffer* url_;
    StrBuffer* userAgent_;
    StrBuffer* referrer_;
    bool keepText_;
    ProgressFunction progress_;
    void* user_;
    uintptr_t extra_;
    // The result, under lock_ with done_.
    StrBuffer* filePath_;
    StrBuffer* text_;
};

} // namespace s::system::network::win
