#pragma once
#include <windows.h>

#include <cstdint>

#include "core/col/_array/ArrayP.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "images/archive/dll/IArchive.h"
#include "images/archive/dll/win/Entry.h"

namespace s::io { class IOutputStream; }
namespace s::file::win { class PathWin; }

namespace s::archive::dll::win {

// The resources of a program module (an executable or library file).
//
// A foreign module is loaded as a data file, so none of its code runs; the program's
// own module is read through its own handle and never freed. Entries are listed per
// type and name (per language too before Windows Vista).
//
//   Archive* archive = Archive::openModuleArchive(L"C:\\x\\Brisquelton.exe");
//   xml::Node* pack = archive->readXml(L"IDR_XML", 130);
//   ...
//   pack->release();
//   archive->release();
class Archive : public IArchive, public thread::IPoolable {
    S_POOLED_CLASS(Archive, 1000, L"s_archive_dll_win_Archive")
public:
    typedef col::_array::ArrayU08 ArrayU08;
    typedef str::strbuffer::StrBuffer StrBuffer;

    // An archive from the pool opened on the module; returned even when opening
    // failed (it then has no entries). Null only when no archive could be had.
    static Archive* openModuleArchive(const wchar_t* path);

    ~Archive() override;
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    // Closes.
    void reset() override;

    int64_t size() const override { return size_; }
    uint32_t count() const override { return entries_.count(); }
    IEntry* entryAt(uint32_t index) const override;
    Entry* entry(uint32_t index) const;
    bool open(file::IPath* path) override;
    void close() override;
    bool readEntry(archive::IEntry* entry, ArrayU08* bytes) override;

    bool findByNameText(const wchar_t* name, uint32_t* index) const override;
    bool findByNameId(uint32_t id, uint32_t* index) const override;
    bool findByNameTextNoCase(const wchar_t* name, uint32_t* index) const override;
    bool findNthOfKind(uint32_t kind, uint32_t n, uint32_t* index) const override;
    bool findByTypeTextNameText(const wchar_t* type, const wchar_t* name, uint32_t* index) const override;
    bool findByTypeTextNameId(const wchar_t* type, uint32_t id, uint32_t* index) const override;
    bool findByKindNameText(uint32_t kind, const wchar_t* name, uint32_t* index) const override;
    bool findByKindNameId(uint32_t kind, uint32_t id, uint32_t* index) const override;
    bool findByTypeTextNameTextNoCase(const wchar_t* type, const wchar_t* name, uint32_t* index) const override;
    bool findByKindNameTextNoCase(uint32_t kind, const wchar_t* name, uint32_t* index) const override;

    StrBuffer* readResource(const wchar_t* type, uint32_t id) override;
    xml::Node* readXml(const wchar_t* type, uint32_t id) override;
    // The document's root element as readXml reads it from a resource's text (an empty
    // node when the text holds no element); null only when no node could be had.
    static xml::Node* readXmlText(const wchar_t* text, uint32_t length);

    // Folder per type: the kind's export name (the type number for types without
    // one, the type text for named types); file: the name id or the name text (made
    // safe for a file name) with the kind's extension, "VERSION" for version blocks.
    // Files that exist already are left as they are; cursor and icon images are only
    // written as part of their groups.
    bool exportAll(const wchar_t* folder) override;
    // Each writes the entry at the index in its file form (".ico", ".cur", ".bmp")
    // or as UTF-8 text; false when the entry cannot be read or its bytes are damaged.
    bool exportGroupIcon(uint32_t index, io::IOutputStream* out);
    bool exportGroupCursor(uint32_t index, io::IOutputStream* out);
    bool exportBitmap(uint32_t index, io::IOutputStream* out);
    bool exportVersionText(uint32_t index, io::IOutputStream* out);
    bool exportStringTableText(uint32_t index, io::IOutputStream* out);
    bool exportAcceleratorText(uint32_t index, io::IOutputStream* out);
    bool exportMenuText(uint32_t index, io::IOutputStream* out);
    bool exportDialogText(uint32_t index, io::IOutputStream* out);

    // The module is freed for the update and loaded again afterwards, and every
    // entry's handle and size are found again. A failed update leaves file and
    // entries as they were; an entry is added only when the update made it. The
    // running program's own file cannot be updated.
    bool replaceResource(const void* data, uint32_t count, const wchar_t* type, const wchar_t* name,
                         uint16_t language) override;
    void forgetModule() override;

    HMODULE module() const { return module_; }
    file::win::PathWin* path() const { return path_; }
    bool isOwnModule() const { return ownModule_; }

    // A file name made from a resource or type name: characters that Windows refuses
    // in names become "_", as do leading and trailing dots and spaces (so ".." names
    // no folder), and device names get a "_" in front. Appended to out.
    static void appendSafeFileName(const wchar_t* name, StrBuffer* out);

private:
    Archive();

    static BOOL CALLBACK onType(HMODULE module, LPWSTR type, LONG_PTR self);
    static BOOL CALLBACK onName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR self);
    static BOOL CALLBACK onLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR self);

    bool loadModule();
    void freeModule();
    bool enumerate();
    bool addEntry(const wchar_t* type, const wchar_t* name, uint16_t language, bool perLanguage);
    int64_t fileSize() const;
    // The entry's bytes into a new pooled array (the caller releases it); null when
    // they cannot be read.
    ArrayU08* readBytes(uint32_t index);
    bool exportText(uint32_t index, io::IOutputStream* out,
                    bool (*format)(const uint8_t*, uint32_t, StrBuffer*));
    bool exportGroup(uint32_t index, io::IOutputStream* out, bool cursor);
    bool exportEntry(uint32_t index, const wchar_t* folder);

    file::win::PathWin* path_;
    int64_t size_;
    col::_array::ArrayP entries_;
    HMODULE module_;
    bool ownModule_;
    bool enumFailed_;
};

} // namespace s::archive::dll::win
