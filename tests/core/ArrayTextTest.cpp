// Arrays printed as text, XML, hexadecimal and MD5 digests.
#include <gtest/gtest.h>

#include <string>

#include "core/col/_array/ArrayP.h"
#include "core/col/_array/ArrayS08.h"
#include "core/col/_array/ArrayS32.h"
#include "core/col/_array/ArrayU08.h"
#include "core/col/_array/ArrayU32.h"
#include "core/digest/md5/Md5.h"
#include "core/map/Map.h"
#include "core/str/strbuffer/StrBuffer.h"

using s::str::strbuffer::StrBuffer;
using namespace s::col::_array;

namespace {

std::wstring take(StrBuffer* s) {
    std::wstring text(s->c_str());
    s->release();
    return text;
}

} // namespace

TEST(ArrayText, ToStringToXmlAndHex) {
    ArrayU08* bytes = ArrayU08::pool();
    for (uint8_t v : {1, 2, 3}) {
        bytes->add(v);
    }
    EXPECT_EQ(take(bytes->toString()), L"s_col__array_ArrayU08 [1 2 3]");
    EXPECT_EQ(take(bytes->toXml()), L"<s_col__array_ArrayU08 length=\"3\">010203</s_col__array_ArrayU08>");

    StrBuffer* out = StrBuffer::fromText(L"old");
    bytes->toHex(out, true);
    EXPECT_EQ(std::wstring(out->c_str()), L"old010203");
    bytes->toHex(out, false);
    EXPECT_EQ(take(out), L"010203");
    bytes->release();

    ArrayS08* signedBytes = ArrayS08::pool();
    signedBytes->add(-1);
    signedBytes->add(16);
    EXPECT_EQ(take(signedBytes->toString()), L"s_col__array_ArrayS08 [-1 16]");
    EXPECT_EQ(take(signedBytes->toHex()), L"ff10");
    signedBytes->release();

    ArrayS32* ints = ArrayS32::pool();
    ints->add(-5);
    ints->add(0x1234);
    EXPECT_EQ(take(ints->toString()), L"s_col__array_ArrayS32 [-5 4660]");
    EXPECT_EQ(take(ints->toHex()), L"fffffffb00001234");
    ints->release();

    ArrayU32* words = ArrayU32::pool();
    words->add(4000000000u);
    EXPECT_EQ(take(words->toString()), L"s_col__array_ArrayU32 [4000000000]");
    words->release();

    ArrayU08* empty = ArrayU08::pool();
    EXPECT_EQ(take(empty->toString()), L"s_col__array_ArrayU08 []");
    EXPECT_EQ(take(empty->toXml()), L"<s_col__array_ArrayU08 length=\"0\"></s_col__array_ArrayU08>");
    empty->release();
}

TEST(ArrayText, PointerElementsPrintClassAndAddress) {
    ArrayP* list = ArrayP::pool();
    s::map::Map* map = s::map::Map::pool();
    list->add(map);
    list->add(nullptr);
    const std::wstring expected = L"s_col__array_ArrayP [s_map_Map(" +
                                  std::to_wstring(static_cast<long long>(reinterpret_cast<intptr_t>(map))) + L") (0)]";
    EXPECT_EQ(take(list->toString()), expected);
    EXPECT_EQ(take(list->toHex()), L"");  // pointers have no hexadecimal form
    list->release();
    map->release();
}

TEST(ArrayText, DigestHashesTheStoredBytes) {
    ArrayU08* bytes = ArrayU08::pool();
    for (char c : std::string("abc")) {
        bytes->add(static_cast<uint8_t>(c));
    }
    EXPECT_EQ(take(bytes->digest(nullptr)), L"900150983cd24fb0d6963f7d28e17f72");
    s::digest::md5::Md5* md5 = s::digest::md5::Md5::pool();
    StrBuffer* out = StrBuffer::fromText(L"md5=");
    bytes->digest(md5, out, true);
    EXPECT_EQ(take(out), L"md5=900150983cd24fb0d6963f7d28e17f72");
    md5->release();
    bytes->release();

    // Wider elements hash all their bytes: the 32-bit value 0x00636261 is "abc\0".
    ArrayU32* word = ArrayU32::pool();
    word->add(0x00636261u);
    ArrayU08* same = ArrayU08::pool();
    for (uint8_t b : {0x61, 0x62, 0x63, 0x00}) {
        same->add(b);
    }
    EXPECT_EQ(take(word->digest(nullptr)), take(same->digest(nullptr)));
    word->release();
    same->release();
}
