// Growable arrays: growth, element operations, iterators and the byte streams.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "core/col/CollectionInputStream.h"
#include "core/col/_array/ArrayP.h"
#include "core/col/_array/ArrayS32.h"
#include "core/col/_array/ArrayU08.h"
#include "core/col/_array/ArrayU32.h"
#include "core/io/StreamCopy.h"
#include "core/thread/EasyPooler.h"

using s::col::_array::ArrayBase;
using s::col::_array::ArrayP;
using s::col::_array::ArrayS32;
using s::col::_array::ArrayU08;
using s::col::_array::ArrayU32;

namespace {

// Releases a pooled array at the end of a scope.
template <class T>
struct Pooled {
    T* p = T::pool();
    ~Pooled() { p->release(); }
    T* operator->() const { return p; }
};

void appendBytes(ArrayU08* a, std::initializer_list<uint8_t> values) {
    for (uint8_t v : values) {
        a->add(v);
    }
}

} // namespace

TEST(ArrayGrowth, FollowsTheLadder) {
    EXPECT_EQ(ArrayBase::grownCapacity(0), 100u);
    EXPECT_EQ(ArrayBase::grownCapacity(99), 100u);
    EXPECT_EQ(ArrayBase::grownCapacity(100), 300u);
    EXPECT_EQ(ArrayBase::grownCapacity(9999999), 29999997u);
    EXPECT_EQ(ArrayBase::grownCapacity(10000000), 20000000u);
    EXPECT_EQ(ArrayBase::grownCapacity(49999999), 99999998u);
    EXPECT_EQ(ArrayBase::grownCapacity(60000000), 90000000u);
    EXPECT_EQ(ArrayBase::grownCapacity(100000000), 120000000u);
    EXPECT_EQ(ArrayBase::grownCapacity(1000000001), 1200000001u);  // truncated
    // A step past the 32-bit range does not grow.
    EXPECT_EQ(ArrayBase::grownCapacity(4000000000u), 4000000000u);
}

TEST(ArrayGrowth, AppendsReservesAndSetCount) {
    Pooled<ArrayU32> a;
    EXPECT_EQ(a->capacity(), 0u);
    EXPECT_EQ(a->items(), nullptr);
    a->add(0);
    EXPECT_EQ(a->capacity(), 100u);
    for (uint32_t i = 1; i < 100; ++i) {
        a->add(i);
    }
    EXPECT_EQ(a->capacity(), 100u);
    a->add(100);
    EXPECT_EQ(a->capacity(), 300u);
    for (uint32_t i = 0; i <= 100; ++i) {
        ASSERT_EQ(a->get(i), i);  // the resize kept every element
    }
    a->reserve(301);
    EXPECT_EQ(a->capacity(), 900u);
    a->reserveExact(1000);
    EXPECT_EQ(a->capacity(), 1000u);
    a->reserveExact(10);  // never shrinks
    EXPECT_EQ(a->capacity(), 1000u);

    Pooled<ArrayU08> b;
    EXPECT_TRUE(b->setCount(5));
    EXPECT_EQ(b->capacity(), 5u);
    EXPECT_EQ(b->count(), 5u);

    // Many elements at once reserve by growth steps from the current capacity.
    Pooled<ArrayU08> c;
    std::vector<uint8_t> src(250, 7);
    c->append(src.data(), 250);
    EXPECT_EQ(c->capacity(), 300u);

    // Release gives the storage back.
    ArrayU08* d = ArrayU08::pool();
    d->add(1);
    d->release();
    ArrayU08* e = ArrayU08::pool();
    EXPECT_EQ(e, d);
    EXPECT_EQ(e->capacity(), 0u);
    EXPECT_EQ(e->count(), 0u);
    e->release();
}

TEST(ArrayGrowth, LargeArraysGrowModerately) {
    Pooled<ArrayU08> a;
    ASSERT_TRUE(a->reserveExact(10000000));
    ASSERT_TRUE(a->setCount(10000000));
    std::memset(a->items(), 0x5a, 10000000);
    a->add(1);
    EXPECT_EQ(a->capacity(), 20000000u);
    EXPECT_EQ(a->items()[9999999], 0x5a);
    EXPECT_EQ(a->items()[10000000], 1);
}

TEST(ArrayElements, InsertRemoveAndTake) {
    Pooled<ArrayS32> a;
    const int32_t base[] = {1, 2, 3, 4, 5};
    a->append(base, 5);
    const int32_t more[] = {8, 9};
    a->insert(2, more, 2);  // 1 2 8 9 3 4 5
    a->prepend(more, 1);    // 8 1 2 8 9 3 4 5
    a->insert(100, more + 1, 1);  // past the end appends: ... 5 9
    const int32_t want1[] = {8, 1, 2, 8, 9, 3, 4, 5, 9};
    ASSERT_EQ(a->count(), 9u);
    EXPECT_EQ(std::memcmp(a->values(), want1, sizeof(want1)), 0);

    int32_t out[4] = {0, 0, 0, 0};
    EXPECT_EQ(a->takeRange(3, out, 2, 1), 2u);  // 8 9 into out[1..2]
    EXPECT_EQ(out[1], 8);
    EXPECT_EQ(out[2], 9);
    EXPECT_EQ(a->takeFirst(out, 1), 1u);
    EXPECT_EQ(out[0], 8);
    EXPECT_EQ(a->takeLast(out, 1), 1u);
    EXPECT_EQ(out[0], 9);
    const int32_t want2[] = {1, 2, 3, 4, 5};
    ASSERT_EQ(a->count(), 5u);
    EXPECT_EQ(std::memcmp(a->values(), want2, sizeof(want2)), 0);

    EXPECT_EQ(a->dropLast(10), 5u);  // clamped to what is there
    EXPECT_EQ(a->count(), 0u);
    a->append(base, 5);
    EXPECT_EQ(a->dropFirst(2), 2u);
    EXPECT_EQ(a->get(0), 3);
    EXPECT_EQ(a->removeRange(1, 1), 1u);
    EXPECT_EQ(a->get(1), 5);
    a->reverse();
    EXPECT_EQ(a->get(0), 5);
    EXPECT_EQ(a->get(1), 3);

    // Appending from the array's own storage survives the resize that frees it.
    Pooled<ArrayS32> self;
    for (int32_t i = 0; i < 100; ++i) {
        self->add(i);
    }
    self->append(self->values(), 100);
    ASSERT_EQ(self->count(), 200u);
    EXPECT_EQ(self->get(150), 50);
    self->copyInto(self.p, 250, 0, -1);  // grows past the capacity while copying itself
    ASSERT_EQ(self->count(), 450u);
    EXPECT_EQ(self->get(250 + 150), 50);
    EXPECT_EQ(self->get(449), 99);
}

TEST(ArrayElements, WriteRangeCopyAndCopyOut) {
    Pooled<ArrayU08> a;
    const uint8_t src[] = {1, 2, 3, 4};
    EXPECT_TRUE(a->writeRange(src, 0, 0, 10));
    EXPECT_EQ(a->count(), 0u);
    a->writeRange(src, 3, 1, 2);  // 2 3 4 at index 2
    EXPECT_EQ(a->count(), 5u);
    EXPECT_EQ(a->capacity(), 5u);
    EXPECT_EQ(a->get(4), 4);

    Pooled<ArrayU08> b;
    a->copyInto(b.p, 0, 2, -1);
    ASSERT_EQ(b->count(), 3u);
    EXPECT_EQ(b->get(0), 2);
    Pooled<ArrayU08> c;
    c->copyFrom(a.p, 3, 1, 1);
    ASSERT_EQ(c->count(), 2u);
    EXPECT_EQ(c->get(1), 3);

    uint8_t out[8] = {};
    EXPECT_EQ(a->copyOut(out, 1, 2, -1), 3u);
    EXPECT_EQ(out[1], 2);
    EXPECT_EQ(out[3], 4);
}

TEST(ArrayElements, CompareRange) {
    Pooled<ArrayS32> a;
    const int32_t mine[] = {1, 2, 3};
    a->append(mine, 3);
    const int32_t longer[] = {1, 2, 3, 4};
    // Equal prefixes of different lengths: the shorter range is less.
    EXPECT_EQ(a->compareRange(0, longer, 4, 0, -1), -1);
    EXPECT_EQ(a->compareRange(0, longer, 3, 0, -1), 0);
    EXPECT_EQ(a->compareRange(0, mine, 2, 0, -1), 1);
    // A limit inside both ranges compares only that far.
    EXPECT_EQ(a->compareRange(0, longer, 4, 0, 3), 0);
    EXPECT_EQ(a->compareRange(0, longer, 4, 0, 4), -1);
    // A limit past two equal ranges: they are equal.
    EXPECT_EQ(a->compareRange(0, longer, 3, 0, 10), 0);
    EXPECT_EQ(a->compareRange(1, longer, 4, 1, 10), -1);
    // Unsigned bytes decide.
    const int32_t bigger[] = {1, 2, 200};
    EXPECT_EQ(a->compareRange(0, bigger, 3, 0, -1), -1);
    EXPECT_EQ(a->compareRange(2, bigger, 3, 1, -1), 1);

    // Whole arrays: fewer elements is less, then the element order (signed here).
    Pooled<ArrayS32> b;
    const int32_t negative[] = {1, 2, -3};
    b->append(negative, 3);
    EXPECT_GT(a->compareTo(b.p), 0);
    EXPECT_LT(b->compareTo(a.p), 0);
    b->dropLast(1);
    EXPECT_GT(a->compareTo(b.p), 0);
    b->add(3);
    EXPECT_TRUE(a->equals(b.p));
}

TEST(ArrayP, HoldsFullPointersAndOwnsThroughItsCleaner) {
    Pooled<ArrayP> a;
    EXPECT_EQ(a->elementSize(), sizeof(void*));
    std::vector<void*> pointers;
    for (uintptr_t i = 0; i < 150; ++i) {
        pointers.push_back(reinterpret_cast<void*>((i << (sizeof(void*) * 8 - 8)) | (0x1234 + i)));
        a->add(pointers.back());
    }
    for (uint32_t i = 0; i < 150; ++i) {
        ASSERT_EQ(a->get(i), pointers[i]);
    }
    EXPECT_EQ(a->indexOf(pointers[77]), 77);
    EXPECT_EQ(a->indexOf(nullptr), -1);
    EXPECT_EQ(a->removeAt(10), pointers[10]);
    EXPECT_EQ(a->get(10), pointers[11]);
    EXPECT_EQ(a->removeAt(a->count() - 1), pointers[149]);
    void* temp = nullptr;
    a->swapVia(0, 1, &temp);
    EXPECT_EQ(a->get(0), pointers[1]);
    a->clear();  // no cleaner: elements left alone

    static std::atomic<int> live{0};
    struct Item {
        Item() { ++live; }
        ~Item() { --live; }
    };
    s::thread::EasyPooler pool(
        1000, [] { return static_cast<void*>(new Item()); }, [](void* p) { delete static_cast<Item*>(p); },
        nullptr);
    ArrayP* owned = ArrayP::pool();
    owned->setCleaner(&pool);
    for (int i = 0; i < 5; ++i) {
        owned->add(pool.acquire());
    }
    void* kept = owned->removeAt(0);  // removal hands the element to the caller
    void* disposed = owned->removeAndDispose(0);
    EXPECT_EQ(disposed, nullptr);
    EXPECT_EQ(pool.idleCount(), 1);
    owned->release();  // every element goes back to the pool; the cleaner is forgotten
    EXPECT_EQ(pool.idleCount(), 4);
    EXPECT_EQ(live, 5);
    ArrayP* again = ArrayP::pool();
    EXPECT_EQ(again, owned);
    EXPECT_EQ(again->cleaner(), nullptr);
    again->release();
    pool.release(kept);
}

TEST(ArrayIterators, WalkForwardBackwardAndFromAnIndex) {
    Pooled<ArrayS32> a;
    for (int32_t i = 0; i < 5; ++i) {
        a->add(i * 10);
    }
    std::vector<int32_t> seen;
    s::col::IIterator* it = a->iterator();
    while (it->hasNext()) {
        seen.push_back(*static_cast<int32_t*>(it->next()));
    }
    it->close();
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 10, 20, 30, 40}));

    seen.clear();
    it = a->reverseIterator();
    while (it->hasPrevious()) {
        seen.push_back(*static_cast<int32_t*>(it->previous()));
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{40, 30, 20, 10, 0}));
    it->close();

    it = a->iteratorAt(2);
    EXPECT_EQ(*static_cast<int32_t*>(it->next()), 20);
    EXPECT_EQ(it->index(), 2);
    it->close();
    it = a->reverseIteratorAt(1);
    EXPECT_EQ(*static_cast<int32_t*>(it->previous()), 30);
    it->close();
    EXPECT_EQ(*static_cast<int32_t*>(a->elementAddress(4)), 40);

    Pooled<ArrayS32> empty;
    it = empty->iterator();
    EXPECT_FALSE(it->hasNext());
    it->close();
}

TEST(ArrayStreams, ReadsAndWritesBytes) {
    Pooled<ArrayU08> a;
    appendBytes(a.p, {1, 2, 3, 4, 5, 6});
    uint8_t buffer[10];
    uint32_t got = 99;
    EXPECT_TRUE(a->read(buffer, 0, got));
    EXPECT_EQ(got, 0u);
    EXPECT_TRUE(a->read(buffer, 10, got));
    EXPECT_EQ(got, 6u);
    EXPECT_EQ(buffer[5], 6);
    EXPECT_FALSE(a->read(buffer, 10, got));
    EXPECT_EQ(got, 0u);
    a->seekFromEnd(2);
    EXPECT_EQ(a->position(), 4);
    EXPECT_TRUE(a->read(buffer, 1, got));
    EXPECT_EQ(buffer[0], 5);
    a->seekFromEnd(100);  // never before the start
    EXPECT_EQ(a->position(), 0);
    EXPECT_EQ(a->skip(3), 3);
    EXPECT_EQ(a->skipBack(1), 1);
    EXPECT_EQ(a->position(), 2);
    a->close();
    EXPECT_EQ(a->position(), 0);

    Pooled<ArrayU08> w;
    w->seek(2);
    uint32_t done = 0;
    const uint8_t three[] = {7, 8, 9};
    EXPECT_TRUE(w->write(three, 3, done));
    EXPECT_EQ(done, 3u);
    EXPECT_EQ(w->count(), 5u);
    EXPECT_EQ(w->position(), 5);
    EXPECT_EQ(w->get(4), 9);
    w->rewind();
    EXPECT_TRUE(w->write(three, 1, done));
    EXPECT_EQ(w->count(), 5u);  // overwriting inside does not shorten
    w->seekEnd();
    EXPECT_EQ(w->position(), 5);

    // Wider elements count whole elements only.
    Pooled<ArrayU32> words;
    const uint8_t six[] = {1, 0, 0, 0, 2, 0};
    EXPECT_TRUE(words->write(six, 6, done));
    EXPECT_EQ(words->count(), 1u);
    EXPECT_EQ(words->get(0), 1u);
    const uint8_t two[] = {0, 0};
    words->write(two, 2, done);
    EXPECT_EQ(words->count(), 2u);
    EXPECT_EQ(words->get(1), 2u);
}

TEST(ArrayStreams, CollectionInputStreamReadsTheElementsInOrder) {
    Pooled<ArrayU32> a;
    for (uint32_t i = 0; i < 40; ++i) {
        a->add(i * 0x01010101u);
    }
    a->seek(12);  // the array's own position is not the stream's
    s::io::IInputStream* in = a->openInputStream();
    std::vector<uint32_t> back(40);
    EXPECT_TRUE(s::io::transferAll(in, back.data(), 160));
    EXPECT_EQ(std::memcmp(back.data(), a->values(), 160), 0);
    uint32_t got = 0;
    EXPECT_FALSE(in->read(back.data(), 4, got));
    in->seekFromEnd(4);
    EXPECT_TRUE(in->read(back.data(), 100, got));
    EXPECT_EQ(got, 4u);
    EXPECT_EQ(back[0], 39 * 0x01010101u);
    in->release();
    EXPECT_EQ(a->position(), 12);
}

namespace {

// A byte array whose reads fail (not at its end) once its bytes are used up.
class BrokenInput : public ArrayU08 {
public:
    explicit BrokenInput(uint32_t goodBytes) {
        setCount(goodBytes);
        std::memset(items(), 0xab, goodBytes);
    }
    bool read(void* buffer, uint32_t max, uint32_t& got) override {
        failed_ = !ArrayU08::read(buffer, max, got);
        return !failed_;
    }
    bool readFailed() const override { return failed_; }

private:
    bool failed_ = false;
};

// A byte array that takes at most 3 bytes per write and refuses once it holds limit.
class TrickleOutput : public ArrayU08 {
public:
    explicit TrickleOutput(uint32_t limit) : limit_(limit) {}
    bool write(const void* data, uint32_t count, uint32_t& done) override {
        done = 0;
        return this->count() < limit_ && ArrayU08::write(data, count < 3 ? count : 3, done);
    }

private:
    uint32_t limit_;
};

} // namespace

TEST(StreamCopy, TransfersAllAndReportsFailures) {
    TrickleOutput out(1000);
    const uint8_t ten[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_TRUE(s::io::transferAll(&out, ten, 10));  // partial writes are repeated
    EXPECT_EQ(out.count(), 10u);
    EXPECT_TRUE(s::io::transferAll(static_cast<s::io::IOutputStream*>(&out), nullptr, 0));
    TrickleOutput full(4);
    EXPECT_FALSE(s::io::transferAll(&full, ten, 10));

    Pooled<ArrayU08> small;
    appendBytes(small.p, {1, 2});
    uint8_t four[4];
    EXPECT_FALSE(s::io::transferAll(small.p, four, 4));

    BrokenInput broken(1500);
    Pooled<ArrayU08> sink;
    EXPECT_FALSE(s::io::copyStream(&broken, sink.p));  // a failed read is not the end
    EXPECT_EQ(sink->count(), 1500u);
    BrokenInput broken2(10);
    Pooled<ArrayU08> sink2;
    EXPECT_FALSE(s::io::copyStreamLocked(&broken2, sink2.p));

    Pooled<ArrayU08> source;
    appendBytes(source.p, {1, 2, 3, 4, 5, 6, 7, 8});
    TrickleOutput refusing(5);
    EXPECT_FALSE(s::io::copyStream(source.p, &refusing));
}

TEST(StreamCopy, ConcurrentCopiesKeepTheirOwnBytes) {
    constexpr int THREADS = 8;
    std::vector<ArrayU08*> sources;
    std::vector<ArrayU08*> targets;
    for (int t = 0; t < THREADS; ++t) {
        ArrayU08* src = ArrayU08::pool();
        src->setCount(64 * 1024 + t * 37);
        std::memset(src->items(), 0x10 + t, src->count());
        sources.push_back(src);
        targets.push_back(ArrayU08::pool());
    }
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < THREADS; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 5; ++round) {
                sources[t]->rewind();
                targets[t]->clear();
                const bool ok = (t & 1) ? s::io::copyStreamLocked(sources[t], targets[t])
                                        : s::io::copyStream(sources[t], targets[t]);
                if (!ok || targets[t]->count() != sources[t]->count() ||
                    std::memcmp(targets[t]->items(), sources[t]->items(), sources[t]->count()) != 0) {
                    ++failures;
                }
            }
        });
    }
    for (std::thread& th : threads) {
        th.join();
    }
    EXPECT_EQ(failures, 0);
    for (int t = 0; t < THREADS; ++t) {
        sources[t]->release();
        targets[t]->release();
    }
}
