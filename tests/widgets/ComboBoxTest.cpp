#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

#include "ToolkitStubs.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/IBox.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/ComboBox.h"

namespace {

using s::gui::combobox::ComboBoxItem;
using s::gui::win::ComboBox;
using windowtest::Recorder;
using windowtest::Window;

ComboBox* boxOf(std::initializer_list<const wchar_t*> texts) {
    ComboBox* box = ComboBox::createWithSize(60, -1);
    int32_t value = 0;
    for (const wchar_t* text : texts) {
        box->addItem(ComboBoxItem::createWithText(text, value++, 0, 0));
    }
    return box;
}

// The caption the drawer painted last, read on the UI thread that paints, once it is
// `expected` or after ten seconds.
std::wstring paintedText(Window* window, const stubs::ComboDrawer& drawer, const wchar_t* expected) {
    std::wstring last;
    testsupport::waitOnUiThread(window, [&] {
        last = drawer.texts.empty() ? L"" : drawer.texts.back();
        return last == expected;
    });
    return last;
}

std::wstring selectedText(const ComboBox* box) {
    const ComboBoxItem* item = box->getSelectedItem();
    return item != nullptr ? item->getText() : L"(none)";
}

TEST(ComboBoxTest, TheSelectionStaysOnItsEntryThroughInsertsAndRemovals) {
    enum Op { INSERT, REMOVE_AT, REMOVE_ITEM };
    struct Case {
        Op op;
        int32_t index;
        const wchar_t* selected;
        int events;
    } cases[] = {
        {INSERT, 0, L"c", 0},      {INSERT, 2, L"c", 0},         {INSERT, 3, L"c", 0},
        {INSERT, 99, L"c", 0},     {INSERT, -4, L"c", 0},        {REMOVE_AT, 0, L"c", 0},
        {REMOVE_AT, 3, L"c", 0},   {REMOVE_ITEM, 1, L"c", 0},    {REMOVE_ITEM, 3, L"c", 0},
        {REMOVE_AT, 2, L"(none)", 0}, {REMOVE_ITEM, 2, L"(none)", 1}, {REMOVE_AT, 9, L"c", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.op << " at " << c.index);
        Released<ComboBox> box(boxOf({L"a", L"b", L"c", L"d"}));
        box->setSelectedIndex(1, false);
        box->setSelectedIndex(2, false);
        Recorder changes;
        box->addSelectionListener(&changes);
        ComboBoxItem* removed = nullptr;
        switch (c.op) {
        case INSERT:
            box->insertItem(c.index, ComboBoxItem::createWithText(L"new", 9, 0, 0));
            break;
        case REMOVE_AT:
            removed = box->removeAt(c.index);
            break;
        case REMOVE_ITEM:
            removed = box->removeItem(box->getItem(c.index));
            break;
        }
        EXPECT_EQ(c.selected, selectedText(box.get()));
        EXPECT_EQ(c.events, changes.count(0));
        // The previous entry follows its item too (or goes when removed).
        const ComboBoxItem* previous = box->getPreviousItem();
        if (previous != nullptr) {
            EXPECT_EQ(std::wstring(L"b"), previous->getText());
        }
        if (removed != nullptr) {
            removed->release();
        }
    }
}

TEST(ComboBoxTest, AnEmptyListHasNoSelectionAndNotifyingSettersTellOnlyChanges) {
    Released<ComboBox> empty(ComboBox::createWithSize(-1, -1));
    Recorder changes;
    empty->addSelectionListener(&changes);
    empty->setSelectedIndex(0, true);
    EXPECT_EQ(-1, empty->getSelectedIndex());
    EXPECT_FALSE(empty->selectByValue(0, true));
    EXPECT_FALSE(empty->deleteSelected());
    EXPECT_TRUE(changes.codes.empty());

    Released<ComboBox> box(boxOf({L"a", L"b", L"c"}));
    box->addSelectionListener(&changes);
    box->setSelectedIndex(7, true);  // outside: the first entry
    box->selectIndex(0, true);  // already selected
    EXPECT_TRUE(box->selectByValue(2, true));
    EXPECT_EQ(2, box->getSelectedIndex());
    EXPECT_EQ(0, box->getPreviousIndex());
    EXPECT_EQ(2, changes.count(0));
}

TEST(ComboBoxTest, AUsersPickFiresOneChangeKeepingThePreviousEntry) {
    Released<Window> window(Window::pool());
    window->setBounds(40, 40, 300, 200);
    ComboBox* empty = ComboBox::createWithSize(-1, -1);
    window->add(empty);
    EXPECT_EQ(-1, empty->getSelectedIndex());
    empty->addItem(ComboBoxItem::createWithText(L"late", 0, 0, 0));
    EXPECT_EQ(-1, empty->getSelectedIndex());

    ComboBox* box = boxOf({L"a", L"b", L"c"});
    Recorder changes;
    box->addSelectionListener(&changes);
    window->add(box);
    ASSERT_NE(nullptr, box->m_hWnd);
    // The list of a new control shows the first entry, without an event.
    EXPECT_EQ(0, box->GetCurSel());
    EXPECT_EQ(0, box->getSelectedIndex());
    EXPECT_EQ(3, box->GetCount());
    EXPECT_EQ(static_cast<LONG_PTR>(ComboBox::CONTROL_ID), GetWindowLongPtrW(box->m_hWnd, GWLP_ID));
    for (int pick : {2, 2}) {
        box->SetCurSel(pick);
        SendMessageW(window->getFrameHandle(), WM_COMMAND, MAKEWPARAM(ComboBox::CONTROL_ID, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(box->m_hWnd));
    }
    EXPECT_EQ(1, changes.count(0));
    EXPECT_EQ(2, box->getSelectedIndex());
    EXPECT_EQ(0, box->getPreviousIndex());
}

TEST(ComboBoxTest, TheOpenListWidensByAScrollBarPastThirtyEntriesAndRowsAreNeverFlat) {
    Released<Window> window(Window::pool());
    window->setBounds(40, 40, 300, 300);
    std::vector<ComboBox*> boxes;
    for (int count : {30, 31}) {
        ComboBox* box = ComboBox::createWithSize(60, 30);
        for (int i = 0; i < count; ++i) {
            box->addItem(ComboBoxItem::createWithText(L"A rather long caption", i, 0, 0));
        }
        window->add(box);
        boxes.push_back(box);
    }
    std::vector<int> widths;
    for (ComboBox* box : boxes) {
        box->ShowDropDown(true);
        EXPECT_TRUE(box->isOpen());
        widths.push_back(box->GetDroppedWidth());
        box->ShowDropDown(false);
        EXPECT_FALSE(box->isOpen());
        // The field keeps the height it was given (frames differ between systems).
        RECT field;
        GetWindowRect(box->m_hWnd, &field);
        EXPECT_EQ(30, field.bottom - field.top);
        EXPECT_GE(box->GetItemHeight(-1), 20);
        EXPECT_GE(box->GetItemHeight(0), 1);
    }
    EXPECT_GT(widths[0], 60);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), widths[1] - widths[0]);

    // A control that has no height yet still gets rows of the font's height.
    ComboBox* flat = ComboBox::createWithSize(60, 0);
    window->add(flat);
    EXPECT_GT(flat->GetItemHeight(-1), 1);
    EXPECT_GT(flat->GetItemHeight(0), 1);
}

TEST(ComboBoxTest, TopRowOfTheOpenListKeepsThePreviousPageOrCentresTheSelection) {
    struct Case {
        int32_t selection, remembered, rows, top;
    } cases[] = {
        {12, 10, 8, 10}, {10, 12, 8, 10}, {20, 10, 8, 16}, {2, -1, 8, 0}, {20, 10, 3, -1}, {5, 5, 0, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.top, ComboBox::topIndexFor(c.selection, c.remembered, c.rows)) << c.selection << "/" << c.remembered;
    }
}

TEST(ComboBoxTest, TwoBoxesInOneRowPaintTheirOwnCaptionsAndFollowTheLanguage) {
    Released<s::lang::Localizer> pack(stubs::twoLanguagePack(
        L"<entry id=\"1\"><eng>Low</eng><deu>Ziemlich niedrige Qualitat</deu></entry>"
        L"<entry id=\"2\"><eng>High</eng><deu>Hoch</deu></entry>"));
    Released<Window> window(Window::pool());
    window->setLocalizer(pack.get());
    window->setBounds(40, 40, 300, 200);
    window->setVisible(true);
    stubs::ComboDrawer first;
    stubs::ComboDrawer second;
    ComboBox* boxes[2] = {ComboBox::createWithSize(60, 26), ComboBox::createWithSize(60, 26)};
    boxes[0]->addItem(ComboBoxItem::createWithTextId(pack.get(), 1, 1, 0, 0));
    boxes[0]->addItem(ComboBoxItem::createWithText(L"Literal", 3, 0, 0));
    boxes[1]->addItem(ComboBoxItem::createWithTextId(pack.get(), 2, 2, 0, 0));
    boxes[0]->setDrawer(&first, false);
    boxes[1]->setDrawer(&second, false);
    EXPECT_EQ(1, first.fontsGiven);
    s::gui::win::Box* row = s::gui::win::Box::create(s::gui::IBox::ROW, 0, 100, -1, 0, 4, 0, 0, 0);
    window->add(row);
    for (ComboBox* box : boxes) {
        row->add(box);
    }
    for (ComboBox* box : boxes) {
        ASSERT_NE(nullptr, box->m_hWnd);
        EXPECT_EQ(row->getNativeHandle(), GetParent(box->m_hWnd));
        box->redrawNow();
    }
    EXPECT_EQ(L"Low", paintedText(window.get(), first, L"Low"));
    EXPECT_EQ(L"High", paintedText(window.get(), second, L"High"));

    boxes[0]->ShowDropDown(true);
    const int before = boxes[0]->GetDroppedWidth();
    boxes[0]->ShowDropDown(false);
    pack->setLanguage(L"German");
    EXPECT_EQ(std::wstring(L"Ziemlich niedrige Qualitat"), boxes[0]->getItem(0)->getText());
    EXPECT_EQ(std::wstring(L"Literal"), boxes[0]->getItem(1)->getText());
    EXPECT_EQ(L"Ziemlich niedrige Qualitat", paintedText(window.get(), first, L"Ziemlich niedrige Qualitat"));
    EXPECT_EQ(L"Hoch", paintedText(window.get(), second, L"Hoch"));
    // The open list is measured from the captions in the new language.
    boxes[0]->ShowDropDown(true);
    EXPECT_GT(boxes[0]->GetDroppedWidth(), before);
    boxes[0]->ShowDropDown(false);
}

// The field paints a bold entry bold and a plain one plain with a font of its own: the
// field font the box measures with stays as it was set.
TEST(ComboBoxTest, TheFieldPaintsBoldEntriesWithoutChangingItsFieldFont) {
    Released<Window> window(Window::pool());
    window->setBounds(40, 40, 300, 200);
    window->setVisible(true);
    stubs::ComboDrawer drawer;
    ComboBox* box = ComboBox::createWithSize(80, 26);
    box->addItem(ComboBoxItem::createWithText(L"Plain", 0, 0, 0));
    box->addItem(ComboBoxItem::createWithText(L"Bold", 1, 0, ComboBoxItem::BOLD));
    box->setDrawer(&drawer, false);
    window->add(box);
    const bool fieldBold = box->getFieldFont()->isBold();
    for (const auto& [index, text, bold] : {std::tuple{0, L"Plain", false}, std::tuple{1, L"Bold", true}}) {
        // What is painted is under test here, not how it was chosen: the entry is set directly.
        box->setSelectedIndex(index, false);
        box->redrawNow();
        ASSERT_EQ(text, paintedText(window.get(), drawer, text));
        stubs::runOnUiThread(window.get(), [&] { EXPECT_EQ(bold, static_cast<bool>(drawer.bolds.back())) << text; });
        EXPECT_EQ(fieldBold, box->getFieldFont()->isBold()) << "painting " << std::string(text, text + wcslen(text));
    }
}

} // namespace
