#pragma once
#include <cstdint>

#include "app/sound/gui/dialogs/mp3conv/Dialog.h"

namespace s::gui { class IComboBox; class IComponent; }
namespace s::gui::win { class ComboBox; }

namespace s::video {

class VideoList;

// The TV-system ("VNtsc": 1, 2, 11 NTSC, 12 PAL) and screen-shape ("VScreen": 0, 1, 2)
// rows of the disc and camcorder presets. The DV presets take their output id from the
// TV system alone; the disc presets read both lists in their codec apply.
class TvSystemRows {
public:
    typedef sound::gui::dialogs::mp3conv::Dialog Dialog;
    typedef gui::win::ComboBox ComboBox;

    static const VideoList& tvSystem();
    static const VideoList& screenDvd();
    static const VideoList& screenSvcd();

    static gui::IComponent* buildTvSystemRow(Dialog* dialog, const wchar_t* group, ComboBox** ref);
    static gui::IComponent* buildScreenShapeRowDvd(Dialog* dialog, ComboBox** ref);
    static gui::IComponent* buildScreenShapeRowSvcd(Dialog* dialog, ComboBox** ref);

    static bool saveTvSystem(Dialog* dialog, const wchar_t* group, ComboBox* list);
    static bool saveScreenShape(Dialog* dialog, const wchar_t* group, ComboBox* list);

    // TV system 1, 2, 11 or 12 gives the first to fourth id; another changes nothing.
    static void applyTvSystem(Dialog* dialog, const gui::IComboBox* list, const int32_t ids[4]);
    // The four ids of a DV preset group; false for another group.
    static bool dvIds(const wchar_t* group, int32_t ids[4]);

private:
    static gui::IComponent* buildScreenRow(Dialog* dialog, const VideoList& rows, const wchar_t* group, ComboBox** ref);
};

} // namespace s::video
