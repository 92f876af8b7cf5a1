// 16-bit PCM WAV files as the tests write and read them.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace testsupport {

// The 44-byte header of a 16-bit PCM WAV file whose samples take dataBytes.
inline std::string wavHeader(uint32_t rate, uint32_t channels, uint32_t dataBytes) {
    std::string bytes;
    auto u32 = [&](uint32_t v) { bytes.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { bytes.append(reinterpret_cast<const char*>(&v), 2); };
    bytes += "RIFF";
    u32(36 + dataBytes);
    bytes += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(static_cast<uint16_t>(channels));
    u32(rate);
    u32(rate * channels * 2);
    u16(static_cast<uint16_t>(channels * 2));
    u16(16);
    bytes += "data";
    u32(dataBytes);
    return bytes;
}

// A whole WAV file of seconds of silence.
inline std::string silentWav(uint32_t rate, uint32_t channels, double seconds) {
    const uint32_t bytes = static_cast<uint32_t>(rate * seconds) * channels * 2;
    return wavHeader(rate, channels, bytes) + std::string(bytes, '\0');
}

// The "data" chunk of a WAV file's bytes, cut at the file's end: false when there is none.
inline bool findWavData(const std::string& file, std::string& data) {
    size_t at = 12;
    while (at + 8 <= file.size()) {
        uint32_t size = 0;
        std::memcpy(&size, file.data() + at + 4, 4);
        if (file.compare(at, 4, "data") == 0) {
            const size_t available = file.size() - at - 8;
            data = file.substr(at + 8, size < available ? size : available);
            return true;
        }
        at += 8 + size + (size & 1);
    }
    data.clear();
    return false;
}

// The largest magnitude among 16-bit samples.
inline int32_t peakOf(const std::string& samples) {
    int32_t peak = 0;
    for (size_t i = 0; i + 1 < samples.size(); i += 2) {
        int16_t v = 0;
        std::memcpy(&v, samples.data() + i, 2);
        peak = std::max(peak, std::abs(static_cast<int32_t>(v)));
    }
    return peak;
}

} // namespace testsupport
