// Brisquelton.exe tried as a new user tries it, with the mouse, the keyboard and file drops
// only: the view switch, a format chosen in "Convert to:", the File menu's browsing and
// output folder, and what a restart brings back, in another language too.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConverterDriver.h"

using namespace convtest;
using apptest::formatList;
using apptest::Program;
using testsupport::clickOn;
using testsupport::waitFor;

namespace {

const std::wstring FLAC = L".FLAC                 -Lossless-";
const std::wstring AUDIO_CD = L".WAV  [Audio CD Burning]";

// The menu bar's entries, and the lines of their menus.
enum MenuEntry : size_t { FILE_MENU = 0, VIEW_MENU = 1, LANGUAGE_MENU = 2, ABOUT_MENU = 3 };
constexpr size_t BROWSE = 0;        // "Browse and Process..."
constexpr size_t OUTPUT_SUB = 2;    // "Output to:  Sub Folder - "Converted""
constexpr size_t ENGLISH = 1;       // after "Translate..."
constexpr size_t GERMAN = 14;       // "Deutsch", the pack's 14th language

// Closes the program as a person does, with Alt+F4 in its window.
bool closeByKeys(const Program& program, HWND frame) {
    clickOn(apptest::dropTargetOf(frame));
    testsupport::press(VK_F4, VK_MENU);
    return program.waitForExit(5000);
}

class FirstUseProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::freshSettings();
        folder_ = testsupport::freshTempFolder(L"first-use");
        for (const wchar_t* name : {L"a", L"b", L"c", L"d"}) {
            ASSERT_TRUE(writeWav(folder_ + L"\\" + name + L".wav", 44100, 2, 0.5, 0.25));
        }
    }
    void TearDown() override {
        testsupport::removeTree(folder_);
        apptest::deleteProductKey();
    }
    // Waits for out and the end of its batch; its codec as ffprobe.exe reads it.
    std::string convertedCodec(HWND frame, const std::wstring& out) {
        if (!waitFor([&] { return written(out); }, 60000) ||
            !waitFor([&] { return showing(frame, L"Ready") != nullptr; }, 60000)) {
            return "(no " + std::string(out.begin(), out.end()) + ")";
        }
        return probe(out)["stream.0.codec_name"];
    }

    // The large view with format drawn in "Convert to:" and nothing amiss on screen.
    void expectLargeViewWith(HWND frame, const std::wstring& format, const wchar_t* shot) {
        ASSERT_TRUE(waitFor([&] { return showing(frame, L"<< Minimize") != nullptr; }, 10000));
        EXPECT_TRUE(waitFor([&] { return showing(frame, L"Convert to:\u00a0") != nullptr; }, 10000));
        HWND list = formatList(frame);
        ASSERT_NE(nullptr, list);
        EXPECT_EQ(format, apptest::shownEntry(list));
        EXPECT_TRUE(waitFor([&] { return captionDrawn(list); }, 10000));
        EXPECT_EQ("", apptest::screenFaults(frame, shot));
    }

    std::wstring folder_;
};

TEST_F(FirstUseProgramTest, ANewUserConvertsBrowsesPicksAFolderAndFindsItAllAgain) {
    int32_t audioCdIndex = -1;
    {
        Program program;
        HWND frame = program.waitForFrame();
        ASSERT_NE(nullptr, frame);
        EXPECT_EQ(nullptr, showing(frame, L"<< Minimize"));
        EXPECT_EQ("", apptest::screenFaults(frame, L"first-compact"));

        // The right click on the drop area opens the large view with "Convert to: .MP3".
        ASSERT_TRUE(clickOn(apptest::dropTargetOf(frame), testsupport::Button::Right));
        ASSERT_NO_FATAL_FAILURE(expectLargeViewWith(frame, L".MP3", L"first-large"));
        HWND list = formatList(frame);

        // ".FLAC" chosen by clicks shows its panel; a drop makes FLAC.
        ASSERT_EQ("", choose(frame, FLAC));
        EXPECT_EQ(FLAC, apptest::shownEntry(list));
        int32_t rate = -1;
        EXPECT_NE(nullptr, comboOffering(frame, L"22,050 Hz", &rate));
        EXPECT_EQ("", apptest::screenFaults(frame, L"first-flac"));
        ASSERT_TRUE(drop(frame, {folder_ + L"\\a.wav"}));
        EXPECT_EQ("flac", convertedCodec(frame, folder_ + L"\\a.flac"));
        EXPECT_EQ("", apptest::screenFaults(frame, L"first-converted"));

        // File -> "Browse and Process..." opens the file dialog; the file typed there converts.
        ASSERT_EQ("", apptest::chooseMenuItem(frame, FILE_MENU, BROWSE));
        HWND dialog = nullptr;
        ASSERT_TRUE(waitFor([&] {
            dialog = FindWindowExW(nullptr, nullptr, L"#32770", nullptr);
            return dialog != nullptr && IsWindowVisible(dialog) && testsupport::isFileDialog(dialog);
        }, 5000));
        // Typing goes where the dialog put the keyboard focus: its file-name field.
        ASSERT_TRUE(waitFor([&] { return IsChild(dialog, testsupport::focusOf(dialog)) != FALSE; }, 5000));
        testsupport::typeText(folder_ + L"\\b.wav");
        testsupport::press(VK_RETURN);
        EXPECT_EQ("flac", convertedCodec(frame, folder_ + L"\\b.flac"));

        // File -> "Output to:  Sub Folder" puts the next output into "Converted", made anew.
        ASSERT_EQ("", apptest::chooseMenuItem(frame, FILE_MENU, OUTPUT_SUB));
        ASSERT_TRUE(drop(frame, {folder_ + L"\\c.wav"}));
        EXPECT_EQ("flac", convertedCodec(frame, folder_ + L"\\Converted\\c.flac"));
        EXPECT_FALSE(exists(folder_ + L"\\c.flac"));

        EXPECT_EQ(list, comboOffering(frame, AUDIO_CD, &audioCdIndex));
        ASSERT_TRUE(closeByKeys(program, frame));
        EXPECT_EQ(0, program.boxes());
    }
    {
        // The format, the view and the output folder come back.
        Program program;
        HWND frame = program.waitForFrame();
        ASSERT_NE(nullptr, frame);
        ASSERT_NO_FATAL_FAILURE(expectLargeViewWith(frame, FLAC, L"restart-large"));
        ASSERT_TRUE(drop(frame, {folder_ + L"\\d.wav"}));
        EXPECT_EQ("flac", convertedCodec(frame, folder_ + L"\\Converted\\d.flac"));

        // In German the Audio CD entry is chosen (its caption differs, its place does not);
        // then English again.
        ASSERT_EQ("", apptest::chooseMenuItem(frame, LANGUAGE_MENU, GERMAN));
        ASSERT_TRUE(waitFor([&] { return showing(frame, L"Konvertieren in:\u00a0") != nullptr; }, 10000));
        EXPECT_EQ("", apptest::screenFaults(frame, L"restart-german"));
        ASSERT_LE(0, audioCdIndex);
        HWND list = formatList(frame);
        ASSERT_NE(nullptr, list);
        ASSERT_TRUE(apptest::chooseByClicks(list, audioCdIndex));
        ASSERT_EQ("", apptest::chooseMenuItem(frame, LANGUAGE_MENU, ENGLISH));
        ASSERT_TRUE(waitFor([&] { return showing(frame, L"Convert to:\u00a0") != nullptr; }, 10000));
        EXPECT_EQ(AUDIO_CD, apptest::shownEntry(list));
        ASSERT_TRUE(closeByKeys(program, frame));
    }
    // English and the Audio CD format come back.
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    ASSERT_NO_FATAL_FAILURE(expectLargeViewWith(frame, AUDIO_CD, L"restart-english"));
    EXPECT_TRUE(closeByKeys(program, frame));
}

} // namespace
