// The target and resolution panels on the converter dialog's own window: the level
// row's caption as the screen shows it, the window growing for a custom line, and a
// drop on a resolution entry converted on the in-process road and judged by ffprobe.exe.
#include "PanelFixture.h"
#include "VideoDialogFixture.h"

#include <thread>

#include "app/DropFiles.h"
#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/ffmpeg/InProcessRunner.h"
#include "engine/sound/ffmpeg/JobLoop.h"
#include "support/ChildProcess.h"
#include "support/FfmpegTools.h"
#include "support/ScreenPixels.h"
#include "support/WaitFor.h"
#include "widgets/gui/IContainer.h"
#include "widgets/gui/win/Button.h"
#include "widgets/gui/win/GroupBox.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/TextField.h"

namespace {

using namespace videotest;
using s::gui::IComponent;
using s::sound::gui::dialogs::mp3conv::VideoControls;
using testsupport::waitFor;

RECT screenRect(const IComponent* c) {
    return RECT{c->getScreenX(), c->getScreenY(), c->getScreenX() + c->getWidth(), c->getScreenY() + c->getHeight()};
}

// Pixels of the screen inside r darker than 45 % grey: ink of drawn text.
int darkPixels(const RECT& r) { return testsupport::ScreenShot(r).darkCount(r); }

// The dialog's window in the program's own context (its skin draws the labels), opened
// in mode 3 with its options showing: the large view was the one left last (this mode
// offers no switch by right click).
class TargetWindowTest : public PanelDialogTest {
protected:
    void SetUp() override {
        PanelDialogTest::SetUp();
        open(3);
        ASSERT_TRUE(waitFor(
            [&] {
                bool shown = false;
                onUiThread(dialog_->window(), [&] {
                    const s::gui::win::ComboBox* level = dialog_->videoControls().vqLevel;
                    shown = level != nullptr && level->getWidth() > 0;
                });
                return shown;
            },
            5000));
    }
};

TEST_F(TargetWindowTest, LevelRowShowsItsCaption) {
    RECT caption{};
    onUiThread(dialog_->window(), [&] {
        IComponent* row = dialog_->videoControls().vqLevel->getParent();
        ASSERT_NE(nullptr, row);
        auto* label = dynamic_cast<s::gui::win::Label*>(row->getChildAt(0));
        ASSERT_NE(nullptr, label);
        EXPECT_STREQ(L"By Quality Level", label->getText());
        caption = screenRect(label);
    });
    EXPECT_GT(caption.right - caption.left, 40);
    EXPECT_TRUE(waitFor([&] { return darkPixels(caption) > 40; }, 10000)) << darkPixels(caption);
}

TEST_F(TargetWindowTest, ANarrowWindowWidensWhenACustomLineOpens) {
    int32_t narrow = 0, widened = 0, fieldRight = 0, windowRight = 0;
    s::gui::win::Window* window = dialog_->window();
    const VideoControls& v = dialog_->videoControls();
    ASSERT_NE(nullptr, v.sizeList);
    onUiThread(window, [&] {
        narrow = window->getWidth() / 2;
        window->setSize(narrow, window->getHeight());
        window->doLayout();
    });
    choose(v.sizeList, 1);  // the custom size: a line of two fields
    onUiThread(window, [&] {
        widened = window->getWidth();
        fieldRight = screenRect(v.heightField).right;
        windowRight = window->getX() + window->getWidth();
    });
    EXPECT_GT(widened, narrow);
    EXPECT_LE(fieldRight, windowRight);
}

class ResolutionDropTest : public VideoDialogTest {
protected:
    int32_t mode() const override { return 6; }
};

TEST_F(ResolutionDropTest, ADropOnTheHdEntryConvertsAtItsSize) {
    ASSERT_TRUE(s::ffmpeg::loadFfmpegLibraries());
    const auto previous = s::sound::ffmpeg::JobLoop::setInProcessRunner(&s::ffmpeg::runFfmpegInProcess);
    ASSERT_TRUE(testsupport::makeMedia(L"-f lavfi -i testsrc=size=320x180:rate=25:duration=1 -f lavfi -i "
                                       L"sine=frequency=440:sample_rate=44100:duration=1 -c:v mpeg4 -c:a aac clip.mp4",
                                       folder_));
    onUi([&] { EXPECT_EQ(536870806, selected(dialog_->formatList())); });
    ASSERT_TRUE(apptest::dropHere(dialog_->dropBox()->getContent()->getNativeHandle(), {folder_ + L"\\clip.mp4"}));
    std::wstring output;
    const bool done = waitFor(
        [&] {
            WIN32_FIND_DATAW found;
            HANDLE h = FindFirstFileW((folder_ + L"\\clip.*.mp4").c_str(), &found);
            if (h != INVALID_HANDLE_VALUE) {
                output = folder_ + L"\\" + found.cFileName;
                FindClose(h);
            }
            return !output.empty() && !dialog_->isRunning();
        },
        60000);
    s::sound::ffmpeg::JobLoop::setInProcessRunner(previous);
    EXPECT_TRUE(done);
    EXPECT_TRUE(boxes().empty());
    const auto got = testsupport::probeFile(output, L"stream=codec_type,width,height");
    const std::string video = testsupport::firstStream(got, "video");
    EXPECT_EQ("1280", testsupport::answer(got, video + "width"));
    EXPECT_EQ("720", testsupport::answer(got, video + "height"));
    EXPECT_NE("", testsupport::firstStream(got, "audio"));
    DeleteFileW(output.c_str());
    DeleteFileW((folder_ + L"\\clip.mp4").c_str());
}

} // namespace
