#pragma once
#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/ObjLocker.h"

class CWinApp;

namespace s::archive::icon { class Archive; }
namespace s::file::win { class PathWin; }
namespace s::gui::drawer { class Skinner; }
namespace s::image::ico::win { class IconImage; }
namespace s::image::win { class BufferedImage; }
namespace s::image { class IEncodedImage; }
namespace s::lang { class Localizer; }
namespace s::map { class IMappedData; }
namespace s::process::commandline { class ICommandLine; }

namespace s::app {

// What every window of the program shares: the command line, the program's own path,
// its icons, the language pack, the pictures, the settings store and the skinner. One
// lives for the whole run.
class IAppBase : public base::IObject {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_app_IAppBase";

    // Text ids of the pack, as distances from the title text.
    static constexpr int32_t TITLE_TEXT_BASE = 500000;
    static constexpr int32_t SOFTWARE_PAGE = 3;
    static constexpr int32_t FEEDBACK_PAGE = 4;
    static constexpr int32_t VERSION_PAGE = 6;
    static constexpr int32_t VERSION_TEXT = 10;
    // The product's registry name, the same in every language.
    static constexpr int32_t REGISTRY_NAME_TEXT = 300000;

    // Start-up: OLE, the command line of the application object, the program's path,
    // resources, store and language.
    virtual bool setUp(CWinApp* app) = 0;

    virtual file::win::PathWin* exePath() const = 0;
    virtual file::win::PathWin* exeFolder() const = 0;
    virtual process::commandline::ICommandLine* commandLine() const = 0;
    // The program's icon group.
    virtual archive::icon::Archive* iconArchive() const = 0;
    // The image of the group that fits the square side best, decoded on first use and
    // kept by the context; null when there is none.
    virtual image::ico::win::IconImage* icon16() = 0;
    virtual image::ico::win::IconImage* icon32() = 0;
    virtual image::ico::win::IconImage* icon64() = 0;
    virtual image::ico::win::IconImage* icon128() = 0;
    virtual image::ico::win::IconImage* icon256() = 0;
    // A new picture (caller releases) of the entry that fits the side best; null when none.
    virtual image::win::BufferedImage* iconImage64() = 0;
    virtual image::win::BufferedImage* iconImage128() = 0;
    virtual image::win::BufferedImage* iconImage256() = 0;
    // Another icon group of the program (caller releases); null when there is none.
    virtual archive::icon::Archive* iconArchiveById(uint32_t id) = 0;
    virtual int32_t titleTextBase() const = 0;
    virtual lang::Localizer* localizer() const = 0;
    // Null when the program carries no such picture.
    virtual image::win::BufferedImage* picture1Image() const = 0;
    virtual image::IEncodedImage* picture1() const = 0;
    virtual image::win::BufferedImage* picture2Image() const = 0;
    virtual image::IEncodedImage* picture2() const = 0;

    virtual map::IMappedData* store() const = 0;
    // Held by every caller of the store: the store keeps one resolved group at a time,
    // and the main thread, the UI threads and the worker all reach it.
    virtual thread::ObjLocker& storeLock() = 0;
    virtual void saveStore() = 0;
    // fn(store) under the store's lock; fallback when there is no store.
    template <class T, class Fn>
    T withStore(T fallback, Fn fn);

    // This program sets no skinner on the context.
    virtual bool hasSkinner() const = 0;
    virtual gui::drawer::Skinner* skinner() const = 0;
    // Valid until the next call on the context.
    virtual const wchar_t* languageName() = 0;
    virtual void setLanguageName(const wchar_t* name) = 0;
    // The stored skin; the default skin name when the skinner holds no such skin.
    virtual const wchar_t* skinName() = 0;
    // Stores the name and makes that skin the skinner's current one.
    virtual void setSkinName(const wchar_t* name) = 0;

    // Whether another process runs this executable; with notify, its window is also
    // sent the restore message (and the second-instance message with alsoSendShow).
    // useLocalizer: only a window titled with the program's title in some language.
    virtual bool checkSingleInstance(bool notify, bool alsoSendShow, bool useLocalizer) = 0;
    // The same among the windows of the calling thread's desktop.
    virtual bool notifyInstanceOnDesktop(bool notify, bool alsoSendShow, bool useLocalizer) = 0;

    // A settings file "savedata\SaveData.xml" beside the program (caller releases).
    virtual map::IMappedData* openXmlStore() = 0;
    // The registry store under the product's key (caller releases).
    virtual map::IMappedData* openRegistryStore() = 0;
    // Deletes the product key's "Silent" value, and opens the software page, once.
    virtual void runFirstRunStep() = 0;
};

template <class T, class Fn>
T IAppBase::withStore(T fallback, Fn fn) {
    map::IMappedData* settings = store();
    if (settings == nullptr) {
        return fallback;
    }
    thread::ObjLocker::Guard guard(storeLock());
    return fn(settings);
}

} // namespace s::app
