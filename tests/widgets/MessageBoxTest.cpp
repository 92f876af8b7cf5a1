#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "framework/AfxMessageBox.h"
#include "widgets/gui/win/MessageBoxW.h"

namespace {

using namespace windowtest;
using s::gui::win::MessageBoxW;

// Answers the first message box of this process that appears, from a thread of its own,
// and notes whose thread the box belongs to and what it says.
class BoxAnswerer {
public:
    explicit BoxAnswerer(WORD answer) : answer_(answer) {
        thread_ = CreateThread(nullptr, 0, &BoxAnswerer::watch, this, 0, nullptr);
    }
    ~BoxAnswerer() {
        stop_ = true;
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
    }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    DWORD boxThread() const { return boxThread_; }
    const std::wstring& caption() const { return caption_; }

private:
    static BOOL CALLBACK find(HWND hwnd, LPARAM param) {
        DWORD process = 0;
        const DWORD thread = GetWindowThreadProcessId(hwnd, &process);
        wchar_t name[16] = {};
        GetClassNameW(hwnd, name, 16);
        if (process == GetCurrentProcessId() && wcscmp(name, L"#32770") == 0 && IsWindowVisible(hwnd)) {
            BoxAnswerer* self = reinterpret_cast<BoxAnswerer*>(param);
            self->box_ = hwnd;
            self->boxThread_ = thread;
            return FALSE;
        }
        return TRUE;
    }
    static DWORD WINAPI watch(void* param) {
        BoxAnswerer* self = static_cast<BoxAnswerer*>(param);
        for (int i = 0; i < 1000 && !self->stop_ && self->box_ == nullptr; ++i) {
            EnumWindows(&BoxAnswerer::find, reinterpret_cast<LPARAM>(self));
            if (self->box_ == nullptr) {
                Sleep(10);
            }
        }
        if (self->box_ != nullptr) {
            wchar_t caption[128] = {};
            GetWindowTextW(self->box_, caption, 128);
            self->caption_ = caption;
            PostMessageW(self->box_, WM_COMMAND, MAKEWPARAM(self->answer_, BN_CLICKED), 0);
        }
        return 0;
    }

    WORD answer_;
    HANDLE thread_;
    std::atomic<bool> stop_{false};
    HWND box_ = nullptr;
    DWORD boxThread_ = 0;
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
        BoxAnswerer answerer(c.button);
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
