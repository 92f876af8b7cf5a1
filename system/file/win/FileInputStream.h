#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/ClassPool.h"
#include "system/file/IFileInputStream.h"

namespace s::file::win {

// Unbuffered file input: every read is one ReadFile (the file is opened for
// sequential scanning; readers ask for large blocks). Pooled; release closes.
class FileInputStream : public IFileInputStream, public base::IObject {
    S_POOLED_CLASS(FileInputStream, 1000, L"s_file_win_FileInputStream")
public:
    FileInputStream();
    ~FileInputStream() override;
    FileInputStream(const FileInputStream&) = delete;
    FileInputStream& operator=(const FileInputStream&) = delete;

    bool open(IPath* path) override;
    bool isOpen() const { return handle_ != nullptr; }

    // False with got 0 when no bytes came: at the end of the file, for max 0 and on a
    // failure; readFailed() tells a failure apart.
    bool read(void* buffer, uint32_t max, uint32_t& got) override;
    bool readFailed() const override { return readFailed_; }
    void close() override;
    int64_t position() const override { return position_; }
    bool isSeekable() const override { return true; }
    // Seeks keep the old position when the system refuses the move.
    void rewind() override;
    void seekEnd() override;
    void seek(int64_t position) override;
    void seekFromEnd(int64_t distance) override;
    int64_t skip(int64_t n) override;
    int64_t skipBack(int64_t n) override;
    void reset() override;

private:
    bool moveTo(int64_t distance, DWORD method);

    HANDLE handle_;
    int64_t position_;
    bool readFailed_;
};

} // namespace s::file::win
