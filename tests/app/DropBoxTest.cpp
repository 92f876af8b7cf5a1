// The Drop Box dialog in the test program, driven through its real window: files dropped
// as the shell delivers them, button clicks, menu commands chosen by clicks on the bar
// and the menu, the folder browser and message boxes answered by a watchdog.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "AppFixture.h"
#include "DropFiles.h"
#include "ProgramScreen.h"
#include "support/FrameInput.h"
#include "support/RealInput.h"
#include "support/UiThread.h"
#include "support/WaitFor.h"
#include "app/app/win/AboutWindow.h"
#include "app/gui/dialogs/dragndrop/Dialog.h"
#include "app/sound/gui/dialogs/mp3conv/Dialog.h"
#include "core/str/strarray/StrArray.h"
#include "drawers/gui/drawer/ISkin.h"
#include "drawers/gui/drawer/Skinner.h"
#include "drawers/gui/win/Font.h"
#include "engine/sound/ffmpeg/IJobDialog.h"
#include "framework/AfxMessageBox.h"
#include "framework/CommonDialogs.h"
#include "system/lang/LangPack.h"
#include "system/lang/Localizer.h"
#include "system/shell/win/Shell.h"
#include "widgets/gui/IBox.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/menuitem/MenuItem.h"
#include "widgets/gui/win/Button.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/GroupBox.h"
#include "widgets/gui/win/Image.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/MenuEx.h"
#include "widgets/gui/win/PopupMenu.h"
#include "widgets/gui/win/Window.h"

using namespace apptest;
using s::gui::dialogs::dragndrop::Dialog;

namespace {

constexpr wchar_t BOX_EVENT[] = L"TestBox";

// The converter dialog with the Drop Box's own task in place of the conversions: the
// task can first send an event whose handler shows a message box while it holds the
// queue lock, and the window counts the progress updates it handled. Menus, folders and
// panels are the converter's.
class ConverterWithStandInTask : public s::sound::gui::dialogs::mp3conv::Dialog {
    S_POOLED_CLASS(ConverterWithStandInTask, 10, L"apptest_ConverterWithStandInTask")
public:
    typedef s::sound::gui::dialogs::mp3conv::Dialog Converter;
    void reset() override {
        Converter::reset();
        boxInBatch = false;
        updates = 0;
    }
    void run() override {
        if (boxInBatch) {
            lockQueue();
            sendWorkerEvent(BOX_EVENT, 0, 0, nullptr);
            unlockQueue();
        }
        s::gui::dialogs::dragndrop::Dialog::run();
    }
    bool onEventHook(s::base::IObject* source, int32_t code) override {
        if (code == 2 && source == static_cast<s::base::IObject*>(window())) {
            if (window()->getEventName() == BOX_EVENT) {
                AfxMessageBox(L"Test box", MB_OK);
                return true;
            }
            if (window()->getEventName() == s::sound::ffmpeg::EVENT_PROCESS_STATUS_UPDATE) {
                ++updates;
            }
        }
        return Converter::onEventHook(source, code);
    }

    std::atomic<bool> boxInBatch{false};
    std::atomic<int> updates{0};

private:
    ConverterWithStandInTask() = default;
};

using testsupport::onUiThread;
using testsupport::waitFor;

// Closes a frame of the test program by its close button. Should the click not close it,
// the failure is recorded and Alt+F4 is pressed, so the run goes on.
void closeByItsButton(HWND frame) {
    if (!testsupport::closeFrame(frame)) {
        ADD_FAILURE() << "the close button did not close the window";
        testsupport::altF4(frame);
    }
}

// The converter's menu bar, and the lines its menus draw (separators draw none).
enum MenuEntry : size_t { FILE_MENU = 0, VIEW_MENU = 1, LANGUAGE_MENU = 2, ABOUT_MENU = 3 };
constexpr size_t BROWSE = 0;                 // "Browse and Process..."
constexpr size_t OUTPUT_SAME = 1;            // the output choices follow it
constexpr size_t OUTPUT_SUB = 2;
constexpr size_t RIGHT_CLICK_TRANSFORM = 1;  // after "Keep on Top"
constexpr size_t FIRST_LANGUAGE = 1;         // after "Translate..."
constexpr size_t ABOUT = 0;

// What the screen shows of a window.
std::vector<COLORREF> screenPixels(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    std::vector<COLORREF> pixels;
    HDC screen = GetDC(nullptr);
    for (LONG y = r.top; y < r.bottom; ++y) {
        for (LONG x = r.left; x < r.right; ++x) {
            pixels.push_back(GetPixel(screen, x, y));
        }
    }
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Message boxes go to a recorder instead of the screen.
std::vector<std::wstring> g_messages;
int WINAPI recordBox(HWND, LPCWSTR text, LPCWSTR, UINT) {
    g_messages.push_back(text);
    return IDOK;
}

// The folder browser as a user answers it: takes the folder it opens on. Records the
// prompt and the owner.
std::wstring g_browsePrompt;
HWND g_browseOwner = nullptr;
PIDLIST_ABSOLUTE WINAPI acceptStartFolder(BROWSEINFOW* info) {
    g_browsePrompt = info->lpszTitle != nullptr ? info->lpszTitle : L"";
    g_browseOwner = info->hwndOwner;
    PIDLIST_ABSOLUTE list = nullptr;
    const wchar_t* start = reinterpret_cast<const wchar_t*>(info->lParam);
    if (start == nullptr || FAILED(SHParseDisplayName(start, nullptr, &list, 0, nullptr))) {
        return nullptr;
    }
    return list;
}

// The file-open dialog as a user answers it: two files of g_pickFolder, picked together.
std::wstring g_pickFolder;
std::wstring g_openedIn;
BOOL WINAPI pickTwoFiles(OPENFILENAMEW* info) {
    g_openedIn = info->lpstrInitialDir != nullptr ? info->lpstrInitialDir : L"";
    const std::wstring answer = g_pickFolder + L'\0' + L"one.wav" + L'\0' + L"two.wav" + L'\0' + L'\0';
    if (info->nMaxFile < answer.size()) {
        return FALSE;
    }
    std::copy(answer.begin(), answer.end(), info->lpstrFile);
    return TRUE;
}

class DropBoxTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(markUpdateChecked());
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"dropbox-test-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder_.c_str(), nullptr);
        g_messages.clear();
    }
    void TearDown() override {
        closeDialog();
        AfxSetMessageBoxFunction(nullptr);
        SHFILEOPSTRUCTW op{};
        std::wstring from = folder_ + std::wstring(1, L'\0');
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
        SHFileOperationW(&op);
        AppFixture::TearDown();
    }

    // Opens the dialog on a thread of its own, as the main thread runs it.
    ConverterWithStandInTask* openDialog() {
        dialog_ = ConverterWithStandInTask::pool();
        dialog_->bind(mainRecord());
        runner_ = std::thread([this] { dialog_->runWindow(); });
        const bool shown = waitFor([this] {
            return dialog_->window() != nullptr && dialog_->window()->getFrameHandle() != nullptr &&
                   IsWindowVisible(dialog_->window()->getFrameHandle());
        }, 15000);
        EXPECT_TRUE(shown);
        return dialog_;
    }
    void closeDialog() {
        if (dialog_ == nullptr) {
            return;
        }
        closeByItsButton(frame());
        runner_.join();
        dialog_->release();
        dialog_ = nullptr;
    }
    // Opens the dialog on a fresh start in language.
    void openIn(const wchar_t* language) {
        ASSERT_TRUE(writeString(savePath(L"Language"), L"", language));
        if (record_ != nullptr) {
            record_->release();
            record_ = nullptr;
        }
        app_->release();
        app_ = s::app::win::AppBase::pool();
        ASSERT_TRUE(app_->setUp(nullptr));
        openDialog();
    }
    // Closes the dialog and forgets its settings but the just-run update check.
    void closeAndForget() {
        closeDialog();
        deleteProductKey();
        ASSERT_TRUE(markUpdateChecked());
    }
    HWND frame() const { return dialog_->window()->getFrameHandle(); }
    HWND dropTarget() const { return dialog_->dropBox()->getContent()->getNativeHandle(); }
    // Switches the view as a person does: a right click on the drop area opens the large
    // view, a click on "<< Minimize" goes back.
    bool switchView() {
        const bool compact = dialog_->isCompactView();
        // A click while the window is still being activated may go to the activation.
        waitFor([&] { return GetForegroundWindow() == frame(); });
        if (compact) {
            testsupport::clickOn(dialog_->dropBox()->getNativeHandle(), testsupport::Button::Right);
        } else {
            testsupport::clickOn(dialog_->advancedButton()->getNativeHandle());
        }
        const bool switched = waitFor([&] { return dialog_->isCompactView() != compact; });
        // The flag turns inside the switch: later clicks aim where its layout put things.
        onUiThread(dialog_->window(), [] {});
        return switched;
    }
    std::wstring file(const std::wstring& name) {
        const std::wstring path = folder_ + L"\\" + name;
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(h);
        return path;
    }
    bool batchEnded() const {
        return !dialog_->isRunning() && wcscmp(dialog_->statusLabel()->getText(), L"Ready") == 0;
    }
    RECT frameRect() const {
        RECT r{};
        GetWindowRect(frame(), &r);
        return r;
    }
    // Chooses a line of a menu by clicks on the bar and the line. The command runs after
    // the menu has closed: waits until ran() shows it, then for the rest of its handler.
    bool choose(size_t entry, size_t line, const std::function<bool()>& ran) {
        const std::string fault = chooseMenuItem(frame(), entry, line);
        EXPECT_EQ("", fault);
        const bool done = fault.empty() && waitFor(ran);
        onUiThread(dialog_->window(), [] {});
        return done;
    }
    // Entries of the File menu: browse, separator, three choices, the custom one when
    // there is one, separator, "Other Folder...".
    int32_t fileMenuEntries() const { return dialog_->outputMenu()->getItemCount(); }
    size_t otherFolderLine() const { return static_cast<size_t>(fileMenuEntries()) - 3; }
    bool storedIs(const wchar_t* group, const wchar_t* name, int32_t expected) {
        int32_t value = 0;
        return readInt(savePath(group), name, &value) && value == expected;
    }

    std::wstring folder_;
    ConverterWithStandInTask* dialog_ = nullptr;
    std::thread runner_;
};

// The program's own Drop Box: no File menu, so the bar holds View, Language and About.
TEST_F(DropBoxTest, FirstStartOfTheBaseDialogIsCompactReadyWithViewLanguageAndAboutMenus) {
    Dialog* plain = Dialog::pool();
    plain->bind(mainRecord());
    std::thread runner([plain] { plain->runWindow(); });
    ASSERT_TRUE(waitFor([plain] {
        return plain->window() != nullptr && IsWindowVisible(plain->window()->getFrameHandle()) != FALSE;
    }, 15000));
    EXPECT_TRUE(plain->isCompactView());
    EXPECT_STREQ(L"Ready", plain->statusLabel()->getText());
    EXPECT_EQ(nullptr, plain->fileMenu());
    EXPECT_EQ(3, plain->menuBar()->getEntryCount());
    EXPECT_EQ(11, plain->outputFolderSetting());
    closeByItsButton(plain->window()->getFrameHandle());
    runner.join();
    plain->release();
}

TEST_F(DropBoxTest, DroppedFilesRunThroughTheTaskToDoneAndReadyAndASecondDropIsTaken) {
    openDialog();
    // The converter's bar starts with its File menu.
    ASSERT_NE(nullptr, dialog_->fileMenu());
    EXPECT_EQ(dialog_->fileMenu(), dialog_->outputMenu());
    EXPECT_EQ(4, dialog_->menuBar()->getEntryCount());
    EXPECT_TRUE(dialog_->isCompactView());
    EXPECT_STREQ(L"Ready", dialog_->statusLabel()->getText());
    // A cancel while nothing runs (a person's Cancel is hidden then, so through the
    // dialog's own road) changes nothing: the window stays ready and the next batch runs.
    onUiThread(dialog_->window(), [this] { dialog_->cancelProcessing(false); });
    EXPECT_STREQ(L"Ready", dialog_->statusLabel()->getText());
    const std::vector<std::wstring> drops[2] = {{file(L"a.wav"), file(L"b.wav"), file(L"c.wav")}, {file(L"d.wav")}};
    int expectedUpdates = 0;
    for (const std::vector<std::wstring>& paths : drops) {
        ASSERT_TRUE(dropHere(dropTarget(), paths));
        expectedUpdates += static_cast<int>(paths.size());
        EXPECT_TRUE(waitFor([&] { return dialog_->updates.load() == expectedUpdates && batchEnded(); }));
        EXPECT_STREQ(folder_.c_str(), dialog_->outputFolder());
        dialog_->lockQueue();
        EXPECT_EQ(0, dialog_->queueCount());
        dialog_->unlockQueue();
    }
    EXPECT_TRUE(g_messages.empty());
}

// A batch's worker keeps the queue locked while the window handles what it reports, a
// message box included. A drop made inside that box must not wait for the queue, or both
// threads hang: the window sees that a batch runs and turns the drop away at once.
TEST_F(DropBoxTest, DropsDuringABatchAndInsideItsMessageBoxNeitherDeadlockNorQueue) {
    openDialog();
    dialog_->boxInBatch = true;
    const std::vector<std::wstring> first = {file(L"one.wav"), file(L"two.wav")};
    const std::vector<std::wstring> during = {file(L"late1.wav"), file(L"late2.wav"), file(L"late3.wav")};
    std::atomic<bool> droppedDuringBox{false};
    {
        // Answers the box only after the drop inside it was handled.
        std::thread dropper([&] {
            HWND box = nullptr;
            waitFor([&] { return (box = FindWindowW(L"#32770", nullptr)) != nullptr && IsWindowVisible(box); });
            if (box == nullptr) {
                return;
            }
            dropHere(dropTarget(), during);
            droppedDuringBox = waitFor([&] {
                s::str::strarray::StrArray* last = dialog_->dropBox()->getDroppedPaths();
                return last != nullptr && last->count() == during.size();
            });
            testsupport::clickOn(GetDlgItem(box, IDOK));
        });
        ASSERT_TRUE(dropHere(dropTarget(), first));
        dropper.join();
    }
    EXPECT_TRUE(droppedDuringBox);
    ASSERT_TRUE(waitFor([&] { return batchEnded(); }, 10000)) << "the window or the worker is stuck";
    EXPECT_EQ(static_cast<int>(first.size()), dialog_->updates.load());

    // The same while updates are being sent: still only the first list is processed.
    dialog_->boxInBatch = false;
    dialog_->updates = 0;
    std::vector<std::wstring> many;
    for (int i = 0; i < 400; ++i) {
        many.push_back(folder_ + L"\\many" + std::to_wstring(i) + L".wav");
    }
    ASSERT_TRUE(dropHere(dropTarget(), many));
    ASSERT_TRUE(waitFor([&] { return dialog_->isRunning() || dialog_->updates.load() > 0; }));
    for (int i = 0; i < 5; ++i) {
        dropHere(dropTarget(), during);
    }
    ASSERT_TRUE(waitFor([&] { return batchEnded(); }, 20000));
    EXPECT_EQ(static_cast<int>(many.size()), dialog_->updates.load());
}

TEST_F(DropBoxTest, OutputFolderSettingsResolveFromTheFirstDroppedFile) {
    wchar_t desktop[MAX_PATH] = {};
    wcscpy(desktop, s::shell::win::desktopFolderPath()->c_str());
    struct Case {
        int32_t stored;
        std::wstring expected;
    };
    // The sub-folder does not exist before the drop: it is made for the batch.
    const Case cases[] = {
        {11, folder_},
        {12, folder_ + L"\\Converted"},
        {13, desktop},
        {0, folder_},   // no custom path: the same folder
        {47, folder_},  // unknown: the same folder
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        RemoveDirectoryW((folder_ + L"\\Converted").c_str());
        ASSERT_TRUE(writeInt(savePath(L"MainWindow\\File"), L"OutputFolderSetting", c.stored));
        openDialog();
        ASSERT_TRUE(dropHere(dropTarget(), {file(L"song.wav")}));
        EXPECT_TRUE(waitFor([&] { return dialog_->updates.load() == 1 && batchEnded(); }));
        EXPECT_STREQ(c.expected.c_str(), dialog_->outputFolder());
        const DWORD attributes = GetFileAttributesW(c.expected.c_str());
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        EXPECT_TRUE(g_messages.empty());
        closeDialog();
    }
}

// An unusable folder says so with the quoted path; the files stay queued and go with
// the next batch that starts.
TEST_F(DropBoxTest, AnUnusableOutputFolderShowsItsQuotedPathAndKeepsTheFilesForTheNextBatch) {
    AfxSetMessageBoxFunction(&recordBox);
    const std::wstring notAFolder = file(L"plain-file.txt");
    ASSERT_TRUE(writeInt(savePath(L"MainWindow\\File"), L"OutputFolderSetting", 0));
    ASSERT_TRUE(writeString(savePath(L"MainWindow\\File"), L"OutputDirCustomPath0", notAFolder.c_str()));
    openDialog();
    ASSERT_TRUE(dropHere(dropTarget(), {file(L"first.wav")}));
    ASSERT_TRUE(waitFor([&] { return g_messages.size() == 1; }));
    EXPECT_EQ(L"The output folder is inaccessible or write-protected.\r\n\"" + notAFolder + L"\"", g_messages[0]);
    EXPECT_FALSE(dialog_->isRunning());
    dialog_->lockQueue();
    EXPECT_EQ(1, dialog_->queueCount());
    dialog_->unlockQueue();

    ASSERT_TRUE(choose(FILE_MENU, OUTPUT_SAME, [&] { return storedIs(L"MainWindow\\File", L"OutputFolderSetting", 11); }));
    int32_t stored = -1;
    ASSERT_TRUE(readInt(savePath(L"MainWindow\\File"), L"OutputFolderSetting", &stored));
    EXPECT_EQ(11, stored);
    ASSERT_TRUE(dropHere(dropTarget(), {file(L"second.wav")}));
    EXPECT_TRUE(waitFor([&] { return dialog_->updates.load() == 2 && batchEnded(); }));
    EXPECT_EQ(1u, g_messages.size());
}

TEST_F(DropBoxTest, OtherFolderTwiceLeavesOneCustomEntryThatPersists) {
    const std::wstring chosen[2] = {folder_ + L"\\out-a", folder_ + L"\\out-b"};
    for (const std::wstring& dir : chosen) {
        CreateDirectoryW(dir.c_str(), nullptr);
    }
    openDialog();
    EXPECT_EQ(nullptr, dialog_->outputMenu()->findItem(Dialog::CMD_OUTPUT_CUSTOM));
    EXPECT_EQ(7, fileMenuEntries());
    for (const std::wstring& dir : chosen) {
        // The browser opens on the last folder browsed; the user takes it.
        ASSERT_TRUE(writeString(savePath(L"MainWindow\\File"), L"LastBrowsedOutputDirPath", dir.c_str()));
        AfxCommonDialogFunctions browse{};
        browse.browseForFolder = &acceptStartFolder;
        const AfxCommonDialogFunctions previous = AfxSetCommonDialogFunctions(browse);
        EXPECT_TRUE(choose(FILE_MENU, otherFolderLine(), [&] {
            std::wstring custom;
            return readString(savePath(L"MainWindow\\File"), L"OutputDirCustomPath0", &custom) && custom == dir;
        }));
        AfxSetCommonDialogFunctions(previous);
        EXPECT_EQ(L"Please select the output folder.", g_browsePrompt);
        EXPECT_EQ(frame(), g_browseOwner);
        EXPECT_STREQ(dir.c_str(), dialog_->customOutputPath());
    }
    EXPECT_EQ(8, fileMenuEntries());
    const std::wstring caption = dialog_->outputMenu()->findItem(Dialog::CMD_OUTPUT_CUSTOM)->getCaption();
    EXPECT_NE(std::wstring::npos, caption.find(L"\"" + chosen[1] + L"\""));
    EXPECT_EQ(0, dialog_->outputFolderSetting());
    closeDialog();

    std::wstring stored;
    ASSERT_TRUE(readString(savePath(L"MainWindow\\File"), L"OutputDirCustomPath0", &stored));
    EXPECT_EQ(chosen[1], stored);
    openDialog();
    EXPECT_EQ(0, dialog_->outputFolderSetting());
    EXPECT_EQ(8, fileMenuEntries());
    EXPECT_NE(0, dialog_->outputMenu()->findItem(Dialog::CMD_OUTPUT_CUSTOM)->radioSelected);
    ASSERT_TRUE(dropHere(dropTarget(), {file(L"x.wav")}));
    EXPECT_TRUE(waitFor([&] { return dialog_->updates.load() == 1 && batchEnded(); }));
    EXPECT_STREQ(chosen[1].c_str(), dialog_->outputFolder());
}

// "Browse and Process..." opens where files were last picked and processes the picks;
// the sub-folder choice then makes "Converted" beside them.
TEST_F(DropBoxTest, BrowseAndProcessConvertsThePicksIntoTheChosenSubFolder) {
    const std::wstring picked = folder_ + L"\\picked";
    CreateDirectoryW(picked.c_str(), nullptr);
    file(L"picked\\one.wav");
    file(L"picked\\two.wav");
    g_pickFolder = picked;
    openDialog();
    ASSERT_TRUE(choose(FILE_MENU, OUTPUT_SUB, [&] { return dialog_->outputFolderSetting() == 12; }));
    AfxCommonDialogFunctions pick{};
    pick.openFile = &pickTwoFiles;
    const AfxCommonDialogFunctions previous = AfxSetCommonDialogFunctions(pick);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_TRUE(choose(FILE_MENU, BROWSE, [&] { return dialog_->updates.load() == 2 * (round + 1) && batchEnded(); }));
        EXPECT_EQ(round == 0 ? std::wstring(s::shell::win::desktopFolderPath()->c_str()) : picked, g_openedIn);
        EXPECT_EQ(picked + L"\\Converted", std::wstring(dialog_->outputFolder()));
    }
    AfxSetCommonDialogFunctions(previous);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((picked + L"\\Converted").c_str()));
    int32_t setting = 0;
    ASSERT_TRUE(readInt(savePath(L"MainWindow\\File"), L"OutputFolderSetting", &setting));
    EXPECT_EQ(12, setting);
    std::wstring lastFolder;
    ASSERT_TRUE(readString(savePath(L"MainWindow\\File"), L"LastBrowsedFileLoadDirPath", &lastFolder));
    EXPECT_EQ(picked, lastFolder);
}

// At their first sizes and at the least ones a drag of the frame leaves, in English and
// in German, both views show every part: nothing under the status bar or past the right
// edge, and the status text not cut to "...".
TEST_F(DropBoxTest, BothViewsShowAllTheirContentInEveryLanguage) {
    const int32_t scale = s::system::monitor::uiScale();
    for (const wchar_t* language : {L"English", L"German"}) {
        SCOPED_TRACE(language);
        ASSERT_NO_FATAL_FAILURE(openIn(language));
        for (bool compact : {true, false}) {
            SCOPED_TRACE(compact);
            if (dialog_->isCompactView() != compact) {
                ASSERT_TRUE(switchView());
            }
            const auto checkShown = [&] {
                RECT client{};
                GetClientRect(frame(), &client);
                MapWindowPoints(frame(), nullptr, reinterpret_cast<POINT*>(&client), 2);
                const auto rectOf = [](s::gui::IComponent* c) {
                    RECT r{};
                    GetWindowRect(c->getNativeHandle(), &r);
                    return r;
                };
                const RECT status = rectOf(dialog_->statusLabel());
                const RECT drop = rectOf(dialog_->dropBox());
                EXPECT_LE(drop.bottom, status.top - 2 * scale);
                EXPECT_LE(drop.right, client.right);
                EXPECT_GE(status.right - status.left, 30 * scale);
                if (!compact) {
                    const RECT list = rectOf(dialog_->formatList());
                    const RECT button = rectOf(dialog_->advancedButton());
                    EXPECT_LE(list.right, client.right);
                    EXPECT_LE(button.right, client.right);
                    EXPECT_LE(button.bottom, status.top - 2 * scale);
                }
            };
            checkShown();
            // Dragged by its corner as small as the frame lets it get, it still shows all of it.
            const RECT before = frameRect();
            ASSERT_TRUE(testsupport::dragEdge(frame(), HTBOTTOMRIGHT, 50 - (before.right - before.left),
                                              50 - (before.bottom - before.top)));
            onUiThread(dialog_->window(), [] {});
            const RECT dragged = frameRect();
            // The compact view opens larger than its least size: the drag took. The large
            // one opens at the least its content needs.
            if (compact) {
                EXPECT_LT((dragged.right - dragged.left) * (dragged.bottom - dragged.top),
                          (before.right - before.left) * (before.bottom - before.top));
            }
            EXPECT_GT(dragged.bottom - dragged.top, 100 * scale);
            checkShown();
        }
        // Each language opens on its first sizes.
        closeAndForget();
    }
}

// What is wrong with the lists of the panel of formatId once choice is shown in formats,
// empty when nothing: each inside the window, showing its chosen caption uncut left of its
// arrow. Read on the dialog's UI thread.
std::string panelFaults(ConverterWithStandInTask* dialog, s::gui::win::ComboBox* formats, int32_t choice, int32_t formatId,
                        int32_t s) {
    if (formats->getSelectedIndex() != choice) return "the choice is not taken yet";
    const HWND frame = GetAncestor(formats->getNativeHandle(), GA_ROOT);
    RECT client{};
    GetClientRect(frame, &client);
    MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::vector<s::gui::win::ComboBox*> lists = {formats};
    std::string faults;
    for (int32_t kind = 0; kind < s::sound::gui::dialogs::mp3conv::OptionRows::KIND_COUNT; ++kind) {
        if (s::gui::win::ComboBox* list = dialog->optionControl(formatId, static_cast<s::sound::gui::dialogs::mp3conv::OptionRows::Kind>(kind))) {
            lists.push_back(list);
        }
    }
    if (lists.size() < 2) faults += "no option list; ";
    for (s::gui::win::ComboBox* box : lists) {
        const HWND list = box->getNativeHandle();
        const s::gui::combobox::ComboBoxItem* item = box->getSelectedItem();
        if (item == nullptr) {
            faults += "a list without a choice; ";
            continue;
        }
        const std::wstring text = item->getText();
        const std::string what = "\"" + std::string(text.begin(), text.end()) + "\" ";
        if (!IsWindowVisible(list)) {
            faults += what + "hidden; ";
            continue;
        }
        RECT r{};
        GetWindowRect(list, &r);
        if (r.left < client.left || r.right > client.right || r.bottom > client.bottom) faults += what + "outside the window; ";
        // The chosen caption in the field's font: the drawer's field font, or the main
        // font, bold when the entry says so, in the native field.
        LOGFONTW face{};
        GetObjectW(s > 1 ? box->getFieldFont()->getHandle() : box->getMainFont()->getHandle(), sizeof(face), &face);
        if (s == 1 && (item->fieldFlags & s::gui::combobox::ComboBoxItem::BOLD) != 0) {
            face.lfWeight = FW_BOLD;
        }
        HFONT bold = CreateFontIndirectW(&face);
        HDC dc = GetDC(list);
        HGDIOBJ old = SelectObject(dc, bold);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(list, dc);
        DeleteObject(bold);
        // The room left of the arrow: the native field's item area, or the drawer's text
        // area (4 x scale in, 15 x scale for the arrow).
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        if (!GetComboBoxInfo(list, &info)) {
            faults += what + "no combo box; ";
            continue;
        }
        const LONG room = s == 1 ? info.rcItem.right - info.rcItem.left - 2 : (r.right - r.left) - 19 * s;
        if (room < size.cx) faults += what + std::to_string(size.cx) + " px wide in " + std::to_string(room) + " px; ";
    }
    return faults;
}

// Every option list of every format's panel shows its chosen entry whole, inside the
// window, in both languages.
TEST_F(DropBoxTest, EveryPanelsListsShowTheirChoiceUncutInsideTheWindow) {
    const int32_t s = s::system::monitor::uiScale();
    for (const wchar_t* language : {L"English", L"German"}) {
        SCOPED_TRACE(language);
        ASSERT_NO_FATAL_FAILURE(openIn(language));
        if (dialog_->isCompactView()) {
            ASSERT_TRUE(switchView());
        }
        s::gui::win::ComboBox* formats = dialog_->formatList();
        for (int32_t i = 0; i < formats->getItemCount(); ++i) {
            const int32_t formatId = formats->getItem(i)->value;
            if (formatId < 1 || formatId > 34) {
                continue;
            }
            SCOPED_TRACE(formatId);
            // A click the machine put on another entry (the list still moving) chooses that
            // one: the entry is chosen once more, and counted.
            bool taken = false;
            for (int attempt = 0; attempt < 2 && !taken; ++attempt) {
                if (attempt > 0) testsupport::LostInput::repeated("format entry click");
                ASSERT_TRUE(chooseByClicks(formats->getNativeHandle(), i));
                taken = testsupport::waitOnUiThread(dialog_->window(), [&] { return formats->getSelectedIndex() == i; });
            }
            ASSERT_TRUE(taken);
            // The panel is laid out in the handler of the choice, on the UI thread: what it
            // shows is read there, once the choice has been handled.
            std::string faults;
            waitFor([&] {
                onUiThread(dialog_->window(), [&] { faults = panelFaults(dialog_, formats, i, formatId, s); });
                return faults.empty();
            }, 10000);
            EXPECT_EQ("", faults);
        }
        closeAndForget();
    }
}

// The drop area covers most of the window: a right click on it switches the view while
// "Right-Click Transform" is marked, and does nothing once it is not.
TEST_F(DropBoxTest, ARightClickOnTheDropAreaSwitchesTheViewWhileRightClickTransformIsMarked) {
    openDialog();
    // A click while the new window is still being activated may go to the activation.
    ASSERT_TRUE(waitFor([&] { return GetForegroundWindow() == frame(); }));
    Sleep(300);
    for (bool compact : {false, true}) {
        testsupport::clickOn(dialog_->dropBox()->getNativeHandle(), testsupport::Button::Right);
        EXPECT_TRUE(waitFor([&] { return dialog_->isCompactView() == compact; }, 10000));
        // The flag turns inside the switch: the next click aims where its layout put the area.
        onUiThread(dialog_->window(), [] {});
    }
    ASSERT_TRUE(choose(VIEW_MENU, RIGHT_CLICK_TRANSFORM, [&] { return storedIs(L"MainWindow\\View", L"RightClickTransform", 0); }));
    int32_t stored = 1;
    ASSERT_TRUE(readInt(savePath(L"MainWindow\\View"), L"RightClickTransform", &stored));
    EXPECT_EQ(0, stored);
    testsupport::clickOn(dialog_->dropBox()->getNativeHandle(), testsupport::Button::Right);
    Sleep(500);
    EXPECT_TRUE(dialog_->isCompactView());
}

TEST_F(DropBoxTest, AdvancedOptionsSwitchesBetweenTheTwoRememberedSizes) {
    const std::wstring view = std::wstring(L"MainWindow\\") + Dialog::viewGroupForScale(s::system::monitor::uiScale());
    ASSERT_TRUE(writeInt(savePath(view), L"SmallWidth", 300));
    ASSERT_TRUE(writeInt(savePath(view), L"SmallHeight", 280));
    ASSERT_TRUE(writeInt(savePath(view), L"LargeWidth", 680));
    ASSERT_TRUE(writeInt(savePath(view), L"LargeHeight", 430));
    openDialog();
    struct Step {
        bool compact;
        int32_t width, height;
        const wchar_t* caption;
    };
    const Step steps[] = {
        {true, 300, 280, L"Advanced Options >>"},
        {false, 680, 430, L"<< Minimize"},
        {true, 300, 280, L"Advanced Options >>"},
    };
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        if (i > 0) {
            switchView();
        }
        EXPECT_TRUE(waitFor([&] { return dialog_->isCompactView() == steps[i].compact; }));
        const RECT r = frameRect();
        EXPECT_EQ(steps[i].width, r.right - r.left);
        EXPECT_EQ(steps[i].height, r.bottom - r.top);
        EXPECT_STREQ(steps[i].caption, dialog_->advancedButton()->getText());
    }
    // Each switch saved the size it left.
    int32_t largeWidth = 0;
    ASSERT_TRUE(readInt(savePath(view), L"LargeWidth", &largeWidth));
    EXPECT_EQ(680, largeWidth);
}

// The language chosen in the menu is the next start's; a format chosen while another
// language showed is found again under its caption in that language.
TEST_F(DropBoxTest, TheChosenLanguageAndAFormatChosenInAnotherComeBackAtTheNextStart) {
    openDialog();
    s::lang::Localizer* texts = app_->localizer();
    uint32_t german = 0;
    for (uint32_t i = 0; i < texts->packCount(); ++i) {
        if (wcscmp(texts->packAt(i)->engName(), L"German") == 0) {
            german = i;
        }
    }
    ASSERT_NE(0u, german);
    const auto chooseLanguage = [this, texts](uint32_t index) {
        EXPECT_TRUE(choose(LANGUAGE_MENU, FIRST_LANGUAGE + index, [&] { return texts->current() == texts->packAt(index); }));
        std::wstring stored;
        readString(savePath(L"Language"), L"", &stored);
        return stored;
    };
    EXPECT_EQ(L"German", chooseLanguage(german));
    EXPECT_STREQ(texts->getText(Dialog::TEXT_READY), dialog_->statusLabel()->getText());
    EXPECT_STREQ(texts->getText(Dialog::TEXT_ADVANCED), dialog_->advancedButton()->getText());
    EXPECT_STRNE(L"Ready", dialog_->statusLabel()->getText());
    // ".WAV  [Audio CD Burning]" is named by a text of the pack.
    s::gui::win::ComboBox* formats = dialog_->formatList();
    int32_t audioCd = -1;
    for (int32_t i = 0; i < formats->getItemCount(); ++i) {
        if (formats->getItem(i)->value == 29) {
            audioCd = i;
        }
    }
    ASSERT_GT(audioCd, 0);
    if (dialog_->isCompactView()) {
        ASSERT_TRUE(switchView());
    }
    ASSERT_TRUE(chooseByClicks(formats->getNativeHandle(), audioCd));
    EXPECT_EQ(L"English", chooseLanguage(0));
    EXPECT_STREQ(L"Ready", dialog_->statusLabel()->getText());
    closeDialog();

    for (const wchar_t* language : {L"English", L"German"}) {
        SCOPED_TRACE(language);
        ASSERT_TRUE(writeString(savePath(L"Language"), L"", language));
        record_->release();
        record_ = nullptr;
        app_->release();
        app_ = s::app::win::AppBase::pool();
        ASSERT_TRUE(app_->setUp(nullptr));
        EXPECT_STREQ(language, app_->localizer()->current()->engName());
        openDialog();
        EXPECT_EQ(audioCd, dialog_->formatList()->getSelectedIndex());
        closeDialog();
    }
}

TEST_F(DropBoxTest, TheAboutWindowOpensInItsThemeAndHoldsTheFrameUntilItCloses) {
    openDialog();
    for (int opening = 0; opening < 2; ++opening) {
        SCOPED_TRACE(opening);
        ASSERT_TRUE(choose(ABOUT_MENU, ABOUT, [&] { return !IsWindowEnabled(frame()); }));
        s::app::win::AboutWindow* about = dialog_->aboutWindow();
        ASSERT_NE(nullptr, about);
        ASSERT_NE(nullptr, about->window());
        HWND aboutFrame = about->window()->getFrameHandle();
        EXPECT_TRUE(waitFor([&] { return IsWindowVisible(aboutFrame) != FALSE; }));
        EXPECT_FALSE(IsWindowEnabled(frame()));
        ASSERT_NE(nullptr, about->skinner()->getCurrentSkin());
        EXPECT_STREQ(L"Classic LG", about->skinner()->getCurrentSkin()->getName());
        // The frame is drawn by the theme, and carries the program's icons.
        EXPECT_EQ(about->skinner()->getCurrentSkin()->getWindow(), about->window()->getFrameDrawer());
        EXPECT_NE(nullptr, about->window()->getSmallIcon());
        EXPECT_NE(nullptr, about->window()->getLargeIcon());
        // The window ends just below "Close"; the picture and the green link are drawn.
        const int32_t scale = s::system::monitor::uiScale();
        RECT frameRect{};
        RECT closeRect{};
        GetWindowRect(aboutFrame, &frameRect);
        GetWindowRect(about->closeButton()->getNativeHandle(), &closeRect);
        EXPECT_LE(frameRect.bottom - closeRect.bottom, 10 * scale);
        EXPECT_GE(frameRect.bottom - closeRect.bottom, 0);
        size_t colours = 0;
        std::ptrdiff_t green = 0;
        waitFor([&] {
            const std::vector<COLORREF> picture = screenPixels(about->picture()->getNativeHandle());
            const std::vector<COLORREF> link = screenPixels(about->donationLink()->getNativeHandle());
            colours = std::set<COLORREF>(picture.begin(), picture.end()).size();
            green = std::count(link.begin(), link.end(), RGB(0, 170, 0));
            return colours > 20 && green > 20;
        }, 10000);
        EXPECT_GT(colours, 20u);
        EXPECT_GT(green, 20);
        // The window's own close box, the glyph in its top-right corner.
        HWND closeBox = showing(aboutFrame, L"#X");
        ASSERT_NE(nullptr, closeBox);
        ASSERT_TRUE(testsupport::clickOn(closeBox));
        EXPECT_TRUE(waitFor([&] { return IsWindowEnabled(frame()) != FALSE; }));
    }
}

} // namespace
