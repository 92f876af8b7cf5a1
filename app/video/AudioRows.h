#pragma once
#include <cstdint>

#include "app/sound/gui/dialogs/mp3conv/Dialog.h"

namespace s::gui { class IComponent; }
namespace s::gui::win { class CheckBox; class ComboBox; }

namespace s::video {

class VideoList;

// The audio rows of two presets: the SWF audio check box ("Audio") and the audio codec
// of the AVI MPEG-4 preset ("Codec": 1 AC3, 2 the other codec), whose choice adds or
// takes away the 5.1 entry of the panel's Channels list.
class AudioRows {
public:
    typedef sound::gui::dialogs::mp3conv::Dialog Dialog;
    typedef gui::win::CheckBox CheckBox;
    typedef gui::win::ComboBox ComboBox;

    static constexpr int32_t CODEC_AC3 = 1;
    static constexpr int32_t CODEC_OTHER = 2;
    static constexpr int32_t SURROUND = 6;
    static constexpr int32_t STEREO = 2;
    // Where the 5.1 entry stands in the Channels list ("Same", the rule, then 5.1).
    static constexpr int32_t SURROUND_PLACE = 2;

    static const VideoList& audioCodec();

    static gui::IComponent* buildAudioChoiceRowSwf(Dialog* dialog, CheckBox** ref);
    static gui::IComponent* buildAudioCodecChoiceRowAvi(Dialog* dialog, ComboBox** ref);

    // Stores the check box's state under "Audio".
    static bool saveAudioChoice(Dialog* dialog, CheckBox* box);
    // Stores the codec and fits the Channels list to it: the 5.1 entry comes in (once)
    // with AC3 and goes with the other codec, a chosen 5.1 turning into stereo first
    // (told to the list's listeners, which store it).
    static bool saveAudioCodecChoice(Dialog* dialog, ComboBox* list, ComboBox* channels);
    // Whether the SWF output keeps its audio.
    static bool audioKept(const CheckBox* box);
};

} // namespace s::video
