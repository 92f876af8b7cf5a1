#include "app/video/TargetFormatRows.h"

#include "app/video/RowParts.h"
#include "app/video/VideoList.h"
#include "widgets/gui/IComboBox.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/Spacer.h"

namespace s::video {

using gui::IComponent;
using gui::win::Box;
using gui::win::Label;
using gui::win::Spacer;

namespace {

constexpr int32_t TEXT_CONTAINER_CAPTION = 1299000;
constexpr int32_t LIST_HEIGHT = 22;

// Output id and audio format of a container, and its variants for levels 13, 9, 5.
struct Container {
    int32_t value, outputId, formatId;
    int32_t variants[3];
};
constexpr Container CONTAINERS[] = {
    {10, 10003, 6, {17024, 10024, 10553}},
    {20, 10301, 18, {10304, 10304, 10304}},
    {30, 10005, 5, {17026, 10026, 10555}},
    {40, 10006, 5, {17027, 10027, 10556}},
};

} // namespace

const VideoList& TargetFormatRows::levels() {
    static const VideoList rows(L"VQ", 1, 0,
                                {{1190523, nullptr, 13, 0, 0}, {1190519, nullptr, 9, 0, 0}, {1190515, nullptr, 5, 0, 0},
                                 {1190511, nullptr, 1, 0, 0}});
    return rows;
}

const VideoList& TargetFormatRows::containers() {
    static const VideoList rows(L"VFormat", 0, 100,
                                {{1299001, nullptr, 0, 0, 0}, {0, L"-", 100, 32, 32}, {0, L".AVI", 10, 0, 0},
                                 {0, L".FLV", 20, 0, 0}, {0, L".MKV", 30, 0, 0}, {0, L".MP4", 40, 0, 0}});
    return rows;
}

IComponent* TargetFormatRows::buildVqRow(Dialog* dialog, const wchar_t* key, ComboBox** ref) {
    const VideoList& rows = levels();
    ComboBox* list = RowParts::newList(dialog, rows, ref, LIST_HEIGHT);
    if (list == nullptr) {
        return nullptr;
    }
    Box* column = RowParts::columnBox();
    if (column != nullptr) {
        column->add(RowParts::captioned(dialog, TEXT_LEVEL_CAPTION, 0, 20, list));
    }
    int32_t stored = dialog->readOption(key, rows.key(), rows.defaultValue());
    if (needsExternal(stored) && !RowParts::externalUsable()) {
        stored = rows.defaultValue();
    }
    rows.restore(list, stored);
    list->addSelectionListener(dialog);
    return column;
}

bool TargetFormatRows::saveVq(Dialog* dialog, const wchar_t* key, ComboBox* list) {
    int32_t value = 0;
    if (!levels().acceptChoice(list, &value)) {
        return true;
    }
    if (needsExternal(value) && !RowParts::externalUsable()) {
        RowParts::refuseExternalChoice(dialog, list);
        return true;
    }
    dialog->writeOption(key, levels().key(), value);
    return true;
}

void TargetFormatRows::applyVq(Setting* record, const gui::IComboBox* list) {
    const int32_t level = levels().chosenValue(list);
    if (level >= 5) {
        record->twoPass = level != 13 ? 1 : 0;
    }
    const int32_t column = level == 13 ? 0 : level == 9 ? 1 : level == 5 ? 2 : -1;
    if (record->outputId == AUTOMATIC_OUTPUT) {
        record->outputId = AUTOMATIC_OUTPUT - 10 * level;
        return;
    }
    for (const Container& c : CONTAINERS) {
        if (record->outputId == c.outputId) {
            record->outputId = column >= 0 ? c.variants[column] : c.outputId;
            record->formatId = c.formatId;
            return;
        }
    }
}

IComponent* TargetFormatRows::buildVideoFormatRow(Dialog* dialog, const wchar_t* key, ComboBox** ref) {
    const VideoList& rows = containers();
    ComboBox* list = RowParts::newList(dialog, rows, ref, LIST_HEIGHT, 80);
    if (list == nullptr) {
        return nullptr;
    }
    Box* inner = RowParts::lineBox();
    if (inner != nullptr) {
        inner->add(Label::createWithTextId(TEXT_CONTAINER_CAPTION, false, false, 0));
        // Stands the list at the right end.
        inner->add(Spacer::createWithWidthPercent(100));
        inner->add(list);
    }
    Box* outer = RowParts::lineBox();
    if (outer != nullptr) {
        outer->add(inner);
    }
    const bool automatic = dialog->readOptionBool(key, L"VFormatAuto", true);
    rows.restore(list, automatic ? 0 : dialog->readOption(key, rows.key(), rows.defaultValue()));
    list->addSelectionListener(dialog);
    return outer;
}

bool TargetFormatRows::saveVideoFormat(Dialog* dialog, const wchar_t* key, ComboBox* list) {
    int32_t value = 0;
    if (containers().acceptChoice(list, &value)) {
        dialog->writeOptionBool(key, L"VFormatAuto", value == 0);
        dialog->writeOption(key, containers().key(), value);
    }
    return true;
}

void TargetFormatRows::applyVideoFormat(Setting* record, const gui::IComboBox* list) {
    const int32_t value = containers().chosenValue(list);
    if (value == 0) {
        record->outputId = AUTOMATIC_OUTPUT;
        return;
    }
    for (const Container& c : CONTAINERS) {
        if (c.value == value) {
            record->outputId = c.outputId;
            record->formatId = c.formatId;
            return;
        }
    }
}

} // namespace s::video
