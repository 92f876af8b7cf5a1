// Codec, TV-system and screen rows: output ids, defaults, refusals and what is stored.
#include "VideoDialogFixture.h"

#include "app/video/AudioRows.h"
#include "app/video/TvSystemRows.h"
#include "app/video/VideoCodecRows.h"
#include "widgets/gui/win/CheckBox.h"

namespace {

using namespace videotest;
using s::video::AudioRows;
using s::video::TvSystemRows;
using s::video::VideoCodecRows;

class CodecRowsTest : public VideoDialogTest {};

TEST_F(CodecRowsTest, EveryCodecTvSystemAndScreenChoiceGivesItsOutputIdAndPasses) {
    ComboBox *divx = nullptr, *flv = nullptr, *wmv = nullptr, *vcd = nullptr, *ts = nullptr, *mp4 = nullptr;
    ComboBox *dvd = nullptr, *svcd = nullptr, *tv = nullptr, *dvdScreen = nullptr, *svcdScreen = nullptr;
    build([&] { return VideoCodecRows::buildVideoCodecRowAviDivx(dialog_, &divx); });
    build([&] { return VideoCodecRows::buildVideoCodecRowFlv(dialog_, &flv); });
    build([&] { return VideoCodecRows::buildVideoCodecRowWmv(dialog_, &wmv); });
    build([&] { return VideoCodecRows::buildVideoCodecRowVcd(dialog_, &vcd); });
    build([&] { return VideoCodecRows::buildVideoCodecRowMpg(dialog_, L"VC_Ts_Mpg2_Ac3", &ts); });
    build([&] { return VideoCodecRows::buildVideoCodecRowMpeg4(dialog_, L"VC_Mp4_Mpeg4_Aac", &mp4); });
    build([&] { return VideoCodecRows::buildVideoCodecRowMpg(dialog_, L"VC_Mpg_Mpg_Ac3_Dvd", &dvd); });
    build([&] { return VideoCodecRows::buildVideoCodecRowMpg(dialog_, L"VC_Mpg_Mpg_Mp2_Svcd", &svcd); });
    build([&] { return TvSystemRows::buildTvSystemRow(dialog_, L"VC_Mpg_Mpg_Mp2_Vcd", &tv); });
    build([&] { return TvSystemRows::buildScreenShapeRowDvd(dialog_, &dvdScreen); });
    build([&] { return TvSystemRows::buildScreenShapeRowSvcd(dialog_, &svcdScreen); });

    struct Simple {
        ComboBox** list;
        int32_t value, outputId, twoPass;
    } simple[] = {
        {&divx, 62, 10120, 0}, {&divx, 66, 10121, 0}, {&divx, 68, 10121, 1}, {&flv, 92, 10301, 0},
        {&flv, 26, 10304, 0},  {&flv, 28, 10304, 1},  {&wmv, 72, 10200, 0},  {&wmv, 82, 10202, 0},
        {&ts, 42, 10061, 0},   {&ts, 46, 10063, 0},   {&ts, 48, 10063, 1},   {&mp4, 12, 10006, 0},
        {&mp4, 16, 10013, 0},  {&mp4, 18, 10013, 1},  {&mp4, 616, 10556, 0}, {&mp4, 618, 10556, 1},
        {&mp4, 26, 10027, 0},  {&mp4, 28, 10027, 1},  {&mp4, 30, 17027, 0},  {&mp4, 31, 17027, 1},
    };
    VideoCodecRows::Mpeg4Ids mp4Ids{};
    ASSERT_TRUE(VideoCodecRows::mpeg4Ids(L"VC_Mp4_Mpeg4_Aac", &mp4Ids));
    int32_t standard = 0, alternative = 0;
    ASSERT_TRUE(VideoCodecRows::mpgIds(L"VC_Ts_Mpg2_Ac3", &standard, &alternative));
    onUi([&] {
        for (const Simple& c : simple) {
            SCOPED_TRACE(testing::Message() << "value " << c.value);
            pick(*c.list, c.value);
            Setting* record = dialog_->jobRecord();
            record->reset();
            record->twoPass = 7;
            if (*c.list == divx) VideoCodecRows::applyVideoCodecAviDivx(record, divx);
            if (*c.list == flv) VideoCodecRows::applyVideoCodecFlv(dialog_, flv);
            if (*c.list == wmv) VideoCodecRows::applyVideoCodecWmv(record, wmv);
            if (*c.list == ts) VideoCodecRows::applyVideoCodecMpg(dialog_, ts, standard, alternative);
            if (*c.list == mp4) VideoCodecRows::applyVideoCodecMpeg4(record, mp4, mp4Ids);
            EXPECT_EQ(c.outputId, record->outputId);
            EXPECT_EQ(c.twoPass, record->twoPass);
        }
    });

    // VCD: codec by TV system.
    const int32_t tvs[] = {1, 2, 11, 12};
    const int32_t vcdStandard[] = {10080, 10081, 10082, 10083};
    const int32_t vcdAlternative[] = {10085, 10086, 10087, 10088};
    // DVD and SVCD: per TV system, (screen 0, 1, 2) x (standard, alternative).
    const int32_t dvdIds[4][6] = {{10034, 10039, 10051, 10055, 10043, 10047},
                                  {10035, 10040, 10052, 10056, 10044, 10048},
                                  {10036, 10041, 10053, 10057, 10045, 10049},
                                  {10037, 10042, 10054, 10058, 10046, 10050}};
    const int32_t svcdIds[4][6] = {{0, 0, 10099, 10103, 10090, 10095},
                                   {0, 0, 10100, 10104, 10091, 10096},
                                   {0, 0, 10101, 10105, 10092, 10097},
                                   {0, 0, 10102, 10106, 10093, 10098}};
    VideoCodecRows::DiscIds dvdTable{}, svcdTable{};
    ASSERT_TRUE(VideoCodecRows::discIds(L"VC_Mpg_Mpg_Ac3_Dvd", &dvdTable));
    ASSERT_TRUE(VideoCodecRows::discIds(L"VC_Mpg_Mpg_Mp2_Svcd", &svcdTable));
    onUi([&] {
        Setting* record = dialog_->jobRecord();
        for (int t = 0; t < 4; ++t) {
            pick(tv, tvs[t]);
            for (int32_t codec : {32, 36, 38}) {
                SCOPED_TRACE(testing::Message() << "VCD " << codec << " TV " << tvs[t]);
                pick(vcd, codec);
                record->reset();
                VideoCodecRows::applyVideoCodecVcd(record, vcd, tv);
                EXPECT_EQ(codec == 32 ? vcdStandard[t] : vcdAlternative[t], record->outputId);
                EXPECT_EQ(codec == 38 ? 1 : 0, record->twoPass);
            }
            for (int32_t codec : {42, 46, 48}) {
                const int alt = codec == 42 ? 0 : 1;
                pick(dvd, codec);
                pick(svcd, codec);
                for (int32_t screen : {0, 1, 2}) {
                    SCOPED_TRACE(testing::Message() << "disc " << codec << " TV " << tvs[t] << " screen " << screen);
                    const int place = screen * 2 + alt;
                    pick(dvdScreen, screen);
                    record->reset();
                    VideoCodecRows::applyVideoCodecDvd(record, dvd, tv, dvdScreen, dvdTable);
                    EXPECT_EQ(dvdIds[t][place], record->outputId);
                    EXPECT_EQ(codec == 48 ? 1 : 0, record->twoPass);
                    if (screen == 0) {
                        continue;  // the SVCD list has no screen 0
                    }
                    pick(svcdScreen, screen);
                    record->reset();
                    VideoCodecRows::applyVideoCodecDvd(record, svcd, tv, svcdScreen, svcdTable);
                    EXPECT_EQ(svcdIds[t][place], record->outputId);
                }
            }
        }
        // The DV presets take their id from the TV system alone.
        int32_t dv50[4] = {};
        ASSERT_TRUE(TvSystemRows::dvIds(L"VC_Dv_Dv50", dv50));
        const int32_t expected[] = {10113, 10114, 10115, 10116};
        for (int t = 0; t < 4; ++t) {
            pick(tv, tvs[t]);
            record->reset();
            TvSystemRows::applyTvSystem(dialog_, tv, dv50);
            EXPECT_EQ(expected[t], record->outputId);
        }
    });
}

TEST_F(CodecRowsTest, AFreshStoreShowsEachDefaultAndNonChoicesAreUndoneUnstored) {
    struct Row {
        const wchar_t* name;
        std::function<s::gui::IComponent*(ComboBox**)> make;
        std::function<bool(ComboBox*)> save;
        const wchar_t* group;
        const wchar_t* key;
        int32_t fresh, choice, nonChoice;
    };
    const Row rows[] = {
        {L"divx", [&](ComboBox** l) { return VideoCodecRows::buildVideoCodecRowAviDivx(dialog_, l); },
         [&](ComboBox* l) { return VideoCodecRows::saveVideoCodec(dialog_, L"VC_Avi_Divx3_Mp3", l); },
         L"VC_Avi_Divx3_Mp3", L"VCodec", 62, 68, 0},
        {L"flv", [&](ComboBox** l) { return VideoCodecRows::buildVideoCodecRowFlv(dialog_, l); },
         [&](ComboBox* l) { return VideoCodecRows::saveVideoCodec(dialog_, L"VC_Flv_Flv_Mp3", l); },
         L"VC_Flv_Flv_Mp3", L"VCodec", 92, 92, 0},
        {L"vcd", [&](ComboBox** l) { return VideoCodecRows::buildVideoCodecRowVcd(dialog_, l); },
         [&](ComboBox* l) { return VideoCodecRows::saveVideoCodec(dialog_, L"VC_Mpg_Mpg_Mp2_Vcd", l); },
         L"VC_Mpg_Mpg_Mp2_Vcd", L"VCodec", 32, 36, 0},
        {L"wmv", [&](ComboBox** l) { return VideoCodecRows::buildVideoCodecRowWmv(dialog_, l); },
         [&](ComboBox* l) { return VideoCodecRows::saveVideoCodec(dialog_, L"VC_Wmv_Wmv1_Wma", l); },
         L"VC_Wmv_Wmv1_Wma", L"VCodec", 72, 82, 0},
        {L"mpg", [&](ComboBox** l) { return VideoCodecRows::buildVideoCodecRowMpg(dialog_, L"VC_Mpg_Mpg_Mp2", l); },
         [&](ComboBox* l) { return VideoCodecRows::saveVideoCodec(dialog_, L"VC_Mpg_Mpg_Mp2", l); },
         L"VC_Mpg_Mpg_Mp2", L"VCodec", 42, 48, 0},
        {L"mpeg4", [&](ComboBox** l) { return VideoCodecRows::buildVideoCodecRowMpeg4(dialog_, L"VC_3gp_Mpeg4_Aac", l); },
         [&](ComboBox* l) { return VideoCodecRows::saveVideoCodec(dialog_, L"VC_3gp_Mpeg4_Aac", l); },
         L"VC_3gp_Mpeg4_Aac", L"VCodec", 12, 18, 0},
        {L"tv", [&](ComboBox** l) { return TvSystemRows::buildTvSystemRow(dialog_, L"VC_Dv_Dv", l); },
         [&](ComboBox* l) { return TvSystemRows::saveTvSystem(dialog_, L"VC_Dv_Dv", l); },
         L"VC_Dv_Dv", L"VNtsc", 1, 12, 1000},
        {L"dvd screen", [&](ComboBox** l) { return TvSystemRows::buildScreenShapeRowDvd(dialog_, l); },
         [&](ComboBox* l) { return TvSystemRows::saveScreenShape(dialog_, L"VC_Mpg_Mpg_Ac3_Dvd", l); },
         L"VC_Mpg_Mpg_Ac3_Dvd", L"VScreen", 0, 1, 1000},
        {L"svcd screen", [&](ComboBox** l) { return TvSystemRows::buildScreenShapeRowSvcd(dialog_, l); },
         [&](ComboBox* l) { return TvSystemRows::saveScreenShape(dialog_, L"VC_Mpg_Mpg_Mp2_Svcd", l); },
         L"VC_Mpg_Mpg_Mp2_Svcd", L"VScreen", 2, 1, 1000},
        {L"avi audio", [&](ComboBox** l) { return AudioRows::buildAudioCodecChoiceRowAvi(dialog_, l); },
         [&](ComboBox* l) { return AudioRows::saveAudioCodecChoice(dialog_, l, nullptr); },
         L"VC_Avi_Mpeg4_Ac3", L"Codec", 2, 1, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ComboBox* list = nullptr;
        build([&] { return r.make(&list); });
        onUi([&] {
            EXPECT_EQ(r.fresh, selected(list));
            // Every title, rule or separator goes back to the entry before it.
            for (int32_t i = 0; i < list->getItemCount(); ++i) {
                const int32_t value = list->getItem(i)->value;
                if (value != r.nonChoice) {
                    continue;
                }
                pickIndex(list, i);
                EXPECT_TRUE(r.save(list));
                EXPECT_EQ(r.fresh, selected(list));
            }
            EXPECT_FALSE(has(r.group, r.key));
            pick(list, r.choice);
            EXPECT_TRUE(r.save(list));
            EXPECT_EQ(r.choice, stored(r.group, r.key));
        });
    }
    // The SWF audio box starts ticked and is stored like every other control.
    s::gui::win::CheckBox* audio = nullptr;
    build([&] { return AudioRows::buildAudioChoiceRowSwf(dialog_, &audio); });
    onUi([&] {
        EXPECT_TRUE(audio->isChecked());
        audio->setCheckedQuietly(false);
        EXPECT_TRUE(AudioRows::saveAudioChoice(dialog_, audio));
    });
    s::thread::ObjLocker::Guard guard(context_->storeLock());
    EXPECT_FALSE(context_->store()->getBool(groupOf(L"VC_Swf_Flv_Mp3").c_str(), L"Audio", true));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(CodecRowsTest, ExternalOnlyChoicesAreRefusedWithOneMessageAndNotRestoredWithoutTheProgram) {
    ComboBox *mp4 = nullptr, *flv = nullptr;
    build([&] { return VideoCodecRows::buildVideoCodecRowMpeg4(dialog_, L"VC_Mkv_Mpeg4_Aac", &mp4); });
    build([&] { return VideoCodecRows::buildVideoCodecRowFlv(dialog_, &flv); });
    for (int32_t value : {616, 618, 26, 28, 30, 31}) {
        SCOPED_TRACE(value);
        boxes().clear();
        onUi([&] {
            pick(mp4, 16);
            VideoCodecRows::saveVideoCodec(dialog_, L"VC_Mkv_Mpeg4_Aac", mp4);
            pick(mp4, value);
            VideoCodecRows::saveVideoCodec(dialog_, L"VC_Mkv_Mpeg4_Aac", mp4);
            EXPECT_EQ(16, selected(mp4));
        });
        EXPECT_EQ(1u, boxes().size());
        EXPECT_EQ(16, stored(L"VC_Mkv_Mpeg4_Aac", L"VCodec"));
    }
    // The pack holds no help address: nothing is opened.
    EXPECT_TRUE(opened().empty());

    // A stored external choice shows the default while no program is there, itself once one is.
    store(L"VC_Flv_Flv_Mp3", L"VCodec", 28);
    build([&] { return VideoCodecRows::buildVideoCodecRowFlv(dialog_, &flv); });
    onUi([&] { EXPECT_EQ(92, selected(flv)); });
    EXPECT_EQ(28, stored(L"VC_Flv_Flv_Mp3", L"VCodec"));
    installExternal();
    build([&] { return VideoCodecRows::buildVideoCodecRowFlv(dialog_, &flv); });
    onUi([&] {
        EXPECT_EQ(28, selected(flv));
        pick(flv, 26);
        VideoCodecRows::saveVideoCodec(dialog_, L"VC_Flv_Flv_Mp3", flv);
    });
    EXPECT_EQ(26, stored(L"VC_Flv_Flv_Mp3", L"VCodec"));
}

TEST_F(CodecRowsTest, SwitchingTheAviAudioCodecNeverDuplicatesOrLosesAChannelEntry) {
    ComboBox *codec = nullptr, *channels = nullptr;
    build([&] { return AudioRows::buildAudioCodecChoiceRowAvi(dialog_, &codec); });
    build([&] {
        return dialog_->buildListRow(s::sound::gui::dialogs::mp3conv::OptionRows::channelsStereo(), L"VC_Avi_Mpeg4_Ac3",
                                     &channels);
    });
    struct Recorder : s::gui::events::IEventListener {
        int changes = 0;
        void onEvent(s::base::IObject*, int32_t) override { ++changes; }
    } told;
    onUi([&] { channels->addSelectionListener(&told); });
    struct Step {
        int32_t codec;
        bool choose51;
        int32_t count, selectedChannels, told;
    } steps[] = {{1, true, 5, 6, 0}, {2, false, 4, 2, 1}, {1, true, 5, 6, 1}, {2, false, 4, 2, 2},
                 {1, false, 5, 2, 2}, {1, false, 5, 2, 2}, {2, false, 4, 2, 2}};
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "codec " << s.codec);
        onUi([&] {
            pick(codec, s.codec);
            AudioRows::saveAudioCodecChoice(dialog_, codec, channels);
            if (s.choose51) {
                ASSERT_EQ(2, indexOfValue(channels, 6));
                pick(channels, 6);
            }
            EXPECT_EQ(s.count, channels->getItemCount());
            int surround = 0, stereo = 0;
            for (int32_t i = 0; i < channels->getItemCount(); ++i) {
                surround += channels->getItem(i)->value == 6 ? 1 : 0;
                stereo += channels->getItem(i)->value == 2 ? 1 : 0;
            }
            EXPECT_EQ(s.codec == 1 ? 1 : 0, surround);
            EXPECT_EQ(1, stereo);
            EXPECT_EQ(s.selectedChannels, selected(channels));
            EXPECT_EQ(s.told, told.changes);
            // The native list shows what the object holds.
            EXPECT_EQ(channels->getItemCount(), channels->GetCount());
            EXPECT_EQ(channels->getSelectedIndex(), channels->GetCurSel());
        });
        EXPECT_EQ(s.codec, stored(L"VC_Avi_Mpeg4_Ac3", L"Codec"));
    }
}

} // namespace
