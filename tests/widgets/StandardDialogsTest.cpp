#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "support/RealInput.h"
#include "support/WaitFor.h"
#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "framework/CommonDialogs.h"
#include "widgets/gui/dialogs/win/ColorPicker.h"
#include "widgets/gui/dialogs/win/FileDialogEx.h"
#include "widgets/gui/dialogs/win/FileOpener.h"
#include "widgets/gui/dialogs/win/FolderSelector.h"

namespace {

using namespace s::gui::dialogs::win;
using windowtest::Window;

// What the recording dialog functions saw and answer.
struct Script {
    std::wstring answer;  // written into the result buffer (may hold NULs)
    BOOL confirm = TRUE;
    COLORREF colour = 0;
    std::wstring folder;
    // Seen:
    HWND owner = nullptr;
    bool ownerEnabled = true;
    DWORD flags = 0;
    DWORD capacity = 0;
    std::wstring filter;
    COLORREF initial = 0;
    bool customColours = false;
    std::wstring startFolder;
};
Script g_script;

void seeOwner(HWND owner) {
    g_script.owner = owner;
    g_script.ownerEnabled = owner != nullptr && IsWindowEnabled(owner);
}

BOOL WINAPI recordFile(OPENFILENAMEW* ofn) {
    seeOwner(ofn->hwndOwner);
    g_script.flags = ofn->Flags;
    g_script.capacity = ofn->nMaxFile;
    g_script.filter.clear();
    for (const wchar_t* p = ofn->lpstrFilter; p != nullptr && (*p != 0 || p[1] != 0); ++p) {
        g_script.filter.push_back(*p);
    }
    if (g_script.confirm && g_script.answer.size() + 2 <= ofn->nMaxFile) {
        std::copy(g_script.answer.begin(), g_script.answer.end(), ofn->lpstrFile);
        ofn->lpstrFile[g_script.answer.size()] = 0;
        ofn->lpstrFile[g_script.answer.size() + 1] = 0;
    }
    return g_script.confirm;
}

BOOL WINAPI recordColour(CHOOSECOLORW* cc) {
    seeOwner(cc->hwndOwner);
    g_script.flags = cc->Flags;
    g_script.initial = cc->rgbResult;
    // The system reads and writes all 16 custom colours.
    g_script.customColours = cc->lpCustColors != nullptr;
    for (int i = 0; g_script.customColours && i < 16; ++i) {
        cc->lpCustColors[i] = RGB(i, i, i);
    }
    cc->rgbResult = g_script.colour;
    return g_script.confirm;
}

LRESULT CALLBACK browseWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == BFFM_SETSELECTIONW && wParam == TRUE) {
        g_script.startFolder = reinterpret_cast<const wchar_t*>(lParam);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The folder dialog: starts (its callback selects the start folder) and answers the
// folder it was told, or the one the callback selected.
PIDLIST_ABSOLUTE WINAPI recordBrowse(BROWSEINFOW* info) {
    seeOwner(info->hwndOwner);
    g_script.flags = info->ulFlags;
    g_script.startFolder.clear();
    if (info->lpfn != nullptr) {
        HWND dialog = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&browseWindowProc));
        info->lpfn(dialog, BFFM_INITIALIZED, 0, info->lParam);
        DestroyWindow(dialog);
    }
    const std::wstring chosen = g_script.folder.empty() ? g_script.startFolder : g_script.folder;
    return g_script.confirm && !chosen.empty() ? ILCreateFromPathW(chosen.c_str()) : nullptr;
}

class StandardDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_script = Script();
        previous_ = AfxSetCommonDialogFunctions({&recordFile, &recordFile, &recordColour, &recordBrowse});
    }
    void TearDown() override { AfxSetCommonDialogFunctions(previous_); }

    AfxCommonDialogFunctions previous_;
};

std::wstring withNuls(std::initializer_list<const wchar_t*> parts) {
    std::wstring text;
    for (const wchar_t* part : parts) {
        text += part;
        text.push_back(L'\0');
    }
    text.pop_back();
    return text;
}

TEST_F(StandardDialogsTest, TheFileDialogAnswersEveryPickedPathInOrderAndCancelGivesNothing) {
    const std::wstring longPath = L"C:\\" + std::wstring(300, L'a') + L".mp3";
    struct Case {
        bool multi;
        std::wstring answer;
        BOOL confirm;
        std::vector<std::wstring> paths;
    } cases[] = {
        {false, L"C:\\music\\one.mp3", TRUE, {L"C:\\music\\one.mp3"}},
        {true, withNuls({L"C:\\music", L"b.wav", L"a.mp3"}), TRUE, {L"C:\\music\\b.wav", L"C:\\music\\a.mp3"}},
        // One file picked in multiple selection comes back whole.
        {true, L"C:\\music\\one.mp3", TRUE, {L"C:\\music\\one.mp3"}},
        {true, withNuls({L"C:\\", L"x.mp3", L"y.mp3"}), TRUE, {L"C:\\x.mp3", L"C:\\y.mp3"}},
        // A path past 260 characters is a choice, not a Cancel.
        {false, longPath, TRUE, {longPath}},
        {true, L"", FALSE, {}},
    };
    Released<Window> owner(Window::pool());
    Released<FileOpener> opener(FileOpener::pool());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.paths.empty() ? L"cancel" : c.paths[0]);
        g_script.answer = c.answer;
        g_script.confirm = c.confirm;
        opener->setOpenMode(c.multi, true);
        EXPECT_EQ(c.confirm != FALSE, opener->run(owner.get()));
        ASSERT_EQ(c.paths.size(), opener->getResults()->count());
        for (size_t i = 0; i < c.paths.size(); ++i) {
            EXPECT_EQ(c.paths[i], opener->getResults()->get(static_cast<uint32_t>(i))->c_str());
        }
        if (!c.paths.empty()) {
            EXPECT_EQ(c.paths[0], opener->getFirstPath());
        }
        // Explorer style with the hook, as multiple selection and the type hook need.
        EXPECT_EQ(static_cast<DWORD>(OFN_EXPLORER | OFN_ENABLEHOOK), g_script.flags & (OFN_EXPLORER | OFN_ENABLEHOOK));
        EXPECT_EQ(c.multi, (g_script.flags & OFN_ALLOWMULTISELECT) != 0);
        EXPECT_GE(g_script.capacity, c.multi ? FileOpener::MULTI_SELECT_CHARACTERS : 32767u);
        // The owner is disabled while the dialog runs and enabled afterwards.
        EXPECT_EQ(owner->getFrameHandle(), g_script.owner);
        EXPECT_FALSE(g_script.ownerEnabled);
        EXPECT_TRUE(IsWindowEnabled(owner->getFrameHandle()));
    }
}

TEST_F(StandardDialogsTest, FiltersReachTheDialogDoubleNulEndedAndLinksFollowUnlessAsked) {
    Released<FileOpener> opener(FileOpener::pool());
    opener->addFilter(L"MP3", L"*.mp3");
    opener->addFilter(L"All", L"*.*");
    opener->setOpenMode(false, false);
    g_script.answer = L"C:\\a.mp3";
    EXPECT_TRUE(opener->run(nullptr));
    EXPECT_EQ(withNuls({L"MP3", L"*.mp3", L"All", L"*.*"}), g_script.filter);
    EXPECT_NE(0u, g_script.flags & OFN_NODEREFERENCELINKS);
    EXPECT_EQ(nullptr, g_script.owner);
}

TEST(FileDialogExTest, ATypeChangeGivesTheTypedNameTheTypesExtension) {
    const std::wstring filter = withNuls({L"MP3", L"*.mp3;*.mpa", L"WAV", L"*.wav", L"All", L"*.*", L""});
    struct Case {
        int32_t type;
        const wchar_t* name;
        const wchar_t* renamed;  // null: left alone
    } cases[] = {
        {2, L"song", L"song.wav"},
        {2, L"song.mp3", L"song.wav"},
        {1, L"song.wav", L"song.mp3"},
        {1, L"my.music\\song", L"my.music\\song.mp3"},
        {3, L"song.mp3", nullptr},
        {2, L"", nullptr},
        {4, L"song", nullptr},
        {0, L"song", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring out = L"untouched";
        EXPECT_EQ(c.renamed != nullptr, FileDialogEx::nameForType(filter.c_str(), c.type, c.name, &out));
        EXPECT_EQ(c.renamed != nullptr ? c.renamed : L"untouched", out);
    }
}

TEST_F(StandardDialogsTest, TheFolderDialogOpensOnItsStartFolderAndCancelKeepsTheLastAnswer) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring start(temp);
    if (start.size() > 3 && start.back() == L'\\') {
        start.pop_back();
    }
    Released<Window> owner(Window::pool());
    Released<FolderSelector> selector(FolderSelector::pool());
    ASSERT_TRUE(selector->run(owner.get(), start.c_str(), L"Where?"));
    EXPECT_EQ(start, g_script.startFolder);
    EXPECT_EQ(start, selector->getPath());
    EXPECT_EQ(static_cast<UINT>(BIF_NEWDIALOGSTYLE | BIF_EDITBOX | BIF_VALIDATE), g_script.flags);
    EXPECT_FALSE(g_script.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner->getFrameHandle()));

    // Without a start folder nothing is selected for it; a cancel answers false.
    g_script.confirm = FALSE;
    EXPECT_FALSE(selector->run(owner.get(), nullptr, nullptr));
    EXPECT_EQ(L"", g_script.startFolder);
    EXPECT_EQ(static_cast<UINT>(BIF_NEWDIALOGSTYLE | BIF_EDITBOX), g_script.flags);
    EXPECT_EQ(start, selector->getPath());
}

TEST_F(StandardDialogsTest, TheColourDialogOpensOnTheInitialColourAndAnswersThePickPackedRedFirst) {
    Released<Window> owner(Window::pool());
    Released<ColorPicker> picker(ColorPicker::pool());
    picker->setInitialColor(255, 165, 0);
    g_script.colour = RGB(0, 0, 255);
    ASSERT_TRUE(picker->run(owner.get()));
    EXPECT_EQ(RGB(255, 165, 0), g_script.initial);
    EXPECT_TRUE(g_script.customColours);
    EXPECT_NE(0u, g_script.flags & CC_FULLOPEN);
    EXPECT_FALSE(g_script.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner->getFrameHandle()));
    EXPECT_EQ(0x0000FFu, picker->getColor());
    EXPECT_EQ(255, picker->getBlue());
    EXPECT_EQ(0, picker->getRed());

    // A colour with all three channels apart shows the byte order both ways.
    g_script.colour = RGB(0x12, 0x34, 0x56);
    ASSERT_TRUE(picker->run(nullptr));
    EXPECT_EQ(0x123456u, picker->getColor());
    EXPECT_EQ(0x56u, ColorPicker::packedToColorref(0x123456u) >> 16);

    g_script.confirm = FALSE;
    g_script.colour = RGB(1, 2, 3);
    EXPECT_FALSE(picker->run(nullptr));
    EXPECT_EQ(0x123456u, picker->getColor());
}

// The real save dialog: choosing another file type rewrites the typed name's extension.
TEST(FileDialogExTest, TheRealSaveDialogRewritesTheTypedNameWhenTheTypeChanges) {
    Released<FileOpener> opener(FileOpener::pool());
    opener->setSaveMode();
    opener->addFilter(L"MP3", L"*.mp3");
    opener->addFilter(L"WAV", L"*.wav");
    opener->setFileName(L"song.mp3");
    std::wstring seen;
    HANDLE watchdog = CreateThread(
        nullptr, 0,
        [](LPVOID data) -> DWORD {
            std::wstring* seenName = static_cast<std::wstring*>(data);
            for (int i = 0; i < 1000; ++i) {
                Sleep(10);
                HWND dialog = FindWindowW(L"#32770", nullptr);
                HWND types = dialog != nullptr ? GetDlgItem(dialog, 1136) : nullptr;
                if (types == nullptr || !IsWindowVisible(dialog)) {
                    continue;
                }
                Sleep(300);
                // A person picks the next type: a click opens the list, Down and Enter take it.
                testsupport::clickOn(types);
                testsupport::waitFor([&] { return SendMessageW(types, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 10000);
                testsupport::press(VK_DOWN);
                testsupport::press(VK_RETURN);
                testsupport::waitFor([&] { return SendMessageW(types, CB_GETCURSEL, 0, 0) == 1; }, 10000);
                const auto typedName = [&] {
                    wchar_t name[MAX_PATH] = {};
                    SendMessageW(dialog, CDM_GETSPEC, MAX_PATH, reinterpret_cast<LPARAM>(name));
                    return std::wstring(name);
                };
                testsupport::waitFor([&] { return typedName() != L"song.mp3"; }, 10000);
                *seenName = typedName();
                testsupport::clickOn(GetDlgItem(dialog, IDCANCEL));
                return 0;
            }
            return 1;
        },
        &seen, 0, nullptr);
    EXPECT_FALSE(opener->run(nullptr));
    WaitForSingleObject(watchdog, 15000);
    CloseHandle(watchdog);
    EXPECT_EQ(L"song.wav", seen);
    EXPECT_EQ(0u, opener->getResults()->count());
}

} // namespace
