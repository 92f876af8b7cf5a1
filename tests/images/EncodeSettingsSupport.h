// What the encode-setting and option-box tests share: the four formats' settings, the
// group prefix they are bound under and a fresh store.
#pragma once
#include "CodecTestSupport.h"
#include "images/image/bmp/EncodeSetting.h"
#include "images/image/gif/EncodeSetting.h"
#include "images/image/jpg/EncodeSetting.h"
#include "images/image/png/EncodeSetting.h"
#include "system/xml/MappedData.h"

namespace bmp = s::image::bmp;
namespace gif = s::image::gif;
namespace jpg = s::image::jpg;
namespace png = s::image::png;

namespace settingstest {

constexpr wchar_t PREFIX[] = L"MainWindow\\Images";

} // namespace settingstest
