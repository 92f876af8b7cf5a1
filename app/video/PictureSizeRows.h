#pragma once
#include <cstdint>

#include "app/video/RowParts.h"

namespace s::gui { class IComboBox; class IComponent; }

namespace s::video {

class VideoList;

// The picture-size rows ("VSize"): the source's size, automatic (target panels), fixed
// sizes packed as (width << 16) + height, sizes relative to the source packed as
// 1073741824 + R (each side times R / 10000), and a custom entry whose width and height
// fields show only while it is chosen. A custom size needs two usable sides; otherwise
// the job keeps the source's size.
class PictureSizeRows : public RowParts {
public:
    static constexpr int32_t SOURCE = 0;
    static constexpr int32_t CUSTOM = 1;
    static constexpr int32_t AUTOMATIC = 2;
    static constexpr int32_t RELATIVE_BASE = 1073741824;

    static constexpr int32_t size(int32_t width, int32_t height) { return (width << 16) + height; }

    static const VideoList& preset();
    static const VideoList& target();
    static const VideoList& byImageSize();
    static const VideoList& relative();
    static const VideoList& android();
    // The list a panel key's row shows.
    static const VideoList& listOf(const wchar_t* key);

    static gui::IComponent* buildImageSizeRow(Dialog* dialog, const wchar_t* key, ComboBox** ref, Box** customLine,
                                              TextField** widthField, TextField** heightField);
    static gui::IComponent* buildImageSizeRowAndroid(Dialog* dialog, ComboBox** ref, Box** customLine,
                                                     TextField** widthField, TextField** heightField);
    static gui::IComponent* buildImageSizeRowTarget(Dialog* dialog, const wchar_t* key, ComboBox** ref,
                                                    Box** customBlock, TextField** widthField,
                                                    TextField** heightField);
    static gui::IComponent* buildImageSizeRowByImageSize(Dialog* dialog, ComboBox** ref, Box** outerBlock,
                                                         Box** customBlock, TextField** widthField,
                                                         TextField** heightField);
    static gui::IComponent* buildImageSizeRowRelative(Dialog* dialog, ComboBox** ref);

    static bool saveImageSize(Dialog* dialog, const wchar_t* key, ComboBox* list, Box* customLine);
    static bool saveImageSizeAuto(Dialog* dialog, const wchar_t* key, ComboBox* list, Box* customBlock);
    static bool saveImageSizeRelative(Dialog* dialog, ComboBox* list);

    static void applyImageSize(Dialog* dialog, Setting* record, const wchar_t* key, const gui::IComboBox* list,
                               const TextField* widthField, const TextField* heightField);
    static void applyImageSizeTarget(Dialog* dialog, Setting* record, const wchar_t* key, const gui::IComboBox* list,
                                     const TextField* widthField, const TextField* heightField);
    static void applyImageSizeRelative(Dialog* dialog, Setting* record, const gui::IComboBox* list);

private:
    static gui::IComponent* buildPresetRow(Dialog* dialog, const wchar_t* key, const VideoList& rows,
                                           int32_t widthDefault, int32_t heightDefault, ComboBox** ref,
                                           Box** customLine, TextField** widthField, TextField** heightField);
    static gui::IComponent* buildTargetRow(Dialog* dialog, const wchar_t* key, const VideoList& rows, bool byImageSize,
                                           ComboBox** ref, Box** outerBlock, Box** customBlock,
                                           TextField** widthField, TextField** heightField);
    static void apply(Dialog* dialog, Setting* record, const wchar_t* key, int32_t value, bool target,
                      const TextField* widthField, const TextField* heightField);
};

} // namespace s::video
