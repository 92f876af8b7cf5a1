#include "system/file/win/StreamLister.h"

#include <winternl.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "core/col/_array/ArrayP.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/ObjLocker.h"
#include "system/file/win/PathWin.h"
#include "system/system/win/DllLocater.h"

namespace s::file::win {

using col::_array::ArrayP;
using str::strbuffer::StrBuffer;

namespace {

constexpr ULONG FILE_STREAM_INFORMATION_CLASS = 22;
constexpr NTSTATUS STATUS_BUFFER_OVERFLOW_ = static_cast<NTSTATUS>(0x80000005L);
constexpr NTSTATUS STATUS_INFO_LENGTH_MISMATCH_ = static_cast<NTSTATUS>(0xC0000004L);
constexpr NTSTATUS STATUS_BUFFER_TOO_SMALL_ = static_cast<NTSTATUS>(0xC0000023L);
constexpr uint32_t BUFFER_LIMIT = 10000000;
constexpr uint32_t NAME_LIMIT = 779;

typedef NTSTATUS(NTAPI* QueryInformationFileFn)(HANDLE file, PIO_STATUS_BLOCK status, PVOID buffer, ULONG length,
                                                ULONG informationClass);

struct NtBinding {
    FARPROC fsControlFile = nullptr;
    QueryInformationFileFn queryInformationFile = nullptr;
    FARPROC statusToDosError = nullptr;
    bool privilegeReady = false;
};

NtBinding& binding() {
    static NtBinding* const bound = [] {
        NtBinding* b = new NtBinding();
        static system::win::DllLocater ntdll(L"ntdll.dll");
        HINSTANCE module = ntdll.handle();
        if (module != nullptr) {
            b->fsControlFile = GetProcAddress(module, "NtFsControlFile");
            b->queryInformationFile =
                reinterpret_cast<QueryInformationFileFn>(
                    reinterpret_cast<void*>(GetProcAddress(module, "NtQueryInformationFile")));
            b->statusToDosError = GetProcAddress(module, "RtlNtStatusToDosError");
        }
        if (b->fsControlFile == nullptr || b->queryInformationFile == nullptr || b->statusToDosError == nullptr) {
            return b;
        }
        HANDLE token = nullptr;
        if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) {
            TOKEN_PRIVILEGES privileges = {};
            if (LookupPrivilegeValueW(nullptr, SE_BACKUP_NAME, &privileges.Privileges[0].Luid)) {
                privileges.PrivilegeCount = 1;
                privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
                AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
            }
            CloseHandle(token);
        }
        b->privilegeReady = true;
        return b;
    }();
    return *bound;
}

// The one query buffer, shared under its lock.
struct QueryBuffer {
    thread::ObjLocker lock;
    uint8_t* bytes = nullptr;
    uint32_t size = 0;
};

QueryBuffer& queryBuffer() {
    static QueryBuffer* const buffer = new QueryBuffer();
    return *buffer;
}

} // namespace

bool StreamLister::EnableBackupPrivilege() {
    return binding().privilegeReady;
}

uint32_t StreamLister::addStreams(const uint8_t* records, uint32_t size, const wchar_t* baseText, ArrayP* out) {
    uint32_t added = 0;
    uint32_t at = 0;
    const uint32_t header = static_cast<uint32_t>(offsetof(StreamRecord, streamName));
    while (records != nullptr && out != nullptr && at <= size && size - at >= header) {
        const StreamRecord* record = reinterpret_cast<const StreamRecord*>(records + at);
        const uint32_t nameBytes = record->streamNameLength;
        if (nameBytes > size - at - header) {
            break;  // the name runs past the buffer
        }
        const uint32_t units = nameBytes / 2;
        if (units > NAME_LIMIT) {
            break;
        }
        wchar_t name[NAME_LIMIT + 1];
        std::memcpy(name, reinterpret_cast<const uint8_t*>(record) + header, units * 2);
        name[units] = 0;
        if (nameBytes > 3 && _wcsicmp(name, L"::$DATA") != 0) {
            // ":meta:$DATA" gives ":meta".
            wchar_t* second = units > 1 ? std::wcschr(name + 1, L':') : nullptr;
            if (second != nullptr) {
                *second = 0;
            }
            StrBuffer* text = StrBuffer::fromConcat(baseText, name);
            PathWin* path = text != nullptr ? PathWin::create(text->c_str()) : nullptr;
            if (text != nullptr) {
                text->release();
            }
            if (path != nullptr) {
                path->setStreamSize(record->streamSize.QuadPart);
                if (out->add(path)) {
                    ++added;
                } else {
                    path->release();
                }
            }
        }
        // An offset past the buffer would wrap "at" back to an earlier record.
        if (record->nextEntryOffset == 0 || record->nextEntryOffset > size - at) {
            break;
        }
        at += record->nextEntryOffset;
    }
    return added;
}

ArrayP* StreamLister::list(PathWin* path, ArrayP* out) {
    if (out == nullptr) {
        out = ArrayP::pool();
        if (out == nullptr) {
            return nullptr;
        }
        out->setCleaner(&PathWin::pooler());
    }
    if (path == nullptr || !path->isNtfs() || !EnableBackupPrivilege()) {
        return out;
    }
    HANDLE file = CreateFileW(path->getApiText(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, path->isDirectory() ? FILE_FLAG_BACKUP_SEMANTICS : 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return out;
    }
    QueryBuffer& shared = queryBuffer();
    thread::ObjLocker::Guard guard(shared.lock);
    uint32_t wanted = shared.size != 0 ? shared.size : 1024;
    for (;;) {
        if (shared.size < wanted) {
            uint8_t* bigger = static_cast<uint8_t*>(std::realloc(shared.bytes, wanted));
            if (bigger == nullptr) {
                break;
            }
            shared.bytes = bigger;
            shared.size = wanted;
        }
        IO_STATUS_BLOCK status = {};
        const NTSTATUS result = binding().queryInformationFile(file, &status, shared.bytes, shared.size,
                                                               FILE_STREAM_INFORMATION_CLASS);
        if (result == STATUS_BUFFER_OVERFLOW_ || result == STATUS_INFO_LENGTH_MISMATCH_ ||
            result == STATUS_BUFFER_TOO_SMALL_) {
            const uint32_t next = static_cast<uint32_t>(shared.size * 1.5);
            if (next > BUFFER_LIMIT) {
                break;
            }
            wanted = next;
            continue;
        }
        const ULONG_PTR filled = status.Information;
        if (NT_SUCCESS(result) && filled != 0) {
            addStreams(shared.bytes, filled < shared.size ? static_cast<uint32_t>(filled) : shared.size,
                       path->getText(), out);
        }
        break;
    }
    CloseHandle(file);
    return out;
}

} // namespace s::file::win
