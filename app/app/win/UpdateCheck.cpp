#include "app/app/win/UpdateCheck.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

#include "app/app/IAppBase.h"
#include "app/app/IAppWindow.h"
#include "app/app/win/AppWindow.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/ObjLocker.h"
#include "framework/PumpingWait.h"
#include "system/lang/Localizer.h"
#include "system/map/IMappedData.h"
#include "system/shell/win/Shell.h"
#include "system/system/network/win/Downloader.h"
#include "system/time/Clock.h"
#include "widgets/gui/IWindow.h"
#include "widgets/gui/dialogs/FlexAsker.h"

namespace s::app::win {

namespace {

typedef str::strbuffer::StrBuffer StrBuffer;
typedef system::network::win::Downloader Downloader;

const wchar_t* const UPDATE_KEY = L"Update";

std::mutex g_overrideLock;
bool g_hasOverride = false;
std::wstring g_versionPage;
std::wstring g_softwarePage;
std::atomic<UpdateCheck::Question> g_question{&UpdateCheck::askWithConfirmation};

struct Fetch {
    Downloader* downloader;
    bool ok;
};

DWORD WINAPI fetchThread(void* param) {
    Fetch* fetch = static_cast<Fetch*>(param);
    fetch->ok = fetch->downloader->run(UpdateCheck::FETCH_LIMIT_MS, nullptr, nullptr, 0);
    return 0;
}

// Fetches the address on a thread of its own while this thread keeps handling its
// messages; true with the reply in reply.
bool fetchText(const wchar_t* address, StrBuffer* reply) {
    Downloader* downloader = Downloader::pool();
    if (downloader == nullptr) {
        return false;
    }
    downloader->setUrl(address);
    downloader->setKeepText(true);
    Fetch fetch = {downloader, false};
    HANDLE thread = CreateThread(nullptr, 0, &fetchThread, &fetch, 0, nullptr);
    if (thread == nullptr) {
        downloader->release();
        return false;
    }
    // The run ends by itself within its limit.
    PumpingWait(1, &thread, INFINITE);
    CloseHandle(thread);
    if (fetch.ok && downloader->textValue() != nullptr) {
        reply->assign(downloader->textValue());
    }
    downloader->release();
    return fetch.ok;
}

// A page's address from the pack (offset from the title text), or "" when there is none.
void pageAddress(IAppWindow* record, int32_t offset, StrBuffer* address) {
    {
        std::lock_guard<std::mutex> guard(g_overrideLock);
        if (g_hasOverride) {
            address->assign(offset == IAppBase::VERSION_PAGE ? g_versionPage.c_str() : g_softwarePage.c_str());
            return;
        }
    }
    address->assign(record->localizer()->getText(record->titleTextBase() + offset));
}

bool askToOpen(IAppWindow* record, lang::Localizer* texts, gui::IWindow* owner) {
    StrBuffer title;
    title.assign(texts->getText(UpdateCheck::TITLE_TEXT));
    StrBuffer question;
    question.assign(title.c_str());
    question.append(L" \r\n")->append(texts->getText(UpdateCheck::QUESTION_TEXT));
    return g_question.load()(record, owner, title.c_str(), question.c_str());
}

} // namespace

UpdateCheck::Question UpdateCheck::setQuestion(Question question) {
    return g_question.exchange(question != nullptr ? question : &askWithConfirmation);
}

bool UpdateCheck::askWithConfirmation(IAppWindow* record, gui::IWindow* owner, const wchar_t* title,
                                      const wchar_t* question) {
    IAppBase* app = record != nullptr ? record->appBase() : nullptr;
    AppWindow* askerRecord =
        app != nullptr ? AppWindow::create(app, ASKER_RECORD, ASKER_WIDTH, ASKER_HEIGHT, gui::IWindow::MIDDLE_CLOSE)
                       : nullptr;
    gui::dialogs::FlexAsker* asker =
        gui::dialogs::FlexAsker::create(record != nullptr ? record->localizer() : nullptr, askerRecord);
    bool yes = false;
    if (asker != nullptr) {
        asker->setShowCheckBox(false);
        asker->ask(owner != nullptr ? owner->getFrameHandle() : nullptr, title, question);
        yes = asker->getAnswer() == 1;
        // Its window goes before the record it was bound to.
        asker->release();
    }
    if (askerRecord != nullptr) {
        askerRecord->release();
    }
    return yes;
}

void UpdateCheck::setPageAddresses(const wchar_t* versionPage, const wchar_t* softwarePage) {
    std::lock_guard<std::mutex> guard(g_overrideLock);
    g_hasOverride = versionPage != nullptr || softwarePage != nullptr;
    g_versionPage = versionPage != nullptr ? versionPage : L"";
    g_softwarePage = softwarePage != nullptr ? softwarePage : L"";
}

bool UpdateCheck::isDue(int64_t stored, int64_t now) {
    // With stored <= now the difference fits an unsigned 64-bit value exactly.
    return stored > now || static_cast<uint64_t>(now) - static_cast<uint64_t>(stored) >= INTERVAL_HOURS;
}

bool UpdateCheck::versionTextUsable(const wchar_t* version) {
    if (version == nullptr) {
        return false;
    }
    const wchar_t* dot = wcschr(version, L'.');
    return dot != nullptr && wcslen(version) == static_cast<size_t>(dot - version) + 3;
}

bool UpdateCheck::announcesNewer(const wchar_t* reply, const wchar_t* version) {
    if (reply == nullptr || wcslen(reply) <= 4 || reply[0] != L'*') {
        return false;
    }
    return version == nullptr || version[0] == 0 || wcsstr(reply, version) == nullptr;
}

void UpdateCheck::run(IAppWindow* record, gui::IWindow* owner) {
    lang::Localizer* texts = record != nullptr ? record->localizer() : nullptr;
    IAppBase* app = record != nullptr ? record->appBase() : nullptr;
    if (texts == nullptr || app == nullptr || app->store() == nullptr || !texts->hasText(NEWER_VERSION_TEXT)) {
        return;
    }
    map::IMappedData* store = app->store();
    StrBuffer group;
    int64_t stored = 0;
    {
        thread::ObjLocker::Guard guard(app->storeLock());
        group.assign(record->groupPath(L"Version"));
        // Stored as a 32-bit value; earlier copies wrote 8 bytes.
        stored = store->getS32(group.c_str(), UPDATE_KEY, 0);
        if (stored == 0) {
            stored = store->getS64(group.c_str(), UPDATE_KEY, 0);
        }
    }
    const int64_t now = hourOf(time::currentTimeMillis());
    if (stored != 0) {
        if (!isDue(stored, now)) {
            return;
        }
        const wchar_t* version = texts->getText(record->titleTextBase() + IAppBase::VERSION_TEXT);
        if (!versionTextUsable(version) || !Downloader::isOnline()) {
            return;
        }
        StrBuffer running;
        running.assign(version);
        StrBuffer address;
        pageAddress(record, IAppBase::VERSION_PAGE, &address);
        StrBuffer reply;
        // Without an address there is nothing to ask: the check fails at once.
        const bool fetched = address.length() > 0 && fetchText(address.append(L"check/")->c_str(), &reply);
        if (fetched && announcesNewer(reply.c_str(), running.c_str()) && askToOpen(record, texts, owner)) {
            pageAddress(record, IAppBase::SOFTWARE_PAGE, &address);
            shell::win::shellOpen(address.c_str());
        }
    }
    thread::ObjLocker::Guard guard(app->storeLock());
    store->setS32(group.c_str(), UPDATE_KEY, static_cast<int32_t>(now));
}

} // namespace s::app::win
