#pragma once
#include <cstdint>

#include "app/sound/gui/dialogs/mp3conv/Dialog.h"

namespace s::gui { class IComboBox; class IComponent; }
namespace s::gui::win { class ComboBox; }

namespace s::video {

class VideoList;

// The container ("VFormat", "VFormatAuto") and quality-level ("VQ") rows of the target
// panels. The container sets the output id and audio format; the level then turns the
// id into its quality variant, so a batch applies the container first. Levels 5, 9 and
// 13 need the external ffmpeg.exe and are neither offered nor restored without it.
class TargetFormatRows {
public:
    typedef sound::gui::dialogs::mp3conv::Dialog Dialog;
    typedef sound::gui::dialogs::mp3conv::Setting Setting;
    typedef gui::win::ComboBox ComboBox;

    // The row's caption: "By Quality Level", a text every language of the pack has.
    static constexpr int32_t TEXT_LEVEL_CAPTION = 1200002;
    static constexpr int32_t AUTOMATIC_OUTPUT = 268435455;

    static const VideoList& levels();
    static const VideoList& containers();
    static bool needsExternal(int32_t level) { return level == 5 || level == 9 || level == 13; }

    static gui::IComponent* buildVqRow(Dialog* dialog, const wchar_t* key, ComboBox** ref);
    static bool saveVq(Dialog* dialog, const wchar_t* key, ComboBox* list);
    static void applyVq(Setting* record, const gui::IComboBox* list);

    static gui::IComponent* buildVideoFormatRow(Dialog* dialog, const wchar_t* key, ComboBox** ref);
    static bool saveVideoFormat(Dialog* dialog, const wchar_t* key, ComboBox* list);
    static void applyVideoFormat(Setting* record, const gui::IComboBox* list);
};

} // namespace s::video
