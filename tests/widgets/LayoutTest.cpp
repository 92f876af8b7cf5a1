// The four arrangements (row, column, flow, pile) and the three managers, headless.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "Fakes.h"
#include "support/Released.h"
#include "widgets/gui/layout/FlowH.h"
#include "widgets/gui/layout/Pile.h"
#include "widgets/gui/layout/Vertical.h"

using fakes::FakeBox;
using fakes::FakeLeaf;

namespace {

struct Child {
    int32_t prefW, maxW, prefH, maxH;
    bool hidden;
};

struct Placed {
    int32_t x, y, w, h;
};

struct LayoutCase {
    const char* name;
    int32_t arrangement;
    int32_t innerW, innerH;
    int32_t hAlign, vAlign, gapX, gapY;
    std::vector<Child> children;
    std::vector<Placed> expected;
    s::gui::layout::ContentSizes sizes;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class Arrangement : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Arrangement, PlacesChildrenAndReportsContentSizes) {
    const LayoutCase& c = GetParam();
    Released<FakeBox> box(FakeBox::pool());
    box->setSize(c.innerW, c.innerH);
    box->rules.arrangement = c.arrangement;
    box->rules.hAlign = c.hAlign;
    box->rules.vAlign = c.vAlign;
    box->rules.gapX = c.gapX;
    box->rules.gapY = c.gapY;
    std::vector<FakeLeaf*> leaves;
    for (const Child& child : c.children) {
        FakeLeaf* leaf = FakeLeaf::pool()->sized(child.prefW, child.maxW, child.prefH, child.maxH);
        // Hidden children keep a position of their own that a pile must not touch.
        leaf->setBounds(7, 7, 3, 3);
        if (child.hidden) {
            leaf->setVisible(false);
        }
        box->add(leaf);
        leaves.push_back(leaf);
    }
    box->doLayout();

    ASSERT_EQ(c.expected.size(), leaves.size());
    for (size_t i = 0; i < leaves.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "child " << i);
        EXPECT_EQ(c.expected[i].x, leaves[i]->getX());
        EXPECT_EQ(c.expected[i].y, leaves[i]->getY());
        EXPECT_EQ(c.expected[i].w, leaves[i]->getWidth());
        EXPECT_EQ(c.expected[i].h, leaves[i]->getHeight());
        EXPECT_FALSE(leaves[i]->isFrozen());
    }
    EXPECT_EQ(c.sizes.minWidth, box->rules.sizes.minWidth);
    EXPECT_EQ(c.sizes.minHeight, box->rules.sizes.minHeight);
    EXPECT_EQ(c.sizes.wantedWidth, box->rules.sizes.wantedWidth);
    EXPECT_EQ(c.sizes.wantedHeight, box->rules.sizes.wantedHeight);
}

const LayoutCase kCases[] = {
    // Rows.
    {"RowGrowsInProportion", 0, 100, 30, 0, 0, 0, 0,
     {{20, 60, 10, 10, false}, {20, 60, 10, 10, false}},
     {{0, 0, 50, 10}, {50, 0, 50, 10}}, {40, 10, 120, 10}},
    {"RowTruncationRestGoesToFirst", 0, 100, 10, 0, 0, 0, 0,
     {{10, 40, 10, 10, false}, {10, 40, 10, 10, false}, {10, 40, 10, 10, false}},
     {{0, 0, 34, 10}, {34, 0, 33, 10}, {67, 0, 33, 10}}, {30, 10, 120, 10}},
    {"RowFixedChildKeepsItsWidth", 0, 60, 10, 0, 0, 0, 0,
     {{30, 30, 10, 10, false}, {10, 50, 10, 10, false}},
     {{0, 0, 30, 10}, {30, 0, 30, 10}}, {40, 10, 80, 10}},
    {"RowAllFitCentred", 0, 100, 30, 1, 1, 4, 0,
     {{10, 20, 10, 10, false}, {10, 30, 10, 20, false}},
     {{23, 10, 20, 10}, {47, 5, 30, 20}}, {24, 10, 54, 20}},
    {"RowFilledStartsAtZeroWhateverTheAlignment", 0, 40, 10, 2, 0, 0, 0,
     {{20, 60, 10, 10, false}, {20, 60, 10, 10, false}},
     {{0, 0, 20, 10}, {20, 0, 20, 10}}, {40, 10, 120, 10}},
    {"RowEmptyChildTakesNoGapAfterIt", 0, 100, 10, 0, 0, 5, 0,
     {{10, 10, 10, 10, false}, {0, 0, 10, 10, false}, {10, 10, 10, 10, false}},
     {{0, 0, 10, 10}, {15, 0, 0, 10}, {15, 0, 10, 10}}, {25, 10, 25, 10}},
    {"RowTrailingEmptyChildAddsNoGap", 0, 30, 10, 2, 0, 5, 0,
     {{10, 10, 10, 10, false}, {0, 0, 10, 10, false}},
     {{20, 0, 10, 10}, {35, 0, 0, 10}}, {10, 10, 10, 10}},
    {"RowOddLeftoverCentresDown", 0, 15, 10, 1, 0, 0, 0,
     {{10, 10, 10, 10, false}},
     {{2, 0, 10, 10}}, {10, 10, 10, 10}},
    {"RowTooNarrowKeepsPreferred", 0, 10, 10, 1, 0, 2, 0,
     {{10, 10, 10, 10, false}, {10, 10, 10, 10, false}},
     {{0, 0, 10, 10}, {12, 0, 10, 10}}, {22, 10, 22, 10}},
    // Columns.
    {"ColumnGrowsInProportion", 1, 50, 100, 0, 0, 0, 0,
     {{10, 30, 20, 60, false}, {10, 30, 20, 60, false}},
     {{0, 0, 30, 50}, {0, 50, 30, 50}}, {10, 40, 30, 120}},
    {"ColumnNothingToGrowEndAligned", 1, 50, 100, 2, 2, 0, 3,
     {{10, 10, 20, 20, false}, {10, 10, 20, 20, false}},
     {{40, 57, 10, 20}, {40, 80, 10, 20}}, {10, 43, 10, 43}},
    {"ColumnAllFitCentred", 1, 50, 100, 1, 1, 0, 0,
     {{10, 10, 10, 30, false}, {10, 10, 10, 30, false}},
     {{20, 20, 10, 30}, {20, 50, 10, 30}}, {10, 20, 10, 60}},
    {"ColumnEmptyChildTakesNoGapAfterIt", 1, 10, 10, 0, 0, 0, 4,
     {{10, 10, 5, 5, false}, {10, 10, 0, 0, false}, {10, 10, 5, 5, false}},
     {{0, 0, 10, 5}, {0, 9, 10, 0}, {0, 9, 10, 5}}, {10, 14, 10, 14}},
    // Flows.
    {"FlowWrapsAtInnerWidth", 2, 50, 100, 0, 0, 5, 2,
     {{20, 20, 10, 10, false}, {20, 20, 10, 10, false}, {20, 20, 10, 10, false},
      {20, 20, 10, 10, false}, {20, 20, 10, 10, false}},
     {{0, 0, 20, 10}, {25, 0, 20, 10}, {0, 12, 20, 10}, {25, 12, 20, 10}, {0, 24, 20, 10}},
     {20, 34, 120, 34}},
    {"FlowLinesEndAligned", 2, 50, 100, 2, 0, 5, 2,
     {{20, 20, 10, 10, false}, {20, 20, 10, 10, false}, {20, 20, 10, 10, false}},
     {{5, 0, 20, 10}, {30, 0, 20, 10}, {30, 12, 20, 10}}, {20, 22, 70, 22}},
    {"FlowFullLineStartsAtZero", 2, 40, 10, 2, 0, 0, 0,
     {{20, 20, 10, 10, false}, {20, 20, 10, 10, false}},
     {{0, 0, 20, 10}, {20, 0, 20, 10}}, {20, 10, 40, 10}},
    {"FlowLinesCentredBothWays", 2, 50, 40, 1, 1, 0, 0,
     {{30, 30, 10, 10, false}, {30, 30, 10, 10, false}},
     {{10, 10, 30, 10}, {10, 20, 30, 10}}, {30, 20, 60, 20}},
    {"FlowEmptyChildTakesNoGap", 2, 50, 10, 0, 0, 5, 0,
     {{20, 20, 10, 10, false}, {0, 0, 10, 10, false}, {20, 20, 10, 10, false}},
     {{0, 0, 20, 10}, {20, 0, 0, 10}, {25, 0, 20, 10}}, {20, 10, 45, 10}},
    {"FlowLinesGrowInProportion", 2, 50, 40, 0, 0, 0, 0,
     {{30, 30, 10, 30, false}, {30, 30, 10, 30, false}},
     {{0, 0, 30, 20}, {0, 20, 30, 20}}, {30, 20, 60, 60}},
    // Piles.
    {"PileBottomRightHiddenUntouched", 3, 50, 40, 2, 2, 0, 0,
     {{10, 20, 10, 30, false}, {30, 30, 5, 5, true}},
     {{30, 10, 20, 30}, {7, 7, 3, 3}}, {10, 10, 20, 30}},
    {"PileCentred", 3, 50, 40, 1, 1, 0, 0,
     {{10, 10, 10, 10, false}, {20, 20, 20, 20, false}},
     {{20, 15, 10, 10}, {15, 10, 20, 20}}, {20, 20, 20, 20}},
    {"PileGrowsToMaximumPastRoom", 3, 50, 40, 0, 2, 0, 0,
     {{10, 10, 10, 60, false}},
     {{0, 0, 10, 60}}, {10, 10, 10, 60}},
};

INSTANTIATE_TEST_SUITE_P(Layout, Arrangement, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

TEST(Layout, EmptyContainerReportsZeroSizes) {
    for (int32_t arrangement = 0; arrangement < 4; ++arrangement) {
        Released<FakeBox> box(FakeBox::pool());
        box->setSize(100, 100);
        box->rules.arrangement = arrangement;
        box->rules.sizes = {9, 9, 9, 9};
        box->doLayout();
        EXPECT_EQ(0, box->rules.sizes.minWidth + box->rules.sizes.minHeight + box->rules.sizes.wantedWidth + box->rules.sizes.wantedHeight)
            << "arrangement " << arrangement;
    }
}

TEST(Layout, ChildrenOfAFrozenContainerStayFrozenUntilItThaws) {
    Released<FakeBox> box(FakeBox::pool());
    box->setSize(100, 100);
    box->rules.arrangement = 0;
    FakeLeaf* leaf = FakeLeaf::pool()->sized(10, 10, 10, 10);
    box->add(leaf);
    box->freeze();
    box->doLayout();
    EXPECT_TRUE(leaf->isFrozen());
    box->thaw();
    EXPECT_FALSE(leaf->isFrozen());
}

TEST(Layout, OffsetHelpers) {
    struct {
        int32_t align, leftover, expected;
    } starts[] = {{0, 9, 0}, {1, 9, 4}, {2, 9, 9}, {1, 0, 0}, {2, -3, 0}, {7, 9, 0}};
    for (const auto& s : starts) {
        EXPECT_EQ(s.expected, s::gui::layout::startOffset(s.align, s.leftover)) << s.align << "/" << s.leftover;
    }
    struct {
        int32_t align, available, size, expected;
    } crosses[] = {{0, 10, 4, 0}, {1, 10, 4, 3}, {2, 10, 4, 6}, {1, 10, 12, 0}, {2, 10, 10, 0}};
    for (const auto& c : crosses) {
        EXPECT_EQ(c.expected, s::gui::layout::crossOffset(c.align, c.available, c.size)) << c.align;
    }
}

TEST(BoxRules, PercentPreferredAndMaximumSizes) {
    using s::gui::layout::Arrangement;
    struct {
        int32_t inner, percent, expected;
    } percents[] = {{100, 33, 33}, {101, 50, 51}, {99, 50, 50}, {1, 50, 1}, {-101, 50, -51}, {0, 80, 0}};
    for (const auto& p : percents) {
        EXPECT_EQ(p.expected, Arrangement::percentOf(p.inner, p.percent)) << p.inner << " x " << p.percent;
    }
    struct {
        bool collapsed;
        int32_t fixed, paddings, minContent, minimum, expected;
    } preferred[] = {{true, 50, 4, 10, 90, 0},   {false, 50, 4, 10, 90, 50}, {false, -1, 4, 10, -1, 14},
                     {false, -1, 4, 10, 90, 90}, {false, -1, 4, 10, 5, 14}};
    for (const auto& p : preferred) {
        EXPECT_EQ(p.expected, Arrangement::preferredSize(p.collapsed, p.fixed, p.paddings, p.minContent, p.minimum));
    }
    struct {
        int32_t fixed, percent, parentInner, paddings, minContent, wanted, expected;
    } maxima[] = {{70, 50, 101, 4, 10, 20, 70}, {-1, 50, 101, 4, 10, 20, 51}, {-1, -1, 101, 4, 10, 20, 24},
                  {-1, -1, 101, 4, 30, 20, 34}};
    for (const auto& m : maxima) {
        EXPECT_EQ(m.expected,
                  Arrangement::maximumSize(m.fixed, m.percent, m.parentInner, m.paddings, m.minContent, m.wanted));
    }
}

struct Told : s::gui::events::IEventListener {
    void onEvent(s::base::IObject* source, int32_t code) override {
        codes.push_back(code);
        sources.push_back(source);
        if (action) {
            action();
        }
    }
    std::vector<int32_t> codes;
    std::vector<s::base::IObject*> sources;
    std::function<void()> action;
};

TEST(BoxRules, RunsTellListenersAndNestAtMostTwice) {
    Released<FakeBox> box(FakeBox::pool());
    box->setSize(100, 100);
    box->rules.arrangement = 0;
    Told told;
    box->listeners.add(&told);
    box->doLayout();
    EXPECT_EQ(std::vector<int32_t>{3}, told.codes) << "told also without children";
    EXPECT_EQ(box.get(), told.sources[0]);

    // Every run re-enters through the listener: one nested run, no deeper.
    told.codes.clear();
    told.action = [&] { box->doLayout(); };
    const int calls = box->layouts;
    box->doLayout();
    EXPECT_EQ(2u, told.codes.size());
    EXPECT_EQ(calls + 3, box->layouts);
    EXPECT_EQ(0, box->rules.depth);
    told.action = nullptr;

    told.codes.clear();
    box->rules.creatingChildren = 1;
    box->doLayout();
    EXPECT_TRUE(told.codes.empty()) << "no run while the children are being created";
    box->rules.creatingChildren = 0;
}

TEST(BoxRules, ManagerOrArrangementChoosesTheRoutine) {
    Released<FakeBox> box(FakeBox::pool());
    box->setSize(100, 100);
    FakeLeaf* a = FakeLeaf::pool()->sized(30, 30, 10, 10);
    FakeLeaf* b = FakeLeaf::pool()->sized(30, 30, 10, 10);
    box->add(a);
    box->add(b);
    box->rules.arrangement = 0;
    box->doLayout();
    EXPECT_EQ(30, b->getX());
    EXPECT_EQ(60, box->rules.sizes.minWidth);
    // A manager wins over the arrangement and reports no content sizes.
    box->setLayout(s::gui::layout::Vertical::instance());
    box->doLayout();
    EXPECT_EQ(0, b->getX());
    EXPECT_EQ(10, b->getY());
    EXPECT_EQ(0, box->rules.sizes.minWidth + box->rules.sizes.wantedHeight);
    // An unknown arrangement places nothing.
    box->setLayout(nullptr);
    box->rules.arrangement = 9;
    b->setPosition(77, 77);
    box->doLayout();
    EXPECT_EQ(77, b->getX());
}

TEST(BoxRules, ChangesRelayOutTheBoxThenItsParentTwiceForAFlow) {
    for (int32_t arrangement = 0; arrangement < 4; ++arrangement) {
        Released<FakeBox> parent(FakeBox::pool());
        FakeBox* box = FakeBox::pool();
        parent->add(box);
        box->rules.arrangement = arrangement;
        const int parentRuns = parent->layouts;
        const int boxRuns = box->layouts;
        box->rules.relayoutAfterChange(box);
        const int parentDelta = arrangement == 2 ? 2 : 1;
        EXPECT_EQ(parentRuns + parentDelta, parent->layouts) << "arrangement " << arrangement;
        // Each parent run fits the box again, which lays it out once more.
        EXPECT_EQ(boxRuns + 1 + parentDelta, box->layouts);
    }
}

// The managers run their routine with start alignment and no gaps, and report nothing.
TEST(LayoutManagers, DefaultAndSetManagersArrangeChildren) {
    Released<FakeBox> box(FakeBox::pool());
    box->setSize(50, 100);
    FakeLeaf* a = FakeLeaf::pool()->sized(30, 30, 10, 10);
    FakeLeaf* b = FakeLeaf::pool()->sized(30, 30, 10, 10);
    box->add(a);
    box->add(b);
    // No manager set: the column of Vertical.
    EXPECT_EQ(s::gui::layout::Vertical::instance(), box->getLayout());
    EXPECT_EQ(0, a->getY());
    EXPECT_EQ(10, b->getY());

    box->setLayout(s::gui::layout::Pile::instance());
    box->doLayout();
    EXPECT_EQ(0, b->getY());
    EXPECT_EQ(0, b->getX());

    box->setSize(100, 100);
    box->setLayout(s::gui::layout::FlowH::instance());
    box->doLayout();
    EXPECT_EQ(30, b->getX());
    EXPECT_EQ(0, b->getY());
    EXPECT_EQ(0, box->rules.sizes.wantedWidth);
}

TEST(LayoutManagers, NamesSingletonsAndPools) {
    struct {
        s::gui::ILayoutManager* shared;
        const wchar_t* name;
        s::thread::EasyPooler* pooler;
    } kinds[] = {
        {s::gui::layout::Vertical::instance(), L"s_gui_layout_Vertical", &s::gui::layout::Vertical::pooler()},
        {s::gui::layout::FlowH::instance(), L"s_gui_layout_FlowH", &s::gui::layout::FlowH::pooler()},
        {s::gui::layout::Pile::instance(), L"s_gui_layout_Pile", &s::gui::layout::Pile::pooler()},
    };
    for (const auto& k : kinds) {
        EXPECT_STREQ(k.name, k.shared->className());
        EXPECT_EQ(1000, k.pooler->capacity());
        // A pooled instance goes back to the pool; the shared one never does, so a full
        // pool can never destroy it under the containers that use it.
        auto* other = static_cast<s::gui::ILayoutManager*>(k.shared->newInstance());
        ASSERT_NE(nullptr, other);
        EXPECT_NE(k.shared, other);
        EXPECT_STREQ(k.name, other->className());
        const int32_t idle = k.pooler->idleCount();
        other->release();
        EXPECT_EQ(idle + 1, k.pooler->idleCount());
        k.shared->release();
        EXPECT_EQ(idle + 1, k.pooler->idleCount());
        EXPECT_STREQ(k.name, k.shared->className());
    }
    EXPECT_EQ(s::gui::layout::Pile::instance(), s::gui::layout::Pile::instance());
}

} // namespace
