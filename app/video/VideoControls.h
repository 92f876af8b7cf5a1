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

    void clear() { *this = VideoControls(); }
};

} // namespace s::sound::gui::dialogs::mp3conv
