// The confirmation window: answers by mouse, keyboard and close box, its owner disabled
// meanwhile, its place over the owner, its texts, and an end when its window is gone.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

#include "ControlsSupport.h"
#include "support/FrameInput.h"
#include "support/LostInput.h"
#include "support/RealInput.h"
#include "system/lang/Localizer.h"
#include "system/xml/Node.h"
#include "widgets/gui/dialogs/FlexAsker.h"
#include "widgets/gui/win/Button.h"
#include "widgets/gui/win/CheckBox.h"

namespace {

using namespace controlstest;
using s::gui::dialogs::FlexAsker;

s::lang::Localizer* englishTexts() {
    s::xml::Node* root = s::xml::Node::pool();
    root->parse(L"<lang><languages><entry tagName=\"eng\" engName=\"English\"/></languages><entries>"
                L"<entry id=\"400300\"><eng>Confirmation Dialog</eng></entry>"
                L"<entry id=\"400320\"><eng>Are you sure you want to proceed this operation?</eng></entry>"
                L"<entry id=\"400330\"><eng>Yes</eng></entry>"
                L"<entry id=\"400340\"><eng>No</eng></entry>"
                L"<entry id=\"400380\"><eng>Don't ask me again</eng></entry></entries></lang>");
    s::lang::Localizer* texts = s::lang::Localizer::pool();
    texts->load(root);
    root->release();
    texts->setLanguage(L"English");
    return texts;
}

HWND focusOf(DWORD thread) { return testsupport::focusOfThread(thread); }

// One question asked on a thread of its own; a watchdog closes the window of a question
// that is still open after ten seconds, so that no test waits for ever.
class Question {
public:
    Question(FlexAsker* asker, HWND owner, const wchar_t* title = nullptr, const wchar_t* text = nullptr)
        : asker_(asker), owner_(owner), before_(asker->getWindow()),
          beforeFrame_(before_ != nullptr ? before_->getFrameHandle() : nullptr) {
        thread_ = std::thread([this, asker, owner, title, text] {
            const ULONGLONG start = GetTickCount64();
            asker->ask(owner, title, text);
            ms_ = static_cast<int64_t>(GetTickCount64() - start);
            done_ = true;
        });
    }
    ~Question() { finish(); }

    // The window once it shows where it was placed (null when it never does): the asker
    // disables the owner after placing it.
    s::gui::IWindow* shown() {
        waitFor([&] {
            s::gui::IWindow* w = asker_->getWindow();
            // The pool may hand the next question the very object of the last: its frame is new.
            return done_.load() || (w != nullptr && (w != before_ || w->getFrameHandle() != beforeFrame_) &&
                                    IsWindowVisible(w->getFrameHandle()) &&
                                    asker_->getYesButton() != nullptr &&
                                    (owner_ == nullptr || !IsWindow(owner_) || !IsWindowEnabled(owner_)));
        }, 10000);
        return done_.load() ? nullptr : asker_->getWindow();
    }
    // Waits for the answer; false when the watchdog had to close the window.
    bool finish() {
        if (!thread_.joinable()) {
            return true;
        }
        const bool answered = waitFor([&] { return done_.load(); }, 10000);
        if (!answered && asker_->getWindow() != nullptr) {
            PostMessageW(asker_->getWindow()->getFrameHandle(), WM_CLOSE, 0, 0);
        }
        thread_.join();
        return answered;
    }
    bool done() const { return done_.load(); }
    int64_t ms() const { return ms_; }

private:
    FlexAsker* asker_;
    HWND owner_;
    // The window of the question before, which this one replaces.
    s::gui::IWindow* before_;
    HWND beforeFrame_;
    std::thread thread_;
    std::atomic<bool> done_{false};
    std::atomic<int64_t> ms_{0};
};

TEST(FlexAskerTest, AnswersByMouseKeyboardAndCloseBoxWithTheOwnerDisabledMeanwhile) {
    Released<s::lang::Localizer> texts(englishTexts());
    Released<Window> owner(shownWindow());
    HWND ownerFrame = owner->getFrameHandle();
    Released<FlexAsker> asker(FlexAsker::create(texts.get(), nullptr));

    enum Step { CLICK_YES, CLICK_NO, CLICK_BOX, CLOSE, TAB, ENTER };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        uint8_t answer;
        bool dontAsk;
    };
    const Case cases[] = {
        {"yes", {CLICK_YES}, 1, false},
        {"no", {CLICK_NO}, 0, false},
        {"box then close", {CLICK_BOX, CLOSE}, 0, true},
        {"box twice then yes", {CLICK_BOX, CLICK_BOX, CLICK_YES}, 1, false},
        {"enter", {ENTER}, 1, false},
        {"tab enter", {TAB, ENTER}, 0, false},
        {"tab tab tab enter", {TAB, TAB, TAB, ENTER}, 1, false},
    };
    for (const Case& c : cases) {
        Question question(asker.get(), ownerFrame);
        s::gui::IWindow* window = question.shown();
        ASSERT_NE(nullptr, window) << c.name;
        EXPECT_TRUE(waitFor([&] { return !IsWindowEnabled(ownerFrame); })) << c.name;
        const DWORD ui = GetWindowThreadProcessId(window->getFrameHandle(), nullptr);
        HWND yes = asker->getYesButton()->getNativeHandle();
        HWND no = asker->getNoButton()->getNativeHandle();
        HWND check = asker->getCheckBox()->getNativeHandle();
        ASSERT_TRUE(waitFor([&] { return focusOf(ui) == yes; })) << c.name;
        for (Step step : c.steps) {
            switch (step) {
            case CLICK_YES: testsupport::clickOn(yes); break;
            case CLICK_NO: testsupport::clickOn(no); break;
            case CLICK_BOX: {
                const bool before = asker->getCheckBox()->isChecked();
                auto toggled = [&] { return asker->getCheckBox()->isChecked() != before; };
                testsupport::clickOn(check);
                if (!waitFor(toggled, 10000)) {
                    // A click the machine lost, made once more (and counted).
                    testsupport::LostInput::repeated("check box click");
                    testsupport::clickOn(check);
                }
                EXPECT_TRUE(waitFor(toggled)) << c.name;
                break;
            }
            case CLOSE:
                EXPECT_TRUE(testsupport::clickCaptionButton(window->getFrameHandle(), HTCLOSE)) << c.name;
                break;
            case TAB: {
                // Through every control in order and round again.
                HWND from = focusOf(ui);
                testsupport::press(VK_TAB);
                EXPECT_TRUE(waitFor([&] { return focusOf(ui) == (from == yes ? no : from == no ? check : yes); }))
                    << c.name;
                break;
            }
            case ENTER: testsupport::press(VK_RETURN); break;
            }
        }
        ASSERT_TRUE(question.finish()) << c.name;
        EXPECT_EQ(c.answer, asker->getAnswer()) << c.name;
        EXPECT_EQ(c.dontAsk, asker->isDontAsk()) << c.name;
        EXPECT_TRUE(IsWindowEnabled(ownerFrame)) << c.name;
    }
}

TEST(FlexAskerTest, ShowsCentredOverItsOwnerWithThePacksDefaultTexts) {
    Released<s::lang::Localizer> texts(englishTexts());
    Released<Window> owner(shownWindow());
    Released<FlexAsker> asker(FlexAsker::create(texts.get(), nullptr));
    {
        Question question(asker.get(), owner->getFrameHandle());
        s::gui::IWindow* window = question.shown();
        ASSERT_NE(nullptr, window);
        EXPECT_EQ(L"Confirmation Dialog", textOf(window->getFrameHandle()));
        EXPECT_EQ(L"Yes", textOf(asker->getYesButton()->getNativeHandle()));
        EXPECT_EQ(L"No", textOf(asker->getNoButton()->getNativeHandle()));
        EXPECT_EQ(L"Don't ask me again", textOf(asker->getCheckBox()->getNativeHandle()));
        RECT mine, theirs;
        GetWindowRect(window->getFrameHandle(), &mine);
        GetWindowRect(owner->getFrameHandle(), &theirs);
        EXPECT_NEAR((theirs.left + theirs.right) / 2, (mine.left + mine.right) / 2, 1);
        EXPECT_NEAR((theirs.top + theirs.bottom) / 2, (mine.top + mine.bottom) / 2, 1);
        EXPECT_EQ(0, GetWindowLongPtrW(window->getFrameHandle(), GWL_STYLE) & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
        EXPECT_NE(0, GetWindowLongPtrW(window->getFrameHandle(), GWL_STYLE) & WS_THICKFRAME);
        PostMessageW(window->getFrameHandle(), WM_CLOSE, 0, 0);
    }
    // A title and question of its own.
    Question question(asker.get(), nullptr, L"Really?", L"Convert 3 files?");
    s::gui::IWindow* window = question.shown();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(L"Really?", textOf(window->getFrameHandle()));
    PostMessageW(window->getFrameHandle(), WM_CLOSE, 0, 0);
}

Window* g_made = nullptr;
Window* windowWithoutUiThread() {
    g_made = Window::pool();
    g_made->StopUiThread();
    return g_made;
}
Window* nothing() {
    return nullptr;
}

TEST(FlexAskerTest, AQuestionWhoseWindowIsMissingOrGoneAnswersNoAtOnce) {
    Released<Window> owner(shownWindow());
    HWND ownerFrame = owner->getFrameHandle();
    Released<FlexAsker> asker(FlexAsker::create(nullptr, nullptr));
    for (FlexAsker::WindowSource source : {&windowWithoutUiThread, &nothing}) {
        FlexAsker::setWindowSource(source);
        Question question(asker.get(), ownerFrame);
        ASSERT_TRUE(question.finish());
        FlexAsker::setWindowSource(nullptr);
        EXPECT_LT(question.ms(), 1000);
        EXPECT_EQ(0, asker->getAnswer());
        EXPECT_TRUE(IsWindowEnabled(ownerFrame));
    }
    // The window's thread ends while the question shows.
    Question question(asker.get(), ownerFrame);
    s::gui::IWindow* window = question.shown();
    ASSERT_NE(nullptr, window);
    static_cast<Window*>(window)->StopUiThread();
    ASSERT_TRUE(waitFor([&] { return question.done(); }, 10000));
    EXPECT_EQ(0, asker->getAnswer());
    EXPECT_TRUE(IsWindowEnabled(ownerFrame));
}

} // namespace
