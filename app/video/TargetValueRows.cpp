#include "app/video/TargetValueRows.h"

#include <cwchar>
#include <string>

#include "app/video/RowParts.h"
#include "app/video/TypedNumber.h"
#include "app/video/VideoList.h"
#include "widgets/gui/IComboBox.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/TextField.h"

namespace s::video {

using gui::IComponent;
using gui::win::Label;
typedef VideoList::Entry Entry;

namespace {

constexpr wchar_t FILE_SIZE_KEY[] = L"ByFileSize";
constexpr wchar_t BIT_RATE_KEY[] = L"ByBitRate";
constexpr wchar_t FILE_SIZE_RELATIVE_KEY[] = L"ByFileSizeRelative";
constexpr wchar_t BIT_RATE_RELATIVE_KEY[] = L"ByBitRateRelative";
constexpr int32_t TEXT_FILE_SIZE = 1290000;
constexpr int32_t TEXT_BIT_RATE = 1200004;
constexpr int32_t TEXT_KBPS = 1200005;
constexpr int32_t TEXT_QUALITY = 1293001;
constexpr Entry LIGHT_RULE = {0, L"-", 0, 32, 32};

// "-10%" to "-90%" with the values base - 10 down to base - 90.
std::vector<Entry> relativeEntries(int32_t base) {
    static const wchar_t* const CAPTIONS[] = {L"-10%", L"-20%", L"-30%", L"-40%", L"-50%",
                                              L"-60%", L"-70%", L"-80%", L"-90%"};
    std::vector<Entry> entries;
    for (int32_t i = 0; i < 9; ++i) {
        entries.push_back({0, CAPTIONS[i], base - 10 * (i + 1), 0, 0});
    }
    return entries;
}

} // namespace

const VideoList& TargetValueRows::relativeSize() {
    static const VideoList rows(L"VQuality", 2147483617, 0, relativeEntries(RELATIVE_SIZE_BASE));
    return rows;
}

const VideoList& TargetValueRows::relativeBitRate() {
    static const VideoList rows(L"VQuality", 670, 0, relativeEntries(700));
    return rows;
}

const VideoList& TargetValueRows::qualityAuto() {
    static const VideoList rows(L"VQuality", QUALITY_AUTO, 0,
                                {{1290010, nullptr, QUALITY_AUTO, 0, 0},
                                 LIGHT_RULE,
                                 {1293201, nullptr, 101, 0, 0},
                                 LIGHT_RULE,
                                 {1293000, nullptr, 0, 8, 8},
                                 {1290009, nullptr, 9, 0, 0},
                                 {1290008, nullptr, 8, 0, 0},
                                 {1290007, nullptr, 7, 0, 0},
                                 {1290006, nullptr, 6, 0, 0},
                                 {1290005, nullptr, 5, 0, 0},
                                 {1290004, nullptr, 4, 0, 0},
                                 {1290003, nullptr, 3, 0, 0},
                                 {1290002, nullptr, 2, 0, 0},
                                 {1290001, nullptr, 1, 0, 0},
                                 LIGHT_RULE,
                                 {1200003, nullptr, 0, 8, 8},
                                 {1200006, nullptr, QUALITY_CUSTOM_BIT_RATE, 0, 0},
                                 {0, L"------------------------", 0, 0, 0},
                                 {0, L"5,000 kbps", 5000000, 0, 0},
                                 {0, L"3,000 kbps", 3000000, 0, 0},
                                 {0, L"2,000 kbps", 2000000, 0, 0},
                                 {0, L"1,000 kbps", 1000000, 0, 0},
                                 {0, L"500 kbps", 500000, 0, 0},
                                 {0, L"200 kbps", 200000, 0, 0},
                                 {0, L"100 kbps", 100000, 0, 0}});
    return rows;
}

const VideoList& TargetValueRows::relativeOf(const wchar_t* key) {
    return key != nullptr && wcscmp(key, FILE_SIZE_RELATIVE_KEY) == 0 ? relativeSize() : relativeBitRate();
}

IComponent* TargetValueRows::buildFieldRow(Dialog* dialog, const wchar_t* key, const wchar_t* valueKey, int32_t def,
                                           int32_t captionId, IComponent* unit, TextField** field) {
    TextField* input = TextField::pool();
    *field = input;
    if (input != nullptr) {
        RowParts::putNumber(input, def);
        input->setWidthPercent(100);
    }
    Box* row = RowParts::lineBox();
    Box* column = RowParts::columnBox();
    if (row != nullptr) {
        row->add(Label::createWithTextId(captionId, false, false, 0));
        row->add(RowParts::spacer(dialog, 0, 20));
        row->add(input);
        row->add(RowParts::spacer(dialog, 0, 7));
        row->add(unit);
    }
    if (column != nullptr) {
        column->add(row);
    }
    RowParts::putNumber(input, dialog->readOption(key, valueKey, def));
    return column;
}

IComponent* TargetValueRows::buildFileSizeRow(Dialog* dialog, TextField** field) {
    return buildFieldRow(dialog, FILE_SIZE_KEY, L"VFileSize", 100, TEXT_FILE_SIZE,
                         Label::createWithText(L" MB", false, false, 0), field);
}

IComponent* TargetValueRows::buildBitRateRow(Dialog* dialog, TextField** field) {
    return buildFieldRow(dialog, BIT_RATE_KEY, L"VBitRate", 1000, TEXT_BIT_RATE,
                         Label::createWithTextId(TEXT_KBPS, false, false, 0), field);
}

IComponent* TargetValueRows::buildRelativeSizeRow(Dialog* dialog, ComboBox** ref) {
    return storedListRow(dialog, FILE_SIZE_RELATIVE_KEY, relativeSize(), TEXT_FILE_SIZE, ref);
}

IComponent* TargetValueRows::buildRelativeBitRateRow(Dialog* dialog, ComboBox** ref) {
    return storedListRow(dialog, BIT_RATE_RELATIVE_KEY, relativeBitRate(), TEXT_BIT_RATE, ref);
}

IComponent* TargetValueRows::buildQualityAutoRow(Dialog* dialog, const wchar_t* key, ComboBox** ref, Box** custom,
                                                 TextField** field) {
    const VideoList& rows = qualityAuto();
    TextField* input = TextField::pool();
    *field = input;
    if (input != nullptr) {
        input->setText(L"1000", false);
        input->setFixedWidth(80 * dialog->uiScale());
    }
    Box* block = RowParts::columnBox();
    *custom = block;
    Box* column = nullptr;
    ComboBox* list = captionedList(dialog, rows, TEXT_QUALITY, ref, &column);
    if (list == nullptr) {
        return nullptr;
    }
    Box* line = RowParts::lineBox(2);
    if (line != nullptr) {
        line->add(input);
        line->add(RowParts::spacer(dialog, 0, 7));
        line->add(Label::createWithTextId(TEXT_KBPS, false, false, 0));
    }
    if (block != nullptr) {
        block->add(RowParts::spacer(dialog, 1, 8));
        block->add(line);
    }
    if (column != nullptr) {
        column->add(block);
    }
    const bool automatic = dialog->readOptionBool(key, L"VQualityAuto", true);
    const int32_t stored = dialog->readOption(key, rows.key(), rows.defaultValue());
    rows.restore(list, automatic ? QUALITY_AUTO : stored);
    RowParts::show(block, rows.chosenValue(list) == QUALITY_CUSTOM_BIT_RATE);
    RowParts::putNumber(input, dialog->readOption(key, L"VBitRate", 1000));
    list->addSelectionListener(dialog);
    return column;
}

bool TargetValueRows::saveVideoQualityAuto(Dialog* dialog, const wchar_t* key, ComboBox* list, Box* custom) {
    return storeChoice(dialog, key, qualityAuto(), list, {{custom, QUALITY_CUSTOM_BIT_RATE}}, L"VQualityAuto",
                       QUALITY_AUTO);
}

bool TargetValueRows::saveVideoQualityRelative(Dialog* dialog, const wchar_t* key, ComboBox* list) {
    const VideoList& rows = relativeOf(key);
    int32_t value = 0;
    if (rows.acceptChoice(list, &value)) {
        dialog->writeOption(key, rows.key(), value);
    }
    return true;
}

void TargetValueRows::applyVideoQualityBitRate(Dialog* dialog, Setting* record, const wchar_t* key,
                                               const gui::IComboBox* list, const TextField* field) {
    applyQuality(dialog, record, key, qualityAuto().chosenValue(list), field, nullptr);
}

void TargetValueRows::applyByBitRate(Dialog* dialog, Setting* record, const TextField* field) {
    int32_t kbps = 0;
    if (!TypedNumber::bitRateKbps(RowParts::textOf(field), &kbps)) {
        kbps = FALLBACK_BIT_RATE_KBPS;
    }
    dialog->writeOption(BIT_RATE_KEY, L"VBitRate", kbps);
    record->videoBitRate = static_cast<int64_t>(kbps) * 1000;
}

void TargetValueRows::applyByFileSize(Dialog* dialog, Setting* record, const TextField* field) {
    int32_t megabytes = 0;
    if (!TypedNumber::fileSizeMb(RowParts::textOf(field), &megabytes)) {
        megabytes = FALLBACK_FILE_SIZE_MB;
    }
    dialog->writeOption(FILE_SIZE_KEY, L"VFileSize", megabytes);
    record->videoQuality = FILE_SIZE_BASE + megabytes;
}

int32_t TargetValueRows::relativeChoice(const wchar_t* key, const gui::IComboBox* list) {
    return relativeOf(key).chosenValue(list);
}

} // namespace s::video
