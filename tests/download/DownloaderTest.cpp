#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "LoopbackServer.h"
#include "TempFiles.h"
#include "Watchdog.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "system/system/network/win/DownloadJob.h"
#include "system/system/network/win/Downloader.h"
#include "system/system/network/win/NetworkJob.h"

using s::system::network::win::DownloadJob;
using s::system::network::win::Downloader;

namespace {

// Both fetch routes: the URL moniker (no agent, no referrer) and WinINet (an agent).
const wchar_t* const AGENTS[] = {L"", L"TestAgent/2"};

struct Progress {
    std::vector<std::pair<uint64_t, uint64_t>> reports;
};

void record(uint64_t maximum, uint64_t position, void* user, uintptr_t extra) {
    EXPECT_EQ(0x5A5Au, extra);
    static_cast<Progress*>(user)->reports.push_back({maximum, position});
}

std::wstring expectedText() {
    std::wstring text;
    for (const char* p = LoopbackServer::TEXT_BODY; *p != 0; ++p) {
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    }
    return text;
}

// One unique address per fetch, so no cache can answer in the server's place.
std::wstring uniqueUrl(const LoopbackServer& server, const wchar_t* path) {
    static int serial = 0;
    return server.url(path) + L"?n=" + std::to_wstring(++serial);
}

bool offline() {
    return false;
}

class DownloaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.start()); }
    void TearDown() override { server.stop(); }

    // A fetch of path fails for every agent, in file and in text mode, with no result kept.
    void expectFailsOnEveryRoute(const wchar_t* path, uint32_t limitMs) {
        for (const wchar_t* agent : AGENTS) {
            for (bool keepText : {false, true}) {
                SCOPED_TRACE(testing::PrintToString(std::wstring(agent) + path) + (keepText ? " text" : " file"));
                Downloader* d = Downloader::pool();
                ASSERT_NE(nullptr, d);
                d->setUrl(uniqueUrl(server, path).c_str());
                d->setUserAgent(agent);
                d->setKeepText(keepText);
                EXPECT_FALSE(d->run(limitMs, nullptr, nullptr, 0));
                EXPECT_FALSE(d->isDone());
                EXPECT_EQ(0u, d->textValue()->length());
                EXPECT_EQ(0u, d->filePathText()->length());
                d->release();
            }
        }
    }

    Watchdog watchdog{60000};
    LoopbackServer server;
};

} // namespace

TEST(DownloadRequestTest, SplitsAddressesIntoTheirRequests) {
    DownloadJob::Request request;
    ASSERT_TRUE(DownloadJob::splitUrl(L"https://update.invalid/software/check/", request));
    EXPECT_STREQ(L"update.invalid", request.host->c_str());
    EXPECT_STREQ(L"/software/check/", request.path->c_str());
    EXPECT_EQ(443, request.port);
    EXPECT_TRUE(request.secure);
    EXPECT_EQ(0x84800100u, request.flags);

    ASSERT_TRUE(DownloadJob::splitUrl(L"HTTP://host.invalid/a?b=c", request));
    EXPECT_STREQ(L"host.invalid", request.host->c_str());
    EXPECT_STREQ(L"/a?b=c", request.path->c_str());
    EXPECT_EQ(80, request.port);
    EXPECT_FALSE(request.secure);
    EXPECT_EQ(0x84000100u, request.flags);

    // An explicit port goes to the connection, not into the host name.
    ASSERT_TRUE(DownloadJob::splitUrl(L"http://127.0.0.1:8081/x", request));
    EXPECT_STREQ(L"127.0.0.1", request.host->c_str());
    EXPECT_EQ(8081, request.port);
    ASSERT_TRUE(DownloadJob::splitUrl(L"https://[::1]/x", request));
    EXPECT_STREQ(L"[::1]", request.host->c_str());
    EXPECT_EQ(443, request.port);

    // A scheme inside the address is no scheme.
    ASSERT_TRUE(DownloadJob::splitUrl(L"https://a.invalid/go?to=http://b.invalid/", request));
    EXPECT_STREQ(L"a.invalid", request.host->c_str());
    EXPECT_TRUE(request.secure);

    const wchar_t* const bad[] = {L"http://host.invalid",  L"https://host.invalid", L"ftp://host.invalid/x",
                                  L"host.invalid/x",       L"http:///x",            L"http://h.invalid:/x",
                                  L"http://h.invalid:99999/x", L"http://h.invalid:8o/x", L"http://:80/x", L""};
    for (const wchar_t* url : bad) {
        EXPECT_FALSE(DownloadJob::splitUrl(url, request)) << testing::PrintToString(std::wstring(url));
        EXPECT_EQ(0u, request.host->length());
    }
    EXPECT_FALSE(DownloadJob::splitUrl(nullptr, request));
}

TEST_F(DownloaderTest, KeptTextHasEveryByteAsItsOwnCharacterWithOrWithoutLengthAndNoFileRemains) {
    const int tempFiles = tempFileCount();
    for (const wchar_t* path : {L"/text", L"/nolength"}) {
        for (const wchar_t* agent : AGENTS) {
            SCOPED_TRACE(testing::PrintToString(std::wstring(path) + L" " + agent));
            Downloader* d = Downloader::pool();
            ASSERT_NE(nullptr, d);
            d->setUrl(uniqueUrl(server, path).c_str());
            d->setUserAgent(agent);
            d->setKeepText(true);
            Progress progress;
            ASSERT_TRUE(d->run(10000, &record, &progress, 0x5A5A));
            EXPECT_TRUE(d->isDone());
            EXPECT_EQ(expectedText(), d->textValue()->c_str());
            EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(d->filePathText()->c_str()));
            if (agent[0] != 0) {
                EXPECT_NE(std::string::npos, server.lastRequest().find("User-Agent: TestAgent/2\r\n"));
            }
            if (agent[0] != 0 && path[1] == L'n') {
                // Unknown length: one report of 1 of 1.
                ASSERT_EQ(1u, progress.reports.size());
                EXPECT_EQ(1u, progress.reports[0].first);
                EXPECT_EQ(1u, progress.reports[0].second);
            }
            d->release();
        }
    }
    EXPECT_EQ(tempFiles, tempFileCount());
}

TEST_F(DownloaderTest, FileModeKeepsTheWholeReplyAndReportsProgressUpToItsLength) {
    Downloader* d = Downloader::pool();
    ASSERT_NE(nullptr, d);
    d->setUrl(uniqueUrl(server, L"/big").c_str());
    // A referrer alone also takes the WinINet route, with the program's own agent.
    d->setReferrer(L"http://127.0.0.1/from");
    Progress progress;
    ASSERT_TRUE(d->run(10000, &record, &progress, 0x5A5A));
    const std::string request = server.lastRequest();
    EXPECT_NE(std::string::npos, request.find("User-Agent: Brisquelton/1.38\r\n")) << request;
    EXPECT_NE(std::string::npos, request.find("Referer: http://127.0.0.1/from\r\n")) << request;
    EXPECT_EQ(0u, d->textValue()->length());

    HANDLE file = CreateFileW(d->filePathText()->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    std::vector<uint8_t> bytes(LoopbackServer::BIG_SIZE + 10);
    DWORD got = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    DeleteFileW(d->filePathText()->c_str());
    ASSERT_EQ(LoopbackServer::BIG_SIZE, got);
    for (uint32_t i = 0; i < got; ++i) {
        ASSERT_EQ(LoopbackServer::bigByte(i), bytes[i]) << i;
    }

    ASSERT_FALSE(progress.reports.empty());
    uint64_t previous = 0;
    for (const auto& report : progress.reports) {
        EXPECT_EQ(LoopbackServer::BIG_SIZE, report.first);
        EXPECT_GE(report.second, previous);
        EXPECT_LE(report.second, report.first);
        previous = report.second;
    }
    EXPECT_EQ(LoopbackServer::BIG_SIZE, progress.reports.back().second);
    d->release();
}

TEST_F(DownloaderTest, ErrorStatusAndEmptyTextAreFailuresThatLeaveNoFile) {
    const int tempFiles = tempFileCount();
    expectFailsOnEveryRoute(L"/missing", 10000);
    for (const wchar_t* agent : AGENTS) {
        // An empty reply is no text.
        Downloader* d = Downloader::pool();
        ASSERT_NE(nullptr, d);
        d->setUrl(uniqueUrl(server, L"/empty").c_str());
        d->setUserAgent(agent);
        d->setKeepText(true);
        EXPECT_FALSE(d->run(10000, nullptr, nullptr, 0));
        d->release();
    }
    EXPECT_EQ(tempFiles, tempFileCount());
}

TEST_F(DownloaderTest, BareHostOrOfflineFailsWithoutConnecting) {
    Downloader* d = Downloader::pool();
    ASSERT_NE(nullptr, d);
    std::wstring bare = server.url(L"");
    d->setUrl(bare.c_str());
    d->setUserAgent(L"TestAgent/2");
    EXPECT_FALSE(d->run(5000, nullptr, nullptr, 0));
    d->release();

    Downloader::ConnectionTest previous = Downloader::setConnectionTest(&offline);
    EXPECT_FALSE(Downloader::isOnline());
    for (const wchar_t* agent : AGENTS) {
        d = Downloader::pool();
        ASSERT_NE(nullptr, d);
        d->setUrl(uniqueUrl(server, L"/text").c_str());
        d->setUserAgent(agent);
        const DWORD t0 = GetTickCount();
        EXPECT_FALSE(d->run(5000, nullptr, nullptr, 0));
        EXPECT_LT(GetTickCount() - t0, 1000u);
        d->release();
    }
    Downloader::setConnectionTest(previous);
    EXPECT_EQ(0, server.connections());
}

TEST_F(DownloaderTest, StalledServerEndsWithinTheLimitAndTheNextDownloadWorks) {
    for (const wchar_t* agent : AGENTS) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(agent)));
        Downloader* d = Downloader::pool();
        ASSERT_NE(nullptr, d);
        d->setUrl(uniqueUrl(server, L"/stall").c_str());
        d->setUserAgent(agent);
        d->setKeepText(true);
        Progress progress;
        const DWORD t0 = GetTickCount();
        EXPECT_FALSE(d->run(1000, &record, &progress, 0x5A5A));
        const DWORD elapsed = GetTickCount() - t0;
        EXPECT_GE(elapsed, 900u);
        EXPECT_LT(elapsed, 2500u);
        EXPECT_FALSE(d->isDone());

        // The same downloader, its worker replaced, fetches again.
        d->setUrl(uniqueUrl(server, L"/text").c_str());
        ASSERT_TRUE(d->run(10000, nullptr, nullptr, 0));
        EXPECT_EQ(expectedText(), d->textValue()->c_str());
        d->release();

        // So does another one.
        Downloader* next = Downloader::pool();
        ASSERT_NE(nullptr, next);
        next->setUrl(uniqueUrl(server, L"/text").c_str());
        next->setUserAgent(agent);
        next->setKeepText(true);
        EXPECT_TRUE(next->run(10000, nullptr, nullptr, 0));
        next->release();
    }
}

TEST_F(DownloaderTest, DoneDownloaderIgnoresFurtherRunsUntilReleased) {
    Downloader* d = Downloader::pool();
    ASSERT_NE(nullptr, d);
    d->setUrl(uniqueUrl(server, L"/text").c_str());
    d->setKeepText(true);
    d->setUserAgent(L"TestAgent/2");
    ASSERT_TRUE(d->run(10000, nullptr, nullptr, 0));
    const int connections = server.connections();
    d->setUrl(uniqueUrl(server, L"/missing").c_str());
    EXPECT_TRUE(d->run(10000, nullptr, nullptr, 0));
    d->start();
    EXPECT_EQ(expectedText(), d->textValue()->c_str());
    EXPECT_EQ(connections, server.connections());
    d->release();

    Downloader* again = Downloader::pool();
    ASSERT_EQ(d, again);  // the one just released, reset
    EXPECT_FALSE(again->isDone());
    EXPECT_EQ(0u, again->textValue()->length());
    again->setUrl(uniqueUrl(server, L"/missing").c_str());
    again->setUserAgent(L"TestAgent/2");
    EXPECT_FALSE(again->run(10000, nullptr, nullptr, 0));
    EXPECT_EQ(connections + 1, server.connections());
    again->release();
}

TEST_F(DownloaderTest, ReplyCutShortOfItsAnnouncedLengthIsAFailure) {
    const int tempFiles = tempFileCount();
    expectFailsOnEveryRoute(L"/short", 10000);
    EXPECT_EQ(tempFiles, tempFileCount());
}

TEST_F(DownloaderTest, RepliesPastTheLimitFailAndLeaveNoFile) {
    ASSERT_EQ(s::system::network::win::NetworkJob::MAX_REPLY_BYTES + 1, LoopbackServer::OVERSIZE);
    const int tempFiles = tempFileCount();
    expectFailsOnEveryRoute(L"/oversize", 20000);
    expectFailsOnEveryRoute(L"/oversize-nolength", 20000);
    EXPECT_EQ(tempFiles, tempFileCount());
}

TEST_F(DownloaderTest, AFetchStartedAloneShowsItsResultOnceItEnds) {
    for (const wchar_t* agent : AGENTS) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(agent)));
        Downloader* d = Downloader::pool();
        ASSERT_NE(nullptr, d);
        d->setUrl(uniqueUrl(server, L"/text").c_str());
        d->setUserAgent(agent);
        d->setKeepText(true);
        d->start();
        // Polled as a caller without run() would: the result shows as soon as it is there.
        bool done = false;
        for (int waited = 0; !done && waited < 10000; waited += 20) {
            Sleep(20);
            done = d->isDone();
        }
        EXPECT_TRUE(done);
        EXPECT_EQ(expectedText(), std::wstring(d->textValue()->c_str()));
        d->release();
    }
}
