#pragma once
#include <cstdint>

#include "core/base/IObject.h"

namespace s::col::_array { class ArrayU08; }
namespace s::str::strarray { class StrArray; }

namespace s::map {

// A settings store: named values sorted into groups. Every call names its group (a
// path; "" is the store's root) and its value ("" is the group's default value).
// Getters return their default when the group or the value is missing and never
// create anything; setters create the group. Stores keep the last group resolved,
// so a run of calls on one group is cheap.
class IMappedData : public base::IObject {
public:
    typedef col::_array::ArrayU08 ArrayU08;
    typedef str::strarray::StrArray StrArray;

    // Writes the store out; true when there was nothing to write.
    virtual bool save() = 0;
    // Resolves the group, creating what is missing; true when it exists now.
    virtual bool openGroup(const wchar_t* group) = 0;
    // Removes the group with everything under it; true when something was removed.
    virtual bool deleteGroup(const wchar_t* group) = 0;
    // Resolves the group without creating anything.
    virtual bool findGroup(const wchar_t* group) = 0;
    virtual bool hasValue(const wchar_t* group, const wchar_t* name) = 0;

    virtual uint8_t getU08(const wchar_t* group, const wchar_t* name, uint8_t def) = 0;
    virtual uint16_t getU16(const wchar_t* group, const wchar_t* name, uint16_t def) = 0;
    virtual uint32_t getU32(const wchar_t* group, const wchar_t* name, uint32_t def) = 0;
    virtual uint64_t getU64(const wchar_t* group, const wchar_t* name, uint64_t def) = 0;
    virtual int8_t getS08(const wchar_t* group, const wchar_t* name, int8_t def) = 0;
    virtual int16_t getS16(const wchar_t* group, const wchar_t* name, int16_t def) = 0;
    virtual int32_t getS32(const wchar_t* group, const wchar_t* name, int32_t def) = 0;
    virtual int64_t getS64(const wchar_t* group, const wchar_t* name, int64_t def) = 0;
    virtual float getFloat(const wchar_t* group, const wchar_t* name, float def) = 0;
    virtual double getDouble(const wchar_t* group, const wchar_t* name, double def) = 0;
    virtual bool getBool(const wchar_t* group, const wchar_t* name, bool def) = 0;
    // Valid until the next call on the store. isExpandable (may be null) is set
    // true only for a registry value of the expandable-string type; expand asks
    // for its environment variables to be expanded.
    virtual const wchar_t* getString(const wchar_t* group, const wchar_t* name, const wchar_t* def,
                                     bool* isExpandable, bool expand) = 0;
    // String lists are not kept in settings: always null.
    virtual StrArray* getStrings(const wchar_t* group, const wchar_t* name) = 0;
    // The value's bytes into bytes (null: a new pooled array the caller releases).
    virtual ArrayU08* getBytes(const wchar_t* group, const wchar_t* name, ArrayU08* bytes) = 0;
    virtual bool deleteValue(const wchar_t* group, const wchar_t* name) = 0;

    // Setters answer whether the value was stored (and, with auto-save, saved).
    virtual bool setU08(const wchar_t* group, const wchar_t* name, uint8_t value) = 0;
    virtual bool setU16(const wchar_t* group, const wchar_t* name, uint16_t value) = 0;
    virtual bool setU32(const wchar_t* group, const wchar_t* name, uint32_t value) = 0;
    virtual bool setU64(const wchar_t* group, const wchar_t* name, uint64_t value) = 0;
    virtual bool setS08(const wchar_t* group, const wchar_t* name, int8_t value) = 0;
    virtual bool setS16(const wchar_t* group, const wchar_t* name, int16_t value) = 0;
    virtual bool setS32(const wchar_t* group, const wchar_t* name, int32_t value) = 0;
    virtual bool setS64(const wchar_t* group, const wchar_t* name, int64_t value) = 0;
    virtual bool setFloat(const wchar_t* group, const wchar_t* name, float value) = 0;
    virtual bool setDouble(const wchar_t* group, const wchar_t* name, double value) = 0;
    virtual bool setBool(const wchar_t* group, const wchar_t* name, bool value) = 0;
    virtual bool setString(const wchar_t* group, const wchar_t* name, const wchar_t* text) = 0;
    virtual bool setExpandString(const wchar_t* group, const wchar_t* name, const wchar_t* text) = 0;
    // String lists are not kept: only the auto-save step runs.
    virtual bool setStrings(const wchar_t* group, const wchar_t* name, const StrArray* strings) = 0;
    virtual bool setBytes(const wchar_t* group, const wchar_t* name, const ArrayU08* bytes) = 0;

    // With auto-save on, every change is saved at once.
    virtual bool isAutoSave() const = 0;
    virtual void setAutoSave(bool on) = 0;
};

} // namespace s::map
