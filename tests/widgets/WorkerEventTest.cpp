#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "WindowTestSupport.h"

namespace {

using namespace windowtest;
using s::gui::IWindow;

// Memory at the top of the address space, above 4 GB on a 64-bit system.
class HighMemory {
public:
    HighMemory() {
        base_ = static_cast<wchar_t*>(
            VirtualAlloc(nullptr, 65536, MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN, PAGE_READWRITE));
    }
    ~HighMemory() {
        if (base_ != nullptr) {
            VirtualFree(base_, 0, MEM_RELEASE);
        }
    }
    HighMemory(const HighMemory&) = delete;
    HighMemory& operator=(const HighMemory&) = delete;
    wchar_t* at(size_t offset, const wchar_t* text) {
        wcscpy(base_ + offset, text);
        return base_ + offset;
    }
    bool ok() const { return base_ != nullptr; }

private:
    wchar_t* base_;
};

struct Sent {
    Window* window;
    const wchar_t* name;
    intptr_t value1;
    intptr_t value2;
    const wchar_t* text;
    intptr_t result;
};

DWORD WINAPI sendFromWorker(void* param) {
    Sent* sent = static_cast<Sent*>(param);
    sent->result = sent->window->sendWorkerEvent(sent->name, sent->value1, sent->value2, sent->text);
    return 0;
}

TEST(WorkerEventTest, AWorkersEventReturnsTheListenersAnswerWithPointersAboveFourGigabytes) {
    HighMemory high;
    ASSERT_TRUE(high.ok());
    const wchar_t* name = high.at(0, L"ProcessStatusUpdate");
    const wchar_t* text = high.at(1000, L"C:\\music\\track.flac");
    if (sizeof(void*) == 8) {
        EXPECT_GT(reinterpret_cast<uintptr_t>(name), 0xFFFFFFFFull);
    }

    Recorder recorder;
    Released<Window> window(Window::pool());
    window->addWorkerEventListener(&recorder);
    const wchar_t* seenName = nullptr;
    const wchar_t* seenText = nullptr;
    std::wstring seenContent;
    intptr_t seen1 = 0;
    intptr_t seen2 = 0;
    recorder.action = [&](int32_t) {
        seenName = window->getEventName();
        seenText = window->getEventText();
        seenContent = seenText != nullptr ? seenText : L"";
        seen1 = window->getEventValue1();
        seen2 = window->getEventValue2();
        window->setWorkerEventResult(static_cast<intptr_t>(0x1234567890ll));
    };

    const intptr_t big = sizeof(void*) == 8 ? static_cast<intptr_t>(0x7FFFFFFF00000001ll) : 0x7FFFFFFF;
    Sent sent = {window.get(), name, big, -3, text, 0};
    HANDLE worker = CreateThread(nullptr, 0, &sendFromWorker, &sent, 0, nullptr);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 5000));
    CloseHandle(worker);

    EXPECT_EQ(name, seenName);  // the name is compared by identity
    EXPECT_EQ(text, seenText);
    EXPECT_EQ(L"C:\\music\\track.flac", seenContent);
    EXPECT_EQ(big, seen1);
    EXPECT_EQ(-3, seen2);
    EXPECT_EQ(sizeof(void*) == 8 ? static_cast<intptr_t>(0x1234567890ll) : static_cast<intptr_t>(0x34567890),
              sent.result);
    EXPECT_EQ(window->getUiThreadId(), recorder.threads.at(0));
    EXPECT_EQ(IWindow::WORKER_EVENT, recorder.codes.at(0));

    // Without listeners the last result word comes back; released windows answer 0.
    recorder.action = nullptr;
    window->removeListener(&recorder);
    EXPECT_EQ(sent.result, window->sendWorkerEvent(name, 0, 0, nullptr));
    EXPECT_EQ(1u, recorder.codes.size());
}

TEST(WorkerEventTest, APostedEventCarriesItsOwnCopyOfTheText) {
    Recorder recorder;
    Released<Window> window(Window::pool());
    window->addWorkerEventListener(&recorder);
    std::wstring seen;
    const wchar_t* seenName = nullptr;
    HANDLE told = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    recorder.action = [&](int32_t) {
        seen = window->getEventText();
        seenName = window->getEventName();
        SetEvent(told);
    };
    static const wchar_t NAME[] = L"ReportError";
    {
        wchar_t gone[32] = L"temporary text";
        ASSERT_TRUE(window->postWorkerEvent(NAME, 1, 2, gone));
        wcscpy(gone, L"overwritten!!");
    }
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(told, 5000));
    EXPECT_EQ(L"temporary text", seen);
    EXPECT_EQ(NAME, seenName);
    // After the handler the text is gone with its block.
    SendMessageW(window->getFrameHandle(), WM_NULL, 0, 0);
    EXPECT_EQ(nullptr, window->getEventText());
    CloseHandle(told);
    recorder.action = nullptr;
}

TEST(WorkerEventTest, ARemovedListenerIsNoLongerTold) {
    Recorder kept;
    Recorder removed;
    Released<Window> window(Window::pool());
    window->addWorkerEventListener(&kept);
    window->addWorkerEventListener(&removed);
    window->addCloseListener(&removed);
    window->sendWorkerEvent(L"a", 0, 0, nullptr);
    window->removeListener(&removed);
    window->sendWorkerEvent(L"b", 0, 0, nullptr);
    window->close();
    EXPECT_EQ(2u, kept.codes.size());
    EXPECT_EQ(1u, removed.codes.size());
}

} // namespace
