#pragma once
#include <string>

#include "core/thread/ClassPool.h"
#include "framework/CBrush.h"
#include "framework/CEdit.h"
#include "system/gui/events/ListenerList.h"
#include "widgets/gui/ITextField.h"
#include "widgets/gui/win/FontOperations.h"
#include "widgets/gui/win/Leaf.h"
#include "widgets/gui/win/Native.h"
#include "widgets/gui/win/SizeRules.h"

namespace s::gui::win {

class Font;

class TextField : public Native<FontOperations<SizeRules<Leaf<ITextField>>>, CEdit> {
    S_POOLED_CLASS(TextField, 1000, L"s_gui_win_TextField")
public:
    static constexpr UINT CONTROL_ID = 1001;
    static constexpr DWORD STYLE = WS_CHILD | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
    static constexpr UINT MSG_FOCUS_AND_SELECT_ALL = PM_TEXT_FOCUS_AND_SELECT_ALL;

    static TextField* create(const wchar_t* text, int32_t fixedHeight, double widthPercent);

    ~TextField() override;
    void reset() override;
    void onEvent(base::IObject*, int32_t) override {}
    void setParent(IContainer* container) override;
    bool isEnabled() const override { return enabled_ != 0; }
    void setEnabled(bool enabled) override;
    bool isEditable() const override { return editable_ != 0; }
    void setEditable(bool editable) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Enter is the field's before dialog navigation sees it.
    BOOL PreTranslateMessage(MSG* msg) override;

    const wchar_t* getText() const override;
    void setText(const wchar_t* text, bool notify) override;
    bool isEmpty() const override { return *getText() == L'\0'; }
    void clear() override { setText(L"", true); }
    void addChangeListener(events::IEventListener* l) override { changeListeners_.add(l); }
    void addEnterListener(events::IEventListener* l) override { enterListeners_.add(l); }
    void addFocusLostListener(events::IEventListener* l) override { focusLostListeners_.add(l); }
    void requestFocusAndSelectAll() override;
    void focusAndSelectAll() override;
    void setPassword(bool on) override;

protected:
    int32_t fontCount() const override { return 1; }
    FontProperties* fontAt(int32_t) const override;
    void fontsChanged() override;

private:
    TextField();
    void measure();

    mutable std::wstring text_;
    Font* font_;
    CBrush brush_;
    uint8_t enabled_;
    uint8_t editable_;
    uint8_t notify_;
    uint8_t password_;
    events::ListenerList changeListeners_;
    events::ListenerList enterListeners_;
    events::ListenerList focusLostListeners_;
};

} // namespace s::gui::win
