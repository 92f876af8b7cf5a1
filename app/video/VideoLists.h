#pragma once
#include <cstdint>

#include "app/sound/gui/dialogs/mp3conv/OptionRows.h"

namespace s::gui { class IComboBox; }

namespace s::sound::gui::dialogs::mp3conv {

// The fixed lists of the video panels' frame-rate and audio-quality rows. Frame rates
// are in thousandths of a frame per second (0: the source's own rate). The audio
// quality lists store under the same key as the audio panels' ("Quality") and apply
// the same way, so only their captions differ from the audio panels' lists.
class VideoLists {
public:
    static constexpr int32_t FRAME_RATE_CAPTION = 1294000;
    static constexpr int32_t FRAME_RATE_SEPARATOR = 1000;
    static constexpr int32_t FRAME_RATE_DEFAULT = 0;
    static constexpr int32_t FRAME_RATE_DEFAULT_H263 = 13000;
    static constexpr wchar_t FRAME_RATE_KEY[] = L"VFrameRate";

    static const OptionRows& frameRate();
    static const OptionRows& frameRateH263();
    static const OptionRows& audioQuality();
    static const OptionRows& audioQualityAmr();

    // Selects, quietly, the first entry whose value is stored; otherwise the selection
    // stays as it is. Older versions stored 22000 for the "23 fps" entry, which now
    // carries 23000: such a value comes back onto it.
    static bool restore(s::gui::IComboBox* list, int32_t stored);

private:
    VideoLists() = delete;
};

} // namespace s::sound::gui::dialogs::mp3conv
