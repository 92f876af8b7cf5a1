#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/ClassPool.h"
#include "system/file/IFileInputStream.h"
#include "system/file/win/SeekingFile.h"

namespace s::file::win {

// Unbuffered file input: every read is one ReadFile (the file is opened for
// sequential scanning; readers ask for large blocks). Pooled; release closes.
class FileInputStream : public SeekingFile<FileInputStream, IFileInputStream>, public base::IObject {
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
    void close() override;

private:
    friend class SeekingFile<FileInputStream, IFileInputStream>;
    bool readyToMove() const { return handle_ != nullptr; }
};

} // namespace s::file::win
