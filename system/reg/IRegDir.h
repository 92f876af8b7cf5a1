#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"

namespace s::col::_array { class ArrayP; class ArrayU08; }
namespace s::str::strbuffer { class StrBuffer; }
namespace s::str::strarray { class StrArray; }

namespace s::reg {

// One registry key, addressed by a Win32 root key and a path below it. Operations
// that need the key open it first; failures are false, defaults or null.
class IRegDir : public base::IObject {
public:
    typedef str::strbuffer::StrBuffer StrBuffer;
    typedef str::strarray::StrArray StrArray;
    typedef col::_array::ArrayU08 ArrayU08;
    typedef col::_array::ArrayP ArrayP;

    // rootName + "\" + path, and the NT object path.
    virtual const wchar_t* win32PathText() const = 0;
    virtual const wchar_t* ntPathText() const = 0;
    // A new key object for the path up to its last "\"; null when there is none.
    virtual IRegDir* parent() const = 0;
    // New key objects, one per subkey in enumeration order; releasing the array
    // releases them.
    virtual ArrayP* subKeys() = 0;
    virtual ArrayP* subKeysStartingWith(const wchar_t* prefix) = 0;
    virtual HKEY rootKey() const = 0;
    // False (and nothing changed) for a root this class does not know.
    virtual bool setRoot(HKEY root) = 0;
    virtual const wchar_t* pathText() const = 0;
    // Addresses another key of the same root (trailing "\" removed) and opens it when
    // it exists.
    virtual bool openPath(const wchar_t* path) = 0;
    // The last piece of the path, into target (replaced unless append) or a new string.
    virtual StrBuffer* keyName(StrBuffer* target, bool append) const = 0;
    // "HKEY_LOCAL_MACHINE\..." and the other root names, any case; anything else
    // addresses HKEY_CURRENT_USER "InvalidKey".
    virtual bool parse(const wchar_t* fullPath) = 0;
    virtual bool open(HKEY root, const wchar_t* path) = 0;
    virtual void close() = 0;
    // Opens the key afresh: true while it is there.
    virtual bool exists() = 0;
    // Creates the key with every missing parent; true when it is open afterwards.
    virtual bool create() = 0;
    // Deletes every subkey, depth first, and with deleteSelf the key itself.
    virtual bool remove(bool deleteSelf) = 0;
    virtual bool rename(const wchar_t* newName) = 0;
    virtual bool flush() = 0;
    // Type and data length of a value (0 and 0 when missing); with a required type
    // other than -1, a value of another type fails. The data lands in the object's
    // value buffer.
    virtual bool queryValue(const wchar_t* name, uint32_t* type, uint32_t* length, int32_t requiredType) = 0;
    virtual StrArray* valueNames() = 0;
    virtual bool countSubKeys(bool recursive, uint32_t* counter) = 0;
    virtual uint32_t valueLength(const wchar_t* name) = 0;

    // Getters decide by data length: 4 bytes for the 8- to 32-bit numbers, bool and
    // float, 8 bytes for the 64-bit numbers and double; anything else gives the default.
    virtual uint8_t getU08(const wchar_t* name, uint8_t def) = 0;
    virtual uint16_t getU16(const wchar_t* name, uint16_t def) = 0;
    virtual uint32_t getU32(const wchar_t* name, uint32_t def) = 0;
    virtual uint64_t getU64(const wchar_t* name, uint64_t def) = 0;
    virtual int8_t getS08(const wchar_t* name, int8_t def) = 0;
    virtual int16_t getS16(const wchar_t* name, int16_t def) = 0;
    virtual int32_t getS32(const wchar_t* name, int32_t def) = 0;
    virtual int64_t getS64(const wchar_t* name, int64_t def) = 0;
    virtual float getFloat(const wchar_t* name, float def) = 0;
    virtual double getDouble(const wchar_t* name, double def) = 0;
    virtual bool getBool(const wchar_t* name, bool def) = 0;
    // REG_SZ and REG_EXPAND_SZ (flagged, expanded on request); empty data gives "".
    // The text stays valid until the next call on this object.
    virtual const wchar_t* getString(const wchar_t* name, const wchar_t* def, bool* isExpandable, bool expand) = 0;
    // A pooled list (empty when missing) the caller releases.
    virtual StrArray* getMultiString(const wchar_t* name) = 0;
    // The raw data of any type into bytes (null: a new pooled array); null when missing.
    virtual ArrayU08* getBytes(const wchar_t* name, ArrayU08* bytes) = 0;
    virtual bool deleteValue(const wchar_t* name) = 0;

    virtual bool setU08(const wchar_t* name, uint8_t value) = 0;
    virtual bool setU16(const wchar_t* name, uint16_t value) = 0;
    virtual bool setU32(const wchar_t* name, uint32_t value) = 0;
    virtual bool setU64(const wchar_t* name, uint64_t value) = 0;
    virtual bool setS08(const wchar_t* name, int8_t value) = 0;
    virtual bool setS16(const wchar_t* name, int16_t value) = 0;
    virtual bool setS32(const wchar_t* name, int32_t value) = 0;
    virtual bool setS64(const wchar_t* name, int64_t value) = 0;
    virtual bool setFloat(const wchar_t* name, float value) = 0;
    virtual bool setDouble(const wchar_t* name, double value) = 0;
    virtual bool setBool(const wchar_t* name, bool value) = 0;
    virtual bool setString(const wchar_t* name, const wchar_t* text) = 0;
    virtual bool setExpandString(const wchar_t* name, const wchar_t* text) = 0;
    virtual bool setMultiString(const wchar_t* name, const StrArray* strings) = 0;
    virtual bool setBytes(const wchar_t* name, const ArrayU08* bytes) = 0;
};

} // namespace s::reg
