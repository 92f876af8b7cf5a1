#include "engine/sound/ffmpeg/VideoRoad.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "core/str/strbuffer/StrBuffer.h"
#include "engine/sound/ffmpeg/CommandBuilder.h"
#include "engine/sound/ffmpeg/FormatTable.h"
#include "engine/sound/ffmpeg/VideoPresets.h"
#include "engine/sound/ffmpeg/Setting.h"
#include "engine/video/VideoInfo.h"
#include "system/system/win/CpuFacts.h"

namespace s::sound::ffmpeg {

using gui::dialogs::mp3conv::Setting;
using str::strbuffer::StrBuffer;
using video::StreamInfo;
using video::VideoInfo;

namespace {

std::atomic<uint32_t> processorCountSeam{0};

constexpr int32_t MAX_THREADS = 16;
constexpr int32_t RELATIVE_SIZE_WIDTH = 16384;
constexpr int32_t FILE_SIZE_CODE = 2137483647;       // + MiB
constexpr int32_t FILE_SHARE_CODE = 2147483547;      // + percent of the source file
constexpr int64_t MIN_BIT_RATE = 10000;
constexpr int64_t FALLBACK_BIT_RATE = 1000000;
constexpr int64_t MAX_BIT_RATE = 200000000;
constexpr int64_t MAX_PIXELS = 20971520;
constexpr double H264_GAIN = 1.33;
// Below this width/height ratio a VCD picture is pillarboxed, above it letterboxed.
constexpr double VCD_SHAPE = 1.339421613394216;
constexpr double WIDE_4_3_LIMIT = 1.5555555555555554;
constexpr size_t FILTER_CHAIN_LIMIT = 255;

int64_t nearest(double x) {
    return static_cast<int64_t>(std::llround(x));
}

int32_t nearest32(double x) {
    return static_cast<int32_t>(std::llround(x));
}

// Bits per second per pixel at a picture size, linear between the points.
struct CurvePoint {
    double pixels, value;
};
const CurvePoint CURVE_A[] = {{219648, 6.8291}, {409920, 6.2207}, {921600, 4.8828}, {2073600, 3.8339}};
const CurvePoint CURVE_B[] = {{219648, 4.5527}, {409920, 4.14715}, {921600, 3.2552}, {2073600, 2.55594}};

double curveAt(const CurvePoint (&curve)[4], double pixels) {
    if (pixels <= curve[0].pixels) {
        return curve[0].value;
    }
    for (int i = 1; i < 4; ++i) {
        if (pixels <= curve[i].pixels) {
            const double t = (pixels - curve[i - 1].pixels) / (curve[i].pixels - curve[i - 1].pixels);
            return curve[i - 1].value + (curve[i].value - curve[i - 1].value) * t;
        }
    }
    return curve[3].value;
}

// A filter chain of at most 255 characters; each filter is joined with a comma.
struct FilterChain {
    char text[FILTER_CHAIN_LIMIT + 1] = {0};

    void add(const char* filter) {
        const size_t used = std::strlen(text);
        std::snprintf(text + used, sizeof(text) - used, "%s%s", used != 0 ? "," : "", filter);
    }
    bool empty() const { return text[0] == 0; }
};

// What one video command is made from: the record's values as the steps change them,
// and the source's facts.
struct Picture {
    // Record values, rewritten by the steps.
    int32_t width = 0, height = 0;        // W, H
    int32_t frameRate = 0;                // F, thousandths
    double resize = 0;                    // R
    int32_t autoQuality = 0;              // Q
    int64_t bitRate = 0;
    bool autoSize = false;
    bool audioShare = false;
    int32_t sharpen = 0;
    bool fileSizeTarget = false;
    FilterChain filters;

    // Source facts.
    int32_t sourceWidth = 0, sourceHeight = 0;
    int32_t displayWidth = 0, displayHeight = 0;  // DW, DH
    int64_t sourceBitRate = 0;                    // S
    int64_t firstVideoBitRate = 0;
    int64_t durationMs = 0;
    int64_t fileSize = 0;
    int64_t rateNum = 0, rateDen = 0;
    bool sourceIsH264 = false;

    // Encoder facts.
    bool isX264 = false, isXvid = false, isRv10 = false;

    // Sets the size; a change marks the picture as resized.
    void resizeTo(int32_t w, int32_t h) {
        if (w != width || h != height) {
            resize = 1.0;
        }
        width = w;
        height = h;
    }
};

bool isOdd(int32_t v) {
    return (v & 1) != 0;
}

bool isAutomaticQuality(int32_t q) {
    return q == 100 || q == 101 || q == 104 || q == 105 || q == 106 || (q >= 201 && q <= 400) ||
           (q >= 601 && q <= 800) || q > FILE_SIZE_CODE;
}

void fillPicture(Picture& p, const Setting* setting, const VideoInfo* info, const wchar_t* codec,
                 const VideoPresets::Flags& flags) {
    const StreamInfo* video = info != nullptr ? info->firstStreamOfType(StreamInfo::TYPE_VIDEO) : nullptr;
    const StreamInfo* audio = info != nullptr ? info->firstStreamOfType(StreamInfo::TYPE_AUDIO) : nullptr;
    if (video != nullptr) {
        p.rateNum = video->realFrameRateNum;
        p.rateDen = video->realFrameRateDen;
        if (p.rateNum <= 0) {
            p.rateNum = video->avgFrameRateNum;
            p.rateDen = video->avgFrameRateDen;
        }
        p.sourceIsH264 = _wcsicmp(video->codecName.c_str(), L"h264") == 0;
        p.firstVideoBitRate = video->bitRate > 0 ? video->bitRate : 0;
    }
    if (info != nullptr) {
        p.sourceWidth = info->width;
        p.sourceHeight = info->height;
        p.durationMs = info->duration / 1000;
        p.fileSize = info->fileSize;
    }

    if (setting->frameRate > 0) {
        p.frameRate = setting->frameRate;
    } else if (p.rateNum > 0) {
        const int64_t den = p.rateDen > 1 ? p.rateDen : 1;
        if (den == 1001 && (p.rateNum == 60000 || p.rateNum == 30000 || p.rateNum == 24000)) {
            p.frameRate = p.rateNum == 60000 ? 59940 : p.rateNum == 30000 ? 29970 : 23976;
        } else {
            p.frameRate = static_cast<int32_t>(p.rateNum * 1000 / den);
        }
    }
    if (flags.frameRateCap && p.frameRate > 30000) {
        p.frameRate = 29970;
    }

    const bool recordSize = setting->width > 0 && setting->height > 0;
    p.width = recordSize ? setting->width : p.sourceWidth;
    p.height = recordSize ? setting->height : p.sourceHeight;
    if (setting->presetPictureSize != 0) {
        p.resize = 0;
    } else if (recordSize) {
        p.resize = setting->width == RELATIVE_SIZE_WIDTH ? setting->height / 10000.0 : 1.0;
    } else {
        p.resize = setting->autoPictureSize != 0 ? 1.0 : 0;
    }

    p.displayWidth = p.sourceWidth;
    p.displayHeight = p.sourceHeight;
    if (video != nullptr && video->sampleAspectNum > 0 && video->sampleAspectDen > 0 &&
        video->sampleAspectNum != video->sampleAspectDen) {
        if (video->sampleAspectDen < video->sampleAspectNum) {
            p.displayWidth = static_cast<int32_t>(static_cast<int64_t>(p.sourceWidth) * video->sampleAspectNum /
                                                  video->sampleAspectDen);
        } else {
            p.displayHeight = static_cast<int32_t>(static_cast<int64_t>(p.sourceHeight) * video->sampleAspectDen /
                                                   video->sampleAspectNum);
        }
    }

    // The picture's share of the file's rate, when the file has just one more stream.
    const int64_t audioRate = audio != nullptr ? audio->bitRate : 0;
    int64_t whole = 0;
    if (info != nullptr && p.durationMs > 0 && info->fileSize > 0) {
        whole = static_cast<int64_t>(static_cast<double>(info->fileSize) * 8 / (p.durationMs / 1000.0));
    }
    if (whole != 0 && audioRate > 0 && info->streamCount() == 2 && whole - audioRate > 0) {
        p.sourceBitRate = whole - audioRate;
    } else {
        p.sourceBitRate = p.firstVideoBitRate != 0 ? p.firstVideoBitRate : whole;
    }

    p.autoQuality = setting->videoQuality >= 100 ? setting->videoQuality : 0;
    p.bitRate = setting->videoBitRate;
    p.autoSize = setting->autoPictureSize != 0;
    p.audioShare = setting->targetMode != 0;
    p.sharpen = setting->reserved;
    p.isX264 = wcscmp(codec, L"libx264") == 0;
    p.isXvid = wcscmp(codec, L"libxvid") == 0;
    p.isRv10 = wcscmp(codec, L"rv10") == 0;
}

bool isPal(const Picture& p, VideoPresets::TvSystem tv) {
    if (tv == VideoPresets::TV_PAL) {
        return true;
    }
    if (tv == VideoPresets::TV_NTSC) {
        return false;
    }
    const int64_t rate = p.rateDen > 0 ? p.rateNum * 1000 / p.rateDen : 0;
    if (rate == 25000) {
        return true;
    }
    if (rate == 23976 || rate == 29970) {
        return false;
    }
    return tv != VideoPresets::TV_PREFER_NTSC;
}

// Bars that fit the picture into a disc frame: the picture is scaled to what the bars
// leave, then padded to the frame, whose size stays the output size.
void addLetterbox(Picture& p, int32_t frameWidth, int32_t bars) {
    char filter[96];
    std::snprintf(filter, sizeof(filter), "scale=%d:%d,pad=%d:%d:0:%d", frameWidth, p.height - 2 * bars, frameWidth,
                  p.height, bars / 2 * 2);
    p.filters.add(filter);
}

void addPillarbox(Picture& p, int32_t frameWidth, int32_t bars) {
    char filter[96];
    std::snprintf(filter, sizeof(filter), "scale=%d:%d,pad=%d:%d:%d:0", frameWidth - 2 * bars, p.height, frameWidth,
                  p.height, bars / 2 * 2);
    p.filters.add(filter);
}

void appendThreads(StrBuffer* command, int32_t count) {
    command->append(L" -threads ")->appendInt32(count);
}

void appendExtraEffort(StrBuffer* command) {
    command->append(L" -trellis 2 -mbd 2 -cmp 2 -subcmp 2");
}

int32_t encoderThreads() {
    uint32_t processors = processorCountSeam.load();
    if (processors == 0) {
        processors = system::win::CpuFacts::processorCount();
    }
    const int32_t count = nearest32(processors * 1.5);
    return count < MAX_THREADS ? count : MAX_THREADS;
}

// The codec option and the encoder's settings.
void appendVideoCodecOptions(StrBuffer* command, const wchar_t* codec, const VideoPresets::Flags& flags,
                             int32_t pass, double* passWeight, bool copyVideo) {
    if (copyVideo) {
        command->append(L" -vcodec copy");
    } else {
        command->append(L" -vcodec ")->append(codec);
    }
    const bool encode = !copyVideo;
    if (wcscmp(codec, L"h263") == 0 || wcscmp(codec, L"h263p") == 0 || wcscmp(codec, L"flv") == 0 ||
        wcscmp(codec, L"libvpx") == 0) {
        appendThreads(command, 1);
    } else if (wcscmp(codec, L"libx264") == 0) {
        appendThreads(command, 0);
        if (encode) {
            command->append(L" -preset medium");
            if (!flags.shortGop) {
                command->append(L" -g 250 -bf 3");
            }
        }
        if (pass == 1 || pass == 2) {
            *passWeight = 0.33;
        }
    } else if (wcscmp(codec, L"mpeg4") == 0) {
        appendThreads(command, encoderThreads());
        // The tag goes with copies too; pass 1 writes no file to tag.
        if (flags.divx5Tag && pass != 1) {
            command->append(L" -vtag DX50");
        }
        if (encode) {
            command->append(flags.divx5Tag || flags.shortGop ? L" -g 15" : L" -g 300");
            if (flags.extraEffort) {
                command->append(L" -flags +mv4+aic");
                appendExtraEffort(command);
            }
        }
        *passWeight = 0.5;
    } else if (wcscmp(codec, L"libxvid") == 0) {
        appendThreads(command, encoderThreads());
        if (encode) {
            command->append(flags.shortGop ? L" -g 15" : L" -bf 2 -g 300");
        }
        *passWeight = 0.33;
    } else if (wcscmp(codec, L"wmv1") == 0 || wcscmp(codec, L"wmv2") == 0 || wcscmp(codec, L"rv10") == 0) {
        appendThreads(command, 1);
        if (encode && flags.extraEffort) {
            appendExtraEffort(command);
        }
        *passWeight = 0.5;
    } else if (wcscmp(codec, L"mpeg1video") == 0 || wcscmp(codec, L"mpeg2video") == 0) {
        appendThreads(command, encoderThreads());
        if (encode && flags.extraEffort) {
            appendExtraEffort(command);
            if (!flags.shortGop) {
                command->append(L" -g 100");
            }
        }
        *passWeight = 0.5;
    } else if (wcscmp(codec, L"msmpeg4v2") == 0) {
        appendThreads(command, 1);
        if (encode && flags.extraEffort) {
            appendExtraEffort(command);
        }
    } else if (wcscmp(codec, L"libtheora") == 0) {
        appendThreads(command, encoderThreads());
    }
}

// The bit rate a DVD or SVCD code asks for, from the disc's maximum.
int64_t shareOfMaximum(int32_t q, int64_t maximum) {
    return nearest((q - 800) / 100.0 * maximum);
}

// The disc-target options; W and H become the disc's frame.
void appendTargetOptions(StrBuffer* command, const wchar_t* target, int32_t pass, const VideoPresets::Flags& flags,
                         Picture& p, double* passWeight, bool copyVideo) {
    const bool pal = isPal(p, flags.tvSystem);
    command->append(L" -target ")->append(pal ? L"pal-" : L"ntsc-")->append(target);
    if (wcscmp(target, L"dv") == 0 || wcscmp(target, L"dv50") == 0) {
        p.width = 720;
        p.height = pal ? 576 : 480;
        return;
    }
    const bool vcd = wcscmp(target, L"vcd") == 0;
    const bool svcd = wcscmp(target, L"svcd") == 0;
    appendVideoCodecOptions(command, vcd ? L"mpeg1video" : L"mpeg2video", flags, pass, passWeight, copyVideo);
    p.width = vcd ? 352 : svcd ? 480 : 720;
    p.height = pal ? (vcd ? 288 : 576) : (vcd ? 240 : 480);
    command->append(pal ? L" -g 15" : L" -g 18");

    const bool shaped = p.sourceWidth > 0 && p.sourceHeight > 0 && p.displayWidth > 0 && p.displayHeight > 0;
    const double w = p.displayWidth, h = p.displayHeight;
    const double r = shaped ? w / h : 0;
    const int32_t k1 = pal ? 768 : 640;
    const int32_t k2 = pal ? 1024 : 854;
    const int32_t q = p.autoQuality;

    if (vcd) {
        if (shaped && r > VCD_SHAPE) {
            const int32_t bars = nearest32((p.height - 352 * h / w) * 0.5);
            if (bars > 0) {
                addLetterbox(p, 352, bars);
            }
        } else if (shaped && r < VCD_SHAPE) {
            const int32_t bars = nearest32((352 - (pal ? 288 : 263) * w / h) * 0.5);
            if (bars > 0) {
                addPillarbox(p, 352, bars);
            }
        }
        command->append(L" -aspect 4:3 -ab 224000");
        return;
    }

    if (svcd) {
        int64_t rate = 2040000;
        if (q >= 801 && q <= 900) {
            rate = shareOfMaximum(q, 2040000);
            p.autoQuality = 0;
        } else if (q > FILE_SIZE_CODE) {
            if (p.durationMs > 0) {
                const double bits = static_cast<double>(q - FILE_SIZE_CODE) * 8388608.0;
                rate = static_cast<int64_t>(std::floor(std::floor(bits / p.durationMs * 1000 - 224000) * 0.95));
                rate = rate < MIN_BIT_RATE ? MIN_BIT_RATE : rate > 2040000 ? 2040000 : rate;
            }
            p.autoQuality = 0;
        }
        command->append(L" -b:v ")->appendInt64(rate);
        if (shaped && flags.aspectKind != VideoPresets::ASPECT_AUTO) {
            const int32_t k = flags.aspectKind == VideoPresets::ASPECT_4_3 ? k1 : k2;
            const double shape = flags.aspectKind == VideoPresets::ASPECT_4_3 ? 4.0 / 3.0 : 16.0 / 9.0;
            if (r > shape) {
                const int32_t bars = nearest32((p.height - k * h / w) * 0.5);
                if (bars > 0) {
                    addLetterbox(p, 480, bars);
                }
            } else if (r < shape) {
                const int32_t bars = nearest32((480 - p.height * w / h * 480 / k) * 0.5);
                if (bars > 0) {
                    addPillarbox(p, 480, bars);
                }
            }
            command->append(flags.aspectKind == VideoPresets::ASPECT_4_3 ? L" -aspect 4:3" : L" -aspect 16:9");
        }
        command->append(L" -ab 224000");
        return;
    }

    // DVD
    const int64_t maximum = 6000000;
    if (q == 100 || q == 101 || (q >= 201 && q <= 400) || (q >= 601 && q <= 800)) {
        int64_t rate = 0;
        const int64_t b = p.sourceBitRate;
        if (p.sourceWidth != 0 && p.sourceHeight != 0 && p.width != 0 && p.height != 0 && b > MIN_BIT_RATE) {
            double value;
            if (q == 101) {
                value = static_cast<double>(b);
            } else if (q >= 601) {
                value = b * (q - 600) / 100.0;
            } else {
                value = static_cast<double>(b) * (static_cast<double>(p.width) * p.height) /
                        (static_cast<double>(p.sourceWidth) * p.sourceHeight);
                if (q >= 201) {
                    value *= (q - 200) / 100.0;
                }
            }
            rate = static_cast<int64_t>(value);
            rate = rate > maximum ? maximum : rate;
        }
        command->append(L" -b:v ")->appendInt64(rate < MIN_BIT_RATE ? maximum : rate);
        p.autoQuality = 0;
    } else if (q >= 801 && q <= 900) {
        command->append(L" -b:v ")->appendInt64(shareOfMaximum(q, maximum));
        p.autoQuality = 0;
    } else {
        command->append(L" -b:v 6000000");
    }
    if (shaped) {
        const double wide = 16.0 / 9.0, tv = 4.0 / 3.0;
        enum { NONE, LB_WIDE, PB_WIDE, LB_TV, PB_TV, ONLY_WIDE, ONLY_TV } shape = NONE;
        if (flags.aspectKind == VideoPresets::ASPECT_16_9) {
            shape = r > wide ? LB_WIDE : r == wide ? ONLY_WIDE : PB_WIDE;
        } else if (flags.aspectKind == VideoPresets::ASPECT_4_3 && r > tv) {
            shape = LB_TV;
        } else if (r > wide) {
            shape = LB_WIDE;
        } else if (r == wide) {
            shape = ONLY_WIDE;
        } else if (r > WIDE_4_3_LIMIT) {
            shape = PB_WIDE;
        } else if (r > tv) {
            shape = LB_TV;
        } else if (r == tv) {
            shape = ONLY_TV;
        } else {
            shape = PB_TV;
        }
        int32_t bars = 0;
        switch (shape) {
        case LB_WIDE:
            bars = nearest32((p.height - k2 * h / w) * 0.5);
            break;
        case PB_WIDE:
            bars = nearest32((720 - p.height * w / h * 720 / k2) * 0.5);
            break;
        case LB_TV:
            bars = nearest32((p.height - k1 * h / w) * 0.5);
            break;
        case PB_TV:
            bars = nearest32((720 - 540 * w / h) * 0.5);
            break;
        default:
            break;
        }
        if (bars > 0) {
            if (shape == LB_WIDE || shape == LB_TV) {
                addLetterbox(p, 720, bars);
            } else {
                addPillarbox(p, 720, bars);
            }
        }
        const bool wideFrame = shape == LB_WIDE || shape == PB_WIDE || shape == ONLY_WIDE;
        command->append(wideFrame ? L" -aspect 16:9" : L" -aspect 4:3");
    }
    command->append(L" -ab 448000");
}

// The size fitted, aligned and chosen, the bit rate of an automatic quality, and the
// filters that go with them.
void buildVideoFilters(Picture& p) {
    const int32_t dw = p.displayWidth, dh = p.displayHeight;
    if (!p.autoSize) {
        const bool resizedAtStart = p.resize != 0;
        if (p.resize == 1.0 && (p.width != dw || p.height != dh) && p.width > 0 && p.height > 0 && dw > 0 &&
            dh > 0) {
            if (static_cast<double>(p.width) / p.height <= static_cast<double>(dw) / dh) {
                const double exact = static_cast<double>(p.width) * dh / dw;
                p.height = nearest32(exact);
                if (isOdd(p.height)) {
                    p.width += p.height <= exact ? 1 : -1;
                }
            } else {
                const double exact = static_cast<double>(p.height) * dw / dh;
                p.width = nearest32(exact);
                if (isOdd(p.width) && (p.isX264 || p.isXvid)) {
                    p.width += p.width <= exact ? 1 : -1;
                }
            }
        } else if (p.resize != 0 && p.resize != 1.0) {
            p.width = nearest32(dw * p.resize);
            p.height = nearest32(dh * p.resize);
        }
        p.resize = 0;

        if (p.isX264 || p.isXvid) {
            p.width += isOdd(p.width) ? 1 : 0;
            p.height += isOdd(p.height) ? 1 : 0;
        } else if (p.isRv10 && p.width > 0 && p.height > 0) {
            // The RealVideo encoder takes only multiples of 16; a picture below 16 lines
            // keeps 16 rather than vanishing.
            if (p.height % 16 != 0) {
                const int32_t old = p.height;
                p.height = p.height >= 16 ? p.height / 16 * 16 : 16;
                p.width = nearest32(static_cast<double>(p.width) * p.height / old);
            }
            const int32_t rest = p.width % 16;
            p.width = rest < 8 ? p.width - rest : p.width + 16 - rest;
            if (p.width == 0) {
                p.width = 16;
            }
        }
        if (static_cast<int64_t>(p.width) * p.height >= MAX_PIXELS) {
            p.width = 5120;
            p.height = 4096;
        }
        if (resizedAtStart) {
            p.filters.add("setsar=1");
        }
    }

    if (p.sharpen != 0) {
        char filter[64];
        std::snprintf(filter, sizeof(filter), "scale=%d:-1,unsharp=3:3:0.3", 1280);
        p.filters.add(filter);
        p.sharpen = 0;
    }

    const int32_t q = p.autoQuality;
    if (isAutomaticQuality(q)) {
        const int64_t b = p.sourceBitRate;
        double rate = FALLBACK_BIT_RATE;
        if (p.sourceWidth != 0 && p.sourceHeight != 0 && p.width != 0 && p.height != 0 && b > MIN_BIT_RATE) {
            const double x = static_cast<double>(dw) * dh;
            const double t = static_cast<double>(p.width) * p.height;
            const double gain = p.sourceIsH264 && !p.isX264 ? H264_GAIN : 1.0;
            const double s = x > 0 ? b / x : 0;
            if (q == 101) {
                rate = static_cast<double>(b);
            } else if (q == 104) {
                if (t <= x) {
                    rate = b * gain;
                } else {
                    const double c = curveAt(CURVE_A, t);
                    const double sg = s * gain;
                    const double v = c > sg ? sg + (c - sg) * ((t / x < 2 ? t / x : 2) - 1) : sg;
                    rate = t * v < t * 3 * c ? t * v : t * 3 * c;
                }
            } else if (q == 105) {
                const double quotient = s * gain / curveAt(CURVE_B, x);
                const double f = quotient > 1 ? quotient : 1;
                const double c = curveAt(CURVE_B, t);
                rate = t * c * f < t * 3.3 * c ? t * c * f : t * 3.3 * c;
            } else if (q == 106) {
                const double c = curveAt(CURVE_B, t);
                const double ratio = t > x ? t / x : x / t;
                const double v = c < s ? s + (c - s) * ((ratio < 2 ? ratio : 2) - 1) : s;
                rate = t * v < t * 8.3912 ? t * v : t * 8.3912;
            } else if (q >= 601 && q <= 800) {
                rate = b * (q - 600) / 100.0;
            } else if (q == 100 || (q >= 201 && q <= 400)) {
                rate = b * t / (static_cast<double>(p.sourceWidth) * p.sourceHeight) * gain;
                if (q >= 201) {
                    rate *= (q - 200) / 100.0;
                }
            } else if (q > FILE_SIZE_CODE) {
                if (p.durationMs <= 0) {
                    rate = static_cast<double>(p.firstVideoBitRate);
                } else {
                    const double bits = q < FILE_SHARE_CODE + 1 ? static_cast<double>(q - FILE_SIZE_CODE) * 8388608.0
                                                                : (q - FILE_SHARE_CODE) / 100.0 * p.fileSize * 8;
                    rate = std::floor(std::floor(bits / p.durationMs * 1000) * 0.95);
                    rate = rate < MIN_BIT_RATE ? MIN_BIT_RATE : rate;
                    p.fileSizeTarget = true;
                }
            }
        }
        int64_t chosen = static_cast<int64_t>(rate);
        chosen = chosen < MIN_BIT_RATE ? FALLBACK_BIT_RATE : chosen > MAX_BIT_RATE ? MAX_BIT_RATE : chosen;
        p.bitRate = chosen;
        p.autoQuality = 0;
    }

    if (p.autoSize && p.bitRate > 0) {
        p.resizeTo(dw, dh);
        int64_t y = p.bitRate;
        if (p.audioShare) {
            y -= y <= 220000 ? 32000 : y <= 500000 ? 64000 : y <= 750000 ? 96000 : y <= 1350000 ? 128000 : 320000;
        }
        const int64_t s = p.sourceBitRate;
        if (s > 0 && y < s) {
            double f = std::sqrt(static_cast<double>(y) / s);
            p.resizeTo(nearest32(p.width * f), nearest32(p.height * f));
            const int64_t area = static_cast<int64_t>(p.width) * p.height;
            if (area > 0 && static_cast<int64_t>(dw) * dh > 0 && static_cast<double>(y) / area > 9) {
                f = std::sqrt(static_cast<double>(y) / area / 9);
                p.resizeTo(nearest32(p.width * f), nearest32(p.height * f));
                if (static_cast<int64_t>(p.width) * p.height >= static_cast<int64_t>(dw) * dh) {
                    p.resizeTo(dw, dh);
                }
            }
            if (p.height < 145) {
                p.resizeTo(176, 144);
                p.frameRate = 15000;
            } else {
                if (p.frameRate > 30000) {
                    p.frameRate = 29970;
                }
                if (y >= 17400001 && p.height <= 1080) {
                    p.resizeTo(1920, 1080);
                } else if (y >= 7000001 && y <= 17400000 && p.height <= 576) {
                    p.resizeTo(1024, 576);
                } else if (y >= 2500001 && y <= 7000000 && p.height <= 352) {
                    p.resizeTo(624, 352);
                }
                const int64_t pixels = static_cast<int64_t>(p.width) * p.height;
                if (y <= 500000 && pixels > 153600) {
                    p.resizeTo(480, 320);
                } else if (y <= 750000 && pixels > 219648) {
                    p.resizeTo(624, 352);
                } else if (y <= 1300000 && pixels > 409920) {
                    p.resizeTo(854, 480);
                } else if (y <= 2400000 && pixels > 921600) {
                    p.resizeTo(1280, 720);
                } else if (y <= 4200000 && pixels > 2073600) {
                    p.resizeTo(1920, 1080);
                }
                if (dh < p.height) {
                    p.resizeTo(dw, dh);
                }
            }
        }
    }
    p.autoSize = false;
}

// Quality or bit rate, and the frame rate.
void appendRateOptions(StrBuffer* command, const wchar_t* codec, int32_t quality, Picture& p) {
    static const int32_t CRF[9] = {33, 28, 26, 24, 22, 20, 17, 12, 8};
    static const int32_t QSCALE[9] = {31, 16, 11, 9, 7, 5, 4, 3, 1};
    if (quality >= 1 && quality <= 9) {
        if (wcscmp(codec, L"libx264") == 0) {
            command->append(L" -crf ")->appendInt32(CRF[quality - 1]);
        } else {
            command->append(L" -qscale ")->appendInt32(QSCALE[quality - 1]);
        }
    } else if ((quality < 10 || quality > 99) && p.bitRate > 0) {
        command->append(L" -b:v ")->appendInt64(p.bitRate);
    }
    if (p.frameRate > 0) {
        const int32_t f = p.frameRate > 60000 ? 60000 : p.frameRate;
        if (f == 59940) {
            command->append(L" -r 60000/1001");
        } else if (f == 29970) {
            command->append(L" -r 30000/1001");
        } else if (f == 23976) {
            command->append(L" -r 24000/1001");
        } else if (f / 1000 == 0) {
            // Below one frame a second: the NTSC rate rather than none.
            command->append(L" -r 30000/1001");
        } else {
            command->append(L" -r ")->appendInt32(f / 1000);
        }
    }
}

void appendSizeAndFilters(StrBuffer* command, const Picture& p) {
    if (p.width > 0 && p.height > 0) {
        command->append(L" -s ")->appendInt32(p.width + (isOdd(p.width) ? 1 : 0));
        command->appendChar(L'x')->appendInt32(p.height + (isOdd(p.height) ? 1 : 0));
    }
    if (!p.filters.empty()) {
        command->append(L" -vf \"")->fromUtf8(p.filters.text, true, -1)->appendChar(L'"');
    }
}

// The preset of the job: a same-as-source id the job loop did not resolve is taken as
// the source's own kind here.
const wchar_t* presetOf(const VideoJob& job, int32_t* id) {
    int32_t format = job.setting->formatId;
    uint8_t twoPass = job.setting->twoPass;
    const wchar_t* extension = nullptr;
    if (job.info != nullptr) {
        const wchar_t* name = job.info->fileName.c_str();
        extension = wcsrchr(name, L'.');
    }
    return VideoPresets::videoOutputExtension(*id, extension,
                                              job.info != nullptr ? job.info->formatName.c_str() : nullptr, format,
                                              twoPass);
}

} // namespace

VideoRoad& VideoRoad::instance() {
    static VideoRoad road;
    return road;
}

uint32_t VideoRoad::setProcessorCount(uint32_t count) {
    return processorCountSeam.exchange(count);
}

bool VideoRoad::appendVideoOptions(StrBuffer* command, const VideoJob& job, double* passWeight) {
    const Setting* setting = job.setting;
    if (setting == nullptr) {
        return false;
    }
    int32_t id = setting->outputId;
    presetOf(job, &id);
    const wchar_t* codec = VideoPresets::codecForPreset(id);
    if (codec == nullptr) {
        return false;
    }
    double weight = 0.5;
    const VideoPresets::Flags flags = VideoPresets::presetFlags(id);
    Picture p;
    fillPicture(p, setting, job.info, codec, flags);
    const bool disc = VideoPresets::isDiscTarget(codec);
    if (disc) {
        appendTargetOptions(command, codec, job.pass, flags, p, &weight, job.copyVideo);
    }
    const bool twice = p.autoSize;
    buildVideoFilters(p);
    if (twice) {
        buildVideoFilters(p);
    }
    if (!disc) {
        appendVideoCodecOptions(command, codec, flags, job.pass, &weight, job.copyVideo);
        if (!job.copyVideo) {
            appendRateOptions(command, codec, setting->videoQuality, p);
        }
    }
    if (!job.copyVideo) {
        appendSizeAndFilters(command, p);
    }
    if (passWeight != nullptr) {
        *passWeight = weight;
    }
    return true;
}

void VideoRoad::appendContainerAndAudio(StrBuffer* command, const VideoJob& job) {
    const Setting* setting = job.setting;
    int32_t id = job.setting->outputId;
    const wchar_t* extension = presetOf(job, &id);
    const wchar_t* fixed = VideoPresets::fixedContainer(id);
    if (fixed != nullptr) {
        command->append(L" -f ")->append(fixed);
    } else if (wcscmp(extension, L".mp4") == 0) {
        command->append(L" -f mp4");
    } else if (wcscmp(extension, L".mkv") == 0) {
        command->append(L" -f matroska");
    } else if (job.pass == 1) {
        // Pass 1 only gathers statistics: a muxer that takes any picture.
        command->append(L" -f rawvideo");
    }

    if (job.info == nullptr || !job.info->hasAudio) {
        command->append(L" -an");
        return;
    }
    const wchar_t* encoder = FormatTable::audioCodecForFormat(setting->formatId, setting->bitsPerSample);
    uint32_t at = 0;
    const bool rawPicture = command->indexOfText(L" -f rawvideo", 0, &at);
    if (!rawPicture && encoder != nullptr) {
        CommandBuilder::appendAudioOptions(command, setting, job.info, encoder, job.copyAudio);
        return;
    }
    if (rawPicture || !VideoPresets::isDiscTarget(VideoPresets::codecForPreset(id))) {
        command->append(L" -an");
    }
    if (!job.copyAudio && setting->volume != Setting::VOLUME_UNCHANGED) {
        command->append(L" -vol ")->appendInt32(setting->volume * 256 / 100);
    }
}

void VideoRoad::finishCommand(StrBuffer* command, const VideoJob&) {
    // Xvid is written by FFmpeg's own MPEG-4 encoder under the Xvid tag.
    command->replaceAll(L"-vcodec libxvid", L"-vcodec mpeg4 -vtag xvid");
    uint32_t at = 0;
    if (command->indexOfText(L" libx265 ", 0, &at) && command->indexOfText(L" -pass ", 0, &at)) {
        command->replaceAll(L" -pass ", L" -x265-params pass=");
    }
}

} // namespace s::sound::ffmpeg
