#include "app/app/win/AppBase.h"

#include <objbase.h>

#include <utility>

#include "drawers/gui/drawer/Skinner.h"
#include "framework/AfxOle.h"
#include "framework/CWinApp.h"
#include "images/archive/dll/win/Archive.h"
#include "images/archive/icon/Archive.h"
#include "images/image/ico/win/IconImage.h"
#include "images/image/jpg/win/Jpeg.h"
#include "images/image/win/BufferedImage.h"
#include "system/file/win/PathWin.h"
#include "system/lang/LangPack.h"
#include "system/lang/Localizer.h"
#include "system/process/commandline/win/CommandLine.h"
#include "system/process/win/OtherInstance.h"
#include "system/reg/MappedData.h"
#include "system/reg/win/RegDir.h"
#include "system/shell/win/Shell.h"
#include "system/xml/MappedData.h"

namespace s::app::win {

namespace {

const wchar_t* const PRODUCT_KEY = L"Software\\Kexo\\";
const wchar_t* const LANGUAGE_KEY = L"Language";
const wchar_t* const SKIN_KEY = L"Skin";
const wchar_t* const SILENT_VALUE = L"Silent";
const uint32_t LANGUAGE_PACK_ID = 130;
const uint32_t PICTURE_IDS[2] = {131, 132};

typedef thread::ObjLocker::Guard Guard;

// How long a start waits for a found copy that shows no window to end or show one.
constexpr DWORD CLOSING_COPY_WAIT_MS = 8000;

BOOL CALLBACK findVisibleWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<std::pair<DWORD, bool>*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->first && IsWindowVisible(window) && GetWindowTextLengthW(window) > 0) {
        search->second = true;
        return FALSE;
    }
    return TRUE;
}

// Whether the process shows a captioned top-level window.
bool showsWindow(DWORD processId) {
    std::pair<DWORD, bool> search(processId, false);
    EnumWindows(&findVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// A copy without a visible window is closing (or still starting): true when it ends
// before it shows one.
bool endsBeforeShowing(DWORD processId) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (process == nullptr) {
        return true;
    }
    bool ended = false;
    for (DWORD start = GetTickCount(); !showsWindow(processId) && GetTickCount() - start < CLOSING_COPY_WAIT_MS;) {
        if (WaitForSingleObject(process, 20) == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
    }
    CloseHandle(process);
    return ended;
}

} // namespace

AppBase::AppBase()
    : titleTextBase_(TITLE_TEXT_BASE), commandLine_(nullptr), exePath_(nullptr), exeFolder_(nullptr),
      archive_(nullptr), localizer_(nullptr), skinner_(nullptr), iconArchive_(nullptr),
      icons_{nullptr, nullptr, nullptr, nullptr, nullptr}, pictures_{nullptr, nullptr}, pictureImages_{nullptr, nullptr},
      saved_(0), store_(nullptr), defaultSkinName_(nullptr), comInitialized_(false) {
    comInitialized_ = SUCCEEDED(CoInitialize(nullptr));
    reset();
}

AppBase::~AppBase() {
    reset();
    if (comInitialized_) {
        CoUninitialize();
    }
}

template <class T>
static void giveBack(T*& object) {
    if (object != nullptr) {
        object->release();
        object = nullptr;
    }
}

// Stores are pooled behind their interface.
static void giveBack(map::IMappedData*& store) {
    if (auto* poolable = dynamic_cast<thread::IPoolable*>(store)) {
        poolable->release();
    }
    store = nullptr;
}

void AppBase::reset() {
    work_.clear();
    work2_.clear();
    titleTextBase_ = TITLE_TEXT_BASE;
    giveBack(commandLine_);
    giveBack(exePath_);
    giveBack(exeFolder_);
    giveBack(archive_);
    giveBack(localizer_);
    giveBack(skinner_);
    setIconArchive(nullptr);
    for (int i = 0; i < 2; ++i) {
        giveBack(pictures_[i]);
        giveBack(pictureImages_[i]);
    }
    {
        Guard guard(storeLock_);
        if (store_ != nullptr && saved_ == 0) {
            store_->save();
        }
        giveBack(store_);
        saved_ = 0;
    }
    giveBack(defaultSkinName_);
}

bool AppBase::setUp(CWinApp* app) {
    AfxOleInit();
    // Repeated calls answer RPC_E_TOO_LATE on Windows; either way the first one holds.
    CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                         EOAC_NONE, nullptr);
    titleTextBase_ = TITLE_TEXT_BASE;
    giveBack(commandLine_);
    commandLine_ = process::commandline::win::CommandLine::pool();
    if (commandLine_ != nullptr) {
        if (app != nullptr) {
            app->ParseCommandLine(*commandLine_);
        }
        commandLine_->finishParse();
    }
    loadResources(nullptr);
    openSettings();
    return localizer_ != nullptr && store_ != nullptr;
}

process::commandline::ICommandLine* AppBase::commandLine() const {
    return commandLine_;
}

void AppBase::loadResources(const wchar_t* modulePath) {
    giveBack(exePath_);
    giveBack(exeFolder_);
    exePath_ = shell::win::getModulePath();
    exeFolder_ = exePath_ != nullptr ? exePath_->parent() : nullptr;
    giveBack(archive_);
    archive_ = archive::dll::win::Archive::openModuleArchive(
        modulePath != nullptr ? modulePath : (exePath_ != nullptr ? exePath_->getText() : L""));
    setIconArchive(archive_ != nullptr ? archive::icon::Archive::fromModule(archive_, ICON_GROUP_ID) : nullptr);
    giveBack(localizer_);
    localizer_ = lang::Localizer::create(archive_, L"IDR_XML", LANGUAGE_PACK_ID);
    for (int i = 0; i < 2; ++i) {
        giveBack(pictures_[i]);
        giveBack(pictureImages_[i]);
        image::jpg::win::Jpeg* picture = image::jpg::win::Jpeg::fromResource(archive_, L"IDR_JPG", PICTURE_IDS[i]);
        if (picture != nullptr && picture->width() == 0) {
            giveBack(picture);
        }
        pictures_[i] = picture;
        pictureImages_[i] = picture != nullptr ? picture->toBufferedImage() : nullptr;
    }
    giveBack(defaultSkinName_);
    defaultSkinName_ = StrBuffer::pool();
}

void AppBase::setIconArchive(archive::icon::Archive* archive) {
    Guard guard(iconLock_);
    // The decoded icons came from the archive that goes.
    for (image::ico::win::IconImage*& image : icons_) {
        giveBack(image);
    }
    giveBack(iconArchive_);
    iconArchive_ = archive;
}

image::ico::win::IconImage* AppBase::icon(int32_t slot, int32_t side) {
    Guard guard(iconLock_);
    uint32_t index = 0;
    if (icons_[slot] == nullptr && iconArchive_ != nullptr && iconArchive_->findBestEntry(side, side, &index)) {
        icons_[slot] = iconArchive_->entry(index)->toImage();
    }
    return icons_[slot];
}

image::win::BufferedImage* AppBase::iconImage(int32_t side) {
    Guard guard(iconLock_);
    uint32_t index = 0;
    if (iconArchive_ == nullptr || !iconArchive_->findBestEntry(side, side, &index)) {
        return nullptr;
    }
    return iconArchive_->entryImage(index);
}

archive::icon::Archive* AppBase::iconArchiveById(uint32_t id) {
    return archive_ != nullptr ? archive::icon::Archive::fromModule(archive_, id) : nullptr;
}

image::IEncodedImage* AppBase::picture1() const {
    return pictures_[0];
}

image::IEncodedImage* AppBase::picture2() const {
    return pictures_[1];
}

const wchar_t* AppBase::titleText(int32_t offset) {
    return localizer_ != nullptr ? localizer_->getText(titleTextBase_ + offset) : L"";
}

void AppBase::openSettings() {
    Guard guard(storeLock_);
    giveBack(store_);
    saved_ = 0;
    store_ = openRegistryStore();
    if (store_ == nullptr) {
        return;
    }
    store_->setAutoSave(false);
    store_->setString(L"SoftwareID", L"", localizer_ != nullptr ? localizer_->getText(REGISTRY_NAME_TEXT) : L"");
    store_->setString(L"Version", L"", titleText(VERSION_TEXT));
    chooseLanguage();
    chooseSkin();
    store_->setAutoSave(true);
}

void AppBase::setSkinner(gui::drawer::Skinner* skinner) {
    if (skinner != skinner_) {
        giveBack(skinner_);
        skinner_ = skinner;
    }
    chooseSkin();
}

void AppBase::chooseSkin() {
    if (skinner_ != nullptr) {
        // Selecting tells the skinner's listeners when the skin changes.
        skinner_->selectSkin(skinName());
    }
}

void AppBase::ensureCurrentLanguage() {
    if (localizer_ == nullptr || localizer_->current() != nullptr) {
        return;
    }
    lang::LangPack* pack = localizer_->findLanguage(lang::Localizer::uiLanguageName());
    if (pack == nullptr) {
        pack = localizer_->packAt(0);
    }
    if (pack != nullptr) {
        localizer_->setLanguage(pack->engName());
    }
}

void AppBase::chooseLanguage() {
    if (localizer_ == nullptr) {
        return;
    }
    localizer_->setLanguage(languageName());
    ensureCurrentLanguage();
    if (localizer_->current() == nullptr) {
        return;  // an empty pack: nothing to remember
    }
    const wchar_t* chosen = localizer_->current()->engName();
    // Compared with what is stored, not with the default: a first start writes its choice.
    Guard guard(storeLock_);
    const wchar_t* stored = store_ != nullptr ? store_->getString(LANGUAGE_KEY, L"", L"", nullptr, false) : L"";
    if (wcscmp(stored, chosen) != 0) {
        setLanguageName(chosen);
    }
}

const wchar_t* AppBase::languageName() {
    ensureCurrentLanguage();
    const lang::LangPack* pack = localizer_ != nullptr ? localizer_->current() : nullptr;
    return readRootText(LANGUAGE_KEY, pack != nullptr ? pack->engName() : L"English");
}

void AppBase::setLanguageName(const wchar_t* name) {
    writeRootText(LANGUAGE_KEY, name);
}

const wchar_t* AppBase::skinName() {
    const wchar_t* fallback = defaultSkinName_ != nullptr ? defaultSkinName_->c_str() : L"";
    const wchar_t* stored = readRootText(SKIN_KEY, fallback);
    int32_t index = -1;
    if (skinner_ != nullptr && !skinner_->indexOfSkin(stored, &index)) {
        return fallback;
    }
    return stored;
}

void AppBase::setSkinName(const wchar_t* name) {
    writeRootText(SKIN_KEY, name);
    chooseSkin();
}

const wchar_t* AppBase::readRootText(const wchar_t* key, const wchar_t* fallback) {
    Guard guard(storeLock_);
    work2_.assign(store_ != nullptr ? store_->getString(key, L"", fallback, nullptr, false) : fallback);
    return work2_.c_str();
}

void AppBase::writeRootText(const wchar_t* key, const wchar_t* text) {
    Guard guard(storeLock_);
    if (store_ != nullptr) {
        store_->setString(key, L"", text != nullptr ? text : L"");
    }
}

void AppBase::saveStore() {
    Guard guard(storeLock_);
    if (store_ != nullptr) {
        store_->save();
    }
    saved_ = 1;
}

bool AppBase::checkSingleInstance(bool notify, bool alsoSendShow, bool useLocalizer) {
    typedef process::win::OtherInstance OtherInstance;
    uint32_t processId = 0;
    if (!OtherInstance::findOtherInstance(&processId)) {
        return false;
    }
    if (notify) {
        // A copy whose window has closed is on its way out: handing over to it would leave
        // the user with no window at all.
        if (endsBeforeShowing(processId)) {
            return false;
        }
        const bool titled = useLocalizer && localizer_ != nullptr;
        OtherInstance::notifyOtherInstance(processId, titled ? &lang::Localizer::packText : nullptr,
                                           titled ? localizer_ : nullptr, static_cast<uint32_t>(titleTextBase_),
                                           alsoSendShow);
    }
    return true;
}

bool AppBase::notifyInstanceOnDesktop(bool notify, bool alsoSendShow, bool useLocalizer) {
    typedef process::win::OtherInstance OtherInstance;
    HDESK desktop = GetThreadDesktop(GetCurrentThreadId());
    uint32_t processId = 0;
    if (!OtherInstance::findOtherInstanceWindow(desktop, &processId)) {
        return false;
    }
    if (notify) {
        const bool titled = useLocalizer && localizer_ != nullptr;
        OtherInstance::notifyOtherInstanceOnDesktop(desktop, titled ? &lang::Localizer::packText : nullptr,
                                                    titled ? localizer_ : nullptr,
                                                    static_cast<uint32_t>(titleTextBase_), alsoSendShow);
    }
    return true;
}

map::IMappedData* AppBase::openXmlStore() {
    if (exeFolder_ == nullptr) {
        return nullptr;
    }
    work_.assign(exeFolder_->getText());
    work_.append(L"\\savedata\\SaveData.xml");
    return xml::MappedData::create(work_.c_str());
}

map::IMappedData* AppBase::openRegistryStore() {
    work_.assign(PRODUCT_KEY);
    work_.append(localizer_ != nullptr ? localizer_->getText(REGISTRY_NAME_TEXT) : L"");
    work_.append(L"\\SaveData");
    return reg::MappedData::create(work_.c_str());
}

void AppBase::runFirstRunStep() {
    work_.assign(PRODUCT_KEY);
    work_.append(localizer_ != nullptr ? localizer_->getText(REGISTRY_NAME_TEXT) : L"");
    reg::win::RegDir* key = reg::win::RegDir::create(HKEY_CURRENT_USER, work_.c_str());
    if (key == nullptr) {
        return;
    }
    uint32_t type = 0;
    uint32_t length = 0;
    const bool silent = key->exists() && key->queryValue(SILENT_VALUE, &type, &length, -1);
    if (silent) {
        key->deleteValue(SILENT_VALUE);
    }
    key->release();
    if (silent) {
        shell::win::shellOpen(titleText(SOFTWARE_PAGE));
    }
}

} // namespace s::app::win
