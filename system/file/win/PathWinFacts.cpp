#include "system/file/win/PathWin.h"

#include "system/file/win/PathWinShared.h"

namespace s::file::win {

using namespace pathwin;

namespace {

int64_t toSeconds(const FILETIME& time) {
    const uint64_t units = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return (static_cast<int64_t>(units) - time::FILETIME_1970) / 10000000;
}

bool equalNoCase(const wchar_t* a, const wchar_t* b) {
    return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

} // namespace

// ---------------------------------------------------------------------------------
// Facts

bool PathWin::exists() {
    return valid_ && GetFileAttributesW(getApiText()) != INVALID_FILE_ATTRIBUTES;
}

void PathWin::loadAttributes() {
    if (attributesLoaded_) {
        return;
    }
    attributesLoaded_ = true;
    attributes_ = INVALID_FILE_ATTRIBUTES;
    if (!valid_) {
        return;
    }
    if (!stream_) {
        attributes_ = GetFileAttributesW(getApiText());
        return;
    }
    HANDLE h = CreateFileW(getApiText(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION info;
        if (GetFileInformationByHandle(h, &info)) {
            attributes_ = info.dwFileAttributes;
        }
        CloseHandle(h);
    }
}

uint32_t PathWin::getAttributes() {
    loadAttributes();
    return attributes_;
}

bool PathWin::hasAttribute(uint32_t bit) {
    const uint32_t attributes = getAttributes();
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & bit) != 0;
}

bool PathWin::isFile() {
    const uint32_t attributes = getAttributes();
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool PathWin::addAttributes(uint32_t bits) {
    const uint32_t attributes = getAttributes();
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    if ((attributes & bits) == bits) {
        return true;
    }
    if (!SetFileAttributesW(getApiText(), settable(attributes | bits))) {
        return false;
    }
    attributes_ = attributes | bits;
    return true;
}

bool PathWin::setAttributes(uint32_t bits) {
    if (attributesLoaded_ && attributes_ == bits) {
        return true;
    }
    const uint32_t before = getAttributes();
    if (!valid_ || !SetFileAttributesW(getApiText(), bits)) {
        return false;
    }
    // The directory bit is not the caller's to change.
    attributes_ = before != INVALID_FILE_ATTRIBUTES ? bits | (before & FILE_ATTRIBUTE_DIRECTORY) : bits;
    return true;
}

bool PathWin::canRead() {
    return valid_ && GetFileAttributesW(getApiText()) != INVALID_FILE_ATTRIBUTES;
}

bool PathWin::canWrite() {
    if (!valid_) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(getApiText());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || (attributes & FILE_ATTRIBUTE_READONLY) == 0);
}

int32_t PathWin::fileSystemKind() {
    if (fileSystem_ >= 0) {
        return fileSystem_;
    }
    fileSystem_ = 0;
    wchar_t name[19] = {};
    if (valid_ && GetVolumeInformationW(getVolumeRoot(), nullptr, 0, nullptr, nullptr, nullptr, name, 19)) {
        static const wchar_t* const kinds[] = {L"FAT", L"FAT32", L"VFAT", L"NTFS", L"HPFS"};
        for (int32_t i = 0; i < 5; ++i) {
            if (_wcsicmp(name, kinds[i]) == 0) {
                fileSystem_ = i + 1;
            }
        }
    }
    return fileSystem_;
}

bool PathWin::isFat() {
    const int32_t kind = fileSystemKind();
    return kind >= 1 && kind <= 3;
}

bool PathWin::isUnc() const {
    return serverAt(full_->c_str(), full_->length()) != 0;
}

const wchar_t* PathWin::getServerName() {
    scratch_->clear();
    const uint32_t start = serverAt(full_->c_str(), full_->length());
    if (start != 0) {
        const wchar_t* full = full_->c_str();
        uint32_t end = start;
        while (end < full_->length() && full[end] != L'\\') {
            ++end;
        }
        scratch_->appendUnits(full + start, static_cast<int32_t>(end - start));
    }
    return scratch_->c_str();
}

bool PathWin::isDriveRoot() const {
    const int32_t at = driveAt(full_->c_str(), full_->length());
    return at >= 0 && full_->length() == static_cast<uint32_t>(at) + 2;
}

bool PathWin::hasDriveLetter() const {
    return driveAt(full_->c_str(), full_->length()) >= 0;
}

wchar_t PathWin::getDriveLetter() const {
    const int32_t at = driveAt(full_->c_str(), full_->length());
    return full_->length() != 0 ? full_->charAt(at > 0 ? static_cast<uint32_t>(at) : 0) : L'\0';
}

bool PathWin::isSameVolume(const wchar_t* text) {
    Held<PathWin> other(create(text));
    if (!other) {
        return false;
    }
    if (hasDriveLetter() && other->hasDriveLetter()) {
        // Drive letters name the same volume whatever their case.
        return towupper(getDriveLetter()) == towupper(other->getDriveLetter());
    }
    if (isUnc() && other->isUnc()) {
        Held<StrBuffer> server(StrBuffer::fromText(getServerName()));
        return server && equalNoCase(server->c_str(), other->getServerName());
    }
    return false;
}

StrBuffer* PathWin::relativeBase(bool baseIsFolder) {
    if (baseIsFolder || (exists() && isDirectory())) {
        return getAsFolder(nullptr, false);
    }
    return getFolder(nullptr, false);
}

const wchar_t* PathWin::getRelativePath(const wchar_t* target, bool baseIsFolder) {
    if (target == nullptr) {
        scratch_->clear();
        return scratch_->c_str();
    }
    // The same volume spelt with and without a prefix shares no text to climb from.
    const size_t targetLength = std::wcslen(target);
    const uint32_t prefix = prefixLength(full_->c_str(), full_->length());
    if (!isSameVolume(target) || prefix != prefixLength(target, targetLength) ||
        (prefix != 0 && full_->charAt(2) != target[2])) {
        scratch_->assign(target);
        return scratch_->c_str();
    }
    Held<StrBuffer> base(relativeBase(baseIsFolder));
    Held<StrBuffer> lowerBase(base->copy());
    Held<StrBuffer> lowerTarget(StrBuffer::fromText(target));
    lowerBase->toLowerCase();
    lowerTarget->toLowerCase();
    const uint32_t shorter = lowerBase->length() < lowerTarget->length() ? lowerBase->length() : lowerTarget->length();
    uint32_t c = 0;
    while (c < shorter && lowerBase->charAt(c) == lowerTarget->charAt(c)) {
        ++c;
    }
    // A difference inside a name climbs from the start of that name.
    if (c < lowerBase->length()) {
        while (c > 0 && lowerBase->charAt(c - 1) != L'\\' && lowerBase->charAt(c - 1) != L'/') {
            --c;
        }
    }
    uint32_t climbs = 0;
    for (uint32_t i = c; i < base->length(); ++i) {
        if (base->charAt(i) == L'\\' || base->charAt(i) == L'/') {
            ++climbs;
        }
    }
    scratch_->clear();
    for (uint32_t i = 0; i < climbs; ++i) {
        scratch_->append(L"..\\");
    }
    scratch_->append(target + c);
    return scratch_->c_str();
}

const wchar_t* PathWin::getAbsolutePath(const wchar_t* relative, bool baseIsFolder) {
    if (relative == nullptr) {
        scratch_->clear();
        return scratch_->c_str();
    }
    const size_t length = std::wcslen(relative);
    const bool drive = length >= 2 && relative[1] == L':';
    const bool unc = length > 2 && (relative[0] == L'\\' || relative[0] == L'/') &&
                     (relative[1] == L'\\' || relative[1] == L'/') && relative[2] != L'\\' && relative[2] != L'/';
    if (drive || unc) {
        scratch_->assign(relative);
        return scratch_->c_str();
    }
    Held<StrBuffer> base(relativeBase(baseIsFolder));
    const wchar_t* rest = relative;
    while (rest[0] == L'.' && rest[1] == L'.' && (rest[2] == L'\\' || rest[2] == L'/')) {
        rest += 3;
        // Drop the last component of the base (which ends in "\"); never climb
        // above its first component.
        uint32_t end = base->length();
        if (end != 0) {
            --end;
        }
        uint32_t cut = 0;
        if (base->lastIndexOf(L'\\', end, &cut)) {
            base->setLength(cut + 1);
        }
    }
    scratch_->assign(base.get())->append(rest);
    return scratch_->c_str();
}

const wchar_t* PathWin::getVolumeRoot() {
    if (volumeRoot_->length() != 0 || !valid_) {
        return volumeRoot_->c_str();
    }
    if (drive_->length() != 0) {
        volumeRoot_->assign(drive_)->appendChar(L'\\');
        return volumeRoot_->c_str();
    }
    const int32_t drive = driveAt(full_->c_str(), full_->length());
    if (drive > 0) {
        volumeRoot_->appendUnits(full_->c_str(), drive + 2)->appendChar(L'\\');
        return volumeRoot_->c_str();
    }
    // "\\server\share\" ends at the fourth separator, "\\?\UNC\server\share\" at the sixth.
    const uint32_t rootSeparators = serverAt(full_->c_str(), full_->length()) == 8 ? 6 : 4;
    if (exists() && isDirectory()) {
        volumeRoot_->assign(full_)->appendChar(L'\\');
    } else {
        volumeRoot_->assign(folder_);
    }
    uint32_t separators = 0;
    for (uint32_t i = 0; i < volumeRoot_->length(); ++i) {
        if (volumeRoot_->charAt(i) == L'\\' && ++separators == rootSeparators) {
            volumeRoot_->setLength(i + 1);
            break;
        }
    }
    return volumeRoot_->c_str();
}

uint32_t PathWin::streamColon() const {
    uint32_t at = 0;
    const int32_t drive = driveAt(full_->c_str(), full_->length());
    const uint32_t from = drive >= 0 ? static_cast<uint32_t>(drive) + 2 : 0;
    return stream_ && full_->indexOf(L':', from, &at) ? at : 0;
}

void PathWin::loadFileInfo() {
    if (statLoaded_) {
        return;
    }
    statLoaded_ = true;
    size_ = 0;
    accessTime_ = modificationTime_ = creationTime_ = 0;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (valid_ && GetFileAttributesExW(getApiText(), GetFileExInfoStandard, &data)) {
        size_ = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        creationTime_ = toSeconds(data.ftCreationTime);
        accessTime_ = toSeconds(data.ftLastAccessTime);
        modificationTime_ = toSeconds(data.ftLastWriteTime);
    }
}

int64_t PathWin::getSize(bool sumFolder, bool recurse, uint32_t* fileCount, uint32_t* folderCount,
                         bool includeFiles) {
    if (stream_) {
        if (streamSize_ >= 0) {
            return streamSize_;
        }
        Held<StrBuffer> baseText(full_->substring(0, streamColon()));
        Held<PathWin> base(create(baseText->c_str()));
        Held<ArrayP> streams(base ? StreamLister::list(base.get(), nullptr) : nullptr);
        for (uint32_t i = 0; streams && i < streams->count(); ++i) {
            PathWin* stream = static_cast<PathWin*>(streams->get(i));
            if (equalNoCase(stream->getText(), getText())) {
                streamSize_ = stream->streamSize_;
                return streamSize_;
            }
        }
        return 0;
    }
    if (!(sumFolder && exists() && isDirectory())) {
        loadFileInfo();
        return size_;
    }
    int64_t total = 0;
    walkFolder(this, [&](const WIN32_FIND_DATAW& entry) {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            return true;
        }
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (recurse) {
                Held<PathWin> child(createJoined(getText(), entry.cFileName));
                if (child) {
                    total += child->getSize(true, true, fileCount, folderCount, true);
                }
                if (folderCount != nullptr) {
                    ++*folderCount;
                }
            }
        } else if (includeFiles) {
            total += static_cast<int64_t>((static_cast<uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow);
            if (fileCount != nullptr) {
                ++*fileCount;
            }
        }
        return true;
    });
    return total;
}

int64_t PathWin::getSizeOnDisk() {
    if (sizeOnDisk_ >= 0) {
        return sizeOnDisk_;
    }
    const int64_t size = getSize(false, true, nullptr, nullptr, true);
    if (size <= 0) {
        sizeOnDisk_ = 0;
        return 0;
    }
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD clusters = 0;
    if (!GetDiskFreeSpaceW(getVolumeRoot(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) {
        return size;  // not cached: the volume may answer later
    }
    int64_t unit = bytesPerSector < 512 ? 512 : bytesPerSector;
    const int64_t cluster = static_cast<int64_t>(sectorsPerCluster) * bytesPerSector;
    if (cluster > unit) {
        unit = cluster;
    }
    sizeOnDisk_ = (size + unit - 1) / unit * unit;
    return sizeOnDisk_;
}

int64_t PathWin::getCreationTime(bool refresh) {
    if (stream_) {
        return 0;
    }
    if (refresh) {
        statLoaded_ = false;
    }
    loadFileInfo();
    return creationTime_;
}

int64_t PathWin::getAccessTime(bool refresh) {
    if (stream_) {
        return 0;
    }
    if (refresh) {
        statLoaded_ = false;
    }
    loadFileInfo();
    return accessTime_;
}

int64_t PathWin::getModificationTime(bool refresh) {
    if (stream_) {
        return 0;
    }
    if (refresh) {
        statLoaded_ = false;
    }
    loadFileInfo();
    return modificationTime_;
}

// ---------------------------------------------------------------------------------
// Attribute and time setters

bool PathWin::setTimes(int64_t created, int64_t modified, int64_t accessed, bool forNormal, bool forReadOnly,
                       bool forHidden, bool forSystem, bool recurse) {
    if (!exists()) {
        return false;
    }
    const uint32_t saved = getAttributes();
    const bool wanted = (saved & FILE_ATTRIBUTE_SYSTEM)     ? forSystem
                        : (saved & FILE_ATTRIBUTE_HIDDEN)   ? forHidden
                        : (saved & FILE_ATTRIBUTE_READONLY) ? forReadOnly
                                                            : forNormal;
    if (!wanted) {
        return true;
    }
    bool ok = true;
    if (recurse && (saved & FILE_ATTRIBUTE_DIRECTORY)) {
        walkFolder(this, [&](const WIN32_FIND_DATAW& entry) {
            Held<PathWin> child(createJoined(getText(), entry.cFileName));
            if (child && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                ok = child->setTimes(created, modified, accessed, forNormal, forReadOnly, forHidden, forSystem,
                                     true) && ok;
            }
            return true;
        });
    }
    SetFileAttributesW(getApiText(), FILE_ATTRIBUTE_NORMAL);
    HANDLE h = CreateFileW(getApiText(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        ok = false;
    } else {
        FILETIME times[3];
        const int64_t seconds[3] = {created, accessed, modified};
        FILETIME* given[3] = {nullptr, nullptr, nullptr};
        for (int i = 0; i < 3; ++i) {
            if (seconds[i] >= 0) {
                times[i] = time::secondsToFileTime(seconds[i]);
                given[i] = &times[i];
            }
        }
        ok = SetFileTime(h, given[0], given[1], given[2]) && ok;
        CloseHandle(h);
    }
    SetFileAttributesW(getApiText(), settable(saved));
    statLoaded_ = false;
    return ok;
}

bool PathWin::setReadable(bool flag) {
    (void)flag;  // files cannot be made unreadable; only the write state is kept
    return setWritable(canWrite());
}

bool PathWin::setWritable(bool flag) {
    if (!valid_) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(getApiText());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    const DWORD wanted = flag ? attributes & ~FILE_ATTRIBUTE_READONLY : attributes | FILE_ATTRIBUTE_READONLY;
    if (!SetFileAttributesW(getApiText(), settable(wanted))) {
        return false;
    }
    if (attributesLoaded_) {
        attributes_ = wanted;
    }
    return true;
}

} // namespace s::file::win
