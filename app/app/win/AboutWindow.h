#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "system/gui/events/IEventListener.h"

namespace s::gui { class IWindow; }
namespace s::gui::dialogs { class About3; }
namespace s::gui::drawer { class Skinner; }
namespace s::gui::win { class Box; class Button; class Image; class Label; class Window; }
namespace s::lang { class Localizer; }

namespace s::app { class IAppBase; }

namespace s::app::win {

class AppWindow;

// The About window: the program's icon, title, version, date, the maker's address and a
// donation note, drawn in the "Classic LG" theme of the thin-window skins. It is built
// anew for every opening; while it shows, its owner's frame is disabled.
//   AboutWindow* about = AboutWindow::create(aboutRecord);   // once
//   about->show(mainWindow);                                 // every opening
//   about->release();
// The toolkit's About3 keeps the record, the owner and the language pack; the record
// holds the skinner (see createRecord).
class AboutWindow : public gui::events::IEventListener, public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(AboutWindow, 1000, L"s_app_win_AboutWindow")
public:
    static constexpr wchar_t SCHEME[] = L"Classic LG";
    static constexpr int32_t TITLE_TEXT = 400100;
    static constexpr int32_t DONATION_PAGE_TEXT = 500100;
    // The record's size; the window is as high as its content.
    static constexpr int32_t DEFAULT_WIDTH = 340;
    static constexpr int32_t DEFAULT_HEIGHT = 285;
    // The captions' column at scale 1, widened for longer captions.
    static constexpr int32_t CAPTION_WIDTH = 140;

    // The "AboutWindow" record of the context, 340 x 285, with the thin-window skinner
    // showing SCHEME unless the record stores another skin.
    static AppWindow* createRecord(IAppBase* app);
    static AboutWindow* create(AppWindow* record);
    ~AboutWindow() override;
    void reset() override;

    // Releases a window shown before, builds a new one and shows it; owner's frame is
    // disabled until it closes.
    void show(gui::IWindow* owner);
    void onEvent(base::IObject* source, int32_t code) override;

    gui::win::Window* window() const { return window_; }
    gui::win::Image* picture() const { return picture_; }
    gui::win::Label* donationLink() const { return donationLink_; }
    gui::win::Button* closeButton() const { return closeButton_; }
    // The record's.
    gui::drawer::Skinner* skinner() const;

private:
    AboutWindow() = default;
    // Builds the content into the window and answers it.
    gui::win::Box* build();
    gui::win::Label* label(int32_t textId, int32_t fontCode);
    void releaseWindow();
    // On the window's own thread, from a message posted there: gives the window the
    // keyboard of the display too. Made again a few times on a timer: the display refuses
    // a hand-over stamped before its own last change of the keyboard (a window that had it
    // closing, for one).
    void takeKeyboard();
    static constexpr uint32_t KEYBOARD_TIMER = 1;
    static constexpr uint32_t KEYBOARD_RETRY_MS = 200;
    static constexpr int32_t KEYBOARD_TRIES = 4;
    int32_t keyboardTries_ = 0;

    gui::dialogs::About3* shell_ = nullptr;
    AppWindow* record_ = nullptr;
    lang::Localizer* localizer_ = nullptr;
    gui::IWindow* owner_ = nullptr;
    int32_t scale_ = 1;
    gui::win::Window* window_ = nullptr;
    gui::win::Button* closeGlyph_ = nullptr;
    gui::win::Button* closeButton_ = nullptr;
    gui::win::Image* picture_ = nullptr;
    gui::win::Label* webLink_ = nullptr;
    gui::win::Label* donationLink_ = nullptr;
    int32_t donationTextId_ = DONATION_PAGE_TEXT;
};

} // namespace s::app::win
