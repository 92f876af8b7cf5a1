#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <thread>

#include "TestWindows.h"
#include "framework/CButton.h"
#include "framework/CComboBox.h"
#include "framework/CEdit.h"
#include "framework/CProgressCtrl.h"
#include "framework/CSliderCtrl.h"

namespace {

bool saw(const std::vector<UINT>& messages, UINT message) {
    return std::find(messages.begin(), messages.end(), message) != messages.end();
}

class CWndTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&classes);
    }
    void SetUp() override {
        ASSERT_TRUE(parent_.CreateEx(0, plainClass(), L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                     nullptr));
    }
    void TearDown() override { parent_.DestroyWindow(); }

    RecordingWnd parent_;
};

TEST_F(CWndTest, CreationSubclassesBeforeTheFirstMessageAndDestructionForgetsTheHandle) {
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, plainClass(), L"x", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr));
    ASSERT_FALSE(wnd.messages.empty());
    EXPECT_TRUE(saw(wnd.messages, WM_NCCREATE));
    EXPECT_TRUE(saw(wnd.messages, WM_CREATE));
    EXPECT_EQ(&wnd, CWnd::FromHandle(wnd.m_hWnd));
    EXPECT_FALSE(wnd.CreateEx(0, plainClass(), L"y", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr));

    HWND hwnd = wnd.m_hWnd;
    ASSERT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandle(hwnd));
    EXPECT_EQ(1, wnd.ncDestroyed);
    EXPECT_TRUE(saw(wnd.messages, WM_NCDESTROY));
}

TEST_F(CWndTest, FailedCreationLeavesNoHandle) {
    RecordingWnd wnd;
    EXPECT_FALSE(wnd.CreateEx(0, L"NoSuchClassAnywhere", L"", WS_OVERLAPPED, 0, 0, 1, 1, nullptr, nullptr));
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    // The next creation still works: no stale hook state on the thread.
    EXPECT_TRUE(wnd.CreateEx(0, plainClass(), L"", WS_OVERLAPPED, 0, 0, 1, 1, nullptr, nullptr));
}

// Each control answers through its own procedure while WindowProc sees the message first.
TEST_F(CWndTest, ControlHelpersReachTheOriginalProcedure) {
    const RECT rect = {0, 0, 200, 120};
    {
        struct Button : CButton {
            LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override {
                checks += m == BM_SETCHECK;
                return CButton::WindowProc(m, w, l);
            }
            int checks = 0;
        } button;
        ASSERT_TRUE(button.Create(L"Go", WS_VISIBLE | BS_AUTOCHECKBOX, rect, parent_, 10));
        button.SetCheck(BST_CHECKED);
        EXPECT_EQ(BST_CHECKED, button.GetCheck());
        EXPECT_EQ(1, button.checks);
        EXPECT_EQ(10, button.GetDlgCtrlID());
        EXPECT_EQ(static_cast<UINT>(BS_AUTOCHECKBOX), button.GetButtonStyle());
    }
    {
        CComboBox combo;
        ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST, rect, parent_, 11));
        EXPECT_EQ(0, combo.AddString(L"alpha"));
        EXPECT_EQ(1, combo.AddString(L"beta"));
        EXPECT_EQ(0, combo.InsertString(0, L"first"));
        EXPECT_EQ(3, combo.GetCount());
        // Item data is pointer-sized.
        const DWORD_PTR big = static_cast<DWORD_PTR>(0x123456789ABCull);
        EXPECT_TRUE(combo.SetItemData(2, big));
        EXPECT_EQ(big, combo.GetItemData(2));
        EXPECT_EQ(2, combo.SetCurSel(2));
        EXPECT_EQ(2, combo.GetCurSel());
        wchar_t text[16] = {};
        ASSERT_EQ(4, combo.GetLBTextLen(2));
        EXPECT_EQ(4, combo.GetLBText(2, text));
        EXPECT_STREQ(L"beta", text);
        EXPECT_EQ(2, combo.DeleteString(0));
        EXPECT_EQ(CB_ERR, combo.SetCurSel(7));
    }
    {
        CEdit edit;
        ASSERT_TRUE(edit.Create(WS_VISIBLE | ES_AUTOHSCROLL, rect, parent_, 12));
        EXPECT_TRUE(edit.SetText(L"hello"));
        EXPECT_EQ(5, edit.GetTextLength());
        edit.SetSel(1, 3);
        int start = -1, end = -1;
        edit.GetSel(&start, &end);
        EXPECT_EQ(1, start);
        EXPECT_EQ(3, end);
        EXPECT_TRUE(edit.SetReadOnly(true));
        EXPECT_NE(0u, edit.GetStyle() & ES_READONLY);
        edit.SetPasswordChar(L'*');
        EXPECT_EQ(L'*', edit.GetPasswordChar());
    }
    {
        CSliderCtrl slider;
        ASSERT_TRUE(slider.Create(WS_VISIBLE | TBS_HORZ, rect, parent_, 13));
        slider.SetRange(-5, 50);
        EXPECT_EQ(-5, slider.GetRangeMin());
        EXPECT_EQ(50, slider.GetRangeMax());
        slider.SetPos(70);
        EXPECT_EQ(50, slider.GetPos());
        slider.SetPos(7);
        EXPECT_EQ(7, slider.GetPos());
    }
    {
        CProgressCtrl progress;
        ASSERT_TRUE(progress.Create(WS_VISIBLE, rect, parent_, 14));
        progress.SetRange32(0, 1000);
        int lower = -1, upper = -1;
        progress.GetRange(&lower, &upper);
        EXPECT_EQ(0, lower);
        EXPECT_EQ(1000, upper);
        progress.SetPos(400);
        EXPECT_EQ(400, progress.SetPos(500));
        EXPECT_EQ(500, progress.GetPos());
    }
}

TEST_F(CWndTest, AttachMapsWithoutSubclassingAndDetachGivesTheProcedureBack) {
    HWND raw = CreateWindowExW(0, plainClass(), L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, raw);
    const LONG_PTR original = GetWindowLongPtrW(raw, GWLP_WNDPROC);
    {
        CWnd attached;
        ASSERT_TRUE(attached.Attach(raw));
        EXPECT_EQ(&attached, CWnd::FromHandle(raw));
        EXPECT_EQ(original, GetWindowLongPtrW(raw, GWLP_WNDPROC));
        CWnd second;
        EXPECT_FALSE(second.Attach(raw));
        EXPECT_EQ(raw, attached.Detach());
    }
    {
        RecordingWnd sub;
        ASSERT_TRUE(sub.SubclassWindow(raw));
        EXPECT_NE(original, GetWindowLongPtrW(raw, GWLP_WNDPROC));
        SendMessageW(raw, WM_USER + 9, 0, 0);
        EXPECT_TRUE(saw(sub.messages, WM_USER + 9));
        EXPECT_EQ(raw, sub.UnsubclassWindow());
        EXPECT_EQ(original, GetWindowLongPtrW(raw, GWLP_WNDPROC));
        EXPECT_EQ(nullptr, CWnd::FromHandle(raw));
    }
    EXPECT_TRUE(DestroyWindow(raw));
}

TEST_F(CWndTest, TheHandleMapAnswersOnOtherThreads) {
    CWnd* found = nullptr;
    std::thread other([&] { found = CWnd::FromHandle(parent_.m_hWnd); });
    other.join();
    EXPECT_EQ(&parent_, found);
}

TEST_F(CWndTest, ARegionTheWindowRefusesIsDeleted) {
    HRGN kept = CreateRectRgn(0, 0, 20, 20);
    // Taken: the window owns it now (Wine deletes its copy at once), so it is not ours to delete.
    ASSERT_TRUE(parent_.SetRegion(kept, false));

    CWnd gone;
    HRGN refused = CreateRectRgn(0, 0, 20, 20);
    HWND dead = CreateWindowExW(0, plainClass(), L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(dead);
    gone.m_hWnd = dead;  // a handle that no longer names a window
    EXPECT_FALSE(gone.SetRegion(refused, false));
    gone.m_hWnd = nullptr;
    EXPECT_EQ(0, GetObjectType(refused));
}

TEST_F(CWndTest, StyleChangesReportWhetherAnythingChanged) {
    EXPECT_TRUE(parent_.ModifyStyleEx(0, WS_EX_TOOLWINDOW, SWP_FRAMECHANGED));
    EXPECT_NE(0u, parent_.GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(parent_.ModifyStyleEx(0, WS_EX_TOOLWINDOW));
    EXPECT_TRUE(parent_.ModifyStyle(WS_MAXIMIZEBOX, 0));
    EXPECT_EQ(0u, parent_.GetStyle() & WS_MAXIMIZEBOX);
}

} // namespace
