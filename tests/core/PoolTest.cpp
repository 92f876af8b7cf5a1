// Class pools, the pool shell, the lock holder and the object defaults.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "core/base/IObject.h"
#include "core/col/CollectionInputStream.h"
#include "core/col/_array/ArrayBase.h"
#include "core/col/_array/ArrayP.h"
#include "core/col/_array/ArrayS08.h"
#include "core/col/_array/ArrayS32.h"
#include "core/col/_array/ArrayU08.h"
#include "core/col/_array/ArrayU32.h"
#include "core/col/_array/Iterator.h"
#include "core/comp/CompP.h"
#include "core/comp/CompS08.h"
#include "core/comp/CompS32.h"
#include "core/comp/CompU08.h"
#include "core/comp/CompU32.h"
#include "core/map/Map.h"
#include "core/map/MapTable.h"
#include "core/thread/ClassPool.h"
#include "core/thread/EasyPooler.h"
#include "core/thread/Factory.h"
#include "core/thread/ObjLocker.h"
#include "core/thread/PoolerBase.h"

using s::thread::EasyPooler;

namespace {

// A pooled record with a counter of live instances, for standalone poolers.
struct Counted {
    static std::atomic<int> live;
    int owner = 0;
    bool wasReset = false;
    Counted() { ++live; }
    ~Counted() { --live; }
};
std::atomic<int> Counted::live{0};

void* createCounted() { return new Counted(); }
void destroyCounted(void* p) { delete static_cast<Counted*>(p); }
void resetCounted(void* p) {
    static_cast<Counted*>(p)->owner = 0;
    static_cast<Counted*>(p)->wasReset = true;
}

// A class declared with the pool shell, as every pooled class of the system is.
class Gadget : public s::base::IObject, public s::thread::IPoolable {
    S_POOLED_CLASS(Gadget, 1000, L"pooltest_Gadget")
public:
    int value = 0;
    void reset() override { value = 0; }

private:
    Gadget() = default;
};

// Same characters as ArrayU08's class name, but its own constant.
class Impostor : public s::base::IObject {
public:
    const wchar_t* className() const override {
        static const wchar_t name[] = L"s_col__array_ArrayU08";
        return name;
    }
    s::base::IObject* newInstance() const override { return new Impostor(); }
};

class Plain : public s::base::IObject {
    S_CLASS_NAME(L"pooltest_Plain")
public:
    s::base::IObject* newInstance() const override { return new Plain(); }
};

} // namespace

TEST(EasyPooler, TakesTheMostRecentlyReleasedFirst) {
    EasyPooler pool(1000, &createCounted, &destroyCounted, &resetCounted);
    void* a = pool.acquire();
    void* b = pool.acquire();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a, b);
    static_cast<Counted*>(a)->owner = 7;
    pool.release(a);
    pool.release(b);
    EXPECT_EQ(pool.idleCount(), 2);
    EXPECT_EQ(pool.acquire(), b);
    void* again = pool.acquire();
    EXPECT_EQ(again, a);
    // Reset on release, not again on the way out.
    EXPECT_EQ(static_cast<Counted*>(again)->owner, 0);
    EXPECT_TRUE(static_cast<Counted*>(again)->wasReset);
    // An empty pool constructs.
    void* fresh = pool.acquire();
    EXPECT_NE(fresh, a);
    EXPECT_NE(fresh, b);
    destroyCounted(a);
    destroyCounted(b);
    destroyCounted(fresh);
}

TEST(EasyPooler, KeepsAtMostItsCapacityAndDestroysTheRest) {
    const int before = Counted::live;
    {
        EasyPooler pool(1000, &createCounted, &destroyCounted, &resetCounted);
        std::vector<void*> objects;
        for (int i = 0; i < 1001; ++i) {
            objects.push_back(pool.acquire());
        }
        for (void* p : objects) {
            pool.release(p);
        }
        EXPECT_EQ(pool.idleCount(), 1000);
        EXPECT_EQ(Counted::live - before, 1000);
        // The last one released was the one destroyed.
        EXPECT_EQ(pool.acquire(), objects[999]);
        pool.release(objects[999]);
    }
    // Destroying the pool destroys its idle objects.
    EXPECT_EQ(Counted::live, before);

    EasyPooler none(0, &createCounted, &destroyCounted, &resetCounted);
    none.release(none.acquire());
    EXPECT_EQ(none.idleCount(), 0);
    EXPECT_EQ(Counted::live, before);
}

TEST(EasyPooler, DisposeReleasesAndNullsTheSlot) {
    EasyPooler pool(10, &createCounted, &destroyCounted, &resetCounted);
    s::base::IDestructor* cleaner = &pool;
    void* slot = nullptr;
    cleaner->dispose(&slot);
    EXPECT_EQ(pool.idleCount(), 0);
    slot = pool.acquire();
    void* object = slot;
    cleaner->dispose(&slot);
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(pool.idleCount(), 1);
    s::base::IGenerator* generator = &pool;
    EXPECT_EQ(generator->generate(), object);
    destroyCounted(object);
}

TEST(EasyPooler, HandsEachObjectToOneHolderAcrossThreads) {
    const int before = Counted::live;
    {
        EasyPooler pool(8, &createCounted, &destroyCounted, &resetCounted);
        std::atomic<int> clashes{0};
        std::vector<std::thread> threads;
        for (int t = 1; t <= 8; ++t) {
            threads.emplace_back([&pool, &clashes, t] {
                Counted* held[5];
                for (int round = 0; round < 2000; ++round) {
                    for (Counted*& c : held) {
                        c = static_cast<Counted*>(pool.acquire());
                        if (c->owner != 0) {
                            ++clashes;  // handed out twice, or not reset
                        }
                        c->owner = t;
                    }
                    std::this_thread::yield();
                    for (Counted* c : held) {
                        if (c->owner != t) {
                            ++clashes;
                        }
                        pool.release(c);
                    }
                }
            });
        }
        for (std::thread& th : threads) {
            th.join();
        }
        EXPECT_EQ(clashes, 0);
        EXPECT_LE(pool.idleCount(), 8);
        // Nothing leaked: every live object is idle in the pool.
        EXPECT_EQ(Counted::live - before, pool.idleCount());
    }
    EXPECT_EQ(Counted::live, before);
}

TEST(ClassPool, ShellGivesPoolNewInstanceAndRelease) {
    Gadget* a = Gadget::pool();
    Gadget* b = Gadget::pool();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a, b);
    a->value = 5;
    a->release();
    static_cast<s::thread::IPoolable*>(b)->release();
    Gadget* c = Gadget::pool();
    EXPECT_EQ(c, b);
    // newInstance() takes from the class pool too.
    s::base::IObject* d = c->newInstance();
    EXPECT_EQ(d, a);
    EXPECT_EQ(a->value, 0);
    EXPECT_EQ(&Gadget::pooler(), (&s::thread::ClassPool<Gadget, 1000>::pooler()));
    EXPECT_EQ(Gadget::pooler().capacity(), 1000);
    a->release();
    c->release();
}

namespace {
// Its pool is asked for first by several threads at once.
struct Late : public s::base::IObject, public s::thread::IPoolable {
    S_POOLED_CLASS(Late, 50, L"pooltest_Late")
    void reset() override {}
};
} // namespace

TEST(ClassPool, PoolIsBuiltOnceWhenManyThreadsAskFirst) {
    std::vector<std::thread> threads;
    std::vector<EasyPooler*> seen(8, nullptr);
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&seen, t] { seen[t] = &Late::pooler(); });
    }
    for (std::thread& th : threads) {
        th.join();
    }
    for (EasyPooler* p : seen) {
        EXPECT_EQ(p, seen[0]);
    }
    EXPECT_EQ(seen[0]->capacity(), 50);
}

TEST(ObjectModel, ClassNameTextsAndTypeTests) {
    struct Bare : public s::col::_array::ArrayBase {
        Bare() : ArrayBase(0) {}
        s::base::IObject* newInstance() const override { return new Bare(); }
        void release() override {}
    };
    Bare bare;
    EXPECT_STREQ(bare.className(), L"s_col_array_ArrayBase");
    EXPECT_STREQ(bare.typeName(), L"s_col_array_ArrayBase");

    using namespace s::col::_array;
    const std::pair<const s::base::IObject*, const wchar_t*> expected[] = {
        {ArrayP::pool(), L"s_col__array_ArrayP"},
        {ArrayS08::pool(), L"s_col__array_ArrayS08"},
        {ArrayU08::pool(), L"s_col__array_ArrayU08"},
        {ArrayS32::pool(), L"s_col__array_ArrayS32"},
        {ArrayU32::pool(), L"s_col__array_ArrayU32"},
        {Iterator::pool(), L"s_col_array_Iterator"},
        {s::col::CollectionInputStream::pool(), L"s_col_CollectionInputStream"},
        {s::map::Map::pool(), L"s_map_Map"},
        {s::map::MapTable::pool(), L"s_map_MapTable"},
        {&s::comp::CompP::instance(), L"s_comp_CompP"},
        {&s::comp::CompS08::instance(), L"s_comp_CompS08"},
        {&s::comp::CompU08::instance(), L"s_comp_CompU08"},
        {&s::comp::CompS32::instance(), L"s_comp_CompS32"},
        {&s::comp::CompU32::instance(), L"s_comp_CompU32"},
        {&ArrayP::pooler(), L"s_thread_EasyPooler"},
    };
    for (const auto& [object, name] : expected) {
        EXPECT_STREQ(object->className(), name);
    }
    s::thread::ObjLocker locker;
    EXPECT_STREQ(locker.className(), L"s_thread_ObjLocker");
    EXPECT_STREQ(s::thread::PoolerBase::CLASS_NAME, L"s_thread_PoolerBase");
    EXPECT_STREQ(s::thread::Factory::CLASS_NAME, L"s_thread_Factory");

    ArrayU08* bytes = ArrayU08::pool();
    Impostor impostor;
    EXPECT_TRUE(s::base::isClass<ArrayU08>(bytes));
    EXPECT_FALSE(s::base::isClass<ArrayS08>(bytes));
    // Identity of the constant, not its characters.
    EXPECT_FALSE(s::base::isClass<ArrayU08>(&impostor));
    EXPECT_FALSE(s::base::isClass<ArrayU08>(nullptr));
    // newInstance() gives an object of the same class from its pool.
    s::base::IObject* other = bytes->newInstance();
    EXPECT_TRUE(s::base::isClass<ArrayU08>(other));
    static_cast<ArrayU08*>(other)->release();
    bytes->release();
    for (const auto& entry : expected) {
        if (auto* poolable = dynamic_cast<s::thread::IPoolable*>(const_cast<s::base::IObject*>(entry.first))) {
            poolable->release();
        }
    }
}

TEST(ObjectModel, DefaultsOrderByAddressAndHashByClass) {
    Plain a;
    Plain b;
    Impostor c;
    EXPECT_EQ(a.hashCode(), b.hashCode());
    EXPECT_EQ(a.hashCodeIgnoreCase(), a.hashCode());
    EXPECT_NE(a.hashCode(), c.hashCode());
    const int32_t ab = a.compareTo(&b);
    EXPECT_NE(ab, 0);
    EXPECT_EQ(ab, reinterpret_cast<uintptr_t>(&a) < reinterpret_cast<uintptr_t>(&b) ? -1 : 1);
    EXPECT_EQ(b.compareTo(&a), -ab);
    EXPECT_EQ(a.compareTo(&a), 0);
    EXPECT_EQ(a.compareToIgnoreCase(&b), ab);
    EXPECT_TRUE(a.equals(&a));
    EXPECT_FALSE(a.equals(&b));
    EXPECT_FALSE(a.equalsIgnoreCase(&b));

    // A comparator decides when given, and its ignore-case twin is used.
    struct Always : s::base::IComparator {
        int32_t compare(const void*, const void*) const override { return 0; }
        int32_t compareIgnoreCase(const void*, const void*) const override { return 3; }
    } always;
    EXPECT_TRUE(a.equals(&b, &always));
    EXPECT_EQ(a.compareToIgnoreCase(&b, &always), 3);
    EXPECT_FALSE(a.equalsIgnoreCase(&b, &always));
}

namespace {
int deleted = 0;
void countDelete(void* p) {
    ++deleted;
    delete static_cast<Plain*>(p);
}
} // namespace

TEST(ObjLocker, DisposesItsObjectByDeleterCleanerOrDelete) {
    deleted = 0;
    { s::thread::ObjLocker locker(new Plain(), &countDelete); }
    EXPECT_EQ(deleted, 1);

    EasyPooler pool(10, &createCounted, &destroyCounted, &resetCounted);
    { s::thread::ObjLocker locker(pool.acquire(), nullptr, &pool); }
    EXPECT_EQ(pool.idleCount(), 1);

    { s::thread::ObjLocker locker(new Plain()); }  // plain delete: must not leak or crash

    // Re-entrant for the owning thread, exclusive for others.
    s::thread::ObjLocker locker;
    locker.lock();
    locker.lock();
    bool otherGotIt = true;
    std::thread([&] { otherGotIt = locker.tryLock(); }).join();
    EXPECT_FALSE(otherGotIt);
    locker.unlock();
    locker.unlock();
    std::thread([&] {
        otherGotIt = locker.tryLock();
        if (otherGotIt) {
            locker.unlock();
        }
    }).join();
    EXPECT_TRUE(otherGotIt);
}

namespace {
class CountingFactory : public s::thread::Factory {
public:
    int made = 0;
    int destroyed = 0;
    ~CountingFactory() override { destroyIdle(); }
    s::base::IObject* newInstance() const override { return nullptr; }
    void* generate() override {
        ++made;
        return new int(0);
    }
    void prepare(void*) override {}
    void destroyObject(void* p) override {
        ++destroyed;
        delete static_cast<int*>(p);
    }
};
} // namespace

TEST(PoolerBase, WithoutAccountingMakesAndDestroysEveryTime) {
    CountingFactory factory;
    void* a = factory.acquire();
    factory.release(a, -1);
    void* slot = factory.acquire();
    static_cast<s::base::IDestructor&>(factory).dispose(&slot);
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(factory.made, 2);
    EXPECT_EQ(factory.destroyed, 2);
    EXPECT_EQ(factory.idleCount(), 0);
}
