#include "system/reg/MappedData.h"

#include "core/col/_array/ArrayU08.h"

namespace s::reg {

using win::RegDir;

MappedData::MappedData() : rootDir_(nullptr), groupDir_(nullptr), autoSave_(0) {}

MappedData::~MappedData() {
    reset();
}

MappedData* MappedData::create(const wchar_t* keyPath) {
    MappedData* store = pool();
    if (store != nullptr && store->rootDir_ == nullptr) {
        store->rootDir_ = RegDir::create(HKEY_CURRENT_USER, keyPath != nullptr ? keyPath : L"");
        if (store->rootDir_ == nullptr) {
            store->release();
            return nullptr;
        }
    }
    return store;
}

void MappedData::reset() {
    dropGroup();
    if (rootDir_ != nullptr) {
        rootDir_->release();
        rootDir_ = nullptr;
    }
    pathText_.freeStorage();
    groupName_.freeStorage();
    autoSave_ = 0;
}

void MappedData::dropGroup() {
    if (groupDir_ != nullptr) {
        groupDir_->release();
        groupDir_ = nullptr;
    }
    groupName_.clear();
}

void MappedData::buildPath(const wchar_t* group) {
    pathText_.assign(rootDir_->pathText());
    if (group[0] != L'\0') {
        pathText_.appendChar(L'\\')->append(group);
    }
}

RegDir* MappedData::resolve(const wchar_t* group, bool create) {
    if (rootDir_ == nullptr) {
        return nullptr;
    }
    if (group == nullptr) {
        group = L"";
    }
    if (groupDir_ != nullptr && groupName_.regionMatchesIgnoreCase(0, group, 0, -1)) {
        return groupDir_;
    }
    dropGroup();
    buildPath(group);
    RegDir* dir = RegDir::create(rootDir_->rootKey(), pathText_.c_str());
    if (dir == nullptr) {
        return nullptr;
    }
    if (!dir->exists() && !(create && dir->create())) {
        // A missing group is not cached: a later look must see it once it is made.
        dir->release();
        return nullptr;
    }
    groupName_.assign(group);
    groupDir_ = dir;
    return dir;
}

bool MappedData::afterChange(bool ok) {
    if (autoSave_ != 0) {
        ok = save() && ok;
    }
    return ok;
}

bool MappedData::deleteGroup(const wchar_t* group) {
    if (rootDir_ == nullptr) {
        return false;
    }
    // The cached key may lie inside the removed subtree.
    dropGroup();
    buildPath(group != nullptr ? group : L"");
    RegDir* dir = RegDir::create(rootDir_->rootKey(), pathText_.c_str());
    if (dir == nullptr) {
        return false;
    }
    const bool removed = dir->exists() && dir->remove(true);
    dir->release();
    return removed && afterChange(true);
}

bool MappedData::hasValue(const wchar_t* group, const wchar_t* name) {
    RegDir* dir = resolve(group, false);
    return dir != nullptr && dir->queryValue(name, nullptr, nullptr, -1);
}

uint8_t MappedData::getU08(const wchar_t* group, const wchar_t* name, uint8_t def) {
    RegDir* dir = resolve(group, false);
    return dir != nullptr ? dir->getU08(name, def) : def;
}

uint16_t MappedData::getU16(const wchar_t* group, const wchar_t* name, uint16_t def) {
    RegDir* dir = resolve(group, false);
    return dir != nullptr ? dir->getU16(name, def) : def;
}

uint32_t MappedData::getU32(const wchar_t* group, const wchar_t* name, uint32_t def) {
    RegDir* dir = resolve(group, false);
    return dir != nullptr ? dir->getU32(name, def) : def;
}

uint64_t MappedData::getU64(const wchar_t* group, const wchar_t* name, uint64_t def) {
    RegDir* dir = resolve(group, false);
    return dir != nullptr ? dir->getU64(name, def) : def;
}

int8_t MappedData::getS08(const wchar_t* group, const wchar_t* name, int8_t def) {
    RegDir* dir = resolve(group, false);
    return dir != nullptr ? dir->getS08(name, def) : def;
}

int16_t MappedData::getS16(const wchar_t* group, const wchar_t* name, int16_t def) {
    RegDir* dir = resolve(group, false);
    return dir != nullptr ? dir->getS16(name, def) : def;
}

int32_t MappedData::getS32(const wchar_t* group, const wchar_t* name, int32_t def) {
    RegDir* dir = resolve(group, false);
    return dir != nullptr ? dir->getS32(name, def) : def;
}

int64_t MappedData::getS64(const wchar_t* group, const wchar_t* name, int64_t def) {
    RegDir* dir = resolve(group, false);
    return dir != nullptr ? dir->getS64(name, def) : def;
}

float MappedData::getFloat(const wchar_t* group, const wchar_t* name, float def) {
    RegDir* dir = resolve(group, false);
    return dir != nullptr ? dir->getFloat(name, def) : def;
}

double MappedData::getDouble(const wchar_t* group, const wchar_t* name, double def) {
    RegDir* dir = resolve(group, false);
    return dir != nullptr ? dir->getDouble(name, def) : def;
}

bool MappedData::getBool(const wchar_t* group, const wchar_t* name, bool def) {
    RegDir* dir = resolve(group, false);
    return dir != nullptr ? dir->getBool(name, def) : def;
}

const wchar_t* MappedData::getString(const wchar_t* group, const wchar_t* name, const wchar_t* def,
                                     bool* isExpandable, bool expand) {
    if (isExpandable != nullptr) {
        *isExpandable = false;
    }
    RegDir* dir = resolve(group, false);
    return dir != nullptr ? dir->getString(name, def, isExpandable, expand) : def;
}

MappedData::ArrayU08* MappedData::getBytes(const wchar_t* group, const wchar_t* name, ArrayU08* bytes) {
    // The key reads the value before it takes an array, so a miss costs none.
    RegDir* dir = resolve(group, false);
    return dir != nullptr ? dir->getBytes(name, bytes) : nullptr;
}

bool MappedData::deleteValue(const wchar_t* group, const wchar_t* name) {
    RegDir* dir = resolve(group, false);
    if (dir == nullptr) {
        return false;
    }
    return afterChange(dir->deleteValue(name));
}

bool MappedData::setU08(const wchar_t* group, const wchar_t* name, uint8_t value) {
    RegDir* dir = resolve(group, true);
    return afterChange(dir != nullptr && dir->setU08(name, value));
}

bool MappedData::setU16(const wchar_t* group, const wchar_t* name, uint16_t value) {
    RegDir* dir = resolve(group, true);
    return afterChange(dir != nullptr && dir->setU16(name, value));
}

bool MappedData::setU32(const wchar_t* group, const wchar_t* name, uint32_t value) {
    RegDir* dir = resolve(group, true);
    return afterChange(dir != nullptr && dir->setU32(name, value));
}

bool MappedData::setU64(const wchar_t* group, const wchar_t* name, uint64_t value) {
    RegDir* dir = resolve(group, true);
    return afterChange(dir != nullptr && dir->setU64(name, value));
}

bool MappedData::setS08(const wchar_t* group, const wchar_t* name, int8_t value) {
    RegDir* dir = resolve(group, true);
    return afterChange(dir != nullptr && dir->setS08(name, value));
}

bool MappedData::setS16(const wchar_t* group, const wchar_t* name, int16_t value) {
    RegDir* dir = resolve(group, true);
    return afterChange(dir != nullptr && dir->setS16(name, value));
}

bool MappedData::setS32(const wchar_t* group, const wchar_t* name, int32_t value) {
    RegDir* dir = resolve(group, true);
    return afterChange(dir != nullptr && dir->setS32(name, value));
}

bool MappedData::setS64(const wchar_t* group, const wchar_t* name, int64_t value) {
    RegDir* dir = resolve(group, true);
    return afterChange(dir != nullptr && dir->setS64(name, value));
}

bool MappedData::setFloat(const wchar_t* group, const wchar_t* name, float value) {
    RegDir* dir = resolve(group, true);
    return afterChange(dir != nullptr && dir->setFloat(name, value));
}

bool MappedData::setDouble(const wchar_t* group, const wchar_t* name, double value) {
    RegDir* dir = resolve(group, true);
    return afterChange(dir != nullptr && dir->setDouble(name, value));
}

bool MappedData::setBool(const wchar_t* group, const wchar_t* name, bool value) {
    RegDir* dir = resolve(group, true);
    return afterChange(dir != nullptr && dir->setBool(name, value));
}

bool MappedData::setString(const wchar_t* group, const wchar_t* name, const wchar_t* text) {
    RegDir* dir = resolve(group, true);
    return afterChange(dir != nullptr && dir->setString(name, text));
}

bool MappedData::setExpandString(const wchar_t* group, const wchar_t* name, const wchar_t* text) {
    RegDir* dir = resolve(group, true);
    return afterChange(dir != nullptr && dir->setExpandString(name, text));
}

bool MappedData::setBytes(const wchar_t* group, const wchar_t* name, const ArrayU08* bytes) {
    RegDir* dir = resolve(group, true);
    return afterChange(dir != nullptr && dir->setBytes(name, bytes));
}

} // namespace s::reg
