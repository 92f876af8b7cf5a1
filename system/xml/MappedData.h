#pragma once
#include <cstdint>

#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "system/map/IMappedData.h"
#include "system/xml/Node.h"

namespace s::file::win { class PathWin; }

namespace s::xml {

// Settings in a UTF-8 XML file: one element per group, one attribute per name, all
// under a root element ("savedata" for a new file). A group is split at every "/"
// and "\"; each piece names a child element exactly (case kept). Value names ignore
// ASCII case. Changes stay in memory until save() (or at once with auto-save).
//
//   MappedData* store = MappedData::create(L"C:\\app\\savedata\\SaveData.xml");
//   store->setU32(L"View/Main", L"Width", 640);
//   store->save();
//   store->release();
class MappedData : public map::IMappedData, public thread::IPoolable {
    S_POOLED_CLASS(MappedData, 1000, L"s_xml_MappedData")
public:
    typedef str::strbuffer::StrBuffer StrBuffer;

    ~MappedData() override;
    MappedData(const MappedData&) = delete;
    MappedData& operator=(const MappedData&) = delete;

    // A store on the file, loaded when the file exists.
    static MappedData* create(const wchar_t* filePath);
    // Forgets the current content, remembers the file and loads it when it exists;
    // without a usable root element the store starts with an empty "savedata". When
    // the file exists but cannot be read, the store starts empty and never saves.
    void setFile(const wchar_t* filePath);

    void reset() override;

    // Writes the whole tree to the file (creating its folder); true without a file,
    // false (file untouched) when the file could not be read at setFile().
    bool save() override;
    bool openGroup(const wchar_t* group) override { return resolve(group, true) != nullptr; }
    bool deleteGroup(const wchar_t* group) override;
    bool findGroup(const wchar_t* group) override { return resolve(group, false) != nullptr; }
    bool hasValue(const wchar_t* group, const wchar_t* name) override;

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
    // True when the text begins with "1" or "true" (lower case).
    bool getBool(const wchar_t* group, const wchar_t* name, bool def) override;
    const wchar_t* getString(const wchar_t* group, const wchar_t* name, const wchar_t* def, bool* isExpandable,
                             bool expand) override;
    StrArray* getStrings(const wchar_t*, const wchar_t*) override { return nullptr; }
    // Pairs of hex digits into the array (emptied first); empty when missing.
    ArrayU08* getBytes(const wchar_t* group, const wchar_t* name, ArrayU08* bytes) override;
    // Removes every attribute of that name.
    bool deleteValue(const wchar_t* group, const wchar_t* name) override;

    // Setters replace any attribute of that name by a new one at the end of the
    // element: "%u", "%d", "%I64d" (both 64-bit forms), "%f", bool as 1 or 0, bytes
    // as lower-case hex pairs, strings escaped.
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

    // The group's element: the cached one when the group is the last one resolved
    // (ignoring case), else found piece by piece and, with create, made. Null when
    // missing; a missing group is not cached.
    Node* resolve(const wchar_t* group, bool create);
    // The group's element, made when missing, with every attribute of that name
    // removed: ready for the new value.
    Node* prepareSet(const wchar_t* group, const wchar_t* name);
    bool afterChange(bool ok);
    void clearTree();

    file::win::PathWin* filePath_;
    StrBuffer textScratch_;
    StrBuffer groupName_;
    Node* rootNode_;
    Node* groupNode_;
    uint8_t autoSave_;
    // The file existed but could not be read: saving would lose the user's settings.
    bool unreadFile_;
};

} // namespace s::xml
