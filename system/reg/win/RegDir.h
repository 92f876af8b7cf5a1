#pragma once
#include <windows.h>
#include <winternl.h>

#include <cstdint>

#include "core/col/_array/ArrayU08.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "system/reg/IRegDir.h"

namespace s::reg::win {

// A registry key over the NT native calls of ntdll. The Win32 root and the relative
// path are turned into an NT object path ("\Registry\Machine\...", the current
// user's hive under "\Registry\User\<SID>"). Values are read through one
// process-wide query buffer. A key object is used by one thread at a time.
//
//   RegDir* dir = RegDir::create(HKEY_CURRENT_USER, L"Software\\Kexo\\X");
//   dir->setU32(L"Width", 640);   // creates the key when missing
//   uint32_t w = dir->getU32(L"Width", 0);
//   dir->release();
class RegDir : public IRegDir, public thread::IPoolable {
    S_POOLED_CLASS(RegDir, 1000, L"s_reg_win_RegDir")

public:
    ~RegDir() override;
    RegDir(const RegDir&) = delete;
    RegDir& operator=(const RegDir&) = delete;

    // A key object from the pool, opened on root and path (the key need not exist).
    static RegDir* create(HKEY root, const wchar_t* path);

    // Closes the key, empties the paths, root back to HKEY_LOCAL_MACHINE.
    void reset() override;

    const wchar_t* win32PathText() const override { return win32Path_.c_str(); }
    const wchar_t* ntPathText() const override { return ntPath_.c_str(); }
    RegDir* parent() const override;
    ArrayP* subKeys() override { return listSubKeys(nullptr); }
    ArrayP* subKeysStartingWith(const wchar_t* prefix) override { return listSubKeys(prefix); }
    HKEY rootKey() const override { return rootKey_; }
    bool setRoot(HKEY root) override;
    const wchar_t* pathText() const override { return path_.c_str(); }
    bool openPath(const wchar_t* path) override;
    StrBuffer* keyName(StrBuffer* target, bool append) const override;
    bool parse(const wchar_t* fullPath) override;
    bool open(HKEY root, const wchar_t* path) override;
    void close() override;
    bool exists() override;
    bool create() override;
    bool remove(bool deleteSelf) override;
    // The key object is left closed: its path no longer names the key.
    bool rename(const wchar_t* newName) override;
    bool flush() override;
    bool queryValue(const wchar_t* name, uint32_t* type, uint32_t* length, int32_t requiredType) override;
    StrArray* valueNames() override;
    bool countSubKeys(bool recursive, uint32_t* counter) override;
    uint32_t valueLength(const wchar_t* name) override;

    uint8_t getU08(const wchar_t* name, uint8_t def) override;
    uint16_t getU16(const wchar_t* name, uint16_t def) override;
    uint32_t getU32(const wchar_t* name, uint32_t def) override;
    uint64_t getU64(const wchar_t* name, uint64_t def) override;
    int8_t getS08(const wchar_t* name, int8_t def) override;
    int16_t getS16(const wchar_t* name, int16_t def) override;
    int32_t getS32(const wchar_t* name, int32_t def) override;
    int64_t getS64(const wchar_t* name, int64_t def) override;
    float getFloat(const wchar_t* name, float def) override;
    double getDouble(const wchar_t* name, double def) override;
    bool getBool(const wchar_t* name, bool def) override;
    const wchar_t* getString(const wchar_t* name, const wchar_t* def, bool* isExpandable, bool expand) override;
    StrArray* getMultiString(const wchar_t* name) override;
    ArrayU08* getBytes(const wchar_t* name, ArrayU08* bytes) override;
    bool deleteValue(const wchar_t* name) override;

    bool setU08(const wchar_t* name, uint8_t value) override { return setValue(name, REG_DWORD, uint32_t{value}); }
    bool setU16(const wchar_t* name, uint16_t value) override { return setValue(name, REG_DWORD, uint32_t{value}); }
    bool setU32(const wchar_t* name, uint32_t value) override { return setValue(name, REG_DWORD, value); }
    bool setU64(const wchar_t* name, uint64_t value) override { return setValue(name, REG_BINARY, value); }
    bool setS08(const wchar_t* name, int8_t value) override { return setValue(name, REG_DWORD, int32_t{value}); }
    bool setS16(const wchar_t* name, int16_t value) override { return setValue(name, REG_DWORD, int32_t{value}); }
    bool setS32(const wchar_t* name, int32_t value) override { return setValue(name, REG_DWORD, value); }
    bool setS64(const wchar_t* name, int64_t value) override { return setValue(name, REG_BINARY, value); }
    bool setFloat(const wchar_t* name, float value) override { return setValue(name, REG_BINARY, value); }
    bool setDouble(const wchar_t* name, double value) override { return setValue(name, REG_BINARY, value); }
    bool setBool(const wchar_t* name, bool value) override { return setValue(name, REG_DWORD, uint32_t{value ? 1u : 0u}); }
    bool setString(const wchar_t* name, const wchar_t* text) override;
    bool setExpandString(const wchar_t* name, const wchar_t* text) override;
    bool setMultiString(const wchar_t* name, const StrArray* strings) override;
    bool setBytes(const wchar_t* name, const ArrayU08* bytes) override;

private:
    RegDir();

    // Writes data of any registry type (creating the key when missing).
    bool setRaw(const wchar_t* name, uint32_t type, const void* data, uint32_t size);
    // NtOpenKey on the object attributes; read-only when full access is refused.
    bool openKey();
    template <class T>
    bool setValue(const wchar_t* name, uint32_t type, T value) {
        return setRaw(name, type, &value, sizeof(value));
    }
    // Opens the key when no handle is held.
    bool ensureOpen();
    // The data of a value of exactly `size` bytes into out.
    bool readExact(const wchar_t* name, void* out, uint32_t size);
    bool setValueName(const wchar_t* name);
    ArrayP* listSubKeys(const wchar_t* prefix);
    // The path of a child key: path + "\" + name.
    StrBuffer* childPath(const wchar_t* name, uint32_t nameLength) const;

    ArrayU08 valueData_;
    ArrayU08 expandScratch_;
    UNICODE_STRING valueName_;
    HANDLE keyHandle_;
    uint8_t bindingOk_;
    HKEY rootKey_;
    StrBuffer rootName_;
    StrBuffer ntRootPath_;
    StrBuffer path_;
    StrBuffer win32Path_;
    StrBuffer ntPath_;
    UNICODE_STRING objectName_;
    OBJECT_ATTRIBUTES objectAttributes_;
};

} // namespace s::reg::win
