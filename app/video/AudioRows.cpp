#include "app/video/AudioRows.h"

#include "app/video/RowParts.h"
#include "app/video/VideoList.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/CheckBox.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/Label.h"

namespace s::video {

using gui::IComponent;
using gui::combobox::ComboBoxItem;
using gui::win::Box;
using gui::win::Label;

namespace {

constexpr int32_t TEXT_AUDIO_STREAM = 1190211;
constexpr int32_t TEXT_SURROUND = 1403000;
constexpr int32_t BOLD_10 = -104;
constexpr wchar_t SWF_GROUP[] = L"VC_Swf_Flv_Mp3";
constexpr wchar_t AVI_GROUP[] = L"VC_Avi_Mpeg4_Ac3";
constexpr wchar_t AUDIO_KEY[] = L"Audio";

} // namespace

const VideoList& AudioRows::audioCodec() {
    static const VideoList rows(L"Codec", CODEC_OTHER, 0,
                                {{1190602, nullptr, CODEC_OTHER, 1, 0}, {0, L"AC3", CODEC_AC3, 0, 1}});
    return rows;
}

IComponent* AudioRows::buildAudioChoiceRowSwf(Dialog* dialog, CheckBox** ref) {
    CheckBox* box = CheckBox::createWithTextId(TEXT_AUDIO_STREAM, false);
    *ref = box;
    if (box == nullptr) {
        return nullptr;
    }
    box->setBold(true);
    Box* row = RowParts::lineBox();
    if (row != nullptr) {
        row->add(box);
        row->add(Label::createWithText(L"MP3", false, false, BOLD_10));
    }
    box->setCheckedQuietly(dialog->readOptionBool(SWF_GROUP, AUDIO_KEY, true));
    box->addCheckedListener(dialog);
    box->addUncheckedListener(dialog);
    return row;
}

IComponent* AudioRows::buildAudioCodecChoiceRowAvi(Dialog* dialog, ComboBox** ref) {
    const VideoList& rows = audioCodec();
    ComboBox* list = RowParts::newList(dialog, rows, ref);
    if (list == nullptr) {
        return nullptr;
    }
    Box* row = RowParts::captioned(dialog, TEXT_AUDIO_STREAM, BOLD_10, 0, list);
    rows.restore(list, dialog->readOption(AVI_GROUP, rows.key(), rows.defaultValue()));
    list->addSelectionListener(dialog);
    return row;
}

bool AudioRows::saveAudioChoice(Dialog* dialog, CheckBox* box) {
    if (box != nullptr) {
        dialog->writeOptionBool(SWF_GROUP, AUDIO_KEY, box->isChecked());
    }
    return true;
}

bool AudioRows::audioKept(const CheckBox* box) {
    return box == nullptr || box->isChecked();
}

bool AudioRows::saveAudioCodecChoice(Dialog* dialog, ComboBox* list, ComboBox* channels) {
    const VideoList& rows = audioCodec();
    int32_t value = 0;
    if (!rows.acceptChoice(list, &value)) {
        return true;
    }
    dialog->writeOption(AVI_GROUP, rows.key(), value);
    if (channels == nullptr) {
        return true;
    }
    int32_t surround = -1;
    for (int32_t i = 0; i < channels->getItemCount(); ++i) {
        if (channels->getItem(i)->value == SURROUND) {
            surround = i;
            break;
        }
    }
    if (value == CODEC_AC3) {
        if (surround < 0) {
            channels->insertItem(SURROUND_PLACE,
                                 ComboBoxItem::createWithTextId(dialog->localizer(), TEXT_SURROUND, SURROUND, 0, 1));
        }
        return true;
    }
    if (surround >= 0) {
        if (channels->getSelectedIndex() == surround) {
            channels->selectByValue(STEREO, true);
        }
        ComboBoxItem* removed = channels->removeAt(surround);
        if (removed != nullptr) {
            removed->release();
        }
    }
    return true;
}

} // namespace s::video
