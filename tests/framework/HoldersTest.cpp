#include <gtest/gtest.h>

#include <windows.h>

#include "TestWindows.h"
#include "framework/CBrush.h"
#include "framework/CClientDC.h"
#include "framework/CDC.h"
#include "framework/CFont.h"
#include "framework/CMenu.h"
#include "framework/COleDropTarget.h"
#include "framework/CPaintDC.h"
#include "framework/CPen.h"
#include "framework/AfxOle.h"

namespace {

HFONT makeFont() {
    LOGFONTW font = {};
    font.lfHeight = -13;
    wcscpy(font.lfFaceName, L"Tahoma");
    return CreateFontIndirectW(&font);
}

TEST(HoldersTest, ADeviceContextGetsItsObjectsBackOnEveryPath) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    const HGDIOBJ font = GetCurrentObject(memory, OBJ_FONT);
    const HGDIOBJ bitmap = GetCurrentObject(memory, OBJ_BITMAP);
    const HGDIOBJ pen = GetCurrentObject(memory, OBJ_PEN);
    const HGDIOBJ brush = GetCurrentObject(memory, OBJ_BRUSH);
    CFont ownFont;
    ASSERT_TRUE(ownFont.CreateFontIndirect([] {
        static LOGFONTW f = {};
        f.lfHeight = -12;
        return &f;
    }()));
    HBITMAP ownBitmap = CreateCompatibleBitmap(screen, 8, 8);
    CPen ownPen;
    ASSERT_TRUE(ownPen.CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
    CBrush ownBrush;
    ASSERT_TRUE(ownBrush.CreateSolidBrush(RGB(4, 5, 6)));
    {
        CDC dc;
        ASSERT_TRUE(dc.Attach(memory));
        EXPECT_EQ(font, dc.SelectObject(ownFont));
        dc.SelectObject(ownBitmap);
        dc.SelectObject(ownPen);
        dc.SelectObject(ownBrush);
        // A second selection of a kind still restores the first original.
        HFONT other = makeFont();
        EXPECT_EQ(static_cast<HGDIOBJ>(ownFont), dc.SelectObject(other));
        EXPECT_EQ(static_cast<HGDIOBJ>(other), GetCurrentObject(memory, OBJ_FONT));
        dc.RestoreObjects();
        DeleteObject(other);
        dc.SelectObject(ownFont);
    }
    EXPECT_EQ(font, GetCurrentObject(memory, OBJ_FONT));
    EXPECT_EQ(bitmap, GetCurrentObject(memory, OBJ_BITMAP));
    EXPECT_EQ(pen, GetCurrentObject(memory, OBJ_PEN));
    EXPECT_EQ(brush, GetCurrentObject(memory, OBJ_BRUSH));
    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(memory));  // attached: not ours to delete

    HDC made = nullptr;
    {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(screen));
        made = dc;
        dc.SelectObject(ownBitmap);
    }
    EXPECT_EQ(0u, GetObjectType(made));
    // The bitmap was deselected before the context went, so it can be deleted.
    EXPECT_TRUE(DeleteObject(ownBitmap));
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TEST(HoldersTest, GdiObjectsAndMenusAreDeletedUnlessDetached) {
    HGDIOBJ font = nullptr;
    HGDIOBJ kept = nullptr;
    {
        CFont a;
        ASSERT_TRUE(a.CreateFontIndirect([] {
            static LOGFONTW f = {};
            f.lfHeight = -20;
            return &f;
        }()));
        LOGFONTW back = {};
        ASSERT_TRUE(a.GetLogFont(&back));
        EXPECT_EQ(-20, back.lfHeight);
        font = a.m_hObject;
        CFont b;
        b.Attach(makeFont());
        kept = b.Detach();
    }
    EXPECT_EQ(0u, GetObjectType(font));
    EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(kept));
    DeleteObject(kept);

    HMENU menu = nullptr;
    HMENU detached = nullptr;
    {
        CMenu popup;
        ASSERT_TRUE(popup.CreatePopupMenu());
        EXPECT_TRUE(popup.AppendMenu(MF_STRING, 101, L"Open"));
        EXPECT_TRUE(popup.AppendMenu(MF_SEPARATOR));
        EXPECT_EQ(2, popup.GetMenuItemCount());
        EXPECT_EQ(101u, popup.GetMenuItemID(0));
        EXPECT_EQ(static_cast<DWORD>(MF_UNCHECKED), popup.CheckMenuItem(101, MF_CHECKED));
        EXPECT_NE(0u, popup.GetMenuState(101, MF_BYCOMMAND) & MF_CHECKED);
        // Menu data is pointer-sized.
        const ULONG_PTR data = static_cast<ULONG_PTR>(0x7FEDCBA98765ull);
        EXPECT_TRUE(popup.SetMenuData(data));
        EXPECT_EQ(data, popup.GetMenuData());
        menu = popup;
        CMenu bar;
        ASSERT_TRUE(bar.CreateMenu());
        detached = bar.Detach();
    }
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_TRUE(IsMenu(detached));
    DestroyMenu(detached);
}

TEST(HoldersTest, WindowContextsAreGivenBack) {
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, plainClass(), L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 60, 40, nullptr, nullptr));
    {
        CClientDC dc(wnd);
        ASSERT_NE(nullptr, dc.m_hDC);
        HFONT font = makeFont();
        dc.SelectObject(font);
        EXPECT_TRUE(dc.FillSolidRect(RECT{0, 0, 10, 10}, RGB(10, 20, 30)));
        EXPECT_EQ(RGB(10, 20, 30), dc.GetPixel(5, 5));
        dc.RestoreObjects();
        DeleteObject(font);
    }
    wnd.Invalidate();
    {
        CPaintDC dc(wnd);
        EXPECT_NE(nullptr, dc.m_hDC);
    }
    // EndPaint validated the window: nothing is left to paint.
    RECT update;
    EXPECT_FALSE(GetUpdateRect(wnd, &update, FALSE));
}

TEST(HoldersTest, ADropTargetSeesClientPointsOfItsWindow) {
    struct Target : COleDropTarget {
        DWORD OnDragOver(CWnd* wnd, IDataObject*, DWORD, POINT point) override {
            seenWnd = wnd;
            seen = point;
            return DROPEFFECT_LINK;
        }
        CWnd* seenWnd = nullptr;
        POINT seen = {-1, -1};
    };
    ASSERT_TRUE(AfxOleInit());
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, plainClass(), L"", WS_POPUP | WS_VISIBLE, 100, 80, 60, 40, nullptr, nullptr));
    Target target;
    ASSERT_TRUE(target.Register(&wnd));
    EXPECT_FALSE(target.Register(&wnd));
    POINT origin = {0, 0};
    wnd.ClientToScreen(&origin);
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    EXPECT_EQ(S_OK, static_cast<IDropTarget&>(target).DragOver(0, POINTL{origin.x + 7, origin.y + 9}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_LINK), effect);
    EXPECT_EQ(&wnd, target.seenWnd);
    EXPECT_EQ(7, target.seen.x);
    EXPECT_EQ(9, target.seen.y);
    // A drop the target does not take reports no effect.
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(S_OK, static_cast<IDropTarget&>(target).Drop(nullptr, 0, POINTL{0, 0}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
    target.Revoke();
    EXPECT_TRUE(target.Register(&wnd));
    target.Revoke();
    wnd.DestroyWindow();
    AfxOleTerm();
}

} // namespace
