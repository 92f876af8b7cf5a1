#pragma once
#include <cstdint>

#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "system/map/IMappedData.h"
#include "system/reg/win/RegDir.h"

namespace s::reg {

// Settings in the registry under HKEY_CURRENT_USER: one key per group, one value per
// name. The group text is appended to the store's key path as it stands, so "\"
// separates subkeys and "/" is an ordinary character of a key name. Values are
// written at once; save() has nothing to do.
//
//   MappedData* store = MappedData::create(L"Software\\Kexo\\X\\SaveData");
//   store->setU32(L"View", L"Width", 640);
//   uint32_t w = store->getU32(L"View", L"Width", 480);
//   store->release();
class MappedData : public map::IMappedData, public thread::IPoolable {
    S_POOLED_CLASS(MappedData, 1000, L"s_reg_MappedData")
public:
    typedef str::strbuffer::StrBuffer StrBuffer;

    ~MappedData() override;
    MappedData(const MappedData&) = delete;
    MappedData& operator=(const MappedData&) = delete;

    // A store on HKEY_CURRENT_USER\keyPath; the key is made by the first setter.
    static MappedData* create(const wchar_t* keyPath);

    void reset() override;

    bool save() override { return true; }
    bool openGroup(const wchar_t* group) override { return resolve(group, true) != nullptr; }
    bool deleteGroup(const wchar_t* group) override;
    bool findGroup(const wchar_t* group) override { return resolve(group, false) != nullptr; }
    bool hasValue(const wchar_t* group, const wchar_t* name) override;

    // Decided by the data length only: 4 bytes for the 8- to 32-bit numbers, float
    // and bool, 8 bytes for the 64-bit numbers and double, whatever the type.
    uint8_t getU08(const wchar_t* group, const wchar_t* name, uint8_t def) override;
    uint16_t getU16(const wchar_t* group, const wchar_t* name, uint16_t def) override;
    uint32_t getU32(const wchar_t* group, const wchar_t* name, uint32_t def) override;
    uint64_t getU64(const wchar_t* group, const wchar_t* name, uint64_t def) override;
    int8_t getS08(const wchar_t* group, const wchar_t* name, int8_t def) override;
    int16_t getS16(const wchar_t* group, const wchar_t* name, int16_t def) override;
    int32_t getS32(const wchar_t* group, const wchar_t* name, int32_t def) override;
    int64_t getS64(const wchar_t* group, const wchar_t* name, int64_t def) override;
    float getFloat(const wchar_t* group, const wchar_t* name, float def) override;
    double getDouble(const wchar_t* group, const wchar_t* name, double def) override;
    bool getBool(const wchar_t* group, const wchar_t* name, bool def) override;
    const wchar_t* getString(const wchar_t* group, const wchar_t* name, const wchar_t* def, bool* isExpandable,
                             bool expand) override;
    StrArray* getStrings(const wchar_t*, const wchar_t*) override { return nullptr; }
    // Null when the group or the value is missing; no pooled array is taken then.
    ArrayU08* getBytes(const wchar_t* group, const wchar_t* name, ArrayU08* bytes) override;
    bool deleteValue(const wchar_t* group, const wchar_t* name) override;

    // 8- and 16-bit values and bool as REG_DWORD, 64-bit values, float and double as
    // REG_BINARY of their size.
    bool setU08(const wchar_t* group, const wchar_t* name, uint8_t value) override;
    bool setU16(const wchar_t* group, const wchar_t* name, uint16_t value) override;
    bool setU32(const wchar_t* group, const wchar_t* name, uint32_t value) override;
    bool setU64(const wchar_t* group, const wchar_t* name, uint64_t value) override;
    bool setS08(const wchar_t* group, const wchar_t* name, int8_t value) override;
    bool setS16(const wchar_t* group, const wchar_t* name, int16_t value) override;
    bool setS32(const wchar_t* group, const wchar_t* name, int32_t value) override;
    bool setS64(const wchar_t* group, const wchar_t* name, int64_t value) override;
    bool setFloat(const wchar_t* group, const wchar_t* name, float value) override;
    bool setDouble(const wchar_t* group, const wchar_t* name, double value) override;
    bool setBool(const wchar_t* group, const wchar_t* name, bool value) override;
    bool setString(const wchar_t* group, const wchar_t* name, const wchar_t* text) override;
    bool setExpandString(const wchar_t* group, const wchar_t* name, const wchar_t* text) override;
    bool setStrings(const wchar_t*, const wchar_t*, const StrArray*) override { return afterChange(true); }
    bool setBytes(const wchar_t* group, const wchar_t* name, const ArrayU08* bytes) override;

    bool isAutoSave() const override { return autoSave_ != 0; }
    void setAutoSave(bool on) override { autoSave_ = on ? 1 : 0; }

private:
    MappedData();

    // The key of the group: the cached one when the group is the last one resolved
    // (ignoring case), else opened afresh and, with create, made with its parents.
    // Null when it does not exist; only existing keys are cached.
    win::RegDir* resolve(const wchar_t* group, bool create);
    void dropGroup();
    // Builds pathText_ for the group.
    void buildPath(const wchar_t* group);
    // The auto-save step after a change.
    bool afterChange(bool ok);

    StrBuffer pathText_;
    StrBuffer groupName_;
    win::RegDir* rootDir_;
    win::RegDir* groupDir_;
    uint8_t autoSave_;
};

} // namespace s::reg
