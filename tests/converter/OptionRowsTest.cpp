// The option lists of the converter's panels and the rules that keep a header, a rule or
// an unknown stored value from ever being restored, stored or applied.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/sound/gui/dialogs/mp3conv/ConvertToList.h"
#include "app/sound/gui/dialogs/mp3conv/OptionRows.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/ComboBox.h"

using s::gui::win::ComboBox;
using s::sound::gui::dialogs::mp3conv::ConvertToList;
using s::sound::gui::dialogs::mp3conv::OptionRows;

namespace {

// A list filled from rows, released with the test.
class Filled {
public:
    explicit Filled(const OptionRows& rows) : list_(ComboBox::createWithWidthPercent(100, -1)) { rows.fill(list_, nullptr); }
    ~Filled() { list_->release(); }
    ComboBox* operator->() const { return list_; }
    ComboBox* get() const { return list_; }
    int32_t selectedValue() const { return list_->getSelectedItem() != nullptr ? list_->getSelectedItem()->value : -1; }

private:
    ComboBox* list_;
};

std::vector<int32_t> choiceValues(const OptionRows& rows) {
    std::vector<int32_t> values;
    for (const OptionRows::Entry& e : rows.entries()) {
        if (OptionRows::isChoice(e.listFlags, e.fieldFlags)) {
            values.push_back(e.value);
        }
    }
    return values;
}

struct ListCase {
    const char* name;
    const OptionRows& (*rows)();
    const wchar_t* key;
    int32_t defaultValue;
    std::vector<int32_t> choices;
};

const std::vector<ListCase> LISTS = {
    {"quality", &OptionRows::quality, L"Quality", 100,
     {100, 9, 8, 7, 6, 5, 4, 3, 2, 1, 320000, 256000, 224000, 192000, 160000, 128000, 96000, 64000, 32000}},
    {"amr", &OptionRows::qualityAmr, L"Quality", 12200, {12200, 10200, 7950, 7400, 6700, 5900, 5150, 4750}},
    {"pcm rates", &OptionRows::sampleRatePcm, L"SampleRate", 0,
     {0, 96000, 88200, 64000, 48000, 44100, 32000, 24000, 22050, 16000, 12000, 11025, 8000}},
    {"aac rates", &OptionRows::sampleRateAac, L"SampleRate", 0,
     {0, 64000, 48000, 44100, 32000, 24000, 22050, 16000, 12000, 11025, 8000}},
    {"common rates", &OptionRows::sampleRateCommon, L"SampleRate", 0,
     {0, 48000, 44100, 32000, 24000, 22050, 16000, 12000, 11025, 8000}},
    {"flac rates", &OptionRows::sampleRateFlac, L"SampleRate", 0,
     {0, 96000, 48000, 44100, 32000, 24000, 22050, 16000, 8000}},
    {"mp2 rates", &OptionRows::sampleRateMp2, L"SampleRate", 0, {0, 48000, 44100, 32000, 24000, 22050, 16000}},
    {"wma rates", &OptionRows::sampleRateWma, L"SampleRate", 0, {0, 44100, 22050, 16000, 11025, 8000}},
    {"yamaha rates", &OptionRows::sampleRateYamaha, L"SampleRate", 0, {0, 44100, 22050, 11025, 8000}},
    {"flv rates", &OptionRows::sampleRateFlv, L"SampleRate", 0, {0, 44100, 22050, 11025}},
    {"ac3 rates", &OptionRows::sampleRateAc3, L"SampleRate", 0, {0, 48000, 44100, 32000}},
    {"surround", &OptionRows::channelsSurround, L"Channels", 0, {0, 6, 2, 1}},
    {"stereo", &OptionRows::channelsStereo, L"Channels", 0, {0, 2, 1}},
    {"raw channels", &OptionRows::channelsRaw, L"Channels", 2, {6, 2, 1}},
    {"aiff/au bits", &OptionRows::bitsPerSampleBe, L"BitsPerSample", 0, {0, 1064, 1032, 32, 24, 16, 8}},
    {"raw be bits", &OptionRows::bitsPerSamplePcmBe, L"BitsPerSample", 16,
     {1064, 1032, 32, 24, 16, 8, 132, 124, 116, 108}},
    {"wav bits", &OptionRows::bitsPerSampleWav, L"BitsPerSample", 0, {0, 1064, 1032, 32, 24, 16, 108}},
    {"raw le bits", &OptionRows::bitsPerSamplePcmLe, L"BitsPerSample", 16,
     {1064, 1032, 32, 24, 16, 8, 132, 124, 116, 108}},
    {"volume", &OptionRows::volume, L"Volume", 100,
     {300, 250, 200, 190, 180, 170, 160, 150, 140, 130, 120, 110, 100, 90, 80, 70, 60, 50, 40, 30, 20, 10}},
};

TEST(OptionRowsTest, EachListOffersItsChoicesInOrderUnderItsKeyAndDefault) {
    for (const ListCase& c : LISTS) {
        SCOPED_TRACE(c.name);
        const OptionRows& rows = c.rows();
        EXPECT_STREQ(c.key, rows.key());
        EXPECT_EQ(c.defaultValue, rows.defaultValue());
        EXPECT_EQ(c.choices, choiceValues(rows));
        // Every non-choice row of a list that has them carries the family's non-choice value.
        for (const OptionRows::Entry& e : rows.entries()) {
            if (!OptionRows::isChoice(e.listFlags, e.fieldFlags)) {
                EXPECT_EQ(rows.kind() == OptionRows::QUALITY ? 0 : 100, e.value);
            }
        }
    }
}

TEST(OptionRowsTest, RestoringSelectsTheStoredChoiceOrElseTheDefaultNeverAHeaderOrRule) {
    struct Case {
        const OptionRows& (*rows)();
        int32_t stored;
        int32_t selected;
    };
    const Case cases[] = {
        {&OptionRows::quality, 7, 7},          {&OptionRows::quality, 32000, 32000},
        {&OptionRows::quality, 0, 100},        {&OptionRows::quality, 999, 100},
        {&OptionRows::qualityAmr, 100, 12200}, {&OptionRows::sampleRateCommon, 100, 0},
        {&OptionRows::sampleRateCommon, 96000, 0}, {&OptionRows::sampleRatePcm, 96000, 96000},
        {&OptionRows::sampleRateAc3, 22050, 0}, {&OptionRows::sampleRateAc3, 32000, 32000},
        {&OptionRows::channelsStereo, 5000, 0}, {&OptionRows::channelsStereo, 6, 0},
        {&OptionRows::channelsRaw, 0, 2},      {&OptionRows::channelsRaw, 6, 6},
        {&OptionRows::bitsPerSampleWav, 100, 0}, {&OptionRows::bitsPerSampleWav, 8, 0},
        {&OptionRows::bitsPerSamplePcmLe, 0, 16}, {&OptionRows::volume, 250, 250},
        {&OptionRows::volume, 999, 100},       {&OptionRows::volume, -5, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        Filled list(c.rows());
        c.rows().restore(list.get(), c.stored);
        EXPECT_EQ(c.selected, list.selectedValue());
        EXPECT_EQ(c.selected, c.rows().chosenValue(list.get()));
    }
}

TEST(OptionRowsTest, PickingAHeaderOrRuleStepsBackAndStoresNothing) {
    struct Case {
        const OptionRows& (*rows)();
        int32_t before;   // value selected first
        int32_t pick;     // index the user picks
        bool stores;
        int32_t after;    // value selected afterwards
    };
    const Case cases[] = {
        {&OptionRows::quality, 7, 1, false, 7},           // the rule under "Similar Quality"
        {&OptionRows::quality, 7, 2, false, 7},           // "By Quality Level"
        {&OptionRows::quality, 192000, 13, false, 192000}, // "By Bit Rate"
        {&OptionRows::quality, 100, 14, true, 320000},
        {&OptionRows::sampleRateCommon, 0, 1, false, 0},
        {&OptionRows::channelsSurround, 0, 2, true, 6},
        {&OptionRows::bitsPerSampleWav, 0, 7, true, 108},
        {&OptionRows::volume, 100, 0, true, 300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pick);
        Filled list(c.rows());
        c.rows().restore(list.get(), c.before);
        list->setSelectedIndex(c.pick, false);
        int32_t value = -1;
        EXPECT_EQ(c.stores, c.rows().acceptChoice(list.get(), &value));
        if (c.stores) {
            EXPECT_EQ(c.after, value);
        }
        EXPECT_EQ(c.after, list.selectedValue());
    }
}

TEST(OptionRowsTest, AListWithNothingSelectedAppliesTheDefault) {
    for (const ListCase& c : LISTS) {
        SCOPED_TRACE(c.name);
        Filled list(c.rows());
        EXPECT_EQ(c.defaultValue, c.rows().chosenValue(list.get()));
        EXPECT_EQ(c.defaultValue, c.rows().chosenValue(nullptr));
    }
}

TEST(ConvertToListTest, ModesListTheirEntriesAndStartOnTheirDefault) {
    struct Case {
        int32_t mode;
        size_t count;
        int32_t defaultIndex;
        int32_t defaultId;
    };
    const Case cases[] = {
        {1, 36, 18, 18}, {4, 39, 21, 18}, {2, 70, 5, 10003}, {3, 6, 0, 536870911}, {6, 8, 2, 536870806},
        {5, 0, 0, 0},    {0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        const std::vector<ConvertToList::Entry> list = ConvertToList::entries(c.mode);
        EXPECT_EQ(c.count, list.size());
        EXPECT_EQ(c.defaultIndex, ConvertToList::defaultIndex(c.mode));
        EXPECT_EQ(c.defaultId, ConvertToList::defaultFormatId(c.mode));
    }
}

TEST(ConvertToListTest, AudioModesOfferEveryFormatOnceWithItsGroupAndHeadersCarryNoId) {
    for (int32_t mode : {1, 2, 4}) {
        SCOPED_TRACE(mode);
        std::vector<int32_t> ids;
        for (const ConvertToList::Entry& e : ConvertToList::entries(mode)) {
            if (ConvertToList::isAudioId(e.formatId)) {
                ids.push_back(e.formatId);
                EXPECT_STREQ(ConvertToList::audioGroup(e.formatId), e.group);
            }
            const bool notChosen = (e.flags & (s::gui::combobox::ComboBoxItem::HEADER |
                                               s::gui::combobox::ComboBoxItem::LIGHT_SEPARATOR)) != 0;
            EXPECT_EQ(notChosen, e.formatId == 0);
        }
        std::sort(ids.begin(), ids.end());
        std::vector<int32_t> all(34);
        for (int32_t i = 0; i < 34; ++i) all[static_cast<size_t>(i)] = i + 1;
        EXPECT_EQ(all, ids);
    }
    EXPECT_EQ(nullptr, ConvertToList::audioGroup(0));
    EXPECT_EQ(nullptr, ConvertToList::audioGroup(999));
}

} // namespace
