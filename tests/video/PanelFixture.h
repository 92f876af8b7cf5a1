// The converter dialog bound to a settings store in the test program and running its own
// window in one of its modes, options showing; its panels are built into that window's
// option area and their lists chosen by clicks, so each change reaches the dialog along
// the road it takes in the program.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <utility>

#include "app/AppFixture.h"
#include "app/ProgramScreen.h"
#include "app/sound/gui/dialogs/mp3conv/Dialog.h"
#include "app/video/P2pEstimates.h"
#include "support/UiThread.h"
#include "support/WaitFor.h"
#include "system/map/IMappedData.h"
#include "widgets/gui/IBox.h"
#include "widgets/gui/IComponent.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/Window.h"

namespace videotest {

class PanelDialogTest : public apptest::AppFixture {
protected:
    typedef s::sound::gui::dialogs::mp3conv::Dialog Dialog;

    void TearDown() override {
        if (runner_.joinable()) {
            PostMessageW(frame(), WM_CLOSE, 0, 0);
            runner_.join();
        }
        if (dialog_ != nullptr) {
            dialog_->release();
        }
        Dialog::setOpeningMode(1);
        apptest::AppFixture::TearDown();
    }
    // As start-up opens it, in the mode a test asks for, in the large view (the one left
    // last), so the option area shows.
    void open(int32_t mode) {
        ASSERT_TRUE(apptest::writeInt(apptest::savePath(apptest::viewGroup()), L"CompactView", 0));
        dialog_ = Dialog::pool();
        ASSERT_NE(dialog_, nullptr);
        dialog_->bind(mainRecord());
        Dialog::setOpeningMode(mode);
        dialog_->setMode(Dialog::openingMode());
        runner_ = std::thread([this] { dialog_->runWindow(); });
        ASSERT_TRUE(testsupport::waitFor(
            [&] { return dialog_->window() != nullptr && frame() != nullptr && IsWindowVisible(frame()); }, 15000));
    }
    HWND frame() const { return dialog_->window()->getFrameHandle(); }
    void onUi(std::function<void()> fn) { testsupport::onUiThread(dialog_->window(), std::move(fn)); }

    // The panel of id replaces the one shown, as a "Convert to:" change does; the window
    // grows to hold it whole, so every list can be clicked.
    void showPanel(int32_t id) {
        panel_ = nullptr;
        onUi([&] {
            s::gui::IBox* area = dialog_->optionContainer();
            panel_ = dialog_->buildOptionPanel(0, L"", id, 0);
            if (panel_ == nullptr) {
                return;
            }
            area->add(panel_);
            if (area->getChildCount() > 1) {
                area->remove(area->getChildAt(0), true);
            }
            s::gui::win::Window* window = dialog_->window();
            window->doLayout();
            const int32_t cut = panel_->getScreenY() + panel_->getHeight() - window->getY() - window->getHeight();
            if (cut > 0) {
                window->setPosition(window->getX(), 0);
                window->setSize(window->getWidth(), window->getHeight() + cut + 40);
                window->doLayout();
            }
            window->redrawNow();
        });
        ASSERT_NE(panel_, nullptr);
    }
    // Chooses the list's entry at index by clicks and waits until the window has handled it.
    void chooseAt(s::gui::win::ComboBox* list, int32_t index) {
        ASSERT_NE(list, nullptr);
        ASSERT_TRUE(apptest::chooseByClicks(list->getNativeHandle(), index)) << "entry " << index;
        onUi([] {});
    }
    // Chooses the list's entry of value by clicks (no list: nothing to choose).
    void choose(s::gui::win::ComboBox* list, int32_t value) {
        if (list == nullptr) {
            return;
        }
        for (int32_t i = 0; i < list->getItemCount(); ++i) {
            if (list->getItem(i)->value == value) {
                chooseAt(list, i);
                return;
            }
        }
        ADD_FAILURE() << "no entry " << value;
    }
    static int32_t selected(const s::gui::win::ComboBox* list) {
        const auto* item = list != nullptr ? list->getSelectedItem() : nullptr;
        return item != nullptr ? item->value : -1;
    }
    int32_t stored(const wchar_t* group, const wchar_t* key, int32_t def = -1) {
        const std::wstring path = std::wstring(L"MainWindow\\ConvertTo2\\") + group;
        return app_->withStore(def, [&](s::map::IMappedData* store) { return store->getS32(path.c_str(), key, def); });
    }

    bool storedFlag(const wchar_t* group, const wchar_t* key) {
        const std::wstring path = std::wstring(L"MainWindow\\ConvertTo2\\") + group;
        return app_->withStore(false, [&](s::map::IMappedData* store) { return store->getBool(path.c_str(), key, false); });
    }

    Dialog* dialog_ = nullptr;
    s::gui::IComponent* panel_ = nullptr;
    std::thread runner_;
};

} // namespace videotest
