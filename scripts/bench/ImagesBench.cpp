// What damaged and real pictures cost: the time to decode (or refuse) them, a GIF as
// the image control takes it. Started by scripts/bench-images.sh, which measures each
// process's peak memory (Wine's own counters leave picture memory out); not a test.
//   images_bench.exe jpeg-scans WIDTH HEIGHT SCANS [3]  a grey (or colour) progressive JPEG
//   images_bench.exe gif-frames WIDTH HEIGHT FRAMES [FW FH [DISPOSAL]]
//                                       frames of no data (whole screens, or FW x FH moving
//                                       down and across) on one screen
//   images_bench.exe gif-empty-block WIDTH HEIGHT FRAMES  full frames after a 0 x 0 block
//                                       at left 65535
//   images_bench.exe files PATH...                    JPEG and GIF files, one line each
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "core/col/_array/ArrayU08.h"
#include "core/thread/Held.h"
#include "Seconds.h"
#include "images/GifTestWriter.h"
#include "images/JpegTestWriter.h"
#include "images/image/gif/win/Gif.h"
#include "images/image/jpg/win/Jpeg.h"
#include "widgets/gui/win/Image.h"

using s::col::_array::ArrayU08;
using s::gui::win::Image;
using s::image::IEncodedImage;
using s::image::gif::win::Gif;
using s::image::jpg::win::Jpeg;
using s::thread::Held;

namespace {

// Decodes the bytes into a fresh picture of the kind; a GIF then goes into an image
// control as a set, as the program shows one.
void decodeAndShow(const char* name, const std::vector<uint8_t>& bytes, bool gif) {
    const double start = nowSeconds();
    Held<ArrayU08> stream(ArrayU08::pool());
    if (!bytes.empty()) {
        stream->append(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    stream->rewind();
    IEncodedImage* image = gif ? static_cast<IEncodedImage*>(Gif::pool()) : static_cast<IEncodedImage*>(Jpeg::pool());
    const bool decoded = image->decode(stream.get());
    const double decodedAt = nowSeconds();
    int32_t frames = decoded ? image->frameCount() : 0;
    bool animated = false;
    if (decoded && gif) {
        Image* control = Image::createWithSize(-1, -1, nullptr);
        control->setImage(image, true, true, true);
        frames = control->getFrameCount();
        animated = control->isAnimated();
        control->release();
    }
    const double end = nowSeconds();
    std::printf("%-44s %-8s %7zu bytes  %5dx%-5d  frames %4d%s  decode %6.2f s  total %6.2f s\n",
                name, decoded ? "decoded" : "REFUSED", bytes.size(), decoded ? image->width() : 0,
                decoded ? image->height() : 0, frames, animated ? " playing" : "        ", decodedAt - start,
                end - start);
    std::fflush(stdout);
    dynamic_cast<s::thread::IPoolable*>(image)->release();
}

std::vector<uint8_t> fileBytes(const wchar_t* path) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    CloseHandle(file);
    return bytes;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    char name[128];
    if (mode == L"jpeg-scans" && (argc == 5 || argc == 6)) {
        const int w = _wtoi(argv[2]), h = _wtoi(argv[3]), scans = _wtoi(argv[4]);
        const int components = argc == 6 ? _wtoi(argv[5]) : 1;
        std::snprintf(name, sizeof(name), "JPEG %dx%d %s, %d scans", w, h, components == 3 ? "4:4:4" : "grey", scans);
        decodeAndShow(name, jpegtest::manyScanJpeg(w, h, scans, components), false);
        return 0;
    }
    const bool emptyBlock = mode == L"gif-empty-block" && argc == 5;
    if ((mode == L"gif-frames" && (argc == 5 || argc == 7 || argc == 8)) || emptyBlock) {
        giftest::File file;
        file.width = _wtoi(argv[2]);
        file.height = _wtoi(argv[3]);
        file.loop = 0;
        const int frames = _wtoi(argv[4]);
        const int fw = argc >= 7 ? _wtoi(argv[5]) : file.width, fh = argc >= 7 ? _wtoi(argv[6]) : file.height;
        giftest::Frame frame;
        frame.delay = 4;
        frame.disposal = argc == 8 ? _wtoi(argv[7]) : 0;
        frame.data = giftest::endsAtOnce();
        if (emptyBlock) {
            frame.left = 65535;
            frame.width = frame.height = 0;
            file.frames.push_back(frame);
        }
        for (int i = 0; i < frames; ++i) {
            frame.width = fw;
            frame.height = fh;
            frame.left = fw < file.width ? i * 7 % (file.width - fw + 1) : 0;
            frame.top = fh < file.height ? i * fh % (file.height - fh + 1) : 0;
            file.frames.push_back(frame);
        }
        std::snprintf(name, sizeof(name), "GIF %dx%d, %d frames of %dx%d%s%s", file.width, file.height, frames, fw,
                      fh, frame.disposal == 3 ? " restoring" : "", emptyBlock ? ", empty block" : "");
        decodeAndShow(name, giftest::build(file), true);
        return 0;
    }
    if (mode == L"files") {
        for (int i = 2; i < argc; ++i) {
            const std::wstring path = argv[i];
            const size_t dot = path.find_last_of(L'.');
            const std::wstring extension = dot == std::wstring::npos ? L"" : path.substr(dot);
            std::snprintf(name, sizeof(name), "%ls", path.substr(path.find_last_of(L"\\/") + 1).c_str());
            decodeAndShow(name, fileBytes(path.c_str()), _wcsicmp(extension.c_str(), L".gif") == 0);
        }
        return 0;
    }
    std::printf("usage: images_bench.exe jpeg-scans W H SCANS [3] | gif-frames W H FRAMES [FW FH [DISPOSAL]] |"
                " gif-empty-block W H FRAMES | files PATH...\n");
    return 2;
}
