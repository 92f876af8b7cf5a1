#pragma once
#include <cstdint>

namespace s::sound::gui::dialogs::mp3conv {

class Setting;

// What a ticked test-encode row puts into the job record: the seconds typed into its
// field must be a whole number of at least one second (and at most what an int32 of
// seconds holds); anything else leaves the record and the stored seconds as they are.
class TestRunChoice {
public:
    static constexpr int32_t DEFAULT_SECONDS = 15;
    static constexpr int32_t DEFAULT_POSITION = 1;

    // The seconds of a field text: digits, optionally after one "-". False for any
    // other text, and for a number below 1 or beyond 32 bits.
    static bool parseSeconds(const wchar_t* text, int32_t* seconds);
    // Applies a test of seconds from position (an unknown position counts as 1);
    // false, with the record untouched, when the text is not a usable length.
    static bool apply(Setting* record, int32_t position, const wchar_t* text, int32_t* seconds);

private:
    TestRunChoice() = delete;
};

} // namespace s::sound::gui::dialogs::mp3conv
