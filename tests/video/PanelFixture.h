// The converter dialog bound to a settings store in the test program and opened in one
// of its modes; its panels are built and their lists changed as the window would.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "app/AppFixture.h"
#include "app/sound/gui/dialogs/mp3conv/Dialog.h"
#include "app/video/P2pEstimates.h"
#include "system/map/IMappedData.h"
#include "widgets/gui/IComponent.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/ComboBox.h"

namespace videotest {

class PanelDialogTest : public apptest::AppFixture {
protected:
    typedef s::sound::gui::dialogs::mp3conv::Dialog Dialog;

    void TearDown() override {
        dropPanel();
        if (dialog_ != nullptr) {
            dialog_->release();
        }
        Dialog::setOpeningMode(1);
        apptest::AppFixture::TearDown();
    }
    void open(int32_t mode) {
        dialog_ = Dialog::pool();
        ASSERT_NE(dialog_, nullptr);
        dialog_->bind(mainRecord());
        // As start-up opens it, in the mode a test asks for.
        Dialog::setOpeningMode(mode);
        dialog_->setMode(Dialog::openingMode());
    }
    // The panel of id replaces the one shown, as a "Convert to:" change does.
    void showPanel(int32_t id) {
        dropPanel();
        panel_ = dialog_->buildOptionPanel(0, L"", id, 0);
        ASSERT_NE(panel_, nullptr);
    }
    void dropPanel() {
        if (panel_ != nullptr) {
            panel_->removeAll(true);
            panel_->release();
            panel_ = nullptr;
        }
    }
    // Puts the list on the entry of value and hands the change to the dialog's own
    // handler, as the list does (a dialog without its window hears no list).
    void choose(s::gui::win::ComboBox* list, int32_t value) {
        if (list == nullptr) {
            return;
        }
        for (int32_t i = 0; i < list->getItemCount(); ++i) {
            if (list->getItem(i)->value == value) {
                list->setSelectedIndex(i, false);
                EXPECT_TRUE(dialog_->onOptionEvent(list, 0));
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
};

} // namespace videotest
