#pragma once
#include <windows.h>

#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "system/file/IPath.h"
#include "system/file/win/FileInputStream.h"
#include "system/file/win/FileOutputStream.h"
#include "system/file/win/PathArray.h"

namespace s::file::win {

// The pooled path of IPath: take one with create()/createJoined()/..., release it
// when done, never delete it. Facts (attributes, sizes, times, file system) are read
// on first use and kept until the text changes; exists() and the access tests ask the
// system every time. Every call into the file system uses the API text, so paths of
// 260 characters or more work.
class PathWin : public IPath, public thread::IPoolable {
    S_POOLED_CLASS(PathWin, 1000, L"s_file_win_PathWin")
public:
    // Full texts of 250 characters or more get the long form.
    static constexpr uint32_t LONG_FORM_FROM = 250;

    PathWin();
    ~PathWin() override;
    PathWin(const PathWin&) = delete;
    PathWin& operator=(const PathWin&) = delete;

    static PathWin* create(const wchar_t* text);
    // a followed by b, no separator added.
    static PathWin* createConcat(const wchar_t* a, const wchar_t* b);
    // folder + "\" + name.
    static PathWin* createJoined(const wchar_t* folder, const wchar_t* name);
    // folder + "\" + name + ".lnk".
    static PathWin* createShortcutPath(const wchar_t* folder, const wchar_t* name);
    PathWin* copy() const;

    // IObject: the full texts compared, tested and hashed as strings.
    int32_t compareTo(const base::IObject* other, const base::IComparator* comparator = nullptr) const override;
    int32_t compareToIgnoreCase(const base::IObject* other,
                                const base::IComparator* comparator = nullptr) const override;
    bool equals(const base::IObject* other, const base::IComparator* comparator = nullptr) const override;
    bool equalsIgnoreCase(const base::IObject* other, const base::IComparator* comparator = nullptr) const override;
    uint32_t hashCode() const override;
    uint32_t hashCodeIgnoreCase() const override;

    void reset() override;

    StrBuffer* debugText(StrBuffer* out, bool append) override;
    void clear() override;
    bool isValid() const override { return valid_; }
    bool isLocalOrUnc() const override { return valid_ && (hasDriveLetter() || isUnc()); }
    bool exists() override;
    bool isNtfs() override { return fileSystemKind() == 4; }
    bool isFat() override;
    // INVALID_FILE_ATTRIBUTES (0xFFFFFFFF) when the path does not exist; the
    // attribute tests below then answer false.
    uint32_t getAttributes() override;
    bool addAttributes(uint32_t bits) override;
    bool setAttributes(uint32_t bits) override;
    bool canRead() override;
    bool canWrite() override;
    bool canReadWrite() override { return canWrite(); }
    bool isDirectory() override { return hasAttribute(FILE_ATTRIBUTE_DIRECTORY); }
    bool isEmptyDirectory() override { return isDirectory() && !hasChildren(true); }
    bool isFile() override;
    bool isStream() const override { return stream_; }
    bool isHidden() override { return hasAttribute(FILE_ATTRIBUTE_HIDDEN); }
    bool isSystem() override { return hasAttribute(FILE_ATTRIBUTE_SYSTEM); }
    bool isArchive() override { return hasAttribute(FILE_ATTRIBUTE_ARCHIVE); }
    bool isExe() override { return isFile() && fullEndsWith(L".exe"); }
    bool isLnk() override { return isFile() && fullEndsWith(L".lnk"); }
    bool isUrl() override { return isFile() && fullEndsWith(L".url"); }
    bool isFolderShortcut() override;
    bool isUnc() const override;
    const wchar_t* getServerName() override;
    bool isDriveRoot() const override;
    bool hasDriveLetter() const override;
    wchar_t getDriveLetter() const override;
    bool isSameVolume(const wchar_t* text) override;
    const wchar_t* getRelativePath(const wchar_t* target, bool baseIsFolder) override;
    const wchar_t* getAbsolutePath(const wchar_t* relative, bool baseIsFolder) override;
    const wchar_t* getText() const override;
    const wchar_t* getApiText() const override;
    uint32_t getLength() const override;
    const wchar_t* getVolumeRoot() override;
    const wchar_t* getExtensionText() const override;
    int64_t getSize(bool sumFolder, bool recurse, uint32_t* fileCount, uint32_t* folderCount,
                    bool includeFiles) override;
    int64_t getSizeOnDisk() override;
    void setStreamSize(int64_t size) override { streamSize_ = size; }
    int64_t getCreationTime(bool refresh) override;
    int64_t getAccessTime(bool refresh) override;
    int64_t getModificationTime(bool refresh) override;

    bool setTimes(int64_t created, int64_t modified, int64_t accessed, bool forNormal, bool forReadOnly,
                  bool forHidden, bool forSystem, bool recurse) override;
    bool setReadable(bool flag) override;
    bool setWritable(bool flag) override;
    bool makeWritable() override { return setWritable(true); }
    bool hide() override { return addAttributes(FILE_ATTRIBUTE_HIDDEN); }
    bool moveTo(const wchar_t* target) override;
    bool ScrambleFileName(uint32_t passes, StrBuffer* nameOut, bool restoreAttributes) override;
    bool makeDirectory(bool notify) override;
    bool createFile(bool notify) override;
    bool ensureParentFolder() override;
    bool remove(bool notify, bool onReboot) override;
    bool removeOnReboot() override;
    bool recycle(bool confirm, bool notify) override;
    bool copyTo(const wchar_t* target, bool overwrite) override;
    bool rename(const wchar_t* target, bool replaceExisting, bool notify) override;
    bool createShortcut(const wchar_t* linkPath, bool replace, const wchar_t* arguments) override;
    bool createInternetShortcut(const wchar_t* url, bool replace) override;

    StrBuffer* getFullText(StrBuffer* buffer, bool append) override;
    StrBuffer* getAsFolder(StrBuffer* buffer, bool append) override;
    const wchar_t* getAsFolder() override;
    PathWin* getParentOrNull() override;
    StrBuffer* getFolder(StrBuffer* buffer, bool append) override;
    const wchar_t* getFolder() override;
    StrBuffer* getFolderNoSlash(StrBuffer* buffer, bool append) override;
    const wchar_t* getFolderNoSlash() override;
    StrBuffer* getName(StrBuffer* buffer, bool append) override;
    const wchar_t* getName() override;
    StrBuffer* getTitle(StrBuffer* buffer, bool append) override;
    const wchar_t* getTitle() override;
    StrBuffer* getExtension(StrBuffer* buffer, bool append) override;
    const wchar_t* getExtension() override;
    StrBuffer* getExtensionNoDot(StrBuffer* buffer, bool append) override;
    const wchar_t* getExtensionNoDot() override;
    StrBuffer* getTypeName(StrBuffer* buffer, bool append) override;
    const wchar_t* getTypeName() override;
    StrBuffer* getSizeText(StrBuffer* buffer, bool append) override;
    const wchar_t* getSizeText() override;
    StrBuffer* getUrlTarget(StrBuffer* buffer, bool append) override;
    const wchar_t* getUrlTarget() override;
    StrBuffer* getFolderShortcutTarget(StrBuffer* buffer, bool append) override;
    const wchar_t* getFolderShortcutTarget() override;

    PathWin* child(const wchar_t* name) override;
    PathWin* withExtension(const wchar_t* ext) override;
    PathWin* insertBeforeExtension(const wchar_t* text) override;
    PathWin* uniqueName() override;
    PathWin* uniqueNumberedName() override;
    PathWin* parent() override;
    PathWin* shortcutTarget() override;
    PathWin* folderShortcutTarget() override;

    PathWin* siblingFile(bool forward, const StrArray* extensions, bool sorted, bool wrap) override;
    bool hasChildren(bool includeAll) override;
    StrArray* listNames(bool fullPaths, bool includeAll) override;
    StrArray* listFolderNames(bool fullPaths, bool includeAll) override;
    StrArray* listFileNames(bool fullPaths, bool includeAll) override;
    ArrayP* listPaths(bool includeAll, bool recursive, ArrayP* out) override;
    ArrayP* listFolderPaths(bool includeAll, bool recursive, ArrayP* out) override;
    ArrayP* listFilePaths(bool includeAll, bool recursive, ArrayP* out) override;
    PathArray* listPathsInto(bool includeAll, bool recursive, IPathArray* list) override;
    PathArray* listFolderPathsInto(bool includeAll, bool recursive, IPathArray* list) override;
    PathArray* listFilePathsInto(bool includeAll, bool recursive, IPathArray* list) override;
    ArrayP* listStreams(ArrayP* out) override;
    ArrayP* findFiles(bool includeAll, bool recursive, ArrayP* out) override;
    ArrayP* findAll(bool includeAll, bool recursive, ArrayP* out) override;

    FileInputStream* openInputStream() override;
    FileOutputStream* openOutputStream(bool append) override;
    bool readAllBytes(ArrayU08* bytes) override;
    bool writeAllBytes(const ArrayU08* bytes, bool append) override;
    bool writeText(const wchar_t* text, bool append) override;
    // Writes the bytes to a new file beside this one and moves it over this one in one
    // step: until the new file is complete, the old one stays whole.
    bool replaceAllBytes(const ArrayU08* bytes);
    bool WipeFileContents(bool ignored, bool restoreAttributes, uint8_t* buffer, uint32_t bufferSize) override;

    bool hasExtension(const wchar_t* ext) const override;
    void setFrom(const StrBuffer* text) override;
    void setText(const wchar_t* text) override;

    // Entry kinds of the listings.
    enum Kind { ALL, FOLDERS, FILES };

private:
    // Sets the full text from the stored given text, splits it and builds the long form.
    void parse();
    void buildLongForm();
    void loadAttributes();
    void loadFileInfo();
    int32_t fileSystemKind();
    bool hasAttribute(uint32_t bit);
    bool fullEndsWith(const wchar_t* ext) const;
    // The text from the start to the ":" that opens the stream name (0 when none).
    uint32_t streamColon() const;
    // The base of relative paths: this folder with "\" (see getRelativePath).
    StrBuffer* relativeBase(bool baseIsFolder);
    PathWin* numberedName(bool bracketed);
    StrArray* listNamesOf(int kind, bool fullPaths, bool includeAll);
    ArrayP* find(bool foldersToo, bool includeAll, bool recursive, ArrayP* out);
    // Removes every entry of this folder; reparse points are removed, never entered.
    bool removeEntries(bool onReboot);
    // Overwrites the file's bytes with the buffer's (zeros without one).
    bool wipeOpenFile(const uint8_t* buffer, uint32_t bufferSize);
    // Whether target names this folder or something below it, however it is spelt
    // (short names, links): compared by file identity, and by text.
    bool containsPath(PathWin* target) const;
    // Whether the absolute, normal form of the path is a volume or share root (or
    // cannot be told): such paths are never removed or wiped.
    bool isWholeVolume() const;
    // The target folder of a folder shortcut ("target.lnk" inside), or null.
    PathWin* folderShortcutTargetPath();

    StrBuffer* scratch_;
    StrBuffer* given_;
    StrBuffer* drive_;
    StrBuffer* volumeRoot_;
    StrBuffer* folder_;
    StrBuffer* longForm_;
    int64_t size_;
    int64_t accessTime_;
    int64_t modificationTime_;
    int64_t creationTime_;
    int64_t sizeOnDisk_;
    bool statLoaded_;
    bool valid_;
    bool stream_;
    int64_t streamSize_;
    bool attributesLoaded_;
    uint32_t attributes_;
    int32_t fileSystem_;
    StrBuffer* extension_;
    StrBuffer* full_;
    StrBuffer* title_;
};

} // namespace s::file::win
