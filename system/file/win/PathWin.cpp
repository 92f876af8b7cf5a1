#include "system/file/win/PathWin.h"

#include "system/file/win/PathWinShared.h"

namespace s::file::win {

using namespace pathwin;

namespace {

// Calls fn(part, length) for each part of the path between backslashes; whether one answered true.
template <class Fn>
bool anyPart(const wchar_t* text, uint32_t length, Fn&& fn) {
    for (uint32_t start = 0, i = 0; i <= length; ++i) {
        if (i == length || text[i] == L'\\') {
            if (fn(text + start, i - start)) {
                return true;
            }
            start = i + 1;
        }
    }
    return false;
}

bool isDotPart(const wchar_t* part, uint32_t n) {
    return (n == 1 || n == 2) && part[0] == L'.' && part[n - 1] == L'.';
}

// Whether a part of the path is "." or "..".
bool hasDotPart(const wchar_t* text, uint32_t length) {
    return anyPart(text, length, isDotPart);
}

// Whether a name in the path ends in a dot or a blank ("end.wav.", "sp.wav "), which
// only the "\\?\" form names exactly; "." and ".." are no names.
bool hasNameEndingInDotOrBlank(const wchar_t* text, uint32_t length) {
    return anyPart(text, length, [](const wchar_t* part, uint32_t n) {
        return n != 0 && !isDotPart(part, n) && (part[n - 1] == L'.' || part[n - 1] == L' ');
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

} // namespace s::file::win
