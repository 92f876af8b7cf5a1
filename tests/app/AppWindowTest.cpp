// The main window's record: where it keeps the placement per UI scale, which stored
// geometry it accepts, how a rectangle off every screen comes back, the middle-click
// action, the skin of a record with a skinner of its own, and the taskbar progress.
#include <gtest/gtest.h>

#include <windows.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "AppFixture.h"
#include "app/app/win/AboutWindow.h"
#include "drawers/gui/drawer/ISkin.h"
#include "drawers/gui/drawer/Skinner.h"
#include "system/system/win/OsFacts.h"
#include "widgets/gui/win/Window.h"

using namespace apptest;
using s::app::win::AppWindow;

namespace {

int32_t g_screenWidth = 1280;
int32_t g_screenHeight = 1024;
void fakeScreen(int32_t* width, int32_t* height) {
    *width = g_screenWidth;
    *height = g_screenHeight;
}

TEST(FitOntoWorkAreasTest, RectanglesOffEveryAreaMoveIntoTheNearest) {
    const RECT areas[2] = {{0, 0, 1280, 1000}, {1280, 0, 2560, 1000}};
    struct Case {
        const char* what;
        RECT rect;
        bool moved;
        RECT expected;
    };
    const Case cases[] = {
        {"inside the first", {100, 100, 400, 300}, false, {100, 100, 400, 300}},
        {"across both", {1200, 100, 1500, 300}, false, {1200, 100, 1500, 300}},
        {"10 pixels showing at the left", {-290, 100, 10, 300}, false, {-290, 100, 10, 300}},
        {"9 pixels showing at the left", {-291, 100, 9, 300}, true, {0, 100, 300, 300}},
        {"9 pixels showing at the bottom", {100, 991, 400, 1191}, true, {100, 800, 400, 1000}},
        {"far left", {-5000, 100, -4700, 300}, true, {0, 100, 300, 300}},
        {"far right, nearest the second", {9000, 400, 9300, 600}, true, {2260, 400, 2560, 600}},
        {"above the second", {1500, -900, 1800, -700}, true, {1500, 0, 1800, 200}},
        {"larger than an area", {-3000, -3000, 0, 0}, true, {0, 0, 3000, 3000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RECT rect = c.rect;
        EXPECT_EQ(c.moved, AppWindow::fitOntoWorkAreas(&rect, areas, 2));
        EXPECT_EQ(c.expected.left, rect.left);
        EXPECT_EQ(c.expected.top, rect.top);
        EXPECT_EQ(c.expected.right, rect.right);
        EXPECT_EQ(c.expected.bottom, rect.bottom);
    }
}

class AppWindowTest : public AppFixture {};

TEST_F(AppWindowTest, StoredSizesOutsideTheVirtualScreenAreInvalid) {
    const int32_t screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int32_t screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    struct Case {
        int32_t width;  // 0: nothing stored
        bool valid;
    };
    const Case cases[] = {{0, true}, {5, false}, {9, false}, {10, true}, {-400, false}, {0x7FFFFFFF, false}};
    AppWindow* record = mainRecord();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        record->clearPlacement();
        if (c.width != 0) {
            record->setSize(c.width, c.width);
        }
        EXPECT_EQ(c.valid, record->widthIsValid());
        EXPECT_EQ(c.valid, record->heightIsValid());
    }
    record->setSize(screenWidth, screenHeight);
    EXPECT_TRUE(record->widthIsValid() && record->heightIsValid());
    record->setSize(screenWidth + 1, screenHeight + 1);
    EXPECT_FALSE(record->widthIsValid() || record->heightIsValid());
}

TEST_F(AppWindowTest, EachUiScaleKeepsItsOwnPlacement) {
    struct Case {
        int32_t screenWidth, screenHeight;
        const wchar_t* group;
        int32_t defaultSide;
    };
    const Case cases[] = {
        {1280, 1024, L"MainWindow\\View", 250},
        {2560, 1700, L"MainWindow\\View4K", 500},
        {4100, 3240, L"MainWindow\\View8K", 1000},
    };
    s::system::monitor::setScreenSizeFunction(&fakeScreen);
    for (size_t i = 0; i < 3; ++i) {
        g_screenWidth = cases[i].screenWidth;
        g_screenHeight = cases[i].screenHeight;
        s::system::monitor::setScreenSizeFunction(&fakeScreen);
        AppWindow* record = mainRecord();
        EXPECT_EQ(cases[i].defaultSide, record->width());
        record->setPlacement(10 + static_cast<int32_t>(i), 20, 300, 200);
    }
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(cases[i].screenWidth);
        int32_t x = -1;
        ASSERT_TRUE(readInt(savePath(cases[i].group), L"X", &x));
        EXPECT_EQ(10 + static_cast<int32_t>(i), x);
    }
}

TEST_F(AppWindowTest, MiddleClickActionIsOneOfTheWindowsConstants) {
    using s::gui::IWindow;
    struct Case {
        const wchar_t* stored;  // null: nothing stored
        const wchar_t* action;
    };
    const Case cases[] = {
        {nullptr, IWindow::MIDDLE_CLOSE},     {L"Iconize", IWindow::MIDDLE_ICONIZE},
        {L"Close", IWindow::MIDDLE_CLOSE},    {L"DoNothing", IWindow::MIDDLE_DO_NOTHING},
        {L"close", IWindow::MIDDLE_DO_NOTHING}, {L"Minimize", IWindow::MIDDLE_DO_NOTHING},
        {L"", IWindow::MIDDLE_DO_NOTHING},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored != nullptr ? std::string(c.stored, c.stored + wcslen(c.stored)) : "nothing");
        RegDeleteTreeW(HKEY_CURRENT_USER, savePath(L"MainWindow").c_str());
        if (c.stored != nullptr) {
            ASSERT_TRUE(writeString(savePath(L"MainWindow\\View"), L"OnMClick", c.stored));
        }
        AppWindow* record = mainRecord();
        EXPECT_EQ(c.action, record->middleClickAction());
        EXPECT_EQ(c.action == IWindow::MIDDLE_CLOSE, record->middleClickCloses());
        EXPECT_EQ(c.action == IWindow::MIDDLE_ICONIZE, record->middleClickIconizes());
    }
    AppWindow* record = mainRecord();
    record->setMiddleClickAction(L"Iconize");
    std::wstring stored;
    ASSERT_TRUE(readString(savePath(L"MainWindow\\View"), L"OnMClick", &stored));
    EXPECT_EQ(L"Iconize", stored);
}

// A taskbar object that records what it is asked.
class TaskbarSpy final : public ITaskbarList3 {
public:
    virtual ~TaskbarSpy() = default;
    static std::vector<std::wstring>* calls;
    static ITaskbarList3* make() { return new TaskbarSpy(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) {
            calls->push_back(L"released");
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE HrInit() override { return note(L"init"); }
    HRESULT STDMETHODCALLTYPE AddTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ActivateTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE MarkFullscreenWindow(HWND, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetProgressValue(HWND, ULONGLONG done, ULONGLONG total) override {
        return note(L"value " + std::to_wstring(done) + L"/" + std::to_wstring(total));
    }
    HRESULT STDMETHODCALLTYPE SetProgressState(HWND, TBPFLAG state) override {
        return note(L"state " + std::to_wstring(static_cast<int>(state)));
    }
    HRESULT STDMETHODCALLTYPE RegisterTab(HWND, HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnregisterTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTabOrder(HWND, HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTabActive(HWND, HWND, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ThumbBarSetImageList(HWND, HIMAGELIST) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND, HICON, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetThumbnailTooltip(HWND, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetThumbnailClip(HWND, RECT*) override { return E_NOTIMPL; }

private:
    HRESULT note(const std::wstring& call) {
        calls->push_back(call + (GetCurrentThreadId() == uiThread ? L"" : L" off the UI thread"));
        return S_OK;
    }
    ULONG refs_ = 1;

public:
    static DWORD uiThread;
};
std::vector<std::wstring>* TaskbarSpy::calls = nullptr;
DWORD TaskbarSpy::uiThread = 0;

// The About window's record owns its skinner and keeps its skin in its own group; the
// main window's shares the context's (none in this program).
TEST_F(AppWindowTest, ARecordWithItsOwnSkinnerKeepsItsOwnSkin) {
    EXPECT_FALSE(mainRecord()->hasSkinner());
    struct Case {
        const wchar_t* stored;  // null: nothing stored
        const wchar_t* shown;
    };
    const Case cases[] = {{nullptr, L"Classic LG"}, {L"Green", L"Green"}, {L"Tartan", L"Classic LG"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored != nullptr ? std::string(c.stored, c.stored + wcslen(c.stored)) : "nothing");
        if (c.stored != nullptr) {
            ASSERT_TRUE(writeString(savePath(L"AboutWindow\\Skin"), L"", c.stored));
        }
        AppWindow* about = s::app::win::AboutWindow::createRecord(app_);
        ASSERT_NE(nullptr, about);
        ASSERT_TRUE(about->hasSkinner());
        ASSERT_NE(nullptr, about->skinner()->getCurrentSkin());
        EXPECT_STREQ(c.shown, about->skinner()->getCurrentSkin()->getName());
        EXPECT_STREQ(c.shown, about->skinName());
        if (c.stored == nullptr) {
            about->setSkinName(L"Orange");
            EXPECT_STREQ(L"Orange", about->skinner()->getCurrentSkin()->getName());
            std::wstring stored;
            ASSERT_TRUE(readString(savePath(L"AboutWindow\\Skin"), L"", &stored));
            EXPECT_EQ(L"Orange", stored);
            // The context's skin is not touched.
            EXPECT_FALSE(hasValue(savePath(L"Skin"), L""));
        }
        about->release();
    }
}

TEST_F(AppWindowTest, TaskbarProgressIsShownByTheWindowsUiThreadWithCountsNeverNegative) {
    std::vector<std::wstring> calls;
    TaskbarSpy::calls = &calls;
    AppWindow::setTaskbarFactory(&TaskbarSpy::make);
    const s::system::win::OsFacts::Facts versions[2] = {s::system::win::OsFacts::derive(6, 1, 7601, true, false),
                                                        s::system::win::OsFacts::derive(6, 0, 6002, true, false)};
    // Windows 7 shows each call; Vista has no taskbar progress at all.
    const std::vector<std::wstring> expected[2] = {
        {L"init", L"state 1", L"value 40/100", L"value 3/0", L"value 0/10", L"state 0", L"released"}, {}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        calls.clear();
        s::system::win::OsFacts::inject(&versions[i]);
        s::gui::win::Window* window = s::gui::win::Window::pool();
        ASSERT_NE(nullptr, window);
        TaskbarSpy::uiThread = window->getUiThreadId();
        AppWindow* record = mainRecord();
        // This thread stands for the conversion worker.
        EXPECT_EQ(i == 0, record->taskbarStart(window));
        record->taskbarProgress(window, 100, 40);
        record->taskbarProgress(window, -5, 3);
        record->taskbarProgress(window, 10, -1);
        record->taskbarEnd(window);
        window->release();
        record_->release();
        record_ = nullptr;
        EXPECT_EQ(expected[i], calls);
    }
    s::system::win::OsFacts::inject(nullptr);
    AppWindow::setTaskbarFactory(nullptr);
}

} // namespace
