#pragma once
#include <windows.h>

#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "system/gui/events/IEventListener.h"

namespace s::lang { class Localizer; }

namespace s::gui {
class IWindow;
class IWindowState;
}

namespace s::gui::win {
class Button;
class CheckBox;
class Window;
}

namespace s::gui::dialogs {

// A small window of its own asking a yes/no question with a "Don't ask me again" box,
// shown centred over an owner window, which stays disabled until the answer is in.
//
//   FlexAsker* asker = FlexAsker::create(texts, record);
//   asker->ask(owner, nullptr, nullptr);       // blocks until answered or closed
//   if (asker->getAnswer() == 1) ...; asker->isDontAsk();
class FlexAsker : public events::IEventListener, public ::s::base::IObject, public ::s::thread::IPoolable {
    S_POOLED_CLASS(FlexAsker, 1000, L"s_gui_dialogs_FlexAsker")
public:
    static constexpr int32_t TITLE_TEXT_ID = 400300;
    static constexpr int32_t QUESTION_TEXT_ID = 400320;
    static constexpr int32_t YES_TEXT_ID = 400330;
    static constexpr int32_t NO_TEXT_ID = 400340;
    static constexpr int32_t DONT_ASK_TEXT_ID = 400380;
    static constexpr int32_t DEFAULT_WIDTH = 400;
    static constexpr int32_t DEFAULT_HEIGHT = 200;
    // How often ask looks whether the question is over.
    static constexpr DWORD POLL_MS = 100;

    // Where each question's window comes from (Window::pool unless a test replaces it).
    typedef win::Window* (*WindowSource)();
    static WindowSource setWindowSource(WindowSource source);

    // An asker whose windows take their texts from texts and remember their place in
    // record (either may be null).
    static FlexAsker* create(lang::Localizer* texts, IWindowState* record);

    ~FlexAsker() override;
    void reset() override;
    void onEvent(base::IObject* source, int32_t eventCode) override;

    // Shows the question (title and question null: the pack's defaults) and waits until
    // it is answered or closed. Answers No when the window could not be made or its UI
    // thread ended. The owner (a window handle, may be null) is disabled meanwhile.
    void ask(HWND owner, const wchar_t* title, const wchar_t* question);

    // 1 Yes, 0 No.
    uint8_t getAnswer() const { return answer_; }
    bool isDontAsk() const { return dontAsk_ != 0; }
    void setShowCheckBox(bool on) { showCheckBox_ = on ? 1 : 0; }
    // The window of the last question (null when none is left).
    IWindow* getWindow() const;
    win::Button* getYesButton() const { return yes_; }
    win::Button* getNoButton() const { return no_; }
    win::CheckBox* getCheckBox() const { return checkBox_; }

private:
    FlexAsker();
    const wchar_t* text(int32_t id) const;
    void build(const wchar_t* title, const wchar_t* question);
    void place(HWND owner);
    void waitForAnswer();
    void giveBackWindow();

    lang::Localizer* texts_;
    IWindowState* record_;
    HWND owner_;
    win::Window* window_;
    int32_t yesTextId_;
    int32_t noTextId_;
    int32_t checkBoxTextId_;
    uint8_t showCheckBox_;
    win::Button* yes_;
    win::Button* no_;
    win::CheckBox* checkBox_;
    uint8_t answer_;
    uint8_t dontAsk_;
};

} // namespace s::gui::dialogs
