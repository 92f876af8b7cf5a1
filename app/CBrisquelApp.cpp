#include "app/CBrisquelApp.h"

#include <commctrl.h>

#include "app/app/win/AppBase.h"
#include "app/app/win/AppWindow.h"
#include "app/image/gui/boxes/ConfigBox.h"
#include "app/StartupTrace.h"
#include "app/sound/gui/dialogs/mp3conv/Dialog.h"
#include "drawers/gui/drawer/ThemeFonts.h"
#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/ffmpeg/InProcessRunner.h"
#include "engine/sound/ffmpeg/JobLoop.h"
#include "system/monitor/UiScale.h"
#include "system/process/commandline/ICommandLine.h"
#include "system/system/win/OsFacts.h"
#include "widgets/gui/IWindow.h"

using s::app::win::AppBase;
using s::app::win::AppWindow;
using s::system::win::OsFacts;

CBrisquelApp::CBrisquelApp() : CWinApp(L"Brisquelton") {}

CBrisquelApp::~CBrisquelApp() = default;

bool CBrisquelApp::isSupportedSystem(bool isNT, uint32_t major, uint32_t minor) {
    return (isNT && major == 5 && (minor == 1 || minor == 2)) || major >= 6;
}

BOOL CBrisquelApp::InitInstance() {
    StartupTrace::mark("startup: InitInstance");
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    // Fonts made from here on take the theme's faces.
    s::gui::drawer::ThemeFonts::install();
    // The image settings make their option boxes through this layer's boxes.
    s::image::gui::boxes::ConfigBox::registerAsMaker();

    AppBase* app = AppBase::pool();
    if (app == nullptr) {
        return FALSE;
    }
    app->setUp(this);
    StartupTrace::mark("startup: context set up");
    const int32_t scale = s::system::monitor::uiScale();
    AppWindow* record = AppWindow::create(app, L"MainWindow", 250 * scale, 250 * scale, s::gui::IWindow::MIDDLE_CLOSE);

    OsFacts::loadOsFacts();
    // Older systems end here, silently: no window has been made.
    if (record != nullptr && isSupportedSystem(OsFacts::isNT(), OsFacts::osMajor(), OsFacts::osMinor())) {
        if (app->commandLine() == nullptr || app->commandLine()->argumentCount() == 0) {
            app->runFirstRunStep();
        }
        // A running copy is brought to the front and this one ends.
        const bool handedOver = app->checkSingleInstance(true, false, true);
        StartupTrace::mark("startup: running copies searched");
        if (!handedOver) {
            s::sound::gui::dialogs::mp3conv::Dialog* dialog = s::sound::gui::dialogs::mp3conv::Dialog::pool();
            const bool bound = s::ffmpeg::loadFfmpegLibraries();
            StartupTrace::mark("startup: FFmpeg bound");
            // Without the libraries every file goes to an ffmpeg.exe child.
            s::sound::ffmpeg::JobLoop::setInProcessRunner(bound ? &s::ffmpeg::runFfmpegInProcess : nullptr);
            if (dialog != nullptr) {
                dialog->setMode(s::sound::gui::dialogs::mp3conv::Dialog::openingMode());
                dialog->bind(record);
                dialog->runWindow();
            }
            // Giving the dialog back waits until its worker is idle and destroys the
            // window; only then can no conversion still be inside the libraries, which
            // are cleaned up after it, and only when they were bound.
            if (dialog != nullptr) {
                dialog->release();
            }
            if (bound) {
                s::ffmpeg::shutdownFfmpegLibraries();
            }
        }
    }
    if (record != nullptr) {
        record->release();
    }
    app->release();
    return FALSE;
}
