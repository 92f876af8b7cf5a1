#include "widgets/gui/dialogs/About3.h"

namespace s::gui::dialogs {

About3* About3::create(IWindowState* record, base::IObject* first, base::IObject* second, lang::Localizer* texts) {
    About3* about = pool();
    if (about != nullptr) {
        about->record_ = record;
        about->first_ = first;
        about->second_ = second;
        about->texts_ = texts;
    }
    return about;
}

void About3::reset() {
    record_ = nullptr;
    first_ = nullptr;
    second_ = nullptr;
    texts_ = nullptr;
}

} // namespace s::gui::dialogs
