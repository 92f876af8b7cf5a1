// A converter dialog opened in another mode, as the start-up would open it, whose
// settings live in a scratch file; rows are built on its window's thread. No external
// ffmpeg.exe is found, message boxes and shell opening are recorded.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/app/IAppBase.h"
#include "app/app/win/AppBase.h"
#include "app/app/win/AppWindow.h"
#include "app/sound/gui/dialogs/mp3conv/Dialog.h"
#include "core/thread/ObjLocker.h"
#include "engine/ffmpeg/FfmpegLocator.h"
#include "framework/AfxMessageBox.h"
#include "support/UiThread.h"
#include "system/shell/win/Shell.h"
#include "system/xml/MappedData.h"
#include "widgets/gui/IBox.h"
#include "widgets/gui/IWindow.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/Window.h"

namespace videotest {

using s::sound::gui::dialogs::mp3conv::Dialog;
using s::sound::gui::dialogs::mp3conv::Setting;
typedef s::gui::win::ComboBox ComboBox;

// The program's texts over a settings file of its own.
class ScratchContext : public s::app::IAppBase {
public:
    explicit ScratchContext(const std::wstring& file) : base_(s::app::win::AppBase::pool()) {
        base_->loadResources(nullptr);
        store_ = s::xml::MappedData::create(file.c_str());
    }
    ~ScratchContext() override {
        store_->release();
        base_->release();
    }
    const wchar_t* className() const override { return L"videotest_ScratchContext"; }
    s::base::IObject* newInstance() const override { return nullptr; }
    bool setUp(CWinApp*) override { return true; }
    s::file::win::PathWin* exePath() const override { return base_->exePath(); }
    s::file::win::PathWin* exeFolder() const override { return base_->exeFolder(); }
    s::process::commandline::ICommandLine* commandLine() const override { return nullptr; }
    s::archive::icon::Archive* iconArchive() const override { return base_->iconArchive(); }
    s::image::ico::win::IconImage* icon16() override { return base_->icon16(); }
    s::image::ico::win::IconImage* icon32() override { return base_->icon32(); }
    s::image::ico::win::IconImage* icon64() override { return base_->icon64(); }
    s::image::ico::win::IconImage* icon128() override { return base_->icon128(); }
    s::image::ico::win::IconImage* icon256() override { return base_->icon256(); }
    s::image::win::BufferedImage* iconImage64() override { return base_->iconImage64(); }
    s::image::win::BufferedImage* iconImage128() override { return base_->iconImage128(); }
    s::image::win::BufferedImage* iconImage256() override { return base_->iconImage256(); }
    s::archive::icon::Archive* iconArchiveById(uint32_t id) override { return base_->iconArchiveById(id); }
    int32_t titleTextBase() const override { return base_->titleTextBase(); }
    s::lang::Localizer* localizer() const override { return base_->localizer(); }
    s::image::win::BufferedImage* picture1Image() const override { return nullptr; }
    s::image::IEncodedImage* picture1() const override { return nullptr; }
    s::image::win::BufferedImage* picture2Image() const override { return nullptr; }
    s::image::IEncodedImage* picture2() const override { return nullptr; }
    s::map::IMappedData* store() const override { return store_; }
    s::thread::ObjLocker& storeLock() override { return lock_; }
    void saveStore() override {}
    bool hasSkinner() const override { return false; }
    s::gui::drawer::Skinner* skinner() const override { return nullptr; }
    const wchar_t* languageName() override { return L"English"; }
    void setLanguageName(const wchar_t*) override {}
    const wchar_t* skinName() override { return L""; }
    void setSkinName(const wchar_t*) override {}
    bool checkSingleInstance(bool, bool, bool) override { return false; }
    bool notifyInstanceOnDesktop(bool, bool, bool) override { return false; }
    s::map::IMappedData* openXmlStore() override { return nullptr; }
    s::map::IMappedData* openRegistryStore() override { return nullptr; }
    void runFirstRunStep() override {}

private:
    s::app::win::AppBase* base_;
    s::xml::MappedData* store_;
    s::thread::ObjLocker lock_;
};

inline std::vector<std::wstring>& boxes() {
    static std::vector<std::wstring> texts;
    return texts;
}
inline std::vector<std::wstring>& opened() {
    static std::vector<std::wstring> texts;
    return texts;
}
inline int WINAPI recordBox(HWND, LPCWSTR text, LPCWSTR, UINT) {
    boxes().push_back(text != nullptr ? text : L"");
    return IDOK;
}
inline BOOL WINAPI recordOpen(SHELLEXECUTEINFOW* info) {
    opened().push_back(info->lpFile != nullptr ? info->lpFile : L"");
    return TRUE;
}

using testsupport::onUiThread;

class VideoDialogTest : public ::testing::Test {
protected:
    // The mode the dialog opens in.
    virtual int32_t mode() const { return 3; }

    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        const std::wstring tag = std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
        folder_ = std::wstring(temp) + L"video-rows-" + tag;
        CreateDirectoryW(folder_.c_str(), nullptr);
        // Nowhere holds an ffmpeg.exe: an empty program folder, keys that do not exist.
        key_ = L"Software\\BrisqueltonVideoTest" + tag;
        sources_ = {folder_.c_str(), HKEY_CURRENT_USER, key_.c_str(), HKEY_CURRENT_USER, key_.c_str(), key_.c_str()};
        s::ffmpeg::FfmpegLocator::inject(&sources_);
        AfxSetMessageBoxFunction(&recordBox);
        s::shell::win::setShellExecute(&recordOpen);
        boxes().clear();
        opened().clear();
        context_ = new ScratchContext(folder_ + L"\\settings.xml");
        record_ = s::app::win::AppWindow::create(context_, L"MainWindow", 250, 250, s::gui::IWindow::MIDDLE_CLOSE);
        // As the start-up opens it: from the pool, the mode asked for, then the window.
        Dialog::setOpeningMode(mode());
        dialog_ = Dialog::pool();
        dialog_->setMode(Dialog::openingMode());
        dialog_->bind(record_);
        runner_ = std::thread([this] { dialog_->runWindow(); });
        for (int i = 0; i < 1500 && !(dialog_->window() != nullptr && dialog_->window()->getFrameHandle() != nullptr &&
                                      IsWindowVisible(dialog_->window()->getFrameHandle()));
             ++i) {
            Sleep(10);
        }
        ASSERT_NE(nullptr, dialog_->window());
        // The window was built for the mode asked for: mode 3 lists its six targets.
        ASSERT_EQ(mode(), dialog_->mode());
        if (mode() == 3) {
            onUi([&] { EXPECT_EQ(6, dialog_->formatList()->getItemCount()); });
        }
    }
    void TearDown() override {
        if (dialog_ != nullptr) {
            PostMessageW(dialog_->window()->getFrameHandle(), WM_CLOSE, 0, 0);
            runner_.join();
            dialog_->release();
        }
        Dialog::setOpeningMode(1);
        record_->release();
        delete context_;
        AfxSetMessageBoxFunction(nullptr);
        s::shell::win::setShellExecute(nullptr);
        s::ffmpeg::FfmpegLocator::inject(nullptr);
        DeleteFileW((folder_ + L"\\settings.xml").c_str());
        DeleteFileW((folder_ + L"\\optional_tools\\ffmpeg.exe").c_str());
        RemoveDirectoryW((folder_ + L"\\optional_tools").c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    void onUi(std::function<void()> fn) { onUiThread(dialog_->window(), std::move(fn)); }
    // Builds a row on the UI thread into the dialog's option area.
    void build(std::function<s::gui::IComponent*()> builder) {
        onUi([&] {
            // Rows read back through their native controls: the hidden column's windows first.
            dialog_->optionColumn()->makeHeldWindows();
            s::gui::IComponent* row = builder();
            ASSERT_NE(nullptr, row);
            dialog_->optionContainer()->add(row);
            dialog_->window()->doLayout();
        });
    }
    // An ffmpeg.exe in the program folder's "optional_tools" makes the external encoders usable.
    void installExternal() {
        CreateDirectoryW((folder_ + L"\\optional_tools").c_str(), nullptr);
        HANDLE h = CreateFileW((folder_ + L"\\optional_tools\\ffmpeg.exe").c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, 0, nullptr);
        CloseHandle(h);
    }

    // Puts the list on the entry carrying value (or on index), quietly: the state a row's
    // own save and apply functions, called next by the test, read. A person's choice is
    // made by clicks (PanelFixture.h, the program tests).
    static void pickIndex(ComboBox* list, int32_t index) { list->setSelectedIndex(index, false); }
    static int32_t indexOfValue(const ComboBox* list, int32_t value) {
        for (int32_t i = 0; i < list->getItemCount(); ++i) {
            if (list->getItem(i)->value == value) {
                return i;
            }
        }
        return -1;
    }
    static void pick(ComboBox* list, int32_t value) { pickIndex(list, indexOfValue(list, value)); }
    static int32_t selected(const ComboBox* list) {
        return list->getSelectedItem() != nullptr ? list->getSelectedItem()->value : -999;
    }

    // What the store holds under "MainWindow\ConvertTo2\<group>".
    std::wstring groupOf(const wchar_t* group) { return std::wstring(L"MainWindow\\ConvertTo2\\") + group; }
    int32_t stored(const wchar_t* group, const wchar_t* key, int32_t def = -999) {
        s::thread::ObjLocker::Guard guard(context_->storeLock());
        return context_->store()->getS32(groupOf(group).c_str(), key, def);
    }
    bool has(const wchar_t* group, const wchar_t* key) {
        s::thread::ObjLocker::Guard guard(context_->storeLock());
        return context_->store()->hasValue(groupOf(group).c_str(), key);
    }
    void store(const wchar_t* group, const wchar_t* key, int32_t value) {
        s::thread::ObjLocker::Guard guard(context_->storeLock());
        context_->store()->setS32(groupOf(group).c_str(), key, value);
    }
    void storeBool(const wchar_t* group, const wchar_t* key, bool value) {
        s::thread::ObjLocker::Guard guard(context_->storeLock());
        context_->store()->setBool(groupOf(group).c_str(), key, value);
    }

    std::wstring folder_;
    std::wstring key_;
    s::ffmpeg::FfmpegLocator::Sources sources_{};
    ScratchContext* context_ = nullptr;
    s::app::win::AppWindow* record_ = nullptr;
    Dialog* dialog_ = nullptr;
    std::thread runner_;
};

} // namespace videotest
