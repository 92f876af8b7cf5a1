#include "app/sound/gui/dialogs/mp3conv/Dialog.h"

#include <cwchar>
#include <string>

#include "app/app/win/AppWindow.h"
#include "app/sound/gui/dialogs/mp3conv/ConvertToList.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "drawers/gui/drawer/IGroupBox.h"
#include "engine/sound/ffmpeg/JobLoop.h"
#include "widgets/gui/IBox.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/GroupBox.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/MessageBoxW.h"
#include "widgets/gui/win/Window.h"

namespace s::sound::gui::dialogs::mp3conv {

using s::gui::IBox;
using s::gui::IComponent;
using s::gui::combobox::ComboBoxItem;
using s::gui::win::Box;
using s::gui::win::GroupBox;
using s::gui::win::Label;

namespace {

constexpr int32_t TEXT_AUDIO_STREAM = 1190211;
constexpr int32_t TEXT_NO_CONFIGURATION = 2000000;
// The Label font code of the audio stream row: bold, 10 point.
constexpr int32_t STREAM_FONT = -104;
constexpr wchar_t SOLUTION_FORMAT_NAMES[] =
    L"3GP (AAC), 3G2 (AAC), AAC, AC3, AIFF, AU, FLAC, M4A, M4A (ALAC), MP4, OGG (FLAC), RA, RM, WAV";
constexpr wchar_t CRLF[] = L"\r\n";

// The list the current panel shows for (format, kind).
const OptionRows* rowsOf(int32_t formatId, OptionRows::Kind kind) {
    if (kind == OptionRows::VOLUME) {
        return &OptionRows::volume();
    }
    const PanelLayout* layout = PanelLayout::forFormat(formatId);
    for (int32_t i = 0; layout != nullptr && i < layout->rowCount; ++i) {
        if (layout->rows[i].kind == kind && layout->rows[i].list != nullptr) {
            return &layout->rows[i].list();
        }
    }
    return nullptr;
}

std::atomic<int32_t> g_openingMode{1};

} // namespace

int32_t Dialog::openingMode() { return g_openingMode.load(); }

void Dialog::setOpeningMode(int32_t mode) { g_openingMode.store(mode > 0 ? mode : 1); }

Dialog::Dialog() : mode_(1), normalPriority_(0), log_(StrBuffer::pool()), externalRun_(0), controls_() {
    setting_.reset();
    reset();
}

Dialog::~Dialog() {
    reset();
    if (log_ != nullptr) {
        log_->release();
        log_ = nullptr;
    }
}

void Dialog::reset() {
    Base::reset();
    mode_ = 1;
    normalPriority_ = 0;
    externalRun_.store(0);
    if (log_ != nullptr) {
        log_->clear();
    }
    errorLogName_.clear();
    failureReason_.clear();
    clearOptionControls();
    setting_.reset();
}

// ---- Sizes and the format list ----

int32_t Dialog::defaultCompactWidth() { return 265 * uiScale(); }
int32_t Dialog::defaultCompactHeight() { return 280 * uiScale(); }
int32_t Dialog::defaultLargeWidth() { return (mode_ == 3 || mode_ == 6 ? 420 : 450) * uiScale(); }
int32_t Dialog::defaultLargeHeight() { return (mode_ == 3 || mode_ == 6 ? 400 : 300) * uiScale(); }

int32_t Dialog::defaultFormatIndex() { return ConvertToList::defaultIndex(mode_); }

s::gui::IComboBox* Dialog::buildFormatList() {
    ComboBox* list = ComboBox::createWithWidthPercent(100, -1);
    if (list == nullptr) {
        return nullptr;
    }
    list->setEnabled(true);
    for (const ConvertToList::Entry& e : ConvertToList::entries(mode_)) {
        ComboBoxItem* item = e.textId != 0
                                 ? ComboBoxItem::createWithTextId(localizer(), e.textId, e.formatId, e.flags, e.flags)
                                 : ComboBoxItem::createWithText(e.text, e.formatId, e.flags, e.flags);
        if (item != nullptr) {
            list->addItem(item);
        }
    }
    return list;
}

int32_t Dialog::updateWorkerPriority(bool forceDefault) {
    return Base::updateWorkerPriority(forceDefault || normalPriority_ != 0);
}

void Dialog::run() {
    sound::ffmpeg::JobLoop::runQueue(this);
}

// ---- The job record ----

bool Dialog::collectSettings() {
    const ComboBoxItem* item = formatList() != nullptr ? formatList()->getSelectedItem() : nullptr;
    return fillSetting(item != nullptr ? item->value : 0);
}

bool Dialog::fillSetting(int32_t formatId) {
    setting_.reset();
    setting_.outputId = 0;
    setting_.formatId = 0;
    if (const PanelLayout* layout = PanelLayout::forFormat(formatId)) {
        setting_.formatId = formatId;
        for (int32_t i = 0; i < layout->rowCount; ++i) {
            const PanelLayout::Row& row = layout->rows[i];
            if (row.list != nullptr) {
                applyOption(&setting_, row.list(), controls_[formatId][row.kind]);
            } else {
                PanelLayout::applyValue(&setting_, row.kind, row.value);
            }
        }
        applyOption(&setting_, OptionRows::volume(), controls_[formatId][OptionRows::VOLUME]);
    } else if (formatId == ConvertToList::NO_CONFIGURATION) {
        setting_.formatId = formatId;
        setting_.quality = Setting::QUALITY_SIMILAR;
        setting_.sampleRate = 0;
        setting_.channels = 0;
        setting_.volume = Setting::VOLUME_UNCHANGED;
    } else if (ConvertToList::isVideoId(formatId)) {
        return fillVideoSetting(formatId);
    }
    return true;
}

void Dialog::applyOption(Setting* record, const OptionRows& rows, const s::gui::IComboBox* list) {
    PanelLayout::applyValue(record, rows.kind(), rows.chosenValue(list));
}

// ---- Panels and rows ----

void Dialog::clearOptionControls() {
    video_.clear();
    for (auto& format : controls_) {
        for (ComboBox*& control : format) {
            control = nullptr;
        }
    }
}

Dialog::ComboBox* Dialog::optionControl(int32_t formatId, OptionRows::Kind kind) const {
    if (formatId < 0 || formatId >= FORMAT_SLOTS || kind < 0 || kind >= OptionRows::KIND_COUNT) {
        return nullptr;
    }
    return controls_[formatId][kind];
}

const wchar_t* Dialog::optionGroup(const wchar_t* group) {
    const std::wstring sub = std::wstring(L"ConvertTo2\\") + group;
    return windowGroup(sub.c_str());
}

IComponent* Dialog::buildOptionPanel(int32_t, const wchar_t*, int32_t id, int32_t) {
    clearOptionControls();
    if (const PanelLayout* layout = PanelLayout::forFormat(id)) {
        return buildAudioPanel(*layout);
    }
    if (id == ConvertToList::NO_CONFIGURATION) {
        return buildNoConfigurationPanel();
    }
    if (ConvertToList::isVideoId(id)) {
        return buildVideoPanel(id);
    }
    return buildEmptyPanel();
}

IComponent* Dialog::buildEmptyPanel() {
    const int32_t s = uiScale();
    return Box::create(IBox::COLUMN, 0, 100, 100, 0, 0, 12 * s, 12 * s, 15 * s);
}

IComponent* Dialog::buildNoConfigurationPanel() {
    const int32_t s = uiScale();
    Box* panel = Box::create(IBox::COLUMN, 1, 100, 100, 1, 0, 12 * s, 12 * s, 15 * s);
    if (panel != nullptr) {
        panel->add(Label::createWithTextId(TEXT_NO_CONFIGURATION, false, false, 0));
    }
    return panel;
}

IComponent* Dialog::buildAudioPanel(const PanelLayout& layout) {
    Box* panel = static_cast<Box*>(buildEmptyPanel());
    if (panel == nullptr) {
        return nullptr;
    }
    panel->add(buildAudioStreamRow(layout.stream));
    ComboBox** refs = controls_[layout.formatId];
    for (int32_t i = 0; i < layout.rowCount; ++i) {
        const PanelLayout::Row& row = layout.rows[i];
        panel->add(row.list != nullptr ? buildListRow(row.list(), layout.group, &refs[row.kind]) : buildFixedBox(row));
    }
    panel->add(buildVolumeRow(layout.group, &refs[OptionRows::VOLUME]));
    return panel;
}

IComponent* Dialog::buildAudioStreamRow(const wchar_t* codec) {
    Box* row = Box::create(IBox::ROW, 0, 100, -1, 1, 0, 0, 0, 0);
    if (row != nullptr) {
        row->add(Label::createWithTextId(TEXT_AUDIO_STREAM, false, false, STREAM_FONT));
        row->add(Label::createWithText(codec, false, false, STREAM_FONT));
    }
    return row;
}

IComponent* Dialog::buildFixedBox(const PanelLayout::Row& row) {
    const int32_t s = uiScale();
    GroupBox* box = GroupBox::createWithTextId(IBox::COLUMN, 10 * s, 5 * s, 20 * s, 3 * s, 100, row.captionId);
    if (box != nullptr) {
        box->add(row.textId != 0 ? Label::createWithTextId(row.textId, false, false, 0)
                                 : Label::createWithText(row.text, false, false, 0));
    }
    return box;
}

IComponent* Dialog::buildListRow(const OptionRows& rows, const wchar_t* group, ComboBox** ref) {
    const int32_t s = uiScale();
    ComboBox* list = ComboBox::createWithWidthPercent(100, -1);
    *ref = list;
    if (list == nullptr) {
        return nullptr;
    }
    list->setEnabled(true);
    rows.fill(list, localizer());
    GroupBox* frame = GroupBox::createWithTextId(IBox::COLUMN, 10 * s, 5 * s, 20 * s, 3 * s, 100, rows.captionId());
    if (frame != nullptr) {
        frame->add(list);
        if (frame->getDrawer() != nullptr) {
            frame->getDrawer()->setColor(238, 238, 238);
        }
    }
    rows.restore(list, readInt(optionGroup(group), rows.key(), rows.defaultValue()));
    list->addSelectionListener(this);
    return frame;
}

IComponent* Dialog::buildVolumeRow(const wchar_t* group, ComboBox** ref) {
    const int32_t s = uiScale();
    const OptionRows& rows = OptionRows::volume();
    ComboBox* list = ComboBox::createWithWidthPercent(100, -1);
    *ref = list;
    if (list == nullptr) {
        return nullptr;
    }
    list->setEnabled(true);
    rows.fill(list, localizer());
    Box* row = Box::create(IBox::ROW, 0, 100, -1, 1, 0, 0, 24 * s, 0);
    if (row != nullptr) {
        row->add(Label::createWithTextId(rows.captionId(), false, false, 0));
        row->add(list);
    }
    rows.restore(list, readInt(optionGroup(group), rows.key(), rows.defaultValue()));
    list->addSelectionListener(this);
    return row;
}

bool Dialog::saveOption(const wchar_t* group, const OptionRows& rows, ComboBox* list) {
    int32_t value = 0;
    if (rows.acceptChoice(list, &value)) {
        writeInt(optionGroup(group), rows.key(), value);
    }
    return true;
}

// ---- Events ----

bool Dialog::onOptionEvent(base::IObject* source, int32_t code) {
    if (source == nullptr) {
        return false;
    }
    ComboBox* formats = formatList();
    if (formats != nullptr && source == static_cast<base::IObject*>(formats)) {
        const ComboBoxItem* item = formats->getSelectedItem();
        if (item != nullptr && item->value != 0) {
            return false;
        }
        // A header or rule: back to the entry before it, quietly. Only when there is
        // none (a stored caption named a header) does the default entry open its panel.
        const ComboBoxItem* previous = formats->getPreviousItem();
        if (previous != nullptr && previous->value != 0) {
            formats->setSelectedIndex(formats->getPreviousIndex(), false);
        } else if (defaultFormatIndex() != formats->getSelectedIndex()) {
            formats->setSelectedIndex(defaultFormatIndex(), true);
        }
        return true;
    }
    for (int32_t format = 1; format < FORMAT_SLOTS; ++format) {
        for (int32_t kind = 0; kind < OptionRows::KIND_COUNT; ++kind) {
            ComboBox* control = controls_[format][kind];
            if (control == nullptr || source != static_cast<base::IObject*>(control)) {
                continue;
            }
            const OptionRows* rows = rowsOf(format, static_cast<OptionRows::Kind>(kind));
            return rows != nullptr && saveOption(ConvertToList::audioGroup(format), *rows, control);
        }
    }
    bool consumed = false;
    if (onVideoOptionEvent(source, &consumed)) {
        return consumed;
    }
    s::gui::win::Window* frame = window();
    if (frame != nullptr && source == static_cast<base::IObject*>(frame) && code == s::gui::IWindow::WORKER_EVENT &&
        frame->getEventName() == sound::ffmpeg::EVENT_REPORT_ERROR) {
        showFailure();
        return true;
    }
    return false;
}

void Dialog::setErrorLogName(const wchar_t* name) {
    errorLogName_.clear();
    errorLogName_.append(name != nullptr ? name : L"");
}

void Dialog::setFailureReason(const wchar_t* reason) {
    failureReason_.clear();
    failureReason_.append(reason != nullptr ? reason : L"");
}

void Dialog::composeFailureText(StrBuffer* out, const wchar_t* inputPath, const wchar_t* outputPath, int32_t kind,
                                const wchar_t* logName, const wchar_t* reason) {
    out->clear();
    out->append(text(TEXT_FAILED))->append(CRLF)->append(CRLF);
    out->append(text(TEXT_INPUT))->append(L"  ")->append(inputPath != nullptr ? inputPath : L"")->append(CRLF);
    out->append(text(TEXT_OUTPUT))->append(L"  ")->append(outputPath != nullptr ? outputPath : L"");
    out->append(CRLF)->append(CRLF);
    out->append(text(TEXT_ERROR))->append(L"  ");
    if (kind == FAILED_RESAMPLING) {
        out->append(text(TEXT_NO_SURROUND_RESAMPLING))->append(CRLF)->append(CRLF);
        out->append(text(TEXT_SOLUTION))->append(CRLF)->append(text(TEXT_SOLUTION_FORMATS))->append(CRLF)->append(CRLF);
        out->append(SOLUTION_FORMAT_NAMES)->append(CRLF)->append(CRLF)->append(text(TEXT_SOLUTION_SAME));
    } else if (kind == FAILED_INPUT_UNSUPPORTED) {
        out->append(text(TEXT_UNSUPPORTED_INPUT))->append(CRLF)->append(CRLF);
        out->append(text(TEXT_CONTACT))->append(CRLF)->append(text(TEXT_SORRY));
    } else {
        if (kind == FAILED_TOOL_NOT_STARTED) {
            out->append(text(TEXT_TOOL_NOT_STARTED))->append(L" ")->append(reason != nullptr ? reason : L"");
        } else {
            out->append(text(TEXT_UNKNOWN));
        }
        out->append(CRLF)->append(CRLF);
        // The pack names the first log; a later failure in the folder wrote "_error (1).txt".
        std::wstring sendLog = text(TEXT_SEND_LOG);
        const size_t at = sendLog.find(sound::ffmpeg::JobLoop::ERROR_LOG_NAME);
        if (at != std::wstring::npos && logName != nullptr && logName[0] != L'\0') {
            sendLog.replace(at, wcslen(sound::ffmpeg::JobLoop::ERROR_LOG_NAME), logName);
        }
        out->append(sendLog.c_str())->append(CRLF)->append(text(TEXT_SEND_WHERE))->append(CRLF)->append(CRLF);
        out->append(text(TEXT_SORRY));
    }
}

void Dialog::showFailure() {
    s::gui::win::Window* frame = window();
    StrBuffer* message = StrBuffer::pool();
    if (message == nullptr) {
        return;
    }
    const wchar_t* status = frame->getEventText();
    composeFailureText(message, reinterpret_cast<const wchar_t*>(frame->getEventValue1()),
                       reinterpret_cast<const wchar_t*>(frame->getEventValue2()),
                       status != nullptr ? static_cast<int32_t>(wcstol(status, nullptr, 10)) : 0, errorLogName_.c_str(),
                       failureReason_.c_str());
    // A top-most window would hide the box.
    const bool onTop = record() != nullptr && record()->keepOnTop();
    HWND handle = frame->getFrameHandle();
    if (onTop) {
        SetWindowPos(handle, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    s::gui::win::MessageBoxW::showInformationBox(message->c_str());
    if (onTop) {
        SetWindowPos(handle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    message->release();
}

} // namespace s::sound::gui::dialogs::mp3conv
