#pragma once
#include <cstdint>
#include <initializer_list>

#include "app/sound/gui/dialogs/mp3conv/Dialog.h"

namespace s::gui { class IComponent; }
namespace s::gui::win {
class Box;
class ComboBox;
class GroupBox;
class TextField;
}

namespace s::video {

class VideoList;

// What the rows of the video panels build alike: their lists, frames and line boxes,
// the custom lines that show only with their entry, and the refusal of an encoder that
// needs the external ffmpeg.exe when there is none.
class RowParts {
public:
    typedef sound::gui::dialogs::mp3conv::Dialog Dialog;
    typedef sound::gui::dialogs::mp3conv::Setting Setting;
    typedef gui::win::Box Box;
    typedef gui::win::ComboBox ComboBox;
    typedef gui::win::GroupBox GroupBox;
    typedef gui::win::TextField TextField;

    // Quality values of the lists with custom entries: a typed bit rate, and a typed file
    // size (as a record code, megabytes plus this).
    static constexpr int32_t CUSTOM_BIT_RATE = 20;
    static constexpr int32_t CUSTOM_FILE_SIZE = 2137483647;

    // Told when an encoder needing the external program was refused.
    static constexpr int32_t TEXT_NEEDS_EXTERNAL = 1190501;
    // The address opened after that message (only a web address is opened).
    static constexpr int32_t TEXT_EXTERNAL_PAGE = 1190502;
    // Shown when the pack has no text for TEXT_NEEDS_EXTERNAL.
    static constexpr wchar_t NEEDS_EXTERNAL[] =
        L"This choice needs FFmpeg (ffmpeg.exe) installed in the \"optional_tools\" folder of the program.";

    // A list filled with rows' entries, enabled, stored in *ref: 100% wide, of fixed
    // height (unscaled; -1 none), or fixed width and height when width >= 0.
    static ComboBox* newList(Dialog* dialog, const VideoList& rows, ComboBox** ref, int32_t height = -1,
                             int32_t width = -1);
    // A row box, 100% wide, children at the left and vertically centred.
    static Box* lineBox(int32_t hAlign = 0);
    // A column box, 100% wide, children at the left and top.
    static Box* columnBox();
    // The captioned frame of a list row (column, gaps 10/5, paddings 20/3, light rule).
    static GroupBox* frame(Dialog* dialog, int32_t captionId);
    // A row box holding the caption label (text id, font code), a spacer gap wide
    // (unscaled; 0 none) and child.
    static Box* captioned(Dialog* dialog, int32_t captionId, int32_t fontCode, int32_t gap, gui::IComponent* child);
    // A list of fixed height under its caption in a column box (stored in *column).
    static ComboBox* captionedList(Dialog* dialog, const VideoList& rows, int32_t captionId, ComboBox** ref,
                                   Box** column);
    // A captioned list row showing what the panel key stored under the list's key.
    static gui::IComponent* storedListRow(Dialog* dialog, const wchar_t* key, const VideoList& rows,
                                          int32_t captionId, ComboBox** ref);
    static gui::IComponent* spacer(Dialog* dialog, int32_t orientation, int32_t size);
    // A field for typed numbers.
    static TextField* field(const wchar_t* text, int32_t fixedHeight, double widthPercent);
    static void putNumber(TextField* field, int64_t value);
    static const wchar_t* textOf(const TextField* field);

    // A custom line or block takes its content's height when shown, none when not.
    static void show(Box* block, bool shown);
    static bool isShown(const Box* block);
    // After a custom line changed: the window lays out again (twice, as wrapped
    // labels settle) and grows to what it now needs.
    static void relayoutWindow(Dialog* dialog);

    // Writes a quality list's value into the record: a listed bit rate, a level (one
    // pass), a typed bit rate or, with a size field, a typed file size; typed numbers
    // that are usable are stored under the panel key.
    static void applyQuality(Dialog* dialog, Setting* record, const wchar_t* key, int32_t value,
                             const TextField* rateField, const TextField* sizeField);

    // A custom line and the entry that shows it.
    struct CustomLine {
        Box* line;
        int32_t value;
    };
    // A framed list row with its custom lines under the list, showing what the panel key
    // stored under the list's key (each line shown only with its entry); null without a list.
    static GroupBox* framedListRow(Dialog* dialog, const wchar_t* key, const VideoList& rows, int32_t captionId,
                                   ComboBox** ref, std::initializer_list<CustomLine> lines);
    // Takes the list's new choice (none when refused): stores whether it is the automatic
    // entry under autoKey (when given), shows each custom line whose entry it is, lays the
    // window out again and stores the choice under the list's key. Always true (handled).
    static bool storeChoice(Dialog* dialog, const wchar_t* key, const VideoList& rows, ComboBox* list,
                            std::initializer_list<CustomLine> lines, const wchar_t* autoKey = nullptr,
                            int32_t autoValue = 0);

    // Whether an external ffmpeg.exe is installed and usable.
    static bool externalUsable();
    // Puts the entry before back quietly, tells the user (the window off top meanwhile)
    // and opens the help address when it is a web address.
    static void refuseExternalChoice(Dialog* dialog, ComboBox* list);
    // Whether text is an address the shell may open for help.
    static bool isWebAddress(const wchar_t* text);

    // The selected value of list, else def (nothing selected, no list).
    static int32_t selectedValue(const gui::IComboBox* list, int32_t def);
};

} // namespace s::video
