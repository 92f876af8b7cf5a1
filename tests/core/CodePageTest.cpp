#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <thread>

#include "core/col/_array/ArrayU08.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/system/codepage/CodePage.h"
#include "core/system/codepage/CodePageCatalogue.h"
#include "core/time/TimeZone.h"

using s::col::_array::ArrayU08;
using s::str::strbuffer::StrBuffer;
using s::system::codepage::CodePage;
using s::system::codepage::CodePageCatalogue;

namespace {

std::string bytesOf(const ArrayU08* a) {
    return std::string(reinterpret_cast<const char*>(a->items()), a->count());
}

const CodePageCatalogue& pages() {
    return CodePageCatalogue::ensureCodePages();
}

} // namespace

TEST(CodePageTest, CatalogueHoldsKnownPagesOnlyAndBothUtf16Entries) {
    const CodePageCatalogue& c = pages();
    ASSERT_TRUE(c.built());
    ASSERT_NE(nullptr, c.utf16());
    ASSERT_NE(nullptr, c.utf16Be());
    EXPECT_EQ(1200, c.utf16()->number());
    EXPECT_STREQ(L"UTF-16", c.utf16()->name()->c_str());
    EXPECT_EQ(1201, c.utf16Be()->number());
    EXPECT_STREQ(L"UTF-16BE", c.utf16Be()->name()->c_str());
    EXPECT_EQ(c.utf16(), c.find(1200));

    // 437 is reported by the system but is not offered.
    EXPECT_EQ(nullptr, c.find(437));
    ASSERT_NE(nullptr, c.find(932));
    EXPECT_STREQ(L"Japanese (Shift_JIS)", c.find(932)->name()->c_str());
    ASSERT_NE(nullptr, c.find(1252));

    for (uint32_t i = 0; i < c.count(); ++i) {
        const CodePage* page = c.get(i);
        EXPECT_STREQ(CodePageCatalogue::knownName(page->number()), page->name()->c_str());
        // Each number once, in order of names ignoring case.
        EXPECT_EQ(page, c.find(page->number()));
        if (i > 0) {
            EXPECT_LE(c.get(i - 1)->name()->compareToIgnoreCase(page->name()), 0)
                << i << " " << page->number();
        }
    }
}

TEST(CodePageTest, ConcurrentBuildsMakeOneCatalogue) {
    CodePageCatalogue local;
    std::thread a([&] { local.ensure(); });
    std::thread b([&] { local.ensure(); });
    a.join();
    b.join();
    // Built twice, the list would hold every page twice.
    EXPECT_EQ(pages().count(), local.count());
    ASSERT_NE(nullptr, local.utf16());
    EXPECT_EQ(local.utf16(), local.find(1200));
    const uint32_t n = local.count();
    local.ensure();
    EXPECT_EQ(n, local.count());
}

TEST(CodePageTest, ShiftJisAndCyrillicRoundTrip) {
    const CodePage* sjis = pages().find(932);
    const CodePage* cyrillic = pages().find(1251);
    ASSERT_NE(nullptr, sjis);
    ASSERT_NE(nullptr, cyrillic);

    StrBuffer* text = StrBuffer::fromText(L"\x65E5\x672C");
    ArrayU08* bytes = text->toCodePageUnterminated(sjis, nullptr, false);
    EXPECT_EQ(std::string("\x93\xFA\x96\x7B"), bytesOf(bytes));
    StrBuffer* back = StrBuffer::pool();
    back->fromCodePage(sjis, bytes->items(), false, static_cast<int32_t>(bytes->count()));
    EXPECT_TRUE(back->equals(text));

    text->assign(L"\x041F\x0440\x0438\x0432\x0435\x0442");
    text->toCodePage(cyrillic, bytes, false);
    EXPECT_EQ(std::string("\xCF\xF0\xE8\xE2\xE5\xF2", 7), bytesOf(bytes));
    back->fromCodePage(cyrillic, bytes->items(), false, -1);
    EXPECT_TRUE(back->equals(text));

    bytes->release();
    back->release();
    text->release();
}

TEST(CodePageTest, ConvertersThatNeedMoreThanThreeBytesPerUnit) {
    // GB18030 writes 4 bytes for U+0080; ISO-2022-JP adds escapes around each kanji.
    // Wine 8 has neither converter.
    if (!IsValidCodePage(54936) || !IsValidCodePage(50220)) {
        GTEST_SKIP() << "no GB18030 / ISO-2022-JP converter on this system";
    }
    StrBuffer* text = StrBuffer::fromText(L"\x0080\x0080\x0080");
    CodePage* gb = CodePage::create(54936, L"GB18030");
    ArrayU08* bytes = text->toCodePageUnterminated(gb, nullptr, false);
    EXPECT_EQ(12u, bytes->count());
    StrBuffer* back = StrBuffer::pool();
    back->fromCodePage(gb, bytes->items(), false, static_cast<int32_t>(bytes->count()));
    EXPECT_TRUE(back->equals(text));

    text->assign(L"a\x65E5" L"a\x65E5");
    CodePage* jis = CodePage::create(50220, L"ISO-2022-JP");
    text->toCodePageUnterminated(jis, bytes, false);
    EXPECT_GT(bytes->count(), text->length() * 3);
    back->fromCodePage(jis, bytes->items(), false, static_cast<int32_t>(bytes->count()));
    EXPECT_TRUE(back->equals(text));

    gb->release();
    jis->release();
    bytes->release();
    back->release();
    text->release();
}

TEST(CodePageTest, Utf16EntriesCopyOrSwapTheUnits) {
    StrBuffer* text = StrBuffer::fromText(L"A\xE9\xD83D\xDE00");
    ArrayU08* le = text->toCodePage(pages().utf16(), nullptr, false);
    // Units as they are, then a NUL unit that is counted.
    EXPECT_EQ(std::string("A\0\xE9\0\x3D\xD8\x00\xDE\0\0", 10), bytesOf(le));
    ArrayU08* be = text->toCodePageUnterminated(pages().utf16Be(), nullptr, false);
    EXPECT_EQ(std::string("\0A\0\xE9\xD8\x3D\xDE\x00", 8), bytesOf(be));

    StrBuffer* back = StrBuffer::pool();
    back->fromCodePage(pages().utf16Be(), be->items(), false, static_cast<int32_t>(be->count()));
    EXPECT_TRUE(back->equals(text));
    back->fromCodePage(pages().utf16(), le->items(), false, -1);
    EXPECT_TRUE(back->equals(text));
    back->fromCodePage(pages().utf16Be(), "\0x\0y\0\0", true, -1);
    EXPECT_EQ(6u, back->length());
    EXPECT_TRUE(back->endsWith(L"xy"));

    // An entry made outside the catalogue converts the same way.
    CodePage* own = CodePage::create(1201, L"UTF-16BE");
    ArrayU08* again = text->toCodePageUnterminated(own, nullptr, false);
    EXPECT_EQ(bytesOf(be), bytesOf(again));
    own->release();
    EXPECT_EQ(nullptr, text->toCodePage(nullptr, le, false));

    for (ArrayU08* a : {le, be, again}) {
        a->release();
    }
    back->release();
    text->release();
}

TEST(CodePageTest, PooledRecordsComeBackEmpty) {
    CodePage* page = CodePage::create(1252, L"Western (Windows-1252)");
    page->release();
    CodePage* again = CodePage::pool();
    EXPECT_EQ(0, again->number());
    EXPECT_EQ(0u, again->name()->length());
    EXPECT_EQ(0u, again->name()->capacity());
    again->release();

    s::time::TimeZone* zone = s::time::TimeZone::pool();
    zone->setIndex(3);
    zone->standardName()->assign(L"CET");
    zone->info().Bias = -60;
    zone->release();
    s::time::TimeZone* fresh = s::time::TimeZone::pool();
    EXPECT_EQ(0, fresh->index());
    EXPECT_EQ(0u, fresh->standardName()->length());
    EXPECT_EQ(0, fresh->info().Bias);
    EXPECT_STREQ(L"s_time_TimeZone", fresh->className());
    fresh->release();
}
