#pragma once
#include <cstdint>

#include "core/base/IObject.h"
#include "core/col/_array/ArrayP.h"
#include "core/thread/ClassPool.h"
#include "core/thread/ObjLocker.h"

namespace s::system::codepage {

class CodePage;

// The code pages the system converts to and from, each with its display name, ordered
// by name ignoring case. Built once from what Windows reports, filtered by the known
// list; the UTF-16 (1200) and UTF-16BE (1201) entries are always present, since some
// systems do not report them.
//   const CodePageCatalogue& pages = CodePageCatalogue::ensureCodePages();
//   const CodePage* sjis = pages.find(932);
class CodePageCatalogue : public base::IObject {
    S_CLASS_NAME(L"s_system_codepage_CodePageCatalogue")
public:
    CodePageCatalogue();
    ~CodePageCatalogue() override;
    CodePageCatalogue(const CodePageCatalogue&) = delete;
    CodePageCatalogue& operator=(const CodePageCatalogue&) = delete;

    // A new, unbuilt catalogue.
    base::IObject* newInstance() const override;

    // The process-wide catalogue, built on the first call (thread-safe).
    static const CodePageCatalogue& ensureCodePages();
    // The display name of a known code page, or null for one the system leaves out.
    static const wchar_t* knownName(int32_t number);

    // Builds the catalogue unless built; concurrent callers build it once.
    void ensure();
    bool built() const { return built_ != 0; }

    // The entries (CodePage pointers), owned by the catalogue.
    const col::_array::ArrayP& entries() const { return entries_; }
    uint32_t count() const { return entries_.count(); }
    const CodePage* get(uint32_t index) const { return static_cast<const CodePage*>(entries_.get(index)); }
    // The entry with that number, or null.
    const CodePage* find(int32_t number) const;
    const CodePage* utf16() const { return utf16_; }
    const CodePage* utf16Be() const { return utf16Be_; }

private:
    void build();
    void addEntry(int32_t number, const wchar_t* reportedName);

    col::_array::ArrayP entries_;
    CodePage* utf16_;
    CodePage* utf16Be_;
    volatile LONG built_;
    thread::ObjLocker lock_;
};

} // namespace s::system::codepage
