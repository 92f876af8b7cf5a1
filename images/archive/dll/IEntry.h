#pragma once
#include <cstdint>

#include "images/archive/IEntry.h"

namespace s::archive::dll {

// A resource of a program module: its type (a kind code for the predefined types,
// else a text), its name (a number or a text) and its language.
class IEntry : public archive::IEntry {
public:
    virtual void setNameId(uint32_t id) = 0;
    virtual void setNameText(const wchar_t* text) = 0;
    virtual uint32_t nameId() const = 0;
    // "" for a numbered name.
    virtual const wchar_t* nameText() const = 0;
    virtual bool isNameId() const = 0;
    bool isNameText() const { return !isNameId(); }

    virtual void setKind(uint32_t kind) = 0;
    // A Windows type number, held as its kind beside the number itself.
    virtual void setWindowsType(uint32_t type) = 0;
    virtual void setTypeText(const wchar_t* text) = 0;
    virtual uint32_t kind() const = 0;
    // "" for a predefined type.
    virtual const wchar_t* typeText() const = 0;
    virtual bool isKind() const = 0;
    bool isTypeText() const { return !isKind(); }
    // The Windows type number the entry was made from (0 for a type text).
    virtual uint32_t windowsType() const = 0;

    virtual uint16_t primaryLanguage() const = 0;
    virtual uint16_t subLanguage() const = 0;
    virtual void setPrimaryLanguage(uint16_t language) = 0;
    virtual void setSubLanguage(uint16_t language) = 0;
};

} // namespace s::archive::dll
