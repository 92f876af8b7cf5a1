// The Box on a real window: drops of files and URLs, the wheel, clicks and pass-through,
// paddings, owner-drawn children and painting.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>

#include "ToolkitTestSupport.h"
#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "images/image/win/BufferedImage.h"
#include "widgets/gui/win/BackBuffer.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/MemDC.h"
#include "widgets/gui/win/UrlDropTarget.h"

namespace {

using s::gui::IBox;
using s::gui::win::BackBuffer;
using s::gui::win::Box;
using s::gui::win::MemDC;
using s::gui::win::UrlDropTarget;
using s::gui::win::Window;
using s::image::win::BufferedImage;
using namespace toolkittest;
using windowtest::Recorder;

// A window with one box of 200 x 100 at its top-left corner.
struct BoxOnWindow {
    BoxOnWindow() : window(shownWindow(100, 100, 320, 240)), box(Box::create(IBox::COLUMN, 0, -1, -1, 0, 0, 0, 0, 0)) {
        box->setFixedWidth(200);
        box->setFixedHeight(100);
        window->add(box);
        settle(window.get());
    }
    HWND hwnd() const { return box->getNativeHandle(); }
    POINT screen(int x, int y) const {
        POINT point = {x, y};
        ClientToScreen(hwnd(), &point);
        return point;
    }
    Released<Window> window;
    Box* box;
};

TEST(BoxTest, CreateAppliesOnlyTheValuesItIsGiven) {
    struct Case {
        int32_t arrangement, hAlign;
        double widthPercent, heightPercent;
        int32_t vAlign, gapX, gapY, padX, padY;
        int32_t wantArrangement, wantWidthPercent, wantHeightPercent, wantPadLeft, wantPadTop;
    } cases[] = {
        {0, 0, 100, 50.9, 1, 3, 4, 5, 6, 0, 100, 50, 5, 6},
        {3, 2, -1, -1, 2, 0, 0, 0, 0, 3, -1, -1, 0, 0},
        // An arrangement out of range keeps the column; negative paddings are ignored.
        {7, 1, 33.3, -1, 0, -2, -2, -4, -4, 1, 33, -1, 0, 0},
    };
    for (const Case& c : cases) {
        Released<Box> box(Box::create(c.arrangement, c.hAlign, c.widthPercent, c.heightPercent, c.vAlign, c.gapX,
                                      c.gapY, c.padX, c.padY));
        EXPECT_EQ(c.wantArrangement, box->getArrangement());
        EXPECT_EQ(c.wantWidthPercent, box->state().widthPercent);
        EXPECT_EQ(c.wantHeightPercent, box->state().heightPercent);
        EXPECT_EQ(c.wantPadLeft, box->getPaddingLeft());
        EXPECT_EQ(c.wantPadTop, box->getPaddingTop());
    }
}

TEST(BoxTest, DroppedFilesArriveWholeInOrderOnceAndReplaceTheLastDrop) {
    BoxOnWindow f;
    f.box->setAcceptFiles(true);
    EXPECT_NE(0, GetWindowLongPtrW(f.hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    Recorder drops;
    Recorder urls;
    f.box->addDropListener(&drops);
    f.box->addUrlListener(&urls);

    const std::wstring longPath = L"C:\\" + std::wstring(293, L'x') + L".wav";  // 300 characters
    ASSERT_EQ(300u, longPath.size());
    const std::vector<std::wstring> first = {L"C:\\a.mp3", longPath, L"Z:\\music\\b c.flac"};
    SendMessageW(f.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(dropFiles(first)), 0);
    ASSERT_EQ(1u, drops.codes.size());
    EXPECT_EQ(IBox::DROP, drops.codes[0]);
    EXPECT_EQ(static_cast<s::base::IObject*>(f.box), drops.sources[0]);
    EXPECT_TRUE(urls.codes.empty());
    auto* paths = f.box->getDroppedPaths();
    ASSERT_EQ(3u, paths->count());
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(first[i], paths->get(i)->c_str());
    }

    SendMessageW(f.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(dropFiles({L"C:\\only.ogg"})), 0);
    ASSERT_EQ(1u, paths->count());
    EXPECT_STREQ(L"C:\\only.ogg", paths->get(0)->c_str());
    EXPECT_EQ(2u, drops.codes.size());
}

TEST(BoxTest, UrlTargetIsRegisteredOnTheUiThreadAndReadsBoundedText) {
    BoxOnWindow f;
    // Asked from a thread without OLE: the window's own thread registers.
    std::thread([&] { f.box->setAcceptUrls(true); }).join();
    ASSERT_TRUE(f.box->hasUrlTarget());
    Recorder drops;
    Recorder urls;
    f.box->addDropListener(&drops);
    f.box->addUrlListener(&urls);

    struct Case {
        const char* name;
        std::wstring bytes;  // exactly what the data carries, terminator or not
        const wchar_t* want;
    } cases[] = {
        {"terminated", std::wstring(L"http://example.org/a\0junk", 26), L"http://example.org/a"},
        {"unterminated", L"http://example.org/b", L"http://example.org/b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        urls.codes.clear();
        OneFormatData data(UrlDropTarget::wideFormat(), c.bytes.data(), c.bytes.size() * sizeof(wchar_t));
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
        IDropTarget* target = f.box->getUrlTarget();
        ASSERT_EQ(S_OK, target->DragEnter(&data, 0, POINTL{0, 0}, &effect));
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_LINK), effect);
        ASSERT_EQ(S_OK, target->Drop(&data, 0, POINTL{0, 0}, &effect));
        ASSERT_EQ(1u, urls.codes.size());
        EXPECT_EQ(IBox::URL, urls.codes[0]);
        EXPECT_STREQ(c.want, f.box->getDroppedUrl()->c_str());
    }
    EXPECT_TRUE(drops.codes.empty());

    // Data without the format: no link offered, an empty text, still told.
    const char plain[] = "text";
    OneFormatData other(CF_TEXT, plain, sizeof(plain));
    DWORD effect = DROPEFFECT_LINK;
    f.box->getUrlTarget()->DragEnter(&other, 0, POINTL{0, 0}, &effect);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
    f.box->getUrlTarget()->Drop(&other, 0, POINTL{0, 0}, &effect);
    EXPECT_STREQ(L"", f.box->getDroppedUrl()->c_str());
    EXPECT_EQ(2u, urls.codes.size());

    f.box->setAcceptUrls(false);
    EXPECT_FALSE(f.box->hasUrlTarget());
}

TEST(BoxTest, WheelStepsFollowTheTurnAndAnEnclosingBoxLeavesThemToItsChild) {
    BoxOnWindow f;
    Box* inner = Box::create(IBox::COLUMN, 0, -1, -1, 0, 0, 0, 0, 0);
    inner->setFixedWidth(80);
    inner->setFixedHeight(40);
    f.box->add(inner);
    settle(f.window.get());
    Recorder outerWheel;
    Recorder innerWheel;
    f.box->addWheelListener(&outerWheel);
    inner->addWheelListener(&innerWheel);
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);

    struct Case {
        int delta;
        POINT at;  // in the outer box
        Box* told;
        int32_t step;
    } cases[] = {
        {WHEEL_DELTA, {20, 20}, inner, static_cast<int32_t>(lines)},
        {-WHEEL_DELTA, {20, 20}, inner, -static_cast<int32_t>(lines)},
        {WHEEL_DELTA, {150, 80}, f.box, static_cast<int32_t>(lines)},
        {-2 * WHEEL_DELTA, {150, 80}, f.box, -static_cast<int32_t>(lines)},
    };
    for (const Case& c : cases) {
        const size_t before = outerWheel.codes.size() + innerWheel.codes.size();
        const POINT screen = f.screen(c.at.x, c.at.y);
        const LRESULT result = SendMessageW(f.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(c.delta)),
                                            MAKELPARAM(screen.x, screen.y));
        EXPECT_EQ(0, result);
        EXPECT_EQ(before + 1, outerWheel.codes.size() + innerWheel.codes.size());
        EXPECT_EQ(c.step, c.told->getWheelStep());
    }
    EXPECT_EQ(2u, innerWheel.codes.size());
    EXPECT_EQ(2u, outerWheel.codes.size());
}

TEST(BoxTest, PassThroughUntilAClickListenerThenClicksAndHoverWithoutHoldingChildren) {
    BoxOnWindow f;
    const POINT inside = f.screen(150, 50);
    const LPARAM at = MAKELPARAM(inside.x, inside.y);
    EXPECT_TRUE(f.box->isPassThrough());
    EXPECT_EQ(HTTRANSPARENT, SendMessageW(f.hwnd(), WM_NCHITTEST, 0, at));
    // Without click listeners the press goes on to the default handling.
    EXPECT_EQ(0, SendMessageW(f.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 50)));

    Recorder clicks;
    f.box->addClickListener(&clicks);
    f.box->setHoverColour(255, 0, 0);
    EXPECT_FALSE(f.box->isPassThrough());
    EXPECT_EQ(HTCLIENT, SendMessageW(f.hwnd(), WM_NCHITTEST, 0, at));
    EXPECT_EQ(1, SendMessageW(f.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 50)));
    ASSERT_EQ(1u, clicks.codes.size());
    EXPECT_EQ(IBox::CLICK, clicks.codes[0]);

    // Hover: on over the free area, off when the capture is taken away.
    HWND child = CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE, 10, 10, 40, 20, f.hwnd(), nullptr,
                                 nullptr, nullptr);
    struct Step {
        POINT at;
        bool hovered;
    } steps[] = {{{150, 50}, true}, {{20, 20}, false}, {{150, 60}, true}, {{500, 500}, false}, {{150, 60}, true}};
    for (const Step& s : steps) {
        SendMessageW(f.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(s.at.x, s.at.y));
        EXPECT_EQ(s.hovered, f.box->isHovered());
    }
    // Over the child button the box lets the capture go, so the button gets its clicks.
    SendMessageW(f.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    EXPECT_FALSE(f.box->isHovered());
    SendMessageW(f.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(150, 60));
    SendMessageW(f.hwnd(), WM_CAPTURECHANGED, 0, 0);
    EXPECT_FALSE(f.box->isHovered());
    DestroyWindow(child);
}

TEST(BoxTest, PaddingOffsetsEveryChildAlsoWhenSetBackToZero) {
    BoxOnWindow f;
    Box* child = Box::create(IBox::COLUMN, 0, -1, -1, 0, 0, 0, 0, 0);
    f.box->add(child);
    struct Step {
        int left, top;
    } steps[] = {{0, 5}, {7, 0}, {0, 0}};
    for (const Step& s : steps) {
        f.box->setPaddingLeft(s.left);
        f.box->setPaddingTop(s.top);
        EXPECT_EQ(s.left, child->state().dx);
        EXPECT_EQ(s.top, child->state().dy);
    }
}

LRESULT CALLBACK countingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == s::gui::win::REFLECT_DRAW_ITEM || message == s::gui::win::REFLECT_MEASURE_ITEM) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, GetWindowLongPtrW(hwnd, GWLP_USERDATA) + 1);
        return TRUE;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(BoxTest, OwnerDrawRequestsReachTheControlTheyNameOneWayInABoxAndOnTheWindow) {
    BoxOnWindow f;
    WNDCLASSW counting = {};
    counting.lpfnWndProc = &countingProc;
    counting.hInstance = GetModuleHandleW(nullptr);
    counting.lpszClassName = L"BoxTestCounting";
    RegisterClassW(&counting);
    for (HWND container : {f.hwnd(), f.window->getFrameHandle()}) {
        HWND a = CreateWindowExW(0, L"BoxTestCounting", L"", WS_CHILD, 0, 0, 10, 10, container,
                                 reinterpret_cast<HMENU>(11), nullptr, nullptr);
        HWND b = CreateWindowExW(0, L"BoxTestCounting", L"", WS_CHILD, 0, 0, 10, 10, container,
                                 reinterpret_cast<HMENU>(12), nullptr, nullptr);
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_COMBOBOX;
        draw.CtlID = 11;
        draw.hwndItem = a;
        SendMessageW(container, WM_DRAWITEM, 11, reinterpret_cast<LPARAM>(&draw));
        MEASUREITEMSTRUCT measure = {};
        measure.CtlType = ODT_COMBOBOX;
        measure.CtlID = 12;
        SendMessageW(container, WM_MEASUREITEM, 12, reinterpret_cast<LPARAM>(&measure));
        EXPECT_EQ(1, GetWindowLongPtrW(a, GWLP_USERDATA));
        EXPECT_EQ(1, GetWindowLongPtrW(b, GWLP_USERDATA));
        DestroyWindow(a);
        DestroyWindow(b);
    }
}

TEST(BoxTest, ShowOnlyKeepsOneChildAndTheLockedFormParksAndLocksTheOthers) {
    BoxOnWindow f;
    Box* children[3];
    for (Box*& child : children) {
        child = Box::create(IBox::COLUMN, 0, -1, -1, 0, 0, 0, 0, 0);
        child->setFixedHeight(10);
        f.box->add(child);
    }
    struct Step {
        bool locked;
        int32_t index;
        bool visible[3];
        int32_t dy[3];
    } steps[] = {
        {false, 1, {false, true, false}, {0, 0, 0}},
        {true, 2, {false, false, true}, {3000, 3000, 0}},
        {true, 0, {true, false, false}, {0, 3000, 3000}},
    };
    for (const Step& s : steps) {
        if (s.locked) {
            f.box->showOnlyLocked(s.index);
        } else {
            f.box->showOnly(s.index);
        }
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(s.visible[i], children[i]->isVisible()) << s.index << ":" << i;
            EXPECT_EQ(s.dy[i], children[i]->state().dy) << s.index << ":" << i;
        }
    }
    // A locked hidden box stays hidden when asked to show.
    children[1]->setVisible(true);
    EXPECT_FALSE(children[1]->isVisible());
    // Given back, the box leaves nothing behind: its children go back with it.
    f.window->remove(f.box, true);
    EXPECT_EQ(nullptr, children[0]->getParent());
}

TEST(BoxTest, AHeldBoxMakesItsWindowsWhenFirstShownOrAskedAndTakesItsPlaceAmongItsSiblings) {
    for (const bool byShowing : {true, false}) {
        BoxOnWindow f;
        Box* row[3];
        for (Box*& box : row) {
            box = Box::create(IBox::COLUMN, 0, -1, -1, 0, 0, 0, 0, 0);
            box->setFixedHeight(10);
        }
        Box* inner = Box::create(IBox::COLUMN, 0, -1, -1, 0, 0, 0, 0, 0);
        row[1]->add(inner);
        row[1]->holdWindowsUntilShown();
        for (Box* box : row) {
            f.box->add(box);
        }
        EXPECT_FALSE(row[1]->isVisible());
        EXPECT_EQ(nullptr, row[1]->getNativeHandle());
        EXPECT_EQ(nullptr, inner->getNativeHandle());
        ASSERT_NE(nullptr, row[2]->getNativeHandle());
        if (byShowing) {
            row[1]->setVisible(true);
        } else {
            row[1]->makeHeldWindows();
        }
        ASSERT_NE(nullptr, row[1]->getNativeHandle()) << byShowing;
        EXPECT_NE(nullptr, inner->getNativeHandle()) << byShowing;
        EXPECT_EQ(byShowing, IsWindowVisible(row[1]->getNativeHandle()) != FALSE);
        // The keyboard order is the children's order, as if made with the others.
        EXPECT_EQ(row[1]->getNativeHandle(), GetWindow(row[0]->getNativeHandle(), GW_HWNDNEXT)) << byShowing;
        EXPECT_EQ(row[2]->getNativeHandle(), GetWindow(row[1]->getNativeHandle(), GW_HWNDNEXT)) << byShowing;
    }
}

TEST(BoxTest, BackBufferIsReusedWhileCloseInSizeAndRemadeWhenFarTooLarge) {
    struct Step {
        int w, h;
        bool exact;  // allocated exactly at the capacity below, else at least that
        int capacityW, capacityH;
    } steps[] = {
        {100, 100, true, 100, 100},
        {90, 90, true, 100, 100},    // 8100 needed: 0.7 x 10000 = 7000 is not more
        {50, 50, true, 50, 50},      // 7000 > 2500: replaced by the exact size
        {60, 40, false, 60, 50},     // grows where too small
        {0, 40, false, 60, 50},      // empty: nothing made, nothing given back
    };
    BufferedImage* buffer = nullptr;
    for (const Step& s : steps) {
        BufferedImage* got = BackBuffer::ensure(&buffer, s.w, s.h);
        if (s.w == 0) {
            EXPECT_EQ(nullptr, got);
        } else {
            ASSERT_NE(nullptr, got);
            EXPECT_EQ(s.w, got->width());
            EXPECT_EQ(s.h, got->height());
        }
        ASSERT_NE(nullptr, buffer);
        if (s.exact) {
            EXPECT_EQ(s.capacityW, buffer->capacityWidth()) << s.w << "x" << s.h;
            EXPECT_EQ(s.capacityH, buffer->capacityHeight());
        } else {
            EXPECT_LE(s.capacityW, buffer->capacityWidth());
            EXPECT_LE(s.capacityH, buffer->capacityHeight());
        }
    }
    BackBuffer::release(&buffer);
    EXPECT_EQ(nullptr, buffer);
}

} // namespace
