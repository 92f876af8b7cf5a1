#include "images/archive/dll/win/Archive.h"

#include <cstring>
#include <cwchar>

#include "core/col/_array/ArrayU08.h"
#include "core/io/IOutputStream.h"
#include "core/io/StreamCopy.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "images/archive/dll/win/ResourceText.h"
#include "images/image/bmp/win/Bitmap.h"
#include "system/file/win/PathWin.h"
#include "system/system/win/OsFacts.h"
#include "system/xml/Node.h"
#include "system/xml/Syntax.h"

namespace s::archive::dll::win {

using col::_array::ArrayU08;
using str::strbuffer::StrBuffer;
using s::thread::Held;

namespace {

bool equalNoCase(const wchar_t* a, const wchar_t* b) {
    return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

bool isBlankOrDot(wchar_t c) { return c == L'.' || c == L' '; }

uint16_t readU16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

// Whether the bytes lie in one readable mapping: a resource's size comes from the
// module file and may reach past the module into other memory or none at all.
bool mappedBytes(const void* data, uint32_t size) {
    const uintptr_t start = reinterpret_cast<uintptr_t>(data);
    if (data == nullptr || size > UINTPTR_MAX - start) {
        return false;
    }
    const void* allocation = nullptr;
    for (uintptr_t p = start, end = start + size; p < end;) {
        MEMORY_BASIC_INFORMATION info;
        if (VirtualQuery(reinterpret_cast<const void*>(p), &info, sizeof(info)) == 0 || info.State != MEM_COMMIT ||
            (info.Protect & (PAGE_NOACCESS | PAGE_GUARD)) != 0 ||
            (allocation != nullptr && info.AllocationBase != allocation)) {
            return false;
        }
        allocation = info.AllocationBase;
        p = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
    }
    return true;
}

bool appendU16(ArrayU08* a, uint16_t v) { return a->append(&v, 2); }
bool appendU32(ArrayU08* a, uint32_t v) { return a->append(&v, 4); }

} // namespace

Archive* Archive::openModuleArchive(const wchar_t* path) {
    Archive* archive = pool();
    if (archive == nullptr) {
        return nullptr;
    }
    Held<file::win::PathWin> file(file::win::PathWin::create(path));
    if (file) {
        archive->open(file.get());
    }
    return archive;
}

Archive::Archive() : path_(nullptr), size_(0), module_(nullptr), ownModule_(false), enumFailed_(false) {
    entries_.setCleaner(&Entry::pooler());
}

Archive::~Archive() {
    close();
}

void Archive::reset() {
    close();
}

IEntry* Archive::entryAt(uint32_t index) const {
    return entry(index);
}

Entry* Archive::entry(uint32_t index) const {
    return index < entries_.count() ? static_cast<Entry*>(entries_.get(index)) : nullptr;
}

bool Archive::open(file::IPath* path) {
    close();
    if (path == nullptr || !path->exists()) {
        return false;
    }
    path_ = file::win::PathWin::create(path->getText());
    if (path_ == nullptr) {
        return false;
    }
    size_ = fileSize();
    if (!loadModule() || !enumerate()) {
        close();
        return false;
    }
    return true;
}

void Archive::close() {
    if (path_ != nullptr) {
        path_->release();
        path_ = nullptr;
    }
    freeModule();
    size_ = 0;
    entries_.clear();
}

void Archive::forgetModule() {
    module_ = nullptr;
    ownModule_ = false;
}

bool Archive::loadModule() {
    // The program's own module is already mapped; reading it through its own handle
    // needs no second mapping, and it must never be freed.
    Held<StrBuffer> own(StrBuffer::pool());
    constexpr DWORD OWN_PATH_UNITS = 32768;
    if (own && own->reserveExact(OWN_PATH_UNITS)) {
        const DWORD n = GetModuleFileNameW(nullptr, own->data(), OWN_PATH_UNITS);
        if (n > 0 && n < OWN_PATH_UNITS) {
            own->setLength(n);
            if (equalNoCase(own->c_str(), path_->getText())) {
                module_ = GetModuleHandleW(nullptr);
                ownModule_ = true;
                return module_ != nullptr;
            }
        }
    }
    // A foreign module is mapped as data: loading it normally would run its code.
    ownModule_ = false;
    module_ = LoadLibraryExW(path_->getApiText(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module_ == nullptr) {
        // Systems before Vista know only the data-file flag.
        module_ = LoadLibraryExW(path_->getApiText(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    return module_ != nullptr;
}

void Archive::freeModule() {
    if (module_ != nullptr && !ownModule_) {
        FreeLibrary(module_);
    }
    module_ = nullptr;
    ownModule_ = false;
}

int64_t Archive::fileSize() const {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path_ == nullptr || !GetFileAttributesExW(path_->getApiText(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    return static_cast<int64_t>(static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow);
}

bool Archive::enumerate() {
    enumFailed_ = false;
    if (!EnumResourceTypesW(module_, &Archive::onType, reinterpret_cast<LONG_PTR>(this))) {
        return false;
    }
    return !enumFailed_;
}

BOOL CALLBACK Archive::onType(HMODULE module, LPWSTR type, LONG_PTR self) {
    EnumResourceNamesW(module, type, &Archive::onName, self);
    return TRUE;
}

BOOL CALLBACK Archive::onName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR self) {
    Archive* archive = reinterpret_cast<Archive*>(self);
    if (system::win::OsFacts::isVistaOrLater()) {
        // One entry per type and name; language 0 finds whichever language is there.
        archive->addEntry(type, name, 0, false);
    } else {
        EnumResourceLanguagesW(module, type, name, &Archive::onLanguage, self);
    }
    return TRUE;
}

BOOL CALLBACK Archive::onLanguage(HMODULE, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR self) {
    reinterpret_cast<Archive*>(self)->addEntry(type, name, language, true);
    return TRUE;
}

bool Archive::addEntry(const wchar_t* type, const wchar_t* name, uint16_t language, bool perLanguage) {
    Entry* e = Entry::pool();
    if (e == nullptr) {
        enumFailed_ = true;
        return false;
    }
    e->setTypeResource(type);
    e->setNameResource(name);
    if (perLanguage) {
        e->setLanguageId(language);
    }
    e->setHandle(FindResourceExW(module_, type, name, language));
    e->setSize(e->handle() != nullptr ? SizeofResource(module_, e->handle()) : 0);
    if (!entries_.add(e)) {
        e->release();
        enumFailed_ = true;
        return false;
    }
    return true;
}

bool Archive::readEntry(archive::IEntry* entry, ArrayU08* bytes) {
    if (module_ == nullptr || bytes == nullptr || !base::isClass<Entry>(entry)) {
        return false;
    }
    const Entry* e = static_cast<const Entry*>(entry);
    if (e->handle() == nullptr) {
        return false;
    }
    HGLOBAL loaded = LoadResource(module_, e->handle());
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return false;
    }
    const DWORD size = SizeofResource(module_, e->handle());
    return size == 0 || (mappedBytes(data, size) && bytes->append(data, size));
}

ArrayU08* Archive::readBytes(uint32_t index) {
    Entry* e = entry(index);
    if (e == nullptr) {
        return nullptr;
    }
    ArrayU08* bytes = ArrayU08::pool();
    if (bytes != nullptr && !readEntry(e, bytes)) {
        bytes->release();
        return nullptr;
    }
    return bytes;
}

// Finders.

bool Archive::findByNameText(const wchar_t* name, uint32_t* index) const {
    for (uint32_t i = 0; i < entries_.count(); ++i) {
        const Entry* e = entry(i);
        if (e->isNameText() && std::wcscmp(e->nameText(), name) == 0) {
            if (index != nullptr) *index = i;
            return true;
        }
    }
    return false;
}

bool Archive::findByNameId(uint32_t id, uint32_t* index) const {
    for (uint32_t i = 0; i < entries_.count(); ++i) {
        const Entry* e = entry(i);
        if (e->isNameId() && e->nameId() == id) {
            if (index != nullptr) *index = i;
            return true;
        }
    }
    return false;
}

bool Archive::findByNameTextNoCase(const wchar_t* name, uint32_t* index) const {
    for (uint32_t i = 0; i < entries_.count(); ++i) {
        const Entry* e = entry(i);
        if (e->isNameText() && equalNoCase(e->nameText(), name)) {
            if (index != nullptr) *index = i;
            return true;
        }
    }
    return false;
}

bool Archive::findNthOfKind(uint32_t kind, uint32_t n, uint32_t* index) const {
    for (uint32_t i = 0; i < entries_.count(); ++i) {
        const Entry* e = entry(i);
        if (e->isKind() && e->kind() == kind && n-- == 0) {
            if (index != nullptr) *index = i;
            return true;
        }
    }
    return false;
}

bool Archive::findByTypeTextNameText(const wchar_t* type, const wchar_t* name, uint32_t* index) const {
    for (uint32_t i = 0; i < entries_.count(); ++i) {
        const Entry* e = entry(i);
        if (e->isTypeText() && e->isNameText() && std::wcscmp(e->typeText(), type) == 0 &&
            std::wcscmp(e->nameText(), name) == 0) {
            if (index != nullptr) *index = i;
            return true;
        }
    }
    return false;
}

bool Archive::findByTypeTextNameId(const wchar_t* type, uint32_t id, uint32_t* index) const {
    for (uint32_t i = 0; i < entries_.count(); ++i) {
        const Entry* e = entry(i);
        if (e->isTypeText() && e->isNameId() && e->nameId() == id && std::wcscmp(e->typeText(), type) == 0) {
            if (index != nullptr) *index = i;
            return true;
        }
    }
    return false;
}

bool Archive::findByKindNameText(uint32_t kind, const wchar_t* name, uint32_t* index) const {
    for (uint32_t i = 0; i < entries_.count(); ++i) {
        const Entry* e = entry(i);
        if (e->isKind() && e->kind() == kind && e->isNameText() && std::wcscmp(e->nameText(), name) == 0) {
            if (index != nullptr) *index = i;
            return true;
        }
    }
    return false;
}

bool Archive::findByKindNameId(uint32_t kind, uint32_t id, uint32_t* index) const {
    for (uint32_t i = 0; i < entries_.count(); ++i) {
        const Entry* e = entry(i);
        if (e->isKind() && e->kind() == kind && e->isNameId() && e->nameId() == id) {
            if (index != nullptr) *index = i;
            return true;
        }
    }
    return false;
}

bool Archive::findByTypeTextNameTextNoCase(const wchar_t* type, const wchar_t* name, uint32_t* index) const {
    for (uint32_t i = 0; i < entries_.count(); ++i) {
        const Entry* e = entry(i);
        if (e->isTypeText() && e->isNameText() && equalNoCase(e->typeText(), type) &&
            equalNoCase(e->nameText(), name)) {
            if (index != nullptr) *index = i;
            return true;
        }
    }
    return false;
}

bool Archive::findByKindNameTextNoCase(uint32_t kind, const wchar_t* name, uint32_t* index) const {
    for (uint32_t i = 0; i < entries_.count(); ++i) {
        const Entry* e = entry(i);
        if (e->isKind() && e->kind() == kind && e->isNameText() && equalNoCase(e->nameText(), name)) {
            if (index != nullptr) *index = i;
            return true;
        }
    }
    return false;
}

// Readers.

StrBuffer* Archive::readResource(const wchar_t* type, uint32_t id) {
    uint32_t index;
    const bool found =
        IS_INTRESOURCE(type)
            ? findByKindNameId(Entry::kindOfWindowsType(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(type))),
                               id, &index)
            : findByTypeTextNameId(type, id, &index);
    if (!found) {
        return nullptr;
    }
    StrBuffer* text = StrBuffer::pool();
    if (text == nullptr) {
        return nullptr;
    }
    Held<ArrayU08> bytes(readBytes(index));
    if (bytes && bytes->count() != 0 && bytes->count() <= INT32_MAX) {
        text->fromUtf8(reinterpret_cast<const char*>(bytes->items()), false, static_cast<int32_t>(bytes->count()));
    }
    return text;
}

xml::Node* Archive::readXml(const wchar_t* type, uint32_t id) {
    Held<StrBuffer> text(readResource(type, id));
    return text ? readXmlText(text->c_str(), text->length()) : nullptr;
}

xml::Node* Archive::readXmlText(const wchar_t* text, uint32_t length) {
    xml::Node* root = xml::Node::pool();
    if (root == nullptr) {
        return nullptr;
    }
    // The root element comes after any byte-order mark, declaration and comments.
    const wchar_t* p = text;
    const wchar_t* const end = p + length;
    while ((p = xml::syntax::pastProlog(p, end)) < end) {
        p = root->parse(p, static_cast<int32_t>(end - p));
        if (!root->isComment()) {
            break;
        }
    }
    if (root->isComment()) {
        root->reset();
    }
    return root;
}

// Exports.

void Archive::appendSafeFileName(const wchar_t* name, StrBuffer* out) {
    static const wchar_t* const DEVICES[] = {L"CON",  L"PRN",  L"AUX",  L"NUL",  L"COM1", L"COM2", L"COM3", L"COM4",
                                             L"COM5", L"COM6", L"COM7", L"COM8", L"COM9", L"LPT1", L"LPT2", L"LPT3",
                                             L"LPT4", L"LPT5", L"LPT6", L"LPT7", L"LPT8", L"LPT9"};
    const size_t length = name != nullptr ? std::wcslen(name) : 0;
    if (length == 0) {
        out->appendChar(L'_');
        return;
    }
    // The part before the first dot decides whether Windows takes it for a device.
    size_t base = 0;
    while (base < length && name[base] != L'.') {
        ++base;
    }
    while (base > 0 && name[base - 1] == L' ') {
        --base;
    }
    for (const wchar_t* device : DEVICES) {
        if (base == std::wcslen(device) && CompareStringOrdinal(name, static_cast<int>(base), device, -1, TRUE) == CSTR_EQUAL) {
            out->appendChar(L'_');
            break;
        }
    }
    const uint32_t textStart = out->length();
    for (size_t i = 0; i < length; ++i) {
        const wchar_t c = name[i];
        out->appendChar(c < 0x20 || std::wcschr(L"<>:\"/\\|?*", c) != nullptr ? L'_' : c);
    }
    // Leading and trailing dots and blanks: Windows drops the trailing ones, and a
    // name of dots alone would name a folder above.
    for (uint32_t i = textStart; i < out->length() && isBlankOrDot(out->charAt(i)); ++i) {
        *out->unitAt(i) = L'_';
    }
    for (uint32_t i = out->length(); i > textStart && isBlankOrDot(out->charAt(i - 1)); --i) {
        *out->unitAt(i - 1) = L'_';
    }
}

bool Archive::exportAll(const wchar_t* folder) {
    if (folder == nullptr) {
        return false;
    }
    bool ok = true;
    for (uint32_t i = 0; i < entries_.count(); ++i) {
        if (!exportEntry(i, folder)) {
            ok = false;
        }
    }
    return ok;
}

bool Archive::exportEntry(uint32_t index, const wchar_t* folder) {
    const Entry* e = entry(index);
    const uint32_t kind = e->isKind() ? e->kind() : 0;
    // Cursor and icon images go out only inside their groups.
    if (e->isKind() && (kind == Entry::KIND_CURSOR_IMAGE || kind == Entry::KIND_ICON_IMAGE)) {
        return true;
    }
    Held<StrBuffer> dir(StrBuffer::fromText(folder));
    Held<StrBuffer> scratch(StrBuffer::pool());
    Held<StrBuffer> name(StrBuffer::pool());
    if (!dir || !scratch || !name) {
        return false;
    }
    const wchar_t* typeName = e->isKind() ? Entry::exportNameOfKind(kind, scratch.get()) : e->typeText();
    if (!e->isKind() || typeName[0] != 0) {
        dir->appendChar(L'\\');
        appendSafeFileName(typeName, dir.get());
    }
    Held<file::win::PathWin> dirPath(file::win::PathWin::create(dir->c_str()));
    if (!dirPath || (!dirPath->isDirectory() && !dirPath->makeDirectory(false))) {
        return false;
    }

    if (e->isKind() && kind == Entry::KIND_VERSION) {
        name->append(L"VERSION");
    } else if (e->isNameId()) {
        name->appendUInt32(e->nameId());
    } else {
        appendSafeFileName(e->nameText(), name.get());
    }
    name->append(e->isKind() ? Entry::extensionOfKind(kind) : L"");
    Held<file::win::PathWin> file(file::win::PathWin::createJoined(dir->c_str(), name->c_str()));
    if (!file) {
        return false;
    }
    if (file->exists()) {
        return true;
    }
    file::IFileOutputStream* out = file->openOutputStream(false);
    if (out == nullptr) {
        return false;
    }
    io::IOutputStream* stream = out;
    bool written;
    switch (e->isKind() ? kind : UINT32_MAX) {
    case Entry::KIND_GROUP_ICON: written = exportGroupIcon(index, stream); break;
    case Entry::KIND_GROUP_CURSOR: written = exportGroupCursor(index, stream); break;
    case Entry::KIND_BITMAP: written = exportBitmap(index, stream); break;
    case Entry::KIND_VERSION: written = exportVersionText(index, stream); break;
    case Entry::KIND_STRING: written = exportStringTableText(index, stream); break;
    case Entry::KIND_DIALOG: written = exportDialogText(index, stream); break;
    case Entry::KIND_MENU: written = exportMenuText(index, stream); break;
    case Entry::KIND_ACCELERATOR: written = exportAcceleratorText(index, stream); break;
    default: {
        Held<ArrayU08> bytes(readBytes(index));
        written = bytes && io::transferAll(stream, bytes->items(), bytes->count());
        break;
    }
    }
    written = out->flush() && written;
    out->close();
    out->release();
    if (!written) {
        file->remove(false, false);
    }
    return written;
}

bool Archive::exportText(uint32_t index, io::IOutputStream* out, bool (*format)(const uint8_t*, uint32_t, StrBuffer*)) {
    Held<ArrayU08> bytes(readBytes(index));
    Held<StrBuffer> text(StrBuffer::pool());
    if (!bytes || !text || out == nullptr || !format(bytes->items(), bytes->count(), text.get())) {
        return false;
    }
    Held<ArrayU08> utf8(text->toUtf8Unterminated(nullptr, false));
    return utf8 && io::transferAll(out, utf8->items(), utf8->count());
}

bool Archive::exportVersionText(uint32_t index, io::IOutputStream* out) {
    return exportText(index, out, &ResourceText::version);
}

bool Archive::exportStringTableText(uint32_t index, io::IOutputStream* out) {
    return exportText(index, out, &ResourceText::stringTable);
}

bool Archive::exportAcceleratorText(uint32_t index, io::IOutputStream* out) {
    return exportText(index, out, &ResourceText::accelerators);
}

bool Archive::exportMenuText(uint32_t index, io::IOutputStream* out) {
    return exportText(index, out, &ResourceText::menu);
}

bool Archive::exportDialogText(uint32_t index, io::IOutputStream* out) {
    return exportText(index, out, &ResourceText::dialog);
}

bool Archive::exportBitmap(uint32_t index, io::IOutputStream* out) {
    Held<ArrayU08> bytes(readBytes(index));
    Held<image::bmp::win::Bitmap> bitmap(image::bmp::win::Bitmap::pool());
    if (!bytes || !bitmap || out == nullptr) {
        return false;
    }
    bytes->rewind();
    return bitmap->decodeDib(static_cast<io::IInputStream*>(bytes.get())) && bitmap->encode(out);
}

bool Archive::exportGroupIcon(uint32_t index, io::IOutputStream* out) {
    return exportGroup(index, out, false);
}

bool Archive::exportGroupCursor(uint32_t index, io::IOutputStream* out) {
    return exportGroup(index, out, true);
}

// A group resource lists its images by resource id; the file form lists them by
// offset, the images following the directory. Cursor images carry their hot spot in
// front of the picture, which the file keeps in the directory instead.
bool Archive::exportGroup(uint32_t index, io::IOutputStream* out, bool cursor) {
    constexpr uint32_t HEADER = 6, GROUP_ENTRY = 14, FILE_ENTRY = 16, HOT_SPOT = 4;
    const Entry* e = entry(index);
    Held<ArrayU08> group(readBytes(index));
    Held<ArrayU08> head(ArrayU08::pool());
    Held<ArrayU08> images(ArrayU08::pool());
    if (e == nullptr || !group || !head || !images || out == nullptr || group->count() < HEADER) {
        return false;
    }
    const uint8_t* g = group->items();
    const uint32_t count = readU16(g + 4);
    if (HEADER + static_cast<uint64_t>(count) * GROUP_ENTRY > group->count()) {
        return false;
    }
    appendU16(head.get(), 0);
    appendU16(head.get(), cursor ? 2 : 1);
    appendU16(head.get(), static_cast<uint16_t>(count));
    const uint32_t first = HEADER + count * FILE_ENTRY;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* d = g + HEADER + i * GROUP_ENTRY;
        const uint16_t id = readU16(d + 12);
        const wchar_t* type = cursor ? RT_CURSOR : RT_ICON;
        HRSRC found = FindResourceExW(module_, type, MAKEINTRESOURCEW(id), e->languageId());
        if (found == nullptr) {
            found = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
        }
        HGLOBAL loaded = found != nullptr ? LoadResource(module_, found) : nullptr;
        const uint8_t* image = loaded != nullptr ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
        uint32_t size = found != nullptr ? SizeofResource(module_, found) : 0;
        if (image == nullptr || (cursor && size < HOT_SPOT) || !mappedBytes(image, size)) {
            return false;
        }
        const uint32_t offset = first + images->count();
        bool ok;
        if (cursor) {
            // Group cursors count the mask in the height.
            const uint16_t width = readU16(d), height = readU16(d + 2) / 2;
            const uint8_t sizes[4] = {static_cast<uint8_t>(width), static_cast<uint8_t>(height), 0, 0};
            size -= HOT_SPOT;
            ok = head->append(sizes, 4) && head->append(image, HOT_SPOT) && appendU32(head.get(), size) &&
                 appendU32(head.get(), offset) && images->append(image + HOT_SPOT, size);
        } else {
            ok = head->append(d, 8) && appendU32(head.get(), size) && appendU32(head.get(), offset) &&
                 images->append(image, size);
        }
        if (!ok) {
            return false;
        }
    }
    return io::transferAll(out, head->items(), head->count()) && io::transferAll(out, images->items(), images->count());
}

// Replacement.

bool Archive::replaceResource(const void* data, uint32_t count, const wchar_t* type, const wchar_t* name,
                              uint16_t language) {
    if (path_ == nullptr || type == nullptr || name == nullptr) {
        return false;
    }
    const bool existed = module_ != nullptr && FindResourceExW(module_, type, name, language) != nullptr;
    // The file cannot be rewritten while it is mapped; the program's own module stays
    // (its update fails).
    const bool reload = !ownModule_;
    if (reload) {
        freeModule();
    }
    bool updated = false;
    HANDLE update = BeginUpdateResourceW(path_->getApiText(), FALSE);
    if (update != nullptr) {
        if (UpdateResourceW(update, type, name, language, const_cast<void*>(data), count)) {
            updated = EndUpdateResourceW(update, FALSE) != FALSE;
        } else {
            EndUpdateResourceW(update, TRUE);
        }
    }
    if (reload && !loadModule()) {
        // Without the module no handle is valid any more.
        close();
        return false;
    }
    if (updated) {
        size_ = fileSize();
    }
    if (updated && !existed) {
        Entry* added = Entry::pool();
        if (added != nullptr) {
            added->setTypeResource(type);
            added->setNameResource(name);
            added->setLanguageId(language);
            if (!entries_.add(added)) {
                added->release();
            }
        }
    }
    // Handles point into the old mapping, even after a failed update (the module may
    // load again elsewhere). Entries whose resource the update removed go, so the list
    // names only what the file holds.
    for (uint32_t i = entries_.count(); i-- > 0;) {
        Entry* e = entry(i);
        e->setHandle(FindResourceExW(module_, e->typeResource(), e->nameResource(), e->languageId()));
        if (e->handle() == nullptr) {
            entries_.removeAndDispose(i);
            continue;
        }
        e->setSize(SizeofResource(module_, e->handle()));
    }
    return updated;
}

} // namespace s::archive::dll::win
