#include "engine/sound/ffmpeg/AudioRules.h"

#include <cwchar>

#include "engine/sound/ffmpeg/Setting.h"

namespace s::sound::ffmpeg {

using gui::dialogs::mp3conv::Setting;

namespace {

enum Family { OTHER, AAC, AC3, YAMAHA, FLAC, ALAC, WMAV2, MP3, MP2, VORBIS, PCM_MULTI };

// A zero ends each list.
const int32_t RATES_FULL[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 0};
const int32_t RATES_YAMAHA[] = {8000, 11025, 22050, 0};
const int32_t RATES_FLAC[] = {8000, 16000, 22050, 24000, 32000, 44100, 48000, 0};
// The AAC list the M4A panel offers, then FLAC's high step: a lossless output keeps 96 kHz.
const int32_t RATES_ALAC[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 64000, 0};
const int32_t RATES_WMA[] = {8000, 11025, 16000, 22050, 0};
const int32_t RATES_MP2[] = {16000, 22050, 24000, 32000, 44100, 48000, 0};
// FFmpeg's AC-3 encoder takes these alone; a lower rate would fail the run.
const int32_t RATES_AC3[] = {32000, 44100, 48000, 0};

const int64_t LADDER_AAC[] = {64000, 96000, 128000, 160000, 192000, 224000,
                              256000, 288000, 320000, 384000, 512000, 0};
const int64_t LADDER_AC3[] = {8000,  10000,  12000,  14000,  16000,  20000,  24000,  28000,  32000,
                              64000, 96000, 128000, 160000, 192000, 224000, 256000, 320000, 0};
const int64_t LADDER_LOSSY[] = {32000, 64000, 96000, 128000, 160000, 192000, 224000, 256000, 320000, 0};

// Bit rates of the quality levels 1 to 9.
const int64_t LEVELS_AAC[9] = {64000, 96000, 160000, 224000, 256000, 288000, 320000, 384000, 512000};
const int64_t LEVELS_LOSSY[9] = {32000, 64000, 96000, 128000, 160000, 192000, 224000, 256000, 320000};

struct Rule {
    Family family;
    bool upToSix;            // more than 2 channels become 6; otherwise at most 2
    const int32_t* rates;    // null: the rate is kept
    int32_t rateAbove;       // the rate past the last listed one (0: the last one)
    const int64_t* ladder;   // null: not a lossy encoder of the similar-quality rules
};

struct Named {
    const wchar_t* name;
    Rule rule;
};

const Named RULES[] = {
    {L"aac", {AAC, true, RATES_FULL, 64000, LADDER_AAC}},
    {L"ac3", {AC3, true, RATES_AC3, 0, LADDER_AC3}},
    {L"adpcm_yamaha", {YAMAHA, false, RATES_YAMAHA, 44100, nullptr}},
    {L"flac", {FLAC, true, RATES_FLAC, 96000, nullptr}},
    {L"alac", {ALAC, true, RATES_ALAC, 96000, nullptr}},
    {L"wmav2", {WMAV2, false, RATES_WMA, 44100, LADDER_LOSSY}},
    {L"mp3", {MP3, false, RATES_FULL, 0, LADDER_LOSSY}},
    {L"libmp3lame", {MP3, false, RATES_FULL, 0, LADDER_LOSSY}},
    {L"mp2", {MP2, false, RATES_MP2, 0, LADDER_LOSSY}},
    {L"vorbis", {VORBIS, false, RATES_FULL, 0, LADDER_LOSSY}},
    {L"libvorbis", {VORBIS, false, RATES_FULL, 0, LADDER_LOSSY}},
};

const Rule OTHER_RULE = {OTHER, false, nullptr, 0, nullptr};
// Every PCM layout stores any channel count: 5.1 is kept whatever the sample depth.
const Rule PCM_RULE = {PCM_MULTI, true, nullptr, 0, nullptr};

const Rule& ruleFor(const wchar_t* encoder) {
    if (encoder != nullptr) {
        for (const Named& named : RULES) {
            if (wcscmp(named.name, encoder) == 0) {
                return named.rule;
            }
        }
        if (wcsncmp(encoder, L"pcm_", 4) == 0) {
            return PCM_RULE;
        }
    }
    return OTHER_RULE;
}

int32_t raiseRate(const Rule& rule, int32_t rate) {
    if (rule.rates == nullptr || rate <= 0) {
        return rate;
    }
    int32_t last = 0;
    for (const int32_t* r = rule.rates; *r != 0; ++r) {
        if (rate <= *r) {
            return *r;
        }
        last = *r;
    }
    return rule.rateAbove != 0 ? rule.rateAbove : last;
}

// The next step of the ladder at or above the value; the lowest for a non-positive
// value, the highest past the top.
int64_t raiseToLadder(const int64_t* ladder, int64_t value) {
    int64_t last = 0;
    for (const int64_t* step = ladder; *step != 0; ++step) {
        if (value <= *step) {
            return *step;
        }
        last = *step;
    }
    return last;
}

// 0 from 32000 Hz, 1 from 16000 Hz, else 2; MP2 has only the first two.
int rateClass(Family family, int32_t rate) {
    if (rate >= 32000) {
        return 0;
    }
    if (family == MP2 || rate >= 16000) {
        return 1;
    }
    return 2;
}

bool isHighPcmSource(int32_t codecId) {
    return (codecId >= AudioRules::CODEC_PCM_S16LE && codecId < AudioRules::CODEC_PCM_S8) ||
           (codecId >= AudioRules::CODEC_PCM_MULAW && codecId <= AudioRules::CODEC_PCM_LXF) ||
           codecId == AudioRules::CODEC_FLAC || codecId == AudioRules::CODEC_ALAC;
}

int64_t clampBitRate(int64_t value, int64_t low, int64_t high) {
    if (value < low) {
        return low;
    }
    return value > high ? high : value;
}

constexpr int64_t NO_LIMIT = INT64_MAX;

int64_t applyLimits(Family family, int rateClassOf, int32_t channels, int32_t rate, int64_t bitRate) {
    switch (family) {
    case AAC: {
        if (channels <= 0 || rate <= 0) {
            return bitRate;  // nothing known to scale the limits by
        }
        const double perChannel = static_cast<double>(channels) * rate * 6;
        return clampBitRate(bitRate, static_cast<int64_t>(perChannel * 0.1), static_cast<int64_t>(perChannel * 0.8));
    }
    case AC3:
        return clampBitRate(bitRate, 64000, NO_LIMIT);  // its rates are all of the top class
    case WMAV2:
    case MP3: {
        const int64_t low = family == WMAV2 ? 24000 : 32000;
        const int64_t high = rateClassOf == 1 ? 160000 : rateClassOf == 2 ? 64000 : NO_LIMIT;
        return clampBitRate(bitRate, low, high);
    }
    case MP2:
        return clampBitRate(bitRate, 32000, rateClassOf == 1 ? 160000 : NO_LIMIT);
    case VORBIS:
        if (channels <= 0 && rateClassOf != 2) {
            return bitRate;
        }
        if (rateClassOf == 0) {
            return clampBitRate(bitRate, 48000, static_cast<int64_t>(channels) * 160000);
        }
        if (rateClassOf == 1) {
            return clampBitRate(bitRate, 32000, static_cast<int64_t>(channels) * 96000);
        }
        return clampBitRate(bitRate, 16000, 64000);
    default:
        return bitRate;
    }
}

// The average bit rates per channel libvorbis 1.3.7 manages, by its rate bands: one
// range for a stereo pair and one for channels coded alone. A rate outside them fails
// the encoder's set-up, so the rules' choice is moved to the nearest end.
struct VorbisBand {
    int32_t lowestRate, highestRate;
    int64_t pairLow, pairHigh, aloneLow, aloneHigh;
};
const VorbisBand VORBIS_BANDS[] = {
    {8000, 8999, 6000, 32000, 8000, 42000},          {9000, 14999, 8000, 44000, 12000, 50000},
    {15000, 18999, 12000, 86000, 16000, 100000},     {19000, 25999, 15000, 86000, 16000, 90000},
    {26000, 39999, 18000, 190000, 30000, 190000},    {40000, 50000, 22500, 250001, 32000, 240001},
};

int64_t vorbisAccepted(int32_t channels, int32_t rate, int64_t bitRate) {
    if (channels <= 0 || channels > 2) {
        return bitRate;
    }
    for (const VorbisBand& band : VORBIS_BANDS) {
        if (rate >= band.lowestRate && rate <= band.highestRate) {
            const bool pair = channels == 2;
            return clampBitRate(bitRate, (pair ? band.pairLow : band.aloneLow) * channels,
                                (pair ? band.pairHigh : band.aloneHigh) * channels);
        }
    }
    return bitRate;
}

// The bit rate of quality level 1 to 9.
int64_t levelBitRate(Family family, int32_t level, int rateClassOf, int32_t channels, int32_t rate) {
    if (family == AAC) {
        float value = static_cast<float>(rate) / 44100.0f * static_cast<float>(LEVELS_AAC[level - 1]);
        if (channels == 6) {
            value *= 3.0f;
        }
        return static_cast<int64_t>(value);
    }
    int64_t value = LEVELS_LOSSY[level - 1];
    if (rateClassOf == 1) {
        value /= 2;
    } else if (rateClassOf == 2) {
        value /= 4;
    }
    if (family == AC3 && channels == 6) {
        value *= 3;
        value = value <= 256000 ? raiseToLadder(LADDER_AC3, value) : 320000;
    }
    return value;
}

} // namespace

void AudioRules::chooseAudioCodecOptions(const wchar_t* encoder, int32_t& channels, int32_t& sampleRate,
                                         int64_t& bitRate, int32_t& quality, int32_t sourceCodecId,
                                         int32_t sourceSampleRate, int32_t sourceChannels, int64_t sourceBitRate) {
    auto similar = [](int32_t code) {
        return code == Setting::QUALITY_SIMILAR || code == Setting::QUALITY_SOURCE_BIT_RATE;
    };
    // A lossless or wide PCM source has no meaningful bit rate to follow: take the best
    // level; 8-bit PCM is poor to begin with.
    if (similar(quality)) {
        if (isHighPcmSource(sourceCodecId)) {
            quality = 9;
        } else if (sourceCodecId == CODEC_PCM_S8 || sourceCodecId == CODEC_PCM_U8) {
            quality = 2;
        } else if (sourceBitRate <= 0) {
            quality = 6;
        }
    }

    const Rule& rule = ruleFor(encoder);
    if (channels > 2) {
        channels = rule.upToSix ? 6 : 2;
    }
    sampleRate = raiseRate(rule, sampleRate);
    const int rateClassOf = rateClass(rule.family, sampleRate);

    if (rule.ladder != nullptr && similar(quality)) {
        int64_t value = sourceBitRate;
        if (quality == Setting::QUALITY_SIMILAR) {
            if (sourceChannels > 2 && channels <= 2) {
                value = value < 192000 ? value / 2 : 192000;
            } else if (sourceChannels <= 2 && channels > 2) {
                value *= 3;
            }
            if (sourceSampleRate > 0) {
                value = static_cast<int64_t>(static_cast<float>(value) * static_cast<float>(sampleRate) /
                                             static_cast<float>(sourceSampleRate));
            }
        }
        bitRate = raiseToLadder(rule.ladder, value);
        quality = 0;
    }

    if (rule.ladder != nullptr && quality >= 1 && quality <= 9) {
        bitRate = levelBitRate(rule.family, quality, rateClassOf, channels, sampleRate);
    }
    if (bitRate > 0) {
        bitRate = applyLimits(rule.family, rateClassOf, channels, sampleRate, bitRate);
        if (rule.family == VORBIS) {
            bitRate = vorbisAccepted(channels, sampleRate, bitRate);
        }
    }
}

} // namespace s::sound::ffmpeg
