#pragma once
#include <cstdint>

#include "core/base/IObject.h"
#include "core/col/_array/ArrayP.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"

namespace s::col::_array { class ArrayU08; }
namespace s::str::strbuffer { class StrBuffer; }

namespace s::str::strarray {

// A list of strings that owns them: removing or clearing gives them back to the
// string pool.
//   StrArray* list = StrArray::pool();
//   list->add(L"a")->add(L"b");
//   for (uint32_t i = 0; i < list->count(); ++i) use(list->get(i)->c_str());
//   list->release();
class StrArray : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(StrArray, 1000, L"s_str_strarray_StrArray")
public:
    typedef strbuffer::StrBuffer StrBuffer;

    StrArray();
    ~StrArray() override;

    // Gives every string back (pool reset does the same and frees the storage).
    void clear();
    void reset() override;

    // Appends a pooled copy of the text (null: an empty string).
    StrArray* add(const wchar_t* text);
    // Appends the string itself; the list owns it from now on (null is ignored).
    StrArray* addOwned(StrBuffer* text);
    uint32_t count() const { return items_.count(); }
    StrBuffer* get(uint32_t index) const { return static_cast<StrBuffer*>(items_.get(index)); }
    // The first element equal ignoring ASCII case; found or not.
    bool find(const StrBuffer* text, uint32_t* index = nullptr) const;
    bool findText(const wchar_t* text, uint32_t* index = nullptr) const;
    // Removes the element and gives it back to the string pool.
    void removeAt(uint32_t index);

    // Replaces the list with the strings of a double-NUL-terminated UTF-16 block; a
    // block that does not end in two NUL units leaves the list empty.
    void fromMultiString(const col::_array::ArrayU08* bytes);
    // Every string with its NUL unit, then one more NUL unit (empty list: four zero
    // bytes). bytes null: a new pooled array. Returns the array.
    col::_array::ArrayU08* toMultiString(col::_array::ArrayU08* bytes) const;
    // The strings joined by CR LF as UTF-8 without signature or NUL, in a new pooled
    // array (the caller releases it).
    col::_array::ArrayU08* joinLines() const;
    // Writes joinLines() to the file (its folder created one level deep when missing),
    // replacing any content; true when every byte was written. Defined with the file
    // streams in the system library, which core cannot link.
    bool saveToFile(const wchar_t* path) const;

private:
    col::_array::ArrayP items_;
};

} // namespace s::str::strarray
