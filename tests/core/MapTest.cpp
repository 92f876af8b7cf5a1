// Chained hash set and table.
#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "core/map/Map.h"
#include "core/map/MapTable.h"
#include "core/thread/EasyPooler.h"

using s::map::Map;
using s::map::MapTable;

namespace {

// A text key whose hash the test chooses, compared exactly or ignoring ASCII case.
class Key : public s::base::IObject {
public:
    static int live;
    Key(std::wstring text, uint32_t hash) : text(std::move(text)), hash(hash) { ++live; }
    ~Key() override { --live; }
    const wchar_t* className() const override { return L"maptest_Key"; }
    s::base::IObject* newInstance() const override { return nullptr; }
    bool equals(const s::base::IObject* other, const s::base::IComparator* = nullptr) const override {
        return static_cast<const Key*>(other)->text == text;
    }
    bool equalsIgnoreCase(const s::base::IObject* other, const s::base::IComparator* = nullptr) const override {
        const std::wstring& o = static_cast<const Key*>(other)->text;
        if (o.size() != text.size()) {
            return false;
        }
        for (size_t i = 0; i < o.size(); ++i) {
            if (std::towlower(o[i]) != std::towlower(text[i])) {
                return false;
            }
        }
        return true;
    }
    std::wstring text;
    uint32_t hash;
};
int Key::live = 0;

void* newKeyPlaceholder() { return nullptr; }
void deleteKey(void* p) { delete static_cast<Key*>(p); }

// A pool that destroys everything released to it: a cleaner that deletes keys.
s::thread::EasyPooler& keyDeleter() {
    static s::thread::EasyPooler pool(0, &newKeyPlaceholder, &deleteKey, nullptr);
    return pool;
}

Key* find(Map* map, const Key& probe) {
    Map::Node** slot = map->findSlot(probe.hash, &probe);
    return slot != nullptr && *slot != nullptr ? static_cast<Key*>((*slot)->key) : nullptr;
}

} // namespace

TEST(Map, GrowsThroughThePrimesAndFindsEveryKey) {
    Map* map = Map::create();
    EXPECT_TRUE(map->ignoreCase());
    EXPECT_EQ(map->bucketCount(), 0u);
    map->setKeyCleaner(&keyDeleter());
    std::vector<Key*> keys;
    for (uint32_t i = 0; i < 2000; ++i) {
        keys.push_back(new Key(L"k" + std::to_wstring(i), i * 2654435761u));
    }
    EXPECT_TRUE(map->insert(keys[0]->hash, keys[0]));
    EXPECT_EQ(map->bucketCount(), 211u);
    for (uint32_t i = 1; i < 105; ++i) {
        ASSERT_TRUE(map->insert(keys[i]->hash, keys[i]));
    }
    EXPECT_EQ(map->bucketCount(), 211u);
    ASSERT_TRUE(map->insert(keys[105]->hash, keys[105]));  // the 106th grows first
    EXPECT_EQ(map->bucketCount(), 431u);
    EXPECT_EQ(map->count(), 106u);
    for (uint32_t i = 106; i < 2000; ++i) {
        ASSERT_TRUE(map->insert(keys[i]->hash, keys[i]));
    }
    EXPECT_EQ(map->bucketCount(), 6947u);  // 3467 / 2 = 1733 < 2000
    EXPECT_EQ(map->primeIndex(), 5);
    for (Key* k : keys) {
        Key probe(k->text, k->hash);
        ASSERT_EQ(find(map, probe), k);
    }
    // Every node sits in the bucket of its hash.
    for (uint32_t b = 0; b < map->bucketCount(); ++b) {
        for (Map::Node* n = map->buckets()[b]; n != nullptr; n = n->next) {
            ASSERT_EQ(n->hash % map->bucketCount(), b);
        }
    }
    Key missing(L"nope", 12345);
    Map::Node** slot = map->findSlot(missing.hash, &missing);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(*slot, nullptr);

    const int before = Key::live;
    map->release();  // the key cleaner disposes every key
    EXPECT_EQ(Key::live, before - 2000);
    Map* reused = Map::pool();
    EXPECT_EQ(reused->bucketCount(), 0u);
    EXPECT_EQ(reused->keyCleaner(), nullptr);
    reused->release();
}

TEST(Map, KeepsTheFirstOfKeysEqualIgnoringCase) {
    Map* map = Map::create();
    Key first(L"Alpha", 42);
    Key second(L"ALPHA", 42);
    EXPECT_TRUE(map->insert(first.hash, &first));
    EXPECT_FALSE(map->insert(second.hash, &second));
    EXPECT_EQ(map->count(), 1u);
    EXPECT_EQ(find(map, second), &first);
    map->setIgnoreCase(false);
    map->clear();
    EXPECT_EQ(map->count(), 0u);
    EXPECT_EQ(map->bucketCount(), 211u);  // clear keeps the buckets
    EXPECT_TRUE(map->insert(first.hash, &first));
    EXPECT_TRUE(map->insert(second.hash, &second));
    EXPECT_EQ(map->count(), 2u);
    map->release();
}

TEST(Map, KeysSharingABucketAreAllFound) {
    Map* map = Map::create();
    Key a(L"a", 5);
    Key b(L"b", 5 + 211);
    Key c(L"c", 5 + 2 * 211);
    Key sameHash(L"d", 5);
    for (Key* k : {&a, &b, &c, &sameHash}) {
        EXPECT_TRUE(map->insert(k->hash, k));
    }
    int inChain = 0;
    for (Map::Node* n = map->buckets()[5]; n != nullptr; n = n->next) {
        ++inChain;
    }
    EXPECT_EQ(inChain, 4);
    // Appended in insertion order.
    EXPECT_EQ(map->buckets()[5]->key, &a);
    for (Key* k : {&a, &b, &c, &sameHash}) {
        EXPECT_EQ(find(map, *k), k);
    }
    // A rehash keeps every chain in collection order.
    map->rehash(1);
    EXPECT_EQ(map->bucketCount(), 431u);
    EXPECT_EQ(map->buckets()[5]->key, &a);
    EXPECT_EQ(map->buckets()[5]->next->key, &sameHash);
    for (Key* k : {&a, &b, &c, &sameHash}) {
        EXPECT_EQ(find(map, *k), k);
    }
    map->rehash(0);  // never shrinks
    EXPECT_EQ(map->bucketCount(), 431u);
    map->release();
}

TEST(Map, StopsGrowingAtTheLastPrime) {
    Map* map = Map::create();
    map->rehash(40);  // clamped to the last prime
    if (map->bucketCount() == 0) {
        map->release();
        GTEST_SKIP() << "not enough memory for the largest bucket array";
    }
    EXPECT_EQ(map->bucketCount(), 113905901u);
    EXPECT_EQ(map->primeIndex(), 19);
    Key a(L"a", 0xfffffffeu);
    Key b(L"b", 0xfffffffeu % 113905901u);
    EXPECT_TRUE(map->insert(a.hash, &a));
    EXPECT_TRUE(map->insert(b.hash, &b));
    map->rehash(20);
    EXPECT_EQ(map->bucketCount(), 113905901u);
    EXPECT_EQ(find(map, a), &a);
    EXPECT_EQ(find(map, b), &b);
    map->release();
}

TEST(Map, RehashBelowTheFirstPrimeStartsAtTheFirst) {
    Map* map = Map::create();
    map->rehash(-1);
    EXPECT_EQ(map->primeIndex(), 0);
    EXPECT_EQ(map->bucketCount(), 211u);
    Key a(L"a", 5);
    EXPECT_TRUE(map->insert(a.hash, &a));
    EXPECT_EQ(find(map, a), &a);
    map->release();
}

TEST(MapTable, StoresValuesAndDisposesThroughBothCleaners) {
    int values[3] = {10, 20, 30};
    static int valuesDisposed = 0;
    struct CountingCleaner : s::base::IDestructor {
        void dispose(void** slot) override {
            if (*slot != nullptr) {
                ++valuesDisposed;
                *slot = nullptr;
            }
        }
    } valueCleaner;
    Key probe(L"name1", 1001);
    Key duplicate(L"name1", 1001);
    Key probeCase(L"NAME1", 1001);
    MapTable* table = MapTable::pool();
    table->setKeyCleaner(&keyDeleter());
    table->setValueCleaner(&valueCleaner);
    const int before = Key::live;
    for (int i = 0; i < 3; ++i) {
        Key* k = new Key(L"name" + std::to_wstring(i), 1000u + i);
        ASSERT_TRUE(table->insert(k->hash, k, &values[i]));
    }
    MapTable::Node** slot = table->findSlot(probe.hash, &probe);
    ASSERT_NE(*slot, nullptr);
    EXPECT_EQ((*slot)->value, &values[1]);
    // An equal key keeps the existing entry and value.
    EXPECT_FALSE(table->insert(duplicate.hash, &duplicate, &values[0]));
    EXPECT_EQ((*table->findSlot(probe.hash, &probe))->value, &values[1]);
    // Same text, other hash: another entry (the caller's hash decides the bucket).
    EXPECT_EQ(*table->findSlot(probeCase.hash, &probeCase), nullptr);

    table->clear();
    EXPECT_EQ(Key::live, before);
    EXPECT_EQ(valuesDisposed, 3);
    EXPECT_EQ(table->count(), 0u);
    table->release();

    // Set up through the constructor; destruction disposes too.
    {
        MapTable own(nullptr, &keyDeleter(), 7, nullptr);
        EXPECT_EQ(own.value(), 7u);
        Key* k = new Key(L"x", 1);
        EXPECT_TRUE(own.insert(k->hash, k, nullptr));
    }
    EXPECT_EQ(Key::live, before);
}
