#pragma once
#include <cstdint>

#include "core/base/IDestructor.h"
#include "core/base/IObject.h"
#include "core/map/HashChains.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "core/thread/ObjLocker.h"

namespace s::map {

// A chained hash set of objects. The caller computes each key's hash
// (hashCodeIgnoreCase() when ignoreCase() is set, else hashCode()) and passes the
// same hash to lookups; keys compare with the key's own equals/equalsIgnoreCase.
class Map : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(Map, 1000, L"s_map_Map")
public:
    struct Node {
        uint32_t hash;
        base::IObject* key;
        Node* next;
    };

    Map();
    ~Map() override;

    // A map from the pool, ignoring case, with no value and no key cleaner.
    static Map* create();

    // Adds the key when no equal key is there: true when added, false when an equal
    // key was already there (kept unchanged) or no memory could be had.
    bool insert(uint32_t hash, base::IObject* key);
    // The link holding the key, or the empty link where it would be appended; null
    // before the first insert.
    Node** findSlot(uint32_t hash, const base::IObject* key) const;
    // Disposes every key through the key cleaner (when set) and empties the map.
    void clear();
    // Empties the map and frees the buckets; cleaner, value and flag back to their defaults.
    void reset() override;

    uint32_t count() const { return chains_.count(); }
    uint32_t bucketCount() const { return chains_.bucketCount(); }
    int32_t primeIndex() const { return chains_.primeIndex(); }
    bool ignoreCase() const { return ignoreCase_; }
    void setIgnoreCase(bool ignoreCase) { ignoreCase_ = ignoreCase; }
    base::IDestructor* keyCleaner() const { return keyCleaner_; }
    void setKeyCleaner(base::IDestructor* cleaner) { keyCleaner_ = cleaner; }
    uintptr_t value() const { return value_; }
    void setValue(uintptr_t value) { value_ = value; }
    // The node chain heads, bucketCount() of them.
    Node** buckets() const { return chains_.heads(); }
    // Grows to the prime of index k (clamped to the last); never shrinks.
    void rehash(int32_t k) { chains_.rehash(k); }

private:
    void removeAll(bool toPool);

    thread::ObjLocker lock_;
    HashChains<Node> chains_;
    uintptr_t value_;
    base::IDestructor* keyCleaner_;
    bool ignoreCase_;
};

} // namespace s::map
