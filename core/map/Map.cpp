#include "core/map/Map.h"

namespace s::map {

Map::Map() : value_(0), keyCleaner_(nullptr), ignoreCase_(false) {}

Map::~Map() {
    removeAll(false);
}

Map* Map::create() {
    Map* map = pool();
    if (map != nullptr) {
        map->ignoreCase_ = true;
        map->value_ = 0;
        map->keyCleaner_ = nullptr;
    }
    return map;
}

bool Map::insert(uint32_t hash, base::IObject* key) {
    return chains_.insertKey(hash, key, ignoreCase_) != nullptr;
}

Map::Node** Map::findSlot(uint32_t hash, const base::IObject* key) const {
    return chains_.findSlot(hash, key, ignoreCase_);
}

void Map::removeAll(bool toPool) {
    base::IDestructor* cleaner = keyCleaner_;
    chains_.removeAll(
        [cleaner](Node* node) {
            if (cleaner != nullptr) {
                cleaner->disposeObject(node->key);
            }
        },
        toPool);
}

void Map::clear() {
    removeAll(true);
}

void Map::reset() {
    removeAll(true);
    chains_.freeBuckets();
    value_ = 0;
    keyCleaner_ = nullptr;
    ignoreCase_ = false;
}

} // namespace s::map
