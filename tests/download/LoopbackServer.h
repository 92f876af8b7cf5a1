#pragma once
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A small HTTP server on 127.0.0.1 for the download tests. Paths (query ignored):
//   /text      200, Content-Length, body TEXT_BODY (bytes above 0x7F included)
//   /nolength  HTTP/1.0 200 without Content-Length, body TEXT_BODY, ended by close
//   /big       200, Content-Length, BIG_SIZE bytes of a pattern (bigByte)
//   /empty     200, Content-Length 0
//   /oversize  200, OVERSIZE bytes with their length; /oversize-nolength the same without
//   /short     200, Content-Length 100 more than the TEXT_BODY it sends, then closes
//   /missing   404 with an HTML body
//   /stall     reads the request and never answers (until stop()); so does any
//              path below it (/stall/...)
//   /webapps/ip/  200 with the lookup body (lookupBody() unless replaced), or a
//              failure while failLookups() has some left
//   /version/check/  the same as /webapps/ip/ (a version page's reply)
class LoopbackServer {
public:
    static const char TEXT_BODY[];
    static constexpr uint32_t BIG_SIZE = 12345;
    // The size of /oversize and /oversize-nolength (x bytes, with and without a length).
    static constexpr uint32_t OVERSIZE = (1u << 20) + 1;
    static uint8_t bigByte(uint32_t i) { return static_cast<uint8_t>(i * 7 + 3); }
    // An address followed by bytes 0x80-0xFF, 120 bytes in all.
    static std::string lookupBody();

    LoopbackServer() = default;
    ~LoopbackServer() { stop(); }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    bool start();
    // Closes the listener and every parked connection, then joins the thread.
    void stop();
    uint16_t port() const { return port_; }
    std::wstring url(const wchar_t* path) const;
    int connections() const { return connections_.load(); }
    // The request head of the latest connection.
    std::string lastRequest();
    void setLookupBody(const std::string& body);
    // The next count lookups fail: 503, or with empty a 200 without a body.
    void failLookups(int count, bool empty);

private:
    void serve();
    void answer(SOCKET client);

    SOCKET listener_ = INVALID_SOCKET;
    uint16_t port_ = 0;
    std::thread thread_;
    std::atomic<int> connections_{0};
    std::mutex mutex_;
    std::string lastRequest_;
    std::vector<SOCKET> parked_;
    std::string lookupBody_ = lookupBody();
    int lookupFailures_ = 0;
    bool emptyFailures_ = false;
    bool started_ = false;
};
