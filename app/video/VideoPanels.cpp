// The converter dialog's video panels and what a batch takes from them.
#include "app/sound/gui/dialogs/mp3conv/Dialog.h"

#include <utility>

#include "app/sound/gui/dialogs/mp3conv/ConvertToList.h"
#include "app/video/P2pEstimates.h"
#include "app/video/VideoLists.h"
#include "app/video/VideoPresetTable.h"
#include "widgets/gui/IBox.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/CheckBox.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/GroupBox.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/Spacer.h"
#include "widgets/gui/win/TextField.h"

namespace s::sound::gui::dialogs::mp3conv {

using s::gui::IBox;
using s::gui::IComponent;
using s::gui::combobox::ComboBoxItem;
using s::gui::win::GroupBox;
using s::gui::win::Spacer;
typedef VideoPresetTable T;

namespace {

constexpr int32_t TEXT_VIDEO_STREAM = 1190210;
constexpr int32_t TEXT_AUDIO_STREAM = 1190211;
constexpr int32_t STREAM_FONT = -104;
constexpr int32_t SMALL_FONT = -2;
// The screen-shape note of the VCD panel.
constexpr int32_t TEXT_SHAPE = 1601000;
constexpr int32_t TEXT_SHAPE_NOTE = 1601300;
constexpr int32_t TEXT_SHAPE_NOTE_2 = 1601400;
// Resolution entries without options, and the one that only informs.
constexpr int32_t FIRST_RESOLUTION_ID = 0x1FFFFF95;
constexpr int32_t LAST_RESOLUTION_ID = 0x1FFFFF9B;
constexpr int32_t HD_INFO_ID = 0x1FFFFF96;
constexpr int32_t AVI_MPEG4 = 10003;
constexpr int32_t AVI_CODEC_AC3 = 1;
constexpr int32_t SWF = 10311;
constexpr int32_t P2P = 10601;

s::gui::win::Label* label(int32_t textId, const wchar_t* text, int32_t font, bool wrap) {
    return textId != 0 ? s::gui::win::Label::createWithTextId(textId, wrap, false, font)
                       : s::gui::win::Label::createWithText(text != nullptr ? text : L"", wrap, false, font);
}

// What presets fix in the job record before their lists are read; 0 leaves a value.
struct PresetValues {
    int32_t panelId, outputId, frameRate, width, height, presetPictureSize, sampleRate, channels, bitsPerSample;
};
constexpr PresetValues PRESET_VALUES[] = {
    {10073, 0, 0, 176, 144, 1, 8000, 1, 0},           // the two H.263 presets
    {10074, 0, 0, 176, 144, 1, 8000, 1, 0},
    {10701, 10702, 0, 320, 240, 0, 0, 2, 0},          // iPod
    {10801, 10802, 29970, 368, 192, 1, 24000, 2, 0},  // PSP
    {10901, 10902, 0, 0, 0, 0, 0, 2, 0},              // Android
    {10117, 0, 0, 0, 0, 0, 0, 0, 16},                 // raw
};

// The resolution entries have no options: a file like the source (its container, the
// MPEG-4 family at the first level, as a target panel's defaults give) at the picture
// size the entry names; the sound like the source's. An entry whose caption names no
// size keeps the source's.
constexpr int32_t RESOLUTION_OUTPUT = 268435445;
constexpr int32_t RESOLUTION_AUDIO = 18;
struct ResolutionValues {
    int32_t id, width, height;
};
constexpr ResolutionValues RESOLUTIONS[] = {
    {0x1FFFFF95, 1920, 1080},  // "1080p"
    {0x1FFFFF96, 1280, 720},   // the HD entry, "1280 x 720 [HD]" on its panel
    {0x1FFFFF97, 854, 480},    // "480p [HQ]"
    {0x1FFFFF98, 640, 360},    // "360p [MQ]"
    {0x1FFFFF99, 0, 0},
    {0x1FFFFF9A, 402, 226},    // "226p [LQ]"
    {0x1FFFFF9B, 0, 0},
};

void fillResolutionSetting(Setting* job, int32_t id) {
    job->outputId = RESOLUTION_OUTPUT;
    job->formatId = RESOLUTION_AUDIO;
    for (const ResolutionValues& r : RESOLUTIONS) {
        if (r.id == id) {
            job->width = r.width;
            job->height = r.height;
        }
    }
}

template <class Field>
void setIfGiven(Field& field, int32_t value) {
    if (value != 0) {
        field = static_cast<Field>(value);
    }
}

void addIfAny(s::gui::win::Box* box, IComponent* row) {
    if (box != nullptr && row != nullptr) {
        box->add(row);
    }
}

} // namespace

IComponent* Dialog::buildVideoPanel(int32_t formatId) {
    if (formatId == HD_INFO_ID) {
        return buildHdInfoPanel();
    }
    if (formatId >= FIRST_RESOLUTION_ID && formatId <= LAST_RESOLUTION_ID) {
        return buildSpacerPanel();
    }
    const T::Panel* target = T::forTarget(formatId);
    const T::Panel* panel = target != nullptr ? target : T::forPreset(formatId);
    if (panel == nullptr) {
        return buildEmptyPanel();
    }
    const int32_t s = uiScale();
    VideoControls& v = video_;
    v.panelId = panel->id;
    v.group = panel->group;
    Box* box = static_cast<Box*>(target != nullptr ? buildSpacerPanel() : buildEmptyPanel());
    if (box == nullptr) {
        return nullptr;
    }
    int32_t separators = 0;
    for (const T::Row& row : panel->rows) {
        IComponent* built = nullptr;
        switch (row.token) {
        case T::SEPARATOR:
            // The WebM panel's last rule stays one pixel at every scale.
            built = Spacer::create(1, panel->id == 10400 && separators > 0 ? 1 : s);
            ++separators;
            break;
        case T::FIXED:
            built = buildVideoRowFrame(row.captionId, label(row.textId, row.text, 0, false));
            break;
        case T::P2P_SIZE:
            v.pictureSize = label(0, row.text, 0, false);
            built = buildVideoRowFrame(row.captionId, v.pictureSize);
            break;
        case T::P2P_AUDIO_RATE:
            v.audioRate = label(0, row.text, 0, false);
            built = buildVideoRowFrame(row.captionId, v.audioRate);
            break;
        case T::SHAPE_VCD: {
            GroupBox* frame = buildVideoRowFrame(TEXT_SHAPE, label(TEXT_SHAPE_NOTE, nullptr, SMALL_FONT, true));
            if (frame != nullptr) {
                frame->add(label(TEXT_SHAPE_NOTE_2, nullptr, SMALL_FONT, true));
            }
            built = frame;
            break;
        }
        case T::STREAM_VIDEO:
        case T::STREAM_AUDIO: {
            Box* line = Box::create(IBox::ROW, 0, 100, -1, 1, 0, 0, 0, 0);
            if (line != nullptr) {
                line->add(label(row.token == T::STREAM_VIDEO ? TEXT_VIDEO_STREAM : TEXT_AUDIO_STREAM, nullptr,
                                STREAM_FONT, false));
                if (row.text != nullptr) {
                    line->add(label(0, row.text, STREAM_FONT, false));
                }
            }
            built = line;
            break;
        }
        case T::AS_AAC: built = buildAudioStreamRow(L"AAC"); break;
        case T::AS_AC3: built = buildAudioStreamRow(L"AC3"); break;
        case T::AS_MP2: built = buildAudioStreamRow(L"MP2"); break;
        case T::AS_MP3: built = buildAudioStreamRow(L"MP3"); break;
        case T::AS_AMR: built = buildAudioStreamRow(L"AMR"); break;
        case T::FR: built = buildFrameRateRow(panel->group, &v.frameRate); break;
        case T::FR_H263: built = buildFrameRateRowH263(panel->group, &v.frameRate); break;
        case T::AQ:
            v.audioQualityRows = &VideoLists::audioQuality();
            built = buildAudioQualityRowVideo(panel->group, &v.audioQuality);
            break;
        case T::AQ_AMR:
            v.audioQualityRows = &VideoLists::audioQualityAmr();
            built = buildAudioQualityRowAmrVideo(panel->group, &v.audioQuality);
            break;
        case T::SR:
        case T::SR_FLV:
        case T::SR_MP2:
        case T::SR_WMA:
            v.sampleRateRows = row.token == T::SR       ? &OptionRows::sampleRateCommon()
                               : row.token == T::SR_FLV ? &OptionRows::sampleRateFlv()
                               : row.token == T::SR_MP2 ? &OptionRows::sampleRateMp2()
                                                        : &OptionRows::sampleRateWma();
            built = buildListRow(*v.sampleRateRows, panel->group, &v.sampleRate);
            break;
        case T::CH6:
            // The AVI MPEG-4 preset offers 5.1 only while its audio codec is AC3.
            v.channelsRows = panel->id == AVI_MPEG4 && readInt(optionGroup(panel->group), L"Codec", 2) != AVI_CODEC_AC3
                                 ? &OptionRows::channelsStereo()
                                 : &OptionRows::channelsSurround();
            built = buildListRow(*v.channelsRows, panel->group, &v.channels);
            break;
        case T::CH2:
            v.channelsRows = &OptionRows::channelsStereo();
            built = buildListRow(*v.channelsRows, panel->group, &v.channels);
            break;
        case T::CH_RAW:
            v.channelsRows = &OptionRows::channelsRaw();
            built = buildListRow(*v.channelsRows, panel->group, &v.channels);
            break;
        case T::VOL: built = buildVolumeRow(panel->group, &v.volume); break;
        case T::CONT: built = buildContentKindRow(&v.perHour, &v.perMinute, &v.content); break;
        case T::BOOST: built = buildQualityBoostRow(v.content, &v.boost, &v.videoRate); break;
        case T::TEST: built = buildTestRunRow(panel->group, &v.test, &v.testPosition, &v.testSeconds); break;
        case T::TEST_TARGET:
            built = buildTestRunRowTarget(panel->group, &v.test, &v.testPosition, &v.testSeconds, &v.testDetail);
            break;
        default:
            built = buildVideoPartRow(row.token, panel->group);
            break;
        }
        addIfAny(box, built);
    }
    if (panel->id == P2P) {
        updateP2pEstimates(v.content, v.perMinute, v.perHour, v.boost, v.videoRate, v.pictureSize, v.audioRate);
    }
    return box;
}

IComponent* Dialog::buildSpacerPanel() {
    const int32_t s = uiScale();
    return Box::create(IBox::COLUMN, 0, 100, 100, 0, 0, 20 * s, 17 * s, 20 * s);
}

IComponent* Dialog::buildHdInfoPanel() {
    const int32_t s = uiScale();
    Box* panel = static_cast<Box*>(buildSpacerPanel());
    if (panel == nullptr) {
        return nullptr;
    }
    Box* head = Box::create(IBox::COLUMN, 1, 100, -1, 0, 0, 0, 0, 0);
    if (head != nullptr) {
        head->add(label(1192510, nullptr, 0, false));
        head->add(Spacer::create(1, 5 * s));
        head->add(label(1192511, nullptr, SMALL_FONT, true));
        head->add(Spacer::create(1, 8 * s));
    }
    addIfAny(panel, head);
    Box* second = Box::create(IBox::COLUMN, 1, 100, -1, 0, 0, 0, 0, 0);
    if (second != nullptr) {
        second->add(label(1192512, nullptr, -1, false));
        second->add(Spacer::create(1, 12 * s));
        Box* pair = Box::create(IBox::ROW, 0, -1, -1, 1, 5 * s, 0, 0, 0);
        if (pair != nullptr) {
            pair->add(label(1192521, nullptr, SMALL_FONT, false));
            pair->add(Spacer::create(0, 10 * s));
            pair->add(label(1192522, nullptr, SMALL_FONT, false));
        }
        second->add(buildVideoRowFrame(1192520, pair));
    }
    addIfAny(panel, second);
    addIfAny(panel, buildVideoRowFrame(1192530, label(1192531, nullptr, SMALL_FONT, false)));
    Box* hd = Box::create(IBox::ROW, 0, -1, -1, 1, 5 * s, 0, 0, 0);
    if (hd != nullptr) {
        hd->add(label(0, L"1280 x 720 [HD]   - ", SMALL_FONT, true));
        hd->add(label(1192541, nullptr, SMALL_FONT, true));
    }
    addIfAny(panel, buildVideoRowFrame(1192540, hd));
    addIfAny(panel, buildVideoRowFrame(1192550, label(1192551, nullptr, SMALL_FONT, false)));
    GroupBox* many = buildVideoRowFrame(1192560, label(1192561, nullptr, SMALL_FONT, false));
    if (many != nullptr) {
        many->add(label(1192562, nullptr, SMALL_FONT, true));
        many->add(label(1192563, nullptr, SMALL_FONT, false));
    }
    addIfAny(panel, many);
    addIfAny(panel, buildVideoRowFrame(1192570, label(1192571, nullptr, SMALL_FONT, false)));
    Box* tail = Box::create(IBox::COLUMN, 0, 100, -1, 0, 0, 5 * s, 0, 0);
    if (tail != nullptr) {
        tail->add(Spacer::create(1, 8 * s));
        tail->add(label(1192580, nullptr, 0, false));
        Box* last = Box::create(IBox::COLUMN, 1, 100, -1, 0, 0, 5 * s, 0, 0);
        if (last != nullptr) {
            last->add(label(1192581, nullptr, 0, false));
        }
        addIfAny(tail, last);
    }
    addIfAny(panel, tail);
    return panel;
}

// ---- The job record ----

bool Dialog::fillVideoSetting(int32_t formatId) {
    Setting& job = setting_;
    VideoControls& v = video_;
    const T::Panel* panel = T::forPreset(formatId);
    if (panel == nullptr) {
        if (formatId >= FIRST_RESOLUTION_ID && formatId <= LAST_RESOLUTION_ID) {
            fillResolutionSetting(&job, formatId);
            return true;
        }
        return fillVideoTargetSetting(formatId);
    }
    job.outputId = panel->id;
    job.formatId = panel->audioFormat;
    // The preset's fixed values first, so a codec choice may still change the output id.
    for (const PresetValues& fixed : PRESET_VALUES) {
        if (fixed.panelId != panel->id) continue;
        setIfGiven(job.outputId, fixed.outputId);
        setIfGiven(job.frameRate, fixed.frameRate);
        setIfGiven(job.width, fixed.width);
        setIfGiven(job.height, fixed.height);
        setIfGiven(job.presetPictureSize, fixed.presetPictureSize);
        setIfGiven(job.sampleRate, fixed.sampleRate);
        setIfGiven(job.channels, fixed.channels);
        setIfGiven(job.bitsPerSample, fixed.bitsPerSample);
    }
    if (panel->id == AVI_MPEG4 && aviAudioCodec() != AVI_CODEC_AC3) {
        job.formatId = 18;
    }
    if (panel->id == SWF && !swfAudioOn()) {
        job.formatId = 0;
    }
    applyVideoPartSettings(&job, panel->id);
    if (v.frameRate != nullptr) {
        applyFrameRate(&job, panel->group, v.frameRate);
    }
    const std::pair<const OptionRows*, const s::gui::IComboBox*> lists[] = {
        {v.audioQualityRows, v.audioQuality}, {v.sampleRateRows, v.sampleRate}, {v.channelsRows, v.channels}};
    for (const auto& [rows, list] : lists) {
        if (list != nullptr && rows != nullptr) {
            applyOption(&job, *rows, list);
        }
    }
    if (v.volume != nullptr) {
        applyOption(&job, OptionRows::volume(), v.volume);
    }
    if (panel->id == P2P) {
        const ComboBoxItem* content = v.content != nullptr ? v.content->getSelectedItem() : nullptr;
        const P2pContentClass* kind = content != nullptr ? p2pContentClass(content->value) : nullptr;
        if (kind != nullptr) {
            writeInt(optionGroup(panel->group), L"VContent", kind->code);
            const ComboBoxItem* boost = v.boost != nullptr ? v.boost->getSelectedItem() : nullptr;
            job.width = kind->width;
            job.height = kind->height;
            job.bitRate = static_cast<int32_t>(kind->audioKbps * 1000);
            job.sampleRate = 48000;
            job.videoBitRate = static_cast<int64_t>(boost != nullptr ? boost->value : 100) * kind->factor;
        }
    }
    applyTestRun(&job, panel->group, v.test, v.testPosition, v.testSeconds);
    return true;
}

} // namespace s::sound::gui::dialogs::mp3conv
