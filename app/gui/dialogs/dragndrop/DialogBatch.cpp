#include "app/gui/dialogs/dragndrop/Dialog.h"

#include "app/app/win/AppWindow.h"
#include "core/str/strarray/StrArray.h"
#include "core/thread/win/Thread.h"
#include "engine/sound/ffmpeg/IJobDialog.h"
#include "images/archive/CallBack.h"
#include "system/file/win/PathWin.h"
#include "system/shell/win/Shell.h"
#include "system/system/win/OsFacts.h"
#include "system/time/Clock.h"
#include "widgets/gui/dialogs/win/FileOpener.h"
#include "widgets/gui/dialogs/win/FolderSelector.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/CheckBox.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/MessageBoxW.h"
#include "widgets/gui/win/ProgressBar.h"
#include "widgets/gui/win/Window.h"

namespace s::gui::dialogs::dragndrop {

using sound::ffmpeg::EVENT_PROCESS_STATUS_END;
using sound::ffmpeg::EVENT_PROCESS_STATUS_START;
using sound::ffmpeg::EVENT_PROCESS_STATUS_UPDATE;

namespace {

// The bar's range ends at 16777215; a reporter total outside 0..this leaves it alone.
constexpr int64_t BAR_LIMIT = 16777215;
// The file and folder dialogs' texts.
constexpr int32_t TEXT_AUDIO_FILES = 608120;
constexpr int32_t TEXT_AUDIO_PATTERN = 608121;
constexpr int32_t TEXT_PICK_OUTPUT = 608255;

} // namespace

// ---- Output folder and the queue ----

void Dialog::onOutputCommand(int32_t command) {
    if (outputMenu_ == nullptr) {
        return;
    }
    outputSetting_ = outputSettingForCommand(command, customPath_.length() > 0);
    markOutputChoice();
    writeInt(windowGroup(L"File"), L"OutputFolderSetting", outputSetting_);
}

void Dialog::chooseOtherFolder() {
    if (outputMenu_ == nullptr) {
        return;
    }
    StrBuffer* start = readString(windowGroup(L"File"), L"LastBrowsedOutputDirPath",
                                  ::s::shell::win::desktopFolderPath()->c_str());
    dialogs::win::FolderSelector* selector = dialogs::win::FolderSelector::pool();
    const bool chosen = selector != nullptr && start != nullptr && selector->run(window_, start->c_str(), text(TEXT_PICK_OUTPUT)) &&
                        selector->getPath()[0] != L'\0';
    if (chosen) {
        writeString(windowGroup(L"File"), L"LastBrowsedOutputDirPath", selector->getPath());
        outputSetting_ = OUTPUT_CUSTOM;
        writeInt(windowGroup(L"File"), L"OutputFolderSetting", outputSetting_);
        customPath_.clear();
        customPath_.append(selector->getPath());
        writeString(windowGroup(L"File"), L"OutputDirCustomPath0", customPath_.c_str());
        addCustomOutputEntry();
        markOutputChoice();
    }
    if (selector != nullptr) {
        selector->release();
    }
    if (start != nullptr) {
        start->release();
    }
}

void Dialog::browseAndProcess() {
    StrBuffer* start = readString(windowGroup(L"File"), L"LastBrowsedFileLoadDirPath",
                                  ::s::shell::win::desktopFolderPath()->c_str());
    dialogs::win::FileOpener* opener = dialogs::win::FileOpener::pool();
    str::strarray::StrArray* list = str::strarray::StrArray::pool();
    if (opener != nullptr && list != nullptr && start != nullptr) {
        opener->setOpenMode(true, false);
        opener->setInitialFolder(start->c_str());
        opener->addFilter(text(TEXT_AUDIO_FILES), text(TEXT_AUDIO_PATTERN));
        if (opener->run(window_) && opener->getResults() != nullptr && opener->getResults()->count() > 0) {
            str::strarray::StrArray* results = opener->getResults();
            file::win::PathWin* first = file::win::PathWin::create(results->get(0)->c_str());
            file::win::PathWin* parent = first != nullptr && first->isValid() && first->exists() ? first->parent() : nullptr;
            if (parent != nullptr && parent->isValid() && parent->exists() && parent->isDirectory()) {
                writeString(windowGroup(L"File"), L"LastBrowsedFileLoadDirPath", parent->getText());
            }
            if (parent != nullptr) {
                parent->release();
            }
            if (first != nullptr) {
                first->release();
            }
            for (uint32_t i = 0; i < results->count(); ++i) {
                list->add(results->get(i)->c_str());
            }
        }
    }
    startProcessing(list);
    if (list != nullptr) {
        list->release();
    }
    if (opener != nullptr) {
        opener->release();
    }
    if (start != nullptr) {
        start->release();
    }
}

void Dialog::startProcessing(str::strarray::StrArray* list) {
    if (list == nullptr || list->count() == 0) {
        return;
    }
    // Only this thread sets the flag, and the worker's end event clears it here too:
    // tested before the lock, a drop during a batch never waits on the worker.
    if (running_.load() != 0) {
        return;
    }
    // The settings come from the chosen format's panel, also when the view hides it.
    optionColumn_->makeHeldWindows();
    buildOwedPanel();
    bool usable = false;
    {
        thread::ObjLocker::Guard guard(queueLock_);
        if (!collectSettings()) {
            return;
        }
        for (uint32_t i = 0; i < list->count(); ++i) {
            const wchar_t* path = list->get(i)->c_str();
            if (i == 0) {
                // Its message box waits outside the lock (below).
                usable = resolveOutputFolder(path);
            }
            queue_->add(path);
        }
        if (usable) {
            cancel_.store(0);
            running_.store(1);
            if (worker_ != nullptr) {
                worker_->runOnce(this);
            }
        }
    }
    if (!usable && numberText_.length() > 0) {
        showInformation(numberText_.c_str());
        numberText_.clear();
    }
}

bool Dialog::resolveOutputFolder(const wchar_t* firstPath) {
    if (outputFolder_ != nullptr) {
        outputFolder_->release();
        outputFolder_ = nullptr;
    }
    numberText_.clear();
    if (outputSetting_ == OUTPUT_DESKTOP) {
        outputFolder_ = file::win::PathWin::create(::s::shell::win::desktopFolderPath()->c_str());
    } else if (outputSetting_ == OUTPUT_CUSTOM) {
        if (customPath_.length() > 0) {
            outputFolder_ = file::win::PathWin::create(customPath_.c_str());
        } else {
            outputSetting_ = OUTPUT_SAME_FOLDER;
        }
    }
    if (outputSetting_ == OUTPUT_SAME_FOLDER || outputSetting_ == OUTPUT_SUB_FOLDER) {
        file::win::PathWin* first = file::win::PathWin::create(firstPath);
        file::win::PathWin* parent = first != nullptr && first->isValid() ? first->parent() : nullptr;
        if (parent != nullptr && outputSetting_ == OUTPUT_SUB_FOLDER) {
            outputFolder_ = parent->child(text(TEXT_SUB_FOLDER_NAME));
            parent->release();
        } else {
            outputFolder_ = parent;
        }
        if (first != nullptr) {
            first->release();
        }
    }
    const wchar_t* unusable = localizer_ != nullptr && localizer_->hasText(TEXT_FOLDER_UNUSABLE)
                                  ? localizer_->getText(TEXT_FOLDER_UNUSABLE)
                                  : FOLDER_UNUSABLE;
    if (outputFolder_ == nullptr || !outputFolder_->isValid() || outputFolder_->getText()[0] == L'\0') {
        numberText_.append(unusable);
        return false;
    }
    if (createsOutputFolder() && !outputFolder_->exists()) {
        outputFolder_->makeDirectory(true);
    }
    if (outputFolder_->exists()) {
        if ((outputFolder_->isDirectory() || outputFolder_->isDriveRoot()) && outputFolder_->canReadWrite()) {
            return true;
        }
    } else if (!outputFolder_->isDriveRoot()) {
        file::win::PathWin* parent = outputFolder_->parent();
        const bool ok = parent != nullptr && parent->exists() && (parent->isDirectory() || parent->isDriveRoot()) &&
                        parent->canReadWrite();
        if (parent != nullptr) {
            parent->release();
        }
        if (ok) {
            return true;
        }
    }
    numberText_.append(unusable)->append(L"\r\n\"")->append(outputFolder_->getText())->appendChar(L'"');
    return false;
}

void Dialog::showInformation(const wchar_t* message) {
    gui::win::MessageBoxW::showInformationBox(message);
}

void Dialog::cancelProcessing(bool wait) {
    // Idle, there is nothing to cancel: a flag set now would end the next batch unseen.
    if (!wait && running_.load() == 0) {
        return;
    }
    cancel_.store(1);
    if (wait) {
        if (worker_ != nullptr) {
            worker_->waitIdle();
        }
        cancel_.store(0);
    } else {
        reportStatus(CANCELING);
    }
}

int32_t Dialog::queueCount() {
    return queue_ != nullptr ? static_cast<int32_t>(queue_->count()) : 0;
}

const wchar_t* Dialog::queuedPath(int32_t index) {
    if (queue_ == nullptr || index < 0 || static_cast<uint32_t>(index) >= queue_->count()) {
        return nullptr;
    }
    return queue_->get(static_cast<uint32_t>(index))->c_str();
}

const wchar_t* Dialog::outputFolder() {
    return outputFolder_ != nullptr ? outputFolder_->getText() : L"";
}

intptr_t Dialog::sendWorkerEvent(const wchar_t* name, intptr_t value1, intptr_t value2, const wchar_t* text) {
    return window_ != nullptr ? window_->sendWorkerEvent(name, value1, value2, text) : 0;
}

sound::ffmpeg::ITaskbarProgress* Dialog::taskbar() {
    return system::win::OsFacts::isWindows7OrLater() ? this : nullptr;
}

void Dialog::taskbarStart() {
    if (record_ != nullptr) {
        record_->taskbarStart(window_);
    }
}

void Dialog::taskbarProgress(int32_t total, int32_t done) {
    if (record_ != nullptr) {
        record_->taskbarProgress(window_, total, done);
    }
}

void Dialog::taskbarEnd() {
    if (record_ != nullptr) {
        record_->taskbarEnd(window_);
    }
}

int32_t Dialog::updateWorkerPriority(bool forceDefault) {
    if (worker_ == nullptr) {
        return 0;
    }
    if (forceDefault || (lowerPriority_.load() == 0 && minimizedByUser_.load() == 0)) {
        priorityLowered_ = 0;
        return worker_->setPriority(defaultWorkerPriority()) ? 1 : 0;
    }
    priorityLowered_ = 1;
    return worker_->setPriority(-2) ? 1 : 0;
}

void Dialog::run() {
    sound::ffmpeg::ITaskbarProgress* bar = taskbar();
    if (bar != nullptr) {
        bar->taskbarStart();
    }
    sendWorkerEvent(EVENT_PROCESS_STATUS_START, 0, 0, nullptr);
    for (int32_t i = 0; cancel_.load() == 0; ++i) {
        // The lock is held only to read the queue, never across an event.
        lockQueue();
        const int32_t count = queueCount();
        unlockQueue();
        if (i >= count) {
            break;
        }
        setCurrentIndex(i + 1);
        if (bar != nullptr) {
            bar->taskbarProgress(count, i);
        }
        sendWorkerEvent(EVENT_PROCESS_STATUS_UPDATE, count, i, ENTRY_NAME);
    }
    if (bar != nullptr) {
        bar->taskbarEnd();
    }
    sendWorkerEvent(EVENT_PROCESS_STATUS_END, 0, 0, nullptr);
}

// ---- Worker events and progress ----

void Dialog::reportTotal(int64_t total) {
    progress_->setTotal(total);
    if (progressBar_ != nullptr && total >= 0 && total <= BAR_LIMIT) {
        progressBar_->setRange(0, static_cast<int32_t>(total));
    }
}

void Dialog::reportPosition(int64_t position) {
    progress_->setPosition(position);
    const int64_t total = progress_->total();
    if (progressBar_ != nullptr && total >= 0 && total <= BAR_LIMIT) {
        progressBar_->setProgress(static_cast<int32_t>(position));
    }
}

void Dialog::reportStatus(const wchar_t* status) {
    if (statusLabel_ != nullptr) {
        statusLabel_->setText(status != nullptr ? status : L"", true);
    }
    if (progress_->statusList() != nullptr) {
        progress_->statusList()->add(status != nullptr ? status : L"");
    }
}

void Dialog::showProgressRow(bool show) {
    linkRow_->setFixedHeight(show ? 0 : -1, false);
    linkRow_->setFixedWidth(show ? 0 : -1, false);
    progressRow_->setFixedHeight(show ? -1 : 0, false);
    progressRow_->setFixedWidth(show ? -1 : 0, false);
    linkRow_->setVisible(!show);
    progressRow_->setVisible(show);
    window_->doLayout();
}

void Dialog::onWorkerEvent() {
    const wchar_t* name = window_->getEventName();
    if (name == EVENT_PROCESS_STATUS_START) {
        startTime_ = ::s::time::currentTimeMillis();
        showProgressRow(true);
        reportTotal(1000);
        reportPosition(0);
    } else if (name == EVENT_PROCESS_STATUS_UPDATE) {
        if (cancel_.load() != 0) {
            return;
        }
        int64_t total = window_->getEventValue1();
        int64_t position = window_->getEventValue2();
        lastPosition_ = static_cast<int32_t>(position);
        fitProgress(&total, &position);
        reportTotal(total + 1);
        reportPosition(position + 1);
        reportStatus(window_->getEventText());
    } else if (name == EVENT_PROCESS_STATUS_END) {
        reportTotal(1);
        reportPosition(1);
        percentLabel_->setText(L"", true);
        reportStatus(text(TEXT_DONE));
        showProgressRow(false);
        reportStatus(text(TEXT_READY));
        onAllDone();
        startTime_ = 0;
        {
            thread::ObjLocker::Guard guard(queueLock_);
            queue_->clear();
        }
        index_.store(0);
        cancel_.store(0);
        running_.store(0);
    }
}

void Dialog::onAllDone() {
    if (lastFileSucceeded_.load() == 0) {
        return;
    }
    if (suspendBox_ != nullptr && suspendBox_->isChecked()) {
        suspendBox_->setCheckedQuietly(false);
        ::s::shell::win::enableShutdownPrivilege();
        SetSystemPowerState(TRUE, TRUE);
    }
    if (notifyBox_ != nullptr && notifyBox_->isChecked()) {
        const int64_t seconds = (::s::time::currentTimeMillis() - startTime_ + 500) / 1000;
        wchar_t clock[48];
        swprintf(clock, 48, L" %d:%02d:%02d", static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                 static_cast<int>(seconds % 60));
        std::wstring message = std::wstring(text(1007011)) + L"\r\n\r\n" + text(1007012) + clock;
        const bool onTop = record_->keepOnTop();
        if (onTop) {
            applyTopmost(false);
        }
        window_->activate(true);
        showInformation(message.c_str());
        if (onTop) {
            applyTopmost(true);
        }
    }
}

} // namespace s::gui::dialogs::dragndrop
