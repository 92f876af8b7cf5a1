#pragma once
#include <string>

#include "core/thread/ClassPool.h"
#include "framework/CBrush.h"
#include "framework/CButton.h"
#include "system/gui/events/ListenerList.h"
#include "widgets/gui/IButton.h"
#include "widgets/gui/win/FontOperations.h"
#include "widgets/gui/win/Leaf.h"
#include "widgets/gui/win/Native.h"
#include "widgets/gui/win/SizeRules.h"

namespace s::gui::win {

class Font;
class FontSetting;

class Button : public Native<FontOperations<SizeRules<Leaf<IButton>>>, CButton> {
    S_POOLED_CLASS(Button, 0, L"s_gui_win_Button")
public:
    static constexpr UINT CONTROL_ID = 1000;
    static constexpr DWORD STYLE = WS_CHILD | WS_TABSTOP | BS_NOTIFY;
    // Private messages of the control: set and clear the default-button style.
    static constexpr UINT MSG_MAKE_DEFAULT = PM_BUTTON_MAKE_DEFAULT;
    static constexpr UINT MSG_CLEAR_DEFAULT = PM_BUTTON_CLEAR_DEFAULT;
    // Takes the keyboard focus on the control's own thread (posted or sent by others).
    static constexpr UINT MSG_FOCUS = PM_BUTTON_FOCUS;
    // The repeat timers: the first repeat after 500 ms more, then every 100 ms.
    static constexpr UINT_PTR FIRST_REPEAT_TIMER = 20001;
    static constexpr UINT_PTR REPEAT_TIMER = 20002;
    static constexpr UINT FIRST_REPEAT_MS = 500;
    static constexpr UINT REPEAT_MS = 100;
    static constexpr wchar_t RESIZER[] = L"#Resizer";

    static Button* createWithText(const wchar_t* caption, int32_t fixedWidth, int32_t fixedHeight);
    static Button* createWithTextIdAndWidthPercent(int32_t textId, int32_t fixedHeight, double widthPercent);
    static Button* createWithTextIdAndSize(int32_t textId, int32_t fixedWidth, int32_t fixedHeight);
    static Button* createChangeColor();
    static Button* createChangeColorWithTextId();

    ~Button() override;
    void reset() override;
    void onEvent(base::IObject* source, int32_t eventCode) override;
    void takeSkinDrawer(drawer::ISkin* skin) override;
    drawer::IButton* getDrawer() const { return drawer_; }
    void setParent(IContainer* container) override;
    bool isEnabled() const override { return enabled_ != 0; }
    void setEnabled(bool enabled) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void setText(const wchar_t* text) override;
    void setTextId(int32_t id) override;
    const wchar_t* getText() const override { return caption_.c_str(); }
    // What the caption is painted with when enabled and up: by the drawer, or by the
    // native control through the font made from it.
    FontSetting* getNormalSetting() const { return normalSetting_; }
    // How wide the caption is in that font; zero without a control.
    int32_t captionWidth() const;
    void addClickListener(events::IEventListener* listener) override { clickListeners_.add(listener); }
    void addAfterClickListener(events::IEventListener* listener) override { afterClickListeners_.add(listener); }
    void addPressListener(events::IEventListener* listener) override { pressListeners_.add(listener); }
    void setRepeat(bool on) override { repeat_ = on ? 1 : 0; }
    void setDrawer(drawer::IButton* drawer, bool owned) override;
    void setLook(bool on) override;
    void setToggleOptions(bool toggleable, bool releasable, bool inverted, bool option) override;
    bool isReleasable() const override { return releasable_ != 0; }
    bool isToggled() const override { return toggled_ != 0; }
    void setToggled(bool toggled) override;
    void makeDefault() override;
    void clearDefault() override;
    bool isDefault() const override { return default_ != 0; }
    void setEnabledFlag(bool enabled) override { enabled_ = enabled ? 1 : 0; }
    void setColorCaption(int32_t red, int32_t green, int32_t blue) override;

    // 0 normal, 1 hot, 2 pushed.
    int32_t getVisualState() const { return visualState_; }
    bool isPressed() const { return pressed_ != 0; }

    // The pre-hook: true ends the message with *result.
    bool preHook(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam);
    void postHook(UINT message);

protected:
    int32_t fontCount() const override { return 3; }
    FontProperties* fontAt(int32_t index) const override;
    void fontsChanged() override { measure(); }

private:
    Button();
    bool isResizer() const { return caption_ == RESIZER; }
    bool paintsItself() const { return drawer_ != nullptr || isResizer(); }
    void measure();
    void press();
    void click();
    void endPress();
    void onMouseMove(WPARAM wParam, LPARAM lParam);
    void dragStep(POINT screen);
    bool containsClientPoint(POINT point) const;
    void paint();
    void repaint() const;

    std::wstring caption_;
    int32_t textId_;
    FontSetting* normalSetting_;
    FontSetting* disabledSetting_;
    FontSetting* downSetting_;
    Font* font_;
    CBrush brush_;
    events::ListenerList clickListeners_;
    events::ListenerList afterClickListeners_;
    events::ListenerList pressListeners_;
    uint8_t repeat_;
    drawer::IButton* drawer_;
    uint8_t ownsDrawer_;
    uint8_t enabled_;
    int32_t visualState_;
    uint8_t pressed_;
    POINT pressPoint_;
    uint8_t look_;
    uint8_t toggleable_;
    uint8_t releasable_;
    uint8_t inverted_;
    uint8_t option_;
    uint8_t toggled_;
    uint8_t default_;
};

} // namespace s::gui::win
