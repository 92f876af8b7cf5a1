// Where the preset and target panels meet the codec, quality, size, TV-system,
// screen-shape, target-value and audio-choice rows.
#include "app/sound/gui/dialogs/mp3conv/Dialog.h"

#include "app/sound/gui/dialogs/mp3conv/ConvertToList.h"
#include "app/video/AudioRows.h"
#include "app/video/PictureSizeRows.h"
#include "app/video/TargetFormatRows.h"
#include "app/video/TargetValueRows.h"
#include "app/video/TvSystemRows.h"
#include "app/video/VideoCodecRows.h"
#include "app/video/VideoPresetTable.h"
#include "app/video/VideoQualityRows.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/CheckBox.h"
#include "widgets/gui/win/ComboBox.h"

namespace s::sound::gui::dialogs::mp3conv {

using s::video::AudioRows;
using s::video::PictureSizeRows;
using s::video::TargetFormatRows;
using s::video::TargetValueRows;
using s::video::TvSystemRows;
using s::video::VideoCodecRows;
using s::video::VideoQualityRows;
typedef VideoPresetTable T;

namespace {

constexpr int32_t SIZE_PRESET = 1;
constexpr int32_t SIZE_TARGET = 2;
constexpr int32_t SIZE_BY_IMAGE = 3;
constexpr int32_t SIZE_RELATIVE = 4;
constexpr int32_t BIT_RATE_LOWEST = 1000;
constexpr int32_t BIT_RATE_HIGHEST = 2137483646;

// When a target panel's row is applied: 0 container and level, 1 the target value,
// 2 the picture size; -1 rows that apply nothing.
int32_t targetStage(int32_t token) {
    switch (token) {
    case T::CONTAINER:
    case T::VQ: return 0;
    case T::FILE_SIZE:
    case T::BIT_RATE:
    case T::RELATIVE_SIZE:
    case T::RELATIVE_BIT_RATE:
    case T::QUALITY_AUTO: return 1;
    case T::SIZE_TARGET:
    case T::SIZE_BY_IMAGE:
    case T::SIZE_RELATIVE_IMAGE: return 2;
    default: return -1;
    }
}

} // namespace

s::gui::IComponent* Dialog::buildVideoPartRow(int32_t token, const wchar_t* group) {
    VideoControls& v = video_;
    switch (token) {
    case T::CODEC_MP4: return VideoCodecRows::buildVideoCodecRowMpeg4(this, group, &v.videoCodec);
    case T::CODEC_DIVX: return VideoCodecRows::buildVideoCodecRowAviDivx(this, &v.videoCodec);
    case T::CODEC_FLV: return VideoCodecRows::buildVideoCodecRowFlv(this, &v.videoCodec);
    case T::CODEC_MPG: return VideoCodecRows::buildVideoCodecRowMpg(this, group, &v.videoCodec);
    case T::CODEC_VCD: return VideoCodecRows::buildVideoCodecRowVcd(this, &v.videoCodec);
    case T::CODEC_WMV: return VideoCodecRows::buildVideoCodecRowWmv(this, &v.videoCodec);
    case T::VS_H263: return VideoCodecRows::buildVideoStreamRowH263(this);
    case T::VS_THEORA: return VideoCodecRows::buildVideoStreamRowTheora(this);
    case T::A_AVI: return AudioRows::buildAudioCodecChoiceRowAvi(this, &v.aviAudioCodec);
    case T::A_SWF: return AudioRows::buildAudioChoiceRowSwf(this, &v.swfAudio);
    case T::TV: return TvSystemRows::buildTvSystemRow(this, group, &v.tvSystem);
    case T::SCR_DVD: return TvSystemRows::buildScreenShapeRowDvd(this, &v.screenShape);
    case T::SCR_SVCD: return TvSystemRows::buildScreenShapeRowSvcd(this, &v.screenShape);
    case T::Q:
    case T::Q_H263:
    case T::Q_THEORA: {
        v.qualityHasCustom = true;
        auto build = token == T::Q        ? &VideoQualityRows::buildVideoQualityRow
                     : token == T::Q_H263 ? &VideoQualityRows::buildVideoQualityRowH263
                                          : &VideoQualityRows::buildVideoQualityRowTheora;
        return build(this, group, &v.videoQuality, &v.qualitySizeLine, &v.qualitySizeField, &v.qualityRateLine,
                     &v.qualityRateField);
    }
    case T::Q_DVD: return VideoQualityRows::buildVideoQualityRowDvd(this, &v.videoQuality);
    case T::Q_SVCD: return VideoQualityRows::buildVideoQualityRowSvcd(this, &v.videoQuality);
    case T::SZ:
        v.sizeKind = SIZE_PRESET;
        return PictureSizeRows::buildImageSizeRow(this, group, &v.sizeList, &v.sizeCustom, &v.widthField,
                                                  &v.heightField);
    case T::SZ_AND:
        v.sizeKind = SIZE_PRESET;
        return PictureSizeRows::buildImageSizeRowAndroid(this, &v.sizeList, &v.sizeCustom, &v.widthField,
                                                         &v.heightField);
    case T::SIZE_TARGET:
        v.sizeKind = SIZE_TARGET;
        return PictureSizeRows::buildImageSizeRowTarget(this, group, &v.sizeList, &v.sizeCustom, &v.widthField,
                                                        &v.heightField);
    case T::SIZE_BY_IMAGE:
        v.sizeKind = SIZE_BY_IMAGE;
        return PictureSizeRows::buildImageSizeRowByImageSize(this, &v.sizeList, &v.sizeOuter, &v.sizeCustom,
                                                             &v.widthField, &v.heightField);
    case T::SIZE_RELATIVE_IMAGE:
        v.sizeKind = SIZE_RELATIVE;
        return PictureSizeRows::buildImageSizeRowRelative(this, &v.sizeList);
    case T::FILE_SIZE: return TargetValueRows::buildFileSizeRow(this, &v.targetField);
    case T::BIT_RATE: return TargetValueRows::buildBitRateRow(this, &v.targetField);
    case T::RELATIVE_SIZE: return TargetValueRows::buildRelativeSizeRow(this, &v.relative);
    case T::RELATIVE_BIT_RATE: return TargetValueRows::buildRelativeBitRateRow(this, &v.relative);
    case T::QUALITY_AUTO:
        return TargetValueRows::buildQualityAutoRow(this, group, &v.qualityAuto, &v.qualityAutoCustom,
                                                    &v.qualityAutoField);
    case T::CONTAINER: return TargetFormatRows::buildVideoFormatRow(this, group, &v.container);
    case T::VQ: return TargetFormatRows::buildVqRow(this, group, &v.vqLevel);
    default: return nullptr;
    }
}

bool Dialog::onVideoPartEvent(base::IObject* source, bool* consumed) {
    VideoControls& v = video_;
    auto is = [source](base::IObject* control) { return control != nullptr && control == source; };
    const wchar_t* group = v.group;
    if (is(v.videoCodec)) {
        *consumed = VideoCodecRows::saveVideoCodec(this, group, v.videoCodec);
    } else if (is(v.tvSystem)) {
        *consumed = TvSystemRows::saveTvSystem(this, group, v.tvSystem);
    } else if (is(v.screenShape)) {
        *consumed = TvSystemRows::saveScreenShape(this, group, v.screenShape);
    } else if (is(v.aviAudioCodec)) {
        *consumed = AudioRows::saveAudioCodecChoice(this, v.aviAudioCodec, v.channels);
    } else if (is(v.swfAudio)) {
        *consumed = AudioRows::saveAudioChoice(this, v.swfAudio);
    } else if (is(v.videoQuality)) {
        *consumed = v.qualityHasCustom ? VideoQualityRows::saveVideoQualityWithCustom(
                                             this, group, v.videoQuality, v.qualitySizeLine, v.qualityRateLine)
                                       : VideoQualityRows::saveVideoQuality(this, group, v.videoQuality);
    } else if (is(v.sizeList)) {
        *consumed = v.sizeKind == SIZE_RELATIVE ? PictureSizeRows::saveImageSizeRelative(this, v.sizeList)
                    : v.sizeKind == SIZE_PRESET ? PictureSizeRows::saveImageSize(this, group, v.sizeList, v.sizeCustom)
                                                : PictureSizeRows::saveImageSizeAuto(this, group, v.sizeList,
                                                                                     v.sizeCustom);
    } else if (is(v.relative)) {
        *consumed = TargetValueRows::saveVideoQualityRelative(this, group, v.relative);
    } else if (is(v.qualityAuto)) {
        *consumed = TargetValueRows::saveVideoQualityAuto(this, group, v.qualityAuto, v.qualityAutoCustom);
    } else if (is(v.container)) {
        *consumed = TargetFormatRows::saveVideoFormat(this, group, v.container);
    } else if (is(v.vqLevel)) {
        *consumed = TargetFormatRows::saveVq(this, group, v.vqLevel);
    } else {
        return false;
    }
    return true;
}

void Dialog::applyVideoPartSettings(Setting* record, int32_t presetId) {
    VideoControls& v = video_;
    const wchar_t* group = v.group;
    const T::Panel* panel = T::forPreset(presetId);
    if (panel == nullptr || group == nullptr) {
        return;
    }
    for (const T::Row& row : panel->rows) {
        switch (row.token) {
        case T::CODEC_MP4: {
            VideoCodecRows::Mpeg4Ids ids{};
            if (VideoCodecRows::mpeg4Ids(group, &ids)) {
                VideoCodecRows::applyVideoCodecMpeg4(record, v.videoCodec, ids);
            }
            break;
        }
        case T::CODEC_DIVX: VideoCodecRows::applyVideoCodecAviDivx(record, v.videoCodec); break;
        case T::CODEC_FLV: VideoCodecRows::applyVideoCodecFlv(this, v.videoCodec); break;
        case T::CODEC_WMV: VideoCodecRows::applyVideoCodecWmv(record, v.videoCodec); break;
        case T::CODEC_VCD: VideoCodecRows::applyVideoCodecVcd(record, v.videoCodec, v.tvSystem); break;
        case T::CODEC_MPG: {
            VideoCodecRows::DiscIds disc{};
            int32_t standard = 0;
            int32_t alternative = 0;
            if (VideoCodecRows::discIds(group, &disc)) {
                VideoCodecRows::applyVideoCodecDvd(record, v.videoCodec, v.tvSystem, v.screenShape, disc);
            } else if (VideoCodecRows::mpgIds(group, &standard, &alternative)) {
                VideoCodecRows::applyVideoCodecMpg(this, v.videoCodec, standard, alternative);
            }
            break;
        }
        case T::TV: {
            int32_t ids[4] = {0, 0, 0, 0};
            if (TvSystemRows::dvIds(group, ids)) {
                TvSystemRows::applyTvSystem(this, v.tvSystem, ids);
            }
            break;
        }
        case T::Q:
        case T::Q_H263:
        case T::Q_THEORA:
        case T::Q_DVD:
        case T::Q_SVCD:
            VideoQualityRows::applyVideoQualityOrSize(this, record, group, v.videoQuality, v.qualityRateField,
                                                      v.qualitySizeField);
            break;
        case T::SZ:
        case T::SZ_AND:
            PictureSizeRows::applyImageSize(this, record, group, v.sizeList, v.widthField, v.heightField);
            break;
        default: break;
        }
    }
}

int32_t Dialog::aviAudioCodec() {
    const auto* item = video_.aviAudioCodec != nullptr ? video_.aviAudioCodec->getSelectedItem() : nullptr;
    return item != nullptr ? item->value : readInt(optionGroup(L"VC_Avi_Mpeg4_Ac3"), L"Codec", AudioRows::CODEC_OTHER);
}

bool Dialog::swfAudioOn() {
    return video_.swfAudio != nullptr ? AudioRows::audioKept(video_.swfAudio)
                                      : readBool(optionGroup(L"VC_Swf_Flv_Mp3"), L"Audio", true);
}

bool Dialog::fillVideoTargetSetting(int32_t formatId) {
    const T::Panel* panel = T::forTarget(formatId);
    if (panel == nullptr) {
        return true;
    }
    VideoControls& v = video_;
    Setting* record = &setting_;
    record->outputId = ConvertToList::TARGET_ID;
    record->formatId = 18;
    record->targetMode = 1;
    const wchar_t* group = panel->group;
    // Container and level first (the level turns the container's id into its variant),
    // then the target value, whose quality level clears a two-pass the level set, then
    // the picture size: the panel shows them in another order.
    for (int32_t stage = 0; stage < 3; ++stage) {
        for (const T::Row& row : panel->rows) {
            if (targetStage(row.token) != stage) {
                continue;
            }
            switch (row.token) {
            case T::FILE_SIZE: TargetValueRows::applyByFileSize(this, record, v.targetField); break;
            case T::BIT_RATE: TargetValueRows::applyByBitRate(this, record, v.targetField); break;
            case T::RELATIVE_SIZE:
            case T::RELATIVE_BIT_RATE: {
                // The relative targets take their choice directly.
                const int32_t value = TargetValueRows::relativeChoice(group, v.relative);
                if (value >= BIT_RATE_LOWEST && value <= BIT_RATE_HIGHEST) {
                    record->videoBitRate = value;
                } else {
                    record->videoQuality = value;
                }
                break;
            }
            case T::QUALITY_AUTO:
                TargetValueRows::applyVideoQualityBitRate(this, record, group, v.qualityAuto, v.qualityAutoField);
                break;
            case T::SIZE_TARGET:
            case T::SIZE_BY_IMAGE:
                PictureSizeRows::applyImageSizeTarget(this, record, group, v.sizeList, v.widthField, v.heightField);
                break;
            case T::SIZE_RELATIVE_IMAGE: PictureSizeRows::applyImageSizeRelative(this, record, v.sizeList); break;
            case T::CONTAINER: TargetFormatRows::applyVideoFormat(record, v.container); break;
            case T::VQ: TargetFormatRows::applyVq(record, v.vqLevel); break;
            default: break;
            }
        }
    }
    applyTestRun(record, group, v.test, v.testPosition, v.testSeconds);
    return true;
}

} // namespace s::sound::gui::dialogs::mp3conv
