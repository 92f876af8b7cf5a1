// A small GIF writer of the tests' own, independent of the codec: a dictionary LZW
// encoder (clearing when the table fills, or deferring the clear), raw code streams
// for broken data, and files of any frames, offsets, interlacing and tables.
#pragma once
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace giftest {

using Bytes = std::vector<uint8_t>;

// Packs codes least significant bit first, tracking the width as giflib reads it:
// one more bit once the codes since the clear, counted from clear + 2, pass 2^width.
class CodeWriter {
public:
    explicit CodeWriter(int codeSize) : codeSize_(codeSize) { restart(); }

    void restart() {
        width_ = codeSize_ + 1;
        running_ = (1 << codeSize_) + 2;
    }
    // Writes one code; a clear code restarts the width.
    void put(int code) {
        raw(code, width_);
        if (code == (1 << codeSize_)) {
            restart();
            return;
        }
        if (++running_ > (1 << width_) && width_ < 12) {
            ++width_;
        }
    }
    void raw(int code, int width) {
        bits_ |= static_cast<uint64_t>(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            bytes_.push_back(static_cast<uint8_t>(bits_));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    Bytes finish() {
        if (count_ > 0) {
            bytes_.push_back(static_cast<uint8_t>(bits_));
        }
        count_ = 0;
        bits_ = 0;
        return bytes_;
    }

private:
    int codeSize_;
    int width_;
    int running_;
    uint64_t bits_ = 0;
    int count_ = 0;
    Bytes bytes_;
};

// LZW data of the indices. When the table fills, the clear code comes at once, or
// with deferClear only after 1000 more codes made with the full table.
inline Bytes lzwEncode(const Bytes& indices, int codeSize, bool deferClear = false) {
    const int clear = 1 << codeSize;
    CodeWriter out(codeSize);
    std::map<std::pair<int, int>, int> table;
    int next = clear + 2;
    int fullCodes = 0;
    out.put(clear);
    int prefix = indices.empty() ? 0 : indices[0];
    for (size_t i = 1; i < indices.size(); ++i) {
        const int c = indices[i];
        const auto found = table.find({prefix, c});
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        out.put(prefix);
        if (next < 4096) {
            table[{prefix, c}] = next++;
        } else if (++fullCodes == 1000) {
            out.put(clear);
            table.clear();
            next = clear + 2;
            fullCodes = 0;
        }
        if (!deferClear && next == 4096) {
            out.put(clear);
            table.clear();
            next = clear + 2;
        }
        prefix = c;
    }
    out.put(prefix);
    out.put(clear + 1);
    return out.finish();
}

// LZW data that ends before its first pixel: the frame keeps index 0 everywhere, so a
// file of such frames stays tiny whatever their size.
inline Bytes endsAtOnce(int codeSize = 8) {
    CodeWriter out(codeSize);
    out.put(1 << codeSize);
    out.put((1 << codeSize) + 1);
    return out.finish();
}

// Rows in the order an interlaced frame stores them.
inline Bytes interlace(const Bytes& indices, int width, int height) {
    Bytes out;
    const int start[] = {0, 4, 2, 1};
    const int step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = start[pass]; y < height; y += step[pass]) {
            out.insert(out.end(), indices.begin() + y * width, indices.begin() + (y + 1) * width);
        }
    }
    return out;
}

struct Frame {
    int left = 0;
    int top = 0;
    int width = 1;
    int height = 1;
    Bytes table;  // RGB triplets of a local table; empty: none
    bool interlaced = false;
    bool control = true;
    int transparent = -1;
    int delay = 0;  // hundredths
    int disposal = 0;
    int codeSize = 8;
    Bytes indices;  // rows top first
    bool deferClear = false;
    Bytes data;  // LZW data as given instead of encoding the indices
};

struct File {
    std::string signature = "GIF89a";
    int width = 1;
    int height = 1;
    Bytes globalTable;
    int loop = -1;  // -1: no NETSCAPE2.0 block
    std::vector<Frame> frames;
    bool trailer = true;
};

// Size field of a table of the triplets (padded to a power of two by the caller).
inline int tableBits(const Bytes& table) {
    int bits = 0;
    while ((2 << bits) * 3 < static_cast<int>(table.size())) {
        ++bits;
    }
    return bits;
}

inline void putTable(Bytes& out, const Bytes& table) {
    out.insert(out.end(), table.begin(), table.end());
    out.resize(out.size() + (2u << tableBits(table)) * 3 - table.size(), 0);
}

inline void put16(Bytes& out, int v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void putSubBlocks(Bytes& out, const Bytes& data) {
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = std::min<size_t>(255, data.size() - at);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + n));
    }
    out.push_back(0);
}

inline Bytes build(const File& file) {
    Bytes out(file.signature.begin(), file.signature.end());
    put16(out, file.width);
    put16(out, file.height);
    out.push_back(file.globalTable.empty() ? 0 : static_cast<uint8_t>(0x80 | 0x70 | tableBits(file.globalTable)));
    out.push_back(0);
    out.push_back(0);
    if (!file.globalTable.empty()) {
        putTable(out, file.globalTable);
    }
    if (file.loop >= 0) {
        const char id[] = "NETSCAPE2.0";
        out.insert(out.end(), {0x21, 0xFF, 11});
        out.insert(out.end(), id, id + 11);
        out.insert(out.end(), {3, 1});
        put16(out, file.loop);
        out.push_back(0);
    }
    for (const Frame& f : file.frames) {
        if (f.control) {
            out.insert(out.end(), {0x21, 0xF9, 4});
            out.push_back(static_cast<uint8_t>((f.transparent >= 0 ? 1 : 0) | f.disposal << 2));
            put16(out, f.delay);
            out.push_back(static_cast<uint8_t>(f.transparent >= 0 ? f.transparent : 0));
            out.push_back(0);
        }
        out.push_back(0x2C);
        put16(out, f.left);
        put16(out, f.top);
        put16(out, f.width);
        put16(out, f.height);
        out.push_back(static_cast<uint8_t>((f.table.empty() ? 0 : 0x80 | tableBits(f.table)) |
                                           (f.interlaced ? 0x40 : 0)));
        if (!f.table.empty()) {
            putTable(out, f.table);
        }
        out.push_back(static_cast<uint8_t>(f.codeSize));
        const Bytes rows = f.interlaced ? interlace(f.indices, f.width, f.height) : f.indices;
        putSubBlocks(out, f.data.empty() ? lzwEncode(rows, f.codeSize, f.deferClear) : f.data);
    }
    if (file.trailer) {
        out.push_back(0x3B);
    }
    return out;
}

} // namespace giftest
