#include "LoopbackServer.h"

#include <cstdio>
#include <cstring>

const char LoopbackServer::TEXT_BODY[] = "*1.39 caf\xE9 \xFF\x80\x7F end";

bool LoopbackServer::start() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        return false;
    }
    started_ = true;
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener_ == INVALID_SOCKET) {
        return false;
    }
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int size = sizeof(address);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(listener_, 16) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return false;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread(&LoopbackServer::serve, this);
    return true;
}

void LoopbackServer::stop() {
    if (listener_ != INVALID_SOCKET) {
        closesocket(listener_);
        listener_ = INVALID_SOCKET;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    for (SOCKET s : parked_) {
        closesocket(s);
    }
    parked_.clear();
    if (started_) {
        WSACleanup();
        started_ = false;
    }
}

std::wstring LoopbackServer::url(const wchar_t* path) const {
    return L"http://127.0.0.1:" + std::to_wstring(port_) + path;
}

std::string LoopbackServer::lastRequest() {
    std::lock_guard<std::mutex> guard(mutex_);
    return lastRequest_;
}

std::string LoopbackServer::lookupBody() {
    std::string body = "198.51.100.7 ";
    while (body.size() < 120) {
        body.push_back(static_cast<char>(0x80 + (body.size() * 7) % 0x80));
    }
    return body;
}

void LoopbackServer::setLookupBody(const std::string& body) {
    std::lock_guard<std::mutex> guard(mutex_);
    lookupBody_ = body;
}

void LoopbackServer::failLookups(int count, bool empty) {
    std::lock_guard<std::mutex> guard(mutex_);
    lookupFailures_ = count;
    emptyFailures_ = empty;
}

void LoopbackServer::serve() {
    for (;;) {
        SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) {
            return;  // the listener was closed
        }
        ++connections_;
        answer(client);
    }
}

void LoopbackServer::answer(SOCKET client) {
    // A client that never finishes its request must not stall the server.
    DWORD limit = 5000;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit), sizeof(limit));
    std::string head;
    char buffer[2048];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        const int n = recv(client, buffer, sizeof(buffer), 0);
        if (n <= 0) {
            break;
        }
        head.append(buffer, static_cast<size_t>(n));
    }
    {
        std::lock_guard<std::mutex> guard(mutex_);
        lastRequest_ = head;
    }
    std::string path;
    const size_t start = head.find(' ');
    if (start != std::string::npos) {
        const size_t end = head.find_first_of(" ?", start + 1);
        path = head.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
    }
    const std::string text(TEXT_BODY, sizeof(TEXT_BODY) - 1);
    std::string reply;
    if (path == "/text") {
        reply = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(text.size()) +
                "\r\nConnection: close\r\n\r\n" + text;
    } else if (path == "/nolength") {
        reply = "HTTP/1.0 200 OK\r\nConnection: close\r\n\r\n" + text;
    } else if (path == "/big") {
        std::string body(BIG_SIZE, '\0');
        for (uint32_t i = 0; i < BIG_SIZE; ++i) {
            body[i] = static_cast<char>(bigByte(i));
        }
        reply = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(BIG_SIZE) + "\r\nConnection: close\r\n\r\n" +
                body;
    } else if (path == "/oversize" || path == "/oversize-nolength") {
        // One byte more than any reply a fetch takes.
        const std::string body(OVERSIZE, 'x');
        reply = path == "/oversize"
                    ? "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(OVERSIZE) + "\r\nConnection: close\r\n\r\n" + body
                    : "HTTP/1.0 200 OK\r\nConnection: close\r\n\r\n" + body;
    } else if (path == "/short") {
        // The connection ends before the announced length.
        reply = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(text.size() + 100) +
                "\r\nConnection: close\r\n\r\n" + text;
    } else if (path == "/empty") {
        reply = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    } else if (path == "/webapps/ip/" || path == "/version/check/") {
        std::lock_guard<std::mutex> guard(mutex_);
        if (lookupFailures_ > 0 && !emptyFailures_) {
            --lookupFailures_;
            reply = "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        } else if (lookupFailures_ > 0) {
            --lookupFailures_;
            reply = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        } else {
            reply = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(lookupBody_.size()) +
                    "\r\nConnection: close\r\n\r\n" + lookupBody_;
        }
    } else if (path == "/stall" || path.rfind("/stall/", 0) == 0) {
        std::lock_guard<std::mutex> guard(mutex_);
        parked_.push_back(client);
        return;
    } else {
        const std::string page = "<html><body>Not Found</body></html>";
        reply = "HTTP/1.1 404 Not Found\r\nContent-Length: " + std::to_string(page.size()) +
                "\r\nConnection: close\r\n\r\n" + page;
    }
    size_t sent = 0;
    while (sent < reply.size()) {
        const int n = send(client, reply.data() + sent, static_cast<int>(reply.size() - sent), 0);
        if (n <= 0) {
            break;
        }
        sent += static_cast<size_t>(n);
    }
    shutdown(client, SD_SEND);
    // Let the client read to the end before the socket goes, briefly: the replies
    // say "close", so a client that keeps the line open is not waited for long.
    limit = 500;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit), sizeof(limit));
    while (recv(client, buffer, sizeof(buffer), 0) > 0) {
    }
    closesocket(client);
}
