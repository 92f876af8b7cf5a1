#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ChildProcess.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "system/process/win/OtherInstance.h"
#include "tests/download/Watchdog.h"

using s::process::win::OtherInstance;
using s::str::strbuffer::StrBuffer;

namespace {

const DWORD HELPER_LIMIT_MS = 20000;

std::wstring folderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring ownExe() {
    wchar_t path[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

bool samePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::wstring inQuotes(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

// A waiting or hung copy of the helper with its own window title.
class Copy {
public:
    // mode "wait" or "hang".
    bool start(const std::wstring& exe, const wchar_t* mode, const std::wstring& title, bool decoy = false) {
        static int serial = 0;
        const std::wstring base = L"Local\\brisquelton_copy_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                  std::to_wstring(++serial);
        readyName_ = base + L"_ready";
        quitName_ = base + L"_quit";
        ready_ = CreateEventW(nullptr, TRUE, FALSE, readyName_.c_str());
        quit_ = CreateEventW(nullptr, TRUE, FALSE, quitName_.c_str());
        std::wstring arguments = std::wstring(mode) + L" " + inQuotes(title) + L" " + readyName_ + L" ";
        if (std::wstring(mode) == L"wait") {
            arguments += quitName_ + L" ";
        }
        arguments += std::to_wstring(HELPER_LIMIT_MS);
        if (decoy) {
            arguments += L" decoy";
        }
        return ready_ != nullptr && quit_ != nullptr && process_.start(exe, arguments) &&
               WaitForSingleObject(ready_, 15000) == WAIT_OBJECT_0;
    }
    ~Copy() {
        process_.end();
        if (ready_ != nullptr) {
            CloseHandle(ready_);
        }
        if (quit_ != nullptr) {
            CloseHandle(quit_);
        }
    }
    DWORD id() const { return process_.id(); }
    // Lets a waiting copy finish; its exit code (100 + restores + 10 * events + 1000 *
    // decoy messages), or -1.
    long finish() {
        SetEvent(quit_);
        return process_.waitExit(10000);
    }
    void end() { process_.end(); }

private:
    ChildProcess process_;
    std::wstring readyName_;
    std::wstring quitName_;
    HANDLE ready_ = nullptr;
    HANDLE quit_ = nullptr;
};

// Runs a notifying copy to its end: 0 delivered, 2 not found, 3 not delivered.
long notifyFrom(const std::wstring& exe, const std::wstring& arguments) {
    ChildProcess notifier;
    if (!notifier.start(exe, arguments)) {
        return -2;
    }
    return notifier.waitExit(20000);
}

bool titleOf(void* context, uint32_t index, uint32_t, StrBuffer* title) {
    const std::vector<std::wstring>* titles = static_cast<const std::vector<std::wstring>*>(context);
    if (index >= titles->size()) {
        return false;
    }
    title->assign((*titles)[index].c_str());
    return true;
}

class RunningCopyTest : public ::testing::Test {
protected:
    void SetUp() override {
        helper = folderOf(ownExe()) + L"\\runningcopy_helper.exe";
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(helper.c_str()));
        // The same program at another path.
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, temp);
        otherFolder = std::wstring(temp) + L"brisquelton_copy_" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(otherFolder.c_str(), nullptr);
        otherHelper = otherFolder + L"\\runningcopy_helper.exe";
        ASSERT_TRUE(CopyFileW(helper.c_str(), otherHelper.c_str(), FALSE));
        title = L"Brisquelton test copy " + std::to_wstring(GetCurrentProcessId());
    }
    void TearDown() override {
        DeleteFileW(otherHelper.c_str());
        RemoveDirectoryW(otherFolder.c_str());
    }

    Watchdog watchdog{120000};
    std::wstring helper;
    std::wstring otherFolder;
    std::wstring otherHelper;
    std::wstring title;
};

} // namespace

TEST(ProcessExePathTest, GivesTheModulePathOfARunningProcessAndNothingForAnUnknownOne) {
    StrBuffer* own = OtherInstance::processExePath(GetCurrentProcessId());
    ASSERT_NE(nullptr, own);
    EXPECT_TRUE(samePath(ownExe(), own->c_str())) << testing::PrintToString(std::wstring(own->c_str()));
    own->release();
    StrBuffer* none = OtherInstance::processExePath(0x7FFFFFF0);
    ASSERT_NE(nullptr, none);
    EXPECT_EQ(0u, none->length());
    none->release();
    // Nothing else runs this test program.
    uint32_t id = 0;
    EXPECT_FALSE(OtherInstance::findOtherInstance(&id));
}

TEST_F(RunningCopyTest, OnlyACopyAtTheSamePathIsFoundAndNotifiedOnce) {
    Copy elsewhere;
    ASSERT_TRUE(elsewhere.start(otherHelper, L"wait", title + L" elsewhere"));
    uint32_t id = 0;
    EXPECT_FALSE(OtherInstance::findProcessOf(helper.c_str(), GetCurrentProcessId(), &id));
    ASSERT_TRUE(OtherInstance::findProcessOf(otherHelper.c_str(), GetCurrentProcessId(), &id));
    EXPECT_EQ(elsewhere.id(), id);
    // A copy started here does not take the one elsewhere for itself.
    EXPECT_EQ(2, notifyFrom(helper, L"notify 0 " + inQuotes(title)));

    Copy same;
    ASSERT_TRUE(same.start(helper, L"wait", title, true));
    id = 0;
    ASSERT_TRUE(OtherInstance::findProcessOf(helper.c_str(), GetCurrentProcessId(), &id));
    EXPECT_EQ(same.id(), id);
    HWND window = nullptr;
    id = 0;
    ASSERT_TRUE(OtherInstance::findWindowOf(GetThreadDesktop(GetCurrentThreadId()), helper.c_str(),
                                            GetCurrentProcessId(), &id, &window));
    EXPECT_EQ(same.id(), id);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(same.id(), owner);

    // Packs without the title, or with a foreign one, are passed over; the first
    // pack whose window takes the message ends the hand-over.
    EXPECT_EQ(0, notifyFrom(helper, L"notify 0 \"\" \"Another program\" " + inQuotes(title) + L" " + inQuotes(title)));
    EXPECT_EQ(101, same.finish());
    EXPECT_EQ(100, elsewhere.finish());
}

TEST_F(RunningCopyTest, DesktopSearchMatchesTitlesIgnoringCaseAndSendsTheEventToo) {
    Copy same;
    ASSERT_TRUE(same.start(helper, L"wait", title, true));
    std::wstring upper = title;
    CharUpperW(&upper[0]);
    EXPECT_EQ(0, notifyFrom(helper, L"notifydesktop 1 " + inQuotes(upper.substr(0, upper.size() - 2))));
    EXPECT_EQ(111, same.finish());
}

TEST_F(RunningCopyTest, WithoutTitlesAnyCaptionedWindowOfTheCopyGetsTheMessage) {
    Copy same;
    ASSERT_TRUE(same.start(helper, L"wait", title));
    EXPECT_EQ(0, notifyFrom(helper, L"notify 0"));
    EXPECT_EQ(101, same.finish());
}

TEST_F(RunningCopyTest, HungCopyDoesNotHangTheCaller) {
    Copy hung;
    ASSERT_TRUE(hung.start(helper, L"hang", title));
    const std::vector<std::wstring> titles = {L"Another program", title};
    DWORD t0 = GetTickCount();
    EXPECT_FALSE(OtherInstance::notifyOtherInstance(hung.id(), &titleOf, const_cast<std::vector<std::wstring>*>(&titles),
                                                    7, true));
    DWORD elapsed = GetTickCount() - t0;
    // One bounded idle wait and one bounded send at most.
    EXPECT_LT(elapsed, OtherInstance::IDLE_WAIT_MS + OtherInstance::SEND_TIMEOUT_MS + 1500);
    t0 = GetTickCount();
    EXPECT_EQ(0, OtherInstance::sendToProcessWindow(title.c_str(), OtherInstance::RESTORE_MESSAGE, hung.id()));
    elapsed = GetTickCount() - t0;
    EXPECT_LT(elapsed, OtherInstance::IDLE_WAIT_MS + OtherInstance::SEND_TIMEOUT_MS + 1500);
    hung.end();
}
