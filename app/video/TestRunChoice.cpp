#include "app/video/TestRunChoice.h"

#include "engine/sound/ffmpeg/Setting.h"

namespace s::sound::gui::dialogs::mp3conv {

bool TestRunChoice::parseSeconds(const wchar_t* text, int32_t* seconds) {
    if (text == nullptr) {
        return false;
    }
    const bool negative = *text == L'-';
    const wchar_t* p = negative ? text + 1 : text;
    if (*p == L'\0') {
        return false;
    }
    int64_t value = 0;
    for (; *p != L'\0'; ++p) {
        if (*p < L'0' || *p > L'9') {
            return false;
        }
        value = value * 10 + (*p - L'0');
        if (value > INT32_MAX) {
            return false;
        }
    }
    // No length, or a negative one, would turn the test into a whole conversion.
    if (negative || value < 1) {
        return false;
    }
    *seconds = static_cast<int32_t>(value);
    return true;
}

bool TestRunChoice::apply(Setting* record, int32_t position, const wchar_t* text, int32_t* seconds) {
    int32_t parsed = 0;
    if (record == nullptr || !parseSeconds(text, &parsed)) {
        return false;
    }
    const bool known = position == Setting::TEST_FROM_START || position == Setting::TEST_MIDDLE ||
                       position == Setting::TEST_END;
    record->testStart = known ? position : Setting::TEST_FROM_START;
    record->testLength = static_cast<int64_t>(parsed) * 1000;
    if (seconds != nullptr) {
        *seconds = parsed;
    }
    return true;
}

} // namespace s::sound::gui::dialogs::mp3conv
