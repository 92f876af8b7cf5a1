#include "app/gui/dialogs/dragndrop/Dialog.h"

#include "app/app/IAppBase.h"
#include "app/app/win/AboutWindow.h"
#include "app/app/win/AppWindow.h"
#include "drawers/gui/drawer/menu/win/Basic.h"
#include "system/shell/win/Shell.h"
#include "widgets/gui/menuitem/MenuItem.h"
#include "widgets/gui/win/CheckBox.h"
#include "widgets/gui/win/MenuEx.h"
#include "widgets/gui/win/PopupMenu.h"
#include "widgets/gui/win/Window.h"

namespace s::gui::dialogs::dragndrop {

using menuitem::MenuItem;

namespace {

// Menu texts; the three fixed output choices in the File menu and in the sub-menu.
constexpr int32_t TEXT_FILE_MENU = 608000;
constexpr int32_t TEXT_BROWSE = 608100;
constexpr int32_t TEXT_OUTPUT_SUB_MENU = 608200;
constexpr int32_t TEXT_OUTPUT_PREFIX = 608249;
constexpr int32_t TEXT_VIEW_MENU = 609000;
constexpr int32_t TEXT_LANGUAGE_MENU = 700000;
constexpr int32_t TEXT_TRANSLATE = 700001;
constexpr int32_t TEXT_ABOUT_MENU = 701000;
constexpr int32_t TEXT_SOFTWARE_LIST = 107000;
constexpr int32_t TEXT_SOFTWARE_LIST_PAGE = 108000;
constexpr int32_t TEXT_TRANSLATE_PAGE = 108500;
constexpr int32_t FILE_MENU_CHOICES[3] = {608211, 608221, 608231};
constexpr int32_t SUB_MENU_CHOICES[3] = {608210, 608220, 608230};
constexpr int32_t OUTPUT_COMMANDS[3] = {Dialog::CMD_OUTPUT_SAME, Dialog::CMD_OUTPUT_SUB, Dialog::CMD_OUTPUT_DESKTOP};

} // namespace

void Dialog::buildFileMenu() {
    customPath_.clear();
    StrBuffer* custom = readString(windowGroup(L"File"), L"OutputDirCustomPath0", L"");
    if (custom != nullptr) {
        customPath_.append(custom);
        custom->release();
    }
    outputSetting_ = normaliseOutputSetting(
        readInt(windowGroup(L"File"), L"OutputFolderSetting", defaultOutputFolderSetting()), customPath_.length() > 0);

    fileMenu_ = gui::win::PopupMenu::createWithTextId(localizer_, TEXT_FILE_MENU);
    if (fileMenu_ == nullptr) {
        return;
    }
    fileMenu_->addItem(MenuItem::createWithTextId(TEXT_BROWSE, localizer_, CMD_BROWSE, false));
    fileMenu_->addItem(MenuItem::createSeparator());
    const bool inFileMenu = outputChoicesInFileMenu();
    outputMenu_ = inFileMenu ? fileMenu_ : gui::win::PopupMenu::createWithTextId(localizer_, TEXT_OUTPUT_SUB_MENU);
    const int32_t* choices = inFileMenu ? FILE_MENU_CHOICES : SUB_MENU_CHOICES;
    for (int32_t i = 0; i < 3; ++i) {
        outputMenu_->addItem(MenuItem::createWithTextId(choices[i], localizer_, OUTPUT_COMMANDS[i], false));
    }
    if (customPath_.length() > 0) {
        addCustomOutputEntry();
    }
    if (!inFileMenu) {
        outputMenu_->addItem(MenuItem::createSeparator());
        outputMenu_->addItem(MenuItem::createWithTextId(608250, localizer_, CMD_OTHER_FOLDER, false));
        fileMenu_->addSubMenu(outputMenu_);
    } else {
        fileMenu_->addItem(MenuItem::createSeparator());
        fileMenu_->addItem(MenuItem::createWithTextId(608251, localizer_, CMD_OTHER_FOLDER, false));
    }
    markOutputChoice();
}

void Dialog::addCustomOutputEntry() {
    titleText_.clear();
    if (outputChoicesInFileMenu()) {
        titleText_.append(text(TEXT_OUTPUT_PREFIX));
    }
    titleText_.appendChar(L'"')->append(&customPath_)->appendChar(L'"');
    MenuItem* existing = outputMenu_->findItem(CMD_OUTPUT_CUSTOM);
    if (existing != nullptr) {
        outputMenu_->setItemText(CMD_OUTPUT_CUSTOM, titleText_.c_str());
        return;
    }
    MenuItem* item = MenuItem::createWithText(titleText_.c_str(), CMD_OUTPUT_CUSTOM);
    outputMenu_->insertItem(outputChoicePosition(OUTPUT_DESKTOP) + 1, item);
}

int32_t Dialog::outputChoicePosition(int32_t setting) const {
    // In the File menu the choices follow "Browse and Process..." and its separator.
    const int32_t first = outputMenu_ == fileMenu_ ? 2 : 0;
    switch (setting) {
    case OUTPUT_SUB_FOLDER:
        return first + 1;
    case OUTPUT_DESKTOP:
        return first + 2;
    case OUTPUT_CUSTOM:
        return first + 3;
    default:
        return first;
    }
}

void Dialog::markOutputChoice() {
    if (outputMenu_ == nullptr) {
        return;
    }
    outputMenu_->setRadioByPosition(outputChoicePosition(outputSetting_));
}

void Dialog::buildMenus() {
    menuBar_ = gui::win::MenuEx::create(100);
    // The window keeps room for all of the bar's menus in every language.
    menuBar_->setIgnoreContentWidth(false);
    if (menuBar_ == nullptr) {
        return;
    }
    if (hasFileMenu()) {
        buildFileMenu();
    }
    languageMenu_ = gui::win::PopupMenu::createWithTextId(localizer_, TEXT_LANGUAGE_MENU);
    if (languageMenu_ != nullptr) {
        languageMenu_->addItem(MenuItem::createWithTextId(TEXT_TRANSLATE, localizer_, CMD_TRANSLATE, false));
        languageMenu_->addItem(MenuItem::createSeparator());
        const uint32_t packs = localizer_ != nullptr ? localizer_->packCount() : 0;
        for (uint32_t i = 0; i < packs && i + CMD_LANGUAGE_FIRST <= CMD_LANGUAGE_LAST; ++i) {
            lang::LangPack* pack = localizer_->packAt(i);
            languageMenu_->addItem(MenuItem::createWithText(pack->trueName(), static_cast<int32_t>(i) + CMD_LANGUAGE_FIRST));
            if (pack == localizer_->current()) {
                languageMenu_->setRadioById(static_cast<int32_t>(i) + CMD_LANGUAGE_FIRST);
            }
        }
    }
    rightClickTransform_ = readBool(windowGroup(L"View"), L"RightClickTransform", true) ? 1 : 0;
    viewMenu_ = gui::win::PopupMenu::createWithTextId(localizer_, TEXT_VIEW_MENU);
    if (viewMenu_ != nullptr) {
        viewMenu_->addItem(MenuItem::createWithTextId(609100, localizer_, CMD_KEEP_ON_TOP, record_->keepOnTop()));
        if (offersRightClickTransform()) {
            viewMenu_->addItem(
                MenuItem::createWithTextId(609200, localizer_, CMD_RIGHT_CLICK_TRANSFORM, rightClickTransform_ != 0));
        }
        viewMenu_->addItem(MenuItem::createWithTextId(609300, localizer_, CMD_EASY_DRAG, record_->easyDrag()));
        viewMenu_->addItem(
            MenuItem::createWithTextId(609350, localizer_, CMD_CLOSE_BY_WHEEL, record_->middleClickCloses()));
    }
    aboutMenu_ = gui::win::PopupMenu::createWithTextId(localizer_, TEXT_ABOUT_MENU);
    if (aboutMenu_ != nullptr) {
        aboutMenu_->addItem(MenuItem::createWithTextId(701100, localizer_, CMD_ABOUT, false));
        aboutMenu_->addItem(MenuItem::createSeparator());
        aboutMenu_->addItem(MenuItem::createWithTextId(701200, localizer_, CMD_SOFTWARE_PAGE, false));
        aboutMenu_->addItem(MenuItem::createWithTextId(701300, localizer_, CMD_FEEDBACK_PAGE, false));
        aboutMenu_->addItem(MenuItem::createSeparator());
        aboutMenu_->addItem(MenuItem::createWithTextId(TEXT_SOFTWARE_LIST, localizer_, CMD_SOFTWARE_LIST, false));
    }
    for (gui::win::PopupMenu* menu : {fileMenu_, viewMenu_, languageMenu_, aboutMenu_}) {
        if (menu != nullptr) {
            menuBar_->addSubMenu(menu);
        }
    }
    if (scale_ > 1) {
        menuBar_->setItemSpacing(6 * scale_, 3 * scale_);
    }
    menuBar_->setDrawer(drawer::menu::win::Basic::pool(), true);
}


void Dialog::onMenuCommand(int32_t command) {
    switch (command) {
    case CMD_KEEP_ON_TOP: {
        const bool on = !viewMenu_->isChecked(CMD_KEEP_ON_TOP);
        viewMenu_->setChecked(CMD_KEEP_ON_TOP, on);
        keepOnTopBox_->setCheckedQuietly(on);
        record_->setKeepOnTop(on);
        applyTopmost(on);
        return;
    }
    case CMD_RIGHT_CLICK_TRANSFORM:
        if (offersRightClickTransform()) {
            rightClickTransform_ = rightClickTransform_ != 0 ? 0 : 1;
            viewMenu_->setChecked(CMD_RIGHT_CLICK_TRANSFORM, rightClickTransform_ != 0);
            writeBool(windowGroup(L"View"), L"RightClickTransform", rightClickTransform_ != 0);
        }
        return;
    case CMD_EASY_DRAG: {
        const bool on = !viewMenu_->isChecked(CMD_EASY_DRAG);
        viewMenu_->setChecked(CMD_EASY_DRAG, on);
        record_->setEasyDrag(on);
        window_->setDragByClientArea(on);
        return;
    }
    case CMD_CLOSE_BY_WHEEL: {
        const bool on = !viewMenu_->isChecked(CMD_CLOSE_BY_WHEEL);
        viewMenu_->setChecked(CMD_CLOSE_BY_WHEEL, on);
        const wchar_t* action = on ? IWindow::MIDDLE_CLOSE : IWindow::MIDDLE_DO_NOTHING;
        record_->setMiddleClickAction(action);
        window_->setMiddleClickAction(action);
        return;
    }
    case CMD_BROWSE:
        browseAndProcess();
        return;
    case CMD_OTHER_FOLDER:
        chooseOtherFolder();
        return;
    case CMD_ABOUT:
        openAboutWindow();
        return;
    case CMD_SOFTWARE_PAGE:
        openPage(record_->titleTextBase() + app::IAppBase::SOFTWARE_PAGE);
        return;
    case CMD_FEEDBACK_PAGE:
        openPage(record_->titleTextBase() + app::IAppBase::FEEDBACK_PAGE);
        return;
    case CMD_SOFTWARE_LIST:
        openPage(TEXT_SOFTWARE_LIST_PAGE);
        return;
    case CMD_TRANSLATE:
        openPage(TEXT_TRANSLATE_PAGE);
        return;
    default:
        break;
    }
    if (command >= CMD_OUTPUT_CUSTOM && command <= CMD_OUTPUT_LAST) {
        onOutputCommand(command);
        return;
    }
    if (command >= 1 && command <= CMD_LANGUAGE_LAST && localizer_ != nullptr && languageMenu_ != nullptr) {
        // A language entry relabels everything; the window hands the new name to its record,
        // which keeps it for the next start.
        localizer_->setLanguageIndex(static_cast<uint32_t>(command - CMD_LANGUAGE_FIRST));
        languageMenu_->setRadioById(command);
        menuBar_->recaption();
        fitCancelButton();
        // The custom folder's entry is a literal with a translated prefix.
        if (outputMenu_ != nullptr && customPath_.length() > 0) {
            addCustomOutputEntry();
            markOutputChoice();
        }
        window_->doLayout();
        // The columns' least width is the new language's.
        columnWidth_ = 0;
        holdOptionColumn();
        keepContentShown(true);
        window_->redrawNow();
    }
}

void Dialog::openPage(int32_t textId) {
    ::s::shell::win::shellOpen(text(textId));
}

void Dialog::openAboutWindow() {
    if (aboutRecord_ == nullptr) {
        aboutRecord_ = app::win::AboutWindow::createRecord(record_->appBase());
        if (aboutRecord_ == nullptr) {
            return;
        }
        aboutListener_ = app::win::AboutWindow::create(aboutRecord_);
    }
    if (aboutListener_ != nullptr) {
        aboutListener_->show(window_);
    }
}

} // namespace s::gui::dialogs::dragndrop
