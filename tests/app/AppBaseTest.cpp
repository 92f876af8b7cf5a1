// The application context: the language it settles on and writes back, the first-run
// step, the pictures and icons it carries, and the skin it shows.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "AppFixture.h"
#include "drawers/gui/drawer/ISkin.h"
#include "drawers/gui/drawer/Skinner.h"
#include "images/archive/icon/Archive.h"
#include "images/image/IEncodedImage.h"
#include "images/image/ico/win/IconImage.h"
#include "images/image/win/BufferedImage.h"
#include "system/lang/LangPack.h"
#include "system/lang/Localizer.h"
#include "system/shell/win/Shell.h"

using namespace apptest;

namespace {

int g_shellCalls = 0;
BOOL WINAPI countingShell(SHELLEXECUTEINFOW*) {
    ++g_shellCalls;
    return TRUE;
}

class AppBaseTest : public AppFixture {
protected:
    // A fresh context over whatever the store holds now.
    void restart() {
        app_->release();
        app_ = s::app::win::AppBase::pool();
        ASSERT_TRUE(app_->setUp(nullptr));
    }
};

TEST_F(AppBaseTest, LanguageIsTheStoredOneElseTheInterfacesAndIsWrittenBack) {
    struct Case {
        const wchar_t* stored;  // null: nothing stored
        const wchar_t* interfaceLanguage;
        const wchar_t* chosen;
    };
    const Case cases[] = {
        {nullptr, L"German", L"German"},
        {nullptr, L"Japanese", L"Japanese"},
        {nullptr, L"Klingon", L"English"},
        {L"French", L"German", L"French"},
        {L"Klingon", L"German", L"English"},
        {L"", L"German", L"English"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "stored " << (c.stored != nullptr ? std::string(c.stored, c.stored + wcslen(c.stored)) : "nothing"));
        deleteProductKey();
        if (c.stored != nullptr) {
            ASSERT_TRUE(writeString(savePath(L"Language"), L"", c.stored));
        }
        s::lang::Localizer::injectUiLanguageName(c.interfaceLanguage);
        restart();
        ASSERT_NE(nullptr, app_->localizer()->current());
        EXPECT_STREQ(c.chosen, app_->localizer()->current()->engName());
        std::wstring stored;
        ASSERT_TRUE(readString(savePath(L"Language"), L"", &stored));
        EXPECT_EQ(c.chosen, stored);
        EXPECT_STREQ(c.chosen, app_->languageName());
    }
    s::lang::Localizer::injectUiLanguageName(nullptr);
}

TEST_F(AppBaseTest, FirstRunStepDeletesSilentOnceAndOpensNoEmptyAddress) {
    g_shellCalls = 0;
    s::shell::win::setShellExecute(&countingShell);
    ASSERT_TRUE(writeInt(PRODUCT_KEY, L"Silent", 1));
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        app_->runFirstRunStep();
        EXPECT_FALSE(hasValue(PRODUCT_KEY, L"Silent"));
        // The pack's software page address is empty: there is nothing to open.
        EXPECT_EQ(0, g_shellCalls);
    }
    s::shell::win::setShellExecute(nullptr);
}

TEST_F(AppBaseTest, BothPicturesAreDecodedFromTheProgramsResources) {
    s::image::IEncodedImage* pictures[2] = {app_->picture1(), app_->picture2()};
    s::image::win::BufferedImage* images[2] = {app_->picture1Image(), app_->picture2Image()};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(nullptr, pictures[i]);
        ASSERT_NE(nullptr, images[i]);
        EXPECT_GT(pictures[i]->width(), 0);
        EXPECT_EQ(pictures[i]->width(), images[i]->width());
        EXPECT_EQ(pictures[i]->height(), images[i]->height());
    }
}

TEST_F(AppBaseTest, IconsOfEachSizeComeFromTheProgramsIconGroup) {
    typedef s::image::ico::win::IconImage* (s::app::win::AppBase::*Kept)();
    typedef s::image::win::BufferedImage* (s::app::win::AppBase::*Fresh)();
    ASSERT_NE(nullptr, app_->iconArchive());
    EXPECT_EQ(6u, app_->iconArchive()->count());
    struct Case {
        Kept kept;
        Fresh fresh;  // null: none of that size
        int32_t side;
    };
    const Case cases[] = {
        {&s::app::win::AppBase::icon16, nullptr, 16},
        {&s::app::win::AppBase::icon32, nullptr, 32},
        {&s::app::win::AppBase::icon64, &s::app::win::AppBase::iconImage64, 64},
        {&s::app::win::AppBase::icon128, &s::app::win::AppBase::iconImage128, 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side);
        s::image::ico::win::IconImage* icon = (app_->*c.kept)();
        ASSERT_NE(nullptr, icon);
        EXPECT_EQ(c.side, icon->width());
        EXPECT_TRUE(icon->is32Bit());
        // Decoded once and kept.
        EXPECT_EQ(icon, (app_->*c.kept)());
        if (c.fresh != nullptr) {
            s::image::win::BufferedImage* picture = (app_->*c.fresh)();
            ASSERT_NE(nullptr, picture);
            EXPECT_EQ(c.side, picture->width());
            EXPECT_EQ(c.side, picture->height());
            picture->release();
        }
    }
    EXPECT_NE(nullptr, app_->icon256());
    s::archive::icon::Archive* same = app_->iconArchiveById(128);
    ASSERT_NE(nullptr, same);
    EXPECT_EQ(6u, same->count());
    same->release();
    EXPECT_EQ(nullptr, app_->iconArchiveById(4242));
}

TEST_F(AppBaseTest, AGivenSkinnerShowsTheStoredSkinElseItsFirst) {
    EXPECT_FALSE(app_->hasSkinner());
    struct Case {
        const wchar_t* stored;  // null: nothing stored
        const wchar_t* shown;
        const wchar_t* name;
    };
    const Case cases[] = {
        {nullptr, L"White", L""},
        {L"Pink", L"Pink", L"Pink"},
        {L"indigo", L"Indigo", L"indigo"},
        {L"Tartan", L"White", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored != nullptr ? std::string(c.stored, c.stored + wcslen(c.stored)) : "nothing");
        deleteProductKey();
        if (c.stored != nullptr) {
            ASSERT_TRUE(writeString(savePath(L"Skin"), L"", c.stored));
        }
        restart();
        app_->setSkinner(s::gui::drawer::Skinner::createThinWindow());
        ASSERT_TRUE(app_->hasSkinner());
        ASSERT_NE(nullptr, app_->skinner()->getCurrentSkin());
        EXPECT_STREQ(c.shown, app_->skinner()->getCurrentSkin()->getName());
        EXPECT_STREQ(c.name, app_->skinName());
    }
    app_->setSkinName(L"Black");
    EXPECT_STREQ(L"Black", app_->skinner()->getCurrentSkin()->getName());
    std::wstring stored;
    ASSERT_TRUE(readString(savePath(L"Skin"), L"", &stored));
    EXPECT_EQ(L"Black", stored);
}

} // namespace
