#pragma once
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "system/gui/events/IEventListener.h"

namespace s::lang { class Localizer; }
namespace s::gui { class IWindowState; }

namespace s::gui::dialogs {

// The listener the About window is built around: it keeps the window's state record,
// two objects its creator hands over, and the language pack. What the About window shows
// and does with its events belongs to the application.
class About3 : public events::IEventListener, public ::s::base::IObject, public ::s::thread::IPoolable {
    S_POOLED_CLASS(About3, 1000, L"s_gui_dialogs_About3")
public:
    static About3* create(IWindowState* record, base::IObject* first, base::IObject* second,
                          lang::Localizer* texts);

    void reset() override;
    void onEvent(base::IObject*, int32_t) override {}

    IWindowState* getRecord() const { return record_; }
    base::IObject* getFirst() const { return first_; }
    base::IObject* getSecond() const { return second_; }
    lang::Localizer* getTexts() const { return texts_; }

private:
    About3() { reset(); }

    IWindowState* record_ = nullptr;
    base::IObject* first_ = nullptr;
    base::IObject* second_ = nullptr;
    lang::Localizer* texts_ = nullptr;
};

} // namespace s::gui::dialogs
