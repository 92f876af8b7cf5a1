#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "core/thread/ITask.h"
#include "core/thread/ObjLocker.h"
#include "engine/sound/ffmpeg/ITaskbarProgress.h"
#include "system/gui/events/IEventListener.h"

namespace s::app::win { class AppWindow; class AboutWindow; }
namespace s::archive { class CallBack; }
namespace s::file::win { class PathWin; }
namespace s::lang { class Localizer; }
namespace s::str::strarray { class StrArray; }
namespace s::thread::win { class Thread; }
namespace s::gui {
class IBox;
class IComboBox;
class IComponent;
class IPopupMenu;
}
namespace s::gui::win {
class Box;
class Button;
class CheckBox;
class ComboBox;
class GroupBox;
class Label;
class MenuEx;
class PopupMenu;
class ProgressBar;
class Spacer;
class StatusBar;
class Window;
}

namespace s::gui::dialogs::dragndrop {

// The Drop Box: a small window that takes dropped (or browsed) files, queues them and
// lets a worker thread process them one by one, with a progress row, Cancel, menus and
// a compact and a large view. This base dialog's own task converts nothing; the
// converter dialog derives from it and replaces the hooks below.
//
//   Dialog* dialog = Dialog::pool();
//   dialog->bind(record);      // the "MainWindow" state record
//   dialog->runWindow();       // until the window is closed
//   dialog->release();         // cancels and waits for the worker
//
// Threads: run() builds on the calling (main) thread; every handler runs on the
// window's UI thread; the task runs on the dialog's worker. The worker never holds the
// queue lock while it sends an event, and the UI thread tests the running flag before
// it takes the lock, so a drop during a batch can never wait on the worker.
class Dialog : public events::IEventListener,
               public base::IObject,
               public thread::IPoolable,
               public thread::ITask,
               public sound::ffmpeg::ITaskbarProgress {
    S_POOLED_CLASS(Dialog, 1000, L"s_gui_dialogs_dragndrop_Dialog")
public:
    typedef str::strbuffer::StrBuffer StrBuffer;

    // Output-folder settings.
    static constexpr int32_t OUTPUT_CUSTOM = 0;
    static constexpr int32_t OUTPUT_SAME_FOLDER = 11;
    static constexpr int32_t OUTPUT_SUB_FOLDER = 12;
    static constexpr int32_t OUTPUT_DESKTOP = 13;

    // Menu commands.
    enum Command : int32_t {
        CMD_TRANSLATE = 0,
        CMD_LANGUAGE_FIRST = 2,
        CMD_LANGUAGE_LAST = 99,
        CMD_KEEP_ON_TOP = 100,
        CMD_RIGHT_CLICK_TRANSFORM = 110,
        CMD_EASY_DRAG = 120,
        CMD_CLOSE_BY_WHEEL = 125,
        CMD_BROWSE = 300,
        CMD_OUTPUT_CUSTOM = 310,
        CMD_OUTPUT_SAME = 321,
        CMD_OUTPUT_SUB = 322,
        CMD_OUTPUT_DESKTOP = 323,
        CMD_OUTPUT_LAST = 329,
        CMD_OTHER_FOLDER = 330,
        CMD_ABOUT = 10000,
        CMD_SOFTWARE_PAGE = 10100,
        CMD_FEEDBACK_PAGE = 10200,
        CMD_SOFTWARE_LIST = 10900
    };

    // Text ids of the pack.
    enum Text : int32_t {
        TEXT_READY = 609450,
        TEXT_DONE = 609460,
        TEXT_SUB_FOLDER_NAME = 608225,
        TEXT_FOLDER_UNUSABLE = 608299,
        TEXT_ADVANCED = 1005000,
        TEXT_MINIMIZE = 1006000,
        TEXT_CANCEL = 1006050
    };
    // Shown when the pack has no text for TEXT_FOLDER_UNUSABLE.
    static constexpr wchar_t FOLDER_UNUSABLE[] = L"The output folder is inaccessible or write-protected.";
    static constexpr wchar_t CANCELING[] = L"Canceling..";
    // The text of the base task's progress events.
    static constexpr wchar_t ENTRY_NAME[] = L"EntryName";

    ~Dialog() override;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Back to the pool: cancels and waits for the worker, gives back the window, the
    // About window and every widget reference, empties the queue.
    void reset() override;

    // Keeps the state record with its localizer and store.
    void bind(app::win::AppWindow* record);
    // Builds, restores and shows the window, runs the update check and waits until
    // the window is closed. False when the window could not be made.
    bool runWindow();

    // Every widget's events (the window, menus, buttons, drops, the format list).
    void onEvent(base::IObject* source, int32_t code) override;

    // ---- Hooks of dialogs built on this one, in this order ----
    virtual int32_t defaultCompactWidth();
    virtual int32_t defaultCompactHeight();
    virtual int32_t defaultLargeWidth();
    virtual int32_t defaultLargeHeight();
    // Copies the chosen options into the job record when a batch starts; false refuses
    // the batch (the dialog has told the user).
    virtual bool collectSettings();
    virtual IComboBox* buildFormatList();
    virtual IBox* buildOptionContainer();
    // Called once every widget exists, before the settings are restored.
    virtual void onWidgetsBuilt();
    // Offered every event first; true ends it.
    virtual bool onEventHook(base::IObject* source, int32_t code);
    virtual bool hasOptionPanels();
    // The panel of the format at index of the format list (null: none).
    virtual IComponent* buildOptionPanel(int32_t index, const wchar_t* text, int32_t id, int32_t flag);
    virtual bool windowOption();
    virtual bool contentBoxAcceptsDrops();
    virtual IComponent* buildFinishRow();
    virtual bool hasFinishRow();
    virtual void onAllDone();
    virtual int32_t defaultWorkerPriority();
    // Answers the thread call's result.
    virtual int32_t updateWorkerPriority(bool forceDefault);
    virtual bool offersRightClickTransform();
    virtual bool defaultCompactView();
    virtual int32_t reservedWidth();
    virtual int32_t cancelButtonWidth();
    virtual int32_t layoutGap();
    virtual bool hasOptionArea();
    virtual bool showsFormatRow();
    virtual int32_t defaultFormatIndex();
    virtual bool asksConfirmation();
    virtual const wchar_t* confirmationTitle();
    virtual const wchar_t* confirmationQuestion();
    virtual bool hasFileMenu();
    virtual bool outputChoicesInFileMenu();
    virtual int32_t defaultOutputFolderSetting();
    virtual bool createsOutputFolder();

    // ---- The batch ----
    // From the UI thread: queues list (full paths) and starts the worker unless a batch
    // runs. list stays the caller's.
    void startProcessing(str::strarray::StrArray* list);
    // Resolves the output folder from the first path of a batch; false after a message.
    bool resolveOutputFolder(const wchar_t* firstPath);
    // Cancel flag := 1; with wait, waits for the worker and clears it again; without,
    // shows "Canceling..", and does nothing while no batch runs (a flag left set would
    // end the next batch unseen).
    void cancelProcessing(bool wait);
    void setCompactView(bool compact, bool saveCurrentSize);
    // The task on the worker thread; the base one walks the queue and converts nothing.
    void run() override;

    // ---- What the worker (the converter's job loop) uses ----
    void lockQueue() { queueLock_.lock(); }
    void unlockQueue() { queueLock_.unlock(); }
    // Under the queue lock.
    int32_t queueCount();
    const wchar_t* queuedPath(int32_t index);
    void setCurrentIndex(int32_t index) { index_.store(index); }
    int32_t currentIndex() const { return index_.load(); }
    const std::atomic<uint8_t>* cancelFlag() const { return &cancel_; }
    bool isCancelled() const { return cancel_.load() != 0; }
    bool isRunning() const { return running_.load() != 0; }
    // The resolved output folder of the batch (empty before one).
    const wchar_t* outputFolder();
    void setLastFileSucceeded(bool succeeded) { lastFileSucceeded_.store(succeeded ? 1 : 0); }
    bool lastFileSucceeded() const { return lastFileSucceeded_.load() != 0; }
    // Sends a worker event to the window and waits until it was handled (0 without one).
    intptr_t sendWorkerEvent(const wchar_t* name, intptr_t value1, intptr_t value2, const wchar_t* text);
    // An ffmpeg.exe child should idle: lower priority asked or the window minimised.
    bool wantsIdlePriority() const { return lowerPriority_.load() != 0 || minimizedByUser_.load() != 0; }
    // The taskbar button where the system shows progress on it, else null.
    sound::ffmpeg::ITaskbarProgress* taskbar();
    void taskbarStart() override;
    void taskbarProgress(int32_t total, int32_t done) override;
    void taskbarEnd() override;

    // ---- For dialogs built on this one, and for tests ----
    app::win::AppWindow* record() const { return record_; }
    lang::Localizer* localizer() const { return localizer_; }
    gui::win::Window* window() const { return window_; }
    thread::win::Thread* worker() const { return worker_; }
    int32_t uiScale() const { return scale_; }
    const wchar_t* viewGroup() const { return viewGroup_; }
    bool isCompactView() const { return compact_ != 0; }
    int32_t outputFolderSetting() const { return outputSetting_; }
    const wchar_t* customOutputPath() const { return customPath_.c_str(); }
    gui::win::ComboBox* formatList() const { return formatList_; }
    IBox* optionContainer() const { return optionContainer_; }
    gui::win::Box* optionColumn() const { return optionColumn_; }
    gui::win::MenuEx* menuBar() const { return menuBar_; }
    gui::win::PopupMenu* fileMenu() const { return fileMenu_; }
    gui::win::PopupMenu* viewMenu() const { return viewMenu_; }
    gui::win::PopupMenu* languageMenu() const { return languageMenu_; }
    gui::win::PopupMenu* aboutMenu() const { return aboutMenu_; }
    gui::win::PopupMenu* outputMenu() const { return outputMenu_; }
    gui::win::Label* statusLabel() const { return statusLabel_; }
    gui::win::GroupBox* dropBox() const { return dropBox_; }
    gui::win::Button* advancedButton() const { return advancedButton_; }
    gui::win::Button* cancelButton() const { return cancelButton_; }
    // The About window once it was opened (null before).
    app::win::AboutWindow* aboutWindow() const { return aboutListener_; }
    // The settings group of the window record: "MainWindow\" + sub.
    const wchar_t* windowGroup(const wchar_t* sub);

    // What run() maps the UI scale to: "View", "View4K" or "View8K".
    static const wchar_t* viewGroupForScale(int32_t scale);
    // A stored window size when it lies in the range a stored width or height must, else
    // the default.
    static int32_t sizeOrDefault(bool stored, int32_t value, int32_t limit, int32_t def);
    // The output choice a stored setting marks (and becomes): 11, 12, 13, or 0 only with
    // a custom path.
    static int32_t normaliseOutputSetting(int32_t setting, bool hasCustomPath);
    // What an output command makes the setting.
    static int32_t outputSettingForCommand(int32_t command, bool hasCustomPath);
    // A progress update's total and position halved together until the total fits the
    // bar's range (32767).
    static void fitProgress(int64_t* total, int64_t* position);

protected:
    Dialog();

    // Store access under the store's lock.
    int32_t readInt(const wchar_t* group, const wchar_t* key, int32_t def);
    bool readBool(const wchar_t* group, const wchar_t* key, bool def);
    // A pooled copy (caller releases).
    StrBuffer* readString(const wchar_t* group, const wchar_t* key, const wchar_t* def);
    void writeInt(const wchar_t* group, const wchar_t* key, int32_t value);
    void writeBool(const wchar_t* group, const wchar_t* key, bool value);
    void writeString(const wchar_t* group, const wchar_t* key, const wchar_t* value);
    // The text of id in the current language ("" when missing).
    const wchar_t* text(int32_t id);

private:
    void buildMenus();
    void buildFileMenu();
    void buildWidgets();
    void fitCancelButton();
    void restoreFormat();
    // The format-list entry whose caption, in the current language or any other of the
    // pack, is the stored one; -1 for none.
    int32_t storedFormatIndex(const wchar_t* caption);
    void addCustomOutputEntry();
    int32_t outputChoicePosition(int32_t setting) const;
    void markOutputChoice();
    void onMenuCommand(int32_t command);
    void onOutputCommand(int32_t command);
    void chooseOtherFolder();
    void browseAndProcess();
    void onWorkerEvent();
    void onFormatChosen();
    // Builds the chosen format's panel when it is still owed (made only once the option
    // column shows or a batch needs its settings); true when one was built.
    bool buildOwedPanel();
    void switchView();
    // The frame above every window that is not kept on top, or not any more.
    void applyTopmost(bool on);
    void saveSize(bool compact);
    // Grows the window to what the view's content needs and keeps that as its least size.
    // towardsUserSize: back to the size the user gave it where the content needs less
    // (after a language change); otherwise the window only grows.
    void keepContentShown(bool towardsUserSize = false);
    // The large view's option column from the widest least width its panels needed.
    void holdOptionColumn();
    void resizeTo(bool compact);
    // Back from maximised or minimised: the size of a view switched to meanwhile, and the
    // least size owed.
    void onRestored();
    void openAboutWindow();
    void openPage(int32_t textId);
    void showInformation(const wchar_t* message);
    void reportTotal(int64_t total);
    void reportPosition(int64_t position);
    void reportStatus(const wchar_t* status);
    // The progress row or the link row shows; the other collapses.
    void showProgressRow(bool show);
    // Sends the worker event of the base task.
    intptr_t sendEvent(const wchar_t* name, intptr_t value1, intptr_t value2, const wchar_t* text);

    StrBuffer titleText_;
    StrBuffer numberText_;
    app::win::AppWindow* record_;
    lang::Localizer* localizer_;
    gui::win::MenuEx* menuBar_;
    gui::win::PopupMenu* languageMenu_;
    gui::win::PopupMenu* fileMenu_;
    gui::win::PopupMenu* viewMenu_;
    gui::win::PopupMenu* aboutMenu_;
    app::win::AppWindow* aboutRecord_;
    app::win::AboutWindow* aboutListener_;
    uint8_t compact_;
    gui::win::Box* contentBox_;
    gui::win::Box* dropColumn_;
    gui::win::Box* optionColumn_;
    gui::win::CheckBox* keepOnTopBox_;
    gui::win::GroupBox* dropBox_;
    gui::win::Label* dropHint_;
    gui::win::Label* secondHint_;
    gui::win::Label* valueLabel1_;
    gui::win::Label* valueLabel2_;
    gui::win::Label* wrapLabel_;
    gui::win::Button* minimizeButton1_;
    gui::win::Button* minimizeButton2_;
    gui::win::CheckBox* lowerPriorityBox_;
    gui::win::CheckBox* notifyBox_;
    gui::win::CheckBox* suspendBox_;
    int64_t startTime_;
    gui::win::ComboBox* formatList_;
    IBox* optionContainer_;
    gui::win::Button* advancedButton_;
    archive::CallBack* progress_;
    gui::win::ProgressBar* progressBar_;
    gui::win::Label* percentLabel_;
    gui::win::Label* statusLabel_;
    gui::win::Label* linkLabel_;
    gui::win::Box* progressRow_;
    gui::win::Button* cancelButton_;
    gui::win::Box* linkRow_;
    uint8_t rightClickTransform_;
    gui::win::Spacer* spacer1_;
    gui::win::Spacer* spacer2_;
    gui::win::Box* formatRow_;
    IComponent* finishRow_;
    IComponent* shownPanel_;
    uint8_t panelOwed_;
    int32_t lastPosition_;
    int32_t outputSetting_;
    gui::win::PopupMenu* outputMenu_;
    StrBuffer customPath_;
    file::win::PathWin* outputFolder_;
    int32_t scale_;
    const wchar_t* viewGroup_;
    thread::win::Thread* worker_;
    gui::win::Window* window_;
    gui::win::StatusBar* statusBar_;
    thread::ObjLocker queueLock_;
    str::strarray::StrArray* queue_;
    std::atomic<int32_t> index_;
    int32_t shownCount_;
    std::atomic<uint8_t> cancel_;
    // Written only by the window's thread.
    std::atomic<uint8_t> running_;
    std::atomic<uint8_t> minimizedByUser_;
    std::atomic<uint8_t> lowerPriority_;
    std::atomic<uint8_t> lastFileSucceeded_;
    uint8_t priorityLowered_;
    // The least size waits for the window to leave its maximised state.
    uint8_t leastOwed_;
    // The size the user gave the window, and the one this dialog grew it to.
    int32_t userWidth_;
    int32_t userHeight_;
    int32_t grownWidth_;
    int32_t grownHeight_;
    // The size of the view shown, for Restore of a window maximised (0: none owed).
    int32_t restoreWidth_;
    int32_t restoreHeight_;
    // The option column's least width in the large view.
    int32_t columnWidth_;
};

} // namespace s::gui::dialogs::dragndrop
