#include "app/video/VideoLists.h"

#include "widgets/gui/IComboBox.h"
#include "widgets/gui/combobox/ComboBoxItem.h"

namespace s::sound::gui::dialogs::mp3conv {

typedef OptionRows::Entry Entry;

namespace {

constexpr int32_t TEXT_QUALITY = 1200001;
constexpr int32_t TEXT_SAME = 1300100;
// The rate older versions stored for the "23 fps" entry of the H.263 list.
constexpr int32_t OLD_23_FPS = 22000;
constexpr int32_t FPS_23 = 23000;

// Entries whose text ids the language pack lacks carry their own captions; the value
// is what counts.
const OptionRows FRAME_RATE(OptionRows::KIND_COUNT, VideoLists::FRAME_RATE_CAPTION, VideoLists::FRAME_RATE_KEY,
                            VideoLists::FRAME_RATE_DEFAULT,
                            {{TEXT_SAME, nullptr, 0, 1, 4},
                             {0, L"-", VideoLists::FRAME_RATE_SEPARATOR, 16, 16},
                             {0, L"60 fps", 60000, 0, 1},
                             {0, L"59.94 fps", 59940, 0, 1},
                             {0, L"55 fps", 55000, 0, 1},
                             {0, L"50 fps", 50000, 0, 1},
                             {0, L"45 fps", 45000, 0, 1},
                             {0, L"40 fps", 40000, 0, 1},
                             {0, L"35 fps", 35000, 0, 1},
                             {0, L"30 fps", 30000, 0, 1},
                             {0, L"29.97 fps  (NTSC)", 29970, 1, 1},
                             {0, L"25 fps  (PAL)", 25000, 1, 1},
                             {0, L"24 fps", 24000, 0, 1},
                             {0, L"23.976 fps  (Film)", 23976, 1, 1},
                             {0, L"20 fps", 20000, 0, 1},
                             {0, L"15 fps  (Web)", 15000, 0, 1},
                             {0, L"10 fps", 10000, 0, 1}});

const OptionRows FRAME_RATE_H263(OptionRows::KIND_COUNT, VideoLists::FRAME_RATE_CAPTION, VideoLists::FRAME_RATE_KEY,
                                 VideoLists::FRAME_RATE_DEFAULT_H263,
                                 {{0, L"Same", 0, 1, 4},
                                  {0, L"-", VideoLists::FRAME_RATE_SEPARATOR, 16, 16},
                                  {0, L"30 fps", 30000, 0, 1},
                                  {0, L"29.97 fps", 29970, 0, 1},
                                  {0, L"27 fps", 27000, 0, 1},
                                  {0, L"25 fps", 25000, 0, 1},
                                  {0, L"23.976 fps", 23976, 0, 1},
                                  {0, L"23 fps", FPS_23, 0, 1},
                                  {0, L"20 fps", 20000, 0, 1},
                                  {0, L"17 fps", 17000, 0, 1},
                                  {0, L"15 fps", 15000, 0, 1},
                                  {0, L"13 fps  (Default)", 13000, 1, 0},
                                  {0, L"10 fps", 10000, 0, 1},
                                  {0, L"7 fps", 7000, 0, 1},
                                  {0, L"5 fps", 5000, 0, 1},
                                  {0, L"3 fps", 3000, 0, 1}});

std::vector<Entry> videoQualityEntries() {
    std::vector<Entry> entries = OptionRows::quality().entries();
    for (Entry& e : entries) {
        if (e.value == 6 && e.textId != 0) {
            e = {0, L"6  (Good Enough)", 6, e.listFlags, e.fieldFlags};
        } else if (e.value == 4 && e.textId != 0) {
            e = {0, L"4  (Video Standard)", 4, e.listFlags, e.fieldFlags};
        }
    }
    return entries;
}

} // namespace

const OptionRows& VideoLists::frameRate() { return FRAME_RATE; }
const OptionRows& VideoLists::frameRateH263() { return FRAME_RATE_H263; }

const OptionRows& VideoLists::audioQuality() {
    static const OptionRows rows(OptionRows::QUALITY, TEXT_QUALITY, L"Quality", 100, videoQualityEntries());
    return rows;
}

const OptionRows& VideoLists::audioQualityAmr() {
    static const OptionRows rows(OptionRows::QUALITY, TEXT_QUALITY, L"Quality", 12200,
                                 OptionRows::qualityAmr().entries());
    return rows;
}

bool VideoLists::restore(s::gui::IComboBox* list, int32_t stored) {
    if (list == nullptr) {
        return false;
    }
    const int32_t wanted = stored == OLD_23_FPS ? FPS_23 : stored;
    for (int32_t i = 0; i < list->getItemCount(); ++i) {
        const s::gui::combobox::ComboBoxItem* item = list->getItem(i);
        if (item != nullptr && item->value == wanted && OptionRows::isChoice(item->listFlags, item->fieldFlags)) {
            list->setSelectedIndex(i, false);
            return true;
        }
    }
    return false;
}

} // namespace s::sound::gui::dialogs::mp3conv
