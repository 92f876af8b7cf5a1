#include "app/video/TvSystemRows.h"

#include <cwchar>

#include "app/video/RowParts.h"
#include "app/video/VideoList.h"
#include "widgets/gui/IComboBox.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/GroupBox.h"
#include "widgets/gui/win/Label.h"

namespace s::video {

using gui::IComponent;
using gui::win::GroupBox;
using gui::win::Label;
typedef VideoList::Entry Entry;

namespace {

constexpr int32_t NOT_CHOSEN = 1000;
constexpr int32_t TEXT_TV_CAPTION = 1600000;
constexpr int32_t TEXT_TV_NOTE1 = 1600300;
constexpr int32_t TEXT_TV_NOTE2 = 1600400;
constexpr int32_t TEXT_SCREEN_CAPTION = 1601000;
constexpr int32_t TEXT_SCREEN_NOTE = 1601400;
// 8 point.
constexpr int32_t NOTE_FONT = -2;
constexpr Entry RULE = {0, L"-", NOT_CHOSEN, 16, 16};
constexpr wchar_t DVD_GROUP[] = L"VC_Mpg_Mpg_Ac3_Dvd";
constexpr wchar_t SVCD_GROUP[] = L"VC_Mpg_Mpg_Mp2_Svcd";

struct DvPreset {
    const wchar_t* group;
    int32_t ids[4];
};
constexpr DvPreset DV_PRESETS[] = {{L"VC_Dv_Dv", {10108, 10109, 10110, 10111}},
                                   {L"VC_Dv_Dv50", {10113, 10114, 10115, 10116}}};

Label* note(int32_t textId) {
    return Label::createWithTextId(textId, true, false, NOTE_FONT);
}

bool saveChoice(TvSystemRows::Dialog* dialog, const VideoList& rows, const wchar_t* group,
                TvSystemRows::ComboBox* list) {
    int32_t value = 0;
    if (rows.acceptChoice(list, &value)) {
        dialog->writeOption(group, rows.key(), value);
    }
    return true;
}

} // namespace

const VideoList& TvSystemRows::tvSystem() {
    static const VideoList rows(L"VNtsc", 1, NOT_CHOSEN,
                                {{1600100, nullptr, 1, 1, 0}, {1600200, nullptr, 2, 1, 1}, RULE,
                                 {0, L"NTSC", 11, 0, 1}, {0, L"PAL", 12, 0, 1}});
    return rows;
}

const VideoList& TvSystemRows::screenDvd() {
    static const VideoList rows(L"VScreen", 0, NOT_CHOSEN,
                                {{1601100, nullptr, 0, 1, 0}, RULE, {1601200, nullptr, 2, 1, 1},
                                 {1601300, nullptr, 1, 0, 1}});
    return rows;
}

const VideoList& TvSystemRows::screenSvcd() {
    static const VideoList rows(L"VScreen", 2, NOT_CHOSEN, {{1601200, nullptr, 2, 1, 0}, {1601300, nullptr, 1, 0, 1}});
    return rows;
}

IComponent* TvSystemRows::buildTvSystemRow(Dialog* dialog, const wchar_t* group, ComboBox** ref) {
    const VideoList& rows = tvSystem();
    ComboBox* list = RowParts::newList(dialog, rows, ref);
    if (list == nullptr) {
        return nullptr;
    }
    GroupBox* frame = RowParts::frame(dialog, TEXT_TV_CAPTION);
    if (frame != nullptr) {
        frame->add(list);
        frame->add(RowParts::spacer(dialog, 1, 5));
        frame->add(note(TEXT_TV_NOTE1));
        frame->add(RowParts::spacer(dialog, 1, 5));
        frame->add(note(TEXT_TV_NOTE2));
    }
    rows.restore(list, dialog->readOption(group, rows.key(), rows.defaultValue()));
    list->addSelectionListener(dialog);
    return frame;
}

IComponent* TvSystemRows::buildScreenRow(Dialog* dialog, const VideoList& rows, const wchar_t* group, ComboBox** ref) {
    ComboBox* list = RowParts::newList(dialog, rows, ref);
    if (list == nullptr) {
        return nullptr;
    }
    GroupBox* frame = RowParts::frame(dialog, TEXT_SCREEN_CAPTION);
    if (frame != nullptr) {
        frame->add(list);
        frame->add(note(TEXT_SCREEN_NOTE));
    }
    rows.restore(list, dialog->readOption(group, rows.key(), rows.defaultValue()));
    list->addSelectionListener(dialog);
    return frame;
}

IComponent* TvSystemRows::buildScreenShapeRowDvd(Dialog* dialog, ComboBox** ref) {
    return buildScreenRow(dialog, screenDvd(), DVD_GROUP, ref);
}

IComponent* TvSystemRows::buildScreenShapeRowSvcd(Dialog* dialog, ComboBox** ref) {
    return buildScreenRow(dialog, screenSvcd(), SVCD_GROUP, ref);
}

bool TvSystemRows::saveTvSystem(Dialog* dialog, const wchar_t* group, ComboBox* list) {
    return saveChoice(dialog, tvSystem(), group, list);
}

bool TvSystemRows::saveScreenShape(Dialog* dialog, const wchar_t* group, ComboBox* list) {
    const bool svcd = group != nullptr && wcscmp(group, SVCD_GROUP) == 0;
    return saveChoice(dialog, svcd ? screenSvcd() : screenDvd(), group, list);
}

void TvSystemRows::applyTvSystem(Dialog* dialog, const gui::IComboBox* list, const int32_t ids[4]) {
    switch (tvSystem().chosenValue(list)) {
    case 1: dialog->jobRecord()->outputId = ids[0]; break;
    case 2: dialog->jobRecord()->outputId = ids[1]; break;
    case 11: dialog->jobRecord()->outputId = ids[2]; break;
    case 12: dialog->jobRecord()->outputId = ids[3]; break;
    default: break;
    }
}

bool TvSystemRows::dvIds(const wchar_t* group, int32_t ids[4]) {
    for (const DvPreset& preset : DV_PRESETS) {
        if (group != nullptr && wcscmp(group, preset.group) == 0) {
            for (int32_t i = 0; i < 4; ++i) {
                ids[i] = preset.ids[i];
            }
            return true;
        }
    }
    return false;
}

} // namespace s::video
