// The update check: when it is due, which replies announce a newer version, what a
// whole check fetches, asks, opens and stores (clock, pages, shell and question
// replaced), and the confirmation window it asks with.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <string>
#include <thread>
#include <vector>

#include "AppFixture.h"
#include "app/app/win/UpdateCheck.h"
#include "download/LoopbackServer.h"
#include "support/FrameInput.h"
#include "support/RealInput.h"
#include "support/WaitFor.h"
#include "system/lang/Localizer.h"
#include "system/shell/win/Shell.h"
#include "system/system/network/win/Downloader.h"
#include "system/time/Clock.h"
#include "widgets/gui/win/Window.h"

using namespace apptest;
using s::app::win::UpdateCheck;

namespace {

TEST(UpdateCheckRulesTest, DueAfterTheIntervalOrWhenTheStoredHourLiesAhead) {
    struct Case {
        int64_t stored, now;
        bool due;
    };
    const Case cases[] = {
        {1000, 1719, false}, {1000, 1720, true},     {1000, 1000, false},
        {1001, 1000, true},  {INT64_MAX, 5, true},   {INT64_MIN, 5, true},
        {5, INT64_MAX, true}, {INT64_MAX - 719, INT64_MAX, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.due, UpdateCheck::isDue(c.stored, c.now)) << c.stored << " at " << c.now;
    }
}

TEST(UpdateCheckRulesTest, VersionTextAndReplies) {
    struct VersionCase {
        const wchar_t* text;
        bool usable;
    };
    const VersionCase versions[] = {{L"1.38", true}, {L"10.38", true}, {L"1.3", false},
                                    {L"1.380", false}, {L"138", false}, {L"", false}, {L"1.3.8", false}};
    for (const VersionCase& c : versions) {
        EXPECT_EQ(c.usable, UpdateCheck::versionTextUsable(c.text)) << static_cast<int>(wcslen(c.text));
    }
    struct ReplyCase {
        const wchar_t* reply;
        bool newer;
    };
    const ReplyCase replies[] = {{L"*1.39", true},  {L"* 2.0", true},        {L"*1.38", false},
                                 {L"*v1.38 beta", false}, {L"*1.4", false},  {L"*", false},
                                 {L"1.39x", false}, {L"", false},            {L"**1.40", true}};
    for (const ReplyCase& c : replies) {
        EXPECT_EQ(c.newer, UpdateCheck::announcesNewer(c.reply, L"1.38")) << static_cast<int>(wcslen(c.reply));
    }
}

int64_t g_nowMillis = 0;
int64_t fixedClock() {
    return g_nowMillis;
}
bool g_online = true;
bool connection() {
    return g_online;
}
int g_boxes = 0;
int g_answer = IDNO;
std::wstring g_title;
std::wstring g_question;
bool answering(s::app::IAppWindow*, s::gui::IWindow*, const wchar_t* title, const wchar_t* question) {
    ++g_boxes;
    g_title = title;
    g_question = question;
    return g_answer == IDYES;
}
std::wstring g_opened;
int g_shellCalls = 0;
BOOL WINAPI recordingShell(SHELLEXECUTEINFOW* info) {
    ++g_shellCalls;
    g_opened = info->lpFile != nullptr ? info->lpFile : L"";
    return TRUE;
}

class UpdateCheckTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(server_.start());
        s::time::setClockSource(&fixedClock);
        s::system::network::win::Downloader::setConnectionTest(&connection);
        UpdateCheck::setQuestion(&answering);
        s::shell::win::setShellExecute(&recordingShell);
    }
    void TearDown() override {
        s::shell::win::setShellExecute(nullptr);
        UpdateCheck::setQuestion(nullptr);
        s::system::network::win::Downloader::setConnectionTest(nullptr);
        s::time::setClockSource(nullptr);
        UpdateCheck::setPageAddresses(nullptr, nullptr);
        server_.stop();
        AppFixture::TearDown();
    }
    LoopbackServer server_;
};

TEST_F(UpdateCheckTest, AsksOnlyForANewerVersionAndStoresTheHourOfEveryCheck) {
    const int64_t hour = 500000;
    g_nowMillis = hour * 3600 * 1000 + 1234;
    const wchar_t* const group = L"MainWindow\\Version";
    struct Case {
        const char* what;
        int64_t stored;  // 0: nothing stored
        const char* reply;
        const wchar_t* versionPage;
        bool online;
        int answer;
        bool fetched;
        bool asked;
        bool opened;
        int64_t after;
    };
    const std::wstring page = server_.url(L"/version/");
    const std::wstring missing = server_.url(L"/missing/");
    const Case cases[] = {
        {"first run", 0, "*1.39", page.c_str(), true, IDYES, false, false, false, hour},
        {"719 hours ago", hour - 719, "*1.39", page.c_str(), true, IDYES, false, false, false, hour - 719},
        {"newer, yes", hour - 720, "*1.39", page.c_str(), true, IDYES, true, true, true, hour},
        {"newer, no", hour - 721, "*1.39", page.c_str(), true, IDNO, true, true, false, hour},
        {"the running version", hour - 800, "*1.38", page.c_str(), true, IDYES, true, false, false, hour},
        {"a reply of four", hour - 800, "*1.4", page.c_str(), true, IDYES, true, false, false, hour},
        {"no star", hour - 800, "1.39 is out", page.c_str(), true, IDYES, true, false, false, hour},
        {"a page that is missing", hour - 800, "*1.39", missing.c_str(), true, IDYES, true, false, false, hour},
        {"no address", hour - 800, "*1.39", L"", true, IDYES, false, false, false, hour},
        {"stored hour ahead", hour + 50, "*1.39", page.c_str(), true, IDNO, true, true, false, hour},
        {"offline", hour - 800, "*1.39", page.c_str(), false, IDYES, false, false, false, hour - 800},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        deleteProductKey();
        // The hour is an int; copies before wrote 8 bytes, which are still read.
        const bool oldForm = (&c - cases) % 2 == 1;
        if (c.stored != 0) {
            ASSERT_TRUE(oldForm ? writeBinary64(savePath(group), L"Update", c.stored)
                                : writeInt(savePath(group), L"Update", static_cast<int32_t>(c.stored)));
        }
        server_.setLookupBody(c.reply);
        UpdateCheck::setPageAddresses(c.versionPage, L"http://software.example/");
        g_online = c.online;
        g_answer = c.answer;
        g_boxes = 0;
        g_shellCalls = 0;
        g_opened.clear();
        const int connections = server_.connections();

        mainRecord()->checkForUpdate(nullptr);

        EXPECT_EQ(c.fetched, server_.connections() > connections);
        if (c.fetched && c.versionPage == page.c_str()) {
            EXPECT_NE(std::string::npos, server_.lastRequest().find("GET /version/check/ "));
        }
        EXPECT_EQ(c.asked ? 1 : 0, g_boxes);
        if (c.asked) {
            EXPECT_EQ(L"There is improved version available.", g_title);
            EXPECT_EQ(L"There is improved version available. \r\nWould you like to check it out?", g_question);
        }
        EXPECT_EQ(c.opened ? 1 : 0, g_shellCalls);
        if (c.opened) {
            EXPECT_EQ(L"http://software.example/", g_opened);
        }
        int32_t stored = 0;
        int64_t untouched = 0;
        if (c.after == hour) {
            ASSERT_TRUE(readInt(savePath(group), L"Update", &stored));
            EXPECT_EQ(c.after, stored);
        } else {
            ASSERT_TRUE(oldForm ? readBinary64(savePath(group), L"Update", &untouched)
                                : readInt(savePath(group), L"Update", &stored));
            EXPECT_EQ(c.after, oldForm ? untouched : stored);
        }
    }
}

} // namespace

namespace {

// While the page is fetched the checking thread keeps answering messages sent to its
// windows: another thread's send returns long before the fetch gives up.
TEST_F(UpdateCheckTest, MessagesSentToTheCheckingThreadAreAnsweredDuringTheFetch) {
    const int64_t hour = 500000;
    g_nowMillis = hour * 3600 * 1000;
    g_online = true;
    ASSERT_TRUE(writeBinary64(savePath(L"MainWindow\\Version"), L"Update", hour - 1000));
    const std::wstring stalled = server_.url(L"/stall/");
    UpdateCheck::setPageAddresses(stalled.c_str(), L"");
    HWND target = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, target);
    struct Probe {
        HWND target;
        DWORD answeredAfter;
        bool answered;
    } probe{target, 0, false};
    HANDLE sender = CreateThread(
        nullptr, 0,
        [](void* param) -> DWORD {
            Probe* p = static_cast<Probe*>(param);
            Sleep(500);
            const DWORD start = GetTickCount();
            DWORD_PTR result = 0;
            p->answered = SendMessageTimeoutW(p->target, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
            p->answeredAfter = GetTickCount() - start;
            return 0;
        },
        &probe, 0, nullptr);
    const DWORD start = GetTickCount();
    mainRecord()->checkForUpdate(nullptr);
    const DWORD spent = GetTickCount() - start;
    WaitForSingleObject(sender, INFINITE);
    CloseHandle(sender);
    DestroyWindow(target);
    EXPECT_GE(spent, static_cast<DWORD>(UpdateCheck::FETCH_LIMIT_MS) - 500);
    EXPECT_TRUE(probe.answered);
    EXPECT_LT(probe.answeredAfter, 1000u);
}

} // namespace

namespace {

// The visible top-level window of this process with that title, waiting up to 10 s.
HWND waitForTopLevel(const std::wstring& title) {
    struct Search {
        const std::wstring* title;
        HWND found;
    };
    for (int i = 0; i < 200; ++i) {
        Search search{&title, nullptr};
        EnumWindows(
            [](HWND window, LPARAM param) -> BOOL {
                Search* s = reinterpret_cast<Search*>(param);
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                wchar_t text[256] = {};
                GetWindowTextW(window, text, 256);
                if (process == GetCurrentProcessId() && IsWindowVisible(window) && *s->title == text) {
                    s->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        Sleep(50);
    }
    return nullptr;
}

// The visible children of a window with their texts.
std::vector<std::pair<HWND, std::wstring>> visibleChildren(HWND window) {
    std::vector<std::pair<HWND, std::wstring>> children;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM param) -> BOOL {
            wchar_t text[256] = {};
            GetWindowTextW(child, text, 256);
            if (IsWindowVisible(child)) {
                reinterpret_cast<std::vector<std::pair<HWND, std::wstring>>*>(param)->emplace_back(child, text);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

// The real question: a confirmation window over the owner with the pack's Yes and No and
// no "Don't ask me again" box, kept as "FlexAskerWindow"; Yes opens the software page.
TEST_F(UpdateCheckTest, AsksThroughTheConfirmationWindowOverItsOwner) {
    UpdateCheck::setQuestion(nullptr);
    const int64_t hour = 500000;
    g_nowMillis = hour * 3600 * 1000;
    g_online = true;
    server_.setLookupBody("*1.39");
    const std::wstring page = server_.url(L"/version/");
    UpdateCheck::setPageAddresses(page.c_str(), L"http://software.example/");
    s::lang::Localizer* texts = app_->localizer();
    const std::wstring title = texts->getText(UpdateCheck::TITLE_TEXT);
    const std::wstring yesCaption = texts->getText(400330);
    const std::wstring noCaption = texts->getText(400340);
    s::gui::win::Window* owner = s::gui::win::Window::pool();
    ASSERT_NE(nullptr, owner);
    HWND ownerFrame = owner->getFrameHandle();
    for (bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "yes" : "no");
        deleteProductKey();
        ASSERT_TRUE(writeBinary64(savePath(L"MainWindow\\Version"), L"Update", hour - 800));
        g_shellCalls = 0;
        std::vector<std::wstring> captions;
        bool ownerDisabled = false;
        bool clicked = false;
        std::thread clicker([&] {
            HWND asker = waitForTopLevel(title);
            if (asker == nullptr) {
                return;
            }
            // The owner is disabled just after the question shows.
            for (int i = 0; i < 100 && !ownerDisabled; ++i) {
                ownerDisabled = !IsWindowEnabled(ownerFrame);
                Sleep(ownerDisabled ? 0 : 20);
            }
            // A click while the window is still being activated may go to the activation.
            testsupport::waitFor([&] { return GetForegroundWindow() == asker; }, 10000);
            for (const auto& child : visibleChildren(asker)) {
                captions.push_back(child.second);
                if (child.second == (yes ? yesCaption : noCaption)) {
                    clicked = testsupport::clickOn(child.first) &&
                              testsupport::waitFor([&] { return !IsWindowVisible(asker); }, 10000);
                }
            }
            if (!clicked) {
                testsupport::closeFrame(asker);
            }
        });
        mainRecord()->checkForUpdate(owner);
        clicker.join();
        EXPECT_TRUE(clicked);
        EXPECT_TRUE(ownerDisabled);
        EXPECT_TRUE(IsWindowEnabled(ownerFrame));
        EXPECT_EQ(1, std::count(captions.begin(), captions.end(), yesCaption));
        EXPECT_EQ(1, std::count(captions.begin(), captions.end(), noCaption));
        EXPECT_EQ(0, std::count(captions.begin(), captions.end(), std::wstring(texts->getText(400380))));
        EXPECT_EQ(yes ? 1 : 0, g_shellCalls);
        std::wstring software;
        EXPECT_TRUE(readString(savePath(L"FlexAskerWindow\\SoftwareID"), L"", &software));
        EXPECT_EQ(L"Kexo Brisquelton", software);
    }
    owner->release();
}

} // namespace
