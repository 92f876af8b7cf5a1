// An application context set up in the test program, as the start-up sets one up,
// over the product's own settings key, and the seams its tests replace.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProgramDriver.h"
#include "app/app/win/AppBase.h"
#include "app/app/win/AppWindow.h"
#include "system/monitor/UiScale.h"
#include "widgets/gui/IWindow.h"

namespace apptest {

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override {
        deleteProductKey();
        app_ = s::app::win::AppBase::pool();
        ASSERT_NE(nullptr, app_);
        ASSERT_TRUE(app_->setUp(nullptr));
    }
    void TearDown() override {
        if (record_ != nullptr) {
            record_->release();
        }
        if (app_ != nullptr) {
            app_->release();
        }
        s::system::monitor::setScreenSizeFunction(nullptr);
        deleteProductKey();
    }
    // The main window's record at the current UI scale (replacing an earlier one).
    s::app::win::AppWindow* mainRecord() {
        if (record_ != nullptr) {
            record_->release();
        }
        const int32_t scale = s::system::monitor::uiScale();
        record_ = s::app::win::AppWindow::create(app_, L"MainWindow", 250 * scale, 250 * scale,
                                                 s::gui::IWindow::MIDDLE_CLOSE);
        return record_;
    }

    s::app::win::AppBase* app_ = nullptr;
    s::app::win::AppWindow* record_ = nullptr;
};

} // namespace apptest
