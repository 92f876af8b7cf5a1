// The application context: the language it settles on and writes back, the first-run
// step, and the pictures it carries.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "AppFixture.h"
#include "images/image/IEncodedImage.h"
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

} // namespace
