#pragma once
#include <cstdint>

namespace s::video {

// The numbers typed into the fields of the video panels. A whole number is one or more
// decimal digits with one leading "-" allowed; it is read in 64 bits and refused when it
// does not fit. Each kind then has its own range, so that what reaches the job record
// never wraps or reads as another code.
class TypedNumber {
public:
    // Megabytes of a custom file size: above this a size would read as a relative code.
    static constexpr int64_t MAX_FILE_SIZE_MB = 9999900;
    // A side of a custom picture size: from here on a width reads as a relative size.
    static constexpr int64_t MAX_SIDE = 16383;

    // The whole number of text; false for anything else (empty, "-", "12a", overflow).
    static bool parse(const wchar_t* text, int64_t* value);
    // Megabytes above 0, clamped to MAX_FILE_SIZE_MB; false for anything else.
    static bool fileSizeMb(const wchar_t* text, int32_t* megabytes);
    // Kilobits per second above 0 that fit a stored 32-bit value; false otherwise.
    static bool bitRateKbps(const wchar_t* text, int32_t* kbps);
    // A picture side of at most MAX_SIDE pixels either way; false otherwise.
    static bool pictureSide(const wchar_t* text, int32_t* pixels);
};

} // namespace s::video
