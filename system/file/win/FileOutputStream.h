#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/ClassPool.h"
#include "system/file/IFileOutputStream.h"
#include "system/file/win/SeekingFile.h"

namespace s::file::win {

// Buffered file output: writes collect in one 64 KiB buffer per open stream and go
// to the file when it is full, on flush, seeks and close. The position counts the
// pending bytes too. Its input view reads the same file (pending bytes are written
// out first, so a read sees them). Pooled; release closes.
class FileOutputStream : public SeekingFile<FileOutputStream, IFileOutputStream>, public base::IObject {
    S_POOLED_CLASS(FileOutputStream, 1000, L"s_file_win_FileOutputStream")
public:
    static constexpr uint32_t BUFFER_SIZE = 0x10000;

    FileOutputStream();
    ~FileOutputStream() override;
    FileOutputStream(const FileOutputStream&) = delete;
    FileOutputStream& operator=(const FileOutputStream&) = delete;

    bool open(IPath* path, bool append) override;
    bool isOpen() const { return handle_ != nullptr; }
    // Bytes waiting in the buffer.
    uint32_t pending() const { return pending_; }

    // False when writing out a full buffer fails; done then counts the bytes of this
    // call that were taken into the buffer (they stay pending).
    bool write(const void* bytes, uint32_t count, uint32_t& done) override;
    // Writes out the buffer and flushes the system's buffers.
    bool flush() override;
    // Flushes, then ends the file at the current position.
    void truncate() override;
    // Flushes and closes; call flush() first to learn whether everything was written.
    void close() override;

    bool read(void* buffer, uint32_t max, uint32_t& got) override;

private:
    friend class SeekingFile<FileOutputStream, IFileOutputStream>;
    // Writes the pending bytes to the file; what was written leaves the buffer even
    // when the system takes only part of it.
    bool writeOut();
    // Seeks write out the pending bytes first; when that fails, the stream stays where
    // it was (moving now would later write them at the wrong place).
    bool readyToMove() { return writeOut(); }

    uint8_t* buffer_;
    uint32_t pending_;
};

} // namespace s::file::win
