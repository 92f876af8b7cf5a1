#include "app/video/PictureSizeRows.h"

#include <cwchar>
#include <vector>

#include "app/video/RowParts.h"
#include "app/video/TypedNumber.h"
#include "app/video/VideoList.h"
#include "widgets/gui/IComboBox.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/GroupBox.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/TextField.h"

namespace s::video {

using gui::IComponent;
using gui::win::Label;
typedef VideoList::Entry Entry;
typedef std::vector<Entry> Entries;

namespace {

constexpr wchar_t KEY[] = L"VSize";
constexpr int32_t NOT_CHOSEN = 100;
constexpr int32_t TEXT_CAPTION = 1295000;
constexpr int32_t TEXT_WIDTH = 1295011;
constexpr int32_t TEXT_HEIGHT = 1295012;
constexpr wchar_t RULE_TEXT[] = L"------------------------------------------";
constexpr wchar_t ANDROID_KEY[] = L"VC_Mp4_Mpeg4_Aac_Android";
constexpr wchar_t BY_IMAGE_SIZE_KEY[] = L"ByImageSize";
constexpr wchar_t RELATIVE_KEY[] = L"ByImageSizeRelative";

constexpr int32_t size(int32_t w, int32_t h) { return PictureSizeRows::size(w, h); }

Entry header(int32_t textId) { return {textId, nullptr, NOT_CHOSEN, 8, 8}; }

// The nine sizes relative to the source, with the given flags.
Entries relativeEntries(int32_t listFlags, int32_t fieldFlags) {
    static const wchar_t* const CAPTIONS[] = {L"[-10%, -10%]   -19%", L"[-20%, -20%]   -36%", L"[-25%, -25%]   -44%",
                                              L"[-30%, -30%]   -51%", L"[-33%, -33%]   -56%", L"[-40%, -40%]   -64%",
                                              L"[-50%, -50%]   -75%", L"[-66%, -66%]   -89%", L"[-75%, -75%]   -94%"};
    static const int32_t RATIOS[] = {9000, 8000, 7500, 7000, 6666, 6000, 5000, 3333, 2500};
    Entries entries;
    for (int32_t i = 0; i < 9; ++i) {
        entries.push_back({0, CAPTIONS[i], PictureSizeRows::RELATIVE_BASE + RATIOS[i], listFlags, fieldFlags});
    }
    return entries;
}

// 176 x 144, 320 x 240, 480 x 320 by text, then the five wide sizes as literals.
Entries targetSizes() {
    return {{1296010, nullptr, size(176, 144), 0, 0},
            {1296020, nullptr, size(320, 240), 0, 0},
            {1296030, nullptr, size(480, 320), 0, 0},
            {0, L"624 x 352      [352p]    [16:9]", size(624, 352), 0, 0},
            {0, L"854 x 480      [480p]    [16:9]", size(848, 477), 0, 0},
            {0, L"1024 x 576    [576p]    [16:9]", size(1024, 576), 0, 0},
            {0, L"1280 x 720    [720p]    [16:9]", size(1280, 720), 0, 0},
            {0, L"1920 x 1080  [1080p]   [16:9]", size(1920, 1080), 0, 0}};
}

Entries concat(Entries a, const Entries& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

gui::win::Box* fieldLine(PictureSizeRows::Dialog* dialog, int32_t leading, int32_t gap, gui::win::TextField* width,
                         gui::win::TextField* height) {
    gui::win::Box* line = RowParts::lineBox();
    if (line != nullptr) {
        if (leading > 0) {
            line->add(RowParts::spacer(dialog, 0, leading));
        }
        line->add(Label::createWithTextId(TEXT_WIDTH, false, false, 0));
        line->add(width);
        line->add(RowParts::spacer(dialog, 0, gap));
        line->add(Label::createWithTextId(TEXT_HEIGHT, false, false, 0));
        line->add(height);
    }
    return line;
}

} // namespace

const VideoList& PictureSizeRows::preset() {
    static const VideoList rows(
        KEY, SOURCE, NOT_CHOSEN,
        concat({{1300100, nullptr, SOURCE, 1, 4},
                {0, L"-", NOT_CHOSEN, 32, 32},
                header(1295006),
                {1295010, nullptr, CUSTOM, 1, 1},
                {0, RULE_TEXT, NOT_CHOSEN, 0, 0},
                {1296010, nullptr, size(176, 144), 0, 1},
                {1296020, nullptr, size(320, 240), 0, 1},
                {1296030, nullptr, size(480, 320), 0, 1},
                {1296040, nullptr, size(624, 352), 0, 1},
                {0, L"854 x 480      [480p]    [16:9]", size(848, 477), 0, 1},
                {0, L"1024 x 576    [576p]    [16:9]", size(1024, 576), 0, 1},
                {1296070, nullptr, size(1280, 720), 0, 1},
                {1296080, nullptr, size(1920, 1080), 0, 1},
                {0, L"-", NOT_CHOSEN, 16, 16},
                header(1295005)},
               relativeEntries(0, 1)));
    return rows;
}

const VideoList& PictureSizeRows::target() {
    static const VideoList rows(
        KEY, AUTOMATIC, NOT_CHOSEN,
        concat(concat({{1295001, nullptr, AUTOMATIC, 0, 0},
                       {0, L"-", NOT_CHOSEN, 32, 32},
                       {1295009, nullptr, SOURCE, 0, 0},
                       {0, L"-", NOT_CHOSEN, 32, 32},
                       header(1295006),
                       {1295010, nullptr, CUSTOM, 0, 0},
                       {0, RULE_TEXT, NOT_CHOSEN, 0, 0}},
                      targetSizes()),
               concat({{0, L"-", NOT_CHOSEN, 16, 16}, header(1295005)}, relativeEntries(0, 0))));
    return rows;
}

const VideoList& PictureSizeRows::byImageSize() {
    static const VideoList rows(KEY, CUSTOM, NOT_CHOSEN,
                                concat({{1295010, nullptr, CUSTOM, 0, 0}, {0, RULE_TEXT, NOT_CHOSEN, 0, 0}}, targetSizes()));
    return rows;
}

const VideoList& PictureSizeRows::relative() {
    static const VideoList rows(KEY, RELATIVE_BASE + 7500, NOT_CHOSEN, relativeEntries(0, 0));
    return rows;
}

const VideoList& PictureSizeRows::android() {
    static const VideoList rows(KEY, size(480, 320), NOT_CHOSEN,
                                {{1295010, nullptr, CUSTOM, 1, 1},
                                 {0, L"-", NOT_CHOSEN, 16, 16},
                                 {0, L"320 x 480", size(320, 480), 0, 1},
                                 {1298000, nullptr, size(480, 320), 1, 0}});
    return rows;
}

const VideoList& PictureSizeRows::listOf(const wchar_t* key) {
    if (key == nullptr) {
        return preset();
    }
    if (wcscmp(key, ANDROID_KEY) == 0) return android();
    if (wcscmp(key, BY_IMAGE_SIZE_KEY) == 0) return byImageSize();
    if (wcscmp(key, RELATIVE_KEY) == 0) return relative();
    if (wcscmp(key, L"ByFileSize") == 0 || wcscmp(key, L"ByFileSizeRelative") == 0 || wcscmp(key, L"ByBitRate") == 0 ||
        wcscmp(key, L"ByBitRateRelative") == 0) {
        return target();
    }
    return preset();
}

IComponent* PictureSizeRows::buildPresetRow(Dialog* dialog, const wchar_t* key, const VideoList& rows,
                                            int32_t widthDefault, int32_t heightDefault, ComboBox** ref,
                                            Box** customLine, TextField** widthField, TextField** heightField) {
    TextField* height = RowParts::field(L"", -1, 50);
    *heightField = height;
    TextField* width = RowParts::field(L"", -1, 50);
    *widthField = width;
    Box* line = fieldLine(dialog, 0, 5, width, height);
    *customLine = line;
    GroupBox* frame = framedListRow(dialog, key, rows, TEXT_CAPTION, ref, {{line, CUSTOM}});
    if (*ref == nullptr) {
        return nullptr;
    }
    RowParts::putNumber(width, dialog->readOption(key, L"VSizeWidth", widthDefault));
    RowParts::putNumber(height, dialog->readOption(key, L"VSizeHeight", heightDefault));
    return frame;
}

IComponent* PictureSizeRows::buildImageSizeRow(Dialog* dialog, const wchar_t* key, ComboBox** ref, Box** customLine,
                                               TextField** widthField, TextField** heightField) {
    return buildPresetRow(dialog, key, preset(), 854, 480, ref, customLine, widthField, heightField);
}

IComponent* PictureSizeRows::buildImageSizeRowAndroid(Dialog* dialog, ComboBox** ref, Box** customLine,
                                                      TextField** widthField, TextField** heightField) {
    return buildPresetRow(dialog, ANDROID_KEY, android(), 480, 320, ref, customLine, widthField, heightField);
}

IComponent* PictureSizeRows::buildTargetRow(Dialog* dialog, const wchar_t* key, const VideoList& rows,
                                            bool byImageSize, ComboBox** ref, Box** outerBlock, Box** customBlock,
                                            TextField** widthField, TextField** heightField) {
    const int32_t s = dialog->uiScale();
    TextField* width = RowParts::field(L"", 20 * s, 50);
    *widthField = width;
    TextField* height = RowParts::field(L"", 20 * s, 50);
    *heightField = height;
    Box* block = RowParts::columnBox();
    *customBlock = block;
    if (block != nullptr) {
        block->add(RowParts::spacer(dialog, 1, byImageSize ? 8 : 9));
        block->add(fieldLine(dialog, 15, 10, width, height));
    }
    Box* outer = nullptr;
    if (byImageSize) {
        // Keeps its natural height while the block inside collapses.
        outer = RowParts::columnBox();
        *outerBlock = outer;
        if (outer != nullptr) {
            outer->add(block);
        }
    }
    Box* column = nullptr;
    ComboBox* list = captionedList(dialog, rows, TEXT_CAPTION, ref, &column);
    if (list == nullptr) {
        return nullptr;
    }
    if (column != nullptr) {
        column->add(byImageSize ? outer : block);
    }
    int32_t stored = 0;
    if (byImageSize) {
        stored = dialog->readOption(key, KEY, rows.defaultValue());
    } else {
        stored = dialog->readOptionBool(key, L"VSizeAuto", true) ? AUTOMATIC : dialog->readOption(key, KEY, AUTOMATIC);
    }
    rows.restore(list, stored);
    RowParts::show(block, rows.chosenValue(list) == CUSTOM);
    RowParts::putNumber(width, dialog->readOption(key, L"VSizeWidth", 624));
    RowParts::putNumber(height, dialog->readOption(key, L"VSizeHeight", 352));
    list->addSelectionListener(dialog);
    return column;
}

IComponent* PictureSizeRows::buildImageSizeRowTarget(Dialog* dialog, const wchar_t* key, ComboBox** ref,
                                                     Box** customBlock, TextField** widthField,
                                                     TextField** heightField) {
    Box* unused = nullptr;
    return buildTargetRow(dialog, key, target(), false, ref, &unused, customBlock, widthField, heightField);
}

IComponent* PictureSizeRows::buildImageSizeRowByImageSize(Dialog* dialog, ComboBox** ref, Box** outerBlock,
                                                          Box** customBlock, TextField** widthField,
                                                          TextField** heightField) {
    return buildTargetRow(dialog, BY_IMAGE_SIZE_KEY, byImageSize(), true, ref, outerBlock, customBlock, widthField,
                          heightField);
}

IComponent* PictureSizeRows::buildImageSizeRowRelative(Dialog* dialog, ComboBox** ref) {
    return storedListRow(dialog, RELATIVE_KEY, relative(), TEXT_CAPTION, ref);
}

bool PictureSizeRows::saveImageSize(Dialog* dialog, const wchar_t* key, ComboBox* list, Box* customLine) {
    return storeChoice(dialog, key, listOf(key), list, {{customLine, CUSTOM}});
}

bool PictureSizeRows::saveImageSizeAuto(Dialog* dialog, const wchar_t* key, ComboBox* list, Box* customBlock) {
    return storeChoice(dialog, key, target(), list, {{customBlock, CUSTOM}}, L"VSizeAuto", AUTOMATIC);
}

bool PictureSizeRows::saveImageSizeRelative(Dialog* dialog, ComboBox* list) {
    int32_t value = 0;
    if (relative().acceptChoice(list, &value)) {
        dialog->writeOption(RELATIVE_KEY, KEY, value);
    }
    return true;
}

void PictureSizeRows::apply(Dialog* dialog, Setting* record, const wchar_t* key, int32_t value, bool target,
                            const TextField* widthField, const TextField* heightField) {
    dialog->writeOption(key, KEY, value);
    int32_t width = 0;
    int32_t height = 0;
    const bool widthValid = TypedNumber::pictureSide(RowParts::textOf(widthField), &width);
    const bool heightValid = TypedNumber::pictureSide(RowParts::textOf(heightField), &height);
    if (widthValid) {
        dialog->writeOption(key, L"VSizeWidth", width);
    }
    if (heightValid) {
        dialog->writeOption(key, L"VSizeHeight", height);
    }
    if (value == CUSTOM) {
        // Unusable numbers keep the source's size rather than a packed reading of 1.
        record->width = widthValid && heightValid ? width : 0;
        record->height = widthValid && heightValid ? height : 0;
    } else if (value == AUTOMATIC && target) {
        record->autoPictureSize = 1;
    } else {
        record->width = value >> 16;
        record->height = value & 65535;
    }
}

void PictureSizeRows::applyImageSize(Dialog* dialog, Setting* record, const wchar_t* key, const gui::IComboBox* list,
                                     const TextField* widthField, const TextField* heightField) {
    apply(dialog, record, key, listOf(key).chosenValue(list), false, widthField, heightField);
}

void PictureSizeRows::applyImageSizeTarget(Dialog* dialog, Setting* record, const wchar_t* key,
                                           const gui::IComboBox* list, const TextField* widthField,
                                           const TextField* heightField) {
    apply(dialog, record, key, target().chosenValue(list), true, widthField, heightField);
}

void PictureSizeRows::applyImageSizeRelative(Dialog* dialog, Setting* record, const gui::IComboBox* list) {
    const int32_t value = relative().chosenValue(list);
    dialog->writeOption(RELATIVE_KEY, KEY, value);
    record->width = value >> 16;
    record->height = value & 65535;
}

} // namespace s::video
