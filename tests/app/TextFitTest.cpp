// Every language of the pack through the Drop Box at the display's UI scale: both views,
// the four menus, the About window, and the status bar idle and with Cancel shown. Each
// caption is measured in the font its control paints it with and must fit the control,
// and no control may overlap another.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "AppFixture.h"
#include "DropFiles.h"
#include "ProgramScreen.h"
#include "support/FrameInput.h"
#include "support/RealInput.h"
#include "support/UiThread.h"
#include "support/WaitFor.h"
#include "app/app/win/AboutWindow.h"
#include "app/sound/gui/dialogs/mp3conv/Dialog.h"
#include "drawers/gui/win/Font.h"
#include "drawers/gui/win/FontSetting.h"
#include "engine/sound/ffmpeg/IJobDialog.h"
#include "framework/CWnd.h"
#include "system/lang/LangPack.h"
#include "system/lang/Localizer.h"
#include "widgets/gui/IBox.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/Button.h"
#include "widgets/gui/win/CheckBox.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/GroupBox.h"
#include "widgets/gui/win/Image.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/MenuEx.h"
#include "widgets/gui/win/PopupMenu.h"
#include "widgets/gui/win/ProgressBar.h"
#include "widgets/gui/win/Window.h"

using namespace apptest;
using testsupport::onUiThread;
using testsupport::waitFor;
namespace gw = s::gui::win;

namespace {

// The converter whose batch, once started, holds until let go: the progress row and its
// Cancel show meanwhile.
class HeldBatch : public s::sound::gui::dialogs::mp3conv::Dialog {
    S_POOLED_CLASS(HeldBatch, 10, L"apptest_HeldBatch")
public:
    void run() override {
        sendWorkerEvent(s::sound::ffmpeg::EVENT_PROCESS_STATUS_START, 0, 0, nullptr);
        while (hold.load()) {
            Sleep(10);
        }
        s::gui::dialogs::dragndrop::Dialog::run();
    }
    std::atomic<bool> hold{true};

private:
    HeldBatch() = default;
};

SIZE extentIn(HDC dc, HFONT font, const std::wstring& text) {
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    return size;
}

std::string narrow(const std::wstring& text) {
    std::string out(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
    out.pop_back();
    return out;
}

std::string fault(const std::wstring& text, const char* what, LONG need, LONG room) {
    return "\"" + narrow(text) + "\" " + what + " " + std::to_string(need) + " px in " + std::to_string(room);
}

// What is wrong with the captions of a top-level window of this process: a text wider or
// taller than the room its control gives it, a menu-bar entry past the bar, two controls
// that overlap. A text that may end in "..." by design is left unmeasured. On the window's
// UI thread.
std::vector<std::string> captionFaults(HWND top, int32_t s, HWND ellipsised) {
    struct Shown {
        HWND window;
        RECT seen;
        std::wstring text;
    };
    std::vector<HWND> all;
    EnumChildWindows(top, [](HWND child, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&all));
    std::vector<std::string> faults;
    std::vector<Shown> leaves;
    HDC dc = GetDC(nullptr);
    for (HWND window : all) {
        const RECT own = testsupport::screenRect(window);
        if (!IsWindowVisible(window) || IsRectEmpty(&own)) continue;
        const RECT seen = visiblePart(window);
        const LONG width = seen.right - seen.left, height = seen.bottom - seen.top;
        CWnd* object = CWnd::FromHandle(window);
        // Room across and down for the caption, and whether it is a leaf of its own.
        std::wstring text;
        HFONT font = nullptr;
        LONG across = width, down = height;
        bool leaf = true;
        gw::Font* made = nullptr;
        if (auto* label = dynamic_cast<gw::Label*>(object)) {
            text = label->getText();
            gw::Font* paints = !label->isEnabled() ? label->getDisabledFont()
                               : label->isClickable() ? label->getNormalFont()
                                                      : label->getFont();
            font = paints->getHandle();
            if (paints->getWordWrap() && !text.empty()) {
                // Wrapped at its width: no word past the edge, no line below the bottom.
                HGDIOBJ old = SelectObject(dc, font);
                RECT wrapped{0, 0, width, 0};
                DrawTextW(dc, text.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
                SelectObject(dc, old);
                if (wrapped.right > width) faults.push_back(fault(text, "has a word of", wrapped.right, width));
                if (wrapped.bottom > height) faults.push_back(fault(text, "wraps to a height of", wrapped.bottom, height));
                font = nullptr;
            }
        } else if (auto* button = dynamic_cast<gw::Button*>(object)) {
            text = button->getText();
            if (!text.empty() && text[0] == L'#') text.clear();  // a glyph
            made = button->getNormalSetting()->createFont();
            across = width - 6 * s;  // inside the edges
        } else if (auto* box = dynamic_cast<gw::CheckBox*>(object)) {
            text = box->getText();
            font = box->getMainFont()->getHandle();
            across = width - extentIn(dc, font, text).cy;  // the square as high as the text
        } else if (auto* group = dynamic_cast<gw::GroupBox*>(object)) {
            text = group->getText();
            font = group->getCaptionFont()->getHandle();
            across = width - 8 * s;  // between the frame's corners
            leaf = false;
        } else if (auto* combo = dynamic_cast<gw::ComboBox*>(object)) {
            const auto* item = combo->getSelectedItem();
            text = item != nullptr ? item->getText() : L"";
            font = combo->fieldPaintFont(item)->getHandle();
            COMBOBOXINFO info{};
            info.cbSize = sizeof(info);
            GetComboBoxInfo(window, &info);
            across = std::min<LONG>(info.rcItem.right, seen.right - own.left) - info.rcItem.left;
        } else if (auto* bar = dynamic_cast<gw::MenuEx*>(object)) {
            // The entries as the bar lays them out, along its middle.
            std::vector<std::pair<int32_t, int32_t>> runs(static_cast<size_t>(bar->getEntryCount()), {-1, -1});
            for (int32_t x = 0; x < width; ++x) {
                const int32_t entry = bar->entryAt(x, bar->getHeight() / 2);
                if (entry < 0) continue;
                auto& run = runs[static_cast<size_t>(entry)];
                if (run.first < 0) run.first = x;
                run.second = x + 1;
            }
            for (int32_t i = 0; i < bar->getEntryCount(); ++i) {
                const std::wstring caption = bar->getEntryCaption(i);
                const auto& run = runs[static_cast<size_t>(i)];
                const LONG need = extentIn(dc, bar->getFont()->getHandle(), caption).cx;
                if (run.first < 0) {
                    faults.push_back(fault(caption, "lies past the bar's end, needs", need, 0));
                } else if (need > run.second - run.first) {
                    faults.push_back(fault(caption, "needs", need, run.second - run.first));
                }
            }
        } else if (dynamic_cast<gw::ProgressBar*>(object) == nullptr && dynamic_cast<gw::Image*>(object) == nullptr) {
            continue;  // boxes, spacers, the status bar: containers
        }
        if (made != nullptr) font = made->getHandle();
        if (font != nullptr && !text.empty() && window != ellipsised) {
            const SIZE need = extentIn(dc, font, text);
            if (need.cx > across) faults.push_back(fault(text, "is", need.cx, across));
            if (need.cy > down) faults.push_back(fault(text, "is high", need.cy, down));
        }
        if (made != nullptr) made->release();
        if (leaf) leaves.push_back(Shown{window, seen, text});
    }
    ReleaseDC(nullptr, dc);
    for (size_t i = 0; i < leaves.size(); ++i) {
        for (size_t k = i + 1; k < leaves.size(); ++k) {
            RECT both{};
            if (IntersectRect(&both, &leaves[i].seen, &leaves[k].seen) && !IsChild(leaves[i].window, leaves[k].window) &&
                !IsChild(leaves[k].window, leaves[i].window)) {
                faults.push_back("\"" + narrow(leaves[i].text) + "\" (" + narrow(classOf(leaves[i].window)) +
                                 ") runs into \"" + narrow(leaves[k].text) + "\" (" + narrow(classOf(leaves[k].window)) + ")");
            }
        }
    }
    return faults;
}

// The same for the open pop-up menu: every entry's caption in the font the menu draws it
// with, inside the entry, and the menu on the screen.
std::vector<std::string> menuFaults(HWND popup, int32_t s) {
    std::vector<std::string> faults;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    const RECT shown = testsupport::screenRect(popup);
    if (shown.left < 0 || shown.top < 0 || shown.right > GetSystemMetrics(SM_CXSCREEN) ||
        shown.bottom > GetSystemMetrics(SM_CYSCREEN)) {
        faults.push_back("a menu runs off the screen");
    }
    // Drawn by the program above scale 1 (font code 0, a mark's room at each side), by the
    // system at scale 1.
    gw::Font* scaled = nullptr;
    HFONT systemFont = nullptr;
    if (s > 1) {
        scaled = gw::Font::pool();
        scaled->setFontCode(0);
    } else {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
        systemFont = CreateFontIndirectW(&metrics.lfMenuFont);
    }
    HDC dc = GetDC(nullptr);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[512] = L"";
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 511;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        if ((info.fType & MFT_SEPARATOR) != 0) continue;
        const std::wstring caption = (info.fType & MFT_OWNERDRAW) != 0 && info.dwItemData != 0
                                         ? reinterpret_cast<const wchar_t*>(info.dwItemData)
                                         : text;
        RECT item{};
        GetMenuItemRect(popup, menu, static_cast<UINT>(i), &item);
        const LONG room = item.right - item.left - (s > 1 ? 2 * 18 * s : 0);
        const SIZE need = extentIn(dc, scaled != nullptr ? scaled->getHandle() : systemFont, caption);
        if (need.cx > room) faults.push_back(fault(caption, "is", need.cx, room));
        if (need.cy > item.bottom - item.top) faults.push_back(fault(caption, "is high", need.cy, item.bottom - item.top));
    }
    ReleaseDC(nullptr, dc);
    if (scaled != nullptr) scaled->release();
    if (systemFont != nullptr) DeleteObject(systemFont);
    return faults;
}

class TextFitTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(markUpdateChecked());
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        file_ = std::wstring(temp) + L"text-fit-" + std::to_wstring(GetCurrentProcessId()) + L".wav";
        CloseHandle(CreateFileW(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        dialog_ = HeldBatch::pool();
        dialog_->bind(mainRecord());
        runner_ = std::thread([this] { dialog_->runWindow(); });
        ASSERT_TRUE(waitFor([this] {
            return dialog_->window() != nullptr && dialog_->window()->getFrameHandle() != nullptr &&
                   IsWindowVisible(dialog_->window()->getFrameHandle());
        }, 15000));
    }
    void TearDown() override {
        if (dialog_ != nullptr) {
            dialog_->hold = false;
            if (!testsupport::closeFrame(frame())) testsupport::altF4(frame());
            runner_.join();
            dialog_->release();
        }
        DeleteFileW(file_.c_str());
        AppFixture::TearDown();
    }
    HWND frame() const { return dialog_->window()->getFrameHandle(); }

    HWND openPopup() { return testsupport::shownMenuOfProcess(GetCurrentProcessId()); }
    // Whether the menu is the one open, once it is laid out.
    bool showing(gw::PopupMenu* menu) {
        const bool shown = waitFor([&] {
            HWND popup = openPopup();
            return popup != nullptr && reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)) == menu->getNativeMenu();
        }, 10000);
        // Laid out once its rectangle stops changing.
        return shown && testsupport::settled(openPopup(), 5000);
    }
    // Escape closes the menu, a second one leaves the bar's menu mode.
    bool closeMenu() {
        testsupport::press(VK_ESCAPE);
        if (!waitFor([&] { return openPopup() == nullptr; }, 10000)) return false;
        testsupport::press(VK_ESCAPE);
        return testsupport::waitOnUiThread(dialog_->window(), [&] { return !dialog_->menuBar()->inMenuMode(); });
    }
    void expectMenuFits(const std::string& where) {
        for (const std::string& f : menuFaults(openPopup(), scale_)) ADD_FAILURE() << where << ": " << f;
    }
    void expectFits(gw::Window* window, const std::string& where, HWND ellipsised = nullptr) {
        std::vector<std::string> faults;
        onUiThread(window, [&] { faults = captionFaults(window->getFrameHandle(), scale_, ellipsised); });
        for (const std::string& f : faults) ADD_FAILURE() << where << ": " << f;
    }
    s::lang::LangPack* language() {
        s::lang::LangPack* pack = nullptr;
        onUiThread(dialog_->window(), [&] { pack = dialog_->window()->getLocalizer()->current(); });
        return pack;
    }

    const int32_t scale_ = uiScale();
    std::wstring file_;
    HeldBatch* dialog_ = nullptr;
    std::thread runner_;
};


TEST_F(TextFitTest, EveryCaptionFitsItsControlInEveryLanguage) {
    s::lang::Localizer* texts = dialog_->window()->getLocalizer();
    ASSERT_EQ(37u, texts->packCount());
    for (uint32_t i = 0; i < texts->packCount(); ++i) {
        const std::string where = narrow(texts->packAt(i)->engName()) + " at scale " + std::to_string(scale_);
        SCOPED_TRACE(where);
        // The language and "Version Information" are chosen through the bar's command, the
        // road a click on their entries takes; the four menus open as by the keyboard, the
        // arrow keys going from one to the next.
        using Dialog = s::gui::dialogs::dragndrop::Dialog;
        onUiThread(dialog_->window(), [&] { dialog_->menuBar()->runCommand(Dialog::CMD_LANGUAGE_FIRST + static_cast<int32_t>(i)); });
        ASSERT_EQ(texts->packAt(i), language());
        const std::pair<gw::PopupMenu*, const char*> menus[] = {{dialog_->fileMenu(), "File"},
                                                                 {dialog_->viewMenu(), "View"},
                                                                 {dialog_->languageMenu(), "Language"},
                                                                 {dialog_->aboutMenu(), "About"}};
        // Alt's road: the bar takes the keyboard with File highlighted, Down opens it.
        PostMessageW(dialog_->menuBar()->getNativeHandle(), gw::MenuEx::MSG_OPEN_BY_KEYBOARD, 0, 0);
        ASSERT_TRUE(testsupport::waitOnUiThread(dialog_->window(), [&] { return dialog_->menuBar()->inMenuMode(); }));
        testsupport::press(VK_DOWN);
        for (const auto& [menu, name] : menus) {
            if (menu != dialog_->fileMenu()) testsupport::press(VK_RIGHT);
            ASSERT_TRUE(showing(menu)) << name;
            expectMenuFits(where + ", " + name + " menu");
        }
        ASSERT_TRUE(closeMenu());
        onUiThread(dialog_->window(), [&] { dialog_->menuBar()->runCommand(Dialog::CMD_ABOUT); });
        s::app::win::AboutWindow* about = nullptr;
        ASSERT_TRUE(waitFor([&] {
            about = dialog_->aboutWindow();
            return about != nullptr && about->window() != nullptr && IsWindowVisible(about->window()->getFrameHandle());
        }));
        expectFits(about->window(), where + ", About");
        ASSERT_TRUE(testsupport::clickOn(about->closeButton()->getNativeHandle()));
        ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(frame()) != FALSE; }));

        // Both views, idle; the second with a batch held, its Cancel shown.
        for (int view = 0; view < 2; ++view) {
            const bool compact = dialog_->isCompactView();
            const std::string shown = where + (compact ? ", compact" : ", large");
            expectFits(dialog_->window(), shown);
            if (view == 0) {
                waitFor([&] { return GetForegroundWindow() == frame(); });
                testsupport::clickOn(compact ? dialog_->dropBox()->getNativeHandle() : dialog_->advancedButton()->getNativeHandle(),
                                     compact ? testsupport::Button::Right : testsupport::Button::Left);
                ASSERT_TRUE(waitFor([&] { return dialog_->isCompactView() != compact; }));
                onUiThread(dialog_->window(), [] {});
            }
        }
        dialog_->hold = true;
        ASSERT_TRUE(dropHere(dialog_->dropBox()->getContent()->getNativeHandle(), {file_}));
        ASSERT_TRUE(waitFor([&] {
            bool shown = false;
            onUiThread(dialog_->window(), [&] { shown = IsWindowVisible(dialog_->cancelButton()->getNativeHandle()) != FALSE; });
            return shown;
        }));
        // Beside the progress row the status keeps room for the start of a file's name.
        expectFits(dialog_->window(), where + ", Cancel shown", dialog_->statusLabel()->getNativeHandle());
        dialog_->hold = false;
        ASSERT_TRUE(waitFor([&] { return !dialog_->isRunning(); }));
    }
}

} // namespace
