#pragma once
#include <string>

#include "core/thread/ClassPool.h"
#include "framework/CBrush.h"
#include "framework/CButton.h"
#include "system/gui/events/ListenerList.h"
#include "widgets/gui/IGroupBox.h"
#include "widgets/gui/layout/Routines.h"
#include "widgets/gui/win/Container.h"
#include "widgets/gui/win/FontOperations.h"
#include "widgets/gui/win/Native.h"
#include "widgets/gui/win/SizeRules.h"

namespace s::gui::win {

class Font;

class GroupBox : public Native<FontOperations<SizeRules<Container<IGroupBox>>>, CButton> {
    S_POOLED_CLASS(GroupBox, 1000, L"s_gui_win_GroupBox")
public:
    static constexpr UINT CONTROL_ID = 1000;
    // The caption text id of the program's drop box.
    static constexpr int32_t DROP_BOX_TEXT_ID = 1001000;

    static GroupBox* createWithText(int32_t arrangement, int32_t gapX, int32_t gapY, int32_t paddingX,
                                    int32_t paddingY, int32_t widthPercent, const wchar_t* caption);
    static GroupBox* createWithTextId(int32_t arrangement, int32_t gapX, int32_t gapY, int32_t paddingX,
                                      int32_t paddingY, int32_t widthPercent, int32_t textId);
    static GroupBox* createDropBox(int32_t widthPercent, int32_t heightPercent);

    ~GroupBox() override;
    void reset() override;
    void onEvent(base::IObject* source, int32_t eventCode) override;
    void takeSkinDrawer(drawer::ISkin* skin) override;
    void takeBasicDrawer() override;
    void setParent(IContainer* container) override;
    bool isEnabled() const override { return enabled_ != 0; }
    void setEnabled(bool enabled) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Children go into the content box.
    void add(IComponent* child) override;
    void doLayout() override;
    int32_t getPreferredWidth() const override;
    int32_t getPreferredHeight() const override;
    int32_t getLayoutWidth() const override;
    int32_t getLayoutHeight() const override;

    void setText(const wchar_t* caption) override;
    void setTextId(int32_t id) override;
    const wchar_t* getText() const override { return caption_.c_str(); }
    // The font the caption is painted with.
    Font* getCaptionFont() const { return enabled_ != 0 ? font_ : disabledFont_; }
    void setBackgroundColour(int32_t r, int32_t g, int32_t b) override;
    void setContent(IBox* box) override;
    IBox* getContent() const override { return content_; }
    void setAcceptFiles(bool accept) override;
    void addDropListener(events::IEventListener* l) override { dropListeners_.add(l); }
    str::strarray::StrArray* getDroppedPaths() const override;
    void setDrawer(drawer::IGroupBox* drawer, bool owned) override;
    drawer::IGroupBox* getDrawer() const override { return drawer_; }
    int32_t getCaptionWidth() const override { return captionWidth_; }
    int32_t getCaptionHeight() const override { return captionHeight_; }

protected:
    ILayoutManager* defaultLayout() const override;
    int32_t fontCount() const override { return 2; }
    FontProperties* fontAt(int32_t index) const override;
    void fontsChanged() override { measureCaption(); }

private:
    GroupBox();
    static GroupBox* create(int32_t arrangement, int32_t gapX, int32_t gapY, int32_t paddingX, int32_t paddingY);
    void measureCaption();
    void paint();

    std::wstring caption_;
    int32_t textId_;
    Font* font_;
    Font* disabledFont_;
    CBrush brush_;
    IBox* content_;
    uint8_t acceptFiles_;
    uint8_t enabled_;
    events::ListenerList dropListeners_;
    int32_t captionWidth_;
    int32_t captionHeight_;
    layout::ContentSizes sizes_;
    drawer::IGroupBox* drawer_;
    uint8_t ownsDrawer_;
};

} // namespace s::gui::win
