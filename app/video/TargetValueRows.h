#pragma once
#include <cstdint>

#include "app/video/RowParts.h"

namespace s::gui { class IComboBox; class IComponent; }

namespace s::video {

class VideoList;

// The rows that set a target panel's goal: a file size in megabytes ("ByFileSize"), a
// bit rate in kbps ("ByBitRate"), either relative to the source ("ByFileSizeRelative",
// "ByBitRateRelative"), or for the picture-size targets an automatic quality, a level
// or a bit rate with a custom field ("ByImageSize", "ByImageSizeRelative"). Typed
// numbers are taken, checked and stored when a batch's settings are collected.
class TargetValueRows : public RowParts {
public:
    // Record codes: a file size is megabytes plus this; a relative size this base
    // minus the percent.
    static constexpr int32_t FILE_SIZE_BASE = CUSTOM_FILE_SIZE;
    static constexpr int32_t RELATIVE_SIZE_BASE = 2147483647;
    // What a field that holds no usable number falls back to.
    static constexpr int32_t FALLBACK_FILE_SIZE_MB = 10;
    static constexpr int32_t FALLBACK_BIT_RATE_KBPS = 300;
    // Values of the quality row.
    static constexpr int32_t QUALITY_AUTO = 105;
    static constexpr int32_t QUALITY_CUSTOM_BIT_RATE = CUSTOM_BIT_RATE;

    static const VideoList& relativeSize();
    static const VideoList& relativeBitRate();
    static const VideoList& qualityAuto();
    // The relative list of a panel key ("ByFileSizeRelative" or the bit-rate one).
    static const VideoList& relativeOf(const wchar_t* key);

    static gui::IComponent* buildFileSizeRow(Dialog* dialog, TextField** field);
    static gui::IComponent* buildBitRateRow(Dialog* dialog, TextField** field);
    static gui::IComponent* buildRelativeSizeRow(Dialog* dialog, ComboBox** ref);
    static gui::IComponent* buildRelativeBitRateRow(Dialog* dialog, ComboBox** ref);
    static gui::IComponent* buildQualityAutoRow(Dialog* dialog, const wchar_t* key, ComboBox** ref, Box** custom,
                                                TextField** field);

    static bool saveVideoQualityAuto(Dialog* dialog, const wchar_t* key, ComboBox* list, Box* custom);
    static bool saveVideoQualityRelative(Dialog* dialog, const wchar_t* key, ComboBox* list);

    static void applyVideoQualityBitRate(Dialog* dialog, Setting* record, const wchar_t* key,
                                         const gui::IComboBox* list, const TextField* field);
    static void applyByBitRate(Dialog* dialog, Setting* record, const TextField* field);
    static void applyByFileSize(Dialog* dialog, Setting* record, const TextField* field);
    // The relative list's choice (its default when it shows none), which the collection
    // writes into the record.
    static int32_t relativeChoice(const wchar_t* key, const gui::IComboBox* list);

private:
    static gui::IComponent* buildFieldRow(Dialog* dialog, const wchar_t* key, const wchar_t* valueKey,
                                          int32_t def, int32_t captionId, gui::IComponent* unit, TextField** field);
};

} // namespace s::video
