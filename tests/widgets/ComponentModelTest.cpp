// The component model's default bodies: size vocabulary, placement and freezing over real
// native windows, visibility, centring, colours, children, pooling and listener lists.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "Fakes.h"
#include "support/Released.h"
#include "system/gui/events/ListenerList.h"
#include "widgets/gui/layout/Pile.h"

using fakes::FakeBox;
using fakes::FakeLeaf;
using s::gui::events::ListenerList;
using s::gui::win::ComponentState;

namespace {

struct SizeCase {
    const char* name;
    int32_t content, minimum, fixed, percent, paddingA, paddingB, parentInner;
    int32_t preferred, contentOrFixed, layout, layoutInner;
};

TEST(ComponentModel, SizeVocabularyPerAxis) {
    const SizeCase cases[] = {
        {"content only", 40, 0, -1, -1, 0, 0, 200, 40, 40, 40, 40},
        {"paddings add to content", 40, 0, -1, -1, 3, 5, 200, 48, 40, 48, 40},
        {"minimum raises the layout size only", 40, 70, -1, -1, 3, 5, 200, 48, 40, 78, 70},
        {"fixed wins over percent", 40, 0, 120, 50, 0, 0, 301, 120, 120, 120, 120},
        {"percent truncates", 40, 0, -1, 50, 0, 0, 301, 40, 40, 150, 150},
        {"percent of a small parent", 40, 0, -1, 33, 2, 2, 100, 44, 40, 33, 29},
        {"paddings wider than the layout size", 0, 0, 4, -1, 5, 5, 100, 4, 4, 4, 0},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Released<FakeBox> parent(FakeBox::pool());
        parent->setSize(c.parentInner, c.parentInner);
        FakeLeaf* leaf = FakeLeaf::pool();
        parent->add(leaf);
        ComponentState& s = leaf->raw();
        // Both axes get the same rules; the results must agree.
        s.contentWidth = s.contentHeight = c.content;
        s.minimumWidth = s.minimumHeight = c.minimum;
        s.fixedWidth = s.fixedHeight = c.fixed;
        s.widthPercent = s.heightPercent = c.percent;
        s.paddingLeft = s.paddingTop = c.paddingA;
        s.paddingRight = s.paddingBottom = c.paddingB;
        EXPECT_EQ(c.preferred, leaf->getPreferredWidth());
        EXPECT_EQ(c.preferred, leaf->getPreferredHeight());
        EXPECT_EQ(c.contentOrFixed, leaf->getContentOrFixedWidth());
        EXPECT_EQ(c.contentOrFixed, leaf->getContentOrFixedHeight());
        EXPECT_EQ(c.layout, leaf->getLayoutWidth());
        EXPECT_EQ(c.layout, leaf->getMaximumHeight());
        EXPECT_EQ(c.layoutInner, leaf->getLayoutInnerWidth());
        EXPECT_EQ(c.layoutInner, leaf->getLayoutInnerHeight());
    }
}

TEST(ComponentModel, InnerSizesAndClampedResize) {
    Released<FakeLeaf> leaf(FakeLeaf::pool());
    leaf->setPaddings(4, 6, 1, 2);
    leaf->setSize(8, 2);
    EXPECT_EQ(0, leaf->getInnerWidth()) << "never below zero";
    EXPECT_EQ(0, leaf->getInnerHeight());
    leaf->setInnerWidth(30);
    leaf->setInnerHeight(20);
    EXPECT_EQ(40, leaf->getWidth());
    EXPECT_EQ(23, leaf->getHeight());

    leaf->setPaddings(0, 0, 0, 0);
    leaf->setContentSize(20, 10);
    leaf->setMinimumSize(60, 30);
    struct {
        int32_t w, h, expectW, expectH;
    } clamps[] = {{40, 20, 40, 20}, {100, 100, 60, 30}, {5, 0, 20, 10}, {-7, 30, 20, 30}};
    for (const auto& c : clamps) {
        leaf->fitSize(c.w, c.h);
        EXPECT_EQ(c.expectW, leaf->getWidth()) << c.w;
        EXPECT_EQ(c.expectH, leaf->getHeight()) << c.h;
    }
    // The preferred size wins when the maximum (a percent of the parent) is smaller.
    Released<FakeBox> parent(FakeBox::pool());
    parent->setSize(100, 100);
    FakeLeaf* wide = FakeLeaf::pool();
    parent->add(wide);
    wide->setContentSize(50, 5);
    wide->setPercentSize(10, -1);
    EXPECT_EQ(10, wide->getMaximumWidth());
    wide->fitSize(30, 0);
    EXPECT_EQ(50, wide->getWidth());
}

TEST(ComponentModel, FixedAndPercentSettersExcludeEachOther) {
    Released<FakeLeaf> leaf(FakeLeaf::pool());
    leaf->setPercentSize(50, 25);
    leaf->setFixedSize(120, -1);
    EXPECT_EQ(-1, leaf->state().widthPercent);
    EXPECT_EQ(25, leaf->state().heightPercent);
    leaf->setPercentSize(-1, 40);
    EXPECT_EQ(120, leaf->state().fixedWidth);
    EXPECT_EQ(-1, leaf->state().fixedHeight);
}

TEST(ComponentModel, Centring) {
    struct {
        int32_t parentW, parentH, w, h;
        int32_t x, y;
    } cases[] = {{101, 50, 20, 10, 40, 20}, {30, 30, 40, 40, 0, 0}, {30, 30, 30, 29, 0, 0}};
    for (const auto& c : cases) {
        Released<FakeBox> parent(FakeBox::pool());
        parent->setSize(c.parentW, c.parentH);
        FakeLeaf* leaf = FakeLeaf::pool();
        parent->add(leaf);
        parent->setLayout(s::gui::layout::Pile::instance());
        leaf->setBounds(3, 4, c.w, c.h);
        leaf->centreHorizontally();
        EXPECT_EQ(c.x, leaf->getX());
        EXPECT_EQ(4, leaf->getY());
        leaf->setPosition(3, 4);
        leaf->centreVertically();
        EXPECT_EQ(3, leaf->getX());
        EXPECT_EQ(c.y, leaf->getY());
        leaf->centre();
        EXPECT_EQ(c.x, leaf->getX());
        EXPECT_EQ(c.y, leaf->getY());
    }
    Released<FakeLeaf> alone(FakeLeaf::pool());
    alone->setBounds(5, 6, 10, 10);
    alone->centre();
    EXPECT_EQ(5, alone->getX()) << "no parent, nothing happens";
    EXPECT_EQ(6, alone->getY());
}

TEST(ComponentModel, Colours) {
    struct {
        uint32_t system, light;
    } lights[] = {{0x000000, 0x808080}, {0xFFFFFF, 0xFFFFFF}, {0x0A6496, 0x85B2CB}};
    for (const auto& l : lights) {
        EXPECT_EQ(l.light, ComponentState::lightColour(l.system)) << std::hex << l.system;
    }

    Released<FakeBox> outer(FakeBox::pool());
    FakeBox* inner = FakeBox::pool();
    FakeLeaf* leaf = FakeLeaf::pool();
    outer->add(inner);
    inner->add(leaf);
    outer->setBackground(1, 2, 3, false);
    EXPECT_EQ(0x030201u, outer->getBackground());
    inner->setBackground(300, 0, 0, false);
    EXPECT_EQ(0x00002Cu, inner->getBackground()) << "channels modulo 256";
    leaf->setBackgroundBlack(false);
    EXPECT_EQ(0u, leaf->getEffectiveBackground());
    leaf->setBackgroundInherited(false);
    inner->setBackgroundInherited(false);
    EXPECT_TRUE(leaf->isBackgroundInherited());
    EXPECT_EQ(0x030201u, leaf->getEffectiveBackground()) << "first parent that does not inherit";
    inner->setBackgroundWhite(false);
    EXPECT_FALSE(inner->isBackgroundInherited());
    EXPECT_EQ(0xFFFFFFu, leaf->getEffectiveBackground());
}

TEST(ComponentModel, ContainsIncludesBothEdgesAndNeedsVisibility) {
    Released<FakeLeaf> leaf(FakeLeaf::pool());
    leaf->setOffset(100, 200);
    leaf->setBounds(10, 20, 30, 40);
    EXPECT_EQ(110, leaf->getScreenX());
    EXPECT_EQ(220, leaf->getScreenY());
    struct {
        int32_t x, y;
        bool inside;
    } points[] = {{110, 220, true}, {140, 260, true}, {141, 260, false}, {125, 219, false}, {109, 230, false}};
    for (const auto& p : points) {
        EXPECT_EQ(p.inside, leaf->contains(p.x, p.y)) << p.x << "," << p.y;
    }
    leaf->setVisible(false);
    EXPECT_FALSE(leaf->contains(125, 240));
}

// Native windows for the placement tests: a hidden top-level owner and static children
// whose moves are counted.
class NativeWindows : public ::testing::Test {
protected:
    static LRESULT CALLBACK counting(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_WINDOWPOSCHANGING) {
            ++moves;
        }
        return CallWindowProcW(original, hwnd, msg, wp, lp);
    }

    void SetUp() override {
        top = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, top);
    }
    void TearDown() override { DestroyWindow(top); }

    HWND child() {
        HWND h = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, top, nullptr, nullptr, nullptr);
        original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NativeWindows::counting)));
        return h;
    }

    static RECT placed(HWND h) {
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    HWND top = nullptr;
    static inline int moves = 0;
    static inline WNDPROC original = nullptr;
};

TEST_F(NativeWindows, FrozenBoundsAreAppliedOnceAtThaw) {
    Released<FakeLeaf> leaf(FakeLeaf::pool());
    leaf->handle = child();
    leaf->setBounds(1, 1, 10, 10);
    moves = 0;
    leaf->freeze();
    leaf->setBounds(20, 30, 40, 50);
    leaf->setPosition(25, 35);
    leaf->setSize(45, 55);
    leaf->setOffset(2, 3);
    EXPECT_EQ(0, moves);
    EXPECT_EQ(1, placed(leaf->handle).left);
    EXPECT_TRUE(leaf->state().pending);
    leaf->thaw();
    EXPECT_EQ(1, moves);
    const RECT r = placed(leaf->handle);
    EXPECT_EQ(27, r.left);
    EXPECT_EQ(38, r.top);
    EXPECT_EQ(45, r.right - r.left);
    EXPECT_EQ(55, r.bottom - r.top);
    EXPECT_FALSE(leaf->state().pending);
    EXPECT_FALSE(leaf->isFrozen());
    DestroyWindow(leaf->handle);
    leaf->handle = nullptr;
}

TEST_F(NativeWindows, LayoutMovesEachChildOnce) {
    Released<FakeBox> box(FakeBox::pool());
    box->rules.arrangement = 0;
    box->setSize(300, 50);
    std::vector<FakeLeaf*> leaves;
    for (int i = 0; i < 3; ++i) {
        FakeLeaf* leaf = FakeLeaf::pool()->sized(20, 60, 10, 10);
        leaf->handle = child();
        leaves.push_back(leaf);
        box->add(leaf);
    }
    // Moved away, each child is moved back once; a run that finds them all in place moves none.
    for (FakeLeaf* leaf : leaves) {
        SetWindowPos(leaf->handle, nullptr, 0, 0, 5, 5, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    moves = 0;
    box->doLayout();
    EXPECT_EQ(3, moves);
    EXPECT_EQ(120, placed(leaves[2]->handle).left);
    moves = 0;
    box->doLayout();
    EXPECT_EQ(0, moves);
    // A frozen container keeps its children's moves until its own thaw.
    moves = 0;
    box->freeze();
    box->setSize(150, 50);
    box->doLayout();
    EXPECT_EQ(0, moves);
    box->thaw();
    EXPECT_EQ(3, moves);
    EXPECT_EQ(100, placed(leaves[2]->handle).left);
    for (FakeLeaf* leaf : leaves) {
        DestroyWindow(leaf->handle);
        leaf->handle = nullptr;
    }
}

TEST_F(NativeWindows, HiddenLeafIsParkedAndShowingRelaysOut) {
    Released<FakeBox> box(FakeBox::pool());
    box->rules.arrangement = 0;
    box->setSize(300, 50);
    FakeLeaf* leaf = FakeLeaf::pool()->sized(20, 20, 10, 10);
    leaf->handle = child();
    box->add(leaf);
    box->doLayout();
    leaf->setVisible(false);
    EXPECT_FALSE(leaf->isVisible());
    EXPECT_FALSE(IsWindowVisible(leaf->handle));
    EXPECT_EQ(-10000, leaf->getX());
    EXPECT_EQ(10000, leaf->getY());
    const int layouts = box->layouts;
    leaf->setVisible(true);
    EXPECT_EQ(layouts + 1, box->layouts);
    EXPECT_EQ(0, leaf->getX());
    EXPECT_EQ(0, leaf->getY());
    EXPECT_EQ(0, placed(leaf->handle).left);
    DestroyWindow(leaf->handle);
    leaf->handle = nullptr;
}

TEST(ComponentModel, RemovingChildren) {
    Released<FakeBox> box(FakeBox::pool());
    FakeBox* inner = FakeBox::pool();
    FakeLeaf* grandChild = FakeLeaf::pool();
    FakeLeaf* stranger = FakeLeaf::pool();
    box->add(inner);
    inner->add(grandChild);
    EXPECT_EQ(box.get(), inner->getParent());
    EXPECT_EQ(1, box->getChildCount());
    EXPECT_EQ(inner, box->getChildAt(0));
    EXPECT_EQ(nullptr, box->getChildAt(1));

    // Not a child: only the layout runs.
    const int layouts = box->layouts;
    box->remove(stranger, true);
    EXPECT_EQ(layouts + 1, box->layouts);
    EXPECT_EQ(1, box->getChildCount());
    EXPECT_EQ(0, stranger->detachCount);

    // Recursive removal empties the inner box first and gives everything back.
    const int32_t idleLeaves = FakeLeaf::pooler().idleCount();
    const int32_t idleBoxes = FakeBox::pooler().idleCount();
    box->remove(inner, true);
    EXPECT_EQ(0, box->getChildCount());
    EXPECT_EQ(idleLeaves + 1, FakeLeaf::pooler().idleCount());
    EXPECT_EQ(idleBoxes + 1, FakeBox::pooler().idleCount());
    stranger->release();
}

TEST(ComponentModel, RemoveAllGivesEveryChildBack) {
    Released<FakeBox> box(FakeBox::pool());
    for (int i = 0; i < 5; ++i) {
        box->add(FakeLeaf::pool());
    }
    const int32_t idle = FakeLeaf::pooler().idleCount();
    box->removeAll(true);
    EXPECT_EQ(0, box->getChildCount());
    EXPECT_EQ(idle + 5, FakeLeaf::pooler().idleCount());
}

TEST(ComponentModel, ReleasedWidgetComesBackWithDefaults) {
    FakeLeaf* leaf = FakeLeaf::pool();
    {
        Released<FakeBox> box(FakeBox::pool());
        box->add(leaf);
        leaf->setOffset(3, 4);
        leaf->setBounds(1, 2, 30, 40);
        leaf->setContentSize(5, 6);
        leaf->setMinimumSize(7, 8);
        leaf->setPercentSize(50, 60);
        leaf->setPaddings(1, 2, 3, 4);
        leaf->setBackgroundInherited(false);
        leaf->setVisible(false);
        leaf->freeze();
        leaf->release();
        EXPECT_EQ(0, box->getChildCount()) << "a released child leaves its parent";
    }
    // The pool hands back the most recently released object.
    Released<FakeLeaf> again(FakeLeaf::pool());
    ASSERT_EQ(leaf, again.get());
    const ComponentState& s = again->state();
    EXPECT_EQ(nullptr, again->getParent());
    EXPECT_EQ(nullptr, again->getWindow());
    EXPECT_EQ(0, s.x + s.y + s.dx + s.dy + s.width + s.height);
    EXPECT_EQ(0, s.contentWidth + s.contentHeight + s.minimumWidth + s.minimumHeight);
    EXPECT_EQ(-1, s.widthPercent);
    EXPECT_EQ(-1, s.heightPercent);
    EXPECT_EQ(-1, s.fixedWidth);
    EXPECT_EQ(0, s.paddingLeft + s.paddingRight + s.paddingTop + s.paddingBottom);
    EXPECT_FALSE(again->isBackgroundInherited());
    EXPECT_FALSE(again->isFrozen());
    EXPECT_TRUE(s.visible);
    EXPECT_STREQ(L"s_gui_test_FakeLeaf", again->className());
}

// Classes that give no name of their own answer their interface's.
class Unnamed : public s::gui::win::Leaf<s::gui::IComponent> {
public:
    s::base::IObject* newInstance() const override { return nullptr; }
    void release() override {}
    void reset() override {}
    void onEvent(s::base::IObject*, int32_t) override {}
};
class UnnamedBox : public s::gui::win::Container<s::gui::IContainer> {
public:
    s::base::IObject* newInstance() const override { return nullptr; }
    void release() override {}
    void reset() override {}
    void onEvent(s::base::IObject*, int32_t) override {}
};

TEST(ComponentModel, ClassNameTexts) {
    Unnamed leaf;
    UnnamedBox box;
    EXPECT_STREQ(L"s_gui_IComponent", leaf.className());
    EXPECT_EQ(s::gui::IComponent::CLASS_NAME, leaf.className()) << "type tests compare the constant's address";
    EXPECT_STREQ(L"s_gui_IContainer", box.className());
    Released<FakeLeaf> fake(FakeLeaf::pool());
    EXPECT_TRUE(s::base::isClass<FakeLeaf>(fake.get()));
    EXPECT_FALSE(s::base::isClass<FakeBox>(fake.get()));
    EXPECT_FALSE(s::base::isClass<s::gui::IComponent>(fake.get()));
}

// Listeners that count and can act on the list while it is fired.
struct Probe : s::gui::events::IEventListener {
    void onEvent(s::base::IObject*, int32_t code) override {
        codes.push_back(code);
        if (action) {
            action();
        }
    }
    std::vector<int32_t> codes;
    std::function<void()> action;
};

TEST(ListenerLists, FiringSurvivesChangesMadeByListeners) {
    ListenerList list;
    Probe a, b, c, late;
    list.add(&a);
    list.add(&b);
    list.add(&c);
    EXPECT_FALSE(list.add(nullptr));
    // a removes itself and b: b is not told; c still is. a also adds a late listener,
    // which is told in the same round.
    bool first = true;
    a.action = [&] {
        if (first) {
            first = false;
            list.remove(&a);
            list.remove(&b);
            list.add(&late);
        }
    };
    list.fire(nullptr, 7);
    EXPECT_EQ(std::vector<int32_t>{7}, a.codes);
    EXPECT_TRUE(b.codes.empty());
    EXPECT_EQ(std::vector<int32_t>{7}, c.codes);
    EXPECT_EQ(std::vector<int32_t>{7}, late.codes);
    EXPECT_EQ(2u, list.count());
    list.fire(nullptr, 8);
    EXPECT_EQ(std::vector<int32_t>{7}, a.codes);
    EXPECT_EQ((std::vector<int32_t>{7, 8}), c.codes);
}

TEST(ListenerLists, ReleasedWidgetLeavesEveryList) {
    ListenerList first, second;
    FakeLeaf* leaf = FakeLeaf::pool();
    Probe other;
    first.add(leaf);
    first.add(&other);
    second.add(leaf);
    second.add(leaf);
    leaf->release();
    EXPECT_FALSE(first.contains(leaf));
    EXPECT_FALSE(second.contains(leaf));
    EXPECT_EQ(0u, second.count());
    // The pooled object, taken again for something else, hears nothing of the old lists.
    Released<FakeLeaf> again(FakeLeaf::pool());
    ASSERT_EQ(leaf, again.get());
    first.fire(nullptr, 1);
    second.fire(nullptr, 1);
    EXPECT_EQ(0, again->events);
    EXPECT_EQ(std::vector<int32_t>{1}, other.codes);
}

TEST(ListenerLists, ForgottenWhileFiring) {
    ListenerList list;
    Probe killer;
    FakeLeaf* leaf = FakeLeaf::pool();
    list.add(&killer);
    list.add(leaf);
    killer.action = [&] { leaf->release(); };
    list.fire(nullptr, 3);
    EXPECT_EQ(0, leaf->events);
    EXPECT_EQ(1u, list.count());
}

} // namespace
