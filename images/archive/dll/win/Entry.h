#pragma once
#include <windows.h>

#include <cstdint>

#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "images/archive/dll/IEntry.h"

namespace s::archive::dll::win {

// One resource of a loaded module. Predefined types are held as the archive's kind
// codes (alphabetical by name) and, beside them, as the Windows type number they came
// from: the Windows numbers 13, 15 and 18 (and 0) are no predefined types but equal
// the kind codes of MANIFEST, MESSAGETABLE and STRING, so such types get kinds above
// FOREIGN_KIND and are never taken for those.
class Entry : public IEntry, public thread::IPoolable {
    S_POOLED_CLASS(Entry, 1000, L"s_archive_dll_win_Entry")
public:
    typedef str::strbuffer::StrBuffer StrBuffer;

    enum Kind : uint32_t {
        KIND_ACCELERATOR = 0,
        KIND_ANICURSOR = 1,
        KIND_ANIICON = 2,
        KIND_BITMAP = 3,
        KIND_CURSOR_IMAGE = 4,
        KIND_DIALOG = 5,
        KIND_DLGINCLUDE = 6,
        KIND_FONT = 7,
        KIND_FONTDIR = 8,
        KIND_GROUP_CURSOR = 9,
        KIND_GROUP_ICON = 10,
        KIND_HTML = 11,
        KIND_ICON_IMAGE = 12,
        KIND_MANIFEST = 13,
        KIND_MENU = 14,
        KIND_MESSAGETABLE = 15,
        KIND_PLUGPLAY = 16,
        KIND_RCDATA = 17,
        KIND_STRING = 18,
        KIND_VERSION = 19,
        KIND_VXD = 20,
    };
    static constexpr uint32_t KIND_COUNT = 21;
    // Kinds of Windows type numbers that would collide with a kind code.
    static constexpr uint32_t FOREIGN_KIND = 0x10000;

    static uint32_t kindOfWindowsType(uint32_t type);
    static uint32_t windowsTypeOfKind(uint32_t kind);
    // The folder name of a kind in exports: the table's name, else the Windows type
    // number in decimal (written into out). Kind 19 (version) has the empty name.
    static const wchar_t* exportNameOfKind(uint32_t kind, StrBuffer* out);
    // ".txt", ".ico" ...; "" when the kind is written with no extension.
    static const wchar_t* extensionOfKind(uint32_t kind);

    ~Entry() override;
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;

    void reset() override;

    int64_t size() const override { return size_; }
    void setSize(int64_t size) override { size_ = size; }

    void setNameId(uint32_t id) override;
    void setNameText(const wchar_t* text) override;
    uint32_t nameId() const override { return nameId_; }
    const wchar_t* nameText() const override;
    bool isNameId() const override { return nameIsId_ != 0; }

    void setKind(uint32_t kind) override;
    void setWindowsType(uint32_t type) override;
    void setTypeText(const wchar_t* text) override;
    uint32_t kind() const override { return kind_; }
    const wchar_t* typeText() const override;
    bool isKind() const override { return typeIsKind_ != 0; }
    uint32_t windowsType() const override { return typeIsKind_ != 0 ? windowsType_ : 0; }

    uint16_t primaryLanguage() const override { return primaryLanguage_; }
    uint16_t subLanguage() const override { return subLanguage_; }
    void setPrimaryLanguage(uint16_t language) override { primaryLanguage_ = language & 0x3FF; }
    void setSubLanguage(uint16_t language) override { subLanguage_ = language & 0x3F; }
    // The Windows language identifier: (sub-language << 10) | primary language.
    uint16_t languageId() const { return static_cast<uint16_t>(subLanguage_ << 10 | primaryLanguage_); }
    void setLanguageId(uint16_t language);

    // Type and name as the resource calls take them (an integer resource or the text).
    const wchar_t* typeResource() const;
    const wchar_t* nameResource() const;
    // Takes type and name from such values.
    void setTypeResource(const wchar_t* type);
    void setNameResource(const wchar_t* name);

    HRSRC handle() const { return handle_; }
    void setHandle(HRSRC handle) { handle_ = handle; }

private:
    Entry();

    int64_t size_;
    uint8_t nameIsId_;
    uint32_t nameId_;
    StrBuffer* nameText_;
    uint8_t typeIsKind_;
    uint32_t kind_;
    StrBuffer* typeText_;
    uint32_t windowsType_;
    uint16_t primaryLanguage_;
    uint16_t subLanguage_;
    HRSRC handle_;
};

} // namespace s::archive::dll::win
