#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "core/col/_array/ArrayU08.h"
#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"

using s::col::_array::ArrayU08;
using s::str::strarray::StrArray;
using s::str::strbuffer::StrBuffer;

namespace {

ArrayU08* bytesFrom(const void* data, uint32_t size) {
    ArrayU08* a = ArrayU08::pool();
    a->writeRange(data, size, 0, 0);
    return a;
}

} // namespace

TEST(StrArrayTest, FindIgnoresAsciiCaseAndRemoveGivesStringsBack) {
    StrArray* list = StrArray::pool();
    list->add(L"Alpha")->add(L"beta")->add(nullptr);
    ASSERT_EQ(3u, list->count());
    EXPECT_EQ(0u, list->get(2)->length());
    uint32_t at = 0;
    EXPECT_TRUE(list->findText(L"BETA", &at));
    EXPECT_EQ(1u, at);
    EXPECT_FALSE(list->findText(L"gamma", &at));

    // A removed string goes back to the string pool: the next one taken is it.
    StrBuffer* removed = list->get(0);
    list->removeAt(0);
    EXPECT_EQ(2u, list->count());
    StrBuffer* next = StrBuffer::pool();
    EXPECT_EQ(removed, next);
    EXPECT_EQ(0u, next->length());
    next->release();
    list->clear();
    EXPECT_EQ(0u, list->count());
    list->release();
}

TEST(StrArrayTest, MultiStringRoundTrip) {
    StrArray* list = StrArray::pool();
    ArrayU08* bytes = list->toMultiString(nullptr);
    ASSERT_EQ(4u, bytes->count());
    EXPECT_EQ(0, bytes->items()[0] | bytes->items()[1] | bytes->items()[2] | bytes->items()[3]);

    list->add(L"ab");
    list->toMultiString(bytes);
    const uint8_t ab[] = {'a', 0, 'b', 0, 0, 0, 0, 0};
    ASSERT_EQ(8u, bytes->count());
    EXPECT_EQ(0, std::memcmp(ab, bytes->items(), 8));

    list->add(L"")->add(L"\x65E5");
    list->toMultiString(bytes);
    StrArray* back = StrArray::pool();
    // An empty string inside the block ends the list, as the registry reads it.
    back->fromMultiString(bytes);
    ASSERT_EQ(1u, back->count());
    EXPECT_STREQ(L"ab", back->get(0)->c_str());

    const wchar_t block[] = L"one\0two\0";  // plus the literal's own NUL
    ArrayU08* raw = bytesFrom(block, sizeof(block));
    back->fromMultiString(raw);
    ASSERT_EQ(2u, back->count());
    EXPECT_STREQ(L"two", back->get(1)->c_str());

    // Only the two NUL units: one empty string.
    const wchar_t empty[2] = {0, 0};
    ArrayU08* two = bytesFrom(empty, sizeof(empty));
    back->fromMultiString(two);
    ASSERT_EQ(1u, back->count());
    EXPECT_EQ(0u, back->get(0)->length());

    // Not ending in two NULs: nothing, and the old content is gone.
    const wchar_t open[] = {L'a', 0, L'b'};
    ArrayU08* bad = bytesFrom(open, sizeof(open));
    back->fromMultiString(bad);
    EXPECT_EQ(0u, back->count());

    for (ArrayU08* a : {bytes, raw, two, bad}) {
        a->release();
    }
    back->release();
    list->release();
}

TEST(StrArrayTest, JoinLinesIsUtf8WithCrLfBetweenLines) {
    StrArray* list = StrArray::pool();
    ArrayU08* none = list->joinLines();
    EXPECT_EQ(0u, none->count());
    none->release();

    list->add(L"first")->add(L"caf\xE9");
    ArrayU08* bytes = list->joinLines();
    EXPECT_EQ(std::string("first\r\ncaf\xC3\xA9"),
              std::string(reinterpret_cast<const char*>(bytes->items()), bytes->count()));
    bytes->release();
    list->release();
}
