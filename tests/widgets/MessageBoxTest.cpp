#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "WindowTestSupport.h"
#include "support/BoxWatchdog.h"
#include "framework/AfxMessageBox.h"
#include "widgets/gui/win/MessageBoxW.h"

namespace {

using namespace windowtest;
using s::gui::win::MessageBoxW;

// Answers the first message box of this process by clicks on button (the suite's
// answerer), from a thread of its own, and notes whose thread the box belongs to and its
// caption.
class FirstBox {
public:
    explicit FirstBox(int button) : answerer_(button) {
        thread_ = std::thread([this] {
            for (int i = 0; i < 1500 && !stop_; ++i, Sleep(10)) {
                // Noted before the click: a box answered at once is gone after it.
                HWND box = testsupport::messageBoxOf(GetCurrentProcessId());
                if (box != nullptr && boxThread_ == 0) {
                    wchar_t caption[128] = {};
                    GetWindowTextW(box, caption, 128);
                    caption_ = caption;
                    boxThread_ = GetWindowThreadProcessId(box, nullptr);
                }
                if (answerer_.step(GetCurrentProcessId()) == nullptr && box == nullptr && boxThread_ != 0) {
                    return;
                }
            }
        });
    }
    ~FirstBox() {
        stop_ = true;
        thread_.join();
    }
    FirstBox(const FirstBox&) = delete;
    FirstBox& operator=(const FirstBox&) = delete;

    DWORD boxThread() const { return boxThread_; }
    const std::wstring& caption() const { return caption_; }

private:
    testsupport::BoxAnswerer answerer_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<DWORD> boxThread_{0};
    std::wstring caption_;
};

struct Asked {
    Window* window;
    int kind;  // 0 information, 1 error, 2 yes/no
    bool answer;
};

DWORD WINAPI askFromWorker(void* param) {
    Asked* asked = static_cast<Asked*>(param);
    switch (asked->kind) {
    case 0: asked->window->showInformationOnUiThread(L"Done!"); break;
    case 1: asked->window->showErrorOnUiThread(L"Conversion failed"); break;
    default: asked->answer = asked->window->askYesNoOnUiThread(L"Cancel the conversion?"); break;
    }
    return 0;
}

TEST(MessageBoxTest, BoxesAskedForByAWorkerBelongToTheUiThread) {
    struct Case {
        int kind;
        WORD button;
        bool answer;
    };
    const Case cases[] = {{0, IDOK, false}, {1, IDOK, false}, {2, IDYES, true}, {2, IDNO, false}};
    Released<Window> window(Window::pool());
    for (const Case& c : cases) {
        FirstBox answerer(c.button);
        Asked asked = {window.get(), c.kind, !c.answer};
        HANDLE worker = CreateThread(nullptr, 0, &askFromWorker, &asked, 0, nullptr);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 15000)) << c.kind;
        CloseHandle(worker);
        EXPECT_EQ(window->getUiThreadId(), answerer.boxThread()) << c.kind;
        EXPECT_EQ(L"widgets_tests", answerer.caption());
        if (c.kind == 2) {
            EXPECT_EQ(c.answer, asked.answer);
        }
    }
}

int g_answer = IDOK;
std::vector<UINT> g_types;

int WINAPI answerBox(HWND, LPCWSTR, LPCWSTR, UINT type) {
    g_types.push_back(type);
    return g_answer;
}

TEST(MessageBoxTest, AnswersMapToResults) {
    AfxMessageBoxFn previous = AfxSetMessageBoxFunction(&answerBox);
    struct Case {
        int answer;
        bool result;
        bool yes;
    };
    for (const Case& c : {Case{IDYES, true, true}, Case{IDNO, true, false}, Case{IDCANCEL, false, false}}) {
        g_answer = c.answer;
        MessageBoxW* box = MessageBoxW::pool();
        bool yes = !c.yes;
        EXPECT_EQ(c.result, box->askYesNoCancel(L"Save?", &yes));
        EXPECT_EQ(c.yes, yes);
        EXPECT_EQ(c.answer == IDYES, box->askYesNo(L"Sure?"));
        box->release();
    }
    g_types.clear();
    MessageBoxW::showInformationBox(L"i");
    MessageBoxW::showErrorBox(L"e");
    Released<MessageBoxW> box(MessageBoxW::pool());
    box->showWarning(L"w");
    EXPECT_EQ((std::vector<UINT>{MB_ICONINFORMATION, MB_ICONERROR, MB_ICONWARNING}), g_types);
    AfxSetMessageBoxFunction(previous);
}

} // namespace
