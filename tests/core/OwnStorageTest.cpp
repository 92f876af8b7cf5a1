// Memory safety of the core containers: a source taken from the object's own storage
// survives the resize it causes, copies between arrays of different element sizes
// stay inside both, texts past 2^31 bytes are digested and converted whole, and a
// pooled worker that was ended comes back alive.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <new>
#include <string>

#include "core/col/_array/ArrayU08.h"
#include "core/col/_array/ArrayU32.h"
#include "core/digest/md5/Md5.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/system/codepage/CodePageCatalogue.h"
#include "core/thread/win/Thread.h"
#include "support/Released.h"

using s::col::_array::ArrayU08;
using s::col::_array::ArrayU32;
using s::str::strbuffer::StrBuffer;
using s::system::codepage::CodePageCatalogue;
using s::thread::ITask;
using s::thread::win::Thread;

namespace {

// Large enough that the heap hands blocks of this size back to the system when they
// are freed: a read from the old block then faults instead of passing unseen.
constexpr uint32_t BIG = 4u << 20;

Released<StrBuffer> filledText(uint32_t units, wchar_t first) {
    Released<StrBuffer> text(StrBuffer::pool());
    if (!text || !text->reserveExact(units)) {
        return Released<StrBuffer>(nullptr);
    }
    for (uint32_t i = 0; i < units; ++i) {
        text->data()[i] = static_cast<wchar_t>(first + i % 26);
    }
    text->setLength(units);
    return text;
}

bool twiceOver(const wchar_t* units, uint32_t half) {
    return std::memcmp(units, units + half, static_cast<size_t>(half) * sizeof(wchar_t)) == 0;
}

class CountingTask : public ITask {
public:
    void run() override { ++runs; }
    std::atomic<int> runs{0};
};

} // namespace

TEST(OwnStorage, AnArrayWritesItsOwnBytesAtItsEnd) {
    Released<ArrayU08> bytes(ArrayU08::pool());
    ASSERT_TRUE(bytes->reserveExact(BIG));
    for (uint32_t i = 0; i < BIG; ++i) {
        bytes->add(static_cast<uint8_t>(i * 7));
    }
    ASSERT_EQ(BIG, bytes->capacity());
    bytes->seekEnd();
    uint32_t done = 0;
    ASSERT_TRUE(bytes->write(bytes->items(), BIG, done));  // grows while reading itself
    EXPECT_EQ(BIG, done);
    ASSERT_EQ(2 * BIG, bytes->count());
    EXPECT_EQ(0, std::memcmp(bytes->items(), bytes->items() + BIG, BIG));

    // Inside the storage without a resize: an overlapping move, not a torn copy.
    bytes->seek(1);
    ASSERT_TRUE(bytes->write(bytes->items(), 16, done));
    for (uint32_t i = 0; i < 16; ++i) {
        EXPECT_EQ(static_cast<uint8_t>(i * 7), bytes->get(i + 1));
    }
}

TEST(OwnStorage, ATextWritesAndAppendsItsOwnUnits) {
    const uint32_t units = BIG / 2;
    {
        auto text = filledText(units, L'a');
        ASSERT_TRUE(text);
        text->seekEnd();
        uint32_t done = 0;
        ASSERT_TRUE(text->write(text->data(), units * 2, done));  // the stream view
        ASSERT_EQ(2 * units, text->length());
        EXPECT_TRUE(twiceOver(text->c_str(), units));
    }
    {
        // The UTF-16 path of the code-page conversion, appending.
        auto text = filledText(units, L'A');
        ASSERT_TRUE(text);
        const auto* utf16 = CodePageCatalogue::ensureCodePages().utf16();
        ASSERT_NE(nullptr, text->fromCodePage(utf16, text->c_str(), true, static_cast<int32_t>(units * 2)));
        ASSERT_EQ(2 * units, text->length());
        EXPECT_TRUE(twiceOver(text->c_str(), units));
    }
    {
        // Replacing the text by a part of itself.
        auto text = filledText(64, L'a');
        const auto* utf16 = CodePageCatalogue::ensureCodePages().utf16();
        text->fromCodePage(utf16, text->c_str() + 2, false, 6);
        EXPECT_STREQ(L"cde", text->c_str());
    }
}

TEST(OwnStorage, CopiesBetweenElementSizesGoAsWholeElements) {
    struct Case {
        uint32_t byteCount;     // bytes 1, 2, 3 ... into a 32-bit array
        uint32_t srcIndex;
        int32_t count;
        bool ok;
        uint32_t expected[2];
        uint32_t expectedCount;
    };
    const Case cases[] = {
        {8, 0, -1, true, {0x04030201u, 0x08070605u}, 2},
        {8, 4, 4, true, {0x08070605u, 0}, 1},
        {6, 0, -1, false, {0, 0}, 0},  // one element and a half: refused
        {8, 1, 4, true, {0x05040302u, 0}, 1},
        {8, 1, 3, false, {0, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.byteCount * 100 + c.srcIndex);
        Released<ArrayU08> bytes(ArrayU08::pool());
        for (uint32_t i = 0; i < c.byteCount; ++i) {
            bytes->add(static_cast<uint8_t>(i + 1));
        }
        Released<ArrayU32> words(ArrayU32::pool());
        EXPECT_EQ(c.ok, bytes->copyInto(words.get(), 0, c.srcIndex, c.count));
        ASSERT_EQ(c.expectedCount, words->count());
        for (uint32_t i = 0; i < c.expectedCount; ++i) {
            EXPECT_EQ(c.expected[i], words->get(i));
        }
    }
    // And back: a 32-bit element is four bytes, written at a byte index.
    Released<ArrayU32> words(ArrayU32::pool());
    words->add(0x44332211u);
    words->add(0x88776655u);
    Released<ArrayU08> bytes(ArrayU08::pool());
    bytes->add(0xEE);
    EXPECT_TRUE(bytes->copyFrom(words.get(), 1, 1, 1));
    ASSERT_EQ(5u, bytes->count());
    const uint8_t expected[] = {0xEE, 0x55, 0x66, 0x77, 0x88};
    EXPECT_EQ(0, std::memcmp(expected, bytes->items(), 5));
}

TEST(OwnStorage, TextsPast2GiBAreDigestedAndConvertedWhole) {
    // 2^31 + 8 units: 4 GiB and 16 bytes of UTF-16, left as the system hands them out
    // (zeros), so only the digest touches them all.
    const uint32_t units = (1u << 31) + 8;
    Released<StrBuffer> text(StrBuffer::pool());
    if (!text->reserveExact(units)) {
        GTEST_SKIP() << "4 GiB for the text could not be had";
    }
    std::memset(text->data(), 0, 4096);
    text->setLength(units);

    // The MD5 of 2^32 + 16 zero bytes.
    Released<StrBuffer> digest(text->digestHex(nullptr, nullptr, false));
    ASSERT_TRUE(digest);
    EXPECT_STREQ(L"03c7a3e57e2cf3217e2e23fdcee1280e", digest->c_str());

    // A conversion that cannot fit a byte array fails instead of coming back short.
    const auto* utf16 = CodePageCatalogue::ensureCodePages().utf16();
    Released<ArrayU08> tooLong(text->toCodePage(utf16, nullptr, false));
    EXPECT_FALSE(tooLong);

    // Conversions were cut to nothing from 2^29 units (1 GiB) on.
    const uint32_t part = (1u << 29) + 8;
    text->setLength(part);
    text->data()[0] = L'a';
    text->data()[part - 1] = L'\u00e9';
    {
        Released<ArrayU08> wide(text->toCodePage(utf16, nullptr, false));
        ASSERT_TRUE(wide);
        ASSERT_EQ(2ull * part + 2, wide->count());
        EXPECT_EQ(0, std::memcmp(wide->items() + 2ull * part - 2, "\xe9\0\0\0", 4));
    }
    // Code pages convert slice by slice; a pair split by a slice end stays whole.
    const uint32_t sliced = (1u << 26) + 3;
    text->setLength(sliced);
    text->data()[(1u << 26) - 1] = 0xD83C;  // U+1F3B5 across the first slice end
    text->data()[1u << 26] = 0xDFB5;
    Released<ArrayU08> utf8(text->toUtf8Unterminated(nullptr, false));
    ASSERT_TRUE(utf8);
    ASSERT_EQ(sliced - 2 + 4, utf8->count());
    EXPECT_EQ(0, std::memcmp(utf8->items() + (1u << 26) - 1, "\xf0\x9f\x8e\xb5", 4));
}

TEST(OwnStorage, LongByteTextsConvertSliceBySliceWithoutSplittingACharacter) {
    // Just past one slice, with a two-byte character across its end.
    const size_t n = (1u << 26) + 10;
    std::string bytes(n, 'a');
    bytes[(1u << 26) - 1] = '\xC3';
    bytes[1u << 26] = '\xA9';
    Released<StrBuffer> text(StrBuffer::pool());
    ASSERT_NE(nullptr, text->fromUtf8(bytes.c_str(), false, -1));
    ASSERT_EQ(n - 1, text->length());
    EXPECT_EQ(L'\u00e9', text->charAt((1u << 26) - 1));
    EXPECT_EQ(L'a', text->charAt((1u << 26)));
    // Appended to what is there.
    ASSERT_NE(nullptr, text->fromUtf8("\xE2\x82\xAC", true, 3));
    EXPECT_EQ(L'\u20ac', text->charAt(static_cast<uint32_t>(n - 1)));
}

TEST(OwnStorage, AnEndedPooledWorkerIsAliveWhenTakenAgain) {
    for (int ending = 0; ending < 2; ++ending) {
        SCOPED_TRACE(ending == 0 ? "exit" : "requestExit");
        Thread* worker = Thread::pool();
        ASSERT_NE(nullptr, worker);
        if (ending == 0) {
            worker->exit();
        } else {
            worker->requestExit();
        }
        worker->release();
        Thread* again = Thread::pool();
        ASSERT_EQ(worker, again);  // the last one given back comes first
        CountingTask task;
        again->runOnce(&task);
        EXPECT_TRUE(again->waitIdleFor(5000));
        EXPECT_EQ(1, task.runs.load());
        again->release();
    }
}
