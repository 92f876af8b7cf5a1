#include "system/file/win/PathWin.h"

#include <ntsecapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <atomic>
#include <cwchar>

#include "core/thread/Held.h"
#include "core/col/_array/ArrayP.h"
#include "core/col/_array/ArrayU08.h"
#include "core/comp/MergeSort.h"
#include "core/io/StreamCopy.h"
#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "system/file/win/ListingFilter.h"
#include "system/file/win/ShellLink.h"
#include "system/file/win/StreamLister.h"
#include "system/time/Clock.h"

namespace s::file::win {

using col::_array::ArrayP;
using col::_array::ArrayU08;
using str::strarray::StrArray;
using str::strbuffer::StrBuffer;

namespace {

using s::thread::Held;

StrBuffer* prepared(StrBuffer* out, bool append) {
    if (out == nullptr) {
        return StrBuffer::pool();
    }
    if (!append) {
        out->clear();
    }
    return out;
}

void notifyShell(LONG event, const wchar_t* text) {
    SHChangeNotify(event, SHCNF_PATHW | SHCNF_FLUSH, text, nullptr);
}

bool isDots(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// Calls fn(entry) for every entry the pattern finds, "." and ".." left out, while fn
// answers true. False when the pattern finds nothing (or the folder cannot be read).
template <class Fn>
bool walk(const wchar_t* pattern, Fn&& fn) {
    WIN32_FIND_DATAW entry;
    HANDLE h = FindFirstFileW(pattern, &entry);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    do {
        if (!isDots(entry.cFileName) && !fn(entry)) {
            break;
        }
    } while (FindNextFileW(h, &entry));
    FindClose(h);
    return true;
}

// Walks the entries of a folder path.
template <class Fn>
bool walkFolder(const PathWin* folder, Fn&& fn) {
    Held<StrBuffer> pattern(StrBuffer::fromConcat(folder->getApiText(), L"\\*"));
    return pattern && walk(pattern->c_str(), fn);
}

// The attribute bits SetFileAttributesW takes.
DWORD settable(DWORD attributes) {
    const DWORD bits = attributes &
                       (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    return bits != 0 ? bits : FILE_ATTRIBUTE_NORMAL;
}

int64_t toSeconds(const FILETIME& time) {
    const uint64_t units = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return (static_cast<int64_t>(units) - time::FILETIME_1970) / 10000000;
}

bool equalNoCase(const wchar_t* a, const wchar_t* b) {
    return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

// The absolute, normalised form of a path text (the text itself when the system
// cannot make one).
StrBuffer* absoluteOf(const wchar_t* text) {
    StrBuffer* out = StrBuffer::pool();
    if (out == nullptr) {
        return nullptr;
    }
    const DWORD need = GetFullPathNameW(text, 0, nullptr, nullptr);
    if (need != 0 && out->reserveExact(need + 1)) {
        const DWORD n = GetFullPathNameW(text, need + 1, out->data(), nullptr);
        if (n != 0 && n <= need) {
            out->setLength(n);
            return out;
        }
    }
    return out->assign(text);
}

// Whether a part of the path is "." or "..".
bool hasDotPart(const wchar_t* text, uint32_t length) {
    for (uint32_t start = 0, i = 0; i <= length; ++i) {
        if (i == length || text[i] == L'\\') {
            const uint32_t n = i - start;
            if ((n == 1 || n == 2) && text[start] == L'.' && text[i - 1] == L'.') {
                return true;
            }
            start = i + 1;
        }
    }
    return false;
}

// Whether a name in the path ends in a dot or a blank ("end.wav.", "sp.wav "), which
// only the "\\?\" form names exactly; "." and ".." are no names.
bool hasNameEndingInDotOrBlank(const wchar_t* text, uint32_t length) {
    for (uint32_t start = 0, i = 0; i <= length; ++i) {
        if (i == length || text[i] == L'\\') {
            const uint32_t n = i - start;
            const bool dotPart = (n == 1 || n == 2) && text[start] == L'.' && text[i - 1] == L'.';
            if (n != 0 && !dotPart && (text[i - 1] == L'.' || text[i - 1] == L' ')) {
                return true;
            }
            start = i + 1;
        }
    }
    return false;
}

// "\\?\" and "\\.\" hand the rest to the system as it stands: the drive or the
// "UNC\server\share" follows them. The prefix length (4, or 3 for the bare prefix), else 0.
uint32_t prefixLength(const wchar_t* text, size_t length) {
    if (length < 3 || text[0] != L'\\' || text[1] != L'\\' || (text[2] != L'?' && text[2] != L'.')) {
        return 0;
    }
    return length == 3 ? 3 : (text[3] == L'\\' ? 4 : 0);
}

// Where the drive letter of "X:" or "\\?\X:" stands; -1 without one.
int32_t driveAt(const wchar_t* text, size_t length) {
    const uint32_t at = prefixLength(text, length);
    return length >= at + 2 && text[at + 1] == L':' ? static_cast<int32_t>(at) : -1;
}

// Where the server name of "\\server" or "\\?\UNC\server" starts; 0 when not a share.
uint32_t serverAt(const wchar_t* text, size_t length) {
    const uint32_t prefix = prefixLength(text, length);
    if (prefix == 0) {
        return length > 2 && text[0] == L'\\' && text[1] == L'\\' && text[2] != L'\\' ? 2 : 0;
    }
    return prefix == 4 && length > 8 && _wcsnicmp(text + 4, L"UNC\\", 4) == 0 && text[8] != L'\\' ? 8 : 0;
}

int32_t compareNames(const void* a, const void* b, void*) {
    return static_cast<const StrBuffer*>(a)->compareTo(static_cast<const StrBuffer*>(b));
}

// A random number from the system's source. The C runtime keeps its state per thread,
// so its numbers repeat from run to run on every thread it was not seeded on.
uint32_t randomNumber() {
    uint32_t value = 0;
    if (RtlGenRandom(&value, sizeof(value))) {
        return value;
    }
    static std::atomic<uint32_t> calls{0};
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<uint32_t>(now.QuadPart) * 2654435761u ^ GetCurrentThreadId() * 40503u ^ ++calls;
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

// Adds the entries of folder of the given kind to add(PathWin*) (which takes them),
// descending into folders when recursive.
template <class Add>
void collect(PathWin* folder, int kind, bool includeAll, bool recursive, Add& add) {
    ListingFilter filter(folder, includeAll);
    walkFolder(folder, [&](const WIN32_FIND_DATAW& entry) {
        if (!filter.passes(entry)) {
            return true;
        }
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        PathWin* child = PathWin::createJoined(folder->getText(), entry.cFileName);
        if (child == nullptr) {
            return true;
        }
        const bool wanted = kind == PathWin::ALL || (kind == PathWin::FOLDERS) == isFolder;
        if (isFolder && recursive) {
            if (wanted) {
                if (add(child)) {
                    collect(child, kind, includeAll, true, add);
                } else {
                    child->release();
                }
            } else {
                collect(child, kind, includeAll, true, add);
                child->release();
            }
        } else if (!wanted || !add(child)) {
            child->release();
        }
        return true;
    });
}

} // namespace

// ---------------------------------------------------------------------------------
// Life cycle and text model

PathWin::PathWin()
    : scratch_(StrBuffer::pool()),
      given_(StrBuffer::pool()),
      drive_(StrBuffer::pool()),
      volumeRoot_(StrBuffer::pool()),
      folder_(StrBuffer::pool()),
      longForm_(StrBuffer::pool()),
      size_(0),
      accessTime_(0),
      modificationTime_(0),
      creationTime_(0),
      sizeOnDisk_(-1),
      statLoaded_(false),
      valid_(false),
      stream_(false),
      streamSize_(-1),
      attributesLoaded_(false),
      attributes_(0),
      fileSystem_(-1),
      extension_(StrBuffer::pool()),
      full_(StrBuffer::pool()),
      title_(StrBuffer::pool()) {}

PathWin::~PathWin() {
    StrBuffer* texts[] = {scratch_, given_, drive_, volumeRoot_, folder_, longForm_, extension_, full_, title_};
    for (StrBuffer* text : texts) {
        if (text != nullptr) {
            text->release();
        }
    }
}

PathWin* PathWin::create(const wchar_t* text) {
    PathWin* path = pool();
    if (path != nullptr) {
        path->setText(text);
    }
    return path;
}

PathWin* PathWin::createConcat(const wchar_t* a, const wchar_t* b) {
    Held<StrBuffer> text(StrBuffer::fromConcat(a, b));
    return text ? create(text->c_str()) : nullptr;
}

PathWin* PathWin::createJoined(const wchar_t* folder, const wchar_t* name) {
    Held<StrBuffer> text(StrBuffer::joinPath(folder, name));
    return text ? create(text->c_str()) : nullptr;
}

PathWin* PathWin::createShortcutPath(const wchar_t* folder, const wchar_t* name) {
    Held<StrBuffer> text(StrBuffer::shortcutPath(folder, name));
    return text ? create(text->c_str()) : nullptr;
}

PathWin* PathWin::copy() const {
    return create(full_->c_str());
}

void PathWin::reset() {
    clear();
    StrBuffer* texts[] = {scratch_, given_, drive_, volumeRoot_, folder_, longForm_, extension_, full_, title_};
    for (StrBuffer* text : texts) {
        text->freeStorage();  // idle paths hold no memory
    }
}

void PathWin::clear() {
    StrBuffer* texts[] = {scratch_, given_, drive_, volumeRoot_, folder_, longForm_, extension_, full_, title_};
    for (StrBuffer* text : texts) {
        text->clear();
    }
    size_ = 0;
    accessTime_ = 0;
    modificationTime_ = 0;
    creationTime_ = 0;
    sizeOnDisk_ = -1;
    statLoaded_ = false;
    valid_ = false;
    stream_ = false;
    streamSize_ = -1;
    attributesLoaded_ = false;
    attributes_ = 0;
    fileSystem_ = -1;
}

void PathWin::setText(const wchar_t* text) {
    clear();
    given_->assign(text);
    parse();
}

void PathWin::setFrom(const StrBuffer* text) {
    clear();
    if (text != nullptr) {
        given_->assign(text);
    }
    parse();
}

void PathWin::parse() {
    const uint32_t n = given_->length();
    if (n == 0) {
        return;
    }
    valid_ = true;
    // "/" becomes "\", runs of separators become one (a leading "\\" of a UNC path
    // stays), trailing separators go.
    const wchar_t* given = given_->c_str();
    if (!full_->reserveExact(n)) {
        valid_ = false;
        return;
    }
    wchar_t* out = full_->data();
    uint32_t length = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const wchar_t c = given[i] == L'/' ? L'\\' : given[i];
        if (c == L'\\' && length != 0 && out[length - 1] == L'\\' && !(length == 1 && i == 1)) {
            continue;
        }
        out[length++] = c;
    }
    while (length != 0 && out[length - 1] == L'\\') {
        --length;
    }
    full_->setLength(length);

    // Drive, folder (with its separators), title and extension.
    const wchar_t* full = full_->c_str();
    uint32_t rest = 0;
    if (length >= 2 && full[1] == L':') {
        drive_->appendUnits(full, 2);
        rest = 2;
    }
    uint32_t nameStart = rest;
    uint32_t at = 0;
    if (full_->lastIndexOf(L'\\', StrBuffer::END, &at) && at >= rest) {
        folder_->appendUnits(full + rest, static_cast<int32_t>(at + 1 - rest));
        nameStart = at + 1;
    }
    uint32_t dot = length;
    for (uint32_t i = length; i > nameStart; --i) {
        if (full[i - 1] == L'.') {
            dot = i - 1;
            break;
        }
    }
    title_->appendUnits(full + nameStart, static_cast<int32_t>(dot - nameStart));
    extension_->appendUnits(full + dot, static_cast<int32_t>(length - dot));
    // A colon in the name opens a stream, unless it is the drive's ("\\?\X:").
    const int32_t drive = driveAt(full, length);
    const uint32_t driveColon = drive >= 0 ? static_cast<uint32_t>(drive) + 1 : UINT32_MAX;
    stream_ = false;
    for (uint32_t i = nameStart; i < length && !stream_; ++i) {
        stream_ = full[i] == L':' && i != driveColon;
    }
    buildLongForm();
}

void PathWin::buildLongForm() {
    const uint32_t length = full_->length();
    const wchar_t* full = full_->c_str();
    const bool exactNames = hasNameEndingInDotOrBlank(full, length);
    if (length < LONG_FORM_FROM && !exactNames) {
        return;
    }
    if (full_->startsWith(L"\\\\?\\") || full_->startsWith(L"\\\\.\\")) {
        return;  // already a form the system takes as it stands
    }
    // Only absolute paths have a long form: "\\?\" turns off the system's own
    // normalising, so the text is made absolute and normal first.
    const bool drivePath = length >= 3 && full[1] == L':' && full[2] == L'\\';
    if (!drivePath && !isUnc()) {
        return;
    }
    // The system's normalising drops a name's trailing dots and blanks, which would name
    // another file: such a path is taken as it stands unless it has "." or ".." parts.
    Held<StrBuffer> absolute(exactNames && !hasDotPart(full, length) ? StrBuffer::fromText(full) : absoluteOf(full));
    if (!absolute || absolute->startsWith(L"\\\\?\\") || absolute->startsWith(L"\\\\.\\")) {
        return;
    }
    if (absolute->startsWith(L"\\\\")) {
        longForm_->assign(L"\\\\?\\UNC\\")->appendUnits(absolute->c_str() + 2, static_cast<int32_t>(absolute->length() - 2));
    } else {
        longForm_->assign(L"\\\\?\\")->append(absolute.get());
    }
}

const wchar_t* PathWin::getText() const {
    return full_->c_str();
}

const wchar_t* PathWin::getApiText() const {
    return longForm_->length() != 0 ? longForm_->c_str() : full_->c_str();
}

uint32_t PathWin::getLength() const {
    return full_->length();
}

const wchar_t* PathWin::getExtensionText() const {
    return extension_->c_str();
}

bool PathWin::hasExtension(const wchar_t* ext) const {
    return ext != nullptr && _wcsicmp(extension_->c_str(), ext) == 0;
}

bool PathWin::fullEndsWith(const wchar_t* ext) const {
    return full_->endsWithIgnoreCase(ext);
}

StrBuffer* PathWin::debugText(StrBuffer* out, bool append) {
    out = prepared(out, append);
    if (out == nullptr) {
        return nullptr;
    }
    out->append(L"Original String: ")->append(given_)->append(L"\r\n");
    out->append(L"Drive: ")->append(drive_)->append(L"\r\n");
    out->append(L"Dir: ")->append(folder_)->append(L"\r\n");
    out->append(L"FileTitle: ")->append(title_)->append(L"\r\n");
    out->append(L"Ext: ")->append(extension_)->append(L"\r\n");
    out->append(L"FullPath: ")->append(full_)->append(L"\r\n");
    return out;
}

// ---------------------------------------------------------------------------------
// IObject

int32_t PathWin::compareTo(const base::IObject* other, const base::IComparator* comparator) const {
    if (comparator != nullptr || !base::isClass<PathWin>(other)) {
        return IComparable::compareTo(other, comparator);
    }
    return full_->compareTo(static_cast<const PathWin*>(other)->full_);
}

int32_t PathWin::compareToIgnoreCase(const base::IObject* other, const base::IComparator* comparator) const {
    if (comparator != nullptr || !base::isClass<PathWin>(other)) {
        return IComparable::compareToIgnoreCase(other, comparator);
    }
    return full_->compareToIgnoreCase(static_cast<const PathWin*>(other)->full_);
}

bool PathWin::equals(const base::IObject* other, const base::IComparator* comparator) const {
    if (comparator != nullptr || !base::isClass<PathWin>(other)) {
        return IComparable::equals(other, comparator);
    }
    return full_->equals(static_cast<const PathWin*>(other)->full_);
}

bool PathWin::equalsIgnoreCase(const base::IObject* other, const base::IComparator* comparator) const {
    if (comparator != nullptr || !base::isClass<PathWin>(other)) {
        return IComparable::equalsIgnoreCase(other, comparator);
    }
    return full_->equalsIgnoreCase(static_cast<const PathWin*>(other)->full_);
}

uint32_t PathWin::hashCode() const {
    return full_->hashCode();
}

uint32_t PathWin::hashCodeIgnoreCase() const {
    return full_->hashCodeIgnoreCase();
}

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

// ---------------------------------------------------------------------------------
// Texts

StrBuffer* PathWin::getFullText(StrBuffer* buffer, bool append) {
    buffer = prepared(buffer, append);
    return buffer != nullptr ? buffer->append(full_) : nullptr;
}

StrBuffer* PathWin::getAsFolder(StrBuffer* buffer, bool append) {
    buffer = prepared(buffer, append);
    return buffer != nullptr ? buffer->append(full_)->appendChar(L'\\') : nullptr;
}

const wchar_t* PathWin::getAsFolder() {
    return getAsFolder(scratch_, false)->c_str();
}

StrBuffer* PathWin::getFolder(StrBuffer* buffer, bool append) {
    buffer = prepared(buffer, append);
    if (buffer == nullptr) {
        return nullptr;
    }
    const uint32_t start = buffer->length();
    buffer->append(drive_)->append(folder_);
    // A bare name has no folder: "" stays "", not the root "\".
    if (buffer->length() != start && buffer->charAt(buffer->length() - 1) != L'\\') {
        buffer->appendChar(L'\\');
    }
    return buffer;
}

const wchar_t* PathWin::getFolder() {
    return getFolder(scratch_, false)->c_str();
}

StrBuffer* PathWin::getFolderNoSlash(StrBuffer* buffer, bool append) {
    buffer = prepared(buffer, append);
    if (buffer == nullptr) {
        return nullptr;
    }
    const uint32_t start = buffer->length();
    buffer->append(drive_)->append(folder_);
    while (buffer->length() > start && buffer->charAt(buffer->length() - 1) == L'\\') {
        buffer->setLength(buffer->length() - 1);
    }
    return buffer;
}

const wchar_t* PathWin::getFolderNoSlash() {
    return getFolderNoSlash(scratch_, false)->c_str();
}

StrBuffer* PathWin::getName(StrBuffer* buffer, bool append) {
    buffer = prepared(buffer, append);
    return buffer != nullptr ? buffer->append(title_)->append(extension_) : nullptr;
}

const wchar_t* PathWin::getName() {
    return getName(scratch_, false)->c_str();
}

StrBuffer* PathWin::getTitle(StrBuffer* buffer, bool append) {
    buffer = prepared(buffer, append);
    return buffer != nullptr ? buffer->append(title_) : nullptr;
}

const wchar_t* PathWin::getTitle() {
    return getTitle(scratch_, false)->c_str();
}

StrBuffer* PathWin::getExtension(StrBuffer* buffer, bool append) {
    buffer = prepared(buffer, append);
    return buffer != nullptr ? buffer->append(extension_) : nullptr;
}

const wchar_t* PathWin::getExtension() {
    return getExtension(scratch_, false)->c_str();
}

StrBuffer* PathWin::getExtensionNoDot(StrBuffer* buffer, bool append) {
    buffer = prepared(buffer, append);
    if (buffer != nullptr && extension_->length() > 1) {
        buffer->appendUnits(extension_->c_str() + 1, static_cast<int32_t>(extension_->length() - 1));
    }
    return buffer;
}

const wchar_t* PathWin::getExtensionNoDot() {
    return getExtensionNoDot(scratch_, false)->c_str();
}

StrBuffer* PathWin::getTypeName(StrBuffer* buffer, bool append) {
    buffer = prepared(buffer, append);
    if (buffer == nullptr || !valid_) {
        return buffer;
    }
    const bool present = exists();
    SHFILEINFOW info = {};
    const DWORD attributes = present && isDirectory() ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    if (SHGetFileInfoW(present ? getText() : extension_->c_str(), attributes, &info, sizeof(info),
                       SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES)) {
        buffer->append(info.szTypeName);
    }
    return buffer;
}

const wchar_t* PathWin::getTypeName() {
    return getTypeName(scratch_, false)->c_str();
}

StrBuffer* PathWin::getSizeText(StrBuffer* buffer, bool append) {
    buffer = prepared(buffer, append);
    if (buffer == nullptr || (exists() && isDirectory())) {
        return buffer;
    }
    wchar_t text[64] = {};
    if (StrFormatByteSizeW(getSize(false, true, nullptr, nullptr, true), text, 64) != nullptr) {
        buffer->append(text);
    }
    return buffer;
}

const wchar_t* PathWin::getSizeText() {
    return getSizeText(scratch_, false)->c_str();
}

// ---------------------------------------------------------------------------------
// Derived paths

PathWin* PathWin::child(const wchar_t* name) {
    return createJoined(getText(), name);
}

PathWin* PathWin::withExtension(const wchar_t* ext) {
    Held<StrBuffer> text(getFolder(nullptr, false));
    if (!text) {
        return nullptr;
    }
    text->append(title_)->append(ext);
    return create(text->c_str());
}

PathWin* PathWin::insertBeforeExtension(const wchar_t* insert) {
    Held<StrBuffer> text(getFolder(nullptr, false));
    if (!text) {
        return nullptr;
    }
    if (exists() && isDirectory()) {
        text->append(title_)->append(extension_)->append(insert);
    } else {
        text->append(title_)->append(insert)->append(extension_);
    }
    return create(text->c_str());
}

PathWin* PathWin::numberedName(bool bracketed) {
    Held<PathWin> same(copy());
    if (!same || !same->exists()) {
        return same.take();
    }
    const bool folder = isDirectory();
    Held<StrBuffer> candidate(getFolder(nullptr, false));
    if (!candidate) {
        return nullptr;
    }
    candidate->append(title_);
    if (folder) {
        candidate->append(extension_);
    }
    const uint32_t stem = candidate->length();
    for (uint32_t n = 1; n != 0; ++n) {
        candidate->setLength(stem);
        if (bracketed) {
            candidate->append(L" (")->appendUInt32(n)->appendChar(L')');
        } else {
            candidate->appendUInt32(n);
        }
        if (!folder) {
            candidate->append(extension_);
        }
        PathWin* path = create(candidate->c_str());
        if (path == nullptr || !path->exists()) {
            return path;
        }
        path->release();
    }
    return nullptr;
}

PathWin* PathWin::uniqueName() {
    return numberedName(true);
}

PathWin* PathWin::uniqueNumberedName() {
    return numberedName(false);
}

PathWin* PathWin::parent() {
    Held<StrBuffer> folder(getFolder(nullptr, false));
    return folder ? create(folder->c_str()) : nullptr;
}

PathWin* PathWin::getParentOrNull() {
    if (isDriveRoot()) {
        return nullptr;
    }
    Held<PathWin> up(parent());
    return up && up->isValid() ? up.take() : nullptr;
}

// ---------------------------------------------------------------------------------
// Listings

PathWin* PathWin::siblingFile(bool forward, const StrArray* extensions, bool sorted, bool wrap) {
    Held<PathWin> up(parent());
    if (!up) {
        return nullptr;
    }
    Held<StrArray> names(up->listNames(false, false));
    Held<ArrayP> order(ArrayP::pool());  // the names, not owned
    if (!names || !order) {
        return nullptr;
    }
    for (uint32_t i = 0; i < names->count(); ++i) {
        StrBuffer* name = names->get(i);
        bool kept = extensions == nullptr;
        for (uint32_t e = 0; !kept && e < extensions->count(); ++e) {
            kept = name->endsWithIgnoreCase(extensions->get(e)->c_str());
        }
        if (kept) {
            order->add(name);
        }
    }
    const uint32_t count = order->count();
    if (count < 2) {
        return nullptr;
    }
    if (sorted) {
        comp::sortPointers(order->slots(), count, &compareNames, nullptr);
    }
    Held<StrBuffer> own(getName(nullptr, false));
    uint32_t index = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (static_cast<StrBuffer*>(order->get(i))->equalsIgnoreCase(own.get())) {
            index = i;
            break;
        }
    }
    if (forward) {
        index = index + 1 < count ? index + 1 : (wrap ? 0 : count);
    } else {
        index = index > 0 ? index - 1 : (wrap ? count - 1 : count);
    }
    if (index == count) {
        return nullptr;
    }
    return up->child(static_cast<StrBuffer*>(order->get(index))->c_str());
}

bool PathWin::hasChildren(bool includeAll) {
    ListingFilter filter(this, includeAll);
    bool found = false;
    walkFolder(this, [&](const WIN32_FIND_DATAW& entry) {
        found = filter.passes(entry);
        return !found;
    });
    return found;
}

StrArray* PathWin::listNamesOf(int kind, bool fullPaths, bool includeAll) {
    StrArray* names = StrArray::pool();
    if (names == nullptr) {
        return nullptr;
    }
    ListingFilter filter(this, includeAll);
    walkFolder(this, [&](const WIN32_FIND_DATAW& entry) {
        if (!filter.passes(entry)) {
            return true;
        }
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (kind != ALL && (kind == FOLDERS) != isFolder) {
            return true;
        }
        if (fullPaths) {
            names->addOwned(StrBuffer::joinPath(getText(), entry.cFileName));
        } else {
            names->add(entry.cFileName);
        }
        return true;
    });
    return names;
}

StrArray* PathWin::listNames(bool fullPaths, bool includeAll) {
    return listNamesOf(ALL, fullPaths, includeAll);
}

StrArray* PathWin::listFolderNames(bool fullPaths, bool includeAll) {
    return listNamesOf(FOLDERS, fullPaths, includeAll);
}

StrArray* PathWin::listFileNames(bool fullPaths, bool includeAll) {
    return listNamesOf(FILES, fullPaths, includeAll);
}

namespace {

ArrayP* pathList(ArrayP* out) {
    if (out == nullptr) {
        out = ArrayP::pool();
        if (out != nullptr) {
            out->setCleaner(&PathWin::pooler());
        }
    }
    return out;
}

ArrayP* listInto(PathWin* folder, int kind, bool includeAll, bool recursive, ArrayP* out) {
    out = pathList(out);
    if (out != nullptr) {
        auto add = [out](PathWin* path) { return out->add(path); };
        collect(folder, kind, includeAll, recursive, add);
    }
    return out;
}

PathArray* listIntoArray(PathWin* folder, int kind, bool includeAll, bool recursive, IPathArray* list) {
    PathArray* out = list != nullptr ? static_cast<PathArray*>(list) : PathArray::pool();
    if (out != nullptr) {
        auto add = [out](PathWin* path) { return out->add(path); };
        collect(folder, kind, includeAll, recursive, add);
    }
    return out;
}

} // namespace

ArrayP* PathWin::listPaths(bool includeAll, bool recursive, ArrayP* out) {
    return listInto(this, ALL, includeAll, recursive, out);
}

ArrayP* PathWin::listFolderPaths(bool includeAll, bool recursive, ArrayP* out) {
    return listInto(this, FOLDERS, includeAll, recursive, out);
}

ArrayP* PathWin::listFilePaths(bool includeAll, bool recursive, ArrayP* out) {
    return listInto(this, FILES, includeAll, recursive, out);
}

PathArray* PathWin::listPathsInto(bool includeAll, bool recursive, IPathArray* list) {
    return listIntoArray(this, ALL, includeAll, recursive, list);
}

PathArray* PathWin::listFolderPathsInto(bool includeAll, bool recursive, IPathArray* list) {
    return listIntoArray(this, FOLDERS, includeAll, recursive, list);
}

PathArray* PathWin::listFilePathsInto(bool includeAll, bool recursive, IPathArray* list) {
    return listIntoArray(this, FILES, includeAll, recursive, list);
}

ArrayP* PathWin::listStreams(ArrayP* out) {
    return StreamLister::list(this, out);
}

ArrayP* PathWin::find(bool foldersToo, bool includeAll, bool recursive, ArrayP* out) {
    out = pathList(out);
    if (out == nullptr || !valid_) {
        return out;
    }
    Held<PathWin> folder(parent());
    Held<StrBuffer> folderText(getFolder(nullptr, false));
    Held<StrBuffer> pattern(getName(nullptr, false));
    ListingFilter filter(folder.get(), includeAll);
    walk(getApiText(), [&](const WIN32_FIND_DATAW& entry) {
        if (!filter.passes(entry)) {
            return true;
        }
        if (!foldersToo && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return true;
        }
        PathWin* match = createConcat(folderText->c_str(), entry.cFileName);
        if (match != nullptr && !out->add(match)) {
            match->release();
        }
        return true;
    });
    if (recursive && folder && folder->exists()) {
        Held<StrArray> subfolders(folder->listFolderNames(true, includeAll));
        for (uint32_t i = 0; subfolders && i < subfolders->count(); ++i) {
            Held<PathWin> deeper(createJoined(subfolders->get(i)->c_str(), pattern->c_str()));
            if (deeper) {
                deeper->find(foldersToo, includeAll, true, out);
            }
        }
    }
    return out;
}

ArrayP* PathWin::findFiles(bool includeAll, bool recursive, ArrayP* out) {
    return find(false, includeAll, recursive, out);
}

ArrayP* PathWin::findAll(bool includeAll, bool recursive, ArrayP* out) {
    return find(true, includeAll, recursive, out);
}

// ---------------------------------------------------------------------------------
// Streams and whole files

FileInputStream* PathWin::openInputStream() {
    FileInputStream* stream = FileInputStream::pool();
    if (stream != nullptr && !stream->open(this)) {
        stream->release();
        return nullptr;
    }
    return stream;
}

FileOutputStream* PathWin::openOutputStream(bool append) {
    ensureParentFolder();
    FileOutputStream* stream = FileOutputStream::pool();
    if (stream != nullptr && !stream->open(this, append)) {
        stream->release();
        return nullptr;
    }
    return stream;
}

bool PathWin::readAllBytes(ArrayU08* bytes) {
    if (bytes == nullptr) {
        return false;
    }
    bytes->clear();
    Held<FileInputStream> input(openInputStream());
    if (!input) {
        return false;
    }
    input->seekEnd();
    const int64_t size = input->position();
    input->rewind();
    if (size < 0 || size > 0x7FFFFFFF || input->position() != 0 || !bytes->reserveExact(static_cast<uint32_t>(size))) {
        return false;
    }
    // Straight into the array; a file that grew meanwhile is read to its new end.
    for (;;) {
        if (bytes->count() == bytes->capacity() && !bytes->reserve(bytes->count() + 65536)) {
            return false;
        }
        uint32_t got = 0;
        if (!input->read(bytes->items() + bytes->count(), bytes->capacity() - bytes->count(), got)) {
            return !input->readFailed();
        }
        bytes->setCount(bytes->count() + got);
    }
}

bool PathWin::writeAllBytes(const ArrayU08* bytes, bool append) {
    Held<FileOutputStream> output(openOutputStream(append));
    if (!output) {
        return false;
    }
    const uint32_t count = bytes != nullptr ? bytes->count() : 0;
    // The stream is also an input stream: name the output view, or the read overload wins.
    io::IOutputStream* sink = output.get();
    bool ok = count == 0 || io::transferAll(sink, bytes->items(), count);
    ok = output->flush() && ok;
    return ok;
}

bool PathWin::writeText(const wchar_t* text, bool append) {
    Held<StrBuffer> content(StrBuffer::fromText(text));
    Held<ArrayU08> bytes(content ? content->toUtf8Unterminated(nullptr, false) : nullptr);
    return bytes && writeAllBytes(bytes.get(), append);
}

bool PathWin::replaceAllBytes(const ArrayU08* bytes) {
    if (!valid_ || stream_ || isWholeVolume() || !ensureParentFolder()) {
        return false;
    }
    const DWORD old = GetFileAttributesW(getApiText());
    if (old != INVALID_FILE_ATTRIBUTES && (old & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        return false;
    }
    // Beside the target, so the move stays on its volume and is one step.
    PathWin* temp = nullptr;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 16 && h == INVALID_HANDLE_VALUE; ++attempt) {
        if (temp != nullptr) {
            temp->release();
        }
        const uint32_t tag = randomNumber();
        Held<StrBuffer> name(StrBuffer::fromText(full_->c_str()));
        if (!name) {
            return false;
        }
        name->append(L".")->appendHex(&tag, 1)->append(L".tmp");
        temp = create(name->c_str());
        if (temp == nullptr) {
            return false;
        }
        h = CreateFileW(temp->getApiText(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    bool ok = h != INVALID_HANDLE_VALUE;
    const uint8_t* at = bytes != nullptr ? bytes->items() : nullptr;
    for (uint32_t left = bytes != nullptr ? bytes->count() : 0; ok && left != 0;) {
        DWORD written = 0;
        const DWORD n = left < 1048576u ? left : 1048576u;
        ok = WriteFile(h, at, n, &written, nullptr) && written == n;
        at += n;
        left -= n;
    }
    if (h != INVALID_HANDLE_VALUE) {
        ok = FlushFileBuffers(h) && ok;
        CloseHandle(h);
    }
    // ReplaceFileW keeps the old file's attributes and works while others read it; a
    // file that is not there (any more) is simply moved into place. A reader that
    // does not share deleting holds the old file a moment: try again briefly.
    bool replaced = false;
    for (int attempt = 0; ok && !replaced && attempt < 10; ++attempt) {
        if (attempt != 0) {
            Sleep(20);
        }
        replaced = GetFileAttributesW(getApiText()) != INVALID_FILE_ATTRIBUTES
                       ? ReplaceFileW(getApiText(), temp->getApiText(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                      nullptr, nullptr) != FALSE
                       : MoveFileExW(temp->getApiText(), getApiText(), MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    ok = ok && replaced;
    if (!ok && temp != nullptr) {
        DeleteFileW(temp->getApiText());
    }
    if (temp != nullptr) {
        temp->release();
    }
    attributesLoaded_ = false;
    statLoaded_ = false;
    return ok;
}

bool PathWin::wipeOpenFile(const uint8_t* buffer, uint32_t bufferSize) {
    HANDLE h = CreateFileW(getApiText(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_WRITE_THROUGH | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(h, &size) != FALSE;
    static const uint8_t zeros[65536] = {};
    const uint8_t* pattern = buffer != nullptr && bufferSize != 0 ? buffer : zeros;
    const uint32_t chunk = buffer != nullptr && bufferSize != 0 ? bufferSize : sizeof(zeros);
    for (int64_t left = ok ? size.QuadPart : 0; ok && left > 0;) {
        const DWORD n = left < chunk ? static_cast<DWORD>(left) : chunk;
        DWORD written = 0;
        ok = WriteFile(h, pattern, n, &written, nullptr) && written == n;
        left -= n;
    }
    ok = ok && FlushFileBuffers(h);
    CloseHandle(h);
    return ok;
}

bool PathWin::WipeFileContents(bool ignored, bool restoreAttributes, uint8_t* buffer, uint32_t bufferSize) {
    if (!valid_ || full_->length() <= 3 || isWholeVolume() || !exists()) {
        return false;
    }
    const DWORD saved = GetFileAttributesW(getApiText());
    const bool folder = (saved & FILE_ATTRIBUTE_DIRECTORY) != 0;
    statLoaded_ = false;
    if (!folder && getSize(false, true, nullptr, nullptr, true) <= 0) {
        return true;
    }
    SetFileAttributesW(getApiText(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(getApiText(), FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    bool ok = true;
    // A linked folder's entries live elsewhere: they are not this path's to wipe.
    if (folder && (saved & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        walkFolder(this, [&](const WIN32_FIND_DATAW& entry) {
            Held<PathWin> child(createJoined(getText(), entry.cFileName));
            if (child && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                ok = child->WipeFileContents(ignored, restoreAttributes, buffer, bufferSize) && ok;
            }
            return true;
        });
    }
    if (!stream_ && isNtfs()) {
        Held<ArrayP> streams(listStreams(nullptr));
        for (uint32_t i = 0; streams && i < streams->count(); ++i) {
            ok = static_cast<PathWin*>(streams->get(i))->WipeFileContents(ignored, false, buffer, bufferSize) && ok;
        }
    }
    // Sparse, compressed and encrypted files do not take their bytes in place.
    const DWORD unwipeable = FILE_ATTRIBUTE_SPARSE_FILE | FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_ENCRYPTED;
    if (!folder) {
        ok = ok && (saved & unwipeable) == 0 && wipeOpenFile(buffer, bufferSize);
    }
    if (restoreAttributes) {
        SetFileAttributesW(getApiText(), settable(saved));
    }
    return ok;
}

} // namespace s::file::win
