#include "app/sound/gui/dialogs/mp3conv/OptionRows.h"

#include <utility>

#include "widgets/gui/IComboBox.h"
#include "widgets/gui/combobox/ComboBoxItem.h"

namespace s::sound::gui::dialogs::mp3conv {

using s::gui::IComboBox;
using s::gui::combobox::ComboBoxItem;
typedef OptionRows::Entry Entry;

namespace {

constexpr int32_t NOT_CHOSEN = ComboBoxItem::HEADER | ComboBoxItem::SEPARATOR | ComboBoxItem::LIGHT_SEPARATOR;

constexpr int32_t TEXT_QUALITY = 1200001;
constexpr int32_t TEXT_BIT_RATE = 1200000;
constexpr int32_t TEXT_SAMPLE_RATE = 1300000;
constexpr int32_t TEXT_CHANNELS = 1400000;
constexpr int32_t TEXT_BITS = 1500000;
constexpr int32_t TEXT_VOLUME = 1380000;
constexpr int32_t TEXT_SAME = 1300100;

// "Same" and the rule under it, which the rate, channel and bits lists begin with.
constexpr Entry SAME = {TEXT_SAME, nullptr, 0, 1, 4};
constexpr Entry SAME_RULE = {0, L"-", 100, 16, 16};

// Sample rates, highest first, and the caption each list shows them with: -1 not in
// that list, 0 the literal, else a text id. Columns: Pcm, Aac, Common, Flac, Mp2, Wma,
// Yamaha, Flv, Ac3 (its encoder takes these three rates alone).
struct RateRow {
    int32_t rate;
    int32_t listFlags;
    const wchar_t* literal;
    int32_t caption[9];
};
constexpr RateRow RATES[] = {
    {96000, 0, L"96,000 Hz", {1309000, -1, -1, 1309000, -1, -1, -1, -1, -1}},
    {88200, 0, L"88,200 Hz", {0, -1, -1, -1, -1, -1, -1, -1, -1}},
    {64000, 0, L"64,000 Hz", {0, 1306000, -1, -1, -1, -1, -1, -1, -1}},
    {48000, 1, L"48,000 Hz", {0, 0, 1302001, 0, 1302001, -1, -1, -1, 1302001}},
    {44100, 1, L"44,100 Hz", {1301000, 1301000, 1301000, 1301000, 1301000, 1301000, 1301001, 1301000, 1301000}},
    {32000, 0, L"32,000 Hz", {0, 0, 0, 0, 0, -1, -1, -1, 0}},
    {24000, 0, L"24,000 Hz", {0, 0, 0, 0, 0, -1, -1, -1, -1}},
    {22050, 0, L"22,050 Hz", {1300800, 1300800, 1300800, 1300800, 1300800, 1300800, 1300800, 1300800, -1}},
    {16000, 0, L"16,000 Hz", {0, 0, 0, 0, 1300600, 0, -1, -1, -1}},
    {12000, 0, L"12,000 Hz", {0, 0, 0, -1, -1, -1, -1, -1, -1}},
    {11025, 0, L"11,025 Hz", {0, 0, 0, -1, -1, 0, 0, 0, -1}},
    {8000, 0, L"8,000 Hz", {1300400, 1300400, 1300400, 1300400, -1, 1300400, 1300400, -1, -1}},
};

OptionRows rateList(int32_t column) {
    std::vector<Entry> entries = {SAME, SAME_RULE};
    for (const RateRow& row : RATES) {
        const int32_t caption = row.caption[column];
        if (caption >= 0) {
            entries.push_back({caption, caption == 0 ? row.literal : nullptr, row.rate, row.listFlags, 1});
        }
    }
    return OptionRows(OptionRows::SAMPLE_RATE, TEXT_SAMPLE_RATE, L"SampleRate", 0, std::move(entries));
}

constexpr Entry CH_SURROUND = {1403000, nullptr, 6, 0, 1};
constexpr Entry CH_STEREO = {1402000, nullptr, 2, 0, 1};
constexpr Entry CH_MONO = {1401000, nullptr, 1, 0, 1};

constexpr Entry BE64 = {1506001, nullptr, 1064, 0, 1};
constexpr Entry LE64 = {1506000, nullptr, 1064, 0, 1};
constexpr Entry BEF32 = {1505001, nullptr, 1032, 0, 1};
constexpr Entry LEF32 = {1505000, nullptr, 1032, 0, 1};
constexpr Entry BE32 = {1504001, nullptr, 32, 0, 1};
constexpr Entry LE32 = {1504000, nullptr, 32, 0, 1};
constexpr Entry BE24 = {1503001, nullptr, 24, 0, 1};
constexpr Entry LE24 = {1503000, nullptr, 24, 0, 1};
constexpr Entry BE16 = {1502001, nullptr, 16, 1, 0};
constexpr Entry LE16 = {1502000, nullptr, 16, 1, 0};
constexpr Entry S8 = {1501000, nullptr, 8, 0, 1};
constexpr Entry BEU32 = {1504011, nullptr, 132, 0, 1};
constexpr Entry LEU32 = {1504010, nullptr, 132, 0, 1};
constexpr Entry BEU24 = {1503011, nullptr, 124, 0, 1};
constexpr Entry LEU24 = {1503010, nullptr, 124, 0, 1};
constexpr Entry BEU16 = {1502011, nullptr, 116, 0, 1};
constexpr Entry LEU16 = {1502010, nullptr, 116, 0, 1};
constexpr Entry U8 = {1501010, nullptr, 108, 0, 1};

OptionRows bitsList(int32_t defaultValue, std::vector<Entry> entries) {
    return OptionRows(OptionRows::BITS_PER_SAMPLE, TEXT_BITS, L"BitsPerSample", defaultValue, std::move(entries));
}

OptionRows channelsList(int32_t defaultValue, std::vector<Entry> entries) {
    return OptionRows(OptionRows::CHANNELS, TEXT_CHANNELS, L"Channels", defaultValue, std::move(entries));
}

OptionRows volumeList() {
    std::vector<Entry> entries;
    static const wchar_t* const LOUDER[] = {L"300%", L"250%", L"200%", L"190%", L"180%", L"170%",
                                            L"160%", L"150%", L"140%", L"130%", L"120%", L"110%"};
    static const int32_t LOUDER_VALUES[] = {300, 250, 200, 190, 180, 170, 160, 150, 140, 130, 120, 110};
    for (size_t i = 0; i < sizeof(LOUDER_VALUES) / sizeof(LOUDER_VALUES[0]); ++i) {
        entries.push_back({0, LOUDER[i], LOUDER_VALUES[i], 0, 1});
    }
    entries.push_back({1380010, nullptr, 100, 1, 4});
    static const wchar_t* const SOFTER[] = {L"90%", L"80%", L"70%", L"60%", L"50%", L"40%", L"30%", L"20%", L"10%"};
    for (int32_t i = 0; i < 9; ++i) {
        entries.push_back({0, SOFTER[i], 90 - 10 * i, 0, 1});
    }
    return OptionRows(OptionRows::VOLUME, TEXT_VOLUME, L"Volume", 100, std::move(entries));
}

} // namespace

OptionRows::OptionRows(Kind kind, int32_t captionId, const wchar_t* key, int32_t defaultValue,
                       std::vector<Entry> entries)
    : kind_(kind), captionId_(captionId), key_(key), default_(defaultValue), entries_(std::move(entries)) {}

bool OptionRows::isChoice(int32_t listFlags, int32_t fieldFlags) {
    return ((listFlags | fieldFlags) & NOT_CHOSEN) == 0;
}

int32_t OptionRows::defaultIndex() const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].value == default_ && isChoice(entries_[i].listFlags, entries_[i].fieldFlags)) {
            return static_cast<int32_t>(i);
        }
    }
    return 0;
}

void OptionRows::fillList(IComboBox* list, lang::Localizer* localizer, const std::vector<Entry>& entries) {
    if (list == nullptr) {
        return;
    }
    for (const Entry& e : entries) {
        ComboBoxItem* item = e.textId != 0
                                 ? ComboBoxItem::createWithTextId(localizer, e.textId, e.value, e.listFlags, e.fieldFlags)
                                 : ComboBoxItem::createWithText(e.text, e.value, e.listFlags, e.fieldFlags);
        if (item != nullptr) {
            list->addItem(item);
        }
    }
}

void OptionRows::restore(IComboBox* list, int32_t stored) const {
    if (list == nullptr || list->getItemCount() == 0) {
        return;
    }
    int32_t fallback = -1;
    for (int32_t i = 0; i < list->getItemCount(); ++i) {
        const ComboBoxItem* item = list->getItem(i);
        if (item == nullptr || !isChoice(item->listFlags, item->fieldFlags)) {
            continue;
        }
        if (item->value == stored) {
            list->setSelectedIndex(i, false);
            return;
        }
        if (fallback < 0 && item->value == default_) {
            fallback = i;
        }
    }
    list->setSelectedIndex(fallback >= 0 ? fallback : defaultIndex(), false);
}

bool OptionRows::acceptChoice(IComboBox* list, int32_t* value) const {
    const ComboBoxItem* item = list != nullptr ? list->getSelectedItem() : nullptr;
    if (item != nullptr && isChoice(item->listFlags, item->fieldFlags)) {
        *value = item->value;
        return true;
    }
    if (list != nullptr) {
        const ComboBoxItem* previous = list->getPreviousItem();
        if (previous != nullptr && isChoice(previous->listFlags, previous->fieldFlags)) {
            list->setSelectedIndex(list->getPreviousIndex(), false);
        } else {
            restore(list, default_);
        }
    }
    return false;
}

int32_t OptionRows::chosenValue(const IComboBox* list) const {
    const ComboBoxItem* item = list != nullptr ? list->getSelectedItem() : nullptr;
    return item != nullptr && isChoice(item->listFlags, item->fieldFlags) ? item->value : default_;
}

const OptionRows& OptionRows::quality() {
    static const OptionRows rows(QUALITY, TEXT_QUALITY, L"Quality", 100,
                                 {{1200100, nullptr, 100, 1, 0},
                                  {0, L"-", 0, 16, 16},
                                  {1200002, nullptr, 0, 8, 8},
                                  {1208001, nullptr, 9, 0, 1},
                                  {1207001, nullptr, 8, 0, 1},
                                  {0, L"7", 7, 0, 1},
                                  {1205001, nullptr, 6, 1, 1},
                                  {0, L"5", 5, 0, 1},
                                  {1203001, nullptr, 4, 1, 1},
                                  {1202001, nullptr, 3, 0, 1},
                                  {0, L"2", 2, 0, 1},
                                  {1201001, nullptr, 1, 0, 1},
                                  {0, L"-", 0, 32, 32},
                                  {1200003, nullptr, 0, 8, 8},
                                  {1208000, nullptr, 320000, 0, 1},
                                  {1207000, nullptr, 256000, 0, 1},
                                  {1206000, nullptr, 224000, 0, 1},
                                  {1205000, nullptr, 192000, 1, 1},
                                  {1204000, nullptr, 160000, 0, 1},
                                  {1203000, nullptr, 128000, 1, 1},
                                  {1202000, nullptr, 96000, 0, 1},
                                  {1201500, nullptr, 64000, 0, 1},
                                  {1201000, nullptr, 32000, 0, 1}});
    return rows;
}

const OptionRows& OptionRows::qualityAmr() {
    static const OptionRows rows(QUALITY, TEXT_BIT_RATE, L"Quality", 12200,
                                 {{1205002, nullptr, 12200, 1, 0},
                                  {0, L"10.20 kbps", 10200, 0, 1},
                                  {0, L"7.95 kbps", 7950, 0, 1},
                                  {0, L"7.40 kbps", 7400, 0, 1},
                                  {0, L"6.70 kbps", 6700, 0, 1},
                                  {0, L"5.90 kbps", 5900, 0, 1},
                                  {0, L"5.15 kbps", 5150, 0, 1},
                                  {0, L"4.75 kbps", 4750, 0, 1}});
    return rows;
}

const OptionRows& OptionRows::sampleRatePcm() { static const OptionRows rows = rateList(0); return rows; }
const OptionRows& OptionRows::sampleRateAac() { static const OptionRows rows = rateList(1); return rows; }
const OptionRows& OptionRows::sampleRateCommon() { static const OptionRows rows = rateList(2); return rows; }
const OptionRows& OptionRows::sampleRateFlac() { static const OptionRows rows = rateList(3); return rows; }
const OptionRows& OptionRows::sampleRateMp2() { static const OptionRows rows = rateList(4); return rows; }
const OptionRows& OptionRows::sampleRateWma() { static const OptionRows rows = rateList(5); return rows; }
const OptionRows& OptionRows::sampleRateYamaha() { static const OptionRows rows = rateList(6); return rows; }
const OptionRows& OptionRows::sampleRateFlv() { static const OptionRows rows = rateList(7); return rows; }
const OptionRows& OptionRows::sampleRateAc3() { static const OptionRows rows = rateList(8); return rows; }

const OptionRows& OptionRows::channelsSurround() {
    static const OptionRows rows = channelsList(0, {SAME, SAME_RULE, CH_SURROUND, CH_STEREO, CH_MONO});
    return rows;
}

const OptionRows& OptionRows::channelsStereo() {
    static const OptionRows rows = channelsList(0, {SAME, SAME_RULE, CH_STEREO, CH_MONO});
    return rows;
}

const OptionRows& OptionRows::channelsRaw() {
    // No "Same": a raw file states its layout nowhere, so the count is always chosen.
    static const OptionRows rows =
        channelsList(2, {CH_SURROUND, {CH_STEREO.textId, nullptr, 2, 1, 0}, CH_MONO});
    return rows;
}

const OptionRows& OptionRows::bitsPerSampleBe() {
    static const OptionRows rows = bitsList(0, {SAME, SAME_RULE, BE64, BEF32, BE32, BE24, BE16, S8});
    return rows;
}

const OptionRows& OptionRows::bitsPerSamplePcmBe() {
    static const OptionRows rows = bitsList(16, {BE64, BEF32, BE32, BE24, BE16, S8, BEU32, BEU24, BEU16, U8});
    return rows;
}

const OptionRows& OptionRows::bitsPerSampleWav() {
    static const OptionRows rows = bitsList(0, {SAME, SAME_RULE, LE64, LEF32, LE32, LE24, LE16, U8});
    return rows;
}

const OptionRows& OptionRows::bitsPerSamplePcmLe() {
    static const OptionRows rows = bitsList(16, {LE64, LEF32, LE32, LE24, LE16, S8, LEU32, LEU24, LEU16, U8});
    return rows;
}

const OptionRows& OptionRows::volume() {
    static const OptionRows rows = volumeList();
    return rows;
}

} // namespace s::sound::gui::dialogs::mp3conv
