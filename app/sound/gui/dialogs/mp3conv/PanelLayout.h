#pragma once
#include <cstdint>

#include "app/sound/gui/dialogs/mp3conv/OptionRows.h"

namespace s::sound::gui::dialogs::mp3conv {

class Setting;

// What the option panel of one audio format holds, top to bottom, after its audio
// stream row and before its Volume row: option lists, or boxes that show a value the
// format fixes. The same rows decide what a batch applies to the job record.
class PanelLayout {
public:
    struct Row {
        const OptionRows& (*list)();  // an option list, or null for a fixed box
        OptionRows::Kind kind;        // the field the row fills
        int32_t captionId;            // fixed box: its caption
        int32_t textId;               // fixed box: its text id, or 0 for the literal
        const wchar_t* text;
        int32_t value;                // fixed box: the value the format uses
    };
    static constexpr int32_t MAX_ROWS = 3;

    int32_t formatId;
    const wchar_t* group;
    const wchar_t* stream;  // codec name of the audio stream row
    Row rows[MAX_ROWS];
    int32_t rowCount;

    // The layout of an audio format id (1 to 34), else null.
    static const PanelLayout* forFormat(int32_t formatId);

    // Writes value into the field of kind: a quality of 1000 or more is a bit rate.
    static void applyValue(Setting* record, OptionRows::Kind kind, int32_t value);
};

} // namespace s::sound::gui::dialogs::mp3conv
