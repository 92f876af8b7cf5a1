#pragma once
#include <cstdint>

namespace s::str::strbuffer { class StrBuffer; }

namespace s::sound::gui::dialogs::mp3conv {

// The picture-size classes of the file-sharing AVI preset and what each makes of the
// job: the rates its size estimates show, and the picture size, audio bit rate and video
// bit-rate factor a batch takes. All rate arithmetic is signed 64-bit.
struct P2pContentClass {
    int32_t code;           // the "VContent" value
    int64_t videoRate;      // estimates: video bits per second at 100%
    int64_t audioKbps;      // estimates and job: audio rate
    const wchar_t* sizeText;
    int32_t factor;         // job: video bit rate = boost percent x factor
    int32_t width;
    int32_t height;
};

// The class of a code, or null for a code outside the table.
const P2pContentClass* p2pContentClass(int32_t code);
// The "VQBoost..." key of a class (null outside the table); a pointer to constant text.
const wchar_t* p2pBoostKey(int32_t code);

// Video rate in kbps: class rate x boost / 100000, truncated. A code outside the table
// counts as class 352.
int64_t p2pVideoBitRate(int32_t code, int32_t boostPercent);
// Audio rate in kbps (class 352's outside the table).
int64_t p2pAudioBitRate(int32_t code);
// (video + audio kbps) x 60000 bytes over 8388608: megabytes per minute.
float p2pMegabytesPerMinute(int32_t code, int32_t boostPercent);

// "1,700 kbps", "128 kbps".
void formatKbpsLabel(int32_t code, int32_t boostPercent, str::strbuffer::StrBuffer* out);
void formatKbpsLabelAlt(int32_t code, str::strbuffer::StrBuffer* out);
// "8.1 MB" per minute.
void formatMegabytesOneDecimal(int32_t code, int32_t boostPercent, str::strbuffer::StrBuffer* out);
// "1,005 MB", "484 MB" per hour.
void formatMegabytesGrouped(int32_t code, int32_t boostPercent, str::strbuffer::StrBuffer* out);

} // namespace s::sound::gui::dialogs::mp3conv
