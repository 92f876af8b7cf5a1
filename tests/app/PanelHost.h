// An options panel of the converter dialog shown in a window of its own, so that its lists
// are chosen in as a person chooses: a click opens a list, the wheel brings the entry into
// view, a click takes it. The dialog hears the choice from the list itself.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include "app/ProgramScreen.h"
#include "support/UiThread.h"
#include "support/WaitFor.h"
#include "widgets/gui/IComponent.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/Window.h"

namespace apptest {

class PanelHost {
public:
    PanelHost() = default;
    ~PanelHost() {
        drop();
        if (window_ != nullptr) window_->release();
    }
    PanelHost(const PanelHost&) = delete;
    PanelHost& operator=(const PanelHost&) = delete;

    // Whether panel is the one shown (the window then owns it).
    bool holds(const s::gui::IComponent* panel) const { return panel != nullptr && panel == panel_; }
    // Takes over panel and shows it; the window opens on first use.
    void show(s::gui::IComponent* panel) {
        if (holds(panel)) return;
        drop();
        if (window_ == nullptr) {
            window_ = s::gui::win::Window::pool();
            window_->setBounds(40, 20, 640, 960);
            window_->setVisible(true);
        }
        testsupport::onUiThread(window_, [&] {
            window_->add(panel);
            window_->doLayout();
        });
        panel_ = panel;
    }
    // Takes the shown panel out and gives it back to its pool.
    void drop() {
        if (panel_ == nullptr) return;
        testsupport::onUiThread(window_, [&] { window_->remove(panel_, true); });
        panel_ = nullptr;
    }

    // Chooses the entry at index of list (of any shown window) by clicks; true once the
    // list has taken the click (the dialog has heard of it).
    static bool choose(s::gui::win::ComboBox* list, int32_t index) {
        HWND combo = list != nullptr ? list->getNativeHandle() : nullptr;
        if (combo == nullptr || !IsWindowVisible(combo)) {
            ADD_FAILURE() << "the list is not on the screen";
            return false;
        }
        if (!chooseByClicks(combo, index)) return false;
        // What the click brought about is done on the list's thread before this returns.
        SendMessageW(combo, WM_NULL, 0, 0);
        return true;
    }

private:
    s::gui::win::Window* window_ = nullptr;
    s::gui::IComponent* panel_ = nullptr;
};

} // namespace apptest
