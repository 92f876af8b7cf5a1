#include "widgets/gui/dialogs/FlexAsker.h"

#include <atomic>

#include "framework/PumpingWait.h"
#include "system/lang/Localizer.h"
#include "system/monitor/UiScale.h"
#include "widgets/gui/IBox.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/Button.h"
#include "widgets/gui/win/CheckBox.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/Spacer.h"
#include "widgets/gui/win/Window.h"

namespace s::gui::dialogs {

using win::Box;
using win::Button;
using win::CheckBox;
using win::Spacer;
using win::Window;

namespace {

Window* poolWindow() {
    return Window::pool();
}

std::atomic<FlexAsker::WindowSource> g_source{&poolWindow};

} // namespace

FlexAsker::WindowSource FlexAsker::setWindowSource(WindowSource source) {
    return g_source.exchange(source != nullptr ? source : &poolWindow);
}

FlexAsker::FlexAsker() : window_(nullptr) {
    reset();
}

FlexAsker::~FlexAsker() {
    giveBackWindow();
}

FlexAsker* FlexAsker::create(lang::Localizer* texts, IWindowState* record) {
    FlexAsker* asker = pool();
    if (asker != nullptr) {
        asker->texts_ = texts;
        asker->record_ = record;
    }
    return asker;
}

void FlexAsker::reset() {
    giveBackWindow();
    texts_ = nullptr;
    record_ = nullptr;
    owner_ = nullptr;
    yesTextId_ = YES_TEXT_ID;
    noTextId_ = NO_TEXT_ID;
    checkBoxTextId_ = DONT_ASK_TEXT_ID;
    showCheckBox_ = 1;
    answer_ = 0;
    dontAsk_ = 0;
}

IWindow* FlexAsker::getWindow() const {
    return window_;
}

void FlexAsker::giveBackWindow() {
    // Forgotten first: nothing reaches a window while it is being destroyed.
    Window* window = window_;
    window_ = nullptr;
    yes_ = nullptr;
    no_ = nullptr;
    checkBox_ = nullptr;
    if (window != nullptr) {
        window->release();
    }
}

const wchar_t* FlexAsker::text(int32_t id) const {
    return texts_ != nullptr ? texts_->getText(id) : L"";
}

void FlexAsker::ask(HWND owner, const wchar_t* title, const wchar_t* question) {
    owner_ = owner != nullptr && IsWindow(owner) ? owner : nullptr;
    answer_ = 0;
    dontAsk_ = 0;
    giveBackWindow();
    window_ = g_source.load()();
    if (window_ == nullptr || window_->getFrameHandle() == nullptr) {
        giveBackWindow();
        return;
    }
    build(title, question);
    place(owner_);
    if (owner_ != nullptr) {
        EnableWindow(owner_, FALSE);
    }
    waitForAnswer();
    if (owner_ != nullptr) {
        EnableWindow(owner_, TRUE);
    }
}

void FlexAsker::build(const wchar_t* title, const wchar_t* question) {
    Window* window = window_;
    // Resizable by its frame, no client edge, no maximize or minimize box, in the taskbar.
    window->setMaximizeBox(false);
    window->setMinimizeBox(false);
    window->setResizable(true);
    window->setClientEdge(false);
    window->setShowInTaskbar(true);
    window->applyState(record_, false);
    window->setLocalizer(texts_);
    const int32_t scale = system::monitor::uiScale();
    window->setSize(DEFAULT_WIDTH * scale, DEFAULT_HEIGHT * scale);
    window->setTitle(title != nullptr ? title : text(TITLE_TEXT_ID));

    checkBox_ = CheckBox::createWithTextId(checkBoxTextId_, false);
    yes_ = Button::createWithTextIdAndSize(yesTextId_, -1, -1);
    no_ = Button::createWithTextIdAndSize(noTextId_, -1, -1);
    win::Label* label = win::Label::createWithText(question != nullptr ? question : text(QUESTION_TEXT_ID), false,
                                                   false, 0);

    Box* column = Box::create(IBox::COLUMN, 1, 100.0, 100.0, 0, 0, 0, 0, 0);
    Box* buttons = Box::create(IBox::ROW, 1, 100.0, -1, 0, 0, 0, 0, 0);
    Box* checkRow = Box::create(IBox::ROW, 1, 100.0, -1, 0, 0, 0, 0, 0);
    IContainer::addIfNotNull(buttons, yes_);
    IContainer::addIfNotNull(buttons, Spacer::create(Spacer::HORIZONTAL, 7));
    IContainer::addIfNotNull(buttons, no_);
    if (showCheckBox_ != 0) {
        IContainer::addIfNotNull(checkRow, checkBox_);
    } else if (checkBox_ != nullptr) {
        checkBox_->release();
        checkBox_ = nullptr;
    }
    IContainer::addIfNotNull(column, Spacer::create(Spacer::VERTICAL, 10));
    IContainer::addIfNotNull(column, label);
    IContainer::addIfNotNull(column, Spacer::create(Spacer::VERTICAL, 12));
    IContainer::addIfNotNull(column, buttons);
    IContainer::addIfNotNull(column, checkRow);
    IContainer::addIfNotNull(column, Spacer::create(Spacer::VERTICAL, 5));
    IContainer::addIfNotNull(window, column);

    for (Button* button : {yes_, no_}) {
        if (button != nullptr) {
            button->addClickListener(this);
        }
    }
    if (checkBox_ != nullptr) {
        checkBox_->addCheckedListener(this);
        checkBox_->addUncheckedListener(this);
    }
    window->addKeyListener(this);
    window->addCloseListener(this);
    window->addActivateListener(this);

    // Wide enough for the question, and never below what the content needs.
    const int32_t least = label != nullptr ? label->getWidth() + 50 : 0;
    int32_t width = window->getWidth() < least ? least : window->getWidth();
    int32_t height = window->getHeight();
    width = width < window->getPreferredWidth() ? window->getPreferredWidth() : width;
    height = height < window->getPreferredHeight() ? window->getPreferredHeight() : height;
    window->setSize(width, height);
}

void FlexAsker::place(HWND owner) {
    Window* window = window_;
    RECT frame;
    if (owner != nullptr && GetWindowRect(owner, &frame)) {
        window->setPosition((frame.left + frame.right) / 2 - window->getWidth() / 2,
                            (frame.top + frame.bottom) / 2 - window->getHeight() / 2);
    }
    window->moveOnScreen();
    window->show(true, true);
    // Focus is set on the window's own thread; the activation handling posts it again.
    if (yes_ != nullptr && yes_->getNativeHandle() != nullptr) {
        SendMessageW(yes_->getNativeHandle(), Button::MSG_FOCUS, 0, 0);
    }
}

void FlexAsker::waitForAnswer() {
    Window* window = window_;
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, window->getUiThreadId());
    while (!window->isClosed()) {
        HWND frame = window->getFrameHandle();
        if (frame == nullptr || !IsWindow(frame)) {
            break;
        }
        if (thread == nullptr) {
            PumpingSleep(POLL_MS);
        } else if (PumpingWait(1, &thread, POLL_MS) != WAIT_TIMEOUT) {
            break;  // the window's UI thread has ended: nothing answers any more
        }
    }
    if (thread != nullptr) {
        CloseHandle(thread);
    }
    if (!window->isClosed()) {
        answer_ = 0;
    }
}

void FlexAsker::onEvent(base::IObject* source, int32_t eventCode) {
    if (window_ == nullptr || source == nullptr) {
        return;
    }
    HWND yes = yes_ != nullptr ? yes_->getNativeHandle() : nullptr;
    HWND no = no_ != nullptr ? no_->getNativeHandle() : nullptr;
    if (source == static_cast<base::IObject*>(window_)) {
        if (eventCode == 6 && yes != nullptr) {
            // After the activation's own focus handling: the focus goes back to a button.
            HWND focus = GetFocus();
            if (focus != yes && focus != no) {
                PostMessageW(yes, Button::MSG_FOCUS, 0, 0);
            }
        } else if (eventCode == 12) {
            HWND focus = GetFocus();
            // Tab moves the focus by the window's own navigation; Enter answers.
            if (window_->getLastKey() == VK_RETURN && (focus == yes || focus == no)) {
                answer_ = focus == yes ? 1 : 0;
                window_->close();
            }
        }
        return;
    }
    if (source == static_cast<base::IObject*>(yes_) || source == static_cast<base::IObject*>(no_)) {
        answer_ = source == static_cast<base::IObject*>(yes_) ? 1 : 0;
        window_->close();
    } else if (source == static_cast<base::IObject*>(checkBox_)) {
        dontAsk_ = checkBox_->isChecked() ? 1 : 0;
    }
}

} // namespace s::gui::dialogs
