#include "core/map/MapTable.h"

namespace s::map {

MapTable::MapTable(void* data, base::IDestructor* keyCleaner, uintptr_t value, base::IDestructor* valueCleaner)
    : data_(data), keyCleaner_(keyCleaner), value_(value), valueCleaner_(valueCleaner), ignoreCase_(false) {}

MapTable::~MapTable() {
    removeAll(false);
}

bool MapTable::insert(uint32_t hash, base::IObject* key, void* value) {
    Node* node = chains_.insertKey(hash, key, ignoreCase_);
    if (node == nullptr) {
        return false;
    }
    node->value = value;
    return true;
}

MapTable::Node** MapTable::findSlot(uint32_t hash, const base::IObject* key) const {
    return chains_.findSlot(hash, key, ignoreCase_);
}

void MapTable::removeAll(bool toPool) {
    base::IDestructor* keys = keyCleaner_;
    base::IDestructor* values = valueCleaner_;
    chains_.removeAll(
        [keys, values](Node* node) {
            if (keys != nullptr) {
                keys->disposeObject(node->key);
            }
            if (values != nullptr) {
                values->dispose(&node->value);
            }
        },
        toPool);
}

void MapTable::clear() {
    removeAll(true);
}

void MapTable::reset() {
    removeAll(true);
    chains_.freeBuckets();
    data_ = nullptr;
    keyCleaner_ = nullptr;
    value_ = 0;
    valueCleaner_ = nullptr;
    ignoreCase_ = false;
}

} // namespace s::map
