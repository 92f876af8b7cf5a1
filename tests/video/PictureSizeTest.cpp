// Picture size rows: sizes into the record, custom fields, and rows whose stored value
// matches no entry.
#include "VideoDialogFixture.h"

#include "app/video/AudioRows.h"
#include "app/video/PictureSizeRows.h"
#include "app/video/RowParts.h"
#include "app/video/TargetFormatRows.h"
#include "app/video/TargetValueRows.h"
#include "app/video/TvSystemRows.h"
#include "app/video/VideoCodecRows.h"
#include "app/video/VideoList.h"
#include "app/video/VideoQualityRows.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/TextField.h"

namespace {

using namespace videotest;
using s::gui::win::Box;
using s::gui::win::TextField;
using s::video::PictureSizeRows;
using s::video::RowParts;

class PictureSizeTest : public VideoDialogTest {};

TEST_F(PictureSizeTest, SizeChoicesAndCustomFieldsGiveTheRecordsSize) {
    ComboBox *preset = nullptr, *target = nullptr, *android = nullptr, *relative = nullptr;
    Box *line = nullptr, *block = nullptr, *androidLine = nullptr;
    TextField *width = nullptr, *height = nullptr, *targetWidth = nullptr, *targetHeight = nullptr;
    TextField *androidWidth = nullptr, *androidHeight = nullptr;
    build([&] { return PictureSizeRows::buildImageSizeRow(dialog_, L"VC_Webm_Vp8_Vorbis", &preset, &line, &width, &height); });
    build([&] {
        return PictureSizeRows::buildImageSizeRowTarget(dialog_, L"ByFileSize", &target, &block, &targetWidth,
                                                        &targetHeight);
    });
    build([&] {
        return PictureSizeRows::buildImageSizeRowAndroid(dialog_, &android, &androidLine, &androidWidth, &androidHeight);
    });
    build([&] { return PictureSizeRows::buildImageSizeRowRelative(dialog_, &relative); });
    onUi([&] {
        EXPECT_EQ(0, selected(preset));
        EXPECT_EQ(PictureSizeRows::AUTOMATIC, selected(target));
        EXPECT_EQ(PictureSizeRows::size(480, 320), selected(android));
        EXPECT_EQ(PictureSizeRows::RELATIVE_BASE + 7500, selected(relative));
        EXPECT_FALSE(RowParts::isShown(line));
        EXPECT_FALSE(RowParts::isShown(block));
        EXPECT_STREQ(L"854", width->getText());
        EXPECT_STREQ(L"352", targetHeight->getText());
        EXPECT_STREQ(L"480", androidWidth->getText());
    });
    struct Case {
        int32_t value;
        const wchar_t *w, *h;
        int32_t width, height;
        uint8_t automatic;
        bool shown;
    } cases[] = {
        {0, L"640", L"360", 0, 0, 0, false},
        {PictureSizeRows::size(848, 477), L"640", L"360", 848, 477, 0, false},
        {PictureSizeRows::RELATIVE_BASE + 7500, L"640", L"360", 16384, 7500, 0, false},
        {PictureSizeRows::CUSTOM, L"640", L"360", 640, 360, 0, true},
        {PictureSizeRows::CUSTOM, L"abc", L"360", 0, 0, 0, true},
        {PictureSizeRows::CUSTOM, L"16384", L"360", 0, 0, 0, true},
        {PictureSizeRows::CUSTOM, L"16383", L"", 0, 0, 0, true},
        {PictureSizeRows::AUTOMATIC, L"640", L"360", 0, 0, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        store(L"ByFileSize", L"VSizeWidth", 11);
        store(L"ByFileSize", L"VSizeHeight", 11);
        onUi([&] {
            Setting* record = dialog_->jobRecord();
            targetWidth->setText(c.w, false);
            targetHeight->setText(c.h, false);
            pick(target, c.value);
            PictureSizeRows::saveImageSizeAuto(dialog_, L"ByFileSize", target, block);
            EXPECT_EQ(c.shown, RowParts::isShown(block));
            record->reset();
            PictureSizeRows::applyImageSizeTarget(dialog_, record, L"ByFileSize", target, targetWidth, targetHeight);
            EXPECT_EQ(c.width, record->width);
            EXPECT_EQ(c.height, record->height);
            EXPECT_EQ(c.automatic, record->autoPictureSize);
            if (c.value == PictureSizeRows::AUTOMATIC) {
                return;  // the preset list has no automatic entry
            }
            width->setText(c.w, false);
            height->setText(c.h, false);
            pick(preset, c.value);
            PictureSizeRows::saveImageSize(dialog_, L"VC_Webm_Vp8_Vorbis", preset, line);
            EXPECT_EQ(c.shown, RowParts::isShown(line));
            record->reset();
            PictureSizeRows::applyImageSize(dialog_, record, L"VC_Webm_Vp8_Vorbis", preset, width, height);
            EXPECT_EQ(c.width, record->width);
            EXPECT_EQ(c.height, record->height);
        });
        EXPECT_EQ(c.value, stored(L"ByFileSize", L"VSize"));
        EXPECT_EQ(c.value == PictureSizeRows::AUTOMATIC,
                  context_->store()->getBool(groupOf(L"ByFileSize").c_str(), L"VSizeAuto", false));
        // Only a usable side is remembered.
        EXPECT_EQ(wcscmp(c.w, L"640") == 0 ? 640 : wcscmp(c.w, L"16383") == 0 ? 16383 : 11,
                  stored(L"ByFileSize", L"VSizeWidth"));
    }
    // Rules, headers and separators go back to the entry before and store nothing new.
    onUi([&] {
        pick(preset, PictureSizeRows::size(1024, 576));
        PictureSizeRows::saveImageSize(dialog_, L"VC_Webm_Vp8_Vorbis", preset, line);
        for (int32_t i = 0; i < preset->getItemCount(); ++i) {
            if (preset->getItem(i)->value == 100) {
                pickIndex(preset, i);
                PictureSizeRows::saveImageSize(dialog_, L"VC_Webm_Vp8_Vorbis", preset, line);
                EXPECT_EQ(PictureSizeRows::size(1024, 576), selected(preset));
            }
        }
        pick(relative, PictureSizeRows::RELATIVE_BASE + 2500);
        PictureSizeRows::saveImageSizeRelative(dialog_, relative);
        Setting* record = dialog_->jobRecord();
        record->reset();
        PictureSizeRows::applyImageSizeRelative(dialog_, record, relative);
        EXPECT_EQ(16384, record->width);
        EXPECT_EQ(2500, record->height);
    });
    EXPECT_EQ(PictureSizeRows::size(1024, 576), stored(L"VC_Webm_Vp8_Vorbis", L"VSize"));
    EXPECT_EQ(PictureSizeRows::RELATIVE_BASE + 2500, stored(L"ByImageSizeRelative", L"VSize"));
}

TEST_F(PictureSizeTest, AStoredValueNoEntryCarriesAppliesTheRowsDefault) {
    using namespace s::video;
    constexpr int32_t NO_SUCH = 123457;
    for (const wchar_t* group : {L"VC_Avi_Divx3_Mp3", L"VC_Flv_Flv_Mp3", L"VC_Wmv_Wmv1_Wma", L"VC_Mpg_Mpg_Mp2",
                                 L"VC_Mpg_Mpg_Mp2_Vcd", L"VC_Mp4_Mpeg4_Aac", L"VC_Dv_Dv", L"VC_Mpg_Mpg_Ac3_Dvd",
                                 L"VC_Mpg_Mpg_Mp2_Svcd", L"VC_Avi_Mpeg4_Ac3", L"VC_3gp_H263_Amr",
                                 L"VC_Ogg_Theora_Vorbis", L"ByFileSizeRelative", L"ByBitRateRelative", L"ByImageSize",
                                 L"ByImageSizeRelative", L"ByBitRate", L"ByFileSize", L"VC_Mp4_Mpeg4_Aac_Android"}) {
        for (const wchar_t* key : {L"VCodec", L"VNtsc", L"VScreen", L"Codec", L"VQuality", L"VQ", L"VFormat", L"VSize"}) {
            store(group, key, NO_SUCH);
        }
        storeBool(group, L"VQualityAuto", false);
        storeBool(group, L"VFormatAuto", false);
        storeBool(group, L"VSizeAuto", false);
    }
    struct Row {
        const wchar_t* name;
        std::function<s::gui::IComponent*(ComboBox**)> make;
        const VideoList& rows;
        // What a batch puts into the record from the list (the record starts reset).
        std::function<int64_t(Setting*, ComboBox*)> apply;
        int64_t applied;
    };
    Box* box = nullptr;
    TextField *f1 = nullptr, *f2 = nullptr;
    Box* b2 = nullptr;
    const Row rows[] = {
        {L"divx", [&](ComboBox** l) { return VideoCodecRows::buildVideoCodecRowAviDivx(dialog_, l); },
         VideoCodecRows::aviDivx(), [](Setting* r, ComboBox* l) { VideoCodecRows::applyVideoCodecAviDivx(r, l); return r->outputId; }, 10120},
        {L"flv", [&](ComboBox** l) { return VideoCodecRows::buildVideoCodecRowFlv(dialog_, l); }, VideoCodecRows::flv(),
         [&](Setting* r, ComboBox* l) { VideoCodecRows::applyVideoCodecFlv(dialog_, l); return r->outputId; }, 10301},
        {L"wmv", [&](ComboBox** l) { return VideoCodecRows::buildVideoCodecRowWmv(dialog_, l); }, VideoCodecRows::wmv(),
         [](Setting* r, ComboBox* l) { VideoCodecRows::applyVideoCodecWmv(r, l); return r->outputId; }, 10200},
        {L"mpg", [&](ComboBox** l) { return VideoCodecRows::buildVideoCodecRowMpg(dialog_, L"VC_Mpg_Mpg_Mp2", l); },
         VideoCodecRows::mpg(),
         [&](Setting* r, ComboBox* l) { VideoCodecRows::applyVideoCodecMpg(dialog_, l, 10031, 10032); return r->outputId; }, 10031},
        {L"mpeg4", [&](ComboBox** l) { return VideoCodecRows::buildVideoCodecRowMpeg4(dialog_, L"VC_Mp4_Mpeg4_Aac", l); },
         VideoCodecRows::mpeg4(),
         [](Setting* r, ComboBox* l) {
             VideoCodecRows::Mpeg4Ids ids{};
             VideoCodecRows::mpeg4Ids(L"VC_Mp4_Mpeg4_Aac", &ids);
             VideoCodecRows::applyVideoCodecMpeg4(r, l, ids);
             return r->outputId;
         }, 10006},
        {L"vcd+tv", [&](ComboBox** l) { return VideoCodecRows::buildVideoCodecRowVcd(dialog_, l); }, VideoCodecRows::vcd(),
         [](Setting* r, ComboBox* l) { VideoCodecRows::applyVideoCodecVcd(r, l, nullptr); return r->outputId; }, 10080},
        {L"tv", [&](ComboBox** l) { return TvSystemRows::buildTvSystemRow(dialog_, L"VC_Dv_Dv", l); },
         TvSystemRows::tvSystem(),
         [&](Setting* r, ComboBox* l) {
             const int32_t ids[4] = {10108, 10109, 10110, 10111};
             TvSystemRows::applyTvSystem(dialog_, l, ids);
             return r->outputId;
         }, 10108},
        {L"dvd screen", [&](ComboBox** l) { return TvSystemRows::buildScreenShapeRowDvd(dialog_, l); },
         TvSystemRows::screenDvd(),
         [](Setting* r, ComboBox* l) {
             VideoCodecRows::DiscIds ids{};
             VideoCodecRows::discIds(L"VC_Mpg_Mpg_Ac3_Dvd", &ids);
             VideoCodecRows::applyVideoCodecDvd(r, nullptr, nullptr, l, ids);
             return r->outputId;
         }, 10034},
        {L"svcd screen", [&](ComboBox** l) { return TvSystemRows::buildScreenShapeRowSvcd(dialog_, l); },
         TvSystemRows::screenSvcd(),
         [](Setting* r, ComboBox* l) {
             VideoCodecRows::DiscIds ids{};
             VideoCodecRows::discIds(L"VC_Mpg_Mpg_Mp2_Svcd", &ids);
             VideoCodecRows::applyVideoCodecDvd(r, nullptr, nullptr, l, ids);
             return r->outputId;
         }, 10090},
        {L"avi audio", [&](ComboBox** l) { return AudioRows::buildAudioCodecChoiceRowAvi(dialog_, l); },
         AudioRows::audioCodec(), [](Setting*, ComboBox* l) { return static_cast<int64_t>(l->getSelectedItem()->value); }, 2},
        {L"quality", [&](ComboBox** l) {
             return VideoQualityRows::buildVideoQualityRow(dialog_, L"VC_Mp4_Mpeg4_Aac", l, &box, &f1, &b2, &f2); },
         VideoQualityRows::general(),
         [&](Setting* r, ComboBox* l) {
             VideoQualityRows::applyVideoQualityOrSize(dialog_, r, L"VC_Mp4_Mpeg4_Aac", l, f2, f1);
             return static_cast<int64_t>(r->videoQuality);
         }, 105},
        {L"h263", [&](ComboBox** l) {
             return VideoQualityRows::buildVideoQualityRowH263(dialog_, L"VC_3gp_H263_Amr", l, &box, &f1, &b2, &f2); },
         VideoQualityRows::h263(),
         [&](Setting* r, ComboBox* l) {
             VideoQualityRows::applyVideoQualityOrSize(dialog_, r, L"VC_3gp_H263_Amr", l, f2, f1);
             return r->videoBitRate;
         }, 100000},
        {L"theora", [&](ComboBox** l) {
             return VideoQualityRows::buildVideoQualityRowTheora(dialog_, L"VC_Ogg_Theora_Vorbis", l, &box, &f1, &b2, &f2); },
         VideoQualityRows::theora(),
         [&](Setting* r, ComboBox* l) {
             VideoQualityRows::applyVideoQualityOrSize(dialog_, r, L"VC_Ogg_Theora_Vorbis", l, f2, f1);
             return static_cast<int64_t>(r->videoQuality);
         }, 105},
        {L"dvd quality", [&](ComboBox** l) { return VideoQualityRows::buildVideoQualityRowDvd(dialog_, l); },
         VideoQualityRows::dvd(),
         [&](Setting* r, ComboBox* l) {
             VideoQualityRows::applyVideoQualityOrSize(dialog_, r, L"VC_Mpg_Mpg_Ac3_Dvd", l, nullptr, nullptr);
             return static_cast<int64_t>(r->videoQuality);
         }, 900},
        {L"svcd quality", [&](ComboBox** l) { return VideoQualityRows::buildVideoQualityRowSvcd(dialog_, l); },
         VideoQualityRows::svcd(),
         [&](Setting* r, ComboBox* l) {
             VideoQualityRows::applyVideoQualityOrSize(dialog_, r, L"VC_Mpg_Mpg_Mp2_Svcd", l, nullptr, nullptr);
             return static_cast<int64_t>(r->videoQuality);
         }, 2137484441},
        {L"relative size", [&](ComboBox** l) { return TargetValueRows::buildRelativeSizeRow(dialog_, l); },
         TargetValueRows::relativeSize(),
         [](Setting*, ComboBox* l) { return static_cast<int64_t>(TargetValueRows::relativeChoice(L"ByFileSizeRelative", l)); },
         2147483617},
        {L"relative rate", [&](ComboBox** l) { return TargetValueRows::buildRelativeBitRateRow(dialog_, l); },
         TargetValueRows::relativeBitRate(),
         [](Setting*, ComboBox* l) { return static_cast<int64_t>(TargetValueRows::relativeChoice(L"ByBitRateRelative", l)); },
         670},
        {L"quality auto", [&](ComboBox** l) { return TargetValueRows::buildQualityAutoRow(dialog_, L"ByImageSize", l, &box, &f1); },
         TargetValueRows::qualityAuto(),
         [&](Setting* r, ComboBox* l) {
             TargetValueRows::applyVideoQualityBitRate(dialog_, r, L"ByImageSize", l, f1);
             return static_cast<int64_t>(r->videoQuality);
         }, 105},
        {L"level", [&](ComboBox** l) { return TargetFormatRows::buildVqRow(dialog_, L"ByFileSize", l); },
         TargetFormatRows::levels(),
         [](Setting* r, ComboBox* l) {
             r->outputId = TargetFormatRows::AUTOMATIC_OUTPUT;
             TargetFormatRows::applyVq(r, l);
             return static_cast<int64_t>(r->outputId);
         }, 268435445},
        {L"container", [&](ComboBox** l) { return TargetFormatRows::buildVideoFormatRow(dialog_, L"ByFileSize", l); },
         TargetFormatRows::containers(),
         [](Setting* r, ComboBox* l) { TargetFormatRows::applyVideoFormat(r, l); return static_cast<int64_t>(r->outputId); },
         268435455},
        {L"picture", [&](ComboBox** l) {
             return PictureSizeRows::buildImageSizeRow(dialog_, L"VC_Mp4_Mpeg4_Aac", l, &box, &f1, &f2); },
         PictureSizeRows::preset(),
         [&](Setting* r, ComboBox* l) {
             PictureSizeRows::applyImageSize(dialog_, r, L"VC_Mp4_Mpeg4_Aac", l, f1, f2);
             return static_cast<int64_t>(r->width) * 100000 + r->height;
         }, 0},
        {L"picture target", [&](ComboBox** l) {
             return PictureSizeRows::buildImageSizeRowTarget(dialog_, L"ByBitRate", l, &box, &f1, &f2); },
         PictureSizeRows::target(),
         [&](Setting* r, ComboBox* l) {
             PictureSizeRows::applyImageSizeTarget(dialog_, r, L"ByBitRate", l, f1, f2);
             return static_cast<int64_t>(r->autoPictureSize);
         }, 1},
        {L"picture by size", [&](ComboBox** l) {
             return PictureSizeRows::buildImageSizeRowByImageSize(dialog_, l, &b2, &box, &f1, &f2); },
         PictureSizeRows::byImageSize(),
         [&](Setting* r, ComboBox* l) {
             PictureSizeRows::applyImageSize(dialog_, r, L"ByImageSize", l, f1, f2);
             return static_cast<int64_t>(r->width) * 100000 + r->height;
         }, 624LL * 100000 + 352},
        {L"picture relative", [&](ComboBox** l) { return PictureSizeRows::buildImageSizeRowRelative(dialog_, l); },
         PictureSizeRows::relative(),
         [&](Setting* r, ComboBox* l) {
             PictureSizeRows::applyImageSizeRelative(dialog_, r, l);
             return static_cast<int64_t>(r->height);
         }, 7500},
        {L"android", [&](ComboBox** l) { return PictureSizeRows::buildImageSizeRowAndroid(dialog_, l, &box, &f1, &f2); },
         PictureSizeRows::android(),
         [&](Setting* r, ComboBox* l) {
             PictureSizeRows::applyImageSize(dialog_, r, L"VC_Mp4_Mpeg4_Aac_Android", l, f1, f2);
             return static_cast<int64_t>(r->width) * 100000 + r->height;
         }, 480LL * 100000 + 320},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ComboBox* list = nullptr;
        build([&] { return r.make(&list); });
        onUi([&] {
            EXPECT_EQ(r.rows.defaultValue(), selected(list));
            Setting* record = dialog_->jobRecord();
            record->reset();
            EXPECT_EQ(r.applied, r.apply(record, list));
        });
    }
}

} // namespace
