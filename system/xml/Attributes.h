#pragma once
#include <cstdint>

#include "core/base/IObject.h"
#include "core/col/_array/ArrayP.h"
#include "core/thread/ClassPool.h"
#include "system/xml/AttrFactory.h"

namespace s::xml {

// The attribute list of one element, in document order. Records come from the
// one AttrFactory and go back to it when removed. Element text is kept as records
// with an empty name; lookups by name ignore ASCII case and take the first match.
class Attributes : public base::IObject {
    S_CLASS_NAME(L"s_xml_Attributes")
public:
    typedef AttrFactory::Record Record;

    Attributes();
    ~Attributes() override;
    Attributes(const Attributes&) = delete;
    Attributes& operator=(const Attributes&) = delete;

    base::IObject* newInstance() const override;

    uint32_t count() const { return list_.count(); }
    Record* at(uint32_t i) const { return static_cast<Record*>(list_.get(i)); }
    // Appends a record with copies of both texts (length -1: up to the zero); false
    // when memory runs out.
    bool add(const wchar_t* name, int32_t nameLength, const wchar_t* value, int32_t valueLength);
    // The first record of that name (length -1: up to the zero), or -1.
    int32_t indexOf(const wchar_t* name, int32_t nameLength = -1) const;
    Record* find(const wchar_t* name, int32_t nameLength = -1) const;
    void removeAt(uint32_t i);
    // Removes every record of that name; returns how many went.
    uint32_t removeAll(const wchar_t* name, int32_t nameLength = -1);
    void clear();

private:
    col::_array::ArrayP list_;
};

} // namespace s::xml
