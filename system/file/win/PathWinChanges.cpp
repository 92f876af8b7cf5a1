#include "system/file/win/PathWin.h"

#include "system/file/win/PathWinShared.h"

namespace s::file::win {

using namespace pathwin;

namespace {

void notifyShell(LONG event, const wchar_t* text) {
    SHChangeNotify(event, SHCNF_PATHW | SHCNF_FLUSH, text, nullptr);
}

// The volume serial and file index of an existing file or folder (folders open too).
bool fileIdentity(const wchar_t* apiText, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE h = CreateFileW(apiText, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool ok = GetFileInformationByHandle(h, &info) != FALSE;
    CloseHandle(h);
    return ok;
}

bool sameIdentity(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

} // namespace

// ---------------------------------------------------------------------------------
// Moving, creating, removing, copying

bool PathWin::moveTo(const wchar_t* target) {
    Held<PathWin> to(create(target));
    if (!valid_ || !to || !to->isValid() || to->getLength() <= 3 || to->exists()) {
        return false;
    }
    return MoveFileExW(getApiText(), to->getApiText(), MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool PathWin::rename(const wchar_t* target, bool replaceExisting, bool notify) {
    Held<PathWin> to(create(target));
    if (!valid_ || !to || to->getLength() <= 3) {
        return false;
    }
    const bool wasFolder = isDirectory();
    DWORD flags = MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH;
    if (replaceExisting) {
        flags |= MOVEFILE_REPLACE_EXISTING;
    }
    if (!MoveFileExW(getApiText(), to->getApiText(), flags)) {
        return false;
    }
    if (notify) {
        notifyShell(wasFolder ? SHCNE_RMDIR : SHCNE_DELETE, getText());
        notifyShell(wasFolder ? SHCNE_MKDIR : SHCNE_CREATE, target);
    }
    return true;
}

bool PathWin::ScrambleFileName(uint32_t passes, StrBuffer* nameOut, bool restoreAttributes) {
    if (!valid_ || full_->length() <= 3 || stream_ || isWholeVolume()) {
        return false;
    }
    Held<StrBuffer> own(nameOut == nullptr ? StrBuffer::pool() : nullptr);
    StrBuffer* name = nameOut != nullptr ? nameOut : own.get();
    if (name == nullptr) {
        return false;
    }
    name->assign(full_);
    const uint32_t saved = getAttributes();
    if (saved == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    SetFileAttributesW(getApiText(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(getApiText(), FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    static const wchar_t ALPHABET[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz123456789";
    const uint32_t alphabetSize = static_cast<uint32_t>(std::wcslen(ALPHABET));
    bool renamed = false;
    for (uint32_t pass = 0; pass < passes; ++pass) {
        Held<StrBuffer> candidate(name->copy());
        uint32_t separator = 0;
        const uint32_t nameStart = candidate->lastIndexOf(L'\\', StrBuffer::END, &separator) ? separator + 1 : 0;
        if (candidate->length() - nameStart < 3) {
            candidate->append(L"__");
        }
        for (int attempt = 0; attempt < 20; ++attempt) {
            wchar_t* units = candidate->data();
            for (uint32_t i = nameStart; i < candidate->length(); ++i) {
                if (units[i] != L'.') {
                    units[i] = ALPHABET[randomNumber() % alphabetSize];
                }
            }
            Held<PathWin> current(create(name->c_str()));
            bool moved = current->moveTo(candidate->c_str());
            if (!moved) {
                Sleep(50);
                moved = current->moveTo(candidate->c_str());
            }
            if (moved) {
                name->assign(candidate.get());
                renamed = true;
                break;
            }
        }
    }
    if (restoreAttributes) {
        Held<PathWin> last(create(name->c_str()));
        SetFileAttributesW(last->getApiText(), settable(saved));
    }
    return renamed;
}

bool PathWin::makeDirectory(bool notify) {
    if (!valid_ || full_->length() <= 3) {
        return false;
    }
    if (!CreateDirectoryW(getApiText(), nullptr) && !(ensureParentFolder() && CreateDirectoryW(getApiText(), nullptr))) {
        return false;
    }
    if (notify) {
        notifyShell(SHCNE_MKDIR, getText());
    }
    return true;
}

bool PathWin::createFile(bool notify) {
    if (!valid_ || full_->length() < 4) {
        return false;
    }
    auto open = [this] {
        return CreateFileW(getApiText(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE h = open();
    if (h == INVALID_HANDLE_VALUE && ensureParentFolder()) {
        h = open();
    }
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(h);
    if (notify) {
        notifyShell(SHCNE_CREATE, getText());
    }
    return true;
}

bool PathWin::ensureParentFolder() {
    Held<StrBuffer> folder(getFolder(nullptr, false));
    if (!folder || folder->length() == 0) {
        return true;  // a bare name lives in the working folder
    }
    Held<PathWin> up(create(folder->c_str()));
    return up && (up->exists() || up->makeDirectory(false));
}

bool PathWin::isWholeVolume() const {
    if (!valid_) {
        return true;
    }
    const wchar_t* text = full_->c_str();
    const size_t length = full_->length();
    // The system leaves "\\?\" texts as they stand: take the prefix off so "." and ".."
    // collapse like everywhere else.
    Held<StrBuffer> plain(StrBuffer::pool());
    if (!plain) {
        return true;
    }
    const uint32_t prefix = prefixLength(text, length);
    if (prefix == 4 && serverAt(text, length) == 8) {
        plain->assign(L"\\\\")->append(text + 8);
    } else if (prefix == 4 && driveAt(text, length) == 4) {
        plain->append(text + 4);
    } else if (prefix != 0) {
        // A device or volume name ("\\?\Volume{...}\"): whole unless a name
        // follows it, and ".." may climb anywhere.
        uint32_t names = 0;
        for (size_t i = prefix; i < length;) {
            size_t end = i;
            while (end < length && text[end] != L'\\') {
                ++end;
            }
            const size_t n = end - i;
            if (n == 2 && text[i] == L'.' && text[i + 1] == L'.') {
                return true;
            }
            if (n != 0 && !(n == 1 && text[i] == L'.')) {
                ++names;
            }
            i = end + 1;
        }
        return names < 2;
    } else {
        plain->append(text);
    }
    Held<StrBuffer> absolute(absoluteOf(plain->c_str()));
    if (!absolute) {
        return true;
    }
    uint32_t n = absolute->length();
    const wchar_t* a = absolute->c_str();
    while (n != 0 && (a[n - 1] == L'\\' || a[n - 1] == L'/')) {
        --n;
    }
    if (n <= 2) {
        return true;  // "X:", "\\" or nothing
    }
    if (a[1] == L':') {
        return false;  // a drive path with at least one name after the root
    }
    if ((a[0] == L'\\' || a[0] == L'/') && (a[1] == L'\\' || a[1] == L'/')) {
        // "\\server" and "\\server\share" are roots; a name after the share is not.
        uint32_t separators = 0;
        for (uint32_t i = 2; i < n; ++i) {
            if ((a[i] == L'\\' || a[i] == L'/') && a[i - 1] != L'\\' && a[i - 1] != L'/') {
                ++separators;
            }
        }
        return separators < 2;
    }
    return true;  // nothing the system could make absolute
}

bool PathWin::removeEntries(bool onReboot) {
    bool ok = true;
    walkFolder(this, [&](const WIN32_FIND_DATAW& entry) {
        Held<PathWin> child(createJoined(getText(), entry.cFileName));
        ok = child && child->remove(false, onReboot) && ok;
        return true;
    });
    return ok;
}

bool PathWin::remove(bool notify, bool onReboot) {
    // Never a whole drive or share, however the text spells it ("Q:\\dir\\..").
    if (!valid_ || full_->length() <= 3 || isWholeVolume()) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(getApiText());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // Only a path that is not there counts as removed; a refused question does not.
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    bool done = false;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        done = DeleteFileW(getApiText()) != FALSE;
        DWORD error = done ? ERROR_SUCCESS : GetLastError();
        if (!done && error == ERROR_ACCESS_DENIED && makeWritable()) {
            done = DeleteFileW(getApiText()) != FALSE;
            error = done ? ERROR_SUCCESS : GetLastError();
        }
        done = done || error == ERROR_FILE_NOT_FOUND;
        if (done && notify) {
            notifyShell(SHCNE_DELETE, getText());
        }
    } else {
        done = RemoveDirectoryW(getApiText()) != FALSE;
        // A reparse point is removed as it stands, never entered.
        if (!done && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && removeEntries(onReboot)) {
            done = RemoveDirectoryW(getApiText()) != FALSE;
        }
        if (done && notify) {
            notifyShell(SHCNE_RMDIR, getText());
        }
    }
    if (!done && onReboot) {
        MoveFileExW(getApiText(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    return done;
}

bool PathWin::removeOnReboot() {
    if (!valid_ || full_->length() <= 3 || isWholeVolume() || !exists()) {
        return false;
    }
    if (isDirectory()) {
        walkFolder(this, [&](const WIN32_FIND_DATAW& entry) {
            Held<PathWin> child(createJoined(getText(), entry.cFileName));
            if (child) {
                child->removeOnReboot();
            }
            return true;
        });
    }
    return MoveFileExW(getApiText(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

bool PathWin::recycle(bool confirm, bool notify) {
    if (!valid_ || full_->length() < 4 || isWholeVolume()) {
        return false;
    }
    const bool wasFolder = isDirectory();
    Held<StrBuffer> from(full_->copy());
    from->appendChar(L'\0')->appendChar(L'\0');
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from->data();
    operation.fFlags = FOF_ALLOWUNDO;
    if (!confirm) {
        // Silent means no window at all, error boxes included.
        operation.fFlags |= FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    }
    // The shell can answer 0 and still leave the path where it was (no recycle bin
    // to move it to): only a path that is gone counts as recycled.
    const bool done = SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted && !exists();
    if (done && notify) {
        notifyShell(wasFolder ? SHCNE_RMDIR : SHCNE_DELETE, getText());
    }
    return done;
}

bool PathWin::containsPath(PathWin* target) const {
    Held<StrBuffer> self(absoluteOf(getText()));
    Held<StrBuffer> other(absoluteOf(target->getText()));
    if (!self || !other) {
        return true;  // cannot tell: refuse
    }
    self->appendChar(L'\\');
    other->appendChar(L'\\');
    if (other->length() >= self->length() &&
        CompareStringOrdinal(self->c_str(), static_cast<int>(self->length()), other->c_str(),
                             static_cast<int>(self->length()), TRUE) == CSTR_EQUAL) {
        return true;
    }
    // Another spelling of this folder (its short name, a link to it) has the same
    // identity: look for it among the target's existing ancestors.
    BY_HANDLE_FILE_INFORMATION own;
    if (!fileIdentity(getApiText(), own)) {
        return true;
    }
    bool found = false;
    PathWin* up = create(other->c_str());
    while (up != nullptr && !found) {
        BY_HANDLE_FILE_INFORMATION info;
        found = up->isValid() && fileIdentity(up->getApiText(), info) && sameIdentity(own, info);
        PathWin* next = found || !up->isValid() ? nullptr : up->getParentOrNull();
        if (next != nullptr && next->getLength() >= up->getLength()) {
            next->release();
            next = nullptr;
        }
        up->release();
        up = next;
    }
    return found;
}

bool PathWin::copyTo(const wchar_t* target, bool overwrite) {
    if (!exists()) {
        return false;
    }
    Held<PathWin> to(create(target));
    if (!to || !to->isValid()) {
        return false;
    }
    if (!isDirectory()) {
        if (to->getLength() <= 3) {
            return false;
        }
        if (CopyFileW(getApiText(), to->getApiText(), !overwrite)) {
            return true;
        }
        return to->ensureParentFolder() && CopyFileW(getApiText(), to->getApiText(), !overwrite);
    }
    // A folder is never copied into itself or below itself.
    if (containsPath(to.get())) {
        return false;
    }
    if (to->exists()) {
        if (!overwrite) {
            return false;
        }
    } else if (!to->makeDirectory(false)) {
        return false;
    }
    bool ok = true;
    ListingFilter all(this, true);
    walkFolder(this, [&](const WIN32_FIND_DATAW& entry) {
        if (!all.passes(entry)) {
            return true;
        }
        Held<PathWin> from(createJoined(getText(), entry.cFileName));
        Held<StrBuffer> into(StrBuffer::joinPath(to->getText(), entry.cFileName));
        ok = from && into && from->copyTo(into->c_str(), overwrite);
        return ok;
    });
    return ok;
}

// ---------------------------------------------------------------------------------
// Shortcuts

bool PathWin::createShortcut(const wchar_t* linkPath, bool replace, const wchar_t* arguments) {
    if (!valid_ || linkPath == nullptr) {
        return false;
    }
    Held<StrBuffer> linkText(StrBuffer::fromText(linkPath));
    if (!linkText->endsWithIgnoreCase(L".lnk")) {
        linkText->append(L".lnk");
    }
    Held<PathWin> link(create(linkText->c_str()));
    if (!link || !link->isValid()) {
        return false;
    }
    // "Replace" replaces a file: a folder of that name is never removed for a link.
    if (link->exists() && (!replace || !link->isFile() || !link->remove(false, false))) {
        return false;
    }
    if (isLnk()) {
        return copyTo(link->getText(), true);
    }
    Held<PathWin> up(parent());
    Held<StrBuffer> working(up && up->exists() ? up->getAsFolder(nullptr, false) : nullptr);
    return ShellLink::save(getText(), working ? working->c_str() : nullptr, arguments, link->getText());
}

bool PathWin::createInternetShortcut(const wchar_t* url, bool replace) {
    if (!valid_ || url == nullptr) {
        return false;
    }
    if (exists() && (!replace || !isFile() || !remove(false, false))) {
        return false;
    }
    return ShellLink::saveUrl(getText(), url);
}

PathWin* PathWin::shortcutTarget() {
    if (!isLnk()) {
        return nullptr;
    }
    Held<StrBuffer> target(StrBuffer::pool());
    if (!target || !ShellLink::target(getText(), target.get())) {
        return nullptr;
    }
    return create(target->c_str());
}

PathWin* PathWin::folderShortcutTargetPath() {
    if (!isDirectory()) {
        return nullptr;
    }
    Held<PathWin> link(child(L"target.lnk"));
    if (!link || !link->isFile()) {
        return nullptr;
    }
    Held<PathWin> target(link->shortcutTarget());
    if (!target || !target->exists() || !target->isDirectory()) {
        return nullptr;
    }
    return target.take();
}

bool PathWin::isFolderShortcut() {
    Held<PathWin> target(folderShortcutTargetPath());
    return static_cast<bool>(target);
}

PathWin* PathWin::folderShortcutTarget() {
    return folderShortcutTargetPath();
}

StrBuffer* PathWin::getFolderShortcutTarget(StrBuffer* buffer, bool append) {
    buffer = prepared(buffer, append);
    Held<PathWin> target(folderShortcutTargetPath());
    if (buffer != nullptr && target) {
        buffer->append(target->getText());
    }
    return buffer;
}

const wchar_t* PathWin::getFolderShortcutTarget() {
    return getFolderShortcutTarget(scratch_, false)->c_str();
}

StrBuffer* PathWin::getUrlTarget(StrBuffer* buffer, bool append) {
    buffer = prepared(buffer, append);
    if (buffer != nullptr && exists() && isUrl()) {
        Held<StrBuffer> url(StrBuffer::pool());
        if (url && ShellLink::url(getText(), url.get())) {
            buffer->append(url.get());
        }
    }
    return buffer;
}

const wchar_t* PathWin::getUrlTarget() {
    return getUrlTarget(scratch_, false)->c_str();
}

} // namespace s::file::win
