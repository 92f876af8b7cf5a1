#include "app/gui/dialogs/dragndrop/Dialog.h"

#include <algorithm>

#include "app/StartupTrace.h"
#include "app/app/IAppBase.h"
#include "app/app/win/AboutWindow.h"
#include "app/app/win/AppWindow.h"
#include "core/str/strarray/StrArray.h"
#include "core/thread/win/Thread.h"
#include "drawers/gui/drawer/border/win/Plain.h"
#include "drawers/gui/drawer/border/win/UnderWindowMenu.h"
#include "drawers/gui/drawer/groupbox/win/Basic.h"
#include "drawers/gui/drawer/statusbar/win/Basic.h"
#include "engine/system/win/MessageBoxSeam.h"
#include "images/archive/CallBack.h"
#include "system/file/win/PathWin.h"
#include "system/map/IMappedData.h"
#include "system/monitor/UiScale.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/Button.h"
#include "widgets/gui/win/CheckBox.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/GroupBox.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/MenuEx.h"
#include "widgets/gui/win/PopupMenu.h"
#include "widgets/gui/win/ProgressBar.h"
#include "widgets/gui/win/Spacer.h"
#include "widgets/gui/win/StatusBar.h"
#include "widgets/gui/win/Window.h"

namespace s::gui::dialogs::dragndrop {

namespace {

constexpr int32_t UPDATE_LIMIT = 32767;
// The width the status text keeps beside the progress row, times the UI scale.
constexpr int32_t STATUS_ROOM = 40;

// The maker's page, linked below the drop area.
constexpr int32_t TEXT_MAKER_PAGE = 101000;

} // namespace

Dialog::Dialog()
    : record_(nullptr), localizer_(nullptr), menuBar_(nullptr), languageMenu_(nullptr), fileMenu_(nullptr),
      viewMenu_(nullptr), aboutMenu_(nullptr), aboutRecord_(nullptr), aboutListener_(nullptr), compact_(1),
      contentBox_(nullptr), dropColumn_(nullptr), optionColumn_(nullptr), keepOnTopBox_(nullptr), dropBox_(nullptr),
      dropHint_(nullptr), secondHint_(nullptr), valueLabel1_(nullptr), valueLabel2_(nullptr), wrapLabel_(nullptr),
      minimizeButton1_(nullptr), minimizeButton2_(nullptr), lowerPriorityBox_(nullptr), notifyBox_(nullptr),
      suspendBox_(nullptr), startTime_(0), formatList_(nullptr), optionContainer_(nullptr), advancedButton_(nullptr),
      progress_(archive::CallBack::pool()), progressBar_(nullptr), percentLabel_(nullptr), statusLabel_(nullptr),
      linkLabel_(nullptr), progressRow_(nullptr), cancelButton_(nullptr), linkRow_(nullptr), rightClickTransform_(1),
      spacer1_(nullptr), spacer2_(nullptr), formatRow_(nullptr), finishRow_(nullptr), shownPanel_(nullptr),
      panelOwed_(0), lastPosition_(0), outputSetting_(OUTPUT_SAME_FOLDER), outputMenu_(nullptr), outputFolder_(nullptr),
      scale_(1), viewGroup_(L"View"), worker_(thread::win::Thread::pool()), window_(nullptr), statusBar_(nullptr),
      queue_(str::strarray::StrArray::pool()), index_(0), shownCount_(0), cancel_(0), running_(0),
      minimizedByUser_(0), lowerPriority_(0), lastFileSucceeded_(1), priorityLowered_(0), leastOwed_(0),
      userWidth_(0), userHeight_(0), grownWidth_(0), grownHeight_(0), restoreWidth_(0), restoreHeight_(0), columnWidth_(0) {
    if (worker_ != nullptr) {
        worker_->setPriority(-1);
    }
}

Dialog::~Dialog() {
    reset();
    if (worker_ != nullptr) {
        worker_->release();
    }
    if (queue_ != nullptr) {
        queue_->release();
    }
    if (progress_ != nullptr) {
        progress_->release();
    }
}

void Dialog::reset() {
    cancel_.store(1);
    if (worker_ != nullptr) {
        worker_->waitIdle();
    }
    cancel_.store(0);
    if (aboutListener_ != nullptr) {
        aboutListener_->release();
        aboutListener_ = nullptr;
    }
    if (aboutRecord_ != nullptr) {
        aboutRecord_->release();
        aboutRecord_ = nullptr;
    }
    if (window_ != nullptr) {
        if (s::system::win::MessageBoxSeam::owner() == window_->getFrameHandle()) {
            s::system::win::MessageBoxSeam::setOwner(nullptr);
        }
        window_->removeListener(this);
        window_->release();
        window_ = nullptr;
    }
    // The window gave its widgets back with itself; the pop-up menus went with the bar.
    menuBar_ = nullptr;
    languageMenu_ = fileMenu_ = viewMenu_ = aboutMenu_ = outputMenu_ = nullptr;
    contentBox_ = dropColumn_ = optionColumn_ = progressRow_ = linkRow_ = formatRow_ = nullptr;
    keepOnTopBox_ = lowerPriorityBox_ = notifyBox_ = suspendBox_ = nullptr;
    dropBox_ = nullptr;
    dropHint_ = secondHint_ = valueLabel1_ = valueLabel2_ = wrapLabel_ = nullptr;
    percentLabel_ = statusLabel_ = linkLabel_ = nullptr;
    minimizeButton1_ = minimizeButton2_ = advancedButton_ = cancelButton_ = nullptr;
    formatList_ = nullptr;
    optionContainer_ = nullptr;
    progressBar_ = nullptr;
    spacer1_ = spacer2_ = nullptr;
    finishRow_ = shownPanel_ = nullptr;
    panelOwed_ = 0;
    statusBar_ = nullptr;
    record_ = nullptr;
    localizer_ = nullptr;
    startTime_ = 0;
    compact_ = 1;
    if (queue_ != nullptr) {
        queue_->clear();
    }
    index_.store(0);
    shownCount_ = 0;
    lastPosition_ = 0;
    if (progress_ != nullptr) {
        progress_->reset();
    }
    rightClickTransform_ = 1;
    outputSetting_ = OUTPUT_SAME_FOLDER;
    customPath_.clear();
    if (outputFolder_ != nullptr) {
        outputFolder_->release();
        outputFolder_ = nullptr;
    }
    running_.store(0);
    minimizedByUser_.store(0);
    lowerPriority_.store(0);
    lastFileSucceeded_.store(1);
    priorityLowered_ = 0;
    leastOwed_ = 0;
    userWidth_ = userHeight_ = grownWidth_ = grownHeight_ = restoreWidth_ = restoreHeight_ = 0;
    columnWidth_ = 0;
    scale_ = 1;
    viewGroup_ = L"View";
    titleText_.clear();
    numberText_.clear();
}

void Dialog::bind(app::win::AppWindow* record) {
    record_ = record;
    localizer_ = record != nullptr ? record->localizer() : nullptr;
}

// ---- Hooks ----

int32_t Dialog::defaultCompactWidth() { return 250 * scale_; }
int32_t Dialog::defaultCompactHeight() { return 250 * scale_; }
int32_t Dialog::defaultLargeWidth() { return 450 * scale_; }
int32_t Dialog::defaultLargeHeight() { return 450 * scale_; }
bool Dialog::collectSettings() { return true; }
IComboBox* Dialog::buildFormatList() { return gui::win::ComboBox::createWithWidthPercent(100, -1); }
IBox* Dialog::buildOptionContainer() { return gui::win::Box::create(IBox::COLUMN, 0, 100, -1, 0, 0, 0, 0, 0); }
void Dialog::onWidgetsBuilt() {}
bool Dialog::onEventHook(base::IObject*, int32_t) { return false; }
bool Dialog::hasOptionPanels() { return false; }
IComponent* Dialog::buildOptionPanel(int32_t, const wchar_t*, int32_t, int32_t) { return nullptr; }
bool Dialog::windowOption() { return false; }
bool Dialog::contentBoxAcceptsDrops() { return false; }
bool Dialog::hasFinishRow() { return false; }
int32_t Dialog::defaultWorkerPriority() { return -1; }
bool Dialog::offersRightClickTransform() { return true; }
bool Dialog::defaultCompactView() { return true; }
int32_t Dialog::reservedWidth() { return 125; }
int32_t Dialog::cancelButtonWidth() { return 0; }

void Dialog::fitCancelButton() {
    // Its width, unless the caption of the language needs more (with its edges' room).
    const int32_t width = cancelButtonWidth() * scale_;
    if (cancelButton_ != nullptr && width > 0) {
        cancelButton_->setFixedWidth(std::max(width, cancelButton_->captionWidth() + 12 * scale_));
    }
}
int32_t Dialog::layoutGap() { return 0; }
bool Dialog::hasOptionArea() { return true; }
bool Dialog::showsFormatRow() { return true; }
int32_t Dialog::defaultFormatIndex() { return 0; }
bool Dialog::asksConfirmation() { return false; }
const wchar_t* Dialog::confirmationTitle() { return nullptr; }
const wchar_t* Dialog::confirmationQuestion() { return nullptr; }
bool Dialog::hasFileMenu() { return false; }
bool Dialog::outputChoicesInFileMenu() { return true; }
int32_t Dialog::defaultOutputFolderSetting() { return OUTPUT_SAME_FOLDER; }
bool Dialog::createsOutputFolder() { return false; }

IComponent* Dialog::buildFinishRow() {
    gui::win::Box* row = gui::win::Box::create(IBox::ROW, 0, 100, -1, 1, 4 * scale_, 0, 0, 0);
    if (row == nullptr) {
        return nullptr;
    }
    // Collapsed until the large view shows it; without a finish row it stays empty.
    row->setFixedHeight(0, false);
    if (!hasFinishRow()) {
        return row;
    }
    minimizeButton2_ = gui::win::Button::createWithTextIdAndWidthPercent(1007009, -1, 0);
    lowerPriorityBox_ = gui::win::CheckBox::createWithTextId(1007000, readBool(windowGroup(L"View"), L"LowerPriority", false));
    notifyBox_ = gui::win::CheckBox::createWithTextId(1007010, readBool(windowGroup(L"View"), L"NotifyWhenFinished", false));
    suspendBox_ = gui::win::CheckBox::createWithTextId(1007020, false);
    lowerPriority_.store(lowerPriorityBox_ != nullptr && lowerPriorityBox_->isChecked() ? 1 : 0);
    for (IComponent* child : std::initializer_list<IComponent*>{minimizeButton2_, lowerPriorityBox_, notifyBox_,
                                                                 suspendBox_}) {
        if (child != nullptr) {
            row->add(child);
        }
    }
    return row;
}

// ---- Building ----

const wchar_t* Dialog::viewGroupForScale(int32_t scale) {
    return scale == 4 ? L"View8K" : scale == 2 ? L"View4K" : L"View";
}

int32_t Dialog::sizeOrDefault(bool stored, int32_t value, int32_t limit, int32_t def) {
    return stored && value >= 10 && value <= limit ? value : def;
}

int32_t Dialog::normaliseOutputSetting(int32_t setting, bool hasCustomPath) {
    if (setting == OUTPUT_SAME_FOLDER || setting == OUTPUT_SUB_FOLDER || setting == OUTPUT_DESKTOP) {
        return setting;
    }
    return setting == OUTPUT_CUSTOM && hasCustomPath ? OUTPUT_CUSTOM : OUTPUT_SAME_FOLDER;
}

int32_t Dialog::outputSettingForCommand(int32_t command, bool hasCustomPath) {
    switch (command) {
    case CMD_OUTPUT_SUB:
        return OUTPUT_SUB_FOLDER;
    case CMD_OUTPUT_DESKTOP:
        return OUTPUT_DESKTOP;
    case CMD_OUTPUT_CUSTOM:
        return hasCustomPath ? OUTPUT_CUSTOM : OUTPUT_SAME_FOLDER;
    default:
        return OUTPUT_SAME_FOLDER;
    }
}

void Dialog::fitProgress(int64_t* total, int64_t* position) {
    while (*total > UPDATE_LIMIT) {
        *total >>= 1;
        *position >>= 1;
    }
}

const wchar_t* Dialog::windowGroup(const wchar_t* sub) {
    titleText_.clear();
    titleText_.append(record_ != nullptr ? record_->name() : L"MainWindow")->appendChar(L'\\')->append(sub);
    return titleText_.c_str();
}

const wchar_t* Dialog::text(int32_t id) {
    return localizer_ != nullptr ? localizer_->getText(id) : L"";
}

int32_t Dialog::readInt(const wchar_t* group, const wchar_t* key, int32_t def) {
    if (record_ == nullptr || record_->appBase() == nullptr) {
        return def;
    }
    const std::wstring g(group);
    return record_->appBase()->withStore(def, [&](map::IMappedData* store) { return store->getS32(g.c_str(), key, def); });
}

bool Dialog::readBool(const wchar_t* group, const wchar_t* key, bool def) {
    if (record_ == nullptr || record_->appBase() == nullptr) {
        return def;
    }
    const std::wstring g(group);
    return record_->appBase()->withStore(def, [&](map::IMappedData* store) { return store->getBool(g.c_str(), key, def); });
}

Dialog::StrBuffer* Dialog::readString(const wchar_t* group, const wchar_t* key, const wchar_t* def) {
    StrBuffer* out = StrBuffer::fromText(def != nullptr ? def : L"");
    if (out == nullptr || record_ == nullptr || record_->appBase() == nullptr) {
        return out;
    }
    const std::wstring g(group);
    record_->appBase()->withStore(0, [&](map::IMappedData* store) {
        const wchar_t* value = store->getString(g.c_str(), key, def != nullptr ? def : L"", nullptr, false);
        out->clear();
        out->append(value != nullptr ? value : L"");
        return 0;
    });
    return out;
}

void Dialog::writeInt(const wchar_t* group, const wchar_t* key, int32_t value) {
    if (record_ != nullptr && record_->appBase() != nullptr) {
        const std::wstring g(group);
        record_->appBase()->withStore(0, [&](map::IMappedData* store) { return store->setS32(g.c_str(), key, value) ? 1 : 0; });
    }
}

void Dialog::writeBool(const wchar_t* group, const wchar_t* key, bool value) {
    if (record_ != nullptr && record_->appBase() != nullptr) {
        const std::wstring g(group);
        record_->appBase()->withStore(0, [&](map::IMappedData* store) { return store->setBool(g.c_str(), key, value) ? 1 : 0; });
    }
}

void Dialog::writeString(const wchar_t* group, const wchar_t* key, const wchar_t* value) {
    if (record_ != nullptr && record_->appBase() != nullptr) {
        const std::wstring g(group);
        record_->appBase()->withStore(0, [&](map::IMappedData* store) { return store->setString(g.c_str(), key, value) ? 1 : 0; });
    }
}

bool Dialog::runWindow() {
    if (record_ == nullptr) {
        return false;
    }
    scale_ = system::monitor::uiScale();
    viewGroup_ = viewGroupForScale(scale_);
    window_ = gui::win::Window::pool();
    if (window_ == nullptr || window_->getFrameHandle() == nullptr) {
        if (window_ != nullptr) {
            window_->release();
            window_ = nullptr;
        }
        return false;
    }
    StartupTrace::mark("startup: window and its thread made");
    // The engine's boxes stay above this window, even when it is top-most.
    s::system::win::MessageBoxSeam::setOwner(window_->getFrameHandle());
    // Built on the window's UI thread, where the native windows are made and placed
    // directly instead of each through a message from this thread.
    window_->runOnUiThread(
        [](void* argument) {
            Dialog* self = static_cast<Dialog*>(argument);
            self->window_->setLocalizer(self->localizer_);
            // Title with the version, options, icons and skin holder (none in this program:
            // the widgets keep their basic drawers); the place is the dialog's own, set below.
            self->window_->applyState(self->record_, true);

            self->buildMenus();
            StartupTrace::mark("startup: menus built");
            self->buildWidgets();
            StartupTrace::mark("startup: widgets made");
            self->onWidgetsBuilt();
            self->restoreFormat();
            StartupTrace::mark("startup: format restored");

            const RECT bounds = self->record_->boundsToOpen();
            self->window_->setPosition(bounds.left, bounds.top);
            self->setCompactView(
                self->readBool(self->windowGroup(L"View"), L"CompactView", self->defaultCompactView()), false);
            StartupTrace::mark("startup: view set");
            // Setting the view laid the window out.
            if (self->record_->keepOnTop()) {
                self->applyTopmost(true);
            }
        },
        this);
    StartupTrace::mark("startup: widgets built");
    // Closed maximised, it comes back maximised; its normal size is the view's.
    if (record_->maximized()) {
        window_->maximize();
    } else {
        window_->showNormal();
    }
    StartupTrace::mark("startup: shown");
    window_->activate(true);
    record_->checkForUpdate(window_);
    window_->waitUntilClosed();
    return true;
}

void Dialog::buildWidgets() {
    const int32_t s = scale_;
    IBox* container = buildOptionContainer();
    optionContainer_ = container;
    cancelButton_ = gui::win::Button::createWithTextIdAndSize(TEXT_CANCEL, cancelButtonWidth() * s, 18 * s);
    progressBar_ = gui::win::ProgressBar::pool();
    if (progressBar_ != nullptr) {
        progressBar_->setFixedSize(100 * s, 16 * s);
    }
    // The status text takes the width the link row, or during a batch the progress row,
    // leaves; the row not shown takes none.
    progressRow_ = gui::win::Box::create(IBox::ROW, 0, -1, 0, 1, 0, 0, 2 * s, 2 * s);
    progressRow_->setFixedHeight(0, false);
    progressRow_->setFixedWidth(0, false);
    // Hidden, not only collapsed: its Cancel must be no tab stop while nothing runs.
    progressRow_->setVisible(false);
    progressRow_->add(progressBar_);
    progressRow_->add(gui::win::Spacer::create(0, layoutGap()));
    progressRow_->add(cancelButton_);
    linkRow_ = gui::win::Box::create(IBox::ROW, 0, -1, -1, 1, 0, 0, 3 * s, 3 * s);
    linkLabel_ = gui::win::Label::createWithText(L"kexo", false, false, 100001);
    linkRow_->add(linkLabel_);
    percentLabel_ = gui::win::Label::createWithText(L"", false, false, 100001);
    statusLabel_ = gui::win::Label::createWithTextId(TEXT_READY, false, true, 100001);
    statusBar_ = gui::win::StatusBar::createWithResizer(2 * s, 2 * s);
    statusBar_->setDrawer(drawer::statusbar::win::Basic::create(), true);
    gui::win::Box* statusRow = gui::win::Box::create(IBox::ROW, 0, 100, -1, 1, 0, 0, 2 * s, 2 * s);
    statusRow->add(statusLabel_);
    statusRow->add(percentLabel_);
    statusBar_->add(statusRow);
    statusBar_->add(linkRow_);
    statusBar_->add(progressRow_);

    advancedButton_ = gui::win::Button::createWithTextIdAndWidthPercent(TEXT_ADVANCED, -1, 100);
    minimizeButton1_ = gui::win::Button::createWithTextIdAndWidthPercent(1007009, 0, 0);
    minimizeButton1_->setVisible(false);
    formatRow_ = gui::win::Box::create(IBox::ROW, 0, 100, -1, 1, 4 * s, 0, 0, 0);
    formatRow_->add(gui::win::Label::createWithTextId(1004000, false, false, 0));
    IComboBox* list = buildFormatList();
    formatList_ = static_cast<gui::win::ComboBox*>(list);
    if (list != nullptr) {
        formatRow_->add(list);
    }
    if (!showsFormatRow()) {
        formatRow_->setFixedHeight(0, false);
    }

    valueLabel1_ = gui::win::Label::createWithText(L"", true, false, 0);
    valueLabel2_ = gui::win::Label::createWithText(L"", true, false, 0);
    secondHint_ = gui::win::Label::createWithTextId(1003000, true, false, 0);
    dropHint_ = gui::win::Label::createWithTextId(1002000, true, false, 0);
    wrapLabel_ = gui::win::Label::createWithText(L"", true, false, 0);
    secondHint_->setTextColour(119, 119, 119);
    dropHint_->setTextColour(119, 119, 119);
    keepOnTopBox_ = gui::win::CheckBox::createWithTextId(1000000, record_->keepOnTop());

    dropBox_ = gui::win::GroupBox::createDropBox(100, 100);
    // Without a skin the group frames itself with the basic drawer, in the border colour.
    drawer::groupbox::win::Basic* frame = drawer::groupbox::win::Basic::pool();
    if (frame != nullptr) {
        frame->setColor(145, 155, 156);
        dropBox_->setDrawer(frame, true);
    }
    dropBox_->setAcceptFiles(true);
    dropBox_->add(wrapLabel_);
    dropBox_->add(dropHint_);
    dropBox_->add(valueLabel1_);
    dropBox_->add(secondHint_);
    dropBox_->add(valueLabel2_);

    spacer1_ = gui::win::Spacer::create(0, 0);
    spacer2_ = gui::win::Spacer::create(0, 0);
    dropColumn_ = gui::win::Box::create(IBox::COLUMN, 0, 100, 100, 0, 0, 3 * s, 0, 0);
    gui::win::Box* topRow = gui::win::Box::create(IBox::ROW, 1, 100, -1, 1, 0, 0, 0, 0);
    topRow->add(gui::win::Spacer::createWithWidthPercent(0));
    topRow->add(keepOnTopBox_);
    topRow->add(gui::win::Spacer::createWithWidthPercent(0));
    dropColumn_->add(topRow);
    dropColumn_->add(dropBox_);
    finishRow_ = buildFinishRow();
    if (finishRow_ != nullptr) {
        dropColumn_->add(finishRow_);
    }

    optionColumn_ = gui::win::Box::create(IBox::COLUMN, 0, 100, 100, 0, 0, 4 * s, 0, 0);
    optionColumn_->add(formatRow_);
    if (optionContainer_ != nullptr) {
        optionColumn_->add(optionContainer_);
    }
    gui::win::Box* buttonRow = gui::win::Box::create(IBox::ROW, 0, 100, -1, 1, 0, 0, 0, 0);
    buttonRow->add(minimizeButton1_);
    buttonRow->add(advancedButton_);
    optionColumn_->add(buttonRow);
    if (hasOptionArea()) {
        // Hidden in the compact view, the default: its windows (the format list's drop-down
        // list above all) are made when it first shows or a batch reads its settings.
        optionColumn_->holdWindowsUntilShown();
    }

    contentBox_ = gui::win::Box::create(IBox::ROW, 0, 100, 100, 0, 0, 0, 0, 0);
    contentBox_->setPaddingLeft(10 * s);
    contentBox_->setPaddingRight(10 * s);
    contentBox_->setPaddingTop(7 * s);
    contentBox_->setPaddingBottom(8 * s);
    contentBox_->add(dropColumn_);
    contentBox_->add(spacer1_);
    contentBox_->add(optionColumn_);
    contentBox_->add(spacer2_);
    if (contentBoxAcceptsDrops()) {
        contentBox_->setAcceptFiles(true);
    }

    // The reporter shows on the status label and the bar.
    progress_->setStatusLabel(statusLabel_);
    progress_->setProgressBar(progressBar_);
    // A clickable label paints with its state fonts, which its drawer styled.
    linkLabel_->setClickable(true);
    linkLabel_->setTextColour(51, 51, 51);
    linkLabel_->getNormalFont()->setTextColour(51, 51, 51);
    linkLabel_->getHoverFont()->setTextColour(0, 0, 238);
    linkLabel_->getPressedFont()->setTextColour(0, 0, 238);
    if (optionContainer_ != nullptr) {
        auto* border = drawer::border::win::Plain::pool();
        border->setColor(145, 155, 156);
        optionContainer_->setBorderDrawer(border, true);
        optionContainer_->setColour(255, 255, 255, false);
    }

    gui::win::Box* underMenu = gui::win::Box::create(IBox::ROW, 0, 100, -1, 0, 0, 0, 0, 0);
    underMenu->setFixedHeight(1, false);
    underMenu->setBorderDrawer(drawer::border::win::UnderWindowMenu::pool(), true);
    window_->add(menuBar_);
    window_->add(underMenu);
    window_->add(contentBox_);
    window_->add(gui::win::Spacer::create(1, 3 * s));
    window_->setStatusBar(statusBar_);
    fitCancelButton();

    // Listeners.
    menuBar_->addCommandListener(this);
    minimizeButton1_->addClickListener(this);
    if (minimizeButton2_ != nullptr) {
        minimizeButton2_->addClickListener(this);
    }
    for (gui::win::CheckBox* box : {lowerPriorityBox_, notifyBox_, suspendBox_, keepOnTopBox_}) {
        if (box != nullptr) {
            box->addCheckedListener(this);
            box->addUncheckedListener(this);
        }
    }
    window_->addCloseListener(this);
    window_->addRightButtonDownListener(this);
    window_->addRestoreListener(this);
    window_->addWorkerEventListener(this);
    advancedButton_->addClickListener(this);
    if (formatList_ != nullptr) {
        formatList_->addSelectionListener(this);
    }
    cancelButton_->addClickListener(this);
    dropBox_->addDropListener(this);
    contentBox_->addDropListener(this);
    linkLabel_->addClickListener(this);
}

void Dialog::restoreFormat() {
    if (formatList_ == nullptr || formatList_->getItemCount() == 0) {
        return;
    }
    StrBuffer* stored = readString(windowGroup(L"View"), L"ConvertTo", L"");
    int32_t index = stored != nullptr ? storedFormatIndex(stored->c_str()) : -1;
    if (stored != nullptr) {
        stored->release();
    }
    if (index < 0) {
        index = defaultFormatIndex();
    }
    if (hasOptionPanels() && index == 0) {
        formatList_->setSelectedIndex(0, false);
        onEvent(formatList_, 0);
    } else {
        formatList_->setSelectedIndex(index, true);
    }
}

int32_t Dialog::storedFormatIndex(const wchar_t* caption) {
    if (caption == nullptr || caption[0] == L'\0') {
        return -1;
    }
    const auto same = [caption](const wchar_t* text) {
        return text != nullptr && CompareStringOrdinal(text, -1, caption, -1, TRUE) == CSTR_EQUAL;
    };
    const int32_t count = formatList_->getItemCount();
    for (int32_t i = 0; i < count; ++i) {
        const combobox::ComboBoxItem* item = formatList_->getItem(i);
        if (item != nullptr && same(item->getText())) {
            return i;
        }
    }
    // The caption was stored while another language showed: an entry named by a text
    // id matches it in any language of the pack.
    const uint32_t packs = localizer_ != nullptr ? localizer_->packCount() : 0;
    for (int32_t i = 0; i < count; ++i) {
        const combobox::ComboBoxItem* item = formatList_->getItem(i);
        for (uint32_t p = 0; item != nullptr && item->textId != 0 && p < packs; ++p) {
            if (same(localizer_->packAt(p)->textOf(item->textId))) {
                return i;
            }
        }
    }
    return -1;
}

// ---- Views ----

void Dialog::saveSize(bool compact) {
    HWND frame = window_ != nullptr ? window_->getFrameHandle() : nullptr;
    if (frame == nullptr) {
        return;
    }
    RECT rect;
    // Minimised or maximised, the size to come back to is the normal one.
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (IsIconic(frame) || IsZoomed(frame)) {
        if (!GetWindowPlacement(frame, &placement)) {
            return;
        }
        rect = placement.rcNormalPosition;
    } else if (!GetWindowRect(frame, &rect)) {
        return;
    }
    // A view switched to while maximised has its own size still to come.
    if (restoreWidth_ > 0 && IsZoomed(frame)) {
        rect = RECT{0, 0, restoreWidth_, restoreHeight_};
    }
    std::wstring group = std::wstring(record_->name()) + L"\\" + viewGroup_;
    writeInt(group.c_str(), compact ? L"SmallWidth" : L"LargeWidth", rect.right - rect.left);
    writeInt(group.c_str(), compact ? L"SmallHeight" : L"LargeHeight", rect.bottom - rect.top);
}

void Dialog::resizeTo(bool compact) {
    const std::wstring group = std::wstring(record_->name()) + L"\\" + viewGroup_;
    const wchar_t* widthKey = compact ? L"SmallWidth" : L"LargeWidth";
    const wchar_t* heightKey = compact ? L"SmallHeight" : L"LargeHeight";
    const int32_t defaultWidth = compact ? defaultCompactWidth() : defaultLargeWidth();
    const int32_t defaultHeight = compact ? defaultCompactHeight() : defaultLargeHeight();
    const int32_t width = sizeOrDefault(true, readInt(group.c_str(), widthKey, defaultWidth),
                                        GetSystemMetrics(SM_CXVIRTUALSCREEN), defaultWidth);
    const int32_t height = sizeOrDefault(true, readInt(group.c_str(), heightKey, defaultHeight),
                                         GetSystemMetrics(SM_CYVIRTUALSCREEN), defaultHeight);
    grownWidth_ = grownHeight_ = 0;
    HWND frame = window_->getFrameHandle();
    if (frame != nullptr && IsZoomed(frame)) {
        // Maximised, the window keeps its size: the view's own size waits for Restore.
        restoreWidth_ = width;
        restoreHeight_ = height;
        return;
    }
    window_->setSize(width, height);
}

void Dialog::onRestored() {
    HWND frame = window_->getFrameHandle();
    if (frame == nullptr || IsZoomed(frame) || IsIconic(frame)) {
        return;
    }
    if (restoreWidth_ > 0) {
        const int32_t width = restoreWidth_;
        const int32_t height = restoreHeight_;
        restoreWidth_ = restoreHeight_ = 0;
        window_->setSize(width, height);
    }
    if (leastOwed_ != 0) {
        keepContentShown();
    }
}

void Dialog::setCompactView(bool compact, bool saveCurrentSize) {
    if (window_ == nullptr) {
        return;
    }
    if (saveCurrentSize) {
        saveSize(!compact);
    }
    const int32_t s = scale_;
    if (compact) {
        spacer1_->setFixedWidth(0);
        spacer2_->setFixedWidth(0);
        if (hasOptionArea()) {
            // Hidden, its panel's height must not stretch the compact window either.
            optionColumn_->setVisible(false);
            optionColumn_->setFixedWidth(0, false);
            optionColumn_->setCollapseHeight(true);
        }
        if (optionContainer_ != nullptr) {
            optionContainer_->setHeightPercent(0, false);
        }
        if (hasFinishRow() && finishRow_ != nullptr) {
            // Hidden with its controls: a collapsed row holds no tab stops.
            static_cast<gui::win::Box*>(finishRow_)->setFixedHeight(0, false);
            static_cast<gui::win::Box*>(finishRow_)->setVisibleRecursive(false, true);
        }
        advancedButton_->setTextId(TEXT_ADVANCED);
        dropColumn_->setWidthPercent(100, false);
    } else {
        // Made while its column is still hidden, as at start-up: the column shows whole.
        buildOwedPanel();
        spacer1_->setFixedWidth(5 * s);
        spacer2_->setFixedWidth(9 * s);
        if (hasOptionArea()) {
            optionColumn_->setCollapseHeight(false);
            optionColumn_->setFixedWidth(-1, false);
            optionColumn_->setWidthPercent(50, false);
            optionColumn_->setVisible(true);
        }
        if (optionContainer_ != nullptr) {
            optionContainer_->setWidthPercent(100, false);
            optionContainer_->setHeightPercent(100, false);
        }
        if (hasFinishRow() && finishRow_ != nullptr) {
            static_cast<gui::win::Box*>(finishRow_)->setFixedHeight(15 * s, false);
            static_cast<gui::win::Box*>(finishRow_)->setVisibleRecursive(true, true);
        }
        advancedButton_->setTextId(TEXT_MINIMIZE);
        dropColumn_->setWidthPercent(50, false);
    }
    compact_ = compact ? 1 : 0;
    resizeTo(compact);
    window_->doLayout();
    holdOptionColumn();
    keepContentShown();
    writeBool(windowGroup(L"View"), L"CompactView", compact);
}


void Dialog::keepContentShown(bool towardsUserSize) {
    HWND frame = window_->getFrameHandle();
    RECT outer;
    RECT client;
    if (frame == nullptr || menuBar_ == nullptr || contentBox_ == nullptr || statusBar_ == nullptr || IsIconic(frame) ||
        !GetWindowRect(frame, &outer) || !GetClientRect(frame, &client)) {
        return;
    }
    // The frame around the client area, then the window's rows as its layout stacks them.
    const int32_t borderWidth = (outer.right - outer.left) - client.right;
    const int32_t borderHeight = (outer.bottom - outer.top) - client.bottom;
    int32_t width = contentBox_->getPreferredWidth();
    for (const IComponent* row : {static_cast<const IComponent*>(menuBar_), static_cast<const IComponent*>(statusBar_)}) {
        width = row->getPreferredWidth() > width ? row->getPreferredWidth() : width;
    }
    // During a batch the progress row takes the link's place: the status text keeps room
    // for the start of a file's name beside it then too.
    if (!progressRow_->isVisible()) {
        const int32_t busyRow = progressBar_->getPreferredWidth() + layoutGap() + cancelButton_->getPreferredWidth() +
                                4 * scale_;
        const int32_t rest = statusBar_->getPreferredWidth() - linkRow_->getPreferredWidth() -
                             statusLabel_->getPreferredWidth();
        width = std::max<int32_t>(width, rest + busyRow + STATUS_ROOM * scale_);
    }
    const int32_t height = menuBar_->getPreferredHeight() + 1 + contentBox_->getPreferredHeight() + 3 * scale_ +
                           statusBar_->getPreferredHeight();
    const int32_t leastWidth = width + borderWidth;
    const int32_t leastHeight = height + borderHeight;
    // Maximised, the window keeps its size: the least size waits for Restore.
    if (IsZoomed(frame)) {
        leastOwed_ = 1;
        return;
    }
    leastOwed_ = 0;
    int32_t currentWidth = outer.right - outer.left;
    int32_t currentHeight = outer.bottom - outer.top;
    // A size this dialog grew the window to is not the user's. After a language change
    // the window goes back towards the user's own size when the content needs less;
    // otherwise it only grows, so the columns do not shift between formats.
    if (currentWidth != grownWidth_ || currentHeight != grownHeight_) {
        userWidth_ = currentWidth;
        userHeight_ = currentHeight;
    }
    if (towardsUserSize) {
        currentWidth = userWidth_;
        currentHeight = userHeight_;
    }
    currentWidth = std::max<int32_t>(currentWidth, leastWidth);
    currentHeight = std::max<int32_t>(currentHeight, leastHeight);
    // The least size is the window's preferred one, which its sizing rules keep.
    window_->setDefaultWidth(leastWidth);
    window_->setDefaultHeight(leastHeight);
    window_->setMinimumSizeRules(true);
    window_->setSize(currentWidth, currentHeight);
    grownWidth_ = currentWidth;
    grownHeight_ = currentHeight;
    window_->doLayout();
}

void Dialog::holdOptionColumn() {
    if (compact_ != 0 || !hasOptionArea()) {
        return;
    }
    // The option column keeps the widest least width its panels have needed: a narrower
    // panel then leaves the column where it was instead of moving it.
    optionColumn_->setMinimumWidth(-1);
    window_->doLayout();
    columnWidth_ = std::max<int32_t>(columnWidth_, optionColumn_->getPreferredWidth());
    optionColumn_->setMinimumWidth(columnWidth_);
    window_->doLayout();
}

void Dialog::applyTopmost(bool on) {
    window_->setTopmost(on);
}

void Dialog::switchView() {
    window_->freeze();
    setCompactView(compact_ == 0, true);
    window_->thaw();
    window_->redrawNow();
    // A key must never reach a control the switch hid: the focus goes to the view's first.
    HWND frame = window_->getFrameHandle();
    HWND focus = GetFocus();
    if (frame != nullptr && focus != nullptr && focus != frame && IsChild(frame, focus) && !IsWindowVisible(focus)) {
        HWND first = GetNextDlgTabItem(frame, nullptr, FALSE);
        SetFocus(first != nullptr ? first : frame);
    }
}

// ---- Events ----

void Dialog::onEvent(base::IObject* source, int32_t code) {
    if (window_ == nullptr) {
        return;
    }
    const bool fromWindow = source == static_cast<base::IObject*>(window_);
    if (fromWindow && code == s::gui::IWindow::CLOSE) {
        saveSize(compact_ != 0);
    }
    if (onEventHook(source, code)) {
        return;
    }
    if (source == static_cast<base::IObject*>(keepOnTopBox_)) {
        const bool on = keepOnTopBox_->isChecked();
        record_->setKeepOnTop(on);
        applyTopmost(on);
        if (viewMenu_ != nullptr) {
            viewMenu_->setChecked(CMD_KEEP_ON_TOP, on);
        }
        return;
    }
    if (lowerPriorityBox_ != nullptr && source == static_cast<base::IObject*>(lowerPriorityBox_)) {
        const bool on = lowerPriorityBox_->isChecked();
        writeBool(windowGroup(L"View"), L"LowerPriority", on);
        lowerPriority_.store(on ? 1 : 0);
        return;
    }
    if (notifyBox_ != nullptr && source == static_cast<base::IObject*>(notifyBox_)) {
        writeBool(windowGroup(L"View"), L"NotifyWhenFinished", notifyBox_->isChecked());
        return;
    }
    if (suspendBox_ != nullptr && source == static_cast<base::IObject*>(suspendBox_)) {
        return;
    }
    if (source == static_cast<base::IObject*>(minimizeButton1_) ||
        (minimizeButton2_ != nullptr && source == static_cast<base::IObject*>(minimizeButton2_))) {
        minimizedByUser_.store(1);
        window_->minimize();
        return;
    }
    if (fromWindow && code == s::gui::IWindow::RESTORED) {
        minimizedByUser_.store(0);
        onRestored();
        return;
    }
    if (fromWindow && code == s::gui::IWindow::CLOSE) {
        cancelProcessing(false);
        return;
    }
    if (fromWindow && code == s::gui::IWindow::RIGHT_DOWN) {
        if (offersRightClickTransform() && rightClickTransform_ != 0) {
            switchView();
        }
        return;
    }
    if (source == static_cast<base::IObject*>(linkLabel_)) {
        openPage(TEXT_MAKER_PAGE);
        return;
    }
    if (source == static_cast<base::IObject*>(advancedButton_)) {
        switchView();
        return;
    }
    if (formatList_ != nullptr && source == static_cast<base::IObject*>(formatList_)) {
        onFormatChosen();
        return;
    }
    if (source == static_cast<base::IObject*>(cancelButton_)) {
        cancelProcessing(false);
        return;
    }
    if (source == static_cast<base::IObject*>(menuBar_)) {
        onMenuCommand(menuBar_->getLastCommand());
        return;
    }
    if (fromWindow) {
        if (code == s::gui::IWindow::WORKER_EVENT) {
            onWorkerEvent();
        }
        return;
    }
    if (code == 1 && source == static_cast<base::IObject*>(dropBox_)) {
        startProcessing(dropBox_->getDroppedPaths());
        return;
    }
    if (code == 1 && source == static_cast<base::IObject*>(contentBox_)) {
        startProcessing(contentBox_->getDroppedPaths());
    }
}

void Dialog::onFormatChosen() {
    const int32_t index = formatList_->getSelectedIndex();
    const combobox::ComboBoxItem* item = formatList_->getSelectedItem();
    if (item == nullptr) {
        return;
    }
    if (hasOptionPanels() && optionContainer_ != nullptr) {
        // A panel's native windows cost more than the rest of the window: a hidden option
        // column gets its panel when it first shows or a batch reads its settings.
        panelOwed_ = 1;
        if (compact_ == 0 || !hasOptionArea()) {
            buildOwedPanel();
            window_->doLayout();
            holdOptionColumn();
            keepContentShown();
            window_->redrawNow();
        }
    } else if (optionContainer_ != nullptr && optionContainer_->getChildCount() > index) {
        optionContainer_->showOnly(index);
    }
    writeString(windowGroup(L"View"), L"ConvertTo", item->getText());
}

bool Dialog::buildOwedPanel() {
    if (panelOwed_ == 0 || formatList_ == nullptr) {
        return false;
    }
    panelOwed_ = 0;
    const combobox::ComboBoxItem* item = formatList_->getSelectedItem();
    if (item == nullptr) {
        return false;
    }
    IComponent* panel = buildOptionPanel(formatList_->getSelectedIndex(), item->getText(), item->value, item->listFlags);
    if (shownPanel_ != nullptr) {
        shownPanel_->setVisible(false);
    }
    if (panel != nullptr) {
        optionContainer_->add(panel);
        if (optionContainer_->getChildCount() > 1) {
            optionContainer_->remove(optionContainer_->getChildAt(0), true);
        }
        shownPanel_ = panel;
    }
    return true;
}

} // namespace s::gui::dialogs::dragndrop
