#include "system/reg/win/RegDir.h"

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <new>

#include "core/col/_array/ArrayP.h"
#include "core/str/strarray/StrArray.h"
#include "core/thread/ObjLocker.h"
#include "system/reg/win/NtRegistry.h"

namespace s::reg::win {

using col::_array::ArrayP;
using col::_array::ArrayU08;
using str::strarray::StrArray;
using str::strbuffer::StrBuffer;
using thread::ObjLocker;

namespace {

constexpr NTSTATUS kBufferOverflow = static_cast<NTSTATUS>(0x80000005);
constexpr NTSTATUS kBufferTooSmall = static_cast<NTSTATUS>(0xC0000023);
constexpr NTSTATUS kAccessDenied = static_cast<NTSTATUS>(0xC0000022);
constexpr ACCESS_MASK kAllAccess = 0xF003F;
// Room left for a value that grows between the two queries.
constexpr ULONG kQuerySlack = 1026;
constexpr uint32_t kExpandUnits = 520;

// A buffer shared by every key object, used under its lock for a whole native call.
struct SharedBuffer {
    explicit SharedBuffer(ULONG initial) : initialSize(initial) {}
    ~SharedBuffer() { delete[] data; }
    // Storage of at least n bytes (contents not kept); false when out of memory.
    bool ensure(ULONG n) {
        if (data != nullptr && size >= n) return true;
        uint8_t* grown = new (std::nothrow) uint8_t[n];
        if (grown == nullptr) return false;
        delete[] data;
        data = grown;
        size = n;
        return true;
    }
    ObjLocker lock;
    ULONG initialSize;
    uint8_t* data = nullptr;
    ULONG size = 0;
};

// Never destroyed: key objects may still be used by other objects' exit-time destructors.
SharedBuffer& queryBuffer() {
    static SharedBuffer* const buffer = new SharedBuffer(16384);
    return *buffer;
}
SharedBuffer& keyEnumBuffer() {
    static SharedBuffer* const buffer = new SharedBuffer(1024);
    return *buffer;
}
SharedBuffer& valueEnumBuffer() {
    static SharedBuffer* const buffer = new SharedBuffer(1024);
    return *buffer;
}

// One native call into a shared buffer (held locked by the caller); grows the buffer
// and repeats once when the record does not fit.
template <class Call>
NTSTATUS callGrowing(SharedBuffer& buffer, ULONG slack, ULONG* resultLength, Call call) {
    if (!buffer.ensure(buffer.initialSize)) return kBufferTooSmall;
    *resultLength = 0;
    NTSTATUS st = call(buffer.data, buffer.size, resultLength);
    if ((st == kBufferOverflow || st == kBufferTooSmall) && *resultLength > 0) {
        if (!buffer.ensure(*resultLength + slack)) return st;
        st = call(buffer.data, buffer.size, resultLength);
    }
    return st;
}

struct RootName {
    HKEY key;
    const wchar_t* name;
    const wchar_t* ntPath;  // null: the current user's hive
};

// In the order parse() tests the names.
const RootName kRoots[] = {
    {HKEY_USERS, L"HKEY_USERS", L"\\Registry\\User"},
    {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE", L"\\Registry\\Machine"},
    {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", nullptr},
    {HKEY_CURRENT_CONFIG, L"HKEY_CURRENT_CONFIG",
     L"\\Registry\\Machine\\System\\CurrentControlSet\\Hardware Profiles\\Current"},
    {HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT", L"\\Registry\\Machine\\SOFTWARE\\Classes"},
};

// A counted native string over a NUL-terminated text; false when too long for one.
bool countedString(UNICODE_STRING* out, const wchar_t* text) {
    if (text == nullptr) text = L"";
    const size_t bytes = std::wcslen(text) * sizeof(wchar_t);
    if (bytes > 0xFFFC) return false;
    out->Length = static_cast<USHORT>(bytes);
    out->MaximumLength = static_cast<USHORT>(bytes + sizeof(wchar_t));
    out->Buffer = const_cast<wchar_t*>(text);
    return true;
}

}  // namespace

RegDir::RegDir()
    : valueName_{}, keyHandle_(nullptr), bindingOk_(NtRegistry::instance().isBound() ? 1 : 0),
      rootKey_(HKEY_LOCAL_MACHINE), objectName_{}, objectAttributes_{} {
    setRoot(HKEY_LOCAL_MACHINE);
}

RegDir::~RegDir() {
    close();
}

RegDir* RegDir::create(HKEY root, const wchar_t* path) {
    RegDir* dir = pool();
    if (dir != nullptr) {
        dir->open(root, path);
    }
    return dir;
}

void RegDir::reset() {
    close();
    path_.clear();
    win32Path_.clear();
    ntPath_.clear();
    objectName_ = UNICODE_STRING{};
    objectAttributes_ = OBJECT_ATTRIBUTES{};
    valueName_ = UNICODE_STRING{};
    valueData_.freeStorage();
    expandScratch_.freeStorage();
    setRoot(HKEY_LOCAL_MACHINE);
}

bool RegDir::setRoot(HKEY root) {
    for (const RootName& r : kRoots) {
        if (r.key == root) {
            rootKey_ = root;
            rootName_.assign(r.name);
            ntRootPath_.assign(r.ntPath != nullptr ? r.ntPath : NtRegistry::instance().currentUserPath());
            return true;
        }
    }
    return false;
}

bool RegDir::open(HKEY root, const wchar_t* path) {
    setRoot(root);
    return openPath(path);
}

bool RegDir::openPath(const wchar_t* path) {
    close();
    path_.assign(path != nullptr ? path : L"");
    uint32_t n = path_.length();
    while (n > 0 && path_.charAt(n - 1) == L'\\') --n;
    path_.setLength(n);
    // The root itself takes no separator: a trailing "\" is not a valid NT name.
    win32Path_.assign(&rootName_);
    ntPath_.assign(&ntRootPath_);
    if (n > 0) {
        win32Path_.appendChar(L'\\')->append(&path_);
        ntPath_.appendChar(L'\\')->append(&path_);
    }
    if (!countedString(&objectName_, ntPath_.c_str())) {
        objectName_ = UNICODE_STRING{};
        return false;
    }
    InitializeObjectAttributes(&objectAttributes_, &objectName_, OBJ_CASE_INSENSITIVE, nullptr, nullptr);
    return openKey();
}

bool RegDir::openKey() {
    if (!bindingOk_ || objectName_.Buffer == nullptr) return false;
    const NtRegistry& nt = NtRegistry::instance();
    HANDLE h = nullptr;
    NTSTATUS st = nt.ntOpenKey(&h, kAllAccess, &objectAttributes_);
    if (st == kAccessDenied) {
        // Machine keys refuse full access to standard users; reading still works.
        st = nt.ntOpenKey(&h, KEY_READ, &objectAttributes_);
    }
    if (!NT_SUCCESS(st)) return false;
    keyHandle_ = h;
    return true;
}

bool RegDir::ensureOpen() {
    return keyHandle_ != nullptr || openKey();
}

void RegDir::close() {
    if (keyHandle_ != nullptr) {
        NtRegistry::instance().ntClose(keyHandle_);
        keyHandle_ = nullptr;
    }
}

bool RegDir::exists() {
    close();
    return openKey();
}

RegDir* RegDir::parent() const {
    uint32_t at = 0;
    if (!path_.lastIndexOf(L'\\', StrBuffer::END, &at)) return nullptr;
    StrBuffer* up = path_.substring(0, at);
    if (up == nullptr) return nullptr;
    RegDir* dir = create(rootKey_, up->c_str());
    up->release();
    return dir;
}

StrBuffer* RegDir::keyName(StrBuffer* target, bool append) const {
    StrBuffer* out = target != nullptr ? target : StrBuffer::pool();
    if (out == nullptr) return nullptr;
    if (!append) out->clear();
    uint32_t at = 0;
    if (path_.lastIndexOf(L'\\', StrBuffer::END, &at)) {
        out->append(path_.c_str() + at + 1);
    } else {
        out->append(&path_);
    }
    return out;
}

bool RegDir::parse(const wchar_t* fullPath) {
    const wchar_t* text = fullPath != nullptr ? fullPath : L"";
    for (const RootName& r : kRoots) {
        const size_t n = std::wcslen(r.name);
        // The root name must be whole: "HKEY_USERSX" names no root.
        if (_wcsnicmp(text, r.name, n) == 0 && (text[n] == L'\0' || text[n] == L'\\')) {
            return open(r.key, text[n] == L'\\' ? text + n + 1 : text + n);
        }
    }
    return open(HKEY_CURRENT_USER, L"InvalidKey");
}

bool RegDir::create() {
    if (keyHandle_ != nullptr) return true;
    if (!bindingOk_ || objectName_.Buffer == nullptr) return false;
    const NtRegistry& nt = NtRegistry::instance();
    HANDLE h = nullptr;
    ULONG disposition = 0;
    NTSTATUS st = nt.ntCreateKey(&h, kAllAccess, &objectAttributes_, 0, nullptr, 0, &disposition);
    if (!NT_SUCCESS(st)) {
        // Make the missing ancestors first; a path without "\" has none to make.
        RegDir* up = parent();
        if (up == nullptr) return false;
        const bool made = up->create();
        up->release();
        if (!made) return false;
        st = nt.ntCreateKey(&h, kAllAccess, &objectAttributes_, 0, nullptr, 0, &disposition);
        if (!NT_SUCCESS(st)) return false;
    }
    keyHandle_ = h;
    return true;
}

bool RegDir::remove(bool deleteSelf) {
    if (!ensureOpen()) return false;
    bool ok = true;
    ArrayP* children = subKeys();
    if (children != nullptr) {
        for (uint32_t i = 0; i < children->count(); ++i) {
            ok = static_cast<RegDir*>(children->get(i))->remove(true) && ok;
        }
        children->release();
    }
    if (deleteSelf) {
        const NTSTATUS st = NtRegistry::instance().ntDeleteKey(keyHandle_);
        close();
        ok = ok && NT_SUCCESS(st);
    }
    return ok;
}

bool RegDir::rename(const wchar_t* newName) {
    UNICODE_STRING name{};
    if (!countedString(&name, newName) || !ensureOpen()) return false;
    const NTSTATUS st = NtRegistry::instance().ntRenameKey(keyHandle_, &name);
    close();
    return NT_SUCCESS(st);
}

bool RegDir::flush() {
    return keyHandle_ != nullptr && NT_SUCCESS(NtRegistry::instance().ntFlushKey(keyHandle_));
}

bool RegDir::setValueName(const wchar_t* name) {
    return countedString(&valueName_, name);
}

bool RegDir::queryValue(const wchar_t* name, uint32_t* type, uint32_t* length, int32_t requiredType) {
    if (type != nullptr) *type = 0;
    if (length != nullptr) *length = 0;
    if (!ensureOpen() || !setValueName(name)) return false;
    const NtRegistry& nt = NtRegistry::instance();
    SharedBuffer& buffer = queryBuffer();
    ObjLocker::Guard guard(buffer.lock);
    ULONG result = 0;
    const NTSTATUS st = callGrowing(buffer, kQuerySlack, &result, [&](void* data, ULONG size, ULONG* got) {
        return nt.ntQueryValueKey(keyHandle_, &valueName_, NtRegistry::KEY_VALUE_FULL_INFORMATION_CLASS,
                                  data, size, got);
    });
    if (!NT_SUCCESS(st)) return false;
    const auto* info = reinterpret_cast<const NtRegistry::KeyValueFullInformation*>(buffer.data);
    // Never trust the record beyond the buffer.
    if (static_cast<uint64_t>(info->dataOffset) + info->dataLength > buffer.size) return false;
    if (type != nullptr) *type = info->type;
    if (length != nullptr) *length = info->dataLength;
    if (requiredType != -1 && info->type != static_cast<ULONG>(requiredType)) return false;
    valueData_.clear();
    return valueData_.append(buffer.data + info->dataOffset, info->dataLength);
}

uint32_t RegDir::valueLength(const wchar_t* name) {
    uint32_t length = 0;
    return queryValue(name, nullptr, &length, -1) ? length : 0;
}

bool RegDir::readExact(const wchar_t* name, void* out, uint32_t size) {
    uint32_t length = 0;
    if (!queryValue(name, nullptr, &length, -1) || length != size) return false;
    std::memcpy(out, valueData_.items(), size);
    return true;
}

uint8_t RegDir::getU08(const wchar_t* name, uint8_t def) {
    uint32_t v = 0;
    return readExact(name, &v, 4) ? static_cast<uint8_t>(v) : def;
}
uint16_t RegDir::getU16(const wchar_t* name, uint16_t def) {
    uint32_t v = 0;
    return readExact(name, &v, 4) ? static_cast<uint16_t>(v) : def;
}
uint32_t RegDir::getU32(const wchar_t* name, uint32_t def) {
    uint32_t v = 0;
    return readExact(name, &v, 4) ? v : def;
}
uint64_t RegDir::getU64(const wchar_t* name, uint64_t def) {
    uint64_t v = 0;
    return readExact(name, &v, 8) ? v : def;
}
int8_t RegDir::getS08(const wchar_t* name, int8_t def) {
    uint32_t v = 0;
    return readExact(name, &v, 4) ? static_cast<int8_t>(v) : def;
}
int16_t RegDir::getS16(const wchar_t* name, int16_t def) {
    uint32_t v = 0;
    return readExact(name, &v, 4) ? static_cast<int16_t>(v) : def;
}
int32_t RegDir::getS32(const wchar_t* name, int32_t def) {
    int32_t v = 0;
    return readExact(name, &v, 4) ? v : def;
}
int64_t RegDir::getS64(const wchar_t* name, int64_t def) {
    int64_t v = 0;
    return readExact(name, &v, 8) ? v : def;
}
float RegDir::getFloat(const wchar_t* name, float def) {
    float v = 0;
    return readExact(name, &v, 4) ? v : def;
}
double RegDir::getDouble(const wchar_t* name, double def) {
    double v = 0;
    return readExact(name, &v, 8) ? v : def;
}
bool RegDir::getBool(const wchar_t* name, bool def) {
    uint32_t v = 0;
    return readExact(name, &v, 4) ? v != 0 : def;
}

const wchar_t* RegDir::getString(const wchar_t* name, const wchar_t* def, bool* isExpandable, bool expand) {
    if (isExpandable != nullptr) *isExpandable = false;
    uint32_t type = 0;
    uint32_t length = 0;
    if (!queryValue(name, &type, &length, -1)) return def;
    if (length == 0) return L"";
    if (type != REG_SZ && type != REG_EXPAND_SZ) return def;
    // Data written by other programs need not end in a NUL (or even a whole unit).
    const wchar_t nul = L'\0';
    valueData_.setCount(length & ~1u);
    if (!valueData_.append(&nul, sizeof(nul))) return def;
    const wchar_t* text = reinterpret_cast<const wchar_t*>(valueData_.items());
    if (type == REG_EXPAND_SZ) {
        if (isExpandable != nullptr) *isExpandable = true;
        if (expand) {
            // Expansions longer than the usual 520 units get the room they need.
            uint32_t units = kExpandUnits;
            for (int attempt = 0; attempt < 3; ++attempt) {
                if (!expandScratch_.setCount(units * sizeof(wchar_t))) return text;
                wchar_t* out = reinterpret_cast<wchar_t*>(expandScratch_.items());
                const DWORD needed = ExpandEnvironmentStringsW(text, out, units);
                if (needed == 0) return text;
                if (needed <= units) return out;
                units = needed;
            }
        }
    }
    return text;
}

StrArray* RegDir::getMultiString(const wchar_t* name) {
    StrArray* list = StrArray::pool();
    if (list == nullptr) return nullptr;
    uint32_t length = 0;
    if (queryValue(name, nullptr, &length, REG_MULTI_SZ) && length > 3) {
        // Close the block even when the writer left out the final NULs.
        static const uint8_t kEnd[4] = {0, 0, 0, 0};
        valueData_.setCount(length & ~1u);
        if (valueData_.append(kEnd, sizeof(kEnd))) {
            list->fromMultiString(&valueData_);
        }
        if (list->count() == 1 && list->get(0)->length() == 0) list->clear();
    }
    return list;
}

ArrayU08* RegDir::getBytes(const wchar_t* name, ArrayU08* bytes) {
    uint32_t length = 0;
    // Query first: a missing value must not cost (or leak) a pooled array.
    if (!queryValue(name, nullptr, &length, -1)) return nullptr;
    ArrayU08* out = bytes != nullptr ? bytes : ArrayU08::pool();
    if (out == nullptr) return nullptr;
    out->clear();
    if (length != 0 && !out->append(valueData_.items(), length)) {
        if (out != bytes) out->release();
        return nullptr;
    }
    return out;
}

bool RegDir::deleteValue(const wchar_t* name) {
    if (!queryValue(name, nullptr, nullptr, -1)) return false;
    return NT_SUCCESS(NtRegistry::instance().ntDeleteValueKey(keyHandle_, &valueName_));
}

bool RegDir::setRaw(const wchar_t* name, uint32_t type, const void* data, uint32_t size) {
    if (keyHandle_ == nullptr && !create()) return false;
    if (!setValueName(name)) return false;
    static uint8_t empty = 0;
    void* bytes = data != nullptr ? const_cast<void*>(data) : &empty;
    return NT_SUCCESS(NtRegistry::instance().ntSetValueKey(keyHandle_, &valueName_, 0, type, bytes,
                                                           data != nullptr ? size : 0));
}

bool RegDir::setString(const wchar_t* name, const wchar_t* text) {
    if (text == nullptr) text = L"";
    const size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    if (bytes > 0xFFFFFFF0u) return false;
    return setRaw(name, REG_SZ, text, static_cast<uint32_t>(bytes));
}

bool RegDir::setExpandString(const wchar_t* name, const wchar_t* text) {
    if (text == nullptr) text = L"";
    const size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    if (bytes > 0xFFFFFFF0u) return false;
    return setRaw(name, REG_EXPAND_SZ, text, static_cast<uint32_t>(bytes));
}

bool RegDir::setMultiString(const wchar_t* name, const StrArray* strings) {
    static const uint8_t kEmpty[4] = {0, 0, 0, 0};
    if (strings == nullptr) return setRaw(name, REG_MULTI_SZ, kEmpty, sizeof(kEmpty));
    ArrayU08* block = strings->toMultiString(nullptr);
    if (block == nullptr) return false;
    const bool ok = setRaw(name, REG_MULTI_SZ, block->items(), block->count());
    block->release();
    return ok;
}

bool RegDir::setBytes(const wchar_t* name, const ArrayU08* bytes) {
    if (bytes == nullptr) return setRaw(name, REG_BINARY, nullptr, 0);
    return setRaw(name, REG_BINARY, bytes->items(), bytes->count());
}

StrBuffer* RegDir::childPath(const wchar_t* name, uint32_t nameLength) const {
    StrBuffer* child = path_.copy();
    if (child == nullptr) return nullptr;
    if (child->length() != 0) child->appendChar(L'\\');
    child->appendUnits(name, static_cast<int32_t>(nameLength));
    return child;
}

ArrayP* RegDir::listSubKeys(const wchar_t* prefix) {
    ArrayP* list = ArrayP::pool();
    if (list == nullptr) return nullptr;
    list->setCleaner(&RegDir::pooler());
    if (!ensureOpen()) return list;
    const NtRegistry& nt = NtRegistry::instance();
    SharedBuffer& buffer = keyEnumBuffer();
    for (ULONG index = 0;; ++index) {
        StrBuffer* child = nullptr;
        {
            ObjLocker::Guard guard(buffer.lock);
            ULONG result = 0;
            const NTSTATUS st = callGrowing(buffer, 0, &result, [&](void* data, ULONG size, ULONG* got) {
                return nt.ntEnumerateKey(keyHandle_, index, NtRegistry::KEY_BASIC_INFORMATION_CLASS, data, size, got);
            });
            if (!NT_SUCCESS(st)) break;
            const auto* info = reinterpret_cast<const NtRegistry::KeyBasicInformation*>(buffer.data);
            const size_t nameAt = offsetof(NtRegistry::KeyBasicInformation, name);
            if (nameAt + info->nameLength > buffer.size) break;
            const uint32_t units = info->nameLength / sizeof(wchar_t);
            StrBuffer* name = StrBuffer::pool();
            if (name == nullptr) break;
            name->appendUnits(info->name, static_cast<int32_t>(units));
            if (prefix == nullptr || name->startsWithIgnoreCase(prefix)) {
                child = childPath(name->c_str(), units);
            }
            name->release();
        }
        if (child != nullptr) {
            RegDir* dir = create(rootKey_, child->c_str());
            child->release();
            if (dir != nullptr && !list->add(dir)) dir->release();
        }
    }
    return list;
}

StrArray* RegDir::valueNames() {
    StrArray* list = StrArray::pool();
    if (list == nullptr || !ensureOpen()) return list;
    const NtRegistry& nt = NtRegistry::instance();
    SharedBuffer& buffer = valueEnumBuffer();
    for (ULONG index = 0;; ++index) {
        ObjLocker::Guard guard(buffer.lock);
        ULONG result = 0;
        const NTSTATUS st = callGrowing(buffer, 0, &result, [&](void* data, ULONG size, ULONG* got) {
            return nt.ntEnumerateValueKey(keyHandle_, index, NtRegistry::KEY_VALUE_BASIC_INFORMATION_CLASS, data,
                                          size, got);
        });
        if (!NT_SUCCESS(st)) break;
        const auto* info = reinterpret_cast<const NtRegistry::KeyValueBasicInformation*>(buffer.data);
        const size_t nameAt = offsetof(NtRegistry::KeyValueBasicInformation, name);
        if (nameAt + info->nameLength > buffer.size) break;
        StrBuffer* name = StrBuffer::pool();
        if (name == nullptr) break;
        name->appendUnits(info->name, static_cast<int32_t>(info->nameLength / sizeof(wchar_t)));
        list->addOwned(name);
    }
    return list;
}

bool RegDir::countSubKeys(bool recursive, uint32_t* counter) {
    if (counter == nullptr || !ensureOpen()) return false;
    ArrayP* children = subKeys();
    if (children == nullptr) return false;
    *counter += children->count();
    if (recursive) {
        for (uint32_t i = 0; i < children->count(); ++i) {
            static_cast<RegDir*>(children->get(i))->countSubKeys(true, counter);
        }
    }
    children->release();
    return true;
}

} // namespace s::reg::win
