#pragma once
#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"

namespace s::str::strbuffer { class StrBuffer; }
namespace s::str::strarray { class StrArray; }
namespace s::col::_array { class ArrayS32; }
namespace s::map { class MapTable; }

namespace s::lang {

// One language of the language pack: its names, its numbered texts (ids and texts
// parallel, the first text of a number wins) and its texts under named keys.
class LangPack : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(LangPack, 1000, L"s_lang_LangPack")
public:
    typedef str::strbuffer::StrBuffer StrBuffer;
    typedef str::strarray::StrArray StrArray;

    ~LangPack() override;
    LangPack(const LangPack&) = delete;
    LangPack& operator=(const LangPack&) = delete;

    // Names emptied, every text given back.
    void reset() override;

    // The element name of this language's texts ("eng").
    const wchar_t* tagName() const;
    // The English name ("Chinese_Simplified").
    const wchar_t* engName() const;
    // The language's own name for itself.
    const wchar_t* trueName() const;
    void setNames(const wchar_t* tagName, const wchar_t* engName, const wchar_t* trueName);

    // Adds the text under the number; false when memory runs out. On systems before
    // Vista the Venetian texts get "ł" for "ƚ", which their fonts lack.
    bool addText(int32_t id, const wchar_t* text);
    // Adds the text under the key unless the key has one; false when it had or
    // memory runs out.
    bool addNamedText(const wchar_t* key, const wchar_t* text);

    bool hasId(int32_t id) const;
    // The first text of the number; null when there is none.
    const wchar_t* textOf(int32_t id) const;
    bool hasKey(const wchar_t* key) const;
    // The text of the key; null when there is none.
    const wchar_t* namedText(const wchar_t* key) const;

    uint32_t textCount() const;
    int32_t idAt(uint32_t index) const;
    const wchar_t* textAt(uint32_t index) const;
    const StrArray* keys() const { return keys_; }

private:
    LangPack();

    // The text to store: a pooled copy with the Venetian rule applied; null when
    // memory runs out.
    StrBuffer* storedText(const wchar_t* text) const;
    StrBuffer* findNamed(const wchar_t* key) const;

    StrBuffer* tagName_;
    StrBuffer* engName_;
    StrBuffer* trueName_;
    col::_array::ArrayS32* ids_;
    StrArray* texts_;
    StrArray* keys_;
    map::MapTable* namedTexts_;
};

} // namespace s::lang
