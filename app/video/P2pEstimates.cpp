#include "app/video/P2pEstimates.h"

#include <cstdio>

#include "core/str/strbuffer/StrBuffer.h"

namespace s::sound::gui::dialogs::mp3conv {

using str::strbuffer::StrBuffer;

namespace {

// The 480 class is 848 x 477 in the job (a 16:9 picture of even width), though the
// estimates name it 854 x 480.
constexpr P2pContentClass CLASSES[] = {
    {352, 1000000, 128, L"624 x 352  (352p)", 10000, 624, 352},
    {480, 1700000, 160, L"854 x 480  (480p)", 17000, 848, 477},
    {720, 3000000, 192, L"1280 x 720  (720p)", 30000, 1280, 720},
    {1080, 5300000, 320, L"1920 x 1080  (1080p)", 53000, 1920, 1080},
    {10352, 2500000, 192, L"624 x 352  (352p)", 25000, 624, 352},
    {10576, 7000000, 320, L"1024 x 576  (576p)", 70000, 1024, 576},
    {11080, 17400000, 320, L"1920 x 1080  (1080p)", 174000, 1920, 1080},
};
constexpr const wchar_t* BOOST_KEYS[] = {L"VQBoost352",   L"VQBoost480",   L"VQBoost720",  L"VQBoost1080",
                                         L"VQBoost10352", L"VQBoost10576", L"VQBoost11080"};
static_assert(sizeof(CLASSES) / sizeof(CLASSES[0]) == sizeof(BOOST_KEYS) / sizeof(BOOST_KEYS[0]));

const P2pContentClass& classOrFirst(int32_t code) {
    const P2pContentClass* c = p2pContentClass(code);
    return c != nullptr ? *c : CLASSES[0];
}

// "12,345" for 1000 and more; the rest padded to three digits after the comma.
void appendGrouped(StrBuffer* out, int64_t value) {
    wchar_t text[32];
    if (value >= 1000) {
        swprintf(text, 32, L"%lld,%03lld", static_cast<long long>(value / 1000), static_cast<long long>(value % 1000));
    } else {
        swprintf(text, 32, L"%lld", static_cast<long long>(value));
    }
    out->append(text);
}

} // namespace

const P2pContentClass* p2pContentClass(int32_t code) {
    for (const P2pContentClass& c : CLASSES) {
        if (c.code == code) {
            return &c;
        }
    }
    return nullptr;
}

const wchar_t* p2pBoostKey(int32_t code) {
    for (size_t i = 0; i < sizeof(CLASSES) / sizeof(CLASSES[0]); ++i) {
        if (CLASSES[i].code == code) {
            return BOOST_KEYS[i];
        }
    }
    return nullptr;
}

int64_t p2pVideoBitRate(int32_t code, int32_t boostPercent) {
    return classOrFirst(code).videoRate * static_cast<int64_t>(boostPercent) / 100000;
}

int64_t p2pAudioBitRate(int32_t code) {
    return classOrFirst(code).audioKbps;
}

float p2pMegabytesPerMinute(int32_t code, int32_t boostPercent) {
    const int64_t kbps = p2pVideoBitRate(code, boostPercent) + p2pAudioBitRate(code);
    return static_cast<float>(kbps * 60000) / 8388608.0f;
}

void formatKbpsLabel(int32_t code, int32_t boostPercent, StrBuffer* out) {
    out->clear();
    appendGrouped(out, p2pVideoBitRate(code, boostPercent));
    out->append(L" kbps");
}

void formatKbpsLabelAlt(int32_t code, StrBuffer* out) {
    out->clear();
    appendGrouped(out, p2pAudioBitRate(code));
    out->append(L" kbps");
}

void formatMegabytesOneDecimal(int32_t code, int32_t boostPercent, StrBuffer* out) {
    wchar_t text[64];
    swprintf(text, 64, L"%.1f MB", static_cast<double>(p2pMegabytesPerMinute(code, boostPercent)));
    out->clear();
    out->append(text);
}

void formatMegabytesGrouped(int32_t code, int32_t boostPercent, StrBuffer* out) {
    const float perHour = p2pMegabytesPerMinute(code, boostPercent) * 60.0f;
    out->clear();
    appendGrouped(out, static_cast<int64_t>(perHour));
    out->append(L" MB");
}

} // namespace s::sound::gui::dialogs::mp3conv
