#include "engine/ffmpeg/ProgressParser.h"

#include <cwchar>

namespace s::ffmpeg {

namespace {

constexpr int64_t kScaleLimit = 10000;
// More digits than this in one field is not a time ffmpeg prints; it would only overflow.
constexpr int kMaxFieldDigits = 12;

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

} // namespace

int64_t parseProgressTime(const wchar_t* text, uint32_t length) {
    if (text == nullptr || length == 0 || text[0] == L'-') {
        return 0;
    }
    // Up to three fields from the left (hours, minutes, seconds); the last one read is
    // the seconds, so "05.50" and "1:05.50" read too.
    int64_t fields[3] = {0, 0, 0};
    int count = 0;
    uint32_t i = 0;
    for (;;) {
        if (i >= length || !isDigit(text[i])) {
            return 0;
        }
        int64_t value = 0;
        int digits = 0;
        while (i < length && isDigit(text[i])) {
            if (++digits > kMaxFieldDigits) {
                return 0;
            }
            value = value * 10 + (text[i] - L'0');
            ++i;
        }
        fields[count++] = value;
        if (i < length && text[i] == L':' && count < 3) {
            ++i;
            continue;
        }
        break;
    }
    int64_t fractionMs = 0;
    if (i < length && text[i] == L'.') {
        ++i;
        int64_t scale = 100;
        while (i < length && isDigit(text[i])) {
            fractionMs += (text[i] - L'0') * scale;
            scale /= 10;
            ++i;
        }
    }
    if (i != length) {
        return 0;
    }
    int64_t seconds = 0;
    for (int f = 0; f < count; ++f) {
        seconds = seconds * 60 + fields[f];
    }
    return seconds * 1000 + fractionMs;
}

Progress scaleProgress(int64_t positionMs, int64_t durationMs, int32_t pass, double weight) {
    int64_t total = durationMs > 0 ? durationMs : 1;
    int64_t position = positionMs;
    while (total > kScaleLimit) {
        total /= 10;
        position /= 10;
    }
    if (position <= 0) {
        position = 1;
    }
    if (pass == 1) {
        position = static_cast<int64_t>(static_cast<double>(position) * weight);
    } else if (pass == 2) {
        position = static_cast<int64_t>((1.0 - weight) * static_cast<double>(position) +
                                        static_cast<double>(total) * weight);
    }
    if (position > total) {
        position = total;
    }
    return Progress{total, position};
}

bool parseProgressLine(const wchar_t* line, uint32_t length, int64_t durationMs, int32_t pass, double weight,
                       Progress* out) {
    static const wchar_t kKey[] = L"time=";
    constexpr uint32_t kKeyLength = 5;
    if (line == nullptr || length < kKeyLength) {
        return false;
    }
    for (uint32_t at = 0; at + kKeyLength <= length; ++at) {
        if (std::wmemcmp(line + at, kKey, kKeyLength) != 0) {
            continue;
        }
        const uint32_t start = at + kKeyLength;
        uint32_t end = start;
        while (end < length && line[end] != L' ' && line[end] != L'\t') {
            ++end;
        }
        const int64_t positionMs = parseProgressTime(line + start, end - start);
        if (out != nullptr) {
            *out = scaleProgress(positionMs, durationMs, pass, weight);
        }
        return true;
    }
    return false;
}

} // namespace s::ffmpeg
