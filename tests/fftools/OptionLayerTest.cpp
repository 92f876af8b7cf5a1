#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "TranscoderFixture.h"
#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/fftools/OptionLayer.h"
#include "engine/fftools/TranscoderState.h"
#include "support/ChildProcess.h"

namespace ff = s::ffmpeg;
namespace ft = s::fftools;

class OptionLayer : public TranscoderTest {};

// Options are found by their name up to a stream specifier; nothing else matches.
TEST_F(OptionLayer, TableLookupStopsAtTheSpecifier) {
    const struct {
        const char* asked;
        const char* found;  // null: the table's end
    } cases[] = {
        {"b:a", "b"}, {"codec:v", "codec"}, {"c", "c"}, {"map_metadata", "map_metadata"}, {"bitexact", "bitexact"},
        {"max_muxing_queue_size:a", "max_muxing_queue_size"}, {"ab", nullptr}, {"loglevel", nullptr},
        {"h", nullptr}, {"ma", nullptr}, {"", nullptr},
    };
    for (const auto& c : cases) {
        const ft::OptionDef* po = ft::find_option(ft::transcoder_options, c.asked);
        if (c.found == nullptr) {
            EXPECT_EQ(nullptr, po->name) << c.asked;
        } else {
            ASSERT_NE(nullptr, po->name) << c.asked;
            EXPECT_STREQ(c.found, po->name);
        }
    }
    int count = 0;
    for (const ft::OptionDef* po = ft::transcoder_options; po->name != nullptr; ++po) {
        ++count;
    }
    EXPECT_EQ(112, count) << "FFmpeg's 110 options and the two the program's commands add";
}

// Options no table knows go to the library layers that know them, or are refused.
TEST_F(OptionLayer, LibraryOptionsAreRoutedByWhoKnowsThem) {
    const struct {
        const char* opt;
        const char* arg;
        int result;
        bool codec, format, scaler, resampler;
    } cases[] = {
        {"threads", "2", 0, true, false, false, false},
        {"probesize", "100M", 0, false, true, false, false},
        {"strict", "experimental", 0, true, true, false, false},
        {"id3v2_version", "3", 0, false, true, false, false},
        {"ab", "128k", 0, true, false, false, false},
        {"sws_flags", "bicubic", 0, false, false, true, false},
        {"dither_method", "triangular", 0, false, false, false, true},
        {"srcw", "10", AVERROR(EINVAL), false, false, false, false},
        {"nosuchoption", "1", AVERROR_OPTION_NOT_FOUND, false, false, false, false},
    };
    for (const auto& c : cases) {
        ft::uninit_opts();
        EXPECT_EQ(c.result, ft::opt_default(nullptr, c.opt, c.arg)) << c.opt;
        EXPECT_EQ(c.codec, ff::av_dict_get(ft::codec_opts, c.opt, nullptr, 0) != nullptr) << c.opt;
        EXPECT_EQ(c.format, ff::av_dict_get(ft::format_opts, c.opt, nullptr, 0) != nullptr) << c.opt;
        EXPECT_EQ(c.scaler, ff::av_dict_get(ft::sws_dict, c.opt, nullptr, 0) != nullptr) << c.opt;
        EXPECT_EQ(c.resampler, ff::av_dict_get(ft::swr_opts, c.opt, nullptr, 0) != nullptr) << c.opt;
    }
    // "+flag" adds to what an earlier "flags" set
    ft::uninit_opts();
    ASSERT_EQ(0, ft::opt_default(nullptr, "flags", "+mv4"));
    ASSERT_EQ(0, ft::opt_default(nullptr, "flags", "+aic"));
    EXPECT_STREQ("+mv4+aic", ff::av_dict_get(ft::codec_opts, "flags", nullptr, 0)->value);
    ft::uninit_opts();
}

// Numbers and times that do not parse, or fall outside the range, are refused with
// FFmpeg's message; the run goes on to fail instead of ending the process.
TEST_F(OptionLayer, NumbersAndTimesAreCheckedNotFatal) {
    const struct {
        const char* text;
        int type;
        double min, max;
        bool ok;
        double value;
        const wchar_t* message;
    } numbers[] = {
        {"44100", ft::OPT_INT64, INT_MIN, INT_MAX, true, 44100, nullptr},
        {"100M", ft::OPT_INT64, 0, 1e12, true, 100e6, nullptr},
        {"1.5", ft::OPT_INT64, INT_MIN, INT_MAX, false, 0, L"Expected int64 for n but found 1.5"},
        {"x", ft::OPT_FLOAT, -1e9, 1e9, false, 0, L"Expected number for n but found: x"},
        {"12", ft::OPT_INT, 0, 10, false, 0, L"The value for n was 12 which is not within 0.000000 - 10.000000"},
        {"0.25", ft::OPT_FLOAT, 0, 1, true, 0.25, nullptr},
    };
    for (const auto& n : numbers) {
        bool ok = true;
        const double value = ft::parse_number("n", n.text, n.type, n.min, n.max, &ok);
        EXPECT_EQ(n.ok, ok) << n.text;
        if (n.ok) {
            EXPECT_DOUBLE_EQ(n.value, value) << n.text;
        } else {
            EXPECT_TRUE(logHas(n.message)) << n.text << "\n" << logText();
        }
    }
    const struct {
        const char* text;
        bool ok;
        int64_t us;
    } times[] = {{"00:00:30.000", true, 30000000}, {"1.5", true, 1500000}, {"01:02:03.450", true, 3723450000LL},
                 {"abc", false, 0}, {"", false, 0}};
    for (const auto& t : times) {
        bool ok = true;
        const int64_t us = ft::parse_time("t", t.text, 1, &ok);
        EXPECT_EQ(t.ok, ok) << t.text;
        if (t.ok) {
            EXPECT_EQ(t.us, us) << t.text;
        }
    }
}

// Growing arrays: new elements are zero, too large a size is refused and leaves the
// array as it was.
TEST_F(OptionLayer, ArraysGrowZeroedAndRefuseTooBig) {
    int count = 0;
    int* values = nullptr;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(ft::grow_one(values, count));
        EXPECT_EQ(0, values[count - 1]);
        values[count - 1] = i + 1;
    }
    EXPECT_EQ(5, count);
    EXPECT_EQ(values, ft::grow_array(values, sizeof(int), &count, 3)) << "never shrinks";
    EXPECT_EQ(nullptr, ft::grow_array(values, sizeof(int), &count, INT_MAX / 2));
    EXPECT_EQ(5, count);
    EXPECT_EQ(5, values[4]);
    EXPECT_TRUE(logHas(L"Array too big.\n"));
    ff::av_free(values);
}

// The run's UTF-8 vector is made once and kept until the per-run release.
TEST_F(OptionLayer, ArgumentVectorIsCachedUntilReleased) {
    std::string a0 = "ffmpeg", a1 = "-i", a2 = "Grüße.wav";
    char* given[] = {a0.data(), a1.data(), a2.data(), nullptr};
    int argc = 3;
    char** argv = given;
    char** first = ft::prepare_app_arguments(&argc, &argv);
    ASSERT_NE(nullptr, first);
    EXPECT_NE(given, first) << "a copy of its own";
    EXPECT_STREQ("Grüße.wav", first[2]);
    EXPECT_STREQ("", first[3]) << "ended by an empty text";
    int otherArgc = 1;
    char** other = given;
    EXPECT_EQ(first, ft::prepare_app_arguments(&otherArgc, &other)) << "later calls get the cache";
    EXPECT_EQ(3, otherArgc);
    ft::uninit_opts();
    argc = 1;
    argv = given;
    char** remade = ft::prepare_app_arguments(&argc, &argv);
    EXPECT_EQ(1, argc);
    EXPECT_STREQ("ffmpeg", remade[0]);
    ft::uninit_opts();
}

// A DLL put into the folder a run works in is never loaded by name: only the program's
// folder and the system folder are searched.
TEST_F(OptionLayer, NoLibraryIsLoadedFromTheWorkingFolder) {
    const std::wstring work = path(L"planted");
    CreateDirectoryW(work.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((testsupport::programFolder() + L"\\swresample-4.dll").c_str(),
                          (work + L"\\planted.dll").c_str(), FALSE));
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryW(work.c_str()));
    HMODULE planted = LoadLibraryW(L"planted.dll");
    SetCurrentDirectoryW(before);
    EXPECT_EQ(nullptr, planted);
    if (planted != nullptr) {
        FreeLibrary(planted);
    }
}
