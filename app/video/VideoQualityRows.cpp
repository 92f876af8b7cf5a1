#include "app/video/VideoQualityRows.h"

#include <cwchar>
#include <string>
#include <vector>

#include "app/video/RowParts.h"
#include "app/video/VideoList.h"
#include "widgets/gui/IComboBox.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/GroupBox.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/TextField.h"

namespace s::video {

using gui::IComponent;
using gui::combobox::ComboBoxItem;
using gui::win::Label;
typedef VideoList::Entry Entry;
typedef std::vector<Entry> Entries;

namespace {

constexpr wchar_t KEY[] = L"VQuality";
constexpr int32_t MB = VideoQualityRows::CUSTOM_FILE_SIZE;
constexpr int32_t TEXT_CAPTION = 1290000;
constexpr int32_t TEXT_RATE_LABEL = 1200004;
constexpr int32_t TEXT_KBPS = 1200005;
constexpr int32_t TEXT_SIZE_LABEL = 1292924;
constexpr int32_t TEXT_DISC_SIZE_PART = 1601511;
constexpr wchar_t DVD_KEY[] = L"VC_Mpg_Mpg_Ac3_Dvd";
constexpr wchar_t SVCD_KEY[] = L"VC_Mpg_Mpg_Mp2_Svcd";
constexpr Entry DIVIDER = {0, L"-", 0, 32, 32};
constexpr Entry RULE = {0, L"------------------------", 0, 0, 0};

Entry header(int32_t textId) { return {textId, nullptr, 0, 8, 8}; }

void append(Entries* to, const Entries& from) { to->insert(to->end(), from.begin(), from.end()); }

Entries automaticGroup() {
    return {header(1292905), {1293121, nullptr, 104, 0, 1}, {1293110, nullptr, 105, 1, 0}, {1293131, nullptr, 106, 0, 1}};
}

Entries relativeGroup() {
    return {header(1292910), {1293200, nullptr, 101, 1, 1}, RULE,
            {0, L"-10%", 690, 0, 1}, {0, L"-20%", 680, 0, 1}, {0, L"-30%", 670, 0, 1}, {0, L"-40%", 660, 0, 1},
            {0, L"-50%", 650, 0, 1}, {0, L"-60%", 640, 0, 1}, {0, L"-70%", 630, 0, 1}, {0, L"-80%", 620, 0, 1}};
}

// The file-size group: the custom entry, the rule, then the listed sizes.
Entries fileSizeGroup(std::initializer_list<std::pair<const wchar_t*, int32_t>> sizes) {
    Entries entries = {header(1292920), {1292922, nullptr, MB, 1, 1}, RULE};
    for (const auto& size : sizes) {
        entries.push_back({0, size.first, MB + size.second, 0, 1});
    }
    return entries;
}

Entries levelGroup() {
    Entries entries = {header(1293000)};
    for (int32_t level = 9; level >= 1; --level) {
        const int32_t bold = level == 7 || level == 5 || level == 4 ? 1 : 0;
        entries.push_back({1290000 + level, nullptr, level, bold, 1});
    }
    return entries;
}

struct Rate {
    const wchar_t* caption;
    int32_t kbps;
};

Entries bitRateGroup(std::initializer_list<Rate> rates) {
    Entries entries = {header(1200003), {1200006, nullptr, VideoQualityRows::CUSTOM_BIT_RATE, 1, 1}, RULE};
    for (const Rate& rate : rates) {
        // A caption-less rate carries the pack's text of the recommended rate.
        entries.push_back(rate.caption != nullptr ? Entry{0, rate.caption, rate.kbps * 1000, 0, 1}
                                                  : Entry{1291010, nullptr, rate.kbps * 1000, 1, 0});
    }
    return entries;
}

Entries generalFileSizes() {
    return fileSizeGroup({{L"700 MB", 700}, {L"350 MB", 350}, {L"200 MB", 200}, {L"100 MB", 100},
                          {L"50 MB", 50}, {L"10 MB", 10}, {L"5 MB", 5}});
}

Entries generalBitRates() {
    return bitRateGroup({{L"20,000 kbps", 20000}, {L"17,400 kbps", 17400}, {L"15,000 kbps", 15000},
                         {L"12,000 kbps", 12000}, {L"10,000 kbps", 10000}, {L"9,000 kbps", 9000},
                         {L"8,000 kbps", 8000},   {L"7,000 kbps", 7000},   {L"6,000 kbps", 6000},
                         {L"5,000 kbps", 5000},   {L"4,000 kbps", 4000},   {L"3,000 kbps", 3000},
                         {L"2,500 kbps", 2500},   {L"2,000 kbps", 2000},   {L"1,800 kbps", 1800},
                         {L"1,500 kbps", 1500},   {L"1,200 kbps", 1200},   {L"1,000 kbps", 1000},
                         {L"900 kbps", 900},      {L"800 kbps", 800},      {L"700 kbps", 700},
                         {L"600 kbps", 600},      {L"500 kbps", 500},      {L"400 kbps", 400},
                         {L"300 kbps", 300},      {L"250 kbps", 250},      {L"200 kbps", 200},
                         {L"150 kbps", 150},      {L"100 kbps", 100},      {L"50 kbps", 50}});
}

// Groups in order, a divider between each two.
Entries joined(std::initializer_list<Entries> groups) {
    Entries entries;
    for (const Entries& group : groups) {
        if (!entries.empty()) {
            entries.push_back(DIVIDER);
        }
        append(&entries, group);
    }
    return entries;
}

// An entry of the disc lists whose caption is made when the list is built: leading
// text, the pack's size word, closing text.
struct Composed {
    const wchar_t* leading;
    int32_t value;
};
constexpr const wchar_t* CLOSINGS[] = {L")  (-10%)", L")  (-20%)", L")  (-30%)", L")  (-40%)",
                                       L")  (-50%)", L")  (-60%)", L")  (-70%)", L")  (-80%)"};
constexpr const wchar_t* DVD_LEADING[] = {L"5,400 kbps  (42 MB / ", L"4,800 kbps  (38 MB / ", L"4,200 kbps  (33 MB / ",
                                          L"3,600 kbps  (29 MB / ", L"3,000 kbps  (25 MB / ", L"2,400 kbps  (20 MB / ",
                                          L"1,800 kbps  (16 MB / ", L"1,200 kbps  (12 MB / "};
constexpr const wchar_t* SVCD_LEADING[] = {L"1,836 kbps  (14.8 MB / ", L"1,632 kbps  (13.3 MB / ",
                                           L"1,428 kbps  (11.9 MB / ", L"1,224 kbps  (10.4 MB / ",
                                           L"1,020 kbps  (8.9 MB / ",  L"816 kbps    (7.5 MB / ",
                                           L"612 kbps    (6.0 MB / ",  L"408 kbps    (4.6 MB / "};

gui::win::Box* customLine(VideoQualityRows::Dialog* dialog, int32_t labelId, gui::win::TextField* field, Label* unit) {
    gui::win::Box* line = RowParts::lineBox(1);
    if (line != nullptr) {
        line->add(Label::createWithTextId(labelId, false, false, 0));
        line->add(field);
        line->add(RowParts::spacer(dialog, 0, 5));
        line->add(unit);
    }
    return line;
}

} // namespace

const VideoList& VideoQualityRows::general() {
    static const VideoList rows(KEY, 105, 0,
                                joined({automaticGroup(), relativeGroup(), generalFileSizes(), levelGroup(),
                                        generalBitRates()}));
    return rows;
}

const VideoList& VideoQualityRows::theora() {
    static const VideoList rows(KEY, 105, 0,
                                joined({automaticGroup(), generalFileSizes(), relativeGroup(), generalBitRates()}));
    return rows;
}

const VideoList& VideoQualityRows::h263() {
    static const VideoList rows(
        KEY, 100000, 0,
        joined({fileSizeGroup({{L"10 MB", 10}, {L"7 MB", 7}, {L"5 MB", 5}, {L"4 MB", 4}, {L"3 MB", 3},
                               {L"2 MB", 2}, {L"1 MB", 1}}),
                bitRateGroup({{L"1,500 kbps", 1500}, {L"1,200 kbps", 1200}, {L"1,000 kbps", 1000},
                              {L"900 kbps", 900},     {L"800 kbps", 800},     {L"700 kbps", 700},
                              {L"600 kbps", 600},     {L"500 kbps", 500},     {L"400 kbps", 400},
                              {L"300 kbps", 300},     {L"250 kbps", 250},     {L"200 kbps", 200},
                              {L"150 kbps", 150},     {L"120 kbps", 120},     {nullptr, 100},
                              {L"90 kbps", 90},       {L"80 kbps", 80},       {L"70 kbps", 70},
                              {L"60 kbps", 60},       {L"50 kbps", 50},       {L"40 kbps", 40},
                              {L"30 kbps", 30},       {L"20 kbps", 20},       {L"10 kbps", 10}})}));
    return rows;
}

const VideoList& VideoQualityRows::dvd() {
    static const VideoList rows(KEY, 900, 0, {{1601510, nullptr, 900, 1, 0}});
    return rows;
}

const VideoList& VideoQualityRows::svcd() {
    static const VideoList rows(KEY, MB + 794, 0,
                                {header(1601990), {1601991, nullptr, MB + 650, 0, 1}, {1601995, nullptr, MB + 737, 1, 1},
                                 {1601992, nullptr, MB + 700, 0, 1}, {1601996, nullptr, MB + 794, 1, 0}, DIVIDER,
                                 header(1200003), {1601810, nullptr, 900, 1, 1}});
    return rows;
}

const VideoList& VideoQualityRows::listOf(const wchar_t* key) {
    if (key == nullptr) {
        return general();
    }
    if (wcscmp(key, L"VC_3g2_H263_Amr") == 0 || wcscmp(key, L"VC_3gp_H263_Amr") == 0) {
        return h263();
    }
    if (wcscmp(key, L"VC_Ogg_Theora_Vorbis") == 0 || wcscmp(key, L"VC_Ogv_Theora_Vorbis") == 0) {
        return theora();
    }
    if (wcscmp(key, DVD_KEY) == 0) {
        return dvd();
    }
    if (wcscmp(key, SVCD_KEY) == 0) {
        return svcd();
    }
    return general();
}

IComponent* VideoQualityRows::buildWithCustom(Dialog* dialog, const VideoList& rows, const wchar_t* key,
                                              const wchar_t* sizeText, int32_t sizeDefault, int32_t rateDefault,
                                              ComboBox** ref, Box** sizeLine, TextField** sizeField, Box** rateLine,
                                              TextField** rateField) {
    TextField* rate = RowParts::field(L"1000", -1, 50);
    *rateField = rate;
    TextField* size = RowParts::field(sizeText, -1, 50);
    *sizeField = size;
    Box* rateBox = customLine(dialog, TEXT_RATE_LABEL, rate, Label::createWithTextId(TEXT_KBPS, false, false, 0));
    *rateLine = rateBox;
    Box* sizeBox = customLine(dialog, TEXT_SIZE_LABEL, size, Label::createWithText(L" MB", false, false, 0));
    *sizeLine = sizeBox;
    GroupBox* frame =
        framedListRow(dialog, key, rows, TEXT_CAPTION, ref, {{sizeBox, CUSTOM_FILE_SIZE}, {rateBox, CUSTOM_BIT_RATE}});
    if (*ref == nullptr) {
        return nullptr;
    }
    RowParts::putNumber(size, dialog->readOption(key, L"VFileSize", sizeDefault));
    RowParts::putNumber(rate, dialog->readOption(key, L"VBitRate", rateDefault));
    return frame;
}

IComponent* VideoQualityRows::buildVideoQualityRow(Dialog* dialog, const wchar_t* key, ComboBox** ref, Box** sizeLine,
                                                   TextField** sizeField, Box** rateLine, TextField** rateField) {
    return buildWithCustom(dialog, general(), key, L"350", 350, 1000, ref, sizeLine, sizeField, rateLine, rateField);
}

IComponent* VideoQualityRows::buildVideoQualityRowH263(Dialog* dialog, const wchar_t* key, ComboBox** ref,
                                                       Box** sizeLine, TextField** sizeField, Box** rateLine,
                                                       TextField** rateField) {
    return buildWithCustom(dialog, h263(), key, L"5", 5, 100, ref, sizeLine, sizeField, rateLine, rateField);
}

IComponent* VideoQualityRows::buildVideoQualityRowTheora(Dialog* dialog, const wchar_t* key, ComboBox** ref,
                                                         Box** sizeLine, TextField** sizeField, Box** rateLine,
                                                         TextField** rateField) {
    return buildWithCustom(dialog, theora(), key, L"350", 350, 1000, ref, sizeLine, sizeField, rateLine, rateField);
}

IComponent* VideoQualityRows::buildDisc(Dialog* dialog, const VideoList& rows, const wchar_t* key, bool svcd,
                                        ComboBox** ref) {
    ComboBox* list = RowParts::newList(dialog, rows, ref);
    if (list == nullptr) {
        return nullptr;
    }
    const std::wstring sizeWord = dialog->textOf(TEXT_DISC_SIZE_PART) != nullptr ? dialog->textOf(TEXT_DISC_SIZE_PART) : L"";
    for (int32_t i = 0; i < 8; ++i) {
        const std::wstring caption = std::wstring(svcd ? SVCD_LEADING[i] : DVD_LEADING[i]) + sizeWord + CLOSINGS[i];
        ComboBoxItem* item = ComboBoxItem::createWithText(caption.c_str(), 890 - 10 * i, 0, 1);
        if (item != nullptr) {
            list->addItem(item);
        }
    }
    GroupBox* frame = RowParts::frame(dialog, TEXT_CAPTION);
    if (frame != nullptr) {
        frame->add(list);
    }
    rows.restore(list, dialog->readOption(key, KEY, rows.defaultValue()));
    list->addSelectionListener(dialog);
    return frame;
}

IComponent* VideoQualityRows::buildVideoQualityRowDvd(Dialog* dialog, ComboBox** ref) {
    return buildDisc(dialog, dvd(), DVD_KEY, false, ref);
}

IComponent* VideoQualityRows::buildVideoQualityRowSvcd(Dialog* dialog, ComboBox** ref) {
    return buildDisc(dialog, svcd(), SVCD_KEY, true, ref);
}

bool VideoQualityRows::saveVideoQualityWithCustom(Dialog* dialog, const wchar_t* key, ComboBox* list, Box* sizeLine,
                                                  Box* rateLine) {
    return storeChoice(dialog, key, listOf(key), list, {{sizeLine, CUSTOM_FILE_SIZE}, {rateLine, CUSTOM_BIT_RATE}});
}

bool VideoQualityRows::saveVideoQuality(Dialog* dialog, const wchar_t* key, ComboBox* list) {
    int32_t value = 0;
    if (listOf(key).acceptChoice(list, &value)) {
        dialog->writeOption(key, KEY, value);
    }
    return true;
}

void VideoQualityRows::applyVideoQualityOrSize(Dialog* dialog, Setting* record, const wchar_t* key,
                                               const gui::IComboBox* list, const TextField* rateField,
                                               const TextField* sizeField) {
    applyQuality(dialog, record, key, listOf(key).chosenValue(list), rateField, sizeField);
}

} // namespace s::video
