#pragma once
#include <cstdint>

#include "core/thread/Factory.h"

namespace s::xml {

// Hands out the attribute records of the XML tree. One factory serves the whole
// process (instance()); its IDestructor view is the element cleaner of every
// attribute list, so disposing a record frees its texts.
class AttrFactory : public thread::Factory {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_xml_AttrFactory";

    // One attribute. A name length of 0 marks element text. Both texts are heap
    // copies, zero-terminated; the lengths count characters without the zero.
    struct Record {
        uint32_t nameLength;
        wchar_t* name;
        uint32_t valueLength;
        wchar_t* value;
    };

    // The process-wide factory; built on first use and kept to the end of the
    // process, so attribute lists released by static objects still find it.
    static AttrFactory& instance();

    AttrFactory() = default;
    ~AttrFactory() override;

    const wchar_t* className() const override { return CLASS_NAME; }
    base::IObject* newInstance() const override;

    // A record holding copies of both texts (length -1: up to the zero); null when
    // memory runs out.
    Record* make(const wchar_t* name, int32_t nameLength, const wchar_t* value, int32_t valueLength);

    // A zeroed record; null when memory runs out.
    void* generate() override;
    int32_t sizeOf(void* object) override;
    // Frees the texts and zeroes the record.
    void prepare(void* object) override;
    void destroyObject(void* object) override;
};

} // namespace s::xml
