#pragma once
#include <cstdint>
#include <vector>

#include "app/sound/gui/dialogs/mp3conv/OptionRows.h"

namespace s::gui { class IComboBox; }
namespace s::lang { class Localizer; }

namespace s::video {

// The fixed entries of one list of the video panels with the rules its row follows.
// Headers, rules and separators carry the list's non-choice value, so the rules read
// values: a non-choice is never restored, stored or applied. A stored value that no
// entry carries restores (and applies) the list's default.
class VideoList {
public:
    typedef sound::gui::dialogs::mp3conv::OptionRows::Entry Entry;

    VideoList(const wchar_t* key, int32_t defaultValue, int32_t nonChoice, std::vector<Entry> entries);

    const wchar_t* key() const { return key_; }
    int32_t defaultValue() const { return default_; }
    int32_t nonChoice() const { return nonChoice_; }
    const std::vector<Entry>& entries() const { return entries_; }

    // Appends the entries to list (captions with a text id through localizer).
    void fill(gui::IComboBox* list, lang::Localizer* localizer) const {
        sound::gui::dialogs::mp3conv::OptionRows::fillList(list, localizer, entries_);
    }
    // Selects quietly the first entry carrying stored, else the default's.
    void restore(gui::IComboBox* list, int32_t stored) const;
    // After a pick: true with *value when it may be stored; else the entry before comes
    // back quietly.
    bool acceptChoice(gui::IComboBox* list, int32_t* value) const;
    // What a batch takes: the selected value, else the default.
    int32_t chosenValue(const gui::IComboBox* list) const;
    // The first index carrying value (never a non-choice); -1 when none does.
    int32_t indexOf(const gui::IComboBox* list, int32_t value) const;

private:
    const wchar_t* key_;
    int32_t default_;
    int32_t nonChoice_;
    std::vector<Entry> entries_;
};

} // namespace s::video
