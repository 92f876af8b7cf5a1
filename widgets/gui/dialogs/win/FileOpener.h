#pragma once
#include <string>

#include "core/thread/ClassPool.h"
#include "widgets/gui/dialogs/IFileOpener.h"

namespace s::gui::dialogs::win {

// The pooled open or save file dialog.
//
//   FileOpener* o = FileOpener::pool();
//   o->setOpenMode(true, true);
//   o->addFilter(L"Audio", L"*.mp3");
//   if (o->run(window)) use(o->getResults());
//   o->release();
class FileOpener : public IFileOpener {
    S_POOLED_CLASS(FileOpener, 1000, L"s_gui_dialogs_win_FileOpener")
public:
    // The result buffer of a multiple selection, in characters.
    static constexpr uint32_t MULTI_SELECT_CHARACTERS = 129998;

    ~FileOpener() override;
    void reset() override;

    bool run(IWindow* owner) override;
    void setOpenMode(bool multiSelect, bool followLinks) override;
    void setSaveMode() override { openMode_ = 0; }
    const wchar_t* getFirstPath() const override { return firstPath_.c_str(); }
    str::strarray::StrArray* getResults() const override { return results_; }
    void setInitialFolder(const wchar_t* folder) override { initialFolder_ = folder != nullptr ? folder : L""; }
    void setFileName(const wchar_t* name) override { fileName_ = name != nullptr ? name : L""; }
    void setDefaultExtension(const wchar_t* extension) override {
        defaultExtension_ = extension != nullptr ? extension : L"";
    }
    void addFilter(const wchar_t* name, const wchar_t* pattern) override;
    // The filter text so far: name, NUL, pattern, NUL for each type.
    const std::wstring& filterText() const { return filter_; }

    // Appends the paths of a multiple-selection answer to out: the folder followed by
    // the names, or one full path when a single file was picked. Answers how many.
    static uint32_t splitSelection(const wchar_t* buffer, str::strarray::StrArray* out);

private:
    FileOpener();

    uint8_t openMode_;
    std::wstring firstPath_;
    std::wstring initialFolder_;
    std::wstring fileName_;
    std::wstring defaultExtension_;
    std::wstring filter_;
    uint8_t followLinks_;
    uint8_t multiSelect_;
    str::strarray::StrArray* results_;
};

} // namespace s::gui::dialogs::win
