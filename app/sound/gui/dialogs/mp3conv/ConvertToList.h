#pragma once
#include <cstdint>
#include <vector>

namespace s::sound::gui::dialogs::mp3conv {

// The entries of the converter's "Convert to:" list in each mode: caption, format id,
// settings group and display flags. Headers and rules carry format id 0.
class ConvertToList {
public:
    struct Entry {
        int32_t textId;       // 0: the literal below is the caption
        const wchar_t* text;  // literal caption
        int32_t formatId;
        const wchar_t* group; // settings group of the format's options; null for none
        int32_t flags;        // both display-flag words
    };

    static constexpr int32_t NO_CONFIGURATION = 999;
    // The first video id; every preset and target id lies at or above it.
    static constexpr int32_t FIRST_VIDEO_ID = 10001;
    static constexpr int32_t TARGET_ID = 268435455;

    // The list of mode (empty for a mode without one).
    static std::vector<Entry> entries(int32_t mode);
    // The format id the mode starts on; 0 for none.
    static int32_t defaultFormatId(int32_t mode);
    // The index of the first entry of the mode's default id, 0 when there is none.
    static int32_t defaultIndex(int32_t mode);
    // The settings group of an audio format id (1 to 34), else null.
    static const wchar_t* audioGroup(int32_t formatId);
    static bool isAudioId(int32_t formatId) { return formatId >= 1 && formatId <= 34; }
    static bool isVideoId(int32_t formatId) { return formatId >= FIRST_VIDEO_ID; }

private:
    ConvertToList() = delete;
};

} // namespace s::sound::gui::dialogs::mp3conv
