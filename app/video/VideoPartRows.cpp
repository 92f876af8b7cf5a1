// Where the preset panels meet the codec, quality, size, TV-system and screen-shape rows.
#include "app/sound/gui/dialogs/mp3conv/Dialog.h"

#include "app/sound/gui/dialogs/mp3conv/ConvertToList.h"
#include "app/video/VideoPresetTable.h"

namespace s::sound::gui::dialogs::mp3conv {

s::gui::IComponent* Dialog::buildVideoPartRow(int32_t, const wchar_t*) { return nullptr; }

void Dialog::applyVideoPartSettings(Setting*, int32_t) {}

int32_t Dialog::aviAudioCodec() { return readInt(optionGroup(L"VC_Avi_Mpeg4_Ac3"), L"Codec", 2); }

bool Dialog::swfAudioOn() { return readBool(optionGroup(L"VC_Swf_Flv_Mp3"), L"Audio", true); }

bool Dialog::fillVideoTargetSetting(int32_t formatId) {
    if (VideoPresetTable::forTarget(formatId) == nullptr) {
        return true;
    }
    setting_.outputId = ConvertToList::TARGET_ID;
    setting_.formatId = 18;
    setting_.targetMode = 1;
    applyTestRun(&setting_, video_.group, video_.test, video_.testPosition, video_.testSeconds);
    return true;
}

} // namespace s::sound::gui::dialogs::mp3conv
