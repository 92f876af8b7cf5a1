#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "TestWindows.h"
#include "framework/AfxMessageBox.h"
#include "framework/CWinApp.h"

namespace {

struct Shown {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
    DWORD thread;
};

std::vector<Shown> g_shown;
int g_answer = IDOK;

int WINAPI recordBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    g_shown.push_back(Shown{owner, text, caption, type, GetCurrentThreadId()});
    return g_answer;
}

class AfxMessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_shown.clear();
        previous_ = AfxSetMessageBoxFunction(&recordBox);
    }
    void TearDown() override { AfxSetMessageBoxFunction(previous_); }

    AfxMessageBoxFn previous_ = nullptr;
};

TEST_F(AfxMessageBoxTest, CaptionIsTheApplicationTitleAndTheAnswerComesBack) {
    struct Case {
        const wchar_t* appName;  // null: no application object
        const wchar_t* caption;
        UINT type;
        int answer;
    };
    const Case cases[] = {
        {nullptr, L"framework_tests", MB_OK, IDOK},
        {L"Brisquelton", L"Brisquelton", MB_YESNO | MB_ICONQUESTION, IDNO},
        {L"Other Title", L"Other Title", MB_ICONERROR, IDOK},
    };
    for (const Case& c : cases) {
        g_shown.clear();
        g_answer = c.answer;
        CWinApp* app = c.appName != nullptr ? new CWinApp(c.appName) : nullptr;
        EXPECT_EQ(c.answer, AfxMessageBox(L"text", c.type));
        delete app;
        ASSERT_EQ(1u, g_shown.size());
        EXPECT_EQ(c.caption, g_shown[0].caption);
        EXPECT_EQ(L"text", g_shown[0].text);
        EXPECT_EQ(c.type, g_shown[0].type);
    }
}

TEST_F(AfxMessageBoxTest, OwnerIsTheCallingThreadsMainWindowWhenNoneIsActive) {
    RecordingWnd main;
    FunctionThread* thread = startThread([&](FunctionThread* self) {
        if (!main.CreateEx(0, plainClass(), L"main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr)) {
            return FALSE;
        }
        self->m_pMainWnd = &main;
        AfxMessageBox(L"from the UI thread");
        main.DestroyWindow();
        return FALSE;
    });
    ASSERT_NE(nullptr, thread);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread->m_hThread, 5000));
    ASSERT_EQ(1u, g_shown.size());
    EXPECT_NE(nullptr, g_shown[0].owner);
    EXPECT_EQ(thread->m_nThreadID, g_shown[0].thread);
    delete thread;
}

TEST(CWinAppTest, AfxWinMainRunsInitInstanceAndEndsWithoutALoopWhenItDeclines) {
    struct App : CWinApp {
        App() : CWinApp(L"Test App") {}
        BOOL InitInstance() override {
            CWinApp::InitInstance();
            ranOn = GetCurrentThreadId();
            mainThread = AfxGetThread();
            return FALSE;
        }
        int ExitInstance() override { return 5; }
        DWORD ranOn = 0;
        CWinThread* mainThread = nullptr;
    } app;
    EXPECT_EQ(&app, AfxGetApp());
    EXPECT_EQ(5, AfxWinMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPWSTR>(L""), SW_SHOW));
    EXPECT_EQ(GetCurrentThreadId(), app.ranOn);
    EXPECT_EQ(&app, app.mainThread);
    EXPECT_STREQ(L"Test App", AfxGetAppName());
}

TEST(CWinAppTest, ParseCommandLineHandsOnEveryArgumentAfterTheProgram) {
    struct Info : CCommandLineInfo {
        void parseParam(const wchar_t* param, bool flag, bool) override {
            params.push_back((flag ? L"-" : L"") + std::wstring(param));
        }
        std::vector<std::wstring> params;
    } info;
    CWinApp app(L"Parse");
    app.ParseCommandLine(info);
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    ASSERT_NE(nullptr, argv);
    ASSERT_EQ(static_cast<size_t>(argc - 1), info.params.size());
    for (int i = 1; i < argc; ++i) {
        // "/x" and "-x" arrive as flags alike.
        std::wstring expected = argv[i];
        if (!expected.empty() && expected[0] == L'/') {
            expected[0] = L'-';
        }
        EXPECT_EQ(expected, info.params[i - 1]);
    }
    LocalFree(argv);
}

} // namespace
