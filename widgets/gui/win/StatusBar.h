#pragma once
#include "core/thread/ClassPool.h"
#include "widgets/gui/IStatusBar.h"
#include "widgets/gui/layout/Routines.h"
#include "widgets/gui/win/Container.h"
#include "widgets/gui/win/Native.h"
#include "widgets/gui/win/SizeRules.h"

namespace s::image::win { class BufferedImage; }

namespace s::gui::win {

class Button;

class StatusBar : public Native<SizeRules<Container<IStatusBar>>> {
    S_POOLED_CLASS(StatusBar, 1000, L"s_gui_win_StatusBar")
public:
    // The grip's side at UI scale 1.
    static constexpr int32_t GRIP_SIZE = 12;

    // A bar 100 % wide: a content row (left, vertically centred, with the paddings when
    // > 0) and a "#Resizer" button of 12 x 12 pixels times the UI scale at the right.
    static StatusBar* createWithResizer(int32_t paddingX, int32_t paddingY);

    ~StatusBar() override;
    void reset() override;
    void onEvent(base::IObject* source, int32_t) override { takeSkinDrawerOn(source); }
    void takeSkinDrawer(drawer::ISkin* skin) override;
    void takeBasicDrawer() override;
    drawer::IStatusBar* getDrawer() const { return drawer_; }
    void setParent(IContainer* container) override;
    void setVisible(bool visible) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void add(IComponent* child) override;
    void doLayout() override;
    int32_t getPreferredWidth() const override;
    int32_t getPreferredHeight() const override;
    int32_t getLayoutWidth() const override;
    int32_t getLayoutHeight() const override { return getPreferredHeight(); }
    image::win::BufferedImage* getBackBuffer() const override { return buffer_; }

    void setContent(IBox* outer, IBox* content) override;
    IBox* getContent() const override { return content_; }
    void setResizer(bool on) override { resizer_ = on ? 1 : 0; }
    void setDrawer(drawer::IStatusBar* drawer, bool owned) override;
    // The size grip of createWithResizer (null otherwise).
    Button* getGrip() const { return grip_; }

protected:
    ILayoutManager* defaultLayout() const override;

private:
    StatusBar() { reset(); }
    void relayoutParent();
    void paint();

    IBox* outer_ = nullptr;
    IBox* content_ = nullptr;
    Button* grip_ = nullptr;
    layout::ContentSizes sizes_;
    drawer::IStatusBar* drawer_ = nullptr;
    uint8_t ownsDrawer_ = 0;
    uint8_t resizer_ = 0;
    image::win::BufferedImage* buffer_ = nullptr;
};

} // namespace s::gui::win
