#pragma once
#include <cstdint>

#include "app/app/IAppBase.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "core/thread/ObjLocker.h"

namespace s::archive::dll::win { class Archive; }
namespace s::image::jpg::win { class Jpeg; }
namespace s::process::commandline::win { class CommandLine; }

namespace s::app::win {

// The application context, taken from its pool once by the start-up:
//   AppBase* app = AppBase::pool();
//   app->setUp(&theApp);
//   ... windows read app->localizer(), app->store() ...
//   app->release();
// Built and given back on the main thread; afterwards its getters are read from any
// thread, and only the store changes (under storeLock()).
class AppBase : public IAppBase, public thread::IPoolable {
    S_POOLED_CLASS(AppBase, 1000, L"s_app_win_AppBase")
public:
    typedef str::strbuffer::StrBuffer StrBuffer;

    ~AppBase() override;
    AppBase(const AppBase&) = delete;
    AppBase& operator=(const AppBase&) = delete;

    // Everything held given back; a store not saved through the context is saved first.
    void reset() override;

    bool setUp(CWinApp* app) override;

    file::win::PathWin* exePath() const override { return exePath_; }
    file::win::PathWin* exeFolder() const override { return exeFolder_; }
    process::commandline::ICommandLine* commandLine() const override;
    archive::icon::Archive* iconArchive() const override { return iconArchive_; }
    image::ico::win::IconImage* icon16() override { return icon(0, 16); }
    image::ico::win::IconImage* icon32() override { return icon(1, 32); }
    image::ico::win::IconImage* icon64() override { return icon(2, 64); }
    image::ico::win::IconImage* icon128() override { return icon(3, 128); }
    image::ico::win::IconImage* icon256() override { return icon(4, 256); }
    image::win::BufferedImage* iconImage64() override { return iconImage(64); }
    image::win::BufferedImage* iconImage128() override { return iconImage(128); }
    image::win::BufferedImage* iconImage256() override { return iconImage(256); }
    archive::icon::Archive* iconArchiveById(uint32_t id) override;
    int32_t titleTextBase() const override { return titleTextBase_; }
    lang::Localizer* localizer() const override { return localizer_; }
    image::win::BufferedImage* picture1Image() const override { return pictureImages_[0]; }
    image::IEncodedImage* picture1() const override;
    image::win::BufferedImage* picture2Image() const override { return pictureImages_[1]; }
    image::IEncodedImage* picture2() const override;

    map::IMappedData* store() const override { return store_; }
    thread::ObjLocker& storeLock() override { return storeLock_; }
    void saveStore() override;

    bool hasSkinner() const override { return skinner_ != nullptr; }
    gui::drawer::Skinner* skinner() const override { return skinner_; }
    // The program sets none; a skinner given here (owned) shows the stored skin.
    void setSkinner(gui::drawer::Skinner* skinner);
    const wchar_t* languageName() override;
    void setLanguageName(const wchar_t* name) override;
    const wchar_t* skinName() override;
    void setSkinName(const wchar_t* name) override;

    bool checkSingleInstance(bool notify, bool alsoSendShow, bool useLocalizer) override;
    bool notifyInstanceOnDesktop(bool notify, bool alsoSendShow, bool useLocalizer) override;

    map::IMappedData* openXmlStore() override;
    map::IMappedData* openRegistryStore() override;
    void runFirstRunStep() override;

    // The steps of setUp after OLE and the command line, for a context whose resources
    // come from the given module file (null: this program's own).
    void loadResources(const wchar_t* modulePath);
    // Opens the store and writes the identification values and the language.
    void openSettings();
    // The group of the program's icons.
    static constexpr uint32_t ICON_GROUP_ID = 128;

    // The text of the pack for an id relative to the title text.
    const wchar_t* titleText(int32_t offset);

private:
    AppBase();

    // Gives the localizer a current pack: the interface language's, else the first.
    void ensureCurrentLanguage();
    void chooseLanguage();
    // Makes the stored skin the skinner's current one.
    void chooseSkin();
    // Takes archive (null: none) in place of the current one and its decoded icons.
    void setIconArchive(archive::icon::Archive* archive);
    // The kept image of slot for a square side.
    image::ico::win::IconImage* icon(int32_t slot, int32_t side);
    image::win::BufferedImage* iconImage(int32_t side);
    // The unnamed value of a key under the store's root (valid until the next call).
    const wchar_t* readRootText(const wchar_t* key, const wchar_t* fallback);
    void writeRootText(const wchar_t* key, const wchar_t* text);

    StrBuffer work_;
    StrBuffer work2_;
    int32_t titleTextBase_;
    process::commandline::win::CommandLine* commandLine_;
    file::win::PathWin* exePath_;
    file::win::PathWin* exeFolder_;
    archive::dll::win::Archive* archive_;
    lang::Localizer* localizer_;
    gui::drawer::Skinner* skinner_;
    archive::icon::Archive* iconArchive_;
    // Decoded on first use, from any thread.
    image::ico::win::IconImage* icons_[5];
    thread::ObjLocker iconLock_;
    image::jpg::win::Jpeg* pictures_[2];
    image::win::BufferedImage* pictureImages_[2];
    uint8_t saved_;
    map::IMappedData* store_;
    StrBuffer* defaultSkinName_;
    thread::ObjLocker storeLock_;
    bool comInitialized_;
};

} // namespace s::app::win
