#include "app/app/win/AboutWindow.h"
#include <algorithm>

#include "app/app/IAppBase.h"
#include "app/app/win/AppWindow.h"
#include "drawers/gui/drawer/Skinner.h"
#include "drawers/gui/drawer/border/win/Plain.h"
#include "drawers/gui/drawer/image/win/Basic.h"
#include "drawers/gui/win/Font.h"
#include "images/image/win/BufferedImage.h"
#include "images/image/win/BufferedImageSet.h"
#include "system/lang/Localizer.h"
#include "system/monitor/UiScale.h"
#include "system/shell/win/Shell.h"
#include "widgets/gui/dialogs/About3.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/Button.h"
#include "widgets/gui/win/Image.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/Spacer.h"
#include "widgets/gui/win/Window.h"

namespace s::app::win {

using gui::IBox;
using gui::win::Box;
using gui::win::Button;
using gui::win::Label;

AppWindow* AboutWindow::createRecord(IAppBase* app) {
    gui::drawer::Skinner* skinner = gui::drawer::Skinner::createThinWindow();
    AppWindow* record =
        AppWindow::create(app, L"AboutWindow", DEFAULT_WIDTH, DEFAULT_HEIGHT, gui::IWindow::MIDDLE_CLOSE, skinner, SCHEME);
    if (record == nullptr && skinner != nullptr) {
        skinner->release();
    }
    return record;
}

AboutWindow* AboutWindow::create(AppWindow* record) {
    AboutWindow* about = pool();
    if (about == nullptr) {
        return nullptr;
    }
    about->record_ = record;
    about->localizer_ = record != nullptr ? record->localizer() : nullptr;
    about->shell_ = gui::dialogs::About3::create(record, nullptr, nullptr, about->localizer_);
    return about;
}

gui::drawer::Skinner* AboutWindow::skinner() const {
    return record_ != nullptr ? record_->skinner() : nullptr;
}

AboutWindow::~AboutWindow() {
    reset();
}

void AboutWindow::reset() {
    releaseWindow();
    if (shell_ != nullptr) {
        shell_->release();
        shell_ = nullptr;
    }
    record_ = nullptr;
    localizer_ = nullptr;
    owner_ = nullptr;
    scale_ = 1;
    donationTextId_ = DONATION_PAGE_TEXT;
}

void AboutWindow::releaseWindow() {
    if (window_ != nullptr) {
        window_->removeListener(this);
        window_->release();
        window_ = nullptr;
    }
    closeGlyph_ = closeButton_ = nullptr;
    picture_ = nullptr;
    webLink_ = donationLink_ = nullptr;
}

Label* AboutWindow::label(int32_t textId, int32_t fontCode) {
    return Label::createWithTextId(textId, false, false, fontCode);
}

void AboutWindow::show(gui::IWindow* owner) {
    releaseWindow();
    owner_ = owner;
    scale_ = system::monitor::uiScale();
    window_ = gui::win::Window::pool();
    if (window_ == nullptr || window_->getFrameHandle() == nullptr) {
        releaseWindow();
        return;
    }
    window_->setLocalizer(localizer_);
    window_->setTitleTextId(TITLE_TEXT, -1);
    window_->setStateRecord(record_);
    window_->setSmallIcon(record_->smallIcon(), false);
    window_->setLargeIcon(record_->largeIcon(), false);
    // The frame and every widget take their drawers from the record's skin.
    window_->setSkinHolder(record_->skinHolder());
    Box* content = build();
    window_->addCloseListener(this);
    window_->addKeyListener(this);
    window_->addWorkerEventListener(this);
    window_->addTimerListener(this);
    window_->doLayout();
    window_->doLayout();
    // As wide as the record's size, or the content when wider; exactly as high as the content.
    const RECT bounds = record_->boundsToOpen();
    const int32_t borderWidth = window_->getWidth() - window_->getInnerWidth();
    const int32_t borderHeight = window_->getHeight() - window_->getInnerHeight();
    window_->setBounds(bounds.left, bounds.top,
                       std::max<int32_t>(content->getPreferredWidth() + borderWidth, DEFAULT_WIDTH * scale_),
                       content->getPreferredHeight() + borderHeight);
    window_->doLayout();
    // Above a kept-on-top owner, or a click on the window would land on the owner.
    if (owner_ != nullptr && owner_->isTopmost()) {
        window_->setTopmost(true);
    }
    window_->showNormal();
    window_->activate(true);
    if (owner_ != nullptr) {
        owner_->setFrameEnabled(false);
    }
    keyboardTries_ = 0;
    window_->postWorkerEvent(L"takeKeyboard", 0, 0, nullptr);
    window_->setTimer(KEYBOARD_TIMER, KEYBOARD_RETRY_MS);
}

void AboutWindow::takeKeyboard() {
    // Wine hands the X keyboard focus over when the focus enters a window, stamped with
    // the time of its thread's last posted message; activated from the owner's thread,
    // this new thread had none, and the X server refused the stamp. Entered again here.
    HWND frame = window_->getFrameHandle();
    if (frame == nullptr || GetForegroundWindow() != frame) {
        return;
    }
    HWND focus = GetFocus();
    SetFocus(nullptr);
    SetFocus(focus != nullptr ? focus : frame);
}

Box* AboutWindow::build() {
    const int32_t s = scale_;
    closeButton_ = Button::createWithTextIdAndWidthPercent(400120, 20 * s, 100);
    closeGlyph_ = Button::createWithText(L"#X", 50 * s, 14 * s);
    const int32_t side = s == 4 ? 256 : s == 2 ? 128 : 64;
    IAppBase* app = record_ != nullptr ? record_->appBase() : nullptr;
    image::win::BufferedImage* picture = app == nullptr ? nullptr
                                         : s == 4    ? app->iconImage256()
                                         : s == 2    ? app->iconImage128()
                                                     : app->iconImage64();
    image::win::BufferedImageSet* set = picture != nullptr ? image::win::BufferedImageSet::fromImage(picture) : nullptr;
    gui::win::Image* icon = gui::win::Image::createWithSize(side, side, set);
    picture_ = icon;
    if (icon != nullptr) {
        // The theme has no picture drawer of its own.
        icon->setDrawer(gui::drawer::image::win::Basic::pool(), true);
    }

    Box* head = Box::create(IBox::ROW, 0, 100, -1, 1, 7 * s, 0, 0, 0);
    if (icon != nullptr) {
        head->add(icon);
    }
    head->add(label(500000, -103));
    Box* glyphRow = Box::create(IBox::ROW, 2, 100, -1, 0, 0, 0, 0, 0);
    glyphRow->add(closeGlyph_);

    Box* rows = Box::create(IBox::COLUMN, 0, 100, -1, 0, 0, 3 * s, 0, 0);
    const int32_t captions[3] = {400010, 400020, 400080};
    const int32_t values[2] = {500010, 500020};
    Box* captionCells[3] = {};
    Label* captionLabels[3] = {};
    for (int32_t i = 0; i < 3; ++i) {
        Box* row = Box::create(IBox::ROW, 0, 100, -1, 1, 7 * s, 0, 0, 0);
        Box* captionCell = Box::create(IBox::ROW, 2, -1, -1, 1, 0, 0, 0, 0);
        captionCell->setFixedWidth(CAPTION_WIDTH * s, false);
        captionCell->setFixedHeight(20 * s, false);
        captionLabels[i] = label(captions[i], 0);
        captionCell->add(captionLabels[i]);
        captionCells[i] = captionCell;
        row->add(captionCell);
        Label* value = i < 2 ? label(values[i], 0) : label(101000, 0);
        value->setTextColour(0, 0, 0);
        if (i == 2) {
            webLink_ = value;
        }
        row->add(value);
        rows->add(row);
    }

    Box* donation = Box::create(IBox::COLUMN, 1, 100, -1, 0, 0, 0, 2 * s, 3 * s);
    auto* border = gui::drawer::border::win::Plain::pool();
    border->setColor(154, 206, 2);
    donation->setBorderDrawer(border, true);
    donation->setColour(238, 250, 199, false);
    Label* question = label(500089, 0);
    question->setTextColour(0, 0, 0);
    donationLink_ = label(500090, 0);
    donation->add(question);
    donation->add(donationLink_);

    for (Label* link : {webLink_, donationLink_}) {
        link->setClickable(true);
        link->addClickListener(this);
    }
    Label* heading = label(TITLE_TEXT, -104);

    Box* content = Box::create(IBox::COLUMN, 0, 100, 100, 0, 0, 0, 10 * s, 7 * s);
    content->add(glyphRow);
    content->add(head);
    content->add(gui::win::Spacer::create(1, 7 * s));
    content->add(heading);
    content->add(gui::win::Spacer::create(1, 3 * s));
    content->add(rows);
    content->add(gui::win::Spacer::create(1, 7 * s));
    content->add(donation);
    content->add(gui::win::Spacer::create(1, 7 * s));
    content->add(closeButton_);
    window_->add(content);
    // Measured now they are in the window: the column is as wide as its longest caption
    // in this language when that is wider.
    int32_t column = CAPTION_WIDTH * s;
    for (Label* caption : captionLabels) {
        column = std::max(column, caption->getPreferredWidth());
    }
    for (Box* cell : captionCells) {
        cell->setFixedWidth(column, false);
    }
    // The theme styled the links' fonts as they joined the window; their own colours win.
    for (Label* link : {webLink_, donationLink_}) {
        link->setTextColour(0, 170, 0);
        link->getNormalFont()->setTextColour(0, 170, 0);
        link->getHoverFont()->setTextColour(170, 170, 0);
        link->getPressedFont()->setTextColour(170, 170, 0);
    }
    window_->addCloser(closeButton_);
    window_->addCloser(closeGlyph_);
    // Enter closes the window as a click on it does.
    closeButton_->makeDefault();
    return content;
}

void AboutWindow::onEvent(base::IObject* source, int32_t code) {
    if (window_ == nullptr) {
        return;
    }
    if (source == static_cast<base::IObject*>(window_)) {
        // A key no control took: Escape and Enter close the window.
        if (code == s::gui::IWindow::KEY) {
            const int32_t key = window_->getLastKey();
            if (key == VK_ESCAPE || key == VK_RETURN) {
                window_->close();
            }
            return;
        }
        if (code == s::gui::IWindow::WORKER_EVENT) {
            takeKeyboard();
            return;
        }
        if (code == s::gui::IWindow::USER_TIMER && window_->getTimerId() == KEYBOARD_TIMER) {
            window_->setTimerHandled();
            if (++keyboardTries_ >= KEYBOARD_TRIES) {
                window_->killTimer(KEYBOARD_TIMER);
            }
            takeKeyboard();
            return;
        }
        if (code == s::gui::IWindow::CLOSE) {
            window_->killTimer(KEYBOARD_TIMER);
            if (owner_ != nullptr) {
                owner_->setFrameEnabled(true);
                owner_->activate(true);
            }
        }
        return;
    }
    if (source == static_cast<base::IObject*>(webLink_)) {
        ::s::shell::win::shellOpen(webLink_->getText());
    } else if (source == static_cast<base::IObject*>(donationLink_) && localizer_ != nullptr) {
        ::s::shell::win::shellOpen(localizer_->getText(donationTextId_));
    }
}

} // namespace s::app::win
