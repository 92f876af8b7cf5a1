// Target value, video quality, level and container rows: typed numbers, levels and what
// each choice puts into the job record.
#include "VideoDialogFixture.h"

#include "app/video/RowParts.h"
#include "app/video/TargetFormatRows.h"
#include "app/video/TargetValueRows.h"
#include "app/video/VideoQualityRows.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/TextField.h"

namespace {

using namespace videotest;
using s::gui::win::Box;
using s::gui::win::TextField;
using s::video::RowParts;
using s::video::TargetFormatRows;
using s::video::TargetValueRows;
using s::video::VideoQualityRows;

class TargetRowsTest : public VideoDialogTest {};

TEST_F(TargetRowsTest, TypedSizesAndBitRatesReachTheRecordInRangeOrFallBack) {
    TextField *size = nullptr, *rate = nullptr, *qualitySize = nullptr, *qualityRate = nullptr, *autoRate = nullptr;
    ComboBox *quality = nullptr, *autoList = nullptr;
    Box *sizeLine = nullptr, *rateLine = nullptr, *autoBlock = nullptr;
    build([&] { return TargetValueRows::buildFileSizeRow(dialog_, &size); });
    build([&] { return TargetValueRows::buildBitRateRow(dialog_, &rate); });
    build([&] {
        return VideoQualityRows::buildVideoQualityRow(dialog_, L"VC_Mp4_Mpeg4_Aac", &quality, &sizeLine, &qualitySize,
                                                      &rateLine, &qualityRate);
    });
    build([&] { return TargetValueRows::buildQualityAutoRow(dialog_, L"ByImageSize", &autoList, &autoBlock, &autoRate); });
    onUi([&] {
        EXPECT_STREQ(L"100", size->getText());
        EXPECT_STREQ(L"1000", rate->getText());
        EXPECT_STREQ(L"350", qualitySize->getText());
        EXPECT_STREQ(L"1000", qualityRate->getText());
    });
    constexpr int64_t SAME = -1;
    struct Case {
        const wchar_t* text;
        int32_t targetMb;      // stored and applied by the file-size target
        int64_t targetBps;     // the bit-rate target's record value
        int64_t customQuality; // the quality row's custom size (SAME: unchanged)
        int64_t customBps;     // the quality rows' custom bit rate (SAME: unchanged)
    } cases[] = {
        {L"120", 120, 120000, 2137483767, 120000},
        {L"0", 10, 300000, SAME, SAME},
        {L"-5", 10, 300000, SAME, SAME},
        {L"10000001", 9999900, 10000001000LL, 2147483547, 10000001000LL},
        {L"2147484", 2147484, 2147484000LL, 2139631131, 2147484000LL},
        {L"abc", 10, 300000, SAME, SAME},
        {L"", 10, 300000, SAME, SAME},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        store(L"VC_Mp4_Mpeg4_Aac", L"VFileSize", 77);
        store(L"VC_Mp4_Mpeg4_Aac", L"VBitRate", 77);
        store(L"ByImageSize", L"VBitRate", 77);
        onUi([&] {
            Setting* record = dialog_->jobRecord();
            size->setText(c.text, false);
            rate->setText(c.text, false);
            qualitySize->setText(c.text, false);
            qualityRate->setText(c.text, false);
            autoRate->setText(c.text, false);
            record->reset();
            TargetValueRows::applyByFileSize(dialog_, record, size);
            EXPECT_EQ(2137483647 + c.targetMb, record->videoQuality);
            record->reset();
            TargetValueRows::applyByBitRate(dialog_, record, rate);
            EXPECT_EQ(c.targetBps, record->videoBitRate);

            pick(quality, VideoQualityRows::CUSTOM_FILE_SIZE);
            record->reset();
            VideoQualityRows::applyVideoQualityOrSize(dialog_, record, L"VC_Mp4_Mpeg4_Aac", quality, qualityRate,
                                                      qualitySize);
            EXPECT_EQ(c.customQuality == SAME ? 0 : c.customQuality, record->videoQuality);
            pick(quality, VideoQualityRows::CUSTOM_BIT_RATE);
            record->reset();
            VideoQualityRows::applyVideoQualityOrSize(dialog_, record, L"VC_Mp4_Mpeg4_Aac", quality, qualityRate,
                                                      qualitySize);
            EXPECT_EQ(c.customBps == SAME ? 0 : c.customBps, record->videoBitRate);
            pick(autoList, TargetValueRows::QUALITY_CUSTOM_BIT_RATE);
            record->reset();
            TargetValueRows::applyVideoQualityBitRate(dialog_, record, L"ByImageSize", autoList, autoRate);
            EXPECT_EQ(c.customBps == SAME ? 0 : c.customBps, record->videoBitRate);
            EXPECT_EQ(0, record->videoQuality);
        });
        EXPECT_EQ(c.targetMb, stored(L"ByFileSize", L"VFileSize"));
        EXPECT_EQ(c.targetBps / 1000, stored(L"ByBitRate", L"VBitRate"));
        const int32_t kept = c.customBps == SAME ? 77 : static_cast<int32_t>(c.customBps / 1000);
        EXPECT_EQ(kept, stored(L"VC_Mp4_Mpeg4_Aac", L"VBitRate"));
        EXPECT_EQ(kept, stored(L"ByImageSize", L"VBitRate"));
        EXPECT_EQ(c.customQuality == SAME ? 77 : static_cast<int32_t>(c.customQuality - 2137483647),
                  stored(L"VC_Mp4_Mpeg4_Aac", L"VFileSize"));
    }
}

TEST_F(TargetRowsTest, QualityChoicesShowTheirCustomLineAndFillTheRecord) {
    TextField *qualitySize = nullptr, *qualityRate = nullptr, *autoRate = nullptr;
    ComboBox *quality = nullptr, *autoList = nullptr, *relative = nullptr;
    Box *sizeLine = nullptr, *rateLine = nullptr, *autoBlock = nullptr;
    build([&] {
        return VideoQualityRows::buildVideoQualityRow(dialog_, L"VC_Avi_Mpeg4_Ac3", &quality, &sizeLine, &qualitySize,
                                                      &rateLine, &qualityRate);
    });
    build([&] { return TargetValueRows::buildQualityAutoRow(dialog_, L"ByImageSize", &autoList, &autoBlock, &autoRate); });
    build([&] { return TargetValueRows::buildRelativeSizeRow(dialog_, &relative); });
    struct Case {
        int32_t value;
        bool sizeShown, rateShown;
        int32_t videoQuality;
        int64_t videoBitRate;
        uint8_t twoPass;
    } cases[] = {
        {105, false, false, 105, 0, 1},          {690, false, false, 690, 0, 1},
        {2137484347, false, false, 2137484347, 0, 1}, {7, false, false, 7, 0, 0},
        {1000000, false, false, 0, 1000000, 1},  {VideoQualityRows::CUSTOM_BIT_RATE, false, true, 0, 2500000, 1},
        {VideoQualityRows::CUSTOM_FILE_SIZE, true, false, 2137483767, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        onUi([&] {
            qualityRate->setText(L"2500", false);
            qualitySize->setText(L"120", false);
            pick(quality, c.value);
            VideoQualityRows::saveVideoQualityWithCustom(dialog_, L"VC_Avi_Mpeg4_Ac3", quality, sizeLine, rateLine);
            EXPECT_EQ(c.sizeShown, RowParts::isShown(sizeLine));
            EXPECT_EQ(c.rateShown, RowParts::isShown(rateLine));
            Setting* record = dialog_->jobRecord();
            record->reset();
            record->twoPass = 1;
            VideoQualityRows::applyVideoQualityOrSize(dialog_, record, L"VC_Avi_Mpeg4_Ac3", quality, qualityRate,
                                                      qualitySize);
            EXPECT_EQ(c.videoQuality, record->videoQuality);
            EXPECT_EQ(c.videoBitRate, record->videoBitRate);
            EXPECT_EQ(c.twoPass, record->twoPass);
        });
        EXPECT_EQ(c.value, stored(L"VC_Avi_Mpeg4_Ac3", L"VQuality"));
    }
    // The target quality row: automatic, a listed rate, a level after a two-pass level, the custom rate.
    struct AutoCase {
        int32_t value;
        bool blockShown;
        int32_t videoQuality;
        int64_t videoBitRate;
        uint8_t twoPass;
    } autoCases[] = {{105, false, 105, 0, 1}, {2000000, false, 0, 2000000, 1}, {3, false, 3, 0, 0},
                     {TargetValueRows::QUALITY_CUSTOM_BIT_RATE, true, 0, 1500000, 1}};
    for (const AutoCase& c : autoCases) {
        SCOPED_TRACE(c.value);
        onUi([&] {
            autoRate->setText(L"1500", false);
            pick(autoList, c.value);
            TargetValueRows::saveVideoQualityAuto(dialog_, L"ByImageSize", autoList, autoBlock);
            EXPECT_EQ(c.blockShown, RowParts::isShown(autoBlock));
            Setting* record = dialog_->jobRecord();
            record->reset();
            record->twoPass = 1;
            TargetValueRows::applyVideoQualityBitRate(dialog_, record, L"ByImageSize", autoList, autoRate);
            EXPECT_EQ(c.videoQuality, record->videoQuality);
            EXPECT_EQ(c.videoBitRate, record->videoBitRate);
            EXPECT_EQ(c.twoPass, record->twoPass);
        });
        EXPECT_EQ(c.value == 105, context_->store()->getBool(groupOf(L"ByImageSize").c_str(), L"VQualityAuto", false));
        EXPECT_EQ(c.value, stored(L"ByImageSize", L"VQuality"));
    }
    // A rebuilt row shows the stored custom choice with its block.
    build([&] { return TargetValueRows::buildQualityAutoRow(dialog_, L"ByImageSize", &autoList, &autoBlock, &autoRate); });
    onUi([&] {
        EXPECT_EQ(TargetValueRows::QUALITY_CUSTOM_BIT_RATE, selected(autoList));
        EXPECT_TRUE(RowParts::isShown(autoBlock));
        EXPECT_STREQ(L"1500", autoRate->getText());
        pick(relative, 2147483557);
        TargetValueRows::saveVideoQualityRelative(dialog_, L"ByFileSizeRelative", relative);
    });
    EXPECT_EQ(2147483557, stored(L"ByFileSizeRelative", L"VQuality"));
}

TEST_F(TargetRowsTest, ContainerAndLevelGiveTheVariantOutputIdsAndExternalLevelsNeedTheProgram) {
    ComboBox *container = nullptr, *level = nullptr;
    store(L"ByBitRate", L"VQ", 9);
    build([&] { return TargetFormatRows::buildVideoFormatRow(dialog_, L"ByBitRate", &container); });
    build([&] { return TargetFormatRows::buildVqRow(dialog_, L"ByBitRate", &level); });
    onUi([&] {
        EXPECT_EQ(0, selected(container));
        // Stored 9 shows 1 while no external program is there; the store keeps 9.
        EXPECT_EQ(1, selected(level));
        pick(level, 13);
        TargetFormatRows::saveVq(dialog_, L"ByBitRate", level);
        EXPECT_EQ(1, selected(level));
        pick(container, 100);
        TargetFormatRows::saveVideoFormat(dialog_, L"ByBitRate", container);
        EXPECT_EQ(0, selected(container));
    });
    EXPECT_EQ(1u, boxes().size());
    EXPECT_EQ(9, stored(L"ByBitRate", L"VQ"));
    EXPECT_FALSE(has(L"ByBitRate", L"VFormat"));
    installExternal();
    struct Case {
        int32_t container, level, outputId, formatId;
        uint8_t twoPass;
    } cases[] = {
        {0, 1, 268435445, 77, 7},   {0, 5, 268435405, 77, 1},   {0, 9, 268435365, 77, 1},
        {0, 13, 268435325, 77, 0},  {10, 1, 10003, 6, 7},       {10, 5, 10553, 6, 1},
        {10, 9, 10024, 6, 1},       {10, 13, 17024, 6, 0},      {20, 1, 10301, 18, 7},
        {20, 5, 10304, 18, 1},      {20, 9, 10304, 18, 1},      {20, 13, 10304, 18, 0},
        {30, 1, 10005, 5, 7},       {30, 9, 10026, 5, 1},       {30, 13, 17026, 5, 0},
        {40, 1, 10006, 5, 7},       {40, 5, 10556, 5, 1},       {40, 9, 10027, 5, 1},
        {40, 13, 17027, 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.container << " / " << c.level);
        onUi([&] {
            pick(container, c.container);
            TargetFormatRows::saveVideoFormat(dialog_, L"ByBitRate", container);
            pick(level, c.level);
            TargetFormatRows::saveVq(dialog_, L"ByBitRate", level);
            Setting* record = dialog_->jobRecord();
            record->reset();
            record->formatId = 77;
            record->twoPass = 7;
            TargetFormatRows::applyVideoFormat(record, container);
            TargetFormatRows::applyVq(record, level);
            EXPECT_EQ(c.outputId, record->outputId);
            EXPECT_EQ(c.formatId, record->formatId);
            EXPECT_EQ(c.twoPass, record->twoPass);
        });
        EXPECT_EQ(c.level, stored(L"ByBitRate", L"VQ"));
        EXPECT_EQ(c.container, stored(L"ByBitRate", L"VFormat"));
        EXPECT_EQ(c.container == 0,
                  context_->store()->getBool(groupOf(L"ByBitRate").c_str(), L"VFormatAuto", c.container != 0));
    }
    EXPECT_EQ(1u, boxes().size());
}

} // namespace
