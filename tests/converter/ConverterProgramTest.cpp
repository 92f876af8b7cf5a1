// Brisquelton.exe converting as a user drives it: files dropped on the Drop Box, formats
// and options picked in its combo boxes, outputs judged by ffprobe.exe.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConverterDriver.h"

using namespace convtest;

namespace {

constexpr int32_t RATE = 48000;
constexpr double SECONDS = 1.0;
const std::wstring MP3 = L".MP3";

class ConverterProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        Converter::prepare();
        folder_ = testsupport::freshTempFolder(L"conv-" + std::to_wstring(counter_++));
    }
    void TearDown() override {
        testsupport::removeTree(folder_);
        apptest::deleteProductKey();
    }
    // A fresh sub-folder with a copy of the 48 kHz stereo WAV "a.wav".
    std::wstring caseFolder(const std::wstring& name, double seconds = SECONDS) {
        const std::wstring dir = folder_ + L"\\" + name;
        CreateDirectoryW(dir.c_str(), nullptr);
        EXPECT_TRUE(writeWav(dir + L"\\a.wav", RATE, 2, seconds, 0.25));
        return dir;
    }
    std::string probed(const std::wstring& file, const char* key) { return probe(file)[key]; }

    std::wstring folder_;
    static inline int counter_ = 0;
};

struct Conversion {
    const char* name;
    std::vector<std::wstring> choices;  // the format entry first, then options
    const wchar_t* output;
    // ffprobe expectations (key, value); a raw output is judged by its size instead.
    std::vector<std::pair<const char*, const char*>> expected;
    int64_t bytesPerFrame;  // raw outputs: exact bytes per input frame
};

// One value of every option list, and the formats that fix their values.
const std::vector<Conversion> CONVERSIONS = {
    {"AudioCd", {L".WAV  [Audio CD Burning]"}, L"a (1).wav",
     {{"stream.0.codec_name", "pcm_s16le"}, {"stream.0.sample_rate", "44100"}, {"stream.0.channels", "2"}}, 0},
    {"Gsm", {L".WAV  (GSM)"}, L"a (1).wav",
     {{"stream.0.codec_name", "gsm_ms"}, {"stream.0.sample_rate", "8000"}, {"stream.0.channels", "1"}}, 0},
    {"OggQuality5", {L".OGG", L"5"}, L"a.ogg", {{"stream.0.codec_name", "vorbis"}}, 0},
    {"FlacRateAndMono", {L".FLAC                 -Lossless-", L"22,050 Hz", L"1ch  (Monaural)"}, L"a.flac",
     {{"stream.0.codec_name", "flac"}, {"stream.0.sample_rate", "22050"}, {"stream.0.channels", "1"}}, 0},
    {"RawBe24", {L".RAW  (Big-Endian)", L"24 bits [signed] [BE]"}, L"a.raw", {}, 2 * 3},
    {"AmrRate", {L".AMR", L"7.95 kbps"}, L"a.amr",
     {{"stream.0.codec_name", "amr_nb"}, {"stream.0.sample_rate", "8000"}, {"stream.0.channels", "1"}}, 0},
    {"AiffPcmRate", {L".AIFF                   -Lossless-", L"88,200 Hz"}, L"a.aiff",
     {{"stream.0.codec_name", "pcm_s16be"}, {"stream.0.sample_rate", "88200"}}, 0},
    {"M4aAacRate", {L".M4A", L"32,000 Hz"}, L"a.m4a",
     {{"stream.0.codec_name", "aac"}, {"stream.0.sample_rate", "32000"}}, 0},
    {"Ac3CommonRate", {L".AC3", L"32,000 Hz", L"96 kbps"}, L"a.ac3",
     {{"stream.0.codec_name", "ac3"}, {"stream.0.sample_rate", "32000"}}, 0},
    {"OggFlacRate", {L".OGG  (FLAC)      -Lossless-", L"96,000 Hz  (High Resolution)"}, L"a.ogg",
     {{"stream.0.codec_name", "flac"}, {"stream.0.sample_rate", "96000"}}, 0},
    {"Mp2Rate", {L".MP2", L"24,000 Hz", L"1ch  (Monaural)"}, L"a.mp2",
     {{"stream.0.codec_name", "mp2"}, {"stream.0.sample_rate", "24000"}, {"stream.0.channels", "1"}}, 0},
    {"WmaRateAndBitRate", {L".WMA", L"22,050 Hz", L"64 kbps  (Common 3)"}, L"a.wma",
     {{"stream.0.codec_name", "wmav2"}, {"stream.0.sample_rate", "22050"}}, 0},
    {"MmfYamahaRate", {L".MMF", L"11,025 Hz"}, L"a.mmf",
     {{"stream.0.codec_name", "adpcm_yamaha"}, {"stream.0.sample_rate", "11025"}}, 0},
    {"AuSurroundChannels", {L".AU                    -Lossless-", L"1ch  (Monaural)", L"32 bits [float] [BE]"},
     L"a.au", {{"stream.0.codec_name", "pcm_f32be"}, {"stream.0.channels", "1"}}, 0},
    {"ImaStereoChannels", {L".WAV  (ADPCM IMA)", L"1ch  (Monaural)"}, L"a (1).wav",
     {{"stream.0.codec_name", "adpcm_ima_wav"}, {"stream.0.channels", "1"}}, 0},
    {"RawAlawChannels", {L".RAW  (a-Law)", L"1ch  (Monaural)"}, L"a.raw", {}, 1},
    {"WavUnsigned8", {L".WAV                 -Lossless-", L"8 bits [unsigned]"}, L"a (1).wav",
     {{"stream.0.codec_name", "pcm_u8"}}, 0},
    {"RawLeSigned8", {L".RAW  (Little-Endian)", L"8 bits [signed]"}, L"a.raw", {}, 2},
    {"Mp3QualityLevel", {MP3, L"7", L"16,000 Hz"}, L"a.mp3",
     {{"stream.0.codec_name", "mp3"}, {"stream.0.sample_rate", "16000"}}, 0},
    {"AacSurroundRate", {L".AAC", L"64,000 Hz  (High Resolution)"}, L"a.aac", {{"stream.0.codec_name", "aac"}}, 0},
    {"MsAdpcm", {L".WAV  (ADPCM Microsoft)", L"8,000 Hz  (Low Resolution)"}, L"a (1).wav",
     {{"stream.0.codec_name", "adpcm_ms"}, {"stream.0.sample_rate", "8000"}}, 0},
};

TEST_F(ConverterProgramTest, EveryOptionListConvertsThroughTheRealLists) {
    Converter program;
    ASSERT_NE(nullptr, program.frame());
    for (const Conversion& c : CONVERSIONS) {
        SCOPED_TRACE(c.name);
        const std::wstring dir = caseFolder(std::wstring(c.name, c.name + strlen(c.name)));
        for (const std::wstring& choice : c.choices) {
            ASSERT_EQ("", choose(program.frame(), choice)) << std::string(choice.begin(), choice.end());
            EXPECT_EQ(choice, shownBeside(program.frame(), choice));
        }
        const std::wstring output = dir + L"\\" + c.output;
        ASSERT_TRUE(program.convert({dir + L"\\a.wav"}, output));
        EXPECT_EQ("", apptest::screenFaults(program.frame(), L"converted-" + std::wstring(c.name, c.name + strlen(c.name))));
        if (c.bytesPerFrame != 0) {
            EXPECT_EQ(static_cast<int64_t>(RATE * SECONDS) * c.bytesPerFrame, fileSize(output));
            continue;
        }
        const auto values = probe(output);
        for (const auto& [key, value] : c.expected) {
            EXPECT_EQ(value, values.count(key) ? values.at(key) : "(none)") << key;
        }
    }
}

TEST_F(ConverterProgramTest, DefaultIsMp3BesideTheInputsAndARepeatGetsANewName) {
    const std::wstring dir = caseFolder(L"default");
    ASSERT_TRUE(makeMp3(dir + L"\\a.wav", dir + L"\\b.mp3"));
    Converter program;
    ASSERT_NE(nullptr, program.frame());
    EXPECT_EQ(MP3, shownBeside(program.frame(), MP3));
    ASSERT_TRUE(program.convert({dir + L"\\a.wav", dir + L"\\b.mp3"}, dir + L"\\b (1).mp3"));
    EXPECT_EQ("mp3", probed(dir + L"\\a.mp3", "stream.0.codec_name"));
    EXPECT_EQ("48000", probed(dir + L"\\a.mp3", "stream.0.sample_rate"));
    ASSERT_TRUE(program.convert({dir + L"\\a.wav"}, dir + L"\\a (1).mp3"));
    EXPECT_EQ("mp3", probed(dir + L"\\a (1).mp3", "stream.0.codec_name"));
}

TEST_F(ConverterProgramTest, Mp3At192KbpsAndVolume200) {
    const std::wstring dir = caseFolder(L"rates", 5.0);
    Converter program;
    ASSERT_NE(nullptr, program.frame());
    ASSERT_EQ("", choose(program.frame(), MP3));
    ASSERT_EQ("", choose(program.frame(), L"192 kbps  (Common 1)"));
    ASSERT_TRUE(program.convert({dir + L"\\a.wav"}, dir + L"\\a.mp3"));
    const double kbps = std::stod("0" + probed(dir + L"\\a.mp3", "stream.0.bit_rate")) / 1000;
    EXPECT_NEAR(192.0, kbps, 8.0);

    ASSERT_EQ("", choose(program.frame(), L".WAV                 -Lossless-"));
    ASSERT_EQ("", choose(program.frame(), L"200%"));
    ASSERT_TRUE(program.convert({dir + L"\\a.wav"}, dir + L"\\a (1).wav"));
    const int32_t before = wavPeak(dir + L"\\a.wav");
    const int32_t after = wavPeak(dir + L"\\a (1).wav");
    EXPECT_NEAR(2.0, static_cast<double>(after) / before, 0.05);
}

TEST_F(ConverterProgramTest, ChoicesShowAgainAfterARestart) {
    const std::vector<std::wstring> mp3Choices = {L"256 kbps", L"32,000 Hz", L"1ch  (Monaural)", L"120%"};
    {
        Converter program;
        ASSERT_NE(nullptr, program.frame());
        ASSERT_EQ("", choose(program.frame(), L".AMR"));
        ASSERT_EQ("", choose(program.frame(), L"120%"));
        ASSERT_EQ("", choose(program.frame(), MP3));
        for (const std::wstring& choice : mp3Choices) {
            ASSERT_EQ("", choose(program.frame(), choice));
        }
        ASSERT_EQ("", choose(program.frame(), L".RAW  (Big-Endian)"));
        ASSERT_EQ("", choose(program.frame(), L"16 bits [unsigned] [BE]"));
        ASSERT_EQ("", choose(program.frame(), L".AMR"));
        EXPECT_EQ(L"120%", shownBeside(program.frame(), L"120%"));
        ASSERT_TRUE(program.close(10000));
    }
    std::wstring stored;
    ASSERT_TRUE(apptest::readString(VIEW, L"ConvertTo", &stored));
    EXPECT_EQ(L".AMR", stored);
    Converter program;
    ASSERT_NE(nullptr, program.frame());
    EXPECT_EQ(L".AMR", shownBeside(program.frame(), L".AMR"));
    EXPECT_EQ(L"120%", shownBeside(program.frame(), L"120%"));
    ASSERT_EQ("", choose(program.frame(), MP3));
    for (const std::wstring& choice : mp3Choices) {
        EXPECT_EQ(choice, shownBeside(program.frame(), choice));
    }
    ASSERT_EQ("", choose(program.frame(), L".RAW  (Big-Endian)"));
    EXPECT_EQ(L"16 bits [unsigned] [BE]", shownBeside(program.frame(), L"16 bits [unsigned] [BE]"));
}

// The compact view hides the option panel, which is only built when needed: a drop there
// still converts with the chosen format's stored choices.
TEST_F(ConverterProgramTest, ADropInTheCompactViewTakesTheStoredChoices) {
    const std::wstring mp3 = optionKey(L"Mp3");
    ASSERT_TRUE(apptest::writeInt(mp3, L"Quality", 192000));
    ASSERT_TRUE(apptest::writeInt(mp3, L"SampleRate", 32000));
    ASSERT_TRUE(apptest::writeString(VIEW, L"ConvertTo", L".mp3"));
    ASSERT_TRUE(apptest::writeInt(VIEW, L"CompactView", 1));
    const std::wstring dir = caseFolder(L"compact", 5.0);
    Converter program;
    ASSERT_NE(nullptr, program.frame());
    EXPECT_EQ(nullptr, showing(program.frame(), MP3));
    ASSERT_TRUE(program.convert({dir + L"\\a.wav"}, dir + L"\\a.mp3"));
    EXPECT_EQ("32000", probed(dir + L"\\a.mp3", "stream.0.sample_rate"));
    EXPECT_NEAR(192.0, std::stod("0" + probed(dir + L"\\a.mp3", "stream.0.bit_rate")) / 1000, 8.0);
}

TEST_F(ConverterProgramTest, StoredValuesThatMatchNoChoiceRestoreTheDefaultsAndConvert) {
    const std::wstring mp3 = optionKey(L"Mp3");
    ASSERT_TRUE(apptest::writeInt(mp3, L"SampleRate", 100));
    ASSERT_TRUE(apptest::writeInt(mp3, L"Channels", 5000));
    ASSERT_TRUE(apptest::writeInt(mp3, L"Quality", 999));
    ASSERT_TRUE(apptest::writeInt(mp3, L"Volume", 100));
    ASSERT_TRUE(apptest::writeInt(optionKey(L"Wav"), L"BitsPerSample", 100));
    ASSERT_TRUE(apptest::writeString(VIEW, L"ConvertTo", L".mp3"));
    const std::wstring dir = caseFolder(L"stored");
    Converter program;
    ASSERT_NE(nullptr, program.frame());
    EXPECT_EQ(MP3, shownBeside(program.frame(), MP3));
    EXPECT_EQ(L"Same  (Default)", shownBeside(program.frame(), L"32,000 Hz"));
    EXPECT_EQ(L"Same  (Default)", shownBeside(program.frame(), L"1ch  (Monaural)"));
    EXPECT_EQ(L"Similar Quality  (Default)", shownBeside(program.frame(), L"320 kbps"));
    ASSERT_TRUE(program.convert({dir + L"\\a.wav"}, dir + L"\\a.mp3"));
    EXPECT_EQ("48000", probed(dir + L"\\a.mp3", "stream.0.sample_rate"));
    EXPECT_EQ("2", probed(dir + L"\\a.mp3", "stream.0.channels"));
    ASSERT_EQ("", choose(program.frame(), L".WAV                 -Lossless-"));
    EXPECT_EQ(L"Same  (Default)", shownBeside(program.frame(), L"8 bits [unsigned]"));
    ASSERT_TRUE(program.convert({dir + L"\\a.wav"}, dir + L"\\a (1).wav"));
    EXPECT_EQ("pcm_s16le", probed(dir + L"\\a (1).wav", "stream.0.codec_name"));
}

TEST_F(ConverterProgramTest, HeadersAndRulesCannotBeChosen) {
    Converter program;
    ASSERT_NE(nullptr, program.frame());
    ASSERT_EQ("", choose(program.frame(), L".OGG"));
    struct Pick {
        std::wstring entry;
        std::wstring staysOn;
    };
    const std::vector<Pick> picks = {
        {L"PCM  (Raw Data)", L".OGG"},
        {L"Audio Formats", L".OGG"},
        {L"By Bit Rate", L"Similar Quality  (Default)"},
        {L"By Quality Level", L"Similar Quality  (Default)"},
    };
    for (const Pick& pick : picks) {
        ASSERT_EQ("", choose(program.frame(), pick.entry));
        EXPECT_EQ(pick.staysOn, shownBeside(program.frame(), pick.entry));
    }
    std::wstring stored;
    ASSERT_TRUE(apptest::readString(VIEW, L"ConvertTo", &stored));
    EXPECT_EQ(L".OGG", stored);
    int32_t quality = -1;
    EXPECT_FALSE(apptest::readInt(optionKey(L"Ogg_Vorbis"), L"Quality", &quality));
}

TEST_F(ConverterProgramTest, CancelLeavesNothingAndTheNextDropConverts) {
    const std::wstring dir = caseFolder(L"cancel", 600.0);
    writeWav(dir + L"\\short.wav", RATE, 2, SECONDS, 0.25);
    Converter program;
    ASSERT_NE(nullptr, program.frame());
    ASSERT_TRUE(drop(program.frame(), {dir + L"\\a.wav"}));
    HWND status = nullptr;
    ASSERT_TRUE(waitFor([&] { return (status = showing(program.frame(), L"a.mp3")) != nullptr; }, 20000));
    HWND cancel = apptest::childWithText(program.frame(), L"Cancel");
    ASSERT_NE(nullptr, cancel);
    // Watched closely: the worker's end of the batch follows soon after. A click the
    // machine lost leaves the batch running: made once more, and counted.
    std::wstring seen;
    for (int attempt = 0; attempt < 2 && seen.empty(); ++attempt) {
        if (attempt > 0) testsupport::LostInput::repeated("cancel click");
        ASSERT_TRUE(testsupport::clickAt(testsupport::centreOf(testsupport::screenRect(cancel)), testsupport::Button::Left, 0));
        for (const DWORD start = GetTickCount(); seen.empty() && GetTickCount() - start < 10000; Sleep(1)) {
            const std::wstring now = textOf(status);
            if (now == L"Canceling.." || now == L"Ready") seen = now;
        }
    }
    EXPECT_EQ(L"Canceling..", seen);
    EXPECT_TRUE(program.waitReady(20000));
    EXPECT_EQ(L"Ready", textOf(status));
    EXPECT_EQ((std::vector<std::wstring>{L"a.wav", L"short.wav"}), listFolder(dir));
    ASSERT_TRUE(program.convert({dir + L"\\short.wav"}, dir + L"\\short.mp3"));
    EXPECT_EQ("mp3", probed(dir + L"\\short.mp3", "stream.0.codec_name"));
}

TEST_F(ConverterProgramTest, ClosingMidFileEndsTheProcessWithoutAPartialFile) {
    const std::wstring dir = caseFolder(L"close", 600.0);
    Converter program;
    ASSERT_NE(nullptr, program.frame());
    ASSERT_TRUE(drop(program.frame(), {dir + L"\\a.wav"}));
    ASSERT_TRUE(waitFor([&] { return showing(program.frame(), L"a.mp3") != nullptr; }, 20000));
    ASSERT_TRUE(program.close(10000));
    EXPECT_EQ((std::vector<std::wstring>{L"a.wav"}), listFolder(dir));
}

TEST_F(ConverterProgramTest, AFailedFileIsReportedWhileTheNextWaits) {
    const std::wstring dir = caseFolder(L"failed");
    {
        std::ofstream bad(std::filesystem::path(dir + L"\\bad.mp3"), std::ios::binary);
        bad << std::string(4000, 'x');
    }
    Converter program;
    ASSERT_NE(nullptr, program.frame());
    ASSERT_TRUE(drop(program.frame(), {dir + L"\\bad.mp3", dir + L"\\a.wav"}));
    HWND box = nullptr;
    std::wstring text;
    ASSERT_TRUE(waitFor([&] { return !(text = boxText(program.id(), &box)).empty(); }, 60000));
    EXPECT_EQ(0u, text.find(L"Conversion Failed!\r\n\r\nInput File:  " + dir + L"\\bad.mp3\r\n"));
    EXPECT_NE(std::wstring::npos, text.find(L"Output File:  " + dir + L"\\bad"));
    // The worker waits in the box: the good file is not converted yet.
    Sleep(1500);
    EXPECT_FALSE(exists(dir + L"\\a.mp3"));
    ASSERT_TRUE(testsupport::clickOn(GetDlgItem(box, GetDlgItem(box, IDOK) != nullptr ? IDOK : IDCANCEL)));
    ASSERT_TRUE(waitFor([&] { return exists(dir + L"\\a.mp3"); }, 60000));
    EXPECT_TRUE(program.waitReady(30000));
    std::ifstream log(std::filesystem::path(dir + L"\\_error.txt"));
    const std::string logText((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(std::string::npos, logText.find("[Input Path]:"));
    EXPECT_NE(std::string::npos, logText.find("[FFmpeg Command]:"));
}

} // namespace
