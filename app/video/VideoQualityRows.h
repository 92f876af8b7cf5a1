#pragma once
#include <cstdint>

#include "app/video/RowParts.h"

namespace s::gui { class IComboBox; class IComponent; }

namespace s::video {

class VideoList;

// The video quality row of the preset panels ("VQuality"): an automatic quality, a
// reduction relative to the source, a target file size, a quality level or a bit rate,
// with two custom entries whose lines take a typed file size or bit rate. The typed
// numbers are checked and stored when a batch's settings are collected.
class VideoQualityRows : public RowParts {
public:
    static const VideoList& general();
    static const VideoList& h263();
    static const VideoList& theora();
    static const VideoList& dvd();
    static const VideoList& svcd();
    // The list a preset key's row shows (the general one for a key it does not know).
    static const VideoList& listOf(const wchar_t* key);

    // The rows with custom lines; each fills the list, its two lines and their fields.
    static gui::IComponent* buildVideoQualityRow(Dialog* dialog, const wchar_t* key, ComboBox** ref, Box** sizeLine,
                                                 TextField** sizeField, Box** rateLine, TextField** rateField);
    static gui::IComponent* buildVideoQualityRowH263(Dialog* dialog, const wchar_t* key, ComboBox** ref,
                                                     Box** sizeLine, TextField** sizeField, Box** rateLine,
                                                     TextField** rateField);
    static gui::IComponent* buildVideoQualityRowTheora(Dialog* dialog, const wchar_t* key, ComboBox** ref,
                                                       Box** sizeLine, TextField** sizeField, Box** rateLine,
                                                       TextField** rateField);
    static gui::IComponent* buildVideoQualityRowDvd(Dialog* dialog, ComboBox** ref);
    static gui::IComponent* buildVideoQualityRowSvcd(Dialog* dialog, ComboBox** ref);

    static bool saveVideoQualityWithCustom(Dialog* dialog, const wchar_t* key, ComboBox* list, Box* sizeLine,
                                           Box* rateLine);
    static bool saveVideoQuality(Dialog* dialog, const wchar_t* key, ComboBox* list);

    // The fields may be null (the DVD and SVCD lists have no custom entry).
    static void applyVideoQualityOrSize(Dialog* dialog, Setting* record, const wchar_t* key,
                                        const gui::IComboBox* list, const TextField* rateField,
                                        const TextField* sizeField);

private:
    static gui::IComponent* buildWithCustom(Dialog* dialog, const VideoList& rows, const wchar_t* key,
                                            const wchar_t* sizeText, int32_t sizeDefault, int32_t rateDefault,
                                            ComboBox** ref, Box** sizeLine, TextField** sizeField, Box** rateLine,
                                            TextField** rateField);
    static gui::IComponent* buildDisc(Dialog* dialog, const VideoList& rows, const wchar_t* key, bool svcd,
                                      ComboBox** ref);
};

} // namespace s::video
