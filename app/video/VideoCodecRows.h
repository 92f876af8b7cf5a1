#pragma once
#include <cstdint>

#include "app/sound/gui/dialogs/mp3conv/Dialog.h"

namespace s::gui { class IComboBox; class IComponent; }
namespace s::gui::win { class ComboBox; }

namespace s::video {

class VideoList;

// The video-codec rows of the preset panels ("VCodec"): the encoder choices of a preset,
// turned into the job's output id and two-pass flag when a batch starts. Encoders that
// need the external ffmpeg.exe are refused, and not restored, while there is none.
class VideoCodecRows {
public:
    typedef sound::gui::dialogs::mp3conv::Dialog Dialog;
    typedef sound::gui::dialogs::mp3conv::Setting Setting;
    typedef gui::win::ComboBox ComboBox;

    static constexpr int32_t TEXT_CAPTION = 1190210;
    // The output ids an MPEG-4 list chooses from: the preset's own (12), the alternative
    // encoder (16, 18) and three external ones (616/618, 26/28, 30/31).
    struct Mpeg4Ids {
        int32_t own, alternative, externalD, externalF, externalH;
    };
    // The output ids of a disc preset: per TV system 1, 2, 11, 12 six ids (screen 0, 1,
    // other; each standard then alternative encoder). 0 where the preset has none.
    struct DiscIds {
        int32_t ids[24];
    };

    static const VideoList& aviDivx();
    static const VideoList& flv();
    static const VideoList& vcd();
    static const VideoList& mpg();
    static const VideoList& mpeg4();
    static const VideoList& wmv();
    // The codec list a preset group's panel shows; null for a group without one.
    static const VideoList* listOfGroup(const wchar_t* group);
    // 26, 28, 30, 31, 616 and 618.
    static bool needsExternal(int32_t value);

    static gui::IComponent* buildVideoCodecRowAviDivx(Dialog* dialog, ComboBox** ref);
    static gui::IComponent* buildVideoCodecRowFlv(Dialog* dialog, ComboBox** ref);
    static gui::IComponent* buildVideoCodecRowVcd(Dialog* dialog, ComboBox** ref);
    static gui::IComponent* buildVideoCodecRowWmv(Dialog* dialog, ComboBox** ref);
    static gui::IComponent* buildVideoCodecRowMpg(Dialog* dialog, const wchar_t* group, ComboBox** ref);
    static gui::IComponent* buildVideoCodecRowMpeg4(Dialog* dialog, const wchar_t* group, ComboBox** ref);
    // The read-only rows of the H263 and Theora presets.
    static gui::IComponent* buildVideoStreamRowH263(Dialog* dialog);
    static gui::IComponent* buildVideoStreamRowTheora(Dialog* dialog);

    static bool saveVideoCodec(Dialog* dialog, const wchar_t* group, ComboBox* list);

    // Each apply reads the list's choice (its default when it shows none); a value it
    // does not know changes nothing.
    static void applyVideoCodecAviDivx(Setting* record, const gui::IComboBox* list);
    static void applyVideoCodecFlv(Dialog* dialog, const gui::IComboBox* list);
    static void applyVideoCodecWmv(Setting* record, const gui::IComboBox* list);
    static void applyVideoCodecMpg(Dialog* dialog, const gui::IComboBox* list, int32_t standardId,
                                   int32_t alternativeId);
    static void applyVideoCodecMpeg4(Setting* record, const gui::IComboBox* list, const Mpeg4Ids& ids);
    static void applyVideoCodecVcd(Setting* record, const gui::IComboBox* codecs, const gui::IComboBox* tvSystems);
    static void applyVideoCodecDvd(Setting* record, const gui::IComboBox* codecs, const gui::IComboBox* tvSystems,
                                   const gui::IComboBox* screens, const DiscIds& ids);

    // The ids the collection passes: MPEG-1/2 presets (standard, alternative), MPEG-4
    // presets, and the DVD and SVCD presets. False for another group.
    static bool mpgIds(const wchar_t* group, int32_t* standardId, int32_t* alternativeId);
    static bool mpeg4Ids(const wchar_t* group, Mpeg4Ids* ids);
    static bool discIds(const wchar_t* group, DiscIds* ids);

private:
    static gui::IComponent* buildRow(Dialog* dialog, const VideoList& rows, const wchar_t* group, ComboBox** ref);
    static gui::IComponent* buildStreamRow(Dialog* dialog, const wchar_t* codec);
};

} // namespace s::video
