#include "images/image/gif/win/GifLzw.h"

#include <cstring>

#include "core/io/IOutputStream.h"
#include "core/io/StreamCopy.h"

namespace s::image::gif::win {

namespace {

// Where the pixels of a frame go: rows in order, or in the four GIF passes.
class RowWriter {
public:
    RowWriter(uint8_t* indices, int32_t width, int32_t height, bool interlaced)
        : indices_(indices), width_(width), height_(height), interlaced_(interlaced), pass_(0), x_(0), y_(0),
          done_(width <= 0 || height <= 0) {}

    bool done() const { return done_; }

    void put(uint8_t index) {
        indices_[static_cast<ptrdiff_t>(y_) * width_ + x_] = index;
        if (++x_ < width_) {
            return;
        }
        x_ = 0;
        if (!interlaced_) {
            done_ = ++y_ >= height_;
            return;
        }
        static constexpr int32_t START[4] = {0, 4, 2, 1};
        static constexpr int32_t STEP[4] = {8, 8, 4, 2};
        y_ += STEP[pass_];
        // Passes without rows in the frame are skipped.
        while (y_ >= height_) {
            if (++pass_ == 4) {
                done_ = true;
                return;
            }
            y_ = START[pass_];
        }
    }

private:
    uint8_t* indices_;
    int32_t width_;
    int32_t height_;
    bool interlaced_;
    int32_t pass_;
    int32_t x_;
    int32_t y_;
    bool done_;
};

} // namespace

GifLzw::GifLzw() {
    reset();
}

void GifLzw::reset() {
    std::memset(hash_, 0xFF, sizeof(hash_));
    std::memset(codes_, 0, sizeof(codes_));
    packetCount_ = 0;
    accumulator_ = 0;
    accumulatedBits_ = 0;
    width_ = 0;
    initialWidth_ = 0;
    largestCode_ = 0;
    nextFree_ = 0;
    clearFlag_ = false;
    clearCode_ = 0;
    endCode_ = 0;
    stream_ = nullptr;
    failed_ = false;
}

void GifLzw::clearHash() {
    std::memset(hash_, 0xFF, sizeof(hash_));
}

void GifLzw::flushPacket() {
    if (packetCount_ == 0) {
        return;
    }
    const uint8_t length = static_cast<uint8_t>(packetCount_);
    failed_ = failed_ || !io::transferAll(stream_, &length, 1) ||
              !io::transferAll(stream_, packet_, static_cast<uint32_t>(packetCount_));
    packetCount_ = 0;
}

void GifLzw::writeByte(uint8_t byte) {
    packet_[packetCount_++] = byte;
    if (packetCount_ == PACKET_BYTES) {
        flushPacket();
    }
}

void GifLzw::output(int32_t code) {
    accumulator_ |= static_cast<uint32_t>(code) << accumulatedBits_;
    accumulatedBits_ += width_;
    while (accumulatedBits_ >= 8) {
        writeByte(static_cast<uint8_t>(accumulator_));
        accumulator_ >>= 8;
        accumulatedBits_ -= 8;
    }
    if (clearFlag_) {
        width_ = initialWidth_;
        largestCode_ = (1 << width_) - 1;
        clearFlag_ = false;
    } else if (nextFree_ > largestCode_) {
        ++width_;
        largestCode_ = width_ == MAX_BITS ? TABLE_SIZE : (1 << width_) - 1;
    }
    if (code == endCode_) {
        while (accumulatedBits_ > 0) {
            writeByte(static_cast<uint8_t>(accumulator_));
            accumulator_ >>= 8;
            accumulatedBits_ -= 8;
        }
        accumulatedBits_ = 0;
        accumulator_ = 0;
        flushPacket();
    }
}

bool GifLzw::compress(const uint8_t* pixels, int32_t width, int32_t height, ptrdiff_t rowStep, int32_t codeSize,
                      io::IOutputStream* stream) {
    reset();
    if (pixels == nullptr || stream == nullptr || width <= 0 || height <= 0 || codeSize < 2 || codeSize > 8) {
        return false;
    }
    stream_ = stream;
    initialWidth_ = codeSize + 1;
    width_ = initialWidth_;
    largestCode_ = (1 << width_) - 1;
    clearCode_ = 1 << codeSize;
    endCode_ = clearCode_ + 1;
    nextFree_ = clearCode_ + 2;
    // 5003 doubled four times reaches 65536: the slot is (pixel << 4) ^ prefix.
    constexpr int32_t hashShift = 4;

    output(clearCode_);
    int32_t prefix = pixels[0];
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = pixels + rowStep * y;
        for (int32_t x = y == 0 ? 1 : 0; x < width; ++x) {
            const int32_t pixel = row[x];
            const int32_t key = (pixel << MAX_BITS) + prefix;
            int32_t slot = (pixel << hashShift) ^ prefix;
            if (hash_[slot] == key) {
                prefix = codes_[slot];
                continue;
            }
            bool found = false;
            if (hash_[slot] >= 0) {
                const int32_t step = slot == 0 ? 1 : HASH_SIZE - slot;
                do {
                    slot -= step;
                    if (slot < 0) {
                        slot += HASH_SIZE;
                    }
                    if (hash_[slot] == key) {
                        prefix = codes_[slot];
                        found = true;
                        break;
                    }
                } while (hash_[slot] > 0);
            }
            if (found) {
                continue;
            }
            output(prefix);
            prefix = pixel;
            if (nextFree_ < TABLE_SIZE) {
                codes_[slot] = static_cast<uint16_t>(nextFree_++);
                hash_[slot] = key;
            } else {
                // A full table starts over.
                clearHash();
                nextFree_ = clearCode_ + 2;
                clearFlag_ = true;
                output(clearCode_);
            }
        }
    }
    output(prefix);
    output(endCode_);
    stream_ = nullptr;
    return !failed_;
}

GifLzw::Result GifLzw::decode(const uint8_t* data, size_t size, int32_t codeSize, uint8_t* indices, int32_t width,
                              int32_t height, bool interlaced) {
    if (codeSize < MIN_CODE_SIZE || codeSize > MAX_CODE_SIZE || indices == nullptr) {
        return Result::Corrupt;
    }
    RowWriter writer(indices, width, height, interlaced);
    const int32_t clear = 1 << codeSize;
    const int32_t end = clear + 1;
    int32_t codeWidth = codeSize + 1;
    int32_t nextFree = clear + 2;
    // Codes read since the clear, counted from clear + 2: the width grows when it
    // passes 2^width (for code size 1 that is after the first code, as giflib reads).
    int32_t running = clear + 2;
    int32_t previous = -1;  // none: the next code must be a literal
    uint8_t first = 0;      // first index of the previous string

    size_t at = 0;
    uint32_t bits = 0;
    int32_t bitCount = 0;
    while (!writer.done()) {
        while (bitCount < codeWidth && at < size) {
            bits |= static_cast<uint32_t>(data[at++]) << bitCount;
            bitCount += 8;
        }
        if (bitCount < codeWidth) {
            return Result::Truncated;
        }
        const int32_t code = static_cast<int32_t>(bits & ((1u << codeWidth) - 1));
        bits >>= codeWidth;
        bitCount -= codeWidth;

        if (code == clear) {
            codeWidth = codeSize + 1;
            nextFree = clear + 2;
            running = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end) {
            return Result::Complete;
        }
        if (previous < 0) {
            if (code > clear) {
                return Result::Corrupt;
            }
            writer.put(static_cast<uint8_t>(code));
            previous = code;
            first = static_cast<uint8_t>(code);
            if (++running > (1 << codeWidth) && codeWidth < MAX_BITS) {
                ++codeWidth;
            }
            continue;
        }
        if (code > nextFree || (code == nextFree && nextFree >= TABLE_SIZE)) {
            return Result::Corrupt;
        }
        // The string of code, or (code not yet in the table) the previous string plus
        // its own first index; chains only lead to smaller codes, so they end.
        int32_t depth = 0;
        int32_t walk = code;
        if (code == nextFree) {
            stack_[depth++] = first;
            walk = previous;
        }
        while (walk > end) {
            stack_[depth++] = suffix_[walk];
            walk = prefix_[walk];
        }
        first = static_cast<uint8_t>(walk);
        stack_[depth++] = first;
        while (depth > 0 && !writer.done()) {
            writer.put(stack_[--depth]);
        }
        // A full table adds nothing until the next clear code.
        if (nextFree < TABLE_SIZE) {
            prefix_[nextFree] = static_cast<uint16_t>(previous);
            suffix_[nextFree] = first;
            ++nextFree;
        }
        if (running <= TABLE_SIZE && ++running > (1 << codeWidth) && codeWidth < MAX_BITS) {
            ++codeWidth;
        }
        previous = code;
    }
    return Result::Complete;
}

} // namespace s::image::gif::win
