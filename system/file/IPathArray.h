#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"

namespace s::str::strbuffer { class StrBuffer; }
namespace s::str::strarray { class StrArray; }
namespace s::col::_array {
class ArrayP;
class ArrayU32;
}

namespace s::file {

class IPath;

// A list of paths that owns them (removing or clearing gives them back to the path
// pool), with the shell's multi-path operations and groupings. Lists and groups it
// hands out are pooled; the caller releases them.
class IPathArray : public base::IObject {
public:
    typedef str::strbuffer::StrBuffer StrBuffer;
    typedef str::strarray::StrArray StrArray;
    typedef col::_array::ArrayP ArrayP;

    // Results of copyInto/moveInto.
    enum { SHELL_FAILED = 0, SHELL_ABORTED = 1, SHELL_DONE = 2 };
    // Results of createShortcutsIn.
    enum { NONE_MADE = 0, SOME_MADE = 1, ALL_MADE = 2 };

    virtual void releaseFlags() = 0;
    virtual void clear() = 0;
    // clear(), and frees the storage.
    virtual void freeAll() = 0;
    virtual uint32_t count() const = 0;
    virtual ArrayP* items() = 0;
    // Index count appends; another index replaces (and releases) the element there.
    virtual bool setAt(uint32_t index, IPath* path) = 0;
    virtual bool setAtText(uint32_t index, const wchar_t* text) = 0;
    // The removed element belongs to the caller.
    virtual IPath* removeAt(uint32_t index) = 0;
    virtual void removeAndDispose(uint32_t index) = 0;
    virtual IPath* removeLast() = 0;
    virtual void sortByPath() = 0;
    virtual void sortByExtension() = 0;
    // Lists of s::file::Extension groups (the list owns the groups, the groups do not
    // own their members).
    virtual ArrayP* groupByExtension() = 0;
    virtual ArrayP* groupByWords(bool withExtensions) = 0;
    // Size classes from "1024" to "1073741824", smallest class first; elements under
    // 1,024 bytes join no group.
    virtual ArrayP* groupBySize() = 0;
    // The same groups, the one with the most members first.
    virtual ArrayP* groupBySizeByCount() = 0;
    virtual bool indexOf(const IPath* path, uint32_t* at = nullptr) const = 0;
    virtual bool indexOfText(const wchar_t* text, uint32_t* at = nullptr) const = 0;
    virtual bool indexOfEqual(const IPath* path, uint32_t* at = nullptr) const = 0;
    virtual void expandFolders(bool sort) = 0;
    // Full texts each followed by a NUL, then one more NUL.
    virtual StrBuffer* buildMultiString(StrBuffer* buffer, bool append) = 0;
    virtual const wchar_t* getMultiString() = 0;
    virtual void snapshotDirectoryFlags() = 0;
    virtual bool wasDirectory(uint32_t index) const = 0;
    virtual IPathArray* takeFolders() = 0;
    // The sum of the sizes of the elements at the given indexes.
    virtual int64_t sumSizes(const col::_array::ArrayU32* indexes) = 0;
    virtual StrArray* getNames() = 0;
    virtual IPathArray* mapInto(const wchar_t* folder) = 0;
    virtual IPathArray* mapIntoWithFlags(const wchar_t* folder) = 0;
    virtual void makeUnique() = 0;
    virtual void notifyCreated() = 0;
    virtual void notifyDeleted() = 0;
    virtual int32_t copyInto(const wchar_t* folder, bool notify, HWND window) = 0;
    virtual int32_t moveInto(const wchar_t* folder, bool notify, HWND window) = 0;
    // mapped (may be null) receives the list of the shortcut paths.
    virtual int32_t createShortcutsIn(const wchar_t* folder, bool notify, IPathArray** mapped) = 0;
    virtual bool recycleAll(bool notify, bool confirm, HWND window) = 0;
    virtual bool showProperties() = 0;
    virtual IPath* getAt(uint32_t index) const = 0;
    virtual bool addText(const wchar_t* text) = 0;
    // The list owns the path from now on.
    virtual bool add(IPath* path) = 0;
};

} // namespace s::file
