#include "widgets/gui/win/TextSource.h"

#include "system/lang/Localizer.h"
#include "widgets/gui/IWindow.h"

namespace s::gui::win {

bool TextSource::join(IComponent* widget) {
    IWindow* window = widget->getWindow();
    if (window == nullptr || !window->hasLocalizer()) {
        return false;
    }
    lang::Localizer* pack = window->getLocalizer();
    events::IEventListener* listener = widget;
    if (pack->listeners().indexOf(listener) < 0) {
        pack->addListener(listener);
    }
    return true;
}

const wchar_t* TextSource::text(const IComponent* widget, int32_t id) {
    IWindow* window = widget->getWindow();
    if (id == -1 || window == nullptr || !window->hasLocalizer()) {
        return nullptr;
    }
    return window->getLocalizer()->getText(id);
}

std::wstring TextSource::withoutMnemonics(const std::wstring& caption) {
    std::wstring shown;
    shown.reserve(caption.size());
    for (wchar_t c : caption) {
        shown += c;
        if (c == L'&') {
            shown += L'&';
        }
    }
    return shown;
}

} // namespace s::gui::win
