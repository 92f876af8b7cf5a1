#pragma once
#include <string>

#include "drawers/gui/drawer/ISkin.h"
#include "drawers/gui/win/Font.h"
#include "framework/CBrush.h"
#include "framework/CButton.h"
#include "framework/CClientDC.h"
#include "system/gui/events/ListenerList.h"
#include "widgets/gui/IContainer.h"
#include "widgets/gui/IWindow.h"
#include "widgets/gui/events/Disabler.h"
#include "widgets/gui/events/Editabler.h"
#include "widgets/gui/events/Enabler.h"
#include "widgets/gui/events/UnEditabler.h"
#include "widgets/gui/win/FocusMark.h"
#include "widgets/gui/win/FontOperations.h"
#include "widgets/gui/win/Leaf.h"
#include "widgets/gui/win/Native.h"
#include "widgets/gui/win/ReflectedBrush.h"
#include "widgets/gui/win/TextSource.h"
#include "widgets/gui/win/ToolkitWindowClass.h"

namespace s::gui::win {

// The body check boxes and radio buttons share (I: ICheckBox or IRadioButton, D: its
// drawer). A kind supplies its native style, measuring, painting with a drawer, and
// what a BM_SETCHECK tells its listeners.
template <class I, class D>
class Checkable : public Native<FontOperations<Leaf<I>>, CButton> {
public:
    static constexpr UINT CONTROL_ID = 1003;

    void onEvent(base::IObject* source, int32_t) override {
        if (this->takeSkinDrawerOn(source)) {
            return;
        }
        IWindow* window = this->getWindow();
        if (window != nullptr && window->hasLocalizer() && source == window->getLocalizer() && textId_ != -1) {
            setTextId(textId_);
        }
    }

    void setParent(IContainer* container) override {
        if (!this->attachControl(container, WC_BUTTONW, L"", nativeStyle(), 0, CONTROL_ID)) {
            return;
        }
        TextSource::join(this);
        if (const wchar_t* text = TextSource::text(this, textId_)) {
            caption_ = text;
        }
        this->SetFont(main_->getHandle(), false);
        this->SetText(TextSource::withoutMnemonics(caption_).c_str());
        this->SetCheck(checked_ != 0 ? BST_CHECKED : BST_UNCHECKED);
        if (enabled_ == 0) {
            this->Enable(false);
        }
        measure();
    }

    bool isEnabled() const override { return enabled_ != 0; }
    void setEnabled(bool enabled) override {
        const uint8_t value = enabled ? 1 : 0;
        if (value == enabled_) {
            return;
        }
        // The listeners see the change before the control follows it.
        (enabled ? enabledListeners_ : disabledListeners_).fire(this, 0);
        enabled_ = value;
        if (this->m_hWnd != nullptr) {
            this->Enable(enabled);
            if (drawer_ != nullptr) {
                this->Invalidate(false);
            }
        }
    }

    void setText(const wchar_t* text) override {
        caption_ = text != nullptr ? text : L"";
        if (this->m_hWnd != nullptr) {
            this->SetText(TextSource::withoutMnemonics(caption_).c_str());
            measure();
        }
    }
    void setTextId(int32_t id) override {
        textId_ = id;
        if (const wchar_t* text = TextSource::text(this, id)) {
            setText(text);
        }
    }
    const wchar_t* getText() const override { return caption_.c_str(); }
    int32_t getTextId() const override { return textId_; }

    void addCheckedListener(events::IEventListener* l) override { checkedListeners_.add(l); }
    void addUncheckedListener(events::IEventListener* l) override { uncheckedListeners_.add(l); }
    void addEnabledListener(events::IEventListener* l) override { enabledListeners_.add(l); }
    void addDisabledListener(events::IEventListener* l) override { disabledListeners_.add(l); }
    bool isChecked() const override { return checked_ != 0; }

    void enableWhenChecked(IComponent* c) override {
        addEnablerOnChecked(c);
        addDisablerOnUnchecked(c);
    }
    void addEnablerOnChecked(IComponent* c) override { wire<events::Enabler>(&enablerOnChecked_, checkedListeners_, c); }
    void addDisablerOnUnchecked(IComponent* c) override {
        wire<events::Disabler>(&disablerOnUnchecked_, uncheckedListeners_, c);
    }
    void disableWhenChecked(IComponent* c) override {
        addEnablerOnUnchecked(c);
        addDisablerOnChecked(c);
    }
    void addEnablerOnUnchecked(IComponent* c) override {
        wire<events::Enabler>(&enablerOnUnchecked_, uncheckedListeners_, c);
    }
    void addDisablerOnChecked(IComponent* c) override { wire<events::Disabler>(&disablerOnChecked_, checkedListeners_, c); }

    void takeSkinDrawer(drawer::ISkin* skin) override {
        this->lendSkinDrawer(this, skin != nullptr ? skinDrawer(skin) : nullptr, ownsDrawer_ != 0);
    }

    D* getDrawer() const { return drawer_; }
    void setDrawer(D* drawer, bool owned) override {
        if (drawer_ != nullptr && ownsDrawer_ != 0 && drawer_ != drawer) {
            drawer_->release();
        }
        drawer_ = drawer;
        ownsDrawer_ = owned ? 1 : 0;
        if (drawer_ != nullptr) {
            drawer_->applyFonts(main_, second_);
        }
        measure();
        if (this->m_hWnd != nullptr) {
            this->Invalidate(false);
        }
    }

    // Fonts: the main one (captions, measuring) and the second one handed to the drawer.
    Font* getMainFont() const { return main_; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_PAINT:
            if (drawer_ == nullptr) {
                break;
            }
            paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (drawer_ != nullptr) {
                FocusMark::follow(this->m_hWnd, message);
            }
            break;
        case BM_SETCHECK:
            // Handled here first; the native control then shows the new state.
            onSetCheck(wParam == BST_CHECKED);
            break;
        case REFLECT_COLOUR:
            return ReflectedBrush::answer(this, &brush_, reinterpret_cast<HDC>(wParam),
                                          this->state_.backgroundInherited != 0, this->state_.background,
                                          main_->getTextColour());
        default: {
            LRESULT result = 0;
            if (kindHook(&result, message, wParam, lParam)) {
                return result;
            }
            break;
        }
        }
        return defaultProc(message, wParam, lParam);
    }

protected:
    // The skin's drawer of the kind.
    virtual D* skinDrawer(drawer::ISkin* skin) const = 0;
    Checkable() : main_(Font::pool()), second_(Font::pool()) {}
    ~Checkable() override {
        if (main_ != nullptr) {
            main_->release();
        }
        if (second_ != nullptr) {
            second_->release();
        }
    }

    virtual DWORD nativeStyle() const = 0;
    virtual void measure() = 0;
    virtual void paint() = 0;
    // A BM_SETCHECK reached the control.
    virtual void onSetCheck(bool checked) = 0;
    // Messages of one kind only; true ends the message with *result.
    virtual bool kindHook(LRESULT*, UINT, WPARAM, LPARAM) { return false; }
    // The native control's own handling.
    LRESULT defaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
        return Native<FontOperations<Leaf<I>>, CButton>::WindowProc(message, wParam, lParam);
    }

    int32_t fontCount() const override { return 2; }
    FontProperties* fontAt(int32_t index) const override { return index == 0 ? main_ : second_; }
    void fontsChanged() override {
        if (this->m_hWnd != nullptr) {
            this->SetFont(main_->getHandle(), true);
        }
        measure();
    }

    // The caption's extent in the main font; zero without a control.
    SIZE captionExtent() const {
        SIZE size = {0, 0};
        if (this->m_hWnd != nullptr) {
            CClientDC dc(this->m_hWnd);
            dc.SelectObject(main_->getHandle());
            dc.GetTextExtent(caption_.c_str(), static_cast<int>(caption_.size()), &size);
        }
        return size;
    }
    void relayoutParent() {
        if (IContainer* parent = this->getParent()) {
            parent->relayout();
        }
    }

    void resetCheckable() {
        this->resetComponent();
        this->state_.background = 0xFFFFFF;
        this->state_.backgroundInherited = 1;
        textId_ = -1;
        caption_.clear();
        main_->reset();
        second_->reset();
        checked_ = 0;
        notify_ = 1;
        enabled_ = 1;
        for (events::ListenerList* list :
             {&checkedListeners_, &uncheckedListeners_, &enabledListeners_, &disabledListeners_}) {
            list->clear();
        }
        for (events::TargetSwitch** own : {&enablerOnChecked_, &disablerOnUnchecked_, &enablerOnUnchecked_,
                                           &disablerOnChecked_, &editablerOnChecked_, &unEditablerOnUnchecked_}) {
            if (*own != nullptr) {
                (*own)->release();
                *own = nullptr;
            }
        }
        setDrawer(nullptr, false);
    }

    // Makes the listener of that kind on first use (triggered by this control and told by
    // list), then adds the component to its targets.
    template <class S>
    void wire(events::TargetSwitch** own, events::ListenerList& list, IComponent* component) {
        if (*own == nullptr) {
            *own = S::pool();
            if (*own == nullptr) {
                return;
            }
            (*own)->setTrigger(this);
            list.add(*own);
        }
        (*own)->addTarget(component);
    }

    std::wstring caption_;
    int32_t textId_ = -1;
    Font* main_;
    Font* second_;
    CBrush brush_;
    uint8_t checked_ = 0;
    uint8_t notify_ = 1;
    uint8_t enabled_ = 1;
    events::ListenerList checkedListeners_;
    events::ListenerList uncheckedListeners_;
    events::ListenerList enabledListeners_;
    events::ListenerList disabledListeners_;
    // The wiring listeners this control made (owned).
    events::TargetSwitch* enablerOnChecked_ = nullptr;
    events::TargetSwitch* disablerOnUnchecked_ = nullptr;
    events::TargetSwitch* enablerOnUnchecked_ = nullptr;
    events::TargetSwitch* disablerOnChecked_ = nullptr;
    events::TargetSwitch* editablerOnChecked_ = nullptr;
    events::TargetSwitch* unEditablerOnUnchecked_ = nullptr;
    D* drawer_ = nullptr;
    uint8_t ownsDrawer_ = 0;
};

} // namespace s::gui::win
