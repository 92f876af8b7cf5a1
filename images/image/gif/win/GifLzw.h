#pragma once
#include <cstddef>
#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"

namespace s::io { class IOutputStream; }

namespace s::image::gif::win {

// The LZW coder of GIF image data: a compressor with a 5003-slot open-addressing
// hash table and codes of at most 12 bits, written as data sub-blocks, and a decoder
// (sequential or interlaced rows) that stops at the first code it cannot take.
class GifLzw : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(GifLzw, 1000, L"s_image_gif_win_GifLzw")
public:
    static constexpr int32_t MAX_BITS = 12;
    static constexpr int32_t TABLE_SIZE = 1 << MAX_BITS;
    static constexpr int32_t HASH_SIZE = 5003;
    static constexpr int32_t PACKET_BYTES = 254;
    static constexpr int32_t MIN_CODE_SIZE = 1;
    static constexpr int32_t MAX_CODE_SIZE = 11;

    // How decoding of a frame ended.
    enum class Result {
        Complete,   // end code, or every pixel written
        Truncated,  // the data ran out first
        Corrupt,    // a code that cannot occur: the rest of the frame is left as it was
    };

    GifLzw();
    void reset() override;

    // Compresses width x height indices (first row at pixels, each next row rowStep
    // bytes on, so bottom-up bitmaps pass a negative step) with codeSize (2 to 8) bits
    // per literal, as data sub-blocks without the closing empty block. False when the
    // stream refuses a write or the arguments are impossible.
    bool compress(const uint8_t* pixels, int32_t width, int32_t height, ptrdiff_t rowStep, int32_t codeSize,
                  io::IOutputStream* stream);

    // Decodes the joined sub-block data into width x height indices (row 0 first,
    // stride width), in GIF pass order when interlaced. Pixels not reached keep
    // their value; indices at or above 2^codeSize are written as they come.
    Result decode(const uint8_t* data, size_t size, int32_t codeSize, uint8_t* indices, int32_t width,
                  int32_t height, bool interlaced);

private:
    void clearHash();
    void output(int32_t code);
    void writeByte(uint8_t byte);
    void flushPacket();

    // Compressor.
    int32_t hash_[HASH_SIZE];
    uint16_t codes_[HASH_SIZE];
    uint8_t packet_[PACKET_BYTES];
    int32_t packetCount_;
    uint32_t accumulator_;
    int32_t accumulatedBits_;
    int32_t width_;
    int32_t initialWidth_;
    int32_t largestCode_;
    int32_t nextFree_;
    bool clearFlag_;
    int32_t clearCode_;
    int32_t endCode_;
    io::IOutputStream* stream_;
    bool failed_;

    // Decoder.
    uint16_t prefix_[TABLE_SIZE];
    uint8_t suffix_[TABLE_SIZE];
    uint8_t stack_[TABLE_SIZE + 1];
};

} // namespace s::image::gif::win
