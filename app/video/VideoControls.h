#pragma once
#include <cstdint>

namespace s::gui::win {
class Box;
class CheckBox;
class ComboBox;
class Label;
class TextField;
} // namespace s::gui::win

namespace s::sound::gui::dialogs::mp3conv {

class OptionRows;

// The controls of the video panel on show, each null unless that panel holds it, and
// the settings group they save under. A panel switch clears them before the next
// panel is built, so a control of a panel gone never matches an event.
struct VideoControls {
    int32_t panelId = 0;
    const wchar_t* group = nullptr;

    s::gui::win::ComboBox* frameRate = nullptr;
    s::gui::win::ComboBox* audioQuality = nullptr;
    const OptionRows* audioQualityRows = nullptr;
    s::gui::win::ComboBox* sampleRate = nullptr;
    const OptionRows* sampleRateRows = nullptr;
    s::gui::win::ComboBox* channels = nullptr;
    const OptionRows* channelsRows = nullptr;
    s::gui::win::ComboBox* volume = nullptr;

    s::gui::win::CheckBox* test = nullptr;
    s::gui::win::ComboBox* testPosition = nullptr;
    s::gui::win::TextField* testSeconds = nullptr;
    s::gui::win::Box* testDetail = nullptr;  // the target panels' collapsible part

    // The file-sharing AVI panel.
    s::gui::win::ComboBox* content = nullptr;
    s::gui::win::ComboBox* boost = nullptr;
    s::gui::win::Label* perMinute = nullptr;
    s::gui::win::Label* perHour = nullptr;
    s::gui::win::Label* videoRate = nullptr;
    s::gui::win::Label* audioRate = nullptr;
    s::gui::win::Label* pictureSize = nullptr;

    // Video codec, TV system, screen shape; the two presets' audio choices.
    s::gui::win::ComboBox* videoCodec = nullptr;
    s::gui::win::ComboBox* tvSystem = nullptr;
    s::gui::win::ComboBox* screenShape = nullptr;
    s::gui::win::ComboBox* aviAudioCodec = nullptr;
    s::gui::win::CheckBox* swfAudio = nullptr;
    // Video quality, with its custom file-size and bit-rate lines where it has them.
    s::gui::win::ComboBox* videoQuality = nullptr;
    bool qualityHasCustom = false;
    s::gui::win::Box* qualitySizeLine = nullptr;
    s::gui::win::TextField* qualitySizeField = nullptr;
    s::gui::win::Box* qualityRateLine = nullptr;
    s::gui::win::TextField* qualityRateField = nullptr;
    // Picture size: 0 none, 1 a preset's, 2 a target's, 3 by picture size, 4 relative.
    int32_t sizeKind = 0;
    s::gui::win::ComboBox* sizeList = nullptr;
    s::gui::win::Box* sizeCustom = nullptr;
    s::gui::win::Box* sizeOuter = nullptr;
    s::gui::win::TextField* widthField = nullptr;
    s::gui::win::TextField* heightField = nullptr;
    // The targets' goal: a typed value, a relative choice or an automatic quality.
    s::gui::win::TextField* targetField = nullptr;
    s::gui::win::ComboBox* relative = nullptr;
    s::gui::win::ComboBox* qualityAuto = nullptr;
    s::gui::win::Box* qualityAutoCustom = nullptr;
    s::gui::win::TextField* qualityAutoField = nullptr;
    s::gui::win::ComboBox* container = nullptr;
    s::gui::win::ComboBox* vqLevel = nullptr;

    void clear() { *this = VideoControls(); }
};

} // namespace s::sound::gui::dialogs::mp3conv
