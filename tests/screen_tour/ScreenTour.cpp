// Walks Brisquelton.exe through every window state with real input and keeps a picture of
// each as <folder>\<name>.bmp (scripts/screenshots.sh turns them into docs/screenshots).
//   screen_tour.exe <folder>           every state
//   screen_tour.exe <folder> scale2-   the two views, a batch and About only, names prefixed
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/ProgramDriver.h"
#include "app/ProgramScreen.h"
#include "support/Wav.h"
#include "support/RawFile.h"

using namespace apptest;
using testsupport::ScreenShot;

namespace {

std::wstring g_folder, g_prefix;
int g_failures = 0;

void note(bool ok, const char* step) {
    if (!ok) {
        ++g_failures;
        std::printf("step failed: %s\n", step);
    }
}

// Every visible top-level window of the process, with a margin, as one rectangle.
RECT areaOf(DWORD processId) {
    RECT area{0, 0, 0, 0};
    struct Search {
        DWORD id;
        RECT* area;
    } search{processId, &area};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            Search* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->id && IsWindowVisible(window)) {
                const RECT r = testsupport::screenRect(window);
                if (r.right - r.left > 1 && r.bottom - r.top > 1) UnionRect(s->area, s->area, &r);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    const int m = 8;
    return RECT{std::max(0L, area.left - m), std::max(0L, area.top - m),
                std::min<LONG>(GetSystemMetrics(SM_CXSCREEN), area.right + m),
                std::min<LONG>(GetSystemMetrics(SM_CYSCREEN), area.bottom + m)};
}

void keep(const Program& program, const wchar_t* name) {
    Sleep(600);
    const ScreenShot shot(areaOf(program.id()));
    note(shot.saveBmp(g_folder + L"\\" + g_prefix + name + L".bmp"), "save");
    std::printf("%ls%ls\n", g_prefix.c_str(), name);
}

bool choose(HWND frame, const std::wstring& entry) {
    int32_t index = -1;
    HWND combo = comboOffering(frame, entry, &index);
    return combo != nullptr && chooseByClicks(combo, index);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::printf("usage: screen_tour <folder> [prefix]\n");
        return 2;
    }
    g_folder = argv[1];
    g_prefix = argc > 2 ? argv[2] : L"";
    const bool viewsOnly = !g_prefix.empty();
    freshSettings();
    const std::wstring work = testsupport::freshTempFolder(L"screen-tour");
    testsupport::writeRaw(work + L"\\song.wav", testsupport::silentWav(44100, 2, 0.5));
    testsupport::writeRaw(work + L"\\long recording.wav", testsupport::silentWav(44100, 2, 900));
    testsupport::writeRaw(work + L"\\broken.mp3", std::string(4000, 'x'));

    std::unique_ptr<Program> program(new Program);
    HWND frame = program->waitForFrame();
    if (frame == nullptr) {
        std::printf("no window\n");
        return 1;
    }
    Sleep(800);
    keep(*program, L"compact");

    testsupport::clickOn(dropTargetOf(frame), testsupport::Button::Right);
    if (!testsupport::waitFor([&] { return showing(frame, L"<< Minimize") != nullptr; }, 10000)) {
        // The pictures of the large view still matter: it is opened from the stored view.
        note(false, "right click opens the large view");
        program->close(frame);
        writeInt(savePath(L"MainWindow\\View"), L"CompactView", 0);
        program.reset(new Program);
        frame = program->waitForFrame();
        Sleep(800);
    }
    keep(*program, L"large");
    // A batch with its Cancel, and the About window.
    const auto converting = [&] {
        note(dropInto(dropTargetOf(frame), {work + L"\\long recording.wav"}), "drop the long file");
        note(testsupport::waitFor([&] { return showing(frame, L"long recording.mp3") != nullptr; }, 20000), "converting");
        // Some fill in the bar before the picture.
        HWND bar = nullptr;
        for (HWND child : visibleChildren(frame)) {
            if (classOf(child) == PROGRESS_CLASSW) bar = child;
        }
        note(bar != nullptr && testsupport::waitFor([&] { return SendMessageW(bar, PBM_GETPOS, 0, 0) > 0; }, 20000),
             "progress shown");
        keep(*program, L"converting");
        note(testsupport::clickOn(showing(frame, L"Cancel")), "cancel");
        note(testsupport::waitFor([&] { return showing(frame, L"Ready") != nullptr; }, 20000), "cancelled");
    };
    const auto showAbout = [&] {
        // About -> "Version Information".
        note(chooseMenuItem(frame, 3, 0).empty(), "About menu");
        HWND about = nullptr;
        note(testsupport::waitFor([&] { return (about = program->otherFrame(frame)) != nullptr; }, 5000), "About window");
        keep(*program, L"about");
        if (about != nullptr) {
            note(testsupport::clickOn(showing(about, L"Close")) &&
                     testsupport::waitFor([&] { return program->otherFrame(frame) == nullptr; }, 10000),
                 "About closes by its Close button");
            if (program->otherFrame(frame) != nullptr) {
                testsupport::press(VK_ESCAPE);  // the About window closes by Escape too
                testsupport::waitFor([&] { return program->otherFrame(frame) == nullptr; }, 10000);
            }
        }
    };
    if (viewsOnly) {
        converting();
        showAbout();
        program->close(frame);
        testsupport::removeTree(work);
        return g_failures == 0 ? 0 : 1;
    }
    HWND list = formatList(frame);
    note(list != nullptr && openList(list) != nullptr, "open Convert to");
    keep(*program, L"large-convert-to-open");
    testsupport::press(VK_ESCAPE);

    struct Panel {
        const wchar_t* entry;
        const wchar_t* name;
    };
    const Panel panels[] = {
        {L".MP3", L"panel-mp3"},
        {L".WAV  [Audio CD Burning]", L"panel-wav-audio-cd"},
        {L".FLAC                 -Lossless-", L"panel-flac"},
        {L".RAW  (Little-Endian)", L"panel-raw"},
        {L".MP3", nullptr},
    };
    for (const Panel& panel : panels) {
        note(choose(frame, panel.entry), "choose a format");
        if (panel.name != nullptr) keep(*program, panel.name);
    }

    for (size_t entry = 0; entry < 4; ++entry) {
        if (openMenu(frame, entry) != nullptr) {
            const wchar_t* names[] = {L"menu-file", L"menu-view", L"menu-language", L"menu-about"};
            keep(*program, names[entry]);
        }
        testsupport::press(VK_ESCAPE);
        testsupport::press(VK_ESCAPE);
    }

    converting();

    program->pauseWatchdog(true);
    note(dropInto(dropTargetOf(frame), {work + L"\\broken.mp3"}), "drop a broken file");
    HWND box = nullptr;
    note(testsupport::waitFor([&] { return (box = testsupport::messageBoxOf(program->id())) != nullptr; }, 30000),
         "failure box");
    keep(*program, L"conversion-failed");
    if (box != nullptr) testsupport::clickOn(GetDlgItem(box, GetDlgItem(box, IDOK) != nullptr ? IDOK : IDCANCEL));
    program->pauseWatchdog(false);
    testsupport::waitFor([&] { return showing(frame, L"Ready") != nullptr; }, 20000);

    showAbout();

    // Language -> Deutsch (the pack's 14th language, after "Translate..."), then English.
    note(chooseMenuItem(frame, 2, 14).empty(), "Language menu");
    note(testsupport::waitFor([&] { return showing(frame, L"Konvertieren in:\u00a0") != nullptr; }, 10000), "German");
    keep(*program, L"german");
    note(chooseMenuItem(frame, 2, 1).empty(), "back to English");

    program->close(frame);
    testsupport::removeTree(work);
    deleteProductKey();
    return g_failures == 0 ? 0 : 1;
}
