#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/col/_array/ArrayU08.h"
#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/Iterator.h"
#include "core/str/strbuffer/StrBuffer.h"

using s::col::_array::ArrayU08;
using s::str::strarray::StrArray;
using s::str::strbuffer::StrBuffer;

namespace {

// A pooled string released at the end of the test.
struct Text {
    StrBuffer* s;
    explicit Text(const wchar_t* text = L"") : s(StrBuffer::fromText(text)) {}
    ~Text() { s->release(); }
    StrBuffer* operator->() const { return s; }
    std::wstring str() const { return std::wstring(s->c_str(), s->length()); }
};

std::wstring take(StrBuffer* s) {
    std::wstring out(s->c_str(), s->length());
    s->release();
    return out;
}

std::string bytesOf(const ArrayU08* a) {
    return std::string(reinterpret_cast<const char*>(a->items()), a->count());
}

std::wstring piecesOf(StrArray* list) {
    std::wstring out;
    for (uint32_t i = 0; i < list->count(); ++i) {
        out += L"[" + std::wstring(list->get(i)->c_str()) + L"]";
    }
    list->release();
    return out;
}

} // namespace

TEST(StrBufferTest, EmptyStringNeedsNoStorage) {
    StrBuffer* s = StrBuffer::pool();
    EXPECT_STREQ(L"", s->c_str());
    EXPECT_EQ(nullptr, s->data());
    uint32_t at = 99;
    EXPECT_FALSE(s->indexOf(L'a', 0, &at));
    EXPECT_FALSE(s->lastIndexOf(L'a', StrBuffer::END, &at));
    EXPECT_FALSE(s->indexOfText(L"a", 0));
    s->append(L"abc")->release();
    // Back from the pool the string holds no memory again.
    StrBuffer* again = StrBuffer::pool();
    EXPECT_EQ(0u, again->length());
    EXPECT_EQ(0u, again->capacity());
    again->release();
}

TEST(StrBufferTest, GrowsByThePolicyAndReservesExactly) {
    Text t;
    t->appendChar(L'x');
    EXPECT_EQ(100u, t->capacity());
    for (int i = 0; i < 100; ++i) {
        t->appendChar(L'x');
    }
    EXPECT_EQ(300u, t->capacity());
    StrBuffer* e = StrBuffer::pool();
    e->reserveExact(7);
    EXPECT_EQ(7u, e->capacity());
    e->release();
}

TEST(StrBufferTest, SingleUnitSearches) {
    Text t(L"a/b\\c/D");
    uint32_t at = 0;
    EXPECT_TRUE(t->indexOf(L'/', 0, &at));
    EXPECT_EQ(1u, at);
    EXPECT_TRUE(t->indexOf(L'/', 2, &at));
    EXPECT_EQ(5u, at);
    EXPECT_FALSE(t->indexOf(L'/', 7, &at));
    EXPECT_TRUE(t->indexOfIgnoreCase(L'd', 0, &at));
    EXPECT_EQ(6u, at);
    EXPECT_TRUE(t->indexOfAny(L"\\/", -1, 2, &at));
    EXPECT_EQ(3u, at);

    EXPECT_TRUE(t->lastIndexOf(L'/', StrBuffer::END, &at));
    EXPECT_EQ(5u, at);
    EXPECT_TRUE(t->lastIndexOf(L'/', 5, &at));
    EXPECT_EQ(1u, at);
    EXPECT_FALSE(t->lastIndexOf(L'a', 0, &at));
    EXPECT_TRUE(t->lastIndexOfAnyIgnoreCase(L"AB", 2, StrBuffer::END, &at));
    EXPECT_EQ(2u, at);
}

TEST(StrBufferTest, TextSearches) {
    Text t(L"one Two one two");
    uint32_t at = 0;
    EXPECT_TRUE(t->indexOfText(L"one", 1, &at));
    EXPECT_EQ(8u, at);
    EXPECT_FALSE(t->indexOfText(L"", 0, &at));
    EXPECT_TRUE(t->indexOfTextIgnoreCase(L"TWO", 0, &at));
    EXPECT_EQ(4u, at);
    EXPECT_TRUE(t->lastIndexOfText(L"one", StrBuffer::END, &at));
    EXPECT_EQ(8u, at);
    // The match must end at or before the bound.
    EXPECT_TRUE(t->lastIndexOfText(L"one", 10, &at));
    EXPECT_EQ(0u, at);
    EXPECT_TRUE(t->lastIndexOfTextIgnoreCase(L"TWO", 14, &at));
    EXPECT_EQ(4u, at);
}

TEST(StrBufferTest, LastIndexOfTextWithPatternLongerThanTextIsNotFound) {
    Text t(L"ab");
    uint32_t at = 77;
    EXPECT_FALSE(t->lastIndexOfText(L"abc", StrBuffer::END, &at));
    EXPECT_FALSE(t->lastIndexOfTextIgnoreCase(L"xxab", StrBuffer::END, &at));
    // Longer than the part below the bound, though not than the text.
    EXPECT_FALSE(t->lastIndexOfText(L"ab", 1, &at));
    EXPECT_EQ(77u, at);
    StrBuffer* before = t->beforeLastText(L"abc", StrBuffer::END);
    EXPECT_EQ(0u, before->length());
    before->release();
}

TEST(StrBufferTest, EndBoundSearchesTheWholeOfALongText) {
    // Longer than END units: the END bound still means the whole text.
    Text t;
    const uint32_t n = StrBuffer::END + 10;
    ASSERT_TRUE(t->reserveExact(n));
    for (uint32_t i = 0; i < n; ++i) {
        t->data()[i] = L'a';
    }
    t->setLength(n);
    t->data()[n - 3] = L'\\';
    t->data()[n - 2] = L'x';
    uint32_t at = 0;
    EXPECT_TRUE(t->lastIndexOf(L'\\', StrBuffer::END, &at));
    EXPECT_EQ(n - 3, at);
    EXPECT_TRUE(t->lastIndexOfIgnoreCase(L'X', StrBuffer::END, &at));
    EXPECT_EQ(n - 2, at);
    EXPECT_TRUE(t->lastIndexOfAny(L"x\\", -1, StrBuffer::END, &at));
    EXPECT_EQ(n - 2, at);
    EXPECT_TRUE(t->lastIndexOfText(L"\\xa", StrBuffer::END, &at));
    EXPECT_EQ(n - 3, at);
    EXPECT_TRUE(t->lastIndexOfTextIgnoreCase(L"XA", StrBuffer::END, &at));
    EXPECT_EQ(n - 2, at);
    // A bound above END but below the length is a plain bound: the match ends at it.
    EXPECT_TRUE(t->lastIndexOfText(L"aaaaaa", StrBuffer::END + 5, &at));
    EXPECT_EQ(StrBuffer::END - 1, at);
    StrBuffer* head = t->beforeLast(L'\\', StrBuffer::END);
    EXPECT_EQ(n - 3, head->length());
    head->release();
}

TEST(StrBufferTest, RegionTests) {
    Text t(L"Hello.MP3");
    EXPECT_TRUE(t->startsWith(L"Hell"));
    EXPECT_FALSE(t->startsWith(L"hell"));
    EXPECT_TRUE(t->startsWithIgnoreCase(L"hell"));
    EXPECT_TRUE(t->endsWithIgnoreCase(L".mp3"));
    EXPECT_FALSE(t->endsWith(L".mp3"));
    EXPECT_FALSE(t->endsWith(L"xxHello.MP3"));
    EXPECT_TRUE(t->regionMatches(6, L"xMP3y", 1, 3));
    EXPECT_FALSE(t->regionMatches(7, L"P3x", 0, 3));
    // -1: the rest of the text, which must end where the string ends.
    EXPECT_TRUE(t->regionMatches(5, L".MP3", 0, -1));
    EXPECT_FALSE(t->regionMatches(4, L"o.MP", 0, -1));
    EXPECT_TRUE(t->regionMatchesIgnoreCase(5, L".mp3", 0, -1));
}

TEST(StrBufferTest, RegionMatchWholeRestHonoursTheOffset) {
    Text t(L"abc");
    // The rest of "xbc" from offset 1 is "bc", which ends the string at index 1.
    EXPECT_TRUE(t->regionMatches(1, L"xbc", 1, -1));
    EXPECT_TRUE(t->regionMatchesIgnoreCase(1, L"xBC", 1, -1));
    EXPECT_FALSE(t->regionMatches(0, L"xbc", 1, -1));
    // An offset past the text's end matches nothing rather than reading beyond it.
    EXPECT_FALSE(t->regionMatches(3, L"ab", 5, -1));
}

TEST(StrBufferTest, CompareRegion) {
    Text t(L"abcdef");
    EXPECT_EQ(-1, t->compareRegion(7, L"", 0, -1));
    EXPECT_EQ(0, t->compareRegion(6, L"", 0, -1));
    EXPECT_EQ(0, t->compareRegion(2, L"xcd", 1, 2));
    EXPECT_GT(t->compareRegion(2, L"cc", 0, 2), 0);
    EXPECT_LT(t->compareRegion(2, L"cdefg", 0, -1), 0);
    EXPECT_EQ(0, t->compareRegionIgnoreCase(2, L"CDEF", 0, -1));
}

TEST(StrBufferTest, Trims) {
    Text t(L" \t\x3000 text \r\n");
    t->trimEnd();
    EXPECT_EQ(L" \t\x3000 text", t.str());
    t->trimStart();
    EXPECT_EQ(L"text", t.str());

    Text k(L"ab    ");
    k->trimEndKeeping(4);
    EXPECT_EQ(L"ab  ", k.str());
    Text set(L"--x-y--");
    set->trimEndSet(L"-", -1)->trimStartSet(L"-", 1);
    EXPECT_EQ(L"x-y", set.str());
    Text keep(L"a----");
    keep->trimEndSetKeeping(L"-", 3, -1);
    EXPECT_EQ(L"a--", keep.str());
    Text blank(L" \r\n ");
    blank->trimStart();
    EXPECT_EQ(0u, blank->length());
}

TEST(StrBufferTest, SplitDropsEmptyPieces) {
    Text t(L",a,,b,");
    EXPECT_EQ(L"[a][b]", piecesOf(t->split(L',')));
    Text one(L"abc");
    EXPECT_EQ(L"[abc]", piecesOf(one->split(L',')));
    Text empty;
    EXPECT_EQ(L"", piecesOf(empty->split(L',')));
}

TEST(StrBufferTest, DistinctWords) {
    Text t(L"The cat and the dog");
    EXPECT_EQ(L"[cat][dog]", piecesOf(t->distinctWords(true)));
    EXPECT_EQ(L"[The][cat][and][dog]", piecesOf(t->distinctWords(false)));
    // Signs join words; CJK brackets and punctuation split them.
    Text mixed(L"+5dB,-3% \x3010\x65E5\x672C\x3011\x65E5\x672C");
    EXPECT_EQ(L"[+5dB][-3%][\x65E5\x672C]", piecesOf(mixed->distinctWords(false)));
}

TEST(StrBufferTest, ReplaceAllEqualShorterLonger) {
    Text same(L"a-b-c");
    EXPECT_EQ(2u, same->replaceAll(L"-", L"+"));
    EXPECT_EQ(L"a+b+c", same.str());

    Text shorter(L"xxAxxBxx");
    EXPECT_EQ(3u, shorter->replaceAll(L"xx", L"_"));
    EXPECT_EQ(L"_A_B_", shorter.str());
    Text removed(L"a, b, c");
    removed->replaceAll(L", ", L"");
    EXPECT_EQ(L"abc", removed.str());

    Text longer(L"%1 and %1");
    EXPECT_EQ(2u, longer->replaceAll(L"%1", L"value"));
    EXPECT_EQ(L"value and value", longer.str());

    // No overlapping matches; resuming after each replacement.
    Text overlap(L"aaaa");
    EXPECT_EQ(2u, overlap->replaceAll(L"aa", L"b"));
    EXPECT_EQ(L"bb", overlap.str());

    Text ci(L"Mp3 mp3 MP3");
    EXPECT_EQ(3u, ci->replaceAllIgnoreCase(L"mp3", L"ogg"));
    EXPECT_EQ(L"ogg ogg ogg", ci.str());
    Text none(L"abc");
    EXPECT_EQ(0u, none->replaceAll(L"abcd", L"x"));
    EXPECT_EQ(L"abc", none.str());
}

TEST(StrBufferTest, CuttingAndCopies) {
    Text t(L"C:\\dir\\file.name.mp3");
    EXPECT_EQ(L"C:\\dir\\file.name", take(t->beforeLast(L'.', StrBuffer::END)));
    EXPECT_EQ(L"C:\\dir", take(t->beforeLastAny(L"/\\", -1, StrBuffer::END)));
    EXPECT_EQ(L"", take(t->beforeLast(L'?', StrBuffer::END)));
    EXPECT_EQ(L"file", take(t->substring(7, 11)));
    EXPECT_EQ(L"mp3", take(t->substring(17, 1000)));
    EXPECT_EQ(L"", take(t->substring(5, 5)));
    Text k(L"0123456");
    k->keepRange(2, 100);
    EXPECT_EQ(L"23456", k.str());
    EXPECT_EQ(L"23456", take(k->copy()));
}

TEST(StrBufferTest, AppendingAndSelfReferences) {
    Text t(L"ab");
    t->prepend(L">>", -1)->appendUnits(L"cdef", 2)->appendChar(L'!');
    EXPECT_EQ(L">>abcd!", t.str());
    // Sources inside the string itself survive the storage growing.
    t->append(t.s);
    EXPECT_EQ(L">>abcd!>>abcd!", t.str());
    t->appendUnits(t->data() + 2, 2);
    EXPECT_EQ(L">>abcd!>>abcd!ab", t.str());
    t->prepend(t->data() + 2, 4);
    EXPECT_EQ(L"abcd>>abcd!>>abcd!ab", t.str());
    t->assign(t->c_str() + 4);
    EXPECT_EQ(L">>abcd!>>abcd!ab", t.str());
    EXPECT_EQ(L"C:\\a\\b.lnk", take(StrBuffer::shortcutPath(L"C:\\a", L"b")));
    EXPECT_EQ(L"xy", take(StrBuffer::fromConcat(L"x", L"y")));
}

TEST(StrBufferTest, AppendBytesWidensAsLatin1) {
    Text t;
    const char bytes[] = {'A', static_cast<char>(0xE9), static_cast<char>(0x80), static_cast<char>(0xFF)};
    t->appendBytes(bytes, 4);
    ASSERT_EQ(4u, t->length());
    EXPECT_EQ(0x41, t->charAt(0));
    EXPECT_EQ(0xE9, t->charAt(1));
    EXPECT_EQ(0x80, t->charAt(2));
    EXPECT_EQ(0xFF, t->charAt(3));
    t->appendBytes("\xC4z");
    EXPECT_EQ(0xC4, t->charAt(4));
    EXPECT_EQ(6u, t->length());
}

TEST(StrBufferTest, CompareEqualsAndHash) {
    Text ab(L"ab"), AB(L"AB"), abc(L"abc"), b(L"b");
    EXPECT_EQ(0xA0u, ab->hashCode());
    EXPECT_EQ(0xA0u, AB->hashCodeIgnoreCase());
    EXPECT_NE(ab->hashCode(), AB->hashCode());
    EXPECT_TRUE(ab->equalsIgnoreCase(AB.s));
    EXPECT_FALSE(ab->equals(AB.s));
    EXPECT_LT(ab->compareTo(abc.s), 0);
    EXPECT_GT(b->compareTo(abc.s), 0);
    EXPECT_EQ(0, AB->compareToIgnoreCase(ab.s));
    EXPECT_LT(AB->compareToIgnoreCase(abc.s), 0);
    // Only ASCII letters fold.
    Text upper(L"\xC4"), lower(L"\xE4");
    EXPECT_FALSE(upper->equalsIgnoreCase(lower.s));
    // Units compare by their bytes in memory: 0x0100 (00 01) is below 0x00FF (FF 00).
    Text u100(L"\x0100"), uff(L"\x00FF");
    EXPECT_LT(u100->compareTo(uff.s), 0);
}

TEST(StrBufferTest, CaseConversion) {
    Text t(L"hELLO wORLD");
    t->capitalize();
    EXPECT_EQ(L"Hello world", t.str());
    t->toUpperCase();
    EXPECT_EQ(L"HELLO WORLD", t.str());
    EXPECT_EQ(L'h', t->charLowerAt(0));
    t->reverse();
    EXPECT_EQ(L"DLROW OLLEH", t.str());
}

TEST(StrBufferTest, Utf8RoundTripWithSurrogatePairs) {
    // "a", e-acute, a CJK unit and U+1F600 (a surrogate pair).
    Text t(L"a\xE9\x65E5\xD83D\xDE00");
    ArrayU08* bytes = t->toUtf8(nullptr, false);
    EXPECT_EQ(std::string("a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80", 11), bytesOf(bytes));
    EXPECT_EQ(0, bytes->items()[10]);
    t->toUtf8Unterminated(bytes, false);
    EXPECT_EQ(10u, bytes->count());
    EXPECT_EQ(0, bytes->items()[10]);

    Text back;
    back->fromUtf8(reinterpret_cast<const char*>(bytes->items()), false, static_cast<int32_t>(bytes->count()));
    EXPECT_TRUE(back->equals(t.s));
    // -1 takes the text up to, not including, its NUL.
    back->fromUtf8("x\xC3\xA9", false, -1);
    EXPECT_EQ(2u, back->length());
    EXPECT_EQ(L"x\xE9", back.str());
    back->fromUtf8("yz", true, -1);
    EXPECT_EQ(L"x\xE9yz", back.str());
    bytes->release();

    Text abc(L"abc");
    ArrayU08* a = abc->toUtf8(nullptr, false);
    EXPECT_EQ(4u, a->count());
    abc->toUtf8(a, true);
    EXPECT_EQ(8u, a->count());
    a->release();
}

TEST(StrBufferTest, OemConversionLeavesNoTerminatorInTheText) {
    Text t;
    t->fromOem("dir", false, -1);
    EXPECT_EQ(L"dir", t.str());
    ArrayU08* a = t->toOemUnterminated(nullptr, false);
    EXPECT_EQ("dir", bytesOf(a));
    a->release();
}

TEST(StrBufferTest, NumbersAppendAndAssign) {
    Text t;
    t->appendInt32(-5);
    EXPECT_EQ(L"-5", t.str());
    t->clear();
    t->appendUInt8(255)->appendChar(L' ')->appendInt8(-128)->appendChar(L' ')->appendUInt32(4294967295u);
    EXPECT_EQ(L"255 -128 4294967295", t.str());
    t->assignInt64(-9223372036854775807LL - 1);
    EXPECT_EQ(L"-9223372036854775808", t.str());
    t->assignDouble(1.5);
    EXPECT_EQ(L"1.500000", t.str());
    t->assignFloat(0.25f)->appendInt16(-300);
    EXPECT_EQ(L"0.250000-300", t.str());
}

TEST(StrBufferTest, HugeDoublesPrintInFull) {
    // "%f" of 1e300 needs 308 units, more than the usual formatting room.
    Text t(L"x=");
    t->appendDouble(1e300);
    const std::wstring s = t.str();
    ASSERT_EQ(310u, s.size());
    EXPECT_EQ(L"x=1000000000000000", s.substr(0, 18));
    EXPECT_EQ(L".000000", s.substr(303));
    t->assignDouble(-1e300);
    EXPECT_EQ(309u, t->length());
    EXPECT_EQ(L'-', t->charAt(0));
    t->assignInt32(7);
    EXPECT_EQ(L"7", t.str());
}

TEST(StrBufferTest, ParsingNumbers) {
    Text t(L"  -42abc");
    EXPECT_EQ(-42, t->toInt());
    EXPECT_FALSE(t->isInteger());
    t->assign(L"-");
    EXPECT_FALSE(t->isInteger());
    t->assign(L"-12");
    EXPECT_TRUE(t->isInteger());
    t->assign(L"5000000000");
    EXPECT_EQ(5000000000LL, t->toInt64());
    t->assign(L"2.5");
    EXPECT_FLOAT_EQ(2.5f, t->toFloat());

    t->assign(L"1aF");
    EXPECT_TRUE(t->isHex());
    EXPECT_EQ(0x1AFu, t->parseHex());
    EXPECT_EQ(15u, t->hexDigitAt(2));
    t->assign(L"1g");
    EXPECT_FALSE(t->isHex());
    EXPECT_EQ(0u, t->hexDigitAt(1));

    t->assign(L"0aFF7");
    ArrayU08* bytes = t->hexToBytes(nullptr, false);
    ASSERT_EQ(2u, bytes->count());
    EXPECT_EQ(0x0A, bytes->items()[0]);
    EXPECT_EQ(0xFF, bytes->items()[1]);
    t->assign(L"1z");
    t->hexToBytes(bytes, true);
    ASSERT_EQ(3u, bytes->count());
    EXPECT_EQ(0x10, bytes->items()[2]);
    bytes->release();
}

TEST(StrBufferTest, HexAppenders) {
    Text t;
    const uint16_t words[] = {0x1, 0xABCD};
    const int8_t signedBytes[] = {-1, 16};
    const uint64_t wide[] = {0x0123456789ABCDEFull};
    t->appendHex(words, 2)->appendChar(L' ')->appendHex(signedBytes, 2)->appendChar(L' ')->appendHexWords(wide, 1);
    EXPECT_EQ(L"0001abcd ff10 89abcdef01234567", t.str());
    t->clear();
    t->appendHex(wide, 1);
    EXPECT_EQ(L"0123456789abcdef", t.str());
}

TEST(StrBufferTest, StreamViews) {
    Text t(L"ab");
    uint8_t buffer[8] = {};
    uint32_t got = 99;
    EXPECT_TRUE(t->read(buffer, 0, got));
    EXPECT_EQ(0u, got);
    EXPECT_TRUE(t->read(buffer, 3, got));
    EXPECT_EQ(3u, got);
    EXPECT_TRUE(t->read(buffer, 8, got));
    EXPECT_EQ(1u, got);
    EXPECT_FALSE(t->read(buffer, 8, got));
    EXPECT_EQ(0u, got);

    uint32_t done = 0;
    t->seekEnd();
    const wchar_t more[] = L"cd";
    EXPECT_TRUE(t->write(more, 4, done));
    EXPECT_EQ(4u, done);
    EXPECT_EQ(L"abcd", t.str());
    t->seek(2);
    EXPECT_TRUE(t->write(L"X", 2, done));
    EXPECT_EQ(L"aXcd", t.str());
    EXPECT_EQ(4, t->position());
}

TEST(StrBufferTest, Iterators) {
    Text t(L"abc");
    std::wstring forward, backward;
    s::str::strbuffer::Iterator* it = t->iterator();
    while (it->hasNext()) {
        forward += *static_cast<wchar_t*>(it->next());
    }
    it->close();
    EXPECT_EQ(L"abc", forward);
    it = t->reverseIterator();
    while (it->hasPrevious()) {
        backward += *static_cast<wchar_t*>(it->previous());
    }
    it->close();
    EXPECT_EQ(L"cba", backward);
    it = t->iteratorAt(1);
    EXPECT_EQ(L'b', *static_cast<wchar_t*>(it->next()));
    it->close();
}
