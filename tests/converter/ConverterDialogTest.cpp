// The converter dialog in-process: panels and their control references, the job record
// a batch gets from them, option changes stored at once, and the failure box's text.
#include <gtest/gtest.h>

#include <string>

#include "app/sound/gui/dialogs/mp3conv/Dialog.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/ComboBox.h"
#include "video/PanelFixture.h"

using s::sound::gui::dialogs::mp3conv::Dialog;
using s::sound::gui::dialogs::mp3conv::OptionRows;
using s::sound::gui::dialogs::mp3conv::Setting;

namespace {

// The dialog runs its own window in the audio mode; lists are chosen by clicks.
class ConverterDialogTest : public videotest::PanelDialogTest {
protected:
    void SetUp() override {
        PanelDialogTest::SetUp();
        open(1);
    }
    void store(const wchar_t* group, const wchar_t* key, int32_t value) {
        ASSERT_TRUE(apptest::writeInt(apptest::savePath(std::wstring(L"MainWindow\\ConvertTo2\\") + group), key, value));
    }
    int32_t stored(const wchar_t* group, const wchar_t* key) {
        int32_t value = -1;
        apptest::readInt(apptest::savePath(std::wstring(L"MainWindow\\ConvertTo2\\") + group), key, &value);
        return value;
    }
    // Chooses the entry at index of the shown panel's (format, kind) list.
    void pick(int32_t formatId, OptionRows::Kind kind, int32_t index) {
        chooseAt(dialog_->optionControl(formatId, kind), index);
    }
};

struct Record {
    int32_t formatId, quality, bitRate, sampleRate, channels, bitsPerSample, volume;
};

TEST_F(ConverterDialogTest, EachPanelFillsTheJobRecordFromItsOwnControls) {
    struct Case {
        const char* name;
        int32_t formatId;
        std::vector<std::tuple<const wchar_t*, const wchar_t*, int32_t>> storedValues;
        Record expected;
    };
    const Case cases[] = {
        {"mp3 fresh", 18, {}, {18, 100, 0, 0, 0, 0, 100}},
        {"mp3 bit rate", 18, {{L"Mp3", L"Quality", 192000}}, {18, 0, 192000, 0, 0, 0, 100}},
        {"mp3 of another group", 18, {{L"Ogg_Vorbis", L"Quality", 7}}, {18, 100, 0, 0, 0, 0, 100}},
        {"vorbis level", 21, {{L"Ogg_Vorbis", L"Quality", 7}, {L"Ogg_Vorbis", L"Volume", 300}},
         {21, 7, 0, 0, 0, 0, 300}},
        {"amr fixed rate", 8, {{L"Amr", L"SampleRate", 44100}, {L"Amr", L"Quality", 4750}},
         {8, 0, 4750, 8000, 1, 0, 100}},
        {"audio cd", 29, {{L"Wav_AudioCd", L"SampleRate", 8000}}, {29, 0, 0, 44100, 2, 16, 100}},
        {"gsm", 30, {}, {30, 0, 13000, 8000, 1, 0, 100}},
        {"raw le fresh", 22, {}, {22, 0, 0, 0, 2, 16, 100}},
        {"aiff stored", 7, {{L"Aiff", L"BitsPerSample", 1032}, {L"Aiff", L"Channels", 6}},
         {7, 0, 0, 0, 6, 1032, 100}},
        {"wav stored nonsense", 28, {{L"Wav", L"BitsPerSample", 100}, {L"Wav", L"SampleRate", 5000}},
         {28, 0, 0, 0, 0, 0, 100}},
        {"mp3 stored nonsense", 18, {{L"Mp3", L"Quality", 999}, {L"Mp3", L"Channels", 6}, {L"Mp3", L"Volume", 5000}},
         {18, 100, 0, 0, 0, 0, 100}},
        {"no configuration", 999, {}, {999, 100, 0, 0, 0, 0, 100}},
        {"header", 0, {}, {0, 0, 0, 0, 0, 0, 100}},
        {"unknown id", 35, {}, {0, 0, 0, 0, 0, 0, 100}},
        // The AVI preset's sound: MP3 unless AC3 is chosen, at the similar quality.
        {"video preset", 10003, {}, {18, 100, 0, 0, 0, 0, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        apptest::deleteProductKey();
        for (const auto& [group, key, value] : c.storedValues) {
            store(group, key, value);
        }
        showPanel(c.formatId);
        ASSERT_NE(nullptr, panel_);
        dialog_->fillSetting(c.formatId);
        const Setting* r = dialog_->jobSetting();
        const Record got{r->formatId, r->quality, r->bitRate, r->sampleRate, r->channels, r->bitsPerSample, r->volume};
        EXPECT_EQ(c.expected.formatId, got.formatId);
        EXPECT_EQ(c.expected.quality, got.quality);
        EXPECT_EQ(c.expected.bitRate, got.bitRate);
        EXPECT_EQ(c.expected.sampleRate, got.sampleRate);
        EXPECT_EQ(c.expected.channels, got.channels);
        EXPECT_EQ(c.expected.bitsPerSample, got.bitsPerSample);
        EXPECT_EQ(c.expected.volume, got.volume);
        EXPECT_EQ(c.formatId == 10003 ? 10003 : 0, r->outputId);
    }
}

TEST_F(ConverterDialogTest, OnlyTheShownPanelsControlsAreReferenced) {
    struct Case {
        int32_t formatId;
        std::vector<OptionRows::Kind> kinds;
    };
    const Case cases[] = {
        {18, {OptionRows::QUALITY, OptionRows::SAMPLE_RATE, OptionRows::CHANNELS, OptionRows::VOLUME}},
        {28, {OptionRows::SAMPLE_RATE, OptionRows::CHANNELS, OptionRows::BITS_PER_SAMPLE, OptionRows::VOLUME}},
        {8, {OptionRows::QUALITY, OptionRows::VOLUME}},
        {29, {OptionRows::VOLUME}},
        {999, {}},
        {0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formatId);
        showPanel(c.formatId);
        for (int32_t format = 0; format < Dialog::FORMAT_SLOTS; ++format) {
            for (int32_t k = 0; k < OptionRows::KIND_COUNT; ++k) {
                const auto kind = static_cast<OptionRows::Kind>(k);
                const bool shown = format == c.formatId &&
                                   std::find(c.kinds.begin(), c.kinds.end(), kind) != c.kinds.end();
                EXPECT_EQ(shown, dialog_->optionControl(format, kind) != nullptr) << format << "/" << k;
            }
        }
    }
}

TEST_F(ConverterDialogTest, ChangesAreStoredUnderTheirFormatAtOnceAndNonChoicesAreNot) {
    struct Case {
        int32_t formatId;
        OptionRows::Kind kind;
        int32_t index;
        const wchar_t* group;
        const wchar_t* key;
        int32_t stored;  // -1: nothing stored
    };
    const Case cases[] = {
        {8, OptionRows::VOLUME, 10, L"Amr", L"Volume", 120},
        {9, OptionRows::VOLUME, 0, L"Au", L"Volume", 300},
        {18, OptionRows::QUALITY, 5, L"Mp3", L"Quality", 7},
        {18, OptionRows::QUALITY, 13, L"Mp3", L"Quality", -1},
        {18, OptionRows::SAMPLE_RATE, 1, L"Mp3", L"SampleRate", -1},
        {12, OptionRows::CHANNELS, 2, L"Flac", L"Channels", 6},
        {23, OptionRows::BITS_PER_SAMPLE, 9, L"Pcm_Be", L"BitsPerSample", 108},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        apptest::deleteProductKey();
        showPanel(c.formatId);
        pick(c.formatId, c.kind, c.index);
        EXPECT_EQ(c.stored, stored(c.group, c.key));
    }
    // Back on the panel, the stored choice shows again.
    showPanel(9);
    pick(9, OptionRows::VOLUME, 0);
    showPanel(8);
    showPanel(9);
    EXPECT_EQ(300, dialog_->optionControl(9, OptionRows::VOLUME)->getSelectedItem()->value);
}

TEST_F(ConverterDialogTest, EventsOfOtherSourcesAreLeftToTheDropBox) {
    showPanel(18);
    EXPECT_FALSE(dialog_->onOptionEvent(nullptr, 0));
    EXPECT_FALSE(dialog_->onOptionEvent(dialog_, 0));
    Dialog::ComboBox* stranger = Dialog::ComboBox::createWithWidthPercent(100, -1);
    EXPECT_FALSE(dialog_->onOptionEvent(stranger, 0));
    stranger->release();
    // A list of a panel no longer shown is nobody's.
    Dialog::ComboBox* old = dialog_->optionControl(18, OptionRows::QUALITY);
    showPanel(28);
    EXPECT_FALSE(dialog_->onOptionEvent(old, 0));
}

TEST_F(ConverterDialogTest, TheFailureTextNamesBothFilesAndEndsByKind) {
    struct Case {
        int32_t kind;
        const wchar_t* logName;
        const wchar_t* contains;
        const wchar_t* endsWith;
    };
    const Case cases[] = {
        {3, L"_error.txt", L"Error:  Resampling from 5.1ch audio is currently not supported.\r\n\r\nSolution:\r\n",
         L"\"Channels\" settings as \"Same  (Default)\"."},
        {4, L"_error.txt", L"Error:  The input audio format is currently not supported.\r\n\r\nPlease contact the developers.\r\n",
         L"We are sorry for the inconvenience."},
        {1, L"_error.txt", L"Error:  Unknown error has happened.\r\n\r\nPlease send us the \"_error.txt\" file.\r\n",
         L"\r\n\r\nWe are sorry for the inconvenience."},
        // A later failure in the same folder wrote the next free name; the box names it.
        {1, L"_error (2).txt", L"Please send us the \"_error (2).txt\" file.\r\n", L"We are sorry for the inconvenience."},
        // ffmpeg.exe did not start: what the system said.
        {5, L"_error.txt", L"Error:  The external tool ffmpeg.exe could not be started: Module not found. (system "
                           L"error 126)\r\n\r\nPlease send us the \"_error.txt\" file.\r\n",
         L"We are sorry for the inconvenience."},
    };
    s::str::strbuffer::StrBuffer* text = s::str::strbuffer::StrBuffer::pool();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        dialog_->composeFailureText(text, L"C:\\in\\a.mp3", L"C:\\out\\a.wav", c.kind, c.logName,
                                    L"Module not found. (system error 126)");
        const std::wstring got = text->c_str();
        EXPECT_EQ(0u, got.find(L"Conversion Failed!\r\n\r\nInput File:  C:\\in\\a.mp3\r\n"
                               L"Output File:  C:\\out\\a.wav\r\n\r\n"));
        EXPECT_NE(std::wstring::npos, got.find(c.contains));
        const std::wstring end = c.endsWith;
        ASSERT_GE(got.size(), end.size());
        EXPECT_EQ(end, got.substr(got.size() - end.size()));
    }
    text->release();
}

} // namespace
