// The converter dialog's rows of the video panels: frame rate, audio quality, the
// file-sharing preset's content class, boost and estimates, and the test encode.
#include "app/sound/gui/dialogs/mp3conv/Dialog.h"

#include <string>

#include "app/video/P2pEstimates.h"
#include "app/video/TestRunChoice.h"
#include "app/video/VideoLists.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "drawers/gui/drawer/IGroupBox.h"
#include "widgets/gui/IBox.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/CheckBox.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/GroupBox.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/Spacer.h"
#include "widgets/gui/win/TextField.h"
#include "widgets/gui/win/Window.h"

namespace s::sound::gui::dialogs::mp3conv {

using s::gui::IBox;
using s::gui::IComponent;
using s::gui::combobox::ComboBoxItem;
using s::gui::win::GroupBox;
using s::gui::win::Spacer;
using str::strbuffer::StrBuffer;

namespace {

// The one preset with content classes keeps them under its own group.
constexpr wchar_t P2P_GROUP[] = L"VC_Avi_Mpeg4_Mp3_P2PShare";
constexpr wchar_t CONTENT_KEY[] = L"VContent";
constexpr int32_t CONTENT_DEFAULT = 352;
constexpr int32_t BOOST_DEFAULT = 100;
constexpr int32_t TEXT_CONTENT = 1602000;
constexpr int32_t TEXT_BOOST = 1290000;
// Texts the language pack lacks: the per-minute and per-hour suffixes, and the class
// captions.
constexpr wchar_t PER_MINUTE_SUFFIX[] = L" / min";
constexpr wchar_t PER_HOUR_SUFFIX[] = L" / hour";
struct ContentEntry {
    const wchar_t* caption;
    int32_t value;
    int32_t flags;
};
constexpr ContentEntry CONTENT_ENTRIES[] = {
    {L"352p  (Standard)", 352, 0},      {L"480p", 480, 0},          {L"720p  (HD)", 720, 0},
    {L"1080p  (Full HD)", 1080, 0},     {L"-", 0, 16},              {L"352p  (High Quality)", 10352, 0},
    {L"576p  (High Quality)", 10576, 0}, {L"1080p  (High Quality)", 11080, 0},
};
constexpr ContentEntry BOOST_ENTRIES[] = {{L"\u00b10%", 100, 0},  {L"+10%", 110, 0}, {L"+20%", 120, 0},
                                          {L"+30%", 130, 0}, {L"+40%", 140, 0}, {L"+50%", 150, 0}};

constexpr wchar_t TEST_KEY[] = L"Test";
constexpr wchar_t TEST_POSITION_KEY[] = L"TestPos";
constexpr wchar_t TEST_SECONDS_KEY[] = L"TestSec";
constexpr wchar_t TEST_CAPTION[] = L"Test Encode";
constexpr wchar_t TEST_UNIT[] = L"sec.";
constexpr ContentEntry TEST_POSITIONS[] = {{L"Beginning", 1, 0}, {L"Middle", 2, 0}, {L"End", 3, 0}};

template <size_t N>
void fillEntries(s::gui::win::ComboBox* list, const ContentEntry (&entries)[N]) {
    for (const ContentEntry& e : entries) {
        if (ComboBoxItem* item = ComboBoxItem::createWithText(e.caption, e.value, e.flags, e.flags)) {
            list->addItem(item);
        }
    }
}

int32_t selectedValue(const s::gui::IComboBox* list, int32_t fallback) {
    const ComboBoxItem* item = list != nullptr ? list->getSelectedItem() : nullptr;
    return item != nullptr ? item->value : fallback;
}

s::gui::win::Label* plainLabel(const wchar_t* text) {
    return s::gui::win::Label::createWithText(text, false, false, 0);
}

// Back, quietly, to the entry chosen before a separator; the default when there was none.
void stepBack(s::gui::win::ComboBox* list, int32_t fallback) {
    if (list->getPreviousIndex() >= 0) {
        list->setSelectedIndex(list->getPreviousIndex(), false);
    } else {
        list->selectByValue(fallback, false);
    }
}

void setLabel(s::gui::win::Label* label, const StrBuffer* text) {
    if (label != nullptr && text != nullptr) {
        label->setText(text->c_str(), true);
    }
}

} // namespace

// ---- Frames and lists ----

GroupBox* Dialog::buildVideoRowFrame(int32_t captionId, IComponent* content) {
    const int32_t s = uiScale();
    GroupBox* frame = GroupBox::createWithTextId(IBox::COLUMN, 10 * s, 5 * s, 20 * s, 3 * s, 100, captionId);
    if (frame == nullptr) {
        return nullptr;
    }
    if (content != nullptr) {
        frame->add(content);
    }
    if (frame->getDrawer() != nullptr) {
        frame->getDrawer()->setColor(238, 238, 238);
    }
    return frame;
}

IComponent* Dialog::buildVideoListRow(const OptionRows& rows, const wchar_t* group, ComboBox** list) {
    ComboBox* combo = ComboBox::createWithWidthPercent(100, -1);
    *list = combo;
    if (combo == nullptr) {
        return nullptr;
    }
    combo->setEnabled(true);
    rows.fill(combo, localizer());
    GroupBox* frame = buildVideoRowFrame(rows.captionId(), combo);
    VideoLists::restore(combo, readInt(optionGroup(group), rows.key(), rows.defaultValue()));
    combo->addSelectionListener(this);
    return frame;
}

// ---- Frame rate and audio quality ----

IComponent* Dialog::buildFrameRateRow(const wchar_t* group, ComboBox** list) {
    return buildVideoListRow(VideoLists::frameRate(), group, list);
}

IComponent* Dialog::buildFrameRateRowH263(const wchar_t* group, ComboBox** list) {
    return buildVideoListRow(VideoLists::frameRateH263(), group, list);
}

bool Dialog::saveFrameRate(const wchar_t* group, ComboBox* list) {
    const ComboBoxItem* item = list != nullptr ? list->getSelectedItem() : nullptr;
    if (item == nullptr) {
        return true;
    }
    if (item->value == VideoLists::FRAME_RATE_SEPARATOR) {
        stepBack(list, VideoLists::FRAME_RATE_DEFAULT);
        return true;
    }
    writeInt(optionGroup(group), VideoLists::FRAME_RATE_KEY, item->value);
    return true;
}

void Dialog::applyFrameRate(Setting* record, const wchar_t*, ComboBox* list) {
    const ComboBoxItem* item = list != nullptr ? list->getSelectedItem() : nullptr;
    if (record != nullptr && item != nullptr && item->value != VideoLists::FRAME_RATE_SEPARATOR) {
        record->frameRate = item->value;
    }
}

IComponent* Dialog::buildAudioQualityRowVideo(const wchar_t* group, ComboBox** list) {
    return buildVideoListRow(VideoLists::audioQuality(), group, list);
}

IComponent* Dialog::buildAudioQualityRowAmrVideo(const wchar_t* group, ComboBox** list) {
    return buildVideoListRow(VideoLists::audioQualityAmr(), group, list);
}

// ---- Content class, boost and estimates ----

IComponent* Dialog::buildContentKindRow(Label** perHour, Label** perMinute, ComboBox** content) {
    *perHour = plainLabel(L"8 MB / hour");
    *perMinute = plainLabel(L"8 MB / min");
    ComboBox* list = ComboBox::createWithWidthPercent(100, -1);
    *content = list;
    if (list == nullptr) {
        return nullptr;
    }
    list->setEnabled(true);
    Box* sizes = Box::create(IBox::ROW, 0, 100, -1, 0, 0, 0, 0, 0);
    if (sizes != nullptr) {
        sizes->add(*perMinute);
        sizes->add(Spacer::createWithWidthPercent(100));
        sizes->add(*perHour);
    }
    fillEntries(list, CONTENT_ENTRIES);
    GroupBox* frame = buildVideoRowFrame(TEXT_CONTENT, list);
    if (frame != nullptr && sizes != nullptr) {
        frame->add(sizes);
    }
    for (Label* label : {*perHour, *perMinute}) {
        if (label != nullptr) {
            label->setBold(true);
        }
    }
    list->selectByValue(readInt(optionGroup(P2P_GROUP), CONTENT_KEY, CONTENT_DEFAULT), false);
    list->addSelectionListener(this);
    return frame;
}

IComponent* Dialog::buildQualityBoostRow(ComboBox* content, ComboBox** boost, Label** videoRate) {
    const int32_t s = uiScale();
    ComboBox* list = ComboBox::createWithSize(70 * s, -1);
    *boost = list;
    *videoRate = plainLabel(L"1,000 kbps");
    if (list == nullptr) {
        return nullptr;
    }
    list->setEnabled(true);
    fillEntries(list, BOOST_ENTRIES);
    Box* row = Box::create(IBox::ROW, 0, 100, -1, 1, 0, 0, 0, 0);
    if (row != nullptr) {
        row->add(*videoRate);
        row->add(Spacer::createWithWidthPercent(100));
        row->add(list);
    }
    GroupBox* frame = GroupBox::createWithTextId(IBox::ROW, 10 * s, 5 * s, 20 * s, 3 * s, 100, TEXT_BOOST);
    if (frame != nullptr) {
        frame->add(row);
        if (frame->getDrawer() != nullptr) {
            frame->getDrawer()->setColor(238, 238, 238);
        }
    }
    loadQualityBoost(content, list);
    list->addSelectionListener(this);
    return frame;
}

void Dialog::loadQualityBoost(ComboBox* content, ComboBox* boost) {
    const ComboBoxItem* item = content != nullptr && boost != nullptr ? content->getSelectedItem() : nullptr;
    const wchar_t* key = item != nullptr ? p2pBoostKey(item->value) : nullptr;
    if (key != nullptr) {
        boost->selectByValue(readInt(optionGroup(P2P_GROUP), key, BOOST_DEFAULT), false);
    }
}

void Dialog::updateP2pEstimates(ComboBox* content, Label* perMinute, Label* perHour, ComboBox* boost,
                                Label* videoRate, Label* pictureSize, Label* audioRate) {
    const ComboBoxItem* item = content != nullptr && boost != nullptr ? content->getSelectedItem() : nullptr;
    if (item == nullptr) {
        return;
    }
    const int32_t code = item->value;
    // A boost list showing nothing asks for no boost.
    const int32_t percent = selectedValue(boost, BOOST_DEFAULT);
    thread::Held<StrBuffer> text(StrBuffer::pool());
    if (!text) {
        return;
    }
    formatKbpsLabel(code, percent, text.get());
    setLabel(videoRate, text.get());
    formatKbpsLabelAlt(code, text.get());
    setLabel(audioRate, text.get());
    formatMegabytesOneDecimal(code, percent, text.get());
    text->append(PER_MINUTE_SUFFIX);
    setLabel(perMinute, text.get());
    formatMegabytesGrouped(code, percent, text.get());
    text->append(PER_HOUR_SUFFIX);
    setLabel(perHour, text.get());
    const P2pContentClass* kind = p2pContentClass(code);
    if (kind != nullptr && pictureSize != nullptr) {
        pictureSize->setText(kind->sizeText, true);
    }
}

bool Dialog::saveContentKind(const wchar_t* group, ComboBox* content, Label* perMinute, Label* perHour,
                             ComboBox* boost, Label* videoRate, Label* pictureSize, Label* audioRate) {
    const ComboBoxItem* item = content != nullptr ? content->getSelectedItem() : nullptr;
    if (item == nullptr) {
        return true;
    }
    if (item->value == 0) {
        stepBack(content, CONTENT_DEFAULT);
    } else {
        writeInt(optionGroup(group), CONTENT_KEY, item->value);
    }
    loadQualityBoost(content, boost);
    updateP2pEstimates(content, perMinute, perHour, boost, videoRate, pictureSize, audioRate);
    return true;
}

bool Dialog::saveQualityBoost(const wchar_t* group, ComboBox* content, Label* perMinute, Label* perHour,
                              ComboBox* boost, Label* videoRate, Label* pictureSize, Label* audioRate) {
    const wchar_t* key = p2pBoostKey(selectedValue(content, 0));
    const ComboBoxItem* chosen = boost != nullptr ? boost->getSelectedItem() : nullptr;
    if (key != nullptr && chosen != nullptr) {
        writeInt(optionGroup(group), key, chosen->value);
    }
    updateP2pEstimates(content, perMinute, perHour, boost, videoRate, pictureSize, audioRate);
    return true;
}

// ---- Test encode ----

namespace {

// The seconds field, the position list and the check box of both layouts.
void buildTestControls(int32_t scale, s::gui::win::CheckBox** check, s::gui::win::ComboBox** position,
                       s::gui::win::TextField** seconds) {
    *seconds = s::gui::win::TextField::create(L"15", 20 * scale, -1);
    if (*seconds != nullptr) {
        (*seconds)->setFixedWidth(55 * scale);
    }
    *position = s::gui::win::ComboBox::createWithSize(85 * scale, 20 * scale);
    if (*position != nullptr) {
        (*position)->setEnabled(true);
        fillEntries(*position, TEST_POSITIONS);
    }
    *check = s::gui::win::CheckBox::createWithText(TEST_CAPTION, false);
}

} // namespace

IComponent* Dialog::buildTestRunRow(const wchar_t* group, CheckBox** check, ComboBox** position,
                                    TextField** seconds) {
    const int32_t s = uiScale();
    buildTestControls(s, check, position, seconds);
    Box* row = Box::create(IBox::ROW, 0, 100, -1, 1, 0, 0, 0, 0);
    if (row == nullptr || *check == nullptr || *position == nullptr || *seconds == nullptr) {
        return row;
    }
    row->add(*check);
    row->add(Spacer::createWithWidthPercent(100));
    row->add(*position);
    row->add(Spacer::create(0, 5 * s));
    row->add(*seconds);
    row->add(plainLabel(TEST_UNIT));
    restoreTestRun(group, *check, *position, *seconds);
    return row;
}

IComponent* Dialog::buildTestRunRowTarget(const wchar_t* group, CheckBox** check, ComboBox** position,
                                          TextField** seconds, Box** detail) {
    const int32_t s = uiScale();
    buildTestControls(s, check, position, seconds);
    *detail = Box::create(IBox::COLUMN, 0, 100, -1, 0, 0, 0, 0, 0);
    Box* inner = Box::create(IBox::ROW, 2, 100, -1, 1, 0, 0, 0, 0);
    Box* column = Box::create(IBox::COLUMN, 0, 100, -1, 1, 0, 0, 0, 0);
    if (column == nullptr || inner == nullptr || *detail == nullptr || *check == nullptr || *position == nullptr ||
        *seconds == nullptr) {
        return column;
    }
    inner->add(*position);
    inner->add(Spacer::create(0, 5 * s));
    inner->add(*seconds);
    inner->add(plainLabel(TEST_UNIT));
    (*detail)->add(Spacer::create(1, 8 * s));
    (*detail)->add(inner);
    column->add(Spacer::create(1, 15 * s));
    column->add(*check);
    column->add(*detail);
    const bool on = restoreTestRun(group, *check, *position, *seconds);
    (*detail)->setFixedHeight(on ? -1 : 0, false);
    return column;
}

bool Dialog::restoreTestRun(const wchar_t* group, CheckBox* check, ComboBox* position, TextField* seconds) {
    const bool on = readBool(optionGroup(group), TEST_KEY, false);
    check->setBold(on);
    check->setCheckedQuietly(on);
    position->selectByValue(readInt(optionGroup(group), TEST_POSITION_KEY, TestRunChoice::DEFAULT_POSITION), false);
    seconds->setText(
        std::to_wstring(readInt(optionGroup(group), TEST_SECONDS_KEY, TestRunChoice::DEFAULT_SECONDS)).c_str(), false);
    check->addCheckedListener(this);
    check->addUncheckedListener(this);
    position->addSelectionListener(this);
    return on;
}

void Dialog::relayoutForNewHeight() {
    s::gui::win::Window* frame = window();
    if (frame == nullptr) {
        return;
    }
    for (int i = 0; i < 3; ++i) {
        frame->doLayout();
    }
    const int32_t w = frame->getPreferredWidth();
    const int32_t h = frame->getPreferredHeight();
    if (frame->getWidth() < w || frame->getHeight() < h) {
        frame->setSize(frame->getWidth() < w ? w : frame->getWidth(), frame->getHeight() < h ? h : frame->getHeight());
    }
}

bool Dialog::saveTestRun(const wchar_t* group, CheckBox* check) {
    if (check == nullptr) {
        return true;
    }
    const bool on = check->isChecked();
    writeBool(optionGroup(group), TEST_KEY, on);
    check->setBold(on);
    relayoutForNewHeight();
    return true;
}

bool Dialog::saveTestRunTarget(const wchar_t* group, CheckBox* check, ComboBox*, TextField*, Box* detail) {
    if (check != nullptr && detail != nullptr) {
        detail->setFixedHeight(check->isChecked() ? -1 : 0, true);
    }
    return saveTestRun(group, check);
}

bool Dialog::saveTestPosition(const wchar_t* group, ComboBox* position) {
    const ComboBoxItem* item = position != nullptr ? position->getSelectedItem() : nullptr;
    if (item != nullptr) {
        writeInt(optionGroup(group), TEST_POSITION_KEY, item->value);
    }
    return true;
}

void Dialog::applyTestRun(Setting* record, const wchar_t* group, CheckBox* check, ComboBox* position,
                          TextField* seconds) {
    if (check == nullptr || !check->isChecked() || seconds == nullptr) {
        return;
    }
    int32_t stored = 0;
    if (TestRunChoice::apply(record, selectedValue(position, TestRunChoice::DEFAULT_POSITION), seconds->getText(),
                             &stored)) {
        writeInt(optionGroup(group), TEST_SECONDS_KEY, stored);
    }
}

// ---- Events ----

bool Dialog::onVideoOptionEvent(base::IObject* source, bool* consumed) {
    VideoControls& v = video_;
    auto is = [source](base::IObject* control) { return control != nullptr && control == source; };
    const wchar_t* group = v.group;
    if (group == nullptr) {
        return false;
    }
    if (is(static_cast<base::IObject*>(v.frameRate))) {
        *consumed = saveFrameRate(group, v.frameRate);
    } else if (is(static_cast<base::IObject*>(v.audioQuality)) && v.audioQualityRows != nullptr) {
        *consumed = saveOption(group, *v.audioQualityRows, v.audioQuality);
    } else if (is(static_cast<base::IObject*>(v.sampleRate)) && v.sampleRateRows != nullptr) {
        *consumed = saveOption(group, *v.sampleRateRows, v.sampleRate);
    } else if (is(static_cast<base::IObject*>(v.channels)) && v.channelsRows != nullptr) {
        *consumed = saveOption(group, *v.channelsRows, v.channels);
    } else if (is(static_cast<base::IObject*>(v.volume))) {
        *consumed = saveOption(group, OptionRows::volume(), v.volume);
    } else if (is(static_cast<base::IObject*>(v.test))) {
        *consumed = v.testDetail != nullptr
                        ? saveTestRunTarget(group, v.test, v.testPosition, v.testSeconds, v.testDetail)
                        : saveTestRun(group, v.test);
    } else if (is(static_cast<base::IObject*>(v.testPosition))) {
        *consumed = saveTestPosition(group, v.testPosition);
    } else if (is(static_cast<base::IObject*>(v.content))) {
        *consumed = saveContentKind(group, v.content, v.perMinute, v.perHour, v.boost, v.videoRate, v.pictureSize,
                                    v.audioRate);
    } else if (is(static_cast<base::IObject*>(v.boost))) {
        *consumed = saveQualityBoost(group, v.content, v.perMinute, v.perHour, v.boost, v.videoRate, v.pictureSize,
                                     v.audioRate);
    } else {
        return onVideoPartEvent(source, consumed);
    }
    return true;
}

} // namespace s::sound::gui::dialogs::mp3conv
