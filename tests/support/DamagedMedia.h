// Inputs that once got past the converter: samples a damaged float WAV decodes to,
// files whose audio does not decode, and rates no encoder takes.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace testsupport {

// A WAV file of the format tag (1 PCM, 3 float, 0x55 MP3, 0xFFFE extensible float)
// around data as it is.
inline std::string wavOf(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, const std::string& data) {
    std::string fmt;
    auto put = [](std::string& to, uint32_t v, int bytes) { to.append(reinterpret_cast<const char*>(&v), bytes); };
    const uint16_t align = static_cast<uint16_t>(bits != 0 ? channels * bits / 8 : 1);
    put(fmt, tag, 2);
    put(fmt, channels, 2);
    put(fmt, rate, 4);
    put(fmt, bits != 0 ? rate * align : 16000, 4);
    put(fmt, align, 2);
    put(fmt, bits, 2);
    if (tag == 0xFFFE) {
        put(fmt, 22, 2);
        put(fmt, bits, 2);
        put(fmt, channels == 1 ? 4 : 3, 4);  // centre, or left and right
        fmt.append("\x03\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71", 16);  // IEEE float
    }
    std::string file = "RIFF";
    put(file, static_cast<uint32_t>(4 + 8 + fmt.size() + 8 + data.size()), 4);
    file += "WAVEfmt ";
    put(file, static_cast<uint32_t>(fmt.size()), 4);
    file += fmt;
    file += "data";
    put(file, static_cast<uint32_t>(data.size()), 4);
    return file + data;
}

// Two seconds of a 440 Hz sine at half scale as 32-bit (extensible) or 64-bit float,
// with five samples a few changed bytes made absurd, and one NaN and one infinity.
inline std::string damagedFloatWav(bool doubles, uint16_t channels) {
    const uint32_t rate = 44100;
    const double bad[] = {3.3e37, -2.9e37, 1.7e36, 3.1e37, 8e30, std::numeric_limits<double>::quiet_NaN(),
                          -std::numeric_limits<double>::infinity()};
    std::string data;
    const uint32_t count = rate * 2 * channels;
    for (uint32_t i = 0; i < count; ++i) {
        double v = 0.5 * std::sin(2 * 3.141592653589793 * 440.0 * (i / channels) / rate);
        if (i % 9973 == 1000 && i / 9973 < sizeof(bad) / sizeof(bad[0])) {
            v = bad[i / 9973];
        }
        if (doubles) {
            data.append(reinterpret_cast<const char*>(&v), 8);
        } else {
            const float f = static_cast<float>(v);
            data.append(reinterpret_cast<const char*>(&f), 4);
        }
    }
    return doubles ? wavOf(3, channels, rate, 64, data) : wavOf(0xFFFE, channels, rate, 32, data);
}

// A WAV that says MP3 and holds bytes that never sync: packets that cannot be decoded,
// which a stream copy would carry into an .mp3 unchanged.
inline std::string undecodableMp3Wav() {
    return wavOf(0x55, 2, 44100, 0, std::string(20000, '\x55'));
}

// Half a second of 16-bit mono PCM declared at two billion samples a second.
inline std::string absurdRateWav() {
    std::string data;
    for (int i = 0; i < 4000; ++i) {
        const int16_t v = static_cast<int16_t>(8000 * std::sin(i / 5.0));
        data.append(reinterpret_cast<const char*>(&v), 2);
    }
    return wavOf(1, 1, 2000000000u, 16, data);
}

// A FLAC file's header alone: its metadata blocks, no frame, and a total of 0 samples.
// Empty when flac is no FLAC file.
inline std::string headerOnlyFlac(const std::string& flac) {
    if (flac.compare(0, 4, "fLaC") != 0) {
        return "";
    }
    size_t at = 4;
    for (bool last = false; !last && at + 4 <= flac.size();) {
        last = (static_cast<uint8_t>(flac[at]) & 0x80) != 0;
        const size_t length = (static_cast<uint8_t>(flac[at + 1]) << 16) | (static_cast<uint8_t>(flac[at + 2]) << 8) |
                              static_cast<uint8_t>(flac[at + 3]);
        at += 4 + length;
    }
    std::string header = flac.substr(0, at);
    // STREAMINFO's 36-bit sample count: the low half of its 14th byte and the next four.
    if (header.size() >= 8 + 18) {
        header[8 + 13] = static_cast<char>(header[8 + 13] & 0xF0);
        std::memset(&header[8 + 14], 0, 4);
    }
    return header;
}

} // namespace testsupport
