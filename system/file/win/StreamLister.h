#pragma once
#include <windows.h>

#include <cstdint>

namespace s::col::_array { class ArrayP; }

namespace s::file::win {

class PathWin;

// Lists the alternate data streams of a file or folder through the native file
// call, with the backup privilege enabled. Systems without streams (Wine answers the
// query with STATUS_NOT_IMPLEMENTED) give an empty list.
class StreamLister {
public:
    typedef col::_array::ArrayP ArrayP;

    // The layout of one FILE_STREAM_INFORMATION record.
    struct StreamRecord {
        ULONG nextEntryOffset;
        ULONG streamNameLength;  // bytes
        LARGE_INTEGER streamSize;
        LARGE_INTEGER streamAllocationSize;
        WCHAR streamName[1];
    };

    // Binds the ntdll calls and enables SeBackupPrivilege, once per process; false
    // when a call is missing.
    static bool EnableBackupPrivilege();

    // Appends a path (base text + ":" + stream name) for every named stream of the
    // path to out (null: a new list owning its paths), only on NTFS volumes.
    static ArrayP* list(PathWin* path, ArrayP* out);

    // Walks size bytes of stream records, appending a path per named stream, its
    // stream size set; the unnamed data stream and malformed records are skipped, and
    // a record that does not fit in the buffer ends the walk. Returns the paths added.
    static uint32_t addStreams(const uint8_t* records, uint32_t size, const wchar_t* baseText, ArrayP* out);

private:
    StreamLister() = delete;
};

} // namespace s::file::win
