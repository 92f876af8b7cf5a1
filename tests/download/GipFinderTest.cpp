#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>

#include "LoopbackServer.h"
#include "TempFiles.h"
#include "Watchdog.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "system/system/network/win/Downloader.h"
#include "system/system/network/win/GipFinder.h"

using s::str::strbuffer::StrBuffer;
using s::system::network::win::Downloader;
using s::system::network::win::GipFinder;
using s::thread::Held;

namespace {

std::atomic<bool> online{true};

bool switchableConnection() {
    return online.load();
}

// The first count bytes, one character each.
std::wstring widened(const std::string& bytes, size_t count) {
    std::wstring text;
    for (size_t i = 0; i < bytes.size() && i < count; ++i) {
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i])));
    }
    return text;
}

// Polls the getter until it reports an address. Every answer must be whole: no
// address leaves the target empty, an address is the expected text.
bool waitForAddress(GipFinder* finder, const std::wstring& expected, DWORD limitMs) {
    Held<StrBuffer> text(StrBuffer::pool());
    const DWORD t0 = GetTickCount();
    while (GetTickCount() - t0 < limitMs) {
        text->assign(L"stale");
        if (finder->getAddress(text.get())) {
            EXPECT_EQ(expected, text->c_str());
            return true;
        }
        EXPECT_EQ(0u, text->length());
        Sleep(5);
    }
    return false;
}

bool waitForConnections(const LoopbackServer& server, int count, DWORD limitMs) {
    const DWORD t0 = GetTickCount();
    while (server.connections() < count) {
        if (GetTickCount() - t0 >= limitMs) {
            return false;
        }
        Sleep(10);
    }
    return true;
}

class GipFinderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.start());
        online = true;
        previous = Downloader::setConnectionTest(&switchableConnection);
    }
    void TearDown() override {
        Downloader::setConnectionTest(previous);
        server.stop();
    }

    Watchdog watchdog{60000};
    LoopbackServer server;
    Downloader::ConnectionTest previous = nullptr;
};

} // namespace

TEST_F(GipFinderTest, FindsTheFirst32BytesOnceKeepsThemAndForgetsThemOnRelease) {
    const int tempFiles = tempFileCount();
    GipFinder* f = GipFinder::pool();
    ASSERT_NE(nullptr, f);
    f->setBaseUrl(server.url(L"/").c_str());  // a trailing "/" asks the same page
    f->start();
    const std::wstring address = widened(LoopbackServer::lookupBody(), 32);
    ASSERT_TRUE(waitForAddress(f, address, 15000));
    EXPECT_EQ(0u, server.lastRequest().rfind("GET /webapps/ip/ ", 0)) << server.lastRequest();
    EXPECT_EQ(1, server.connections());
    EXPECT_EQ(tempFiles, tempFileCount());

    // Found: no further lookup, and a stop keeps the address.
    f->start();
    Sleep(300);
    f->stop();
    EXPECT_EQ(1, server.connections());
    EXPECT_TRUE(waitForAddress(f, address, 10000));
    f->release();

    // Released: address and base address are gone, so nothing is looked up.
    GipFinder* again = GipFinder::pool();
    ASSERT_EQ(f, again);
    Held<StrBuffer> text(StrBuffer::pool());
    text->assign(L"stale");
    EXPECT_FALSE(again->getAddress(text.get()));
    EXPECT_EQ(0u, text->length());
    again->start();
    Sleep(500);
    EXPECT_EQ(1, server.connections());
    EXPECT_FALSE(again->getAddress(nullptr));

    // A reply shorter than 32 bytes is the address as it stands.
    const std::string shortReply = "203.0.113.9\n";
    server.setLookupBody(shortReply);
    again->setBaseUrl(server.url(L"").c_str());
    again->start();
    EXPECT_TRUE(waitForAddress(again, widened(shortReply, 32), 15000));
    again->release();
}

TEST_F(GipFinderTest, TriesAgainAfterFailedOrEmptyRepliesAndWhileOffline) {
    const int tempFiles = tempFileCount();
    const std::wstring address = widened(LoopbackServer::lookupBody(), 32);
    GipFinder* f = GipFinder::pool();
    ASSERT_NE(nullptr, f);
    f->setRetryWait(300);
    f->setBaseUrl(server.url(L"").c_str());
    server.failLookups(2, false);
    const DWORD t0 = GetTickCount();
    f->start();
    ASSERT_TRUE(waitForAddress(f, address, 20000));
    EXPECT_GE(GetTickCount() - t0, 450u);  // it paused between the tries
    EXPECT_EQ(3, server.connections());
    f->release();

    // An empty reply names no address.
    f = GipFinder::pool();
    ASSERT_NE(nullptr, f);
    f->setRetryWait(300);
    f->setBaseUrl(server.url(L"").c_str());
    server.failLookups(1, true);
    f->start();
    ASSERT_TRUE(waitForAddress(f, address, 20000));
    EXPECT_EQ(5, server.connections());
    f->release();
    EXPECT_EQ(tempFiles, tempFileCount());

    // Offline: no request at all until the machine is online again.
    online = false;
    f = GipFinder::pool();
    ASSERT_NE(nullptr, f);
    f->setRetryWait(300);
    f->setBaseUrl(server.url(L"").c_str());
    f->start();
    Sleep(1000);
    EXPECT_EQ(5, server.connections());
    EXPECT_FALSE(f->getAddress(nullptr));
    online = true;
    EXPECT_TRUE(waitForAddress(f, address, 15000));
    EXPECT_EQ(6, server.connections());
    f->release();
}

TEST_F(GipFinderTest, StopEndsTheMinuteLongPauseAtOnceAndALaterStartLooksAgain) {
    GipFinder* f = GipFinder::pool();
    ASSERT_NE(nullptr, f);
    f->setBaseUrl(server.url(L"").c_str());

    online = false;
    f->start();
    Sleep(400);
    DWORD t0 = GetTickCount();
    f->stop();
    EXPECT_LT(GetTickCount() - t0, 1000u);

    online = true;
    server.failLookups(1, false);
    f->start();
    ASSERT_TRUE(waitForConnections(server, 1, 15000));
    Sleep(400);
    t0 = GetTickCount();
    f->stop();
    EXPECT_LT(GetTickCount() - t0, 1000u);
    EXPECT_FALSE(f->getAddress(nullptr));
    EXPECT_EQ(1, server.connections());

    f->start();
    EXPECT_TRUE(waitForAddress(f, widened(LoopbackServer::lookupBody(), 32), 15000));
    EXPECT_EQ(2, server.connections());
    f->release();
}

TEST_F(GipFinderTest, StopAbandonsAStalledLookupWithinItsLimitAndTheFinderWorksAgain) {
    const int tempFiles = tempFileCount();
    GipFinder* f = GipFinder::pool();
    ASSERT_NE(nullptr, f);
    f->setBaseUrl(server.url(L"/stall").c_str());
    f->start();
    ASSERT_TRUE(waitForConnections(server, 1, 15000));
    Sleep(200);
    const DWORD t0 = GetTickCount();
    f->stop();
    EXPECT_LT(GetTickCount() - t0, static_cast<DWORD>(GipFinder::STOP_WAIT_MS + 1500));
    EXPECT_FALSE(f->getAddress(nullptr));

    // Its worker replaced, the same finder looks up again.
    f->setBaseUrl(server.url(L"").c_str());
    f->start();
    EXPECT_TRUE(waitForAddress(f, widened(LoopbackServer::lookupBody(), 32), 15000));
    f->release();

    // Once the server lets go, the abandoned lookup ends by itself and removes its file.
    server.stop();
    const DWORD t0End = GetTickCount();
    while (tempFileCount() != tempFiles && GetTickCount() - t0End < 10000) {
        Sleep(50);
    }
    EXPECT_EQ(tempFiles, tempFileCount());
}
