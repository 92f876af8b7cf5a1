#pragma once
#include <cstdint>

#include "core/base/IObject.h"

namespace s::str::strbuffer { class StrBuffer; }
namespace s::str::strarray { class StrArray; }
namespace s::col::_array {
class ArrayP;
class ArrayU08;
}

namespace s::file {

class IPathArray;
class IFileInputStream;
class IFileOutputStream;

// A file-system path: the text split into drive, folder, title and extension, the
// facts about what it names (cached until the text changes), derived paths, file
// operations, listings and file streams. PathWin is the one implementation.
//
// Texts: the full text is the given text with "/" turned into "\", doubled
// separators collapsed and trailing "\" removed. The API text is what goes to the
// system: the "\\?\" long form for absolute paths of 250 characters or more, else
// the full text.
//
// Text forms (no arguments) return the object's scratch text, valid until the next
// text form on the same object. Buffer forms write into the given string (null: a new
// pooled one, which the caller releases), replacing or appending. New paths and lists
// are pooled; the caller releases them.
class IPath : public base::IObject {
public:
    typedef str::strbuffer::StrBuffer StrBuffer;
    typedef str::strarray::StrArray StrArray;
    typedef col::_array::ArrayP ArrayP;
    typedef col::_array::ArrayU08 ArrayU08;

    // Text model and facts.
    virtual StrBuffer* debugText(StrBuffer* out, bool append) = 0;
    virtual void clear() = 0;
    virtual bool isValid() const = 0;
    virtual bool isLocalOrUnc() const = 0;
    virtual bool exists() = 0;
    virtual bool isNtfs() = 0;
    virtual bool isFat() = 0;
    virtual uint32_t getAttributes() = 0;
    virtual bool addAttributes(uint32_t bits) = 0;
    virtual bool setAttributes(uint32_t bits) = 0;
    virtual bool canRead() = 0;
    virtual bool canWrite() = 0;
    virtual bool canReadWrite() = 0;
    virtual bool isDirectory() = 0;
    virtual bool isEmptyDirectory() = 0;
    virtual bool isFile() = 0;
    virtual bool isStream() const = 0;
    virtual bool isHidden() = 0;
    virtual bool isSystem() = 0;
    virtual bool isArchive() = 0;
    virtual bool isExe() = 0;
    virtual bool isLnk() = 0;
    virtual bool isUrl() = 0;
    virtual bool isFolderShortcut() = 0;
    virtual bool isUnc() const = 0;
    virtual const wchar_t* getServerName() = 0;
    virtual bool isDriveRoot() const = 0;
    virtual bool hasDriveLetter() const = 0;
    virtual wchar_t getDriveLetter() const = 0;
    virtual bool isSameVolume(const wchar_t* text) = 0;
    virtual const wchar_t* getRelativePath(const wchar_t* target, bool baseIsFolder) = 0;
    virtual const wchar_t* getAbsolutePath(const wchar_t* relative, bool baseIsFolder) = 0;
    virtual const wchar_t* getText() const = 0;
    virtual const wchar_t* getApiText() const = 0;
    virtual uint32_t getLength() const = 0;
    virtual const wchar_t* getVolumeRoot() = 0;
    virtual const wchar_t* getExtensionText() const = 0;
    virtual int64_t getSize(bool sumFolder, bool recurse, uint32_t* fileCount, uint32_t* folderCount,
                            bool includeFiles) = 0;
    virtual int64_t getSizeOnDisk() = 0;
    virtual void setStreamSize(int64_t size) = 0;
    // Seconds since 1970-01-01 UTC.
    virtual int64_t getCreationTime(bool refresh) = 0;
    virtual int64_t getAccessTime(bool refresh) = 0;
    virtual int64_t getModificationTime(bool refresh) = 0;

    // File operations.
    virtual bool setTimes(int64_t created, int64_t modified, int64_t accessed, bool forNormal, bool forReadOnly,
                          bool forHidden, bool forSystem, bool recurse) = 0;
    virtual bool setReadable(bool flag) = 0;
    virtual bool setWritable(bool flag) = 0;
    virtual bool makeWritable() = 0;
    virtual bool hide() = 0;
    virtual bool moveTo(const wchar_t* target) = 0;
    virtual bool ScrambleFileName(uint32_t passes, StrBuffer* nameOut, bool restoreAttributes) = 0;
    virtual bool makeDirectory(bool notify) = 0;
    virtual bool createFile(bool notify) = 0;
    virtual bool ensureParentFolder() = 0;
    virtual bool remove(bool notify, bool onReboot) = 0;
    virtual bool removeOnReboot() = 0;
    virtual bool recycle(bool confirm, bool notify) = 0;
    virtual bool copyTo(const wchar_t* target, bool overwrite) = 0;
    virtual bool rename(const wchar_t* target, bool replaceExisting, bool notify) = 0;
    virtual bool createShortcut(const wchar_t* linkPath, bool replace, const wchar_t* arguments) = 0;
    virtual bool createInternetShortcut(const wchar_t* url, bool replace) = 0;

    // Texts.
    virtual StrBuffer* getFullText(StrBuffer* buffer, bool append) = 0;
    virtual StrBuffer* getAsFolder(StrBuffer* buffer, bool append) = 0;
    virtual const wchar_t* getAsFolder() = 0;
    virtual IPath* getParentOrNull() = 0;
    virtual StrBuffer* getFolder(StrBuffer* buffer, bool append) = 0;
    virtual const wchar_t* getFolder() = 0;
    virtual StrBuffer* getFolderNoSlash(StrBuffer* buffer, bool append) = 0;
    virtual const wchar_t* getFolderNoSlash() = 0;
    virtual StrBuffer* getName(StrBuffer* buffer, bool append) = 0;
    virtual const wchar_t* getName() = 0;
    virtual StrBuffer* getTitle(StrBuffer* buffer, bool append) = 0;
    virtual const wchar_t* getTitle() = 0;
    virtual StrBuffer* getExtension(StrBuffer* buffer, bool append) = 0;
    virtual const wchar_t* getExtension() = 0;
    virtual StrBuffer* getExtensionNoDot(StrBuffer* buffer, bool append) = 0;
    virtual const wchar_t* getExtensionNoDot() = 0;
    virtual StrBuffer* getTypeName(StrBuffer* buffer, bool append) = 0;
    virtual const wchar_t* getTypeName() = 0;
    virtual StrBuffer* getSizeText(StrBuffer* buffer, bool append) = 0;
    virtual const wchar_t* getSizeText() = 0;
    virtual StrBuffer* getUrlTarget(StrBuffer* buffer, bool append) = 0;
    virtual const wchar_t* getUrlTarget() = 0;
    virtual StrBuffer* getFolderShortcutTarget(StrBuffer* buffer, bool append) = 0;
    virtual const wchar_t* getFolderShortcutTarget() = 0;

    // Derived paths.
    virtual IPath* child(const wchar_t* name) = 0;
    virtual IPath* withExtension(const wchar_t* ext) = 0;
    virtual IPath* insertBeforeExtension(const wchar_t* text) = 0;
    virtual IPath* uniqueName() = 0;
    virtual IPath* uniqueNumberedName() = 0;
    virtual IPath* parent() = 0;
    virtual IPath* shortcutTarget() = 0;
    virtual IPath* folderShortcutTarget() = 0;

    // Listings.
    virtual IPath* siblingFile(bool forward, const StrArray* extensions, bool sorted, bool wrap) = 0;
    virtual bool hasChildren(bool includeAll) = 0;
    virtual StrArray* listNames(bool fullPaths, bool includeAll) = 0;
    virtual StrArray* listFolderNames(bool fullPaths, bool includeAll) = 0;
    virtual StrArray* listFileNames(bool fullPaths, bool includeAll) = 0;
    virtual ArrayP* listPaths(bool includeAll, bool recursive, ArrayP* out) = 0;
    virtual ArrayP* listFolderPaths(bool includeAll, bool recursive, ArrayP* out) = 0;
    virtual ArrayP* listFilePaths(bool includeAll, bool recursive, ArrayP* out) = 0;
    virtual IPathArray* listPathsInto(bool includeAll, bool recursive, IPathArray* list) = 0;
    virtual IPathArray* listFolderPathsInto(bool includeAll, bool recursive, IPathArray* list) = 0;
    virtual IPathArray* listFilePathsInto(bool includeAll, bool recursive, IPathArray* list) = 0;
    virtual ArrayP* listStreams(ArrayP* out) = 0;
    virtual ArrayP* findFiles(bool includeAll, bool recursive, ArrayP* out) = 0;
    virtual ArrayP* findAll(bool includeAll, bool recursive, ArrayP* out) = 0;

    // File streams and whole-file operations.
    virtual IFileInputStream* openInputStream() = 0;
    virtual IFileOutputStream* openOutputStream(bool append) = 0;
    virtual bool readAllBytes(ArrayU08* bytes) = 0;
    virtual bool writeAllBytes(const ArrayU08* bytes, bool append) = 0;
    virtual bool writeText(const wchar_t* text, bool append) = 0;
    virtual bool WipeFileContents(bool ignored, bool restoreAttributes, uint8_t* buffer, uint32_t bufferSize) = 0;

    virtual bool hasExtension(const wchar_t* ext) const = 0;
    virtual void setFrom(const StrBuffer* text) = 0;
    virtual void setText(const wchar_t* text) = 0;
};

} // namespace s::file
