#pragma once
#include <cstdint>

#include "images/archive/IArchive.h"
#include "system/lang/IResourceText.h"

namespace s::str::strbuffer { class StrBuffer; }
namespace s::xml { class Node; }

namespace s::archive::dll {

// The resources of a program module read as an archive. Finders answer true and the
// index (may be null) of the first matching entry in list order; text comparisons
// match whole texts only.
class IArchive : public archive::IArchive, public lang::IResourceText {
public:
    virtual bool findByNameText(const wchar_t* name, uint32_t* index) const = 0;
    virtual bool findByNameId(uint32_t id, uint32_t* index) const = 0;
    virtual bool findByNameTextNoCase(const wchar_t* name, uint32_t* index) const = 0;
    // The n-th (from 0) entry of the kind.
    virtual bool findNthOfKind(uint32_t kind, uint32_t n, uint32_t* index) const = 0;
    virtual bool findByTypeTextNameText(const wchar_t* type, const wchar_t* name, uint32_t* index) const = 0;
    virtual bool findByTypeTextNameId(const wchar_t* type, uint32_t id, uint32_t* index) const = 0;
    virtual bool findByKindNameText(uint32_t kind, const wchar_t* name, uint32_t* index) const = 0;
    virtual bool findByKindNameId(uint32_t kind, uint32_t id, uint32_t* index) const = 0;
    virtual bool findByTypeTextNameTextNoCase(const wchar_t* type, const wchar_t* name, uint32_t* index) const = 0;
    virtual bool findByKindNameTextNoCase(uint32_t kind, const wchar_t* name, uint32_t* index) const = 0;

    // The resource decoded from UTF-8 (see lang::IResourceText).
    str::strbuffer::StrBuffer* readResource(const wchar_t* type, uint32_t id) override = 0;
    // The resource parsed as an XML document: its root element (the caller releases
    // it), or null when there is no such resource.
    virtual xml::Node* readXml(const wchar_t* type, uint32_t id) = 0;

    // Writes every entry into a folder tree under the folder (one folder per type);
    // false when an entry could not be written.
    virtual bool exportAll(const wchar_t* folder) = 0;
    // Replaces or adds one resource in the module file (type and name: texts or
    // integer resources); false when the file could not be updated.
    virtual bool replaceResource(const void* data, uint32_t count, const wchar_t* type, const wchar_t* name,
                                 uint16_t language) = 0;
    // Forgets the module handle without freeing the module.
    virtual void forgetModule() = 0;
};

} // namespace s::archive::dll
