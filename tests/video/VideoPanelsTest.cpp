// The converter dialog's video panels in the video modes: what each preset's panel
// holds, what a batch takes from it, and where each change is stored.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "PanelFixture.h"
#include "app/sound/gui/dialogs/mp3conv/ConvertToList.h"
#include "app/video/VideoPresetTable.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/CheckBox.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/TextField.h"

using namespace videotest;
using s::sound::gui::dialogs::mp3conv::ConvertToList;
using s::sound::gui::dialogs::mp3conv::Setting;
using s::sound::gui::dialogs::mp3conv::VideoControls;
using s::sound::gui::dialogs::mp3conv::VideoPresetTable;

namespace {

// Which of the panel's rows exist: F frame rate, Q audio quality, S sample rate,
// C channels, V volume, T test, P content class and boost.
std::string rowsOf(const VideoControls& v) {
    std::string out;
    out += v.frameRate != nullptr ? "F" : "";
    out += v.audioQuality != nullptr ? "Q" : "";
    out += v.sampleRate != nullptr ? "S" : "";
    out += v.channels != nullptr ? "C" : "";
    out += v.volume != nullptr ? "V" : "";
    out += v.test != nullptr && v.testPosition != nullptr && v.testSeconds != nullptr ? "T" : "";
    out += v.content != nullptr && v.boost != nullptr ? "P" : "";
    return out;
}

} // namespace

// Fresh choices everywhere. The codec rows' defaults give the output ids (the iPod, PSP
// and Android presets keep the codec row's choice over their fixed ids), the TV system
// "automatic" the disc and DV ids, the H.263 quality its bit rate.
TEST_F(PanelDialogTest, EveryPresetBuildsItsRowsAndCollectsItsJob) {
    const struct {
        int32_t id;
        const char* rows;
        int32_t outputId, formatId, frameRate, width, height, keepSize, sampleRate, channels, bitRate, quality, bits;
        int64_t videoBitRate;
    } rows[] = {
        {10001, "FQSCVT", 10001, 5, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
        {10073, "FQVT", 10073, 8, 13000, 176, 144, 1, 8000, 1, 12200, 0, 0, 100000},
        {10002, "FQSCVT", 10002, 5, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
        {10074, "FQVT", 10074, 8, 13000, 176, 144, 1, 8000, 1, 12200, 0, 0, 100000},
        {10003, "FQSCVT", 10003, 18, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
        {10118, "FQSCVT", 10120, 18, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
        {10601, "VTP", 10601, 18, 0, 624, 352, 0, 48000, 0, 128000, 0, 0, 1000000},
        {10107, "VT", 10108, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {10112, "VT", 10113, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {10301, "FQSCVT", 10301, 18, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
        {10007, "FQSCVT", 10007, 5, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
        {10005, "FQSCVT", 10005, 5, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
        {10004, "FQSCVT", 10004, 5, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
        {10006, "FQSCVT", 10006, 5, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
        {10901, "FQSVT", 10901, 5, 0, 480, 320, 0, 0, 2, 0, 100, 0, 0},
        {10701, "FQSVT", 10701, 5, 0, 320, 240, 0, 0, 2, 0, 100, 0, 0},
        {10801, "QVT", 10801, 5, 29970, 368, 192, 1, 24000, 2, 0, 100, 0, 0},
        {10031, "FQSCVT", 10031, 17, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
        {10033, "VT", 10034, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {10089, "VT", 10090, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {10079, "VT", 10080, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {10059, "FQSCVT", 10059, 21, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
        {10060, "FQSCVT", 10060, 21, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
        {10117, "FSCVT", 10117, 22, 0, 0, 0, 0, 0, 2, 0, 0, 16, 0},
        {10210, "FQSCVT", 10210, 6, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
        {10311, "FQSCVT", 10311, 18, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
        {10062, "FQSCVT", 10062, 6, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
        {10061, "FQSCVT", 10061, 6, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
        {10200, "FQSCVT", 10200, 34, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
        {10400, "FQSCVT", 10400, 21, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0},
    };
    ASSERT_EQ(sizeof(rows) / sizeof(rows[0]), VideoPresetTable::presets().size());
    open(2);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        showPanel(row.id);
        EXPECT_EQ(rowsOf(dialog_->videoControls()), row.rows);
        ASSERT_TRUE(dialog_->fillSetting(row.id));
        const Setting& job = *dialog_->jobSetting();
        EXPECT_EQ(job.outputId, row.outputId);
        EXPECT_EQ(job.formatId, row.formatId);
        EXPECT_EQ(job.frameRate, row.frameRate);
        EXPECT_EQ(job.width, row.width);
        EXPECT_EQ(job.height, row.height);
        EXPECT_EQ(job.presetPictureSize, row.keepSize);
        EXPECT_EQ(job.sampleRate, row.sampleRate);
        EXPECT_EQ(job.channels, row.channels);
        EXPECT_EQ(job.bitRate, row.bitRate);
        EXPECT_EQ(job.quality, row.quality);
        EXPECT_EQ(job.bitsPerSample, row.bits);
        EXPECT_EQ(job.videoBitRate, row.videoBitRate);
        EXPECT_EQ(job.volume, 100);
        EXPECT_EQ(job.testStart, 0);
        EXPECT_EQ(job.testLength, 0);
    }
}

TEST_F(PanelDialogTest, ChangesAreStoredUnderTheirPresetAndComeBackAfterASwitch) {
    open(2);
    const struct {
        int32_t id;
        const wchar_t* group;
        int32_t frameRate, quality, sampleRate, channels, volume, testPosition;
    } rows[] = {
        {10006, L"VC_Mp4_Mpeg4_Aac", 25000, 192000, 44100, 2, 120, 2},
        {10200, L"VC_Wmv_Wmv1_Wma", 15000, 4, 22050, 1, 80, 3},
        {10074, L"VC_3gp_H263_Amr", 23000, 7950, 0, 0, 150, 2},
    };
    // Choose in A, then B, then C...
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        showPanel(row.id);
        const VideoControls& v = dialog_->videoControls();
        choose(v.frameRate, row.frameRate);
        choose(v.audioQuality, row.quality);
        choose(v.sampleRate, row.sampleRate);
        choose(v.channels, row.channels);
        choose(v.volume, row.volume);
        choose(v.testPosition, row.testPosition);
        EXPECT_EQ(stored(row.group, L"VFrameRate"), row.frameRate);
        EXPECT_EQ(stored(row.group, L"Quality"), row.quality);
        EXPECT_EQ(stored(row.group, L"Volume"), row.volume);
        EXPECT_EQ(stored(row.group, L"TestPos"), row.testPosition);
        if (v.sampleRate != nullptr) {
            EXPECT_EQ(stored(row.group, L"SampleRate"), row.sampleRate);
            EXPECT_EQ(stored(row.group, L"Channels"), row.channels);
        }
    }
    // The codec, TV-system and screen rows of the panels store under their preset too.
    const struct {
        int32_t id;
        const wchar_t* group;
        s::gui::win::ComboBox* VideoControls::*control;
        const wchar_t* key;
        int32_t value;
    } others[] = {
        {10006, L"VC_Mp4_Mpeg4_Aac", &VideoControls::videoCodec, L"VCodec", 16},
        {10003, L"VC_Avi_Mpeg4_Ac3", &VideoControls::videoCodec, L"VCodec", 18},
        {10031, L"VC_Mpg_Mpg_Mp2", &VideoControls::videoCodec, L"VCodec", 46},
        {10107, L"VC_Dv_Dv", &VideoControls::tvSystem, L"VNtsc", 2},
        {10112, L"VC_Dv_Dv50", &VideoControls::tvSystem, L"VNtsc", 11},
    };
    for (const auto& other : others) {
        SCOPED_TRACE(other.id);
        showPanel(other.id);
        choose(dialog_->videoControls().*other.control, other.value);
        EXPECT_EQ(stored(other.group, other.key), other.value);
        showPanel(10200);  // elsewhere, then back
        showPanel(other.id);
        EXPECT_EQ(selected(dialog_->videoControls().*other.control), other.value);
    }
    // ...and each comes back with its own choices.
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        showPanel(row.id);
        const VideoControls& v = dialog_->videoControls();
        EXPECT_EQ(selected(v.frameRate), row.frameRate);
        EXPECT_EQ(selected(v.audioQuality), row.quality);
        EXPECT_EQ(selected(v.volume), row.volume);
        EXPECT_EQ(selected(v.testPosition), row.testPosition);
        if (v.sampleRate != nullptr) {
            EXPECT_EQ(selected(v.sampleRate), row.sampleRate);
            EXPECT_EQ(selected(v.channels), row.channels);
        }
    }
}

TEST_F(PanelDialogTest, SeparatorsPutThePreviousChoiceBackAndStoreNothing) {
    open(2);
    showPanel(10006);
    const VideoControls& v = dialog_->videoControls();
    choose(v.frameRate, 30000);
    choose(v.frameRate, 1000);  // the "-" under "Same"
    EXPECT_EQ(selected(v.frameRate), 30000);
    EXPECT_EQ(stored(L"VC_Mp4_Mpeg4_Aac", L"VFrameRate"), 30000);

    showPanel(10601);
    const VideoControls& p = dialog_->videoControls();
    choose(p.content, 720);
    choose(p.content, 0);  // the "-" between the classes
    EXPECT_EQ(selected(p.content), 720);
    EXPECT_EQ(stored(L"VC_Avi_Mpeg4_Mp3_P2PShare", L"VContent"), 720);
}

TEST_F(PanelDialogTest, SharingPresetShowsTheEstimatesOfEveryClassWithItsOwnBoost) {
    open(2);
    showPanel(10601);
    const VideoControls& v = dialog_->videoControls();
    // First use: class 352 at no boost.
    EXPECT_STREQ(v.videoRate->getText(), L"1,000 kbps");
    EXPECT_STREQ(v.audioRate->getText(), L"128 kbps");
    EXPECT_STREQ(v.pictureSize->getText(), L"624 x 352  (352p)");
    EXPECT_STREQ(v.perMinute->getText(), L"8.1 MB / min");
    EXPECT_STREQ(v.perHour->getText(), L"484 MB / hour");

    const struct {
        int32_t code, boost;
        const wchar_t *video, *audio, *size, *perHour;
        int32_t width, height, bitRate;
    } rows[] = {
        {480, 120, L"2,040 kbps", L"160 kbps", L"854 x 480  (480p)", L"944 MB / hour", 848, 477, 160000},
        {11080, 150, L"26,100 kbps", L"320 kbps", L"1920 x 1080  (1080p)", L"11,338 MB / hour", 1920, 1080, 320000},
        {10576, 110, L"7,700 kbps", L"320 kbps", L"1024 x 576  (576p)", L"3,441 MB / hour", 1024, 576, 320000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        choose(v.content, row.code);
        EXPECT_EQ(selected(v.boost), 100);  // a class never chosen has no boost yet
        choose(v.boost, row.boost);
        EXPECT_STREQ(v.videoRate->getText(), row.video);
        EXPECT_STREQ(v.audioRate->getText(), row.audio);
        EXPECT_STREQ(v.pictureSize->getText(), row.size);
        EXPECT_STREQ(v.perHour->getText(), row.perHour);
        ASSERT_TRUE(dialog_->fillSetting(10601));
        const Setting& job = *dialog_->jobSetting();
        EXPECT_EQ(job.width, row.width);
        EXPECT_EQ(job.height, row.height);
        EXPECT_EQ(job.bitRate, row.bitRate);
        EXPECT_EQ(job.videoBitRate, static_cast<int64_t>(row.boost) *
                                        s::sound::gui::dialogs::mp3conv::p2pContentClass(row.code)->factor);
    }
    // Each class kept its own boost.
    for (const auto& row : rows) {
        choose(v.content, row.code);
        EXPECT_EQ(selected(v.boost), row.boost) << row.code;
        EXPECT_EQ(stored(L"VC_Avi_Mpeg4_Mp3_P2PShare", (L"VQBoost" + std::to_wstring(row.code)).c_str()), row.boost);
    }
}

TEST_F(PanelDialogTest, TestEncodeRowTakesOnlyWholeSeconds) {
    open(2);
    const wchar_t* group = L"VC_Avi_Mpeg4_Ac3";
    const struct {
        bool checked;
        const wchar_t* text;
        int64_t length;
        int32_t storedAfter;
    } rows[] = {
        {false, L"20", 0, 15},  // unticked: no test, nothing stored
        {true, L"20", 20000, 20},
        {true, L"20s", 0, 20},
        {true, L"1.5", 0, 20},
        {true, L"", 0, 20},
        {true, L"0", 0, 20},
        {true, L"-3", 0, 20},
        {true, L"7", 7000, 7},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.text, row.text + wcslen(row.text)));
        showPanel(10003);
        const VideoControls& v = dialog_->videoControls();
        v.test->setCheckedQuietly(row.checked);
        v.testSeconds->setText(row.text, false);
        ASSERT_TRUE(dialog_->fillSetting(10003));
        EXPECT_EQ(dialog_->jobSetting()->testLength, row.length);
        EXPECT_EQ(dialog_->jobSetting()->testStart, row.length > 0 ? 1 : 0);
        EXPECT_EQ(stored(group, L"TestSec", 15), row.storedAfter);
    }
    // A rebuilt panel shows the stored seconds; a click stores the tick and bolds it.
    showPanel(10003);
    const VideoControls& v = dialog_->videoControls();
    EXPECT_STREQ(v.testSeconds->getText(), L"7");
    EXPECT_FALSE(v.test->isChecked());
    v.test->setCheckedQuietly(true);
    EXPECT_TRUE(dialog_->onOptionEvent(v.test, 0));
    EXPECT_TRUE(storedFlag(group, L"Test"));
    EXPECT_TRUE(v.test->isBold());
    showPanel(10003);
    EXPECT_TRUE(dialog_->videoControls().test->isChecked());
}

TEST_F(PanelDialogTest, TargetPanelsCollapseTheirTestDetails) {
    open(3);
    showPanel(536870911);
    const VideoControls& v = dialog_->videoControls();
    ASSERT_NE(v.testDetail, nullptr);
    EXPECT_EQ(v.testDetail->getContentOrFixedHeight(), 0);
    EXPECT_FALSE(v.test->isBold());
    v.test->setCheckedQuietly(true);
    EXPECT_TRUE(dialog_->onOptionEvent(v.test, 0));
    EXPECT_TRUE(v.test->isBold());
    EXPECT_TRUE(storedFlag(L"ByFileSize", L"Test"));
    v.testSeconds->setText(L"3", false);
    ASSERT_TRUE(dialog_->fillSetting(536870911));
    const Setting& job = *dialog_->jobSetting();
    // The default container: like the source, MPEG-4 when it is none of the others.
    EXPECT_EQ(job.outputId, 268435445);
    EXPECT_EQ(job.formatId, 18);
    EXPECT_EQ(job.targetMode, 1);
    EXPECT_EQ(job.testLength, 3000);
}

// A file like the source at the size each entry names; two name none and keep the source's.
TEST_F(PanelDialogTest, ResolutionEntriesMakeAJobOfTheirFixedSize) {
    open(6);
    const struct {
        int32_t id, width, height;
    } rows[] = {
        {536870805, 1920, 1080}, {536870806, 1280, 720}, {536870807, 854, 480}, {536870808, 640, 360},
        {536870809, 0, 0},       {536870810, 402, 226},  {536870811, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        showPanel(row.id);
        ASSERT_TRUE(dialog_->fillSetting(row.id));
        const Setting& job = *dialog_->jobSetting();
        EXPECT_EQ(job.outputId, 268435445);
        EXPECT_EQ(job.formatId, 18);
        EXPECT_EQ(job.width, row.width);
        EXPECT_EQ(job.height, row.height);
        EXPECT_EQ(job.twoPass, 0);
        EXPECT_EQ(job.volume, 100);
    }
}

// The level is applied before the quality row whatever the panel's order, so a level
// picked in the quality row clears the two passes of level 5 or 9.
TEST_F(PanelDialogTest, TargetPanelsApplyTheLevelBeforeTheQualityRow) {
    open(3);
    const struct {
        int32_t id, level, quality;
        int32_t outputId, videoQuality;
        int64_t videoBitRate;
        uint8_t twoPass;
    } rows[] = {
        {536870907, 5, 3, 268435405, 3, 0, 0},
        {536870906, 9, 7, 268435365, 7, 0, 0},
        {536870907, 9, 105, 268435365, 105, 0, 1},
        {536870906, 5, 2000000, 268435405, 0, 2000000, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.id << " level " << row.level << " quality " << row.quality);
        showPanel(row.id);
        const VideoControls& v = dialog_->videoControls();
        // Shown as a restored level is; a pick of 5 or 9 would ask for ffmpeg.exe.
        for (int32_t i = 0; i < v.vqLevel->getItemCount(); ++i) {
            if (v.vqLevel->getItem(i)->value == row.level) {
                v.vqLevel->setSelectedIndex(i, false);
            }
        }
        ASSERT_EQ(selected(v.vqLevel), row.level);
        choose(v.qualityAuto, row.quality);
        ASSERT_TRUE(dialog_->fillSetting(row.id));
        const Setting& job = *dialog_->jobSetting();
        EXPECT_EQ(job.outputId, row.outputId);
        EXPECT_EQ(job.videoQuality, row.videoQuality);
        EXPECT_EQ(job.videoBitRate, row.videoBitRate);
        EXPECT_EQ(job.twoPass, row.twoPass);
    }
}

TEST_F(PanelDialogTest, ShippedDialogStaysInTheAudioMode) {
    s::sound::gui::dialogs::mp3conv::Dialog* fresh = s::sound::gui::dialogs::mp3conv::Dialog::pool();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->mode(), 1);
    EXPECT_EQ(ConvertToList::entries(fresh->mode()).size(), 36u);
    fresh->release();
}

TEST_F(PanelDialogTest, CodecChoiceOfThePortablePresetsHolds) {
    open(2);
    const struct {
        int32_t preset, codec, outputId, width, height;
    } rows[] = {
        {10701, 12, 10701, 320, 240}, {10701, 16, 10702, 320, 240}, {10801, 16, 10802, 368, 192},
        {10801, 18, 10802, 368, 192}, {10901, 16, 10902, 480, 320},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.preset << " with " << row.codec);
        showPanel(row.preset);
        choose(dialog_->videoControls().videoCodec, row.codec);
        ASSERT_TRUE(dialog_->fillSetting(row.preset));
        EXPECT_EQ(dialog_->jobSetting()->outputId, row.outputId);
        EXPECT_EQ(dialog_->jobSetting()->twoPass, row.codec == 18 ? 1 : 0);
        EXPECT_EQ(dialog_->jobSetting()->width, row.width);
        EXPECT_EQ(dialog_->jobSetting()->height, row.height);
    }
}
