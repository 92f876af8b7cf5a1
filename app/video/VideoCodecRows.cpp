#include "app/video/VideoCodecRows.h"

#include <cwchar>

#include "app/video/RowParts.h"
#include "app/video/TvSystemRows.h"
#include "app/video/VideoList.h"
#include "widgets/gui/IComboBox.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/Label.h"

namespace s::video {

using gui::IComponent;
using gui::win::Box;
using gui::win::Label;
typedef VideoList::Entry Entry;

namespace {

constexpr wchar_t KEY[] = L"VCodec";
constexpr int32_t NOT_CHOSEN = 0;
// Bold 10 point.
constexpr int32_t BOLD_10 = -104;
constexpr Entry TITLE = {1190510, nullptr, 0, 0, 0};
constexpr Entry RULE = {0, L"-", 0, 16, 16};

constexpr wchar_t DIVX_GROUP[] = L"VC_Avi_Divx3_Mp3";
constexpr wchar_t FLV_GROUP[] = L"VC_Flv_Flv_Mp3";
constexpr wchar_t VCD_GROUP[] = L"VC_Mpg_Mpg_Mp2_Vcd";
constexpr wchar_t WMV_GROUP[] = L"VC_Wmv_Wmv1_Wma";
constexpr const wchar_t* MPG_GROUPS[] = {L"VC_Mpg_Mpg_Mp2", L"VC_Mpg_Mpg_Ac3_Dvd", L"VC_Mpg_Mpg_Mp2_Svcd",
                                         L"VC_Tp_Mpg2_Ac3", L"VC_Ts_Mpg2_Ac3"};

struct Mpeg4Preset {
    const wchar_t* group;
    VideoCodecRows::Mpeg4Ids ids;
};
constexpr Mpeg4Preset MPEG4_PRESETS[] = {
    {L"VC_3g2_Mpeg4_Aac", {10001, 10008, 10551, 10022, 17022}},
    {L"VC_3gp_Mpeg4_Aac", {10002, 10009, 10552, 10023, 17023}},
    {L"VC_Avi_Mpeg4_Ac3", {10003, 10010, 10553, 10024, 17024}},
    {L"VC_Mov_Mpeg4_Aac", {10004, 10011, 10554, 10025, 17025}},
    {L"VC_Mkv_Mpeg4_Aac", {10005, 10012, 10555, 10026, 17026}},
    {L"VC_Mp4_Mpeg4_Aac", {10006, 10013, 10556, 10027, 17027}},
    {L"VC_M4v_Mpeg4_Aac", {10007, 10014, 10557, 10028, 17028}},
    {L"VC_Avi_Mpeg4_Mp3_P2PShare", {10601, 10602, 10612, 10622, 10632}},
    {L"VC_Mp4_Mpeg4_Aac_Ipod", {10701, 10702, 10712, 10722, 10732}},
    {L"VC_Mp4_Mpeg4_Aac_Psp", {10801, 10802, 10812, 10822, 10832}},
    {L"VC_Mp4_Mpeg4_Aac_Android", {10901, 10902, 10912, 10922, 10932}},
};

struct MpgPreset {
    const wchar_t* group;
    int32_t standardId, alternativeId;
};
constexpr MpgPreset MPG_PRESETS[] = {
    {L"VC_Mpg_Mpg_Mp2", 10031, 10032}, {L"VC_Ts_Mpg2_Ac3", 10061, 10063}, {L"VC_Tp_Mpg2_Ac3", 10062, 10064}};

struct DiscPreset {
    const wchar_t* group;
    VideoCodecRows::DiscIds ids;
};
constexpr DiscPreset DISC_PRESETS[] = {
    {L"VC_Mpg_Mpg_Ac3_Dvd", {{10034, 10039, 10051, 10055, 10043, 10047, 10035, 10040, 10052, 10056, 10044, 10048,
                              10036, 10041, 10053, 10057, 10045, 10049, 10037, 10042, 10054, 10058, 10046, 10050}}},
    // The SVCD screen list offers no screen 0.
    {L"VC_Mpg_Mpg_Mp2_Svcd", {{0, 0, 10099, 10103, 10090, 10095, 0, 0, 10100, 10104, 10091, 10096,
                               0, 0, 10101, 10105, 10092, 10097, 0, 0, 10102, 10106, 10093, 10098}}},
};

// The place of a TV-system value among 1, 2, 11, 12; -1 for another.
int32_t tvPlace(int32_t tv) {
    switch (tv) {
    case 1: return 0;
    case 2: return 1;
    case 11: return 2;
    case 12: return 3;
    default: return -1;
    }
}

void setOutput(VideoCodecRows::Setting* record, int32_t outputId, uint8_t twoPass) {
    record->outputId = outputId;
    record->twoPass = twoPass;
}

} // namespace

const VideoList& VideoCodecRows::aviDivx() {
    static const VideoList rows(KEY, 62, NOT_CHOSEN,
                                {TITLE, {1190562, nullptr, 62, 1, 0}, {1190566, nullptr, 66, 0, 1},
                                 {1190568, nullptr, 68, 1, 1}});
    return rows;
}

const VideoList& VideoCodecRows::flv() {
    static const VideoList rows(KEY, 92, NOT_CHOSEN,
                                {TITLE, {1190592, nullptr, 92, 1, 0}, RULE, {1190526, nullptr, 26, 0, 1},
                                 {1190528, nullptr, 28, 1, 1}});
    return rows;
}

const VideoList& VideoCodecRows::vcd() {
    static const VideoList rows(KEY, 32, NOT_CHOSEN,
                                {TITLE, {1190532, nullptr, 32, 1, 0}, {1190536, nullptr, 36, 0, 1},
                                 {1190538, nullptr, 38, 1, 1}});
    return rows;
}

const VideoList& VideoCodecRows::mpg() {
    static const VideoList rows(KEY, 42, NOT_CHOSEN,
                                {TITLE, {1190542, nullptr, 42, 1, 0}, {1190546, nullptr, 46, 0, 1},
                                 {1190548, nullptr, 48, 1, 1}});
    return rows;
}

const VideoList& VideoCodecRows::mpeg4() {
    static const VideoList rows(KEY, 12, NOT_CHOSEN,
                                {TITLE, {1190512, nullptr, 12, 1, 0}, {1190516, nullptr, 16, 0, 1},
                                 {1190518, nullptr, 18, 1, 1}, RULE, {1190616, nullptr, 616, 0, 1},
                                 {1190618, nullptr, 618, 1, 1}, RULE, {1190526, nullptr, 26, 0, 1},
                                 {1190528, nullptr, 28, 1, 1}, RULE, {1190530, nullptr, 30, 1, 1},
                                 {1190531, nullptr, 31, 0, 1}});
    return rows;
}

const VideoList& VideoCodecRows::wmv() {
    static const VideoList rows(KEY, 72, NOT_CHOSEN, {TITLE, {1190572, nullptr, 72, 1, 0}, RULE, {1190582, nullptr, 82, 0, 1}});
    return rows;
}

const VideoList* VideoCodecRows::listOfGroup(const wchar_t* group) {
    if (group == nullptr) {
        return nullptr;
    }
    if (wcscmp(group, DIVX_GROUP) == 0) return &aviDivx();
    if (wcscmp(group, FLV_GROUP) == 0) return &flv();
    if (wcscmp(group, VCD_GROUP) == 0) return &vcd();
    if (wcscmp(group, WMV_GROUP) == 0) return &wmv();
    for (const wchar_t* mpgGroup : MPG_GROUPS) {
        if (wcscmp(group, mpgGroup) == 0) return &mpg();
    }
    for (const Mpeg4Preset& preset : MPEG4_PRESETS) {
        if (wcscmp(group, preset.group) == 0) return &mpeg4();
    }
    return nullptr;
}

bool VideoCodecRows::needsExternal(int32_t value) {
    return value == 26 || value == 28 || value == 30 || value == 31 || value == 616 || value == 618;
}

IComponent* VideoCodecRows::buildRow(Dialog* dialog, const VideoList& rows, const wchar_t* group, ComboBox** ref) {
    ComboBox* list = RowParts::newList(dialog, rows, ref);
    if (list == nullptr) {
        return nullptr;
    }
    Box* row = RowParts::captioned(dialog, TEXT_CAPTION, BOLD_10, 0, list);
    int32_t stored = dialog->readOption(group, rows.key(), rows.defaultValue());
    // An external encoder is shown only while one is installed; the store keeps it.
    if (needsExternal(stored) && !RowParts::externalUsable()) {
        stored = rows.defaultValue();
    }
    rows.restore(list, stored);
    list->addSelectionListener(dialog);
    return row;
}

IComponent* VideoCodecRows::buildVideoCodecRowAviDivx(Dialog* dialog, ComboBox** ref) {
    return buildRow(dialog, aviDivx(), DIVX_GROUP, ref);
}

IComponent* VideoCodecRows::buildVideoCodecRowFlv(Dialog* dialog, ComboBox** ref) {
    return buildRow(dialog, flv(), FLV_GROUP, ref);
}

IComponent* VideoCodecRows::buildVideoCodecRowVcd(Dialog* dialog, ComboBox** ref) {
    return buildRow(dialog, vcd(), VCD_GROUP, ref);
}

IComponent* VideoCodecRows::buildVideoCodecRowWmv(Dialog* dialog, ComboBox** ref) {
    return buildRow(dialog, wmv(), WMV_GROUP, ref);
}

IComponent* VideoCodecRows::buildVideoCodecRowMpg(Dialog* dialog, const wchar_t* group, ComboBox** ref) {
    return buildRow(dialog, mpg(), group, ref);
}

IComponent* VideoCodecRows::buildVideoCodecRowMpeg4(Dialog* dialog, const wchar_t* group, ComboBox** ref) {
    return buildRow(dialog, mpeg4(), group, ref);
}

IComponent* VideoCodecRows::buildStreamRow(Dialog* dialog, const wchar_t* codec) {
    Box* row = RowParts::captioned(dialog, TEXT_CAPTION, BOLD_10, 0, Label::createWithText(codec, false, false, BOLD_10));
    return row;
}

IComponent* VideoCodecRows::buildVideoStreamRowH263(Dialog* dialog) { return buildStreamRow(dialog, L"H263"); }

IComponent* VideoCodecRows::buildVideoStreamRowTheora(Dialog* dialog) { return buildStreamRow(dialog, L"THEORA"); }

bool VideoCodecRows::saveVideoCodec(Dialog* dialog, const wchar_t* group, ComboBox* list) {
    const VideoList* rows = listOfGroup(group);
    int32_t value = 0;
    if (!(rows != nullptr ? *rows : mpeg4()).acceptChoice(list, &value)) {
        return true;
    }
    if (needsExternal(value) && !RowParts::externalUsable()) {
        RowParts::refuseExternalChoice(dialog, list);
        return true;
    }
    dialog->writeOption(group, KEY, value);
    return true;
}

void VideoCodecRows::applyVideoCodecAviDivx(Setting* record, const gui::IComboBox* list) {
    switch (aviDivx().chosenValue(list)) {
    case 62: setOutput(record, 10120, 0); break;
    case 66: setOutput(record, 10121, 0); break;
    case 68: setOutput(record, 10121, 1); break;
    default: break;
    }
}

void VideoCodecRows::applyVideoCodecFlv(Dialog* dialog, const gui::IComboBox* list) {
    Setting* record = dialog->jobRecord();
    switch (flv().chosenValue(list)) {
    case 92: setOutput(record, 10301, 0); break;
    case 26: setOutput(record, 10304, 0); break;
    case 28: setOutput(record, 10304, 1); break;
    default: break;
    }
}

void VideoCodecRows::applyVideoCodecWmv(Setting* record, const gui::IComboBox* list) {
    switch (wmv().chosenValue(list)) {
    case 72: setOutput(record, 10200, 0); break;
    case 82: setOutput(record, 10202, 0); break;
    default: break;
    }
}

void VideoCodecRows::applyVideoCodecMpg(Dialog* dialog, const gui::IComboBox* list, int32_t standardId,
                                        int32_t alternativeId) {
    Setting* record = dialog->jobRecord();
    switch (mpg().chosenValue(list)) {
    case 42: setOutput(record, standardId, 0); break;
    case 46: setOutput(record, alternativeId, 0); break;
    case 48: setOutput(record, alternativeId, 1); break;
    default: break;
    }
}

void VideoCodecRows::applyVideoCodecMpeg4(Setting* record, const gui::IComboBox* list, const Mpeg4Ids& ids) {
    switch (mpeg4().chosenValue(list)) {
    case 12: setOutput(record, ids.own, 0); break;
    case 16: setOutput(record, ids.alternative, 0); break;
    case 18: setOutput(record, ids.alternative, 1); break;
    case 616: setOutput(record, ids.externalD, 0); break;
    case 618: setOutput(record, ids.externalD, 1); break;
    case 26: setOutput(record, ids.externalF, 0); break;
    case 28: setOutput(record, ids.externalF, 1); break;
    case 30: setOutput(record, ids.externalH, 0); break;
    case 31: setOutput(record, ids.externalH, 1); break;
    default: break;
    }
}

void VideoCodecRows::applyVideoCodecVcd(Setting* record, const gui::IComboBox* codecs,
                                        const gui::IComboBox* tvSystems) {
    static const int32_t STANDARD[] = {10080, 10081, 10082, 10083};
    static const int32_t ALTERNATIVE[] = {10085, 10086, 10087, 10088};
    const int32_t codec = vcd().chosenValue(codecs);
    const int32_t place = tvPlace(TvSystemRows::tvSystem().chosenValue(tvSystems));
    if (place < 0 || (codec != 32 && codec != 36 && codec != 38)) {
        return;
    }
    setOutput(record, codec == 32 ? STANDARD[place] : ALTERNATIVE[place], codec == 38 ? 1 : 0);
}

void VideoCodecRows::applyVideoCodecDvd(Setting* record, const gui::IComboBox* codecs, const gui::IComboBox* tvSystems,
                                        const gui::IComboBox* screens, const DiscIds& ids) {
    const int32_t codec = mpg().chosenValue(codecs);
    const int32_t place = tvPlace(TvSystemRows::tvSystem().chosenValue(tvSystems));
    if (place < 0 || (codec != 42 && codec != 46 && codec != 48)) {
        return;
    }
    // A preset without screen-0 ids (SVCD) starts on screen 2.
    const VideoList& screenList = ids.ids[0] != 0 ? TvSystemRows::screenDvd() : TvSystemRows::screenSvcd();
    const int32_t screen = screenList.chosenValue(screens);
    const int32_t pair = screen == 0 ? 0 : screen == 1 ? 2 : 4;
    const int32_t outputId = ids.ids[place * 6 + pair + (codec == 42 ? 0 : 1)];
    if (outputId != 0) {
        setOutput(record, outputId, codec == 48 ? 1 : 0);
    }
}

bool VideoCodecRows::mpgIds(const wchar_t* group, int32_t* standardId, int32_t* alternativeId) {
    for (const MpgPreset& preset : MPG_PRESETS) {
        if (group != nullptr && wcscmp(group, preset.group) == 0) {
            *standardId = preset.standardId;
            *alternativeId = preset.alternativeId;
            return true;
        }
    }
    return false;
}

bool VideoCodecRows::mpeg4Ids(const wchar_t* group, Mpeg4Ids* ids) {
    for (const Mpeg4Preset& preset : MPEG4_PRESETS) {
        if (group != nullptr && wcscmp(group, preset.group) == 0) {
            *ids = preset.ids;
            return true;
        }
    }
    return false;
}

bool VideoCodecRows::discIds(const wchar_t* group, DiscIds* ids) {
    for (const DiscPreset& preset : DISC_PRESETS) {
        if (group != nullptr && wcscmp(group, preset.group) == 0) {
            *ids = preset.ids;
            return true;
        }
    }
    return false;
}

} // namespace s::video
