#include "engine/sound/ffmpeg/CommandBuilder.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cwchar>

#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "engine/fftools/SampleGuard.h"
#include "engine/sound/ffmpeg/AudioRules.h"
#include "engine/sound/ffmpeg/FormatTable.h"
#include "engine/sound/ffmpeg/IVideoRoad.h"
#include "engine/sound/ffmpeg/VideoRoad.h"
#include "engine/sound/ffmpeg/Setting.h"
#include "engine/system/win/MessageBoxSeam.h"
#include "engine/video/VideoInfo.h"
#include "system/file/win/PathWin.h"

namespace s::sound::ffmpeg {

using file::win::PathWin;
using gui::dialogs::mp3conv::Setting;
using str::strbuffer::StrBuffer;
using thread::Held;
using video::StreamInfo;
using video::VideoInfo;

namespace {

std::atomic<CommandBuilder::SleepFn> sleepFn{nullptr};
std::atomic<IVideoRoad*> videoRoad{nullptr};

// Waits of the output preparation, in milliseconds.
constexpr uint32_t APPEAR_STEP = 100;
constexpr uint32_t APPEAR_LIMIT = 2000;
constexpr uint32_t RECREATE_STEP = 1000;
constexpr uint32_t RECREATE_LIMIT = 3000;
// Room a two-pass working folder's name takes ("Pass1.TMP~ (nn)") and the pass logs in it.
constexpr uint32_t WORK_FOLDER_ROOM = 40;

// Asks the file system itself: path objects keep what they learnt once.
bool isFile(const PathWin* path) {
    const DWORD attributes = GetFileAttributesW(path->getApiText());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool isVideo(const StreamInfo* stream) {
    return stream != nullptr && stream->type == StreamInfo::TYPE_VIDEO;
}

// Float samples as the file stores them, which a damaged file can hold any value in.
bool storesFloats(const StreamInfo* audio) {
    return audio != nullptr && audio->losslessBits > 0 &&
           (audio->sampleFormat == StreamInfo::SAMPLE_FLT || audio->sampleFormat == StreamInfo::SAMPLE_DBL);
}

} // namespace

CommandBuilder::SleepFn CommandBuilder::setSleepFunction(SleepFn fn) {
    return sleepFn.exchange(fn);
}

IVideoRoad* CommandBuilder::setVideoRoad(IVideoRoad* road) {
    return videoRoad.exchange(road);
}

void CommandBuilder::sleep(uint32_t milliseconds) {
    SleepFn fn = sleepFn.load();
    if (fn != nullptr) {
        fn(milliseconds);
    } else {
        Sleep(milliseconds);
    }
}

StrBuffer* CommandBuilder::buildFfmpegCommand(const Setting* setting, const VideoInfo* info,
                                              const wchar_t* inputPath, const wchar_t* outputPath,
                                              const wchar_t* programPath, bool external, int32_t pass,
                                              bool copyAudio, bool copyVideo, StrBuffer* workFolder,
                                              double* passWeight) {
    if (passWeight != nullptr) {
        *passWeight = AUDIO_PASS_WEIGHT;
    }
    if (setting == nullptr || outputPath == nullptr) {
        return nullptr;
    }
    Held<StrBuffer> command(StrBuffer::pool());
    if (!command) {
        return nullptr;
    }

    // Every path exactly and quoted, on both roads: ffmpeg.exe takes its command line as
    // Unicode, and a short name may open another file than the one it was taken from.
    if (external && programPath != nullptr && programPath[0] != 0) {
        appendPath(command.get(), programPath, true);
    } else {
        command->append(IN_PROCESS_PROGRAM);
    }

    const int64_t durationMs = info != nullptr ? info->duration / 1000 : -1;
    appendTestRange(command.get(), setting->testStart, setting->testLength, durationMs);
    command->append(L" -probesize 100M -analyzeduration 100M");

    command->append(L" -i ");
    if (!appendExactPath(command.get(), inputPath)) {
        return nullptr;
    }
    command->append(L" -y");

    if (pass == 1) {
        createWorkFolder(outputPath, workFolder);
        command->append(L" -pass 1");
    } else if (pass == 2) {
        command->append(L" -pass 2");
    }

    const wchar_t* extension = FormatTable::audioOutputExtension(setting->formatId);
    IVideoRoad* road = nullptr;
    if (setting->outputId != 0) {
        road = videoRoad.load();
        if (road == nullptr) {
            road = &VideoRoad::instance();
        }
    }
    const VideoJob video{setting, info, pass, copyVideo, copyAudio};
    if (road != nullptr && !road->appendVideoOptions(command.get(), video, passWeight)) {
        road = nullptr;  // no such preset: an audio job in all but its name, an AVI
        extension = L".avi";
    }
    if (road == nullptr) {
        appendStreamChoice(command.get(), info, extension);
    }
    command->append(L" -max_muxing_queue_size 9999");

    if (road != nullptr) {
        road->appendContainerAndAudio(command.get(), video);
    } else {
        const StreamInfo* source = info != nullptr ? info->firstStreamOfType(StreamInfo::TYPE_AUDIO) : nullptr;
        const wchar_t* encoder = FormatTable::audioCodecForSource(setting->formatId, setting->bitsPerSample, source);
        appendContainer(command.get(), setting->formatId, encoder);
        appendAudioOptions(command.get(), setting, info, encoder, copyAudio, external);
    }

    if (pass == 1) {
        // Pass 1 only analyses; its output is thrown away.
        command->append(L" NUL");
    } else {
        // FFmpeg never runs on an output the program could not make.
        if (!createOutput(outputPath)) {
            return nullptr;
        }
        command->appendChar(L' ');
        if (!appendExactPath(command.get(), outputPath)) {
            return nullptr;
        }
    }
    if (road != nullptr) {
        road->finishCommand(command.get(), video);
    }
    return command.take();
}

void CommandBuilder::appendTestRange(StrBuffer* command, int64_t kind, int64_t length, int64_t duration) {
    if (kind == Setting::TEST_NONE || length <= 0) {
        return;
    }
    if (duration <= 0) {
        return;  // no range can be placed in a file of unknown length (the job loop logs it)
    }
    int64_t start = 0;
    if (kind == Setting::TEST_FROM_START) {
        if (length > duration) {
            length = duration;
        }
    } else if (kind == Setting::TEST_MIDDLE) {
        if (length >= duration) {
            return;
        }
        start = (duration - length) / 2;
    } else if (kind == Setting::TEST_END) {
        if (duration - length < 0) {
            return;
        }
        start = duration - length;
    }
    if (length == duration && start <= 0) {
        return;  // the whole file
    }
    if (start > 0) {
        command->append(L" -ss ");
        appendClock(command, start);
    }
    if (length > 0) {
        command->append(L" -t ");
        appendClock(command, length);
    }
}

void CommandBuilder::appendClock(StrBuffer* command, int64_t milliseconds) {
    wchar_t text[64];
    const long long ms = milliseconds;
    swprintf(text, sizeof(text) / sizeof(text[0]), L"%02lld:%02lld:%02lld.%03lld", ms / 3600000, ms / 60000 % 60,
             ms / 1000 % 60, ms % 1000);
    command->append(text);
}

void CommandBuilder::appendPath(StrBuffer* command, const wchar_t* path, bool quoted) {
    if (quoted) {
        command->appendChar(L'"')->append(path)->appendChar(L'"');
    } else {
        command->append(path);
    }
}

bool CommandBuilder::appendExactPath(StrBuffer* command, const wchar_t* path) {
    // The path object's system form keeps a name's trailing dot or blank ("\\?\"), which
    // FFmpeg hands on to the system as it stands.
    Held<PathWin> exact(PathWin::create(path != nullptr ? path : L""));
    if (!exact) {
        return false;
    }
    appendPath(command, exact->getApiText(), true);
    return true;
}

void CommandBuilder::appendStreamChoice(StrBuffer* command, const VideoInfo* info, const wchar_t* extension) {
    // A JPEG cover is kept where the container can carry it; any other picture or
    // video is dropped.
    int32_t coverIndex = -1;
    if (info != nullptr) {
        int32_t videoIndex = 0;
        for (uint32_t i = 0; i < info->streamCount(); ++i) {
            const StreamInfo* stream = info->stream(i);
            if (!isVideo(stream)) {
                continue;
            }
            if (wcscmp(stream->codecName.c_str(), L"mjpeg") == 0) {
                coverIndex = videoIndex;
                break;
            }
            ++videoIndex;
        }
    }
    const StreamInfo* audio = info != nullptr ? info->firstStreamOfType(StreamInfo::TYPE_AUDIO) : nullptr;
    if (coverIndex >= 0 && wcscmp(extension, L".mp3") == 0) {
        command->append(L" -codec:v copy -map 0:a:0 -map 0:v:")->appendInt32(coverIndex);
        command->append(L" -map_metadata 0 -id3v2_version 3");
    } else if (coverIndex >= 0 && (wcscmp(extension, L".mp4") == 0 || wcscmp(extension, L".wma") == 0 ||
                                   wcscmp(extension, L".mov") == 0)) {
        command->append(L" -codec:v copy -map 0:v:")->appendInt32(coverIndex)->append(L" -map 0:a:0");
    } else {
        command->append(L" -vn");
        // The stream whose rate, channels and depth the options follow, not FFmpeg's own
        // pick (the one with the most channels).
        if (audio != nullptr) {
            command->append(L" -map 0:a:0");
        }
    }
    // Ogg keeps a song's tags on its stream, where MP3, FLAC and most other outputs
    // never look: with none on the container, the audio stream's become the file's.
    if (audio != nullptr && info->tagKeys.count() == 0 && audio->tagKeys.count() != 0) {
        command->append(L" -map_metadata 0:s:a:0");
    }
}

void CommandBuilder::appendContainer(StrBuffer* command, int32_t formatId, const wchar_t* encoder) {
    switch (formatId) {
    case 12:
        command->append(L" -f flac");
        break;
    case 22:
    case 23: {
        const wchar_t* muxer = FormatTable::rawMuxerForCodec(encoder);
        if (muxer != nullptr) {
            command->append(L" -f ")->append(muxer);
        }
        break;
    }
    case 24:
        command->append(L" -f alaw");
        break;
    case 25:
        command->append(L" -f mulaw");
        break;
    case 28:
    case 29:
    case 30:
    case 31:
    case 32:
    case 33:
        // Without the encoder tag two runs give the same bytes.
        command->append(L" -f wav -bitexact");
        break;
    default:
        break;
    }
}

void CommandBuilder::appendAudioOptions(StrBuffer* command, const Setting* setting, const VideoInfo* info,
                                        const wchar_t* encoder, bool copyAudio, bool external) {
    if (copyAudio) {
        command->append(L" -codec:a copy");
        return;  // no volume either: the frames are never decoded
    }
    const StreamInfo* source = info != nullptr ? info->firstStreamOfType(StreamInfo::TYPE_AUDIO) : nullptr;
    if (encoder == nullptr) {
        command->append(L" -an");
    } else {
        const int32_t sourceRate = source != nullptr ? source->sampleRate : 0;
        const int32_t sourceChannels = source != nullptr ? source->channels : 0;
        const int64_t sourceBitRate = source != nullptr ? source->bitRate : 0;
        int32_t rate = setting->sampleRate > 0 ? setting->sampleRate : sourceRate;
        int32_t channels = setting->channels > 0 ? setting->channels : sourceChannels;
        int64_t bitRate = setting->bitRate != 0 ? setting->bitRate : sourceBitRate;
        int32_t quality = setting->quality;
        AudioRules::chooseAudioCodecOptions(encoder, channels, rate, bitRate, quality,
                                            source != nullptr ? source->codecId : 0, sourceRate, sourceChannels,
                                            sourceBitRate);
        command->append(L" -acodec ")->append(encoder);
        if (const wchar_t* sampleFormat = FormatTable::depthSampleFormat(encoder, source)) {
            command->append(L" -sample_fmt ")->append(sampleFormat);
        }
        // The SMAF muxer takes stereo Yamaha ADPCM only as an experimental stream.
        if (wcscmp(encoder, L"aac") == 0 || wcscmp(encoder, L"adpcm_yamaha") == 0) {
            command->append(L" -strict experimental");
        }
        if (rate > 0) {
            command->append(L" -ar ")->appendInt32(rate);
        }
        if (channels > 0) {
            command->append(L" -ac ")->appendInt32(channels);
        }
        if (bitRate > 0) {
            command->append(L" -ab ")->appendInt64(bitRate);
        }
    }
    const int32_t volume = setting->volume * 256 / 100;
    if (external && encoder != nullptr && storesFloats(source)) {
        // ffmpeg.exe has no guard of ours: the same one as a filter, the volume after it
        // as on the in-process road.
        const double limit = fftools::SampleGuard::limitBeforeVolume(volume);
        wchar_t filter[160];
        swprintf(filter, sizeof(filter) / sizeof(filter[0]),
                 L" -af aeval=exprs=if(isnan(val(ch))\\,0\\,clip(val(ch)\\,%.17g\\,%.17g)):c=same", -limit, limit);
        command->append(filter);
        if (setting->volume != Setting::VOLUME_UNCHANGED) {
            swprintf(filter, sizeof(filter) / sizeof(filter[0]), L",volume=%f", volume / 256.0);
            command->append(filter);
        }
        return;
    }
    if (setting->volume != Setting::VOLUME_UNCHANGED) {
        command->append(L" -vol ")->appendInt32(volume);
    }
}

bool CommandBuilder::createOutput(const wchar_t* outputPath) {
    Held<PathWin> output(PathWin::create(outputPath));
    if (!output) {
        return false;
    }
    // A new file may take a moment to show (network and filtered volumes).
    bool present = isFile(output.get());
    if (!present) {
        output->createFile(false);
        present = isFile(output.get());
        for (uint32_t waited = 0; !present && waited < APPEAR_LIMIT; waited += APPEAR_STEP) {
            sleep(APPEAR_STEP);
            present = isFile(output.get());
        }
        for (uint32_t waited = 0; !present && waited < RECREATE_LIMIT; waited += RECREATE_STEP) {
            sleep(RECREATE_STEP);
            output->createFile(false);
            present = isFile(output.get());
        }
        if (!present) {
            system::win::MessageBoxSeam::showInformation(CREATE_FAILED_TEXT);
        }
    }
    return present;
}

bool CommandBuilder::createWorkFolder(const wchar_t* outputPath, StrBuffer* workFolder) {
    Held<PathWin> output(PathWin::create(outputPath));
    if (!output) {
        return false;
    }
    // FFmpeg's pass logs land in the working folder of both passes; one that the
    // system could not take as a working folder goes to the temporary folder.
    Held<StrBuffer> parent(StrBuffer::fromText(output->getFolder()));
    if (!parent) {
        return false;
    }
    if (parent->length() + WORK_FOLDER_ROOM >= MAX_PATH) {
        wchar_t temp[MAX_PATH + 1] = {};
        const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
        if (n != 0 && n <= MAX_PATH) {
            parent->assign(temp);
        }
    }
    Held<PathWin> base(PathWin::createConcat(parent->c_str(), WORK_FOLDER_NAME));
    if (!base) {
        return false;
    }
    Held<PathWin> folder(base->uniqueName());
    if (!folder || !folder->makeDirectory(false)) {
        return false;
    }
    if (workFolder != nullptr) {
        workFolder->assign(folder->getText());
    }
    return true;
}

} // namespace s::sound::ffmpeg
