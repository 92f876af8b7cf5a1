// The video rows' fixed lists, the file-sharing preset's estimate arithmetic and the
// test-encode seconds, without a window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/sound/gui/dialogs/mp3conv/OptionRows.h"
#include "app/video/P2pEstimates.h"
#include "app/video/TestRunChoice.h"
#include "app/video/VideoLists.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "engine/sound/ffmpeg/Setting.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/ComboBox.h"

using namespace s::sound::gui::dialogs::mp3conv;
using s::str::strbuffer::StrBuffer;

namespace {

struct Expected {
    int32_t value;
    int32_t listFlags, fieldFlags;
};

void expectEntries(const OptionRows& rows, const std::vector<Expected>& want) {
    ASSERT_EQ(rows.entries().size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows.entries()[i].value, want[i].value);
        EXPECT_EQ(rows.entries()[i].listFlags, want[i].listFlags);
        EXPECT_EQ(rows.entries()[i].fieldFlags, want[i].fieldFlags);
    }
}

s::gui::win::ComboBox* filled(const OptionRows& rows) {
    s::gui::win::ComboBox* list = s::gui::win::ComboBox::createWithWidthPercent(100, -1);
    rows.fill(list, nullptr);
    return list;
}

} // namespace

TEST(VideoLists, FrameRateTablesCarryTheirRatesAndFlags) {
    expectEntries(VideoLists::frameRate(),
                  {{0, 1, 4}, {1000, 16, 16}, {60000, 0, 1}, {59940, 0, 1}, {55000, 0, 1}, {50000, 0, 1},
                   {45000, 0, 1}, {40000, 0, 1}, {35000, 0, 1}, {30000, 0, 1}, {29970, 1, 1}, {25000, 1, 1},
                   {24000, 0, 1}, {23976, 1, 1}, {20000, 0, 1}, {15000, 0, 1}, {10000, 0, 1}});
    // "23 fps" carries 23 frames a second, like every other entry its caption's rate.
    expectEntries(VideoLists::frameRateH263(),
                  {{0, 1, 4}, {1000, 16, 16}, {30000, 0, 1}, {29970, 0, 1}, {27000, 0, 1}, {25000, 0, 1},
                   {23976, 0, 1}, {23000, 0, 1}, {20000, 0, 1}, {17000, 0, 1}, {15000, 0, 1}, {13000, 1, 0},
                   {10000, 0, 1}, {7000, 0, 1}, {5000, 0, 1}, {3000, 0, 1}});
    for (const OptionRows* rows : {&VideoLists::frameRate(), &VideoLists::frameRateH263()}) {
        for (const OptionRows::Entry& e : rows->entries()) {
            if (e.text != nullptr && e.value >= 3000 && e.value % 1000 == 0) {
                EXPECT_EQ(std::wstring(e.text).substr(0, std::wstring(e.text).find(L' ')),
                          std::to_wstring(e.value / 1000));
            }
        }
    }
    EXPECT_EQ(VideoLists::frameRate().defaultValue(), 0);
    EXPECT_EQ(VideoLists::frameRateH263().defaultValue(), 13000);
    EXPECT_EQ(VideoLists::frameRate().captionId(), 1294000);
}

TEST(VideoLists, AudioQualityListsAreTheAudioListsUnderTheVideoCaption) {
    const struct {
        const OptionRows* video;
        const OptionRows* audio;
        int32_t defaultValue;
    } rows[] = {{&VideoLists::audioQuality(), &OptionRows::quality(), 100},
                {&VideoLists::audioQualityAmr(), &OptionRows::qualityAmr(), 12200}};
    for (const auto& row : rows) {
        EXPECT_EQ(row.video->captionId(), 1200001);
        EXPECT_STREQ(row.video->key(), L"Quality");
        EXPECT_EQ(row.video->kind(), OptionRows::QUALITY);
        EXPECT_EQ(row.video->defaultValue(), row.defaultValue);
        ASSERT_EQ(row.video->entries().size(), row.audio->entries().size());
        for (size_t i = 0; i < row.audio->entries().size(); ++i) {
            const OptionRows::Entry& v = row.video->entries()[i];
            const OptionRows::Entry& a = row.audio->entries()[i];
            EXPECT_EQ(v.value, a.value);
            EXPECT_EQ(v.listFlags, a.listFlags);
            EXPECT_EQ(v.fieldFlags, a.fieldFlags);
            // Only the level 6 and 4 captions differ, and they still show their level.
            if (a.textId != v.textId) {
                EXPECT_TRUE(a.value == 6 || a.value == 4) << a.value;
                EXPECT_EQ(v.text[0], static_cast<wchar_t>(L'0' + a.value));
            }
        }
    }
}

TEST(VideoLists, StoredRatesRestoreOntoTheirEntryOrLeaveTheList) {
    const struct {
        const char* what;
        const OptionRows* rows;
        int32_t before;  // selected index before the restore; -1 none
        int32_t stored;
        int32_t after;   // selected value afterwards; -1 none selected
    } rows[] = {
        {"the default", &VideoLists::frameRate(), -1, 0, 0},
        {"a plain rate", &VideoLists::frameRate(), -1, 25000, 25000},
        {"no such entry, fresh", &VideoLists::frameRate(), -1, 12000, -1},
        {"no such entry, keeps the previous", &VideoLists::frameRate(), 4, 12000, 55000},
        {"the separator's value is no choice", &VideoLists::frameRate(), 2, 1000, 60000},
        {"H.263 default", &VideoLists::frameRateH263(), -1, 13000, 13000},
        {"the old 23 fps value", &VideoLists::frameRateH263(), -1, 22000, 23000},
        {"23 fps", &VideoLists::frameRateH263(), -1, 23000, 23000},
        {"a bit rate", &VideoLists::audioQuality(), -1, 192000, 192000},
        {"AMR rate", &VideoLists::audioQualityAmr(), -1, 7950, 7950},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        s::gui::win::ComboBox* list = filled(*row.rows);
        if (row.before >= 0) {
            list->setSelectedIndex(row.before, false);
        }
        VideoLists::restore(list, row.stored);
        const auto* item = list->getSelectedItem();
        EXPECT_EQ(item != nullptr ? item->value : -1, row.after);
        list->release();
    }
}

TEST(P2pEstimates, EveryClassAndBoostGivesItsRatesAndSizes) {
    const struct {
        int32_t code, boost;
        const wchar_t *video, *audio, *perMinute, *perHour;
    } rows[] = {
        {352, 100, L"1,000 kbps", L"128 kbps", L"8.1 MB", L"484 MB"},
        {352, 110, L"1,100 kbps", L"128 kbps", L"8.8 MB", L"527 MB"},
        {352, 120, L"1,200 kbps", L"128 kbps", L"9.5 MB", L"569 MB"},
        {352, 130, L"1,300 kbps", L"128 kbps", L"10.2 MB", L"612 MB"},
        {352, 140, L"1,400 kbps", L"128 kbps", L"10.9 MB", L"655 MB"},
        {352, 150, L"1,500 kbps", L"128 kbps", L"11.6 MB", L"698 MB"},
        {480, 100, L"1,700 kbps", L"160 kbps", L"13.3 MB", L"798 MB"},
        {480, 110, L"1,870 kbps", L"160 kbps", L"14.5 MB", L"871 MB"},
        {480, 120, L"2,040 kbps", L"160 kbps", L"15.7 MB", L"944 MB"},
        {480, 130, L"2,210 kbps", L"160 kbps", L"17.0 MB", L"1,017 MB"},
        {480, 140, L"2,380 kbps", L"160 kbps", L"18.2 MB", L"1,090 MB"},
        {480, 150, L"2,550 kbps", L"160 kbps", L"19.4 MB", L"1,163 MB"},
        {720, 100, L"3,000 kbps", L"192 kbps", L"22.8 MB", L"1,369 MB"},
        {720, 110, L"3,300 kbps", L"192 kbps", L"25.0 MB", L"1,498 MB"},
        {720, 120, L"3,600 kbps", L"192 kbps", L"27.1 MB", L"1,627 MB"},
        {720, 130, L"3,900 kbps", L"192 kbps", L"29.3 MB", L"1,756 MB"},
        {720, 140, L"4,200 kbps", L"192 kbps", L"31.4 MB", L"1,884 MB"},
        {720, 150, L"4,500 kbps", L"192 kbps", L"33.6 MB", L"2,013 MB"},
        {1080, 100, L"5,300 kbps", L"320 kbps", L"40.2 MB", L"2,411 MB"},
        {1080, 110, L"5,830 kbps", L"320 kbps", L"44.0 MB", L"2,639 MB"},
        {1080, 120, L"6,360 kbps", L"320 kbps", L"47.8 MB", L"2,866 MB"},
        {1080, 130, L"6,890 kbps", L"320 kbps", L"51.6 MB", L"3,094 MB"},
        {1080, 140, L"7,420 kbps", L"320 kbps", L"55.4 MB", L"3,321 MB"},
        {1080, 150, L"7,950 kbps", L"320 kbps", L"59.2 MB", L"3,549 MB"},
        {10352, 100, L"2,500 kbps", L"192 kbps", L"19.3 MB", L"1,155 MB"},
        {10352, 110, L"2,750 kbps", L"192 kbps", L"21.0 MB", L"1,262 MB"},
        {10352, 120, L"3,000 kbps", L"192 kbps", L"22.8 MB", L"1,369 MB"},
        {10352, 130, L"3,250 kbps", L"192 kbps", L"24.6 MB", L"1,477 MB"},
        {10352, 140, L"3,500 kbps", L"192 kbps", L"26.4 MB", L"1,584 MB"},
        {10352, 150, L"3,750 kbps", L"192 kbps", L"28.2 MB", L"1,691 MB"},
        {10576, 100, L"7,000 kbps", L"320 kbps", L"52.4 MB", L"3,141 MB"},
        {10576, 110, L"7,700 kbps", L"320 kbps", L"57.4 MB", L"3,441 MB"},
        {10576, 120, L"8,400 kbps", L"320 kbps", L"62.4 MB", L"3,742 MB"},
        {10576, 130, L"9,100 kbps", L"320 kbps", L"67.4 MB", L"4,042 MB"},
        {10576, 140, L"9,800 kbps", L"320 kbps", L"72.4 MB", L"4,343 MB"},
        {10576, 150, L"10,500 kbps", L"320 kbps", L"77.4 MB", L"4,643 MB"},
        {11080, 100, L"17,400 kbps", L"320 kbps", L"126.7 MB", L"7,604 MB"},
        {11080, 110, L"19,140 kbps", L"320 kbps", L"139.2 MB", L"8,351 MB"},
        {11080, 120, L"20,880 kbps", L"320 kbps", L"151.6 MB", L"9,098 MB"},
        {11080, 130, L"22,620 kbps", L"320 kbps", L"164.1 MB", L"9,844 MB"},
        {11080, 140, L"24,360 kbps", L"320 kbps", L"176.5 MB", L"10,591 MB"},
        {11080, 150, L"26,100 kbps", L"320 kbps", L"189.0 MB", L"11,338 MB"},
        // Outside the table: class 352's rates.
        {999, 100, L"1,000 kbps", L"128 kbps", L"8.1 MB", L"484 MB"},
    };
    s::thread::Held<StrBuffer> text(StrBuffer::pool());
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.code << " at " << row.boost);
        formatKbpsLabel(row.code, row.boost, text.get());
        EXPECT_STREQ(text->c_str(), row.video);
        formatKbpsLabelAlt(row.code, text.get());
        EXPECT_STREQ(text->c_str(), row.audio);
        formatMegabytesOneDecimal(row.code, row.boost, text.get());
        EXPECT_STREQ(text->c_str(), row.perMinute);
        formatMegabytesGrouped(row.code, row.boost, text.get());
        EXPECT_STREQ(text->c_str(), row.perHour);
    }
}

TEST(TestRunChoice, OnlyAWholePositiveNumberOfSecondsMakesATest) {
    const struct {
        const wchar_t* text;
        int32_t position;
        bool applied;
        int64_t start, length;
    } rows[] = {
        {L"20", 2, true, 2, 20000},
        {L"1", 3, true, 3, 1000},
        {L"15", 0, true, 1, 15000},        // nothing selected: from the start
        {L"15", 7, true, 1, 15000},        // a code the engine does not know
        {L"2147483", 1, true, 1, 2147483000},
        {L"2147483647", 1, true, 1, 2147483647000},  // no 32-bit overflow
        {L"2147483648", 1, false, 5, 5},
        {L"20s", 1, false, 5, 5},
        {L"1.5", 1, false, 5, 5},
        {L"", 1, false, 5, 5},
        {L"0", 1, false, 5, 5},
        {L"-3", 1, false, 5, 5},
        {L"-", 1, false, 5, 5},
        {L" 20", 1, false, 5, 5},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << '"' << std::string(row.text, row.text + wcslen(row.text)) << '"');
        Setting record;
        record.testStart = 5;
        record.testLength = 5;
        int32_t seconds = -1;
        EXPECT_EQ(TestRunChoice::apply(&record, row.position, row.text, &seconds), row.applied);
        EXPECT_EQ(record.testStart, row.start);
        EXPECT_EQ(record.testLength, row.length);
        EXPECT_EQ(seconds, row.applied ? static_cast<int32_t>(row.length / 1000) : -1);
    }
}
