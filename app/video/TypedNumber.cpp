#include "app/video/TypedNumber.h"

#include <cstdint>
#include <limits>

namespace s::video {

bool TypedNumber::parse(const wchar_t* text, int64_t* value) {
    if (text == nullptr) {
        return false;
    }
    const bool negative = text[0] == L'-';
    const wchar_t* p = negative ? text + 1 : text;
    if (*p == 0) {
        return false;
    }
    // Collected as a negative number, whose range holds every positive one too.
    int64_t n = 0;
    for (; *p != 0; ++p) {
        if (*p < L'0' || *p > L'9') {
            return false;
        }
        const int64_t digit = *p - L'0';
        if (n < (std::numeric_limits<int64_t>::min() + digit) / 10) {
            return false;
        }
        n = n * 10 - digit;
    }
    if (!negative && n == std::numeric_limits<int64_t>::min()) {
        return false;
    }
    *value = negative ? n : -n;
    return true;
}

bool TypedNumber::fileSizeMb(const wchar_t* text, int32_t* megabytes) {
    int64_t n = 0;
    if (!parse(text, &n) || n <= 0) {
        return false;
    }
    *megabytes = static_cast<int32_t>(n > MAX_FILE_SIZE_MB ? MAX_FILE_SIZE_MB : n);
    return true;
}

bool TypedNumber::bitRateKbps(const wchar_t* text, int32_t* kbps) {
    int64_t n = 0;
    if (!parse(text, &n) || n <= 0 || n > std::numeric_limits<int32_t>::max()) {
        return false;
    }
    *kbps = static_cast<int32_t>(n);
    return true;
}

bool TypedNumber::pictureSide(const wchar_t* text, int32_t* pixels) {
    int64_t n = 0;
    if (!parse(text, &n) || n > MAX_SIDE || n < -MAX_SIDE) {
        return false;
    }
    *pixels = static_cast<int32_t>(n);
    return true;
}

} // namespace s::video
