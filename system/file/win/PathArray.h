#pragma once
#include <windows.h>

#include <cstdint>

#include "core/col/_array/ArrayP.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "system/file/IPathArray.h"

namespace s::col::_array { class ArrayU08; }
namespace s::file { class Extension; }

namespace s::file::win {

class PathWin;

// The pooled path list of IPathArray; elements are PathWin objects.
class PathArray : public IPathArray, public thread::IPoolable {
    S_POOLED_CLASS(PathArray, 1000, L"s_file_win_PathArray")
public:
    PathArray();
    ~PathArray() override;
    PathArray(const PathArray&) = delete;
    PathArray& operator=(const PathArray&) = delete;

    void reset() override;

    void releaseFlags() override;
    void clear() override;
    void freeAll() override;
    uint32_t count() const override { return items_.count(); }
    ArrayP* items() override { return &items_; }
    bool setAt(uint32_t index, IPath* path) override;
    bool setAtText(uint32_t index, const wchar_t* text) override;
    IPath* removeAt(uint32_t index) override;
    void removeAndDispose(uint32_t index) override;
    IPath* removeLast() override;
    void sortByPath() override;
    void sortByExtension() override;
    ArrayP* groupByExtension() override;
    ArrayP* groupByWords(bool withExtensions) override;
    ArrayP* groupBySize() override;
    ArrayP* groupBySizeByCount() override;
    bool indexOf(const IPath* path, uint32_t* at = nullptr) const override;
    bool indexOfText(const wchar_t* text, uint32_t* at = nullptr) const override;
    bool indexOfEqual(const IPath* path, uint32_t* at = nullptr) const override;
    void expandFolders(bool sort) override;
    StrBuffer* buildMultiString(StrBuffer* buffer, bool append) override;
    const wchar_t* getMultiString() override;
    void snapshotDirectoryFlags() override;
    bool wasDirectory(uint32_t index) const override;
    PathArray* takeFolders() override;
    int64_t sumSizes(const col::_array::ArrayU32* indexes) override;
    StrArray* getNames() override;
    PathArray* mapInto(const wchar_t* folder) override;
    PathArray* mapIntoWithFlags(const wchar_t* folder) override;
    void makeUnique() override;
    void notifyCreated() override;
    void notifyDeleted() override;
    int32_t copyInto(const wchar_t* folder, bool notify, HWND window) override;
    int32_t moveInto(const wchar_t* folder, bool notify, HWND window) override;
    int32_t createShortcutsIn(const wchar_t* folder, bool notify, IPathArray** mapped) override;
    bool recycleAll(bool notify, bool confirm, HWND window) override;
    bool showProperties() override;
    IPath* getAt(uint32_t index) const override;
    // The element as its class (null past the end).
    PathWin* pathAt(uint32_t index) const;
    bool addText(const wchar_t* text) override;
    bool add(IPath* path) override;

private:
    int32_t shellTransfer(UINT operation, const wchar_t* folder, bool notify, HWND window);
    // A new list of groups (the group pool as cleaner).
    static ArrayP* newGroupList();
    // The group keyed by text in groups, made and appended when missing.
    static Extension* groupFor(ArrayP* groups, const wchar_t* key);

    col::_array::ArrayP items_;
    col::_array::ArrayU08* flags_;  // one byte per element: 1 when it was a directory
    StrBuffer* multiString_;
};

} // namespace s::file::win
