#include "engine/video/MediaReport.h"

#include <cwchar>

namespace s::video {

using str::strbuffer::StrBuffer;

namespace {

const wchar_t SEPARATOR[] = L" \n";

StrBuffer* label(StrBuffer* out, const wchar_t* text) {
    return out->append(text);
}

void line(StrBuffer* out, const wchar_t* labelText, const StrBuffer& value) {
    out->append(labelText)->append(&value)->appendChar(L'\n');
}

void line(StrBuffer* out, const wchar_t* labelText, const wchar_t* value) {
    out->append(labelText)->append(value)->appendChar(L'\n');
}

void line(StrBuffer* out, const wchar_t* labelText, int64_t value) {
    out->append(labelText)->appendInt64(value)->appendChar(L'\n');
}

void ratioLine(StrBuffer* out, const wchar_t* labelText, int64_t num, int64_t den, wchar_t joint) {
    out->append(labelText)->appendInt64(num)->appendChar(joint)->appendInt64(den)->appendChar(L'\n');
}

void tagLines(StrBuffer* out, const str::strarray::StrArray& keys, const str::strarray::StrArray& values) {
    if (keys.count() == 0) {
        return;
    }
    out->append(SEPARATOR)->append(L"[Metadata]\n");
    for (uint32_t i = 0; i < keys.count(); ++i) {
        out->append(keys.get(i))->append(L": ");
        if (i < values.count()) {
            out->append(values.get(i));
        }
        out->appendChar(L'\n');
    }
}

const wchar_t* typeText(int32_t type) {
    switch (type) {
    case StreamInfo::TYPE_VIDEO: return L"Video";
    case StreamInfo::TYPE_AUDIO: return L"Audio";
    case StreamInfo::TYPE_DATA: return L"Data";
    case StreamInfo::TYPE_SUBTITLE:
    case StreamInfo::TYPE_SUBTITLE_TEXT: return L"Sub Title";
    default: return L"Unknown";
    }
}

const wchar_t* sampleFormatText(int32_t format) {
    switch (format) {
    case StreamInfo::SAMPLE_U8: return L"8 bits (Integer)";
    case StreamInfo::SAMPLE_S16: return L"16 bits (Integer)";
    case StreamInfo::SAMPLE_S32: return L"32 bits (Integer)";
    case StreamInfo::SAMPLE_FLT: return L"32 bits (Float)";
    case StreamInfo::SAMPLE_DBL: return L"64 bits (Float)";
    default: return L"";
    }
}

// "Duration: " and "Duration (Microseconds): ", or "N/A" after both when unknown.
void durationLines(StrBuffer* out, int64_t known, int64_t microseconds) {
    label(out, L"Duration: ");
    if (known < 0) {
        out->append(L"N/A\n");
    } else {
        appendTimeText(out, microseconds)->appendChar(L'\n');
    }
    label(out, L"Duration (Microseconds): ");
    if (known < 0) {
        out->append(L"N/A\n");
    } else {
        out->appendInt64(microseconds)->appendChar(L'\n');
    }
}

void positiveOrNa(StrBuffer* out, const wchar_t* labelText, int64_t value) {
    if (value > 0) {
        line(out, labelText, value);
    } else {
        line(out, labelText, L"N/A");
    }
}

void streamBlock(StrBuffer* out, const StreamInfo* s, uint32_t index) {
    out->append(SEPARATOR)->append(L"[Stream #")->appendUInt32(index)->append(L"]\n");
    line(out, L"Type: ", typeText(s->type));
    line(out, L"Codec (Short Name): ", s->codecName);
    line(out, L"Long (Short Name): ", s->codecLongName);
    wchar_t tag[16];
    std::swprintf(tag, 16, L"0x%08x", static_cast<unsigned>(s->codecTag));
    line(out, L"Codec Tag: ", tag);
    line(out, L"Codec Tag (String): ", s->codecTagText);
    ratioLine(out, L"Codec Time Base: ", s->codecTimeBaseNum, s->codecTimeBaseDen, L'/');
    ratioLine(out, L"Time Base: ", s->timeBaseNum, s->timeBaseDen, L'/');
    ratioLine(out, L"Real Base Frame Rate: ", s->realFrameRateNum, s->realFrameRateDen, L'/');
    ratioLine(out, L"Average Frame Rate: ", s->avgFrameRateNum, s->avgFrameRateDen, L'/');
    durationLines(out, s->duration, streamDurationMicroseconds(s));
    positiveOrNa(out, L"Bit Rate (bits/sec): ", s->bitRate);
    positiveOrNa(out, L"Number of Frames: ", s->frameCount);

    if (s->type == StreamInfo::TYPE_VIDEO) {
        out->append(SEPARATOR);
        line(out, L"Width: ", s->width);
        line(out, L"Height: ", s->height);
        ratioLine(out, L"Pixel Aspect Ratio: ", s->sampleAspectNum, s->sampleAspectDen, L':');
        ratioLine(out, L"Display Aspect Ratio: ", s->displayAspectNum, s->displayAspectDen, L':');
        line(out, L"Pixel Formal: ", s->pixelFormatName);
        line(out, L"Has B Frames: ", s->hasBFrames != 0 ? L"Yes" : L"No");
    } else if (s->type == StreamInfo::TYPE_AUDIO) {
        out->append(SEPARATOR);
        line(out, L"Channels: ", s->channels);
        line(out, L"Sample Rate (Hz): ", s->sampleRate);
        line(out, L"Sample Data Format: ", sampleFormatText(s->sampleFormat));
        out->append(SEPARATOR);
    }
    tagLines(out, s->tagKeys, s->tagValues);
}

} // namespace

StrBuffer* appendTimeText(StrBuffer* out, int64_t microseconds) {
    const int64_t hours = microseconds / 3600000000LL;
    const int64_t minutes = microseconds / 60000000LL % 60;
    const int64_t seconds = microseconds / 1000000LL % 60;
    const int64_t hundredths = microseconds % 1000000LL * 100 / 1000000LL;
    wchar_t text[64];
    std::swprintf(text, 64, L"%02lld:%02lld:%02lld.%02lld", static_cast<long long>(hours),
                  static_cast<long long>(minutes), static_cast<long long>(seconds),
                  static_cast<long long>(hundredths));
    return out->append(text);
}

int64_t streamDurationMicroseconds(const StreamInfo* stream) {
    if (stream->timeBaseNum <= 0 || stream->timeBaseDen <= 0) {
        return stream->duration;
    }
    // Long double keeps 64 bits of mantissa, enough for any real duration.
    const long double us = static_cast<long double>(stream->duration) * stream->timeBaseNum * 1000000.0L /
                           stream->timeBaseDen;
    return static_cast<int64_t>(us);
}

StrBuffer* formatMediaReport(const VideoInfo* info) {
    StrBuffer* out = StrBuffer::pool();
    if (out == nullptr || info == nullptr) {
        return out;
    }
    line(out, L"File Name: ", info->fileName);
    line(out, L"File Size (Bytes): ", info->fileSize);
    out->append(SEPARATOR);
    out->append(L"[Format]\n");
    line(out, L"Format (Short Name): ", info->formatName);
    line(out, L"Format (Long Name): ", info->formatLongName);
    durationLines(out, info->duration, info->duration);
    line(out, L"Bit Rate (bits/sec): ", info->bitRate);
    line(out, L"Number of Streams: ", static_cast<int64_t>(info->streamCount()));
    tagLines(out, info->tagKeys, info->tagValues);
    for (uint32_t i = 0; i < info->streamCount(); ++i) {
        streamBlock(out, info->stream(i), i);
    }
    return out;
}

} // namespace s::video
