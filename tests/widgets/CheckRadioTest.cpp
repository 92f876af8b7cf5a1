// Check boxes and radio buttons on a real window, and the enabling listeners they wire.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "ControlsSupport.h"
#include "widgets/gui/events/Disabler.h"
#include "widgets/gui/events/Editabler.h"
#include "widgets/gui/events/Enabler.h"
#include "widgets/gui/events/UnEditabler.h"
#include "widgets/gui/win/CheckBox.h"
#include "widgets/gui/win/RadioButton.h"
#include "widgets/gui/win/TextField.h"

namespace {

using namespace controlstest;
using s::gui::ICheckable;
using s::gui::win::CheckBox;
using s::gui::win::RadioButton;
using s::gui::win::TextField;

// Notes the control's stored state each time it is told.
class StateSeen : public s::gui::events::IEventListener {
public:
    explicit StateSeen(ICheckable* control) : control_(control) {}
    void onEvent(s::base::IObject*, int32_t code) override {
        codes.push_back(code);
        states.push_back(control_->isChecked());
    }
    std::vector<int32_t> codes;
    std::vector<bool> states;

private:
    ICheckable* control_;
};

TEST(CheckRadioTest, EachClickOfACheckBoxTellsItsListOnceWithTheNewStateStored) {
    Released<Window> window(shownWindow());
    CheckBox* box = CheckBox::createWithText(L"Salt & pepper", false);
    TextField* field = TextField::create(L"", -1, -1);
    box->enableWhenChecked(field);
    field->setEnabled(false);
    window->add(box);
    window->add(field);
    HWND hwnd = box->getNativeHandle();
    ASSERT_NE(nullptr, hwnd);
    // The ampersand is shown, not taken as a mnemonic.
    EXPECT_EQ(L"Salt && pepper", textOf(hwnd));
    StateSeen checked(box), unchecked(box);
    box->addCheckedListener(&checked);
    box->addUncheckedListener(&unchecked);

    struct Step {
        bool click;      // else setChecked with the value below
        bool value;
        size_t checkedTold, uncheckedTold;
        bool fieldEnabled;
    };
    const Step steps[] = {
        {true, true, 1, 0, true},
        {true, false, 1, 1, false},
        // Set by the program: nobody is told and the field keeps its state.
        {false, true, 1, 1, false},
        {true, false, 1, 2, false},
        {true, true, 2, 2, true},
        {false, false, 2, 2, true},
    };
    for (const Step& step : steps) {
        if (step.click) {
            SendMessageW(hwnd, BM_CLICK, 0, 0);
        } else {
            box->setChecked(step.value);
        }
        EXPECT_EQ(step.value, box->isChecked());
        EXPECT_EQ(step.value ? BST_CHECKED : BST_UNCHECKED, SendMessageW(hwnd, BM_GETCHECK, 0, 0));
        EXPECT_EQ(step.checkedTold, checked.codes.size());
        EXPECT_EQ(step.uncheckedTold, unchecked.codes.size());
        EXPECT_EQ(step.fieldEnabled, field->isEnabled());
    }
    EXPECT_EQ((std::vector<int32_t>{1, 1}), checked.codes);
    EXPECT_EQ((std::vector<bool>{true, true}), checked.states);
    EXPECT_EQ((std::vector<int32_t>{2, 2}), unchecked.codes);
    EXPECT_EQ((std::vector<bool>{false, false}), unchecked.states);
}

TEST(CheckRadioTest, ClickingAnotherRadioButtonTellsBothOnceAndWiresEditing) {
    Released<Window> window(shownWindow());
    RadioButton* first = RadioButton::createWithText(L"First", true);
    RadioButton* second = RadioButton::createWithText(L"Second", false);
    TextField* field = TextField::create(L"", -1, -1);
    CheckBox* option = CheckBox::createWithText(L"Option", false);
    second->editableWhenChecked(field);
    second->disableWhenChecked(option);
    window->add(first);
    window->add(second);
    window->add(field);
    window->add(option);
    StateSeen firstOff(first), secondOn(second), secondOff(second);
    first->addUncheckedListener(&firstOff);
    second->addCheckedListener(&secondOn);
    second->addUncheckedListener(&secondOff);

    SendMessageW(second->getNativeHandle(), BM_CLICK, 0, 0);
    EXPECT_EQ((std::vector<int32_t>{0}), firstOff.codes);
    EXPECT_EQ((std::vector<bool>{false}), firstOff.states);
    EXPECT_EQ((std::vector<int32_t>{0}), secondOn.codes);
    EXPECT_EQ((std::vector<bool>{true}), secondOn.states);
    EXPECT_TRUE(field->isEditable());
    EXPECT_FALSE(option->isEnabled());
    EXPECT_FALSE(IsWindowEnabled(option->getNativeHandle()));

    // By the program, with and without telling.
    second->setChecked(false, false);
    EXPECT_TRUE(secondOff.codes.empty());
    second->setChecked(false, true);
    EXPECT_EQ(1u, secondOff.codes.size());
    EXPECT_FALSE(field->isEditable());
}

TEST(CheckRadioTest, DisablingTellsItsListBeforeTheControlFollows) {
    Released<Window> window(shownWindow());
    CheckBox* box = CheckBox::createWithText(L"Box", false);
    window->add(box);
    HWND hwnd = box->getNativeHandle();
    std::vector<BOOL> nativeWhenTold;
    Recorder enabled, disabled;
    disabled.action = [&](int32_t) { nativeWhenTold.push_back(IsWindowEnabled(hwnd)); };
    enabled.action = disabled.action;
    box->addEnabledListener(&enabled);
    box->addDisabledListener(&disabled);
    for (bool on : {false, false, true, false}) {
        box->setEnabled(on);
        EXPECT_EQ(on, IsWindowEnabled(hwnd) != FALSE);
    }
    EXPECT_EQ(2, disabled.count(0));
    EXPECT_EQ(1, enabled.count(0));
    EXPECT_EQ((std::vector<BOOL>{TRUE, FALSE, TRUE}), nativeWhenTold);
}

TEST(CheckRadioTest, ADrawerMeasuresAndPaintsTheCheckBox) {
    Released<Window> window(shownWindow());
    CheckDrawer drawer;
    CheckBox* box = CheckBox::createWithText(L"Drawn", true);
    box->setDrawer(&drawer, false);
    window->add(box);
    EXPECT_EQ(40, box->getPreferredWidth());
    EXPECT_EQ(16, box->getPreferredHeight());
    RedrawWindow(box->getNativeHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_FALSE(drawer.checks.empty());
    EXPECT_TRUE(drawer.checks.back());
    EXPECT_EQ(16, drawer.boxSizes.back());
}

// The four switches on a detached text field, the one widget that stores both states.
TEST(EnablingListenersTest, ASwitchObeysOnlyItsTriggerAndSwitchesEachListedTarget) {
    using namespace s::gui::events;
    Released<TextField> trigger(TextField::create(L"", -1, -1));
    Released<TextField> other(TextField::create(L"", -1, -1));
    Released<TextField> target(TextField::create(L"", -1, -1));
    struct Case {
        TargetSwitch* (*make)();
        bool enabled, editable;  // the target's states before
        bool enabledAfter, editableAfter;
    };
    const Case cases[] = {
        {[]() -> TargetSwitch* { return Enabler::pool(); }, false, false, true, false},
        {[]() -> TargetSwitch* { return Disabler::pool(); }, true, true, false, true},
        {[]() -> TargetSwitch* { return Editabler::pool(); }, false, false, false, true},
        {[]() -> TargetSwitch* { return UnEditabler::pool(); }, true, true, true, false},
    };
    for (const Case& c : cases) {
        TargetSwitch* toggle = c.make();
        toggle->setTrigger(trigger.get());
        toggle->addTarget(target.get());
        toggle->addTarget(target.get());
        target->setEnabled(c.enabled);
        target->setEditable(c.editable);
        toggle->onEvent(other.get(), 1);
        EXPECT_EQ(c.enabled, target->isEnabled()) << toggle->className();
        EXPECT_EQ(c.editable, target->isEditable()) << toggle->className();
        toggle->onEvent(trigger.get(), 7);
        EXPECT_EQ(c.enabledAfter, target->isEnabled()) << toggle->className();
        EXPECT_EQ(c.editableAfter, target->isEditable()) << toggle->className();
        EXPECT_EQ(2u, toggle->getTargetCount());
        // Back in its pool it forgets trigger and targets, and leaves the target alone.
        toggle->release();
        EXPECT_EQ(nullptr, toggle->getTrigger());
        EXPECT_EQ(0u, toggle->getTargetCount());
        EXPECT_EQ(c.enabledAfter, target->isEnabled());
    }
    // Widgets that cannot be read-only ignore the editing switches.
    Released<CheckBox> box(CheckBox::createWithText(L"", false));
    Released<Editabler> editabler(Editabler::pool());
    editabler->setTrigger(trigger.get());
    editabler->addTarget(box.get());
    editabler->onEvent(trigger.get(), 0);
    EXPECT_FALSE(box->isEditable());
}

} // namespace
