#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "core/col/_array/ArrayU08.h"
#include "core/digest/HexDump.h"
#include "core/digest/md5/Md5.h"
#include "core/str/strbuffer/StrBuffer.h"

using s::col::_array::ArrayU08;
using s::digest::md5::Md5;
using s::str::strbuffer::StrBuffer;

namespace {

std::wstring md5Hex(const void* data, uint32_t size) {
    Md5* md5 = Md5::pool();
    md5->update(data, size);
    md5->finish(nullptr);
    StrBuffer* hex = md5->toHex(nullptr, false);
    std::wstring out(hex->c_str());
    hex->release();
    md5->release();
    return out;
}

std::wstring md5Hex(const char* text) {
    return md5Hex(text, static_cast<uint32_t>(std::strlen(text)));
}

} // namespace

TEST(Md5Test, Rfc1321TestSuite) {
    EXPECT_EQ(L"d41d8cd98f00b204e9800998ecf8427e", md5Hex(""));
    EXPECT_EQ(L"0cc175b9c0f1b6a831c399e269772661", md5Hex("a"));
    EXPECT_EQ(L"900150983cd24fb0d6963f7d28e17f72", md5Hex("abc"));
    EXPECT_EQ(L"f96b697d7cb7938d525a2f31aaf161d0", md5Hex("message digest"));
    EXPECT_EQ(L"c3fcd3d76192e4007dfb496cca67e13b", md5Hex("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(L"d174ab98d277d9f5a5611c2c9f419d9f",
              md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"));
    EXPECT_EQ(L"57edf4a22be3c955ac49da2e2107b67a",
              md5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"));
}

TEST(Md5Test, SplitUpdatesGiveTheSameDigest) {
    uint8_t block[64];
    for (int i = 0; i < 64; ++i) {
        block[i] = static_cast<uint8_t>(i);
    }
    const std::wstring whole = md5Hex(block, 64);
    EXPECT_EQ(L"b2d3f56bc197fd985d5965079b5e7148", whole);

    Md5* md5 = Md5::pool();
    md5->update(block, 10);
    md5->update(block + 10, 54);
    ArrayU08* out = ArrayU08::pool();
    md5->finish(out);
    ASSERT_EQ(16u, out->count());
    StrBuffer* hex = out->toHex(nullptr, false);
    EXPECT_EQ(whole, std::wstring(hex->c_str()));
    hex->release();
    out->release();
    md5->release();

    // Lengths around the padding boundary (55, 56, 63, 64, 65 bytes) across a 1-byte split.
    const char* text = "12345678901234567890123456789012345678901234567890123456789012345678901234567890";
    for (uint32_t n : {55u, 56u, 63u, 64u, 65u}) {
        Md5* split = Md5::pool();
        split->update(text, 1);
        split->update(text + 1, n - 1);
        split->finish(nullptr);
        StrBuffer* h = split->toHex(nullptr, false);
        EXPECT_EQ(md5Hex(text, n), std::wstring(h->c_str())) << n;
        h->release();
        split->release();
    }
}

TEST(Md5Test, StringDigestHashesUtf16Bytes) {
    StrBuffer* abc = StrBuffer::fromText(L"abc");
    StrBuffer* hex = abc->digestHex(nullptr, nullptr, false);
    const uint8_t bytes[] = {0x61, 0, 0x62, 0, 0x63, 0};
    EXPECT_EQ(md5Hex(bytes, 6), std::wstring(hex->c_str()));
    EXPECT_EQ(L"ce1473cf80c6b3fda8e3dfc006adc315", std::wstring(hex->c_str()));
    // Appending after existing text.
    hex->assign(L"md5:");
    abc->digestHex(nullptr, hex, true);
    EXPECT_EQ(36u, hex->length());
    EXPECT_TRUE(hex->startsWith(L"md5:ce1473cf"));
    hex->release();
    abc->release();
}

TEST(Md5Test, HexWriters) {
    const uint8_t bytes[] = {0x0A, 0xFF};
    StrBuffer* out = s::digest::hexDump8(bytes, 2, nullptr, false);
    EXPECT_STREQ(L"0aff", out->c_str());
    const uint32_t words[] = {0xDEADBEEF, 0x10};
    s::digest::hexDump32(words, 2, out, true);
    EXPECT_STREQ(L"0affdeadbeef00000010", out->c_str());
    const uint64_t wide[] = {0xFULL};
    s::digest::hexDump64(wide, 1, out, false);
    EXPECT_STREQ(L"000000000000000f", out->c_str());
    const uint16_t halves[] = {0xBEEF};
    s::digest::hexDump16(halves, 1, out, false);
    EXPECT_STREQ(L"beef", out->c_str());
    out->release();
}
