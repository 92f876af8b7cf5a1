#pragma once
#include <cstdint>
#include <vector>

namespace s::gui { class IComboBox; }
namespace s::lang { class Localizer; }

namespace s::sound::gui::dialogs::mp3conv {

// The fixed choices of one option row of the converter's panels (quality, sample rate,
// channels, bits per sample, volume) with the rules every row shares: which entries are
// real choices, what a stored value restores, what a change may store and what a
// batch applies. The rules read the entries' flags, so a header or separator row is
// never restored, stored or applied, whatever value it carries.
class OptionRows {
public:
    struct Entry {
        int32_t textId;       // 0: the literal below is the caption
        const wchar_t* text;  // literal caption
        int32_t value;
        int32_t listFlags;
        int32_t fieldFlags;
    };
    // The setting a row edits; also the dialog's index of its control references.
    enum Kind : int32_t { QUALITY = 0, SAMPLE_RATE, CHANNELS, BITS_PER_SAMPLE, VOLUME, KIND_COUNT };

    OptionRows(Kind kind, int32_t captionId, const wchar_t* key, int32_t defaultValue, std::vector<Entry> entries);

    Kind kind() const { return kind_; }
    int32_t captionId() const { return captionId_; }
    const wchar_t* key() const { return key_; }
    int32_t defaultValue() const { return default_; }
    const std::vector<Entry>& entries() const { return entries_; }

    // Whether entries with these flags can be chosen (not a header or a rule).
    static bool isChoice(int32_t listFlags, int32_t fieldFlags);

    // Adds the entries to list (captions with a text id through localizer).
    void fill(s::gui::IComboBox* list, lang::Localizer* localizer) const { fillList(list, localizer, entries_); }
    // The same for any entries (the video panels' lists keep their own).
    static void fillList(s::gui::IComboBox* list, lang::Localizer* localizer, const std::vector<Entry>& entries);
    // Selects, without notifying, the first choice equal to stored, else the default.
    void restore(s::gui::IComboBox* list, int32_t stored) const;
    // After the user picked an entry: true with *value when it may be stored; else the
    // previous entry comes back, quietly, and nothing is to be stored.
    bool acceptChoice(s::gui::IComboBox* list, int32_t* value) const;
    // The value a batch takes: the selected choice, else the default.
    int32_t chosenValue(const s::gui::IComboBox* list) const;

    // The lists of the panels.
    static const OptionRows& quality();
    static const OptionRows& qualityAmr();
    static const OptionRows& sampleRatePcm();
    static const OptionRows& sampleRateAac();
    static const OptionRows& sampleRateCommon();
    static const OptionRows& sampleRateFlac();
    static const OptionRows& sampleRateMp2();
    static const OptionRows& sampleRateWma();
    static const OptionRows& sampleRateYamaha();
    static const OptionRows& sampleRateFlv();
    static const OptionRows& sampleRateAc3();
    static const OptionRows& channelsSurround();
    static const OptionRows& channelsStereo();
    static const OptionRows& channelsRaw();
    static const OptionRows& bitsPerSampleBe();
    static const OptionRows& bitsPerSamplePcmBe();
    static const OptionRows& bitsPerSampleWav();
    static const OptionRows& bitsPerSamplePcmLe();
    static const OptionRows& volume();

private:
    int32_t defaultIndex() const;

    Kind kind_;
    int32_t captionId_;
    const wchar_t* key_;
    int32_t default_;
    std::vector<Entry> entries_;
};

} // namespace s::sound::gui::dialogs::mp3conv
