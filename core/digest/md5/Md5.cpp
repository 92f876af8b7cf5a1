#include "core/digest/md5/Md5.h"

#include <cstring>

#include "core/str/strbuffer/StrBuffer.h"

namespace s::digest::md5 {

namespace {

inline uint32_t rotl(uint32_t x, uint32_t n) {
    return (x << n) | (x >> (32 - n));
}

inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (~x & z); }
inline uint32_t G(uint32_t x, uint32_t y, uint32_t z) { return (x & z) | (y & ~z); }
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
inline uint32_t I(uint32_t x, uint32_t y, uint32_t z) { return y ^ (x | ~z); }

// Per-step shift amounts and sine-derived constants of RFC 1321.
const uint32_t SHIFTS[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};
const uint32_t T[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

inline void storeLittle(uint8_t* out, uint32_t v) {
    out[0] = static_cast<uint8_t>(v);
    out[1] = static_cast<uint8_t>(v >> 8);
    out[2] = static_cast<uint8_t>(v >> 16);
    out[3] = static_cast<uint8_t>(v >> 24);
}

} // namespace

Md5::Md5() {
    reset();
}

void Md5::reset() {
    restart();
    digest_.setCount(DIGEST_SIZE);
    std::memset(digest_.items(), 0, DIGEST_SIZE);
}

void Md5::restart() {
    state_[0] = 0x67452301;
    state_[1] = 0xEFCDAB89;
    state_[2] = 0x98BADCFE;
    state_[3] = 0x10325476;
    bitCount_[0] = 0;
    bitCount_[1] = 0;
    used_ = 0;
}

void Md5::transform(const uint8_t block[64]) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) {
        x[i] = static_cast<uint32_t>(block[4 * i]) | (static_cast<uint32_t>(block[4 * i + 1]) << 8) |
               (static_cast<uint32_t>(block[4 * i + 2]) << 16) | (static_cast<uint32_t>(block[4 * i + 3]) << 24);
    }
    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    for (uint32_t i = 0; i < 64; ++i) {
        const uint32_t round = i / 16;
        uint32_t f;
        uint32_t k;
        switch (round) {
            case 0: f = F(b, c, d); k = i; break;
            case 1: f = G(b, c, d); k = (5 * i + 1) % 16; break;
            case 2: f = H(b, c, d); k = (3 * i + 5) % 16; break;
            default: f = I(b, c, d); k = (7 * i) % 16; break;
        }
        const uint32_t next = b + rotl(a + f + x[k] + T[i], SHIFTS[round][i % 4]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
}

void Md5::update(const void* bytes, uint64_t length) {
    // Fed in slices below 2^32 bytes: the bit count is kept in two 32-bit halves.
    const uint8_t* at = static_cast<const uint8_t*>(bytes);
    while (length > 0x40000000u) {
        updateSlice(at, 0x40000000u);
        at += 0x40000000u;
        length -= 0x40000000u;
    }
    updateSlice(at, static_cast<uint32_t>(length));
}

void Md5::updateSlice(const void* bytes, uint32_t length) {
    used_ = 1;
    const uint8_t* in = static_cast<const uint8_t*>(bytes);
    uint32_t index = (bitCount_[0] >> 3) & 0x3F;
    const uint32_t low = bitCount_[0] + (length << 3);
    if (low < bitCount_[0]) {
        ++bitCount_[1];
    }
    bitCount_[0] = low;
    bitCount_[1] += length >> 29;

    uint32_t done = 0;
    const uint32_t room = 64 - index;
    if (length >= room) {
        std::memcpy(buffer_ + index, in, room);
        transform(buffer_);
        for (done = room; done + 64 <= length; done += 64) {
            transform(in + done);
        }
        index = 0;
    }
    if (length > done) {
        std::memcpy(buffer_ + index, in + done, length - done);
    }
}

col::_array::ArrayU08* Md5::finish(col::_array::ArrayU08* out) {
    uint8_t bits[8];
    storeLittle(bits, bitCount_[0]);
    storeLittle(bits + 4, bitCount_[1]);
    // 0x80, then zeros up to 56 bytes modulo 64, then the bit count.
    static const uint8_t PADDING[64] = {0x80};
    const uint32_t index = (bitCount_[0] >> 3) & 0x3F;
    const uint32_t padLength = index < 56 ? 56 - index : 120 - index;
    update(PADDING, padLength);
    update(bits, 8);

    col::_array::ArrayU08* target = out != nullptr ? out : &digest_;
    if (!target->setCount(DIGEST_SIZE)) {
        return target;
    }
    for (int i = 0; i < 4; ++i) {
        storeLittle(target->items() + 4 * i, state_[i]);
    }
    return target;
}

str::strbuffer::StrBuffer* Md5::toHex(str::strbuffer::StrBuffer* out, bool append) const {
    return digest_.toHex(out, append);
}

} // namespace s::digest::md5
