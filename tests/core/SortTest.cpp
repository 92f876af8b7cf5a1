// Element comparators and the stable merge sort.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "core/col/_array/ArrayP.h"
#include "core/col/_array/ArrayS08.h"
#include "core/col/_array/ArrayU08.h"
#include "core/comp/CompP.h"
#include "core/comp/CompS08.h"
#include "core/comp/CompS32.h"
#include "core/comp/CompU08.h"
#include "core/comp/CompU32.h"
#include "core/comp/MergeSort.h"

namespace {

struct Item {
    int key;
    int order;  // input position, to check stability
};

int comparisons = 0;

int32_t byKey(const void* a, const void* b, void* user) {
    ++comparisons;
    if (user != nullptr) {
        ++*static_cast<int*>(user);
    }
    const int x = static_cast<const Item*>(a)->key;
    const int y = static_cast<const Item*>(b)->key;
    return x < y ? -1 : (x > y ? 1 : 0);
}

std::vector<Item> makeItems(size_t n, int distinctKeys, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<Item> items(n);
    for (size_t i = 0; i < n; ++i) {
        items[i] = {static_cast<int>(random() % distinctKeys), static_cast<int>(i)};
    }
    return items;
}

std::vector<void*> pointersTo(std::vector<Item>& items) {
    std::vector<void*> p;
    for (Item& item : items) {
        p.push_back(&item);
    }
    return p;
}

} // namespace

TEST(MergeSort, MatchesStableSortInBothDirections) {
    for (size_t n : {0u, 1u, 2u, 6u, 7u, 8u, 13u, 64u, 100u, 1000u, 4099u}) {
        for (int distinct : {1, 3, 50, 1000000}) {
            std::vector<Item> items = makeItems(n, distinct, static_cast<unsigned>(n * 31 + distinct));
            std::vector<void*> sorted = pointersTo(items);
            std::vector<void*> work = sorted;
            s::comp::mergeSort(work.data(), sorted.data(), 0, static_cast<int32_t>(n), 0, &byKey, nullptr);

            std::vector<Item> expected = items;
            std::stable_sort(expected.begin(), expected.end(), [](const Item& a, const Item& b) { return a.key < b.key; });
            for (size_t i = 0; i < n; ++i) {
                const Item* got = static_cast<const Item*>(sorted[i]);
                ASSERT_EQ(got->key, expected[i].key) << "n=" << n << " i=" << i;
                ASSERT_EQ(got->order, expected[i].order) << "n=" << n << " i=" << i;
            }

            std::vector<void*> down = pointersTo(items);
            ASSERT_TRUE(s::comp::sortPointers(down.data(), static_cast<uint32_t>(n), &byKey, nullptr, true));
            std::vector<Item> expectedDown = items;
            std::stable_sort(expectedDown.begin(), expectedDown.end(),
                             [](const Item& a, const Item& b) { return a.key > b.key; });
            for (size_t i = 0; i < n; ++i) {
                const Item* got = static_cast<const Item*>(down[i]);
                ASSERT_EQ(got->key, expectedDown[i].key) << "n=" << n << " i=" << i;
                ASSERT_EQ(got->order, expectedDown[i].order) << "n=" << n << " i=" << i;
            }
        }
    }
}

TEST(MergeSort, SortsAnInnerRangeOnlyAndPassesUserData) {
    std::vector<Item> items = makeItems(40, 5, 7);
    std::vector<void*> p = pointersTo(items);
    std::vector<void*> work = p;
    int calls = 0;
    s::comp::mergeSort(work.data(), p.data(), 10, 30, 0, &byKey, &calls);
    EXPECT_GT(calls, 0);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(p[i], &items[i]);
        EXPECT_EQ(p[30 + i], &items[30 + i]);
    }
    for (int i = 11; i < 30; ++i) {
        EXPECT_LE(static_cast<Item*>(p[i - 1])->key, static_cast<Item*>(p[i])->key);
    }
}

TEST(MergeSort, SortedInputCostsOneComparisonPerMerge) {
    std::vector<Item> items(100);
    for (size_t i = 0; i < items.size(); ++i) {
        items[i] = {static_cast<int>(i), static_cast<int>(i)};
    }
    std::vector<void*> p = pointersTo(items);
    std::vector<void*> before = p;
    comparisons = 0;
    ASSERT_TRUE(s::comp::sortPointers(p.data(), static_cast<uint32_t>(p.size()), &byKey, nullptr));
    EXPECT_EQ(p, before);
    // Each short run costs one comparison per element after its first and each merge
    // just one: n - 1 in all.
    EXPECT_EQ(comparisons, 99);
}

TEST(Comparators, OrderElementsByTheirType) {
    const uint8_t ff = 0xff;
    const uint8_t one = 0x01;
    EXPECT_EQ(s::comp::CompS08::instance().compare(&ff, &one), -1);
    EXPECT_EQ(s::comp::CompU08::instance().compare(&ff, &one), 1);
    EXPECT_EQ(s::comp::CompU08::instance().compareIgnoreCase(&one, &one), 0);
    const uint32_t big = 0x80000000u;
    const uint32_t small = 1;
    EXPECT_EQ(s::comp::CompS32::instance().compare(&big, &small), -1);
    EXPECT_EQ(s::comp::CompU32::instance().compare(&big, &small), 1);
    // Pointers compare as whole unsigned machine words.
    if constexpr (sizeof(void*) == 8) {
        void* high = reinterpret_cast<void*>(static_cast<uintptr_t>(0x100000000ull));
        void* low = reinterpret_cast<void*>(static_cast<uintptr_t>(0xffffffffull));
        EXPECT_EQ(s::comp::CompP::instance().compare(&high, &low), 1);
        EXPECT_EQ(s::comp::CompP::instance().compare(&low, &high), -1);
    }
    void* top = reinterpret_cast<void*>(~static_cast<uintptr_t>(0));
    void* bottom = nullptr;
    EXPECT_EQ(s::comp::CompP::instance().compare(&top, &bottom), 1);

    // The arrays order their elements with these.
    s::col::_array::ArrayS08* a = s::col::_array::ArrayS08::pool();
    s::col::_array::ArrayS08* b = s::col::_array::ArrayS08::pool();
    a->add(-1);
    b->add(1);
    EXPECT_LT(a->compareTo(b), 0);
    s::col::_array::ArrayU08* c = s::col::_array::ArrayU08::pool();
    s::col::_array::ArrayU08* d = s::col::_array::ArrayU08::pool();
    c->add(0xff);
    d->add(1);
    EXPECT_GT(c->compareTo(d), 0);
    s::col::_array::ArrayP* e = s::col::_array::ArrayP::pool();
    s::col::_array::ArrayP* f = s::col::_array::ArrayP::pool();
    e->add(top);
    f->add(reinterpret_cast<void*>(static_cast<uintptr_t>(1)));
    EXPECT_GT(e->compareTo(f), 0);
    a->release();
    b->release();
    c->release();
    d->release();
    e->release();
    f->release();
}
