// The GIF LZW coder: round trips, streams from the tests' own encoder (deferred
// clears, every code size), the clear when the table fills, and broken codes.
#include <gtest/gtest.h>

#include <vector>

#include "GifTestWriter.h"
#include "ImageTestSupport.h"
#include "images/image/gif/win/GifLzw.h"

using giftest::Bytes;
using imagetest::Held;
using s::col::_array::ArrayU08;
using s::image::gif::win::GifLzw;
using Result = GifLzw::Result;

namespace {

// Indices of a few kinds: noise fills the table, runs exercise codes defined by
// their own use, stripes repeat.
Bytes pattern(int kind, size_t count, int colours) {
    Bytes out(count);
    uint32_t seed = 12345;
    for (size_t i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        switch (kind) {
        case 0: out[i] = static_cast<uint8_t>((seed >> 16) % static_cast<uint32_t>(colours)); break;
        case 1: out[i] = static_cast<uint8_t>((i / 997) % static_cast<size_t>(colours)); break;
        default: out[i] = static_cast<uint8_t>((i % 13 + i / 50) % static_cast<size_t>(colours)); break;
        }
    }
    return out;
}

Bytes compressed(const Bytes& indices, int width, int height, int codeSize) {
    Held<GifLzw> lzw;
    Held<ArrayU08> out;
    EXPECT_TRUE(lzw->compress(indices.data(), width, height, width, codeSize, out.get()));
    // Undo the sub-blocks: a length byte before each packet of at most 254 bytes.
    const Bytes blocks = imagetest::bytesOf(out.get());
    Bytes data;
    for (size_t at = 0; at < blocks.size(); at += 1 + blocks[at]) {
        EXPECT_GE(254, blocks[at]);
        EXPECT_LT(0, blocks[at]);
        data.insert(data.end(), blocks.begin() + static_cast<long>(at) + 1,
                    blocks.begin() + static_cast<long>(at + 1 + blocks[at]));
    }
    return data;
}

Result decoded(const Bytes& data, int codeSize, Bytes& indices, int width, int height, bool interlaced = false) {
    Held<GifLzw> lzw;
    return lzw->decode(data.data(), data.size(), codeSize, indices.data(), width, height, interlaced);
}

TEST(Lzw, CompressedIndicesDecodeToThemselves) {
    struct Case {
        int kind;
        int width;
        int height;
        int codeSize;
    };
    for (const Case& c : {Case{0, 300, 200, 8}, Case{1, 500, 90, 8}, Case{2, 64, 64, 4}, Case{0, 1, 1, 2},
                          Case{0, 1, 700, 2}, Case{1, 999, 1, 3}, Case{2, 257, 33, 8}}) {
        const Bytes source = pattern(c.kind, static_cast<size_t>(c.width * c.height), 1 << c.codeSize);
        Bytes back(source.size(), 0xEE);
        EXPECT_EQ(Result::Complete, decoded(compressed(source, c.width, c.height, c.codeSize), c.codeSize, back,
                                            c.width, c.height));
        EXPECT_EQ(source, back) << c.kind << " " << c.width << "x" << c.height;
    }
}

TEST(Lzw, BottomUpRowsAreReadTopRowFirst) {
    const Bytes rows = {1, 2, 3, 4, 5, 6};  // stored bottom row first
    Held<GifLzw> lzw;
    Held<ArrayU08> out;
    ASSERT_TRUE(lzw->compress(rows.data() + 4, 2, 3, -2, 3, out.get()));
    Bytes blocks = imagetest::bytesOf(out.get());
    Bytes data(blocks.begin() + 1, blocks.end());
    Bytes back(6);
    EXPECT_EQ(Result::Complete, decoded(data, 3, back, 2, 3));
    EXPECT_EQ((Bytes{5, 6, 3, 4, 1, 2}), back);
}

TEST(Lzw, AFullTableSendsTheClearCodeAtOnce) {
    // Read the codes back with the decoder's width rule and count those before the
    // second clear: one per table entry 258..4095, and the one that found it full.
    const Bytes data = compressed(pattern(0, 20000, 256), 200, 100, 8);
    size_t bitAt = 0;
    int width = 9;
    int running = 258;
    int codes = 0;
    for (;;) {
        int code = 0;
        for (int b = 0; b < width; ++b, ++bitAt) {
            code |= ((data[bitAt / 8] >> (bitAt % 8)) & 1) << b;
        }
        if (code == 256) {
            if (codes > 0) {
                break;
            }
            continue;
        }
        ++codes;
        if (++running > (1 << width) && width < 12) {
            ++width;
        }
    }
    EXPECT_EQ(4096 - 258 + 1, codes);
}

TEST(Lzw, DecodesIndependentStreamsOfEveryCodeSizeAndDeferredClears) {
    for (int codeSize = 1; codeSize <= 11; ++codeSize) {
        for (bool defer : {false, true}) {
            const int colours = codeSize >= 8 ? 256 : 1 << codeSize;
            const Bytes source = pattern(codeSize % 3, 40000, colours);
            Bytes back(source.size(), 0xEE);
            EXPECT_EQ(Result::Complete,
                      decoded(giftest::lzwEncode(source, codeSize, defer), codeSize, back, 400, 100));
            EXPECT_EQ(source, back) << "code size " << codeSize << (defer ? " deferred" : "");
        }
    }
}

TEST(Lzw, InterlacedRowsFollowTheFourPasses) {
    for (int height : {1, 2, 3, 5, 8, 9, 17, 30}) {
        Bytes source(static_cast<size_t>(4 * height));
        for (size_t i = 0; i < source.size(); ++i) {
            source[i] = static_cast<uint8_t>(i / 4);  // each row holds its number
        }
        Bytes back(source.size(), 0xEE);
        EXPECT_EQ(Result::Complete, decoded(giftest::lzwEncode(giftest::interlace(source, 4, height), 8), 8, back,
                                            4, height, true));
        EXPECT_EQ(source, back) << height << " rows";
    }
    // Three rows arrive as 0, 2, 1.
    Bytes three(3, 0xEE);
    EXPECT_EQ(Result::Complete, decoded(giftest::lzwEncode({7, 8, 9}, 8), 8, three, 1, 3, true));
    EXPECT_EQ((Bytes{7, 9, 8}), three);
}

TEST(Lzw, BrokenStreamsEndTheFrameWhereTheyBreak) {
    struct Case {
        const char* name;
        std::vector<int> codes;  // 4-bit literals, clear 16, end 17
        Result result;
        Bytes expected;  // 6 pixels, 0xEE where nothing was written
    };
    const Case cases[] = {
        {"code above the next free one", {16, 1, 2, 20, 3}, Result::Corrupt, {1, 2, 0xEE, 0xEE, 0xEE, 0xEE}},
        {"table code first", {16, 18, 1}, Result::Corrupt, {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}},
        {"table code first after a clear", {16, 1, 16, 18}, Result::Corrupt, {1, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}},
        {"end code first after a clear", {16, 1, 17}, Result::Complete, {1, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}},
        {"code defined by its own use", {16, 3, 18, 4, 17}, Result::Complete, {3, 3, 3, 4, 0xEE, 0xEE}},
        {"no end code", {16, 1, 2, 3}, Result::Truncated, {1, 2, 3, 0xEE, 0xEE, 0xEE}},
        {"more pixels than the frame", {16, 1, 2, 3, 4, 5, 6, 7, 8}, Result::Complete, {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        giftest::CodeWriter writer(4);
        for (int code : c.codes) {
            writer.put(code);
        }
        Bytes back(6, 0xEE);
        EXPECT_EQ(c.result, decoded(writer.finish(), 4, back, 3, 2)) << c.name;
        EXPECT_EQ(c.expected, back) << c.name;
    }
    Bytes back(6, 0xEE);
    for (int codeSize : {0, 12, -1, 255}) {
        EXPECT_EQ(Result::Corrupt, decoded({0, 0, 0, 0}, codeSize, back, 3, 2)) << codeSize;
    }
    EXPECT_EQ(Result::Truncated, decoded({}, 8, back, 3, 2));
    EXPECT_EQ(Bytes(6, 0xEE), back);
}

} // namespace
