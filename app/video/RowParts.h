#pragma once
#include <cstdint>

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
    typedef gui::win::Box Box;
    typedef gui::win::ComboBox ComboBox;
    typedef gui::win::GroupBox GroupBox;
    typedef gui::win::TextField TextField;

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
